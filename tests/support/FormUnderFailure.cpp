#include "support/FormUnderFailure.h"

#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestSql.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <functional>

namespace corvelix::test {

namespace {

void fail(const QString& text) {
    QTest::qFail(qPrintable(text), __FILE__, __LINE__);
}

// Drops every table and view of the catalog through the open connection.
void breakCatalog() {
    const modDA::Recordset rs =
        modDA::getRs(modDA::kCatalog, "SELECT type, name FROM sqlite_master WHERE type IN "
                                      "('table', 'view') AND name NOT LIKE 'sqlite_%'");
    for (const QVariantList& row : rs.rows())
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("DROP %1 %2")
                                   .arg(row.at(0).toString().toUpper(), row.at(1).toString())));
}

void showAgain(QWidget& form) {
    if (form.isVisible())
        return;
    if (auto* dialog = qobject_cast<QDialog*>(&form))
        dialog->setResult(0);
    form.show();
}

// Runs one action and checks what it left behind.
void check(QWidget& form, const QString& action, const std::function<void()>& fn) {
    ScriptedUi& seam = ScriptedUi::current();
    const qsizetype before = seam.boxes.size();
    try {
        fn();
        // Activation work and other queued reactions run too.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    } catch (const ProgramExit&) {
        fail(action + QStringLiteral(": the program ended"));
    } catch (...) {
        fail(action + QStringLiteral(": an exception escaped"));
    }
    const qsizetype shown = seam.boxes.size() - before;
    if (shown > 1)
        fail(QStringLiteral("%1: %2 boxes").arg(action).arg(shown));
    if (shown == 1 && !seam.boxes.last().text.contains(QLatin1String("\n\nCorvelix.")))
        fail(action + QStringLiteral(": a box without the error's location: ") +
             seam.boxes.last().text);
    if (seam.busy)
        fail(action + QStringLiteral(": the busy pointer stayed on"));
    showAgain(form);
    if (!form.isEnabled())
        fail(action + QStringLiteral(": the form is no longer enabled"));
}

} // namespace

void pressEverythingWithFailingData(QWidget& form) {
    CatalogFixture catalog;
    // Opened before it breaks: what fails is each statement, not the connection.
    breakCatalog();
    ScriptedUi& seam = ScriptedUi::current();
    seam.tolerateBoxes(true);

    check(form, QStringLiteral("showing"), [&] { form.show(); });

    for (QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        const QPointer<QAbstractButton> guard(button);
        if (!button->isEnabled() || !button->isVisibleTo(&form))
            continue;
        check(form, QStringLiteral("click on ") + button->objectName(), [&] {
            if (guard)
                guard->click();
        });
    }

    const QList<int> keys{
        Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Delete, Qt::Key_Insert,
        Qt::Key_F1,     Qt::Key_F2,    Qt::Key_F3,     Qt::Key_F4,  Qt::Key_F5,     Qt::Key_F6,
        Qt::Key_F7,     Qt::Key_F8,    Qt::Key_F9,     Qt::Key_F10, Qt::Key_F11,    Qt::Key_F12};
    QList<QWidget*> targets{&form};
    for (QWidget* child : form.findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus && child->isEnabled() && child->isVisibleTo(&form))
            targets << child;
    for (QWidget* target : targets) {
        const QPointer<QWidget> guard(target);
        for (const int key : keys) {
            check(form, QStringLiteral("key %1 on %2").arg(key).arg(target->objectName()), [&] {
                if (!guard)
                    return;
                guard->setFocus();
                QTest::keyClick(guard.data(), static_cast<Qt::Key>(key));
            });
        }
    }
    seam.tolerateBoxes(false);
    form.hide();
}

} // namespace corvelix::test
