#include "runtime/VbError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <stdexcept>

using namespace corvelix;
using corvelix::test::ScriptedUi;

Q_DECLARE_METATYPE(corvelix::MsgIcon)

class tst_ErrorChain : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void chainsLocationsOutermostFirst() {
        try {
            chained(QStringLiteral("Corvelix.frmMain.cargarItemsView"), [] {
                chainedNumbered(QStringLiteral("Corvelix.modDA.getRs"), 30, [] {
                    throw VbError(-2147217865, QStringLiteral("Microsoft OLE DB"),
                                  QStringLiteral("Invalid object name"));
                });
            });
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, kErrChained);
            QCOMPARE(e.number, static_cast<qint32>(0x80043039u));
            QCOMPARE(e.source, QStringLiteral("Corvelix.frmMain.cargarItemsView (0)::"
                                              "Corvelix.modDA.getRs.::Microsoft OLE DB"));
            QCOMPARE(e.description, QStringLiteral("Invalid object name linea 30"));
        }
    }

    void lineIsReadWhenTheFailureHappens() {
        int line = 0;
        try {
            chainedNumbered(QStringLiteral("Corvelix.modDA.getDDT"), line, [&] {
                line = 10;
                line = 20;
                throw std::runtime_error("boom");
            });
        } catch (const VbError& e) {
            QCOMPARE(e.description, QStringLiteral("boom linea 20"));
            QCOMPARE(e.source, QStringLiteral("Corvelix.modDA.getDDT.::Corvelix"));
        }
    }

    void guardShowsOneBoxAndResetsBusy() {
        auto& seam = ScriptedUi::current();
        seam.setBusy(true);
        seam.answerBoxes({MsgResult::Ok});
        const bool ok = guardEvent(QStringLiteral("Corvelix.frmMain.Form_Activate (0)::"), [] {
            reraise(VbError(5, QStringLiteral("inner"), QStringLiteral("fallo")),
                    QStringLiteral("Corvelix.modDA.updateStore"));
        });
        QVERIFY(!ok);
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("fallo\n\nCorvelix.frmMain.Form_Activate (0)::"
                                                    "Corvelix.modDA.updateStore (0)::inner"));
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::Ok);
        QCOMPARE(seam.boxes[0].icon, MsgIcon::None);
        QVERIFY(!seam.busy);
    }

    void locationForms_data() {
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        QTest::newRow("plain, no line") << false << 0 << "Corvelix.utiles.getValue (0)::ADO"
                                        << "fallo";
        QTest::newRow("plain with its line") << false << 40 << "Corvelix.utiles.getValue (40)::ADO"
                                             << "fallo";
        QTest::newRow("numbered") << true << 120 << "Corvelix.utiles.getValue.::ADO"
                                  << "fallo linea 120";
    }

    void locationForms() {
        QFETCH(bool, numbered);
        QFETCH(int, line);
        QFETCH(QString, source);
        QFETCH(QString, description);
        const auto fail = [] { throw VbError(91, QStringLiteral("ADO"), QStringLiteral("fallo")); };
        const QString location = QStringLiteral("Corvelix.utiles.getValue");
        try {
            if (numbered)
                chainedNumbered(location, line, fail);
            else
                chained(location, fail, line);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, static_cast<qint32>(0x80043039u));
            QCOMPARE(e.source, source);
            QCOMPARE(e.description, description);
        }
    }

    void guardBox_data() {
        QTest::addColumn<bool>("standardError");
        QTest::addColumn<bool>("ownBox");
        QTest::addColumn<QString>("text");
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<QString>("title");
        QTest::newRow("error of the program")
            << false << false
            << "sin datos linea 3\n\nCorvelix.frmX.cmdOk_Click (0)::Corvelix.modDA.getRs.::ADO"
            << MsgIcon::None << "";
        QTest::newRow("library exception")
            << true << false << "boom\n\nCorvelix.frmX.cmdOk_Click (0)::Corvelix" << MsgIcon::None
            << "";
        QTest::newRow("form's own box")
            << false << true << "91: sin datos linea 7" << MsgIcon::Critical << "Atencion";
    }

    void guardBox() {
        QFETCH(bool, standardError);
        QFETCH(bool, ownBox);
        QFETCH(QString, text);
        QFETCH(MsgIcon, icon);
        QFETCH(QString, title);
        auto& seam = ScriptedUi::current();
        seam.setBusy(true);
        seam.answerBoxes({MsgResult::Ok});
        GuardOptions options;
        if (ownBox) {
            options.icon = MsgIcon::Critical;
            options.title = QStringLiteral("Atencion");
            options.compose = [](const VbError& e) {
                return QStringLiteral("%1: %2").arg(e.number).arg(e.description);
            };
        }
        const bool ok = guardEvent(
            QStringLiteral("Corvelix.frmX.cmdOk_Click (0)::"),
            [&] {
                if (standardError)
                    throw std::runtime_error("boom");
                if (ownBox)
                    throw VbError(91, QString(), QStringLiteral("sin datos linea 7"));
                chainedNumbered(QStringLiteral("Corvelix.modDA.getRs"), 3, [] {
                    throw VbError(5, QStringLiteral("ADO"), QStringLiteral("sin datos"));
                });
            },
            options);
        QVERIFY(!ok);
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, text);
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::Ok);
        QCOMPARE(seam.boxes[0].icon, icon);
        QCOMPARE(seam.boxes[0].title, title);
        QVERIFY(!seam.busy);
    }

    void guardLetsSuccessThrough() {
        int runs = 0;
        QVERIFY(guardEvent(QStringLiteral("x"), [&] { ++runs; }));
        QCOMPARE(runs, 1);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void programExitIsNotSwallowed() {
        bool exited = false;
        try {
            guardEvent(QStringLiteral("x"), [] { ui().quit(0); });
        } catch (const test::ProgramExit&) {
            exited = true;
        }
        QVERIFY(exited);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }
};

CORVELIX_TEST(tst_ErrorChain)
#include "tst_ErrorChain.moc"
