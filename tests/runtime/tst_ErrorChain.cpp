#include "runtime/VbError.h"
#include "support/ScriptedUi.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <stdexcept>

using namespace corvelix;
using corvelix::test::ScriptedUi;

class tst_ErrorChain : public QObject {
    Q_OBJECT

private slots:
    void init() { ScriptedUi::current().reset(); }

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
