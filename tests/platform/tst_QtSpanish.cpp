#include "platform/QtSpanish.h"
#include "runtime/QtUi.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace corvelix;

Q_DECLARE_METATYPE(corvelix::MsgButtons)

namespace {

// Runs `act` on the modal window once it is up, from inside its own loop.
template <class W> void whenShown(std::function<void(W&)> act, int tries = 100) {
    QTimer::singleShot(10, [act = std::move(act), tries] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()))
            act(*w);
        else if (tries > 0)
            whenShown<W>(act, tries - 1);
    });
}

QStringList buttonTexts(const QList<QAbstractButton*>& buttons) {
    QStringList texts;
    for (const QAbstractButton* b : buttons)
        texts << b->text();
    return texts;
}

} // namespace

// Qt's own texts, as the program loads them at start (the common test main does the same).
class tst_QtSpanish : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void standardBoxButtons_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("ok") << MsgButtons::Ok << QStringList{QStringLiteral("Aceptar")};
        QTest::newRow("ok/cancel") << MsgButtons::OkCancel
                                   << QStringList{QStringLiteral("Aceptar"),
                                                  QStringLiteral("Cancelar")};
        QTest::newRow("yes/no/cancel")
            << MsgButtons::YesNoCancel
            << QStringList{QStringLiteral("&Sí"), QStringLiteral("&No"),
                           QStringLiteral("Cancelar")};
        QTest::newRow("retry/cancel") << MsgButtons::RetryCancel
                                      << QStringList{QStringLiteral("Reintentar"),
                                                     QStringLiteral("Cancelar")};
    }
    // The real seam's box, whatever the machine's language (the tests run under C.UTF-8).
    void standardBoxButtons() {
        QFETCH(MsgButtons, buttons);
        QFETCH(QStringList, texts);
        QtUi seam;
        QStringList shown;
        QString text;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            shown = buttonTexts(box.buttons());
            text = box.text();
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        seam.msgBox(QStringLiteral("¿Seguir?"), buttons, MsgIcon::Question,
                    QStringLiteral("Corvelix"), MsgDefault::First);
        QCOMPARE(text, QStringLiteral("¿Seguir?"));
        shown.sort();
        texts.sort();
        QCOMPARE(shown, texts);
    }

    // Qt's own file dialog (never the desktop's), under the offscreen platform.
    void fileDialog_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("accept");
        QTest::newRow("save") << true << QStringLiteral("&Guardar");
        QTest::newRow("open") << false << QStringLiteral("&Abrir");
    }
    void fileDialog() {
        QFETCH(bool, save);
        QFETCH(QString, accept);
        QTemporaryDir folder;
        QtUi seam;
        QString lookIn;
        QString fileName;
        QString fileType;
        QStringList buttons;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
            fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
            fileType = dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text();
            buttons = buttonTexts(dialog.findChild<QDialogButtonBox*>()->buttons());
            dialog.reject();
        });
        FileDialogRequest request;
        request.directory = folder.path();
        request.filters = {{QStringLiteral("Archivo de texto"), QStringLiteral("*.txt")}};
        const QString chosen = save ? seam.saveFileName(request) : seam.openFileName(request);
        QVERIFY(chosen.isEmpty());
        QCOMPARE(lookIn, QStringLiteral("Buscar en:"));
        QCOMPARE(fileName, QStringLiteral("&Nombre de archivo:"));
        QCOMPARE(fileType, QStringLiteral("Archivos de tipo:"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{accept, QStringLiteral("Cancelar")}));
    }

    // Without the translation nothing fails and nothing is said: Qt's English stays.
    void missingTranslation() {
        QTemporaryDir empty;
        test::ScriptedUi::current().reset();
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QVERIFY(!installQtSpanish(empty.path()));
        QVERIFY(test::ScriptedUi::current().boxes.isEmpty());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sí"));
    }
};

CORVELIX_TEST(tst_QtSpanish)
#include "tst_QtSpanish.moc"
