#include "runtime/VbError.h"
#include "shell/ClCntrl.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>

using corvelix::test::ScriptedUi;

namespace {

const QColor kSinTocar(1, 2, 3);
const QColor kVerde(192, 255, 192);
const QColor kNaranja(254, 228, 214);
const QColor kBlanco(255, 255, 255);

// A small data-entry window: three text boxes in tab order, the middle one bound.
struct Form {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    QLineEdit* bound = new QLineEdit(&window);
    QLineEdit* after = new QLineEdit(&window);
    ClCntrl* control = new ClCntrl(&window);

    explicit Form(const QString& tag) {
        before->setObjectName(QStringLiteral("before"));
        bound->setObjectName(QStringLiteral("bound"));
        after->setObjectName(QStringLiteral("after"));
        bound->setProperty("Tag", tag);
        bound->setText(QStringLiteral("12"));
        QPalette palette = bound->palette();
        palette.setColor(QPalette::Base, kSinTocar);
        bound->setPalette(palette);
        control->sLinkText(bound);
        window.show();
        window.activateWindow();
    }

    [[nodiscard]] QColor color() const { return bound->palette().color(QPalette::Base); }
};

QString focused() {
    QWidget* w = QApplication::focusWidget();
    return w != nullptr ? w->objectName() : QString();
}

void moveOver(QListWidget& list, const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, pos, list.viewport()->mapToGlobal(pos), Qt::NoButton,
                     buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &move);
}

} // namespace

class tst_ClCntrl : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void cleanupTest() override { QVERIFY(ScriptedUi::current().boxes.isEmpty()); }

private slots:
    void focusColours_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QColor>("onFocus");
        QTest::addColumn<QColor>("afterLeaving");
        QTest::addColumn<bool>("selectsAll");
        QTest::newRow("empty tag") << QString() << kVerde << kBlanco << true;
        QTest::newRow("any other tag") << QStringLiteral("NUM") << kVerde << kBlanco << true;
        QTest::newRow("NOENTER") << QStringLiteral("NOENTER") << kVerde << kBlanco << true;
        QTest::newRow("BB") << QStringLiteral("BB1") << kSinTocar << kSinTocar << false;
        QTest::newRow("#F6") << QStringLiteral("VAL#F6") << kNaranja << kBlanco << true;
        QTest::newRow("BB and #F6") << QStringLiteral("BB#F6") << kNaranja << kNaranja << true;
        QTest::newRow("bb is not BB") << QStringLiteral("bb1") << kVerde << kBlanco << true;
        QTest::newRow("#f6 is not #F6") << QStringLiteral("x#f6") << kVerde << kBlanco << true;
    }

    void focusColours() {
        QFETCH(QString, tag);
        QFETCH(QColor, onFocus);
        QFETCH(QColor, afterLeaving);
        QFETCH(bool, selectsAll);
        Form form(tag);
        form.before->setFocus();
        QTRY_COMPARE(focused(), QStringLiteral("before"));
        form.bound->setFocus(Qt::MouseFocusReason); // no selection of Qt's own
        QTRY_COMPARE(focused(), QStringLiteral("bound"));
        QCOMPARE(form.color(), onFocus);
        QCOMPARE(form.bound->selectedText(), selectsAll ? QStringLiteral("12") : QString());
        form.after->setFocus();
        QTRY_COMPARE(focused(), QStringLiteral("after"));
        QCOMPARE(form.color(), afterLeaving);
    }

    void keysMoveFocus_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focusAfter");
        QTest::addColumn<bool>("enterReachesTheBox");
        QTest::newRow("Enter") << QString() << int(Qt::Key_Return) << QStringLiteral("after")
                               << false;
        QTest::newRow("keypad Enter")
            << QString() << int(Qt::Key_Enter) << QStringLiteral("after") << false;
        QTest::newRow("Down") << QString() << int(Qt::Key_Down) << QStringLiteral("after") << false;
        QTest::newRow("Up") << QString() << int(Qt::Key_Up) << QStringLiteral("before") << false;
        QTest::newRow("any tag moves")
            << QStringLiteral("BB1") << int(Qt::Key_Return) << QStringLiteral("after") << false;
        QTest::newRow("NOENTER, Enter")
            << QStringLiteral("NOENTER") << int(Qt::Key_Return) << QStringLiteral("bound") << true;
        QTest::newRow("NOENTER, Down")
            << QStringLiteral("NOENTER") << int(Qt::Key_Down) << QStringLiteral("bound") << false;
        QTest::newRow("NOENTER, Up")
            << QStringLiteral("NOENTER") << int(Qt::Key_Up) << QStringLiteral("bound") << false;
    }

    void keysMoveFocus() {
        QFETCH(QString, tag);
        QFETCH(int, key);
        QFETCH(QString, focusAfter);
        QFETCH(bool, enterReachesTheBox);
        Form form(tag);
        form.bound->setFocus();
        QTRY_COMPARE(focused(), QStringLiteral("bound"));
        QSignalSpy returned(form.bound, &QLineEdit::returnPressed);
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(form.bound, Qt::Key(key), modifiers);
        QTRY_COMPARE(focused(), focusAfter);
        QCOMPARE(returned.count(), enterReachesTheBox ? 1 : 0);
        QCOMPARE(form.bound->text(), QStringLiteral("12"));
    }

    void enterInAMultiLineBox() {
        QWidget window;
        auto* notes = new QPlainTextEdit(&window);
        auto* next = new QLineEdit(&window);
        next->setObjectName(QStringLiteral("next"));
        ClCntrl control(&window);
        control.sLinkText(notes);
        window.show();
        window.activateWindow();
        notes->setFocus();
        QTRY_VERIFY(notes->hasFocus());
        QTest::keyClicks(notes, QStringLiteral("ab"));
        QTest::keyClick(notes, Qt::Key_Return);
        QTRY_COMPARE(focused(), QStringLiteral("next"));
        QCOMPARE(notes->toPlainText(), QStringLiteral("ab"));
    }

    void decimalKey_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("typed");
        QTest::newRow("keypad, es_AR")
            << QStringLiteral("es_AR") << int(Qt::Key_Period) << true << QStringLiteral("12,");
        QTest::newRow("keypad comma, es_AR")
            << QStringLiteral("es_AR") << int(Qt::Key_Comma) << true << QStringLiteral("12,");
        QTest::newRow("main key, es_AR")
            << QStringLiteral("es_AR") << int(Qt::Key_Period) << false << QStringLiteral("12.");
        QTest::newRow("keypad, en_US")
            << QStringLiteral("en_US") << int(Qt::Key_Period) << true << QStringLiteral("12.");
        QTest::newRow("keypad comma, en_US")
            << QStringLiteral("en_US") << int(Qt::Key_Comma) << true << QStringLiteral("12.");
    }

    void decimalKey() {
        QFETCH(QString, locale);
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QString, typed);
        QLocale::setDefault(QLocale(locale));
        const auto restore =
            qScopeGuard([] { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); });
        Form form{QString()}; // reads the separator when it is made
        form.bound->setFocus();
        QTRY_COMPARE(focused(), QStringLiteral("bound"));
        form.bound->end(false);
        QTest::keyClick(form.bound, Qt::Key(key), keypad ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(form.bound->text(), typed);
    }

    void separator() {
        ClCntrl control;
        QCOMPARE(control.Separador_Decimal(), QStringLiteral(","));
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        const auto restore =
            qScopeGuard([] { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); });
        // Read again on each ask.
        QCOMPARE(control.Obtener_Sep_Decim(), QStringLiteral("."));
    }

    void prefixSearch_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<int>("row");
        QTest::newRow("lower case") << QStringLiteral("ar") << 0;
        QTest::newRow("upper case") << QStringLiteral("AR") << 0;
        QTest::newRow("longer prefix") << QStringLiteral("arr") << 2;
        QTest::newRow("last row") << QStringLiteral("ch") << 3;
        QTest::newRow("not at the start") << QStringLiteral("rasil") << -1;
        QTest::newRow("no match") << QStringLiteral("x") << -1;
    }

    void prefixSearch() {
        QFETCH(QString, valor);
        QFETCH(int, row);
        const QStringList entries{QStringLiteral("Argentina"), QStringLiteral("Brasil"),
                                  QStringLiteral("arroz"), QStringLiteral("Chile")};
        QListWidget list;
        list.addItems(entries);
        QComboBox combo;
        combo.addItems(entries);
        ClCntrl control;
        control.sLinkListBox(&list);
        control.sLinkCBoBox(&combo);

        // Start from another selection: a failed search leaves none.
        list.setCurrentRow(1);
        combo.setCurrentIndex(1);
        control.LstBuscarStr(valor);
        control.BuscarCBO(valor);
        QCOMPARE(list.currentRow(), row);
        QCOMPARE(list.selectedItems().size(), row < 0 ? 0 : 1);
        QCOMPARE(combo.currentIndex(), row);
    }

    void searchWithoutBoundControl() {
        ClCntrl control;
        QVERIFY_THROWS_EXCEPTION(corvelix::VbError, control.LstBuscarStr(QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(corvelix::VbError, control.BuscarCBO(QStringLiteral("a")));
    }

    void listTooltip() {
        QListWidget list;
        for (int i = 1; i <= 8; ++i)
            list.addItem(QStringLiteral("Fila %1").arg(i));
        list.resize(200, 400);
        ClCntrl control;
        control.sLinkListBox(&list);
        list.show();

        moveOver(list, list.visualItemRect(list.item(4)).center());
        QCOMPARE(list.toolTip(), QStringLiteral("Fila 5"));
        moveOver(list, list.visualItemRect(list.item(0)).center());
        QCOMPARE(list.toolTip(), QStringLiteral("Fila 1"));
        // While a button is down nothing changes.
        moveOver(list, list.visualItemRect(list.item(2)).center(), Qt::LeftButton);
        QCOMPARE(list.toolTip(), QStringLiteral("Fila 1"));
        // Below the last row there is no row.
        moveOver(list, QPoint(10, list.viewport()->height() - 2));
        QCOMPARE(list.toolTip(), QString());
    }

    void emptiesOnlyTextBoxes() {
        QWidget form;
        auto* line = new QLineEdit(QStringLiteral("a"), &form);
        auto* inner = new QWidget(&form);
        auto* nested = new QLineEdit(QStringLiteral("b"), inner);
        auto* text = new QTextEdit(QStringLiteral("c"), &form);
        auto* plain = new QPlainTextEdit(QStringLiteral("d"), &form);
        auto* label = new QLabel(QStringLiteral("Etiqueta"), &form);
        auto* combo = new QComboBox(&form);
        combo->setEditable(true);
        combo->setEditText(QStringLiteral("elegido"));
        auto* spin = new QSpinBox(&form);
        spin->setValue(7);
        auto* childForm = new QDialog(&form);
        auto* ajeno = new QLineEdit(QStringLiteral("e"), childForm);

        ClCntrl control;
        control.VaciarTxt(form);
        QVERIFY(line->text().isEmpty());
        QVERIFY(nested->text().isEmpty());
        QVERIFY(text->toPlainText().isEmpty());
        QVERIFY(plain->toPlainText().isEmpty());
        QCOMPARE(label->text(), QStringLiteral("Etiqueta"));
        QCOMPARE(combo->currentText(), QStringLiteral("elegido"));
        QCOMPARE(spin->value(), 7);
        QCOMPARE(ajeno->text(), QStringLiteral("e")); // another form's
    }

    void bindingAgainReplaces() {
        Form form{QString()};
        auto* other = new QLineEdit(&form.window);
        other->setObjectName(QStringLiteral("other"));
        other->show();
        form.control->sLinkText(other);
        form.bound->setFocus();
        QTRY_COMPARE(focused(), QStringLiteral("bound"));
        QCOMPARE(form.color(), kSinTocar); // no longer handled
        QTest::keyClick(form.bound, Qt::Key_Return);
        QCOMPARE(focused(), QStringLiteral("bound"));
        other->setFocus();
        QTRY_COMPARE(focused(), QStringLiteral("other"));
        QCOMPARE(other->palette().color(QPalette::Base), kVerde);
    }
};

CORVELIX_TEST(tst_ClCntrl)
#include "tst_ClCntrl.moc"
