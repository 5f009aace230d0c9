#include "assembly/frmArmadoITEM.h"
#include "data/connection.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/DesktopTestCase.h"
#include "support/LockingProgram.h"
#include "support/ScriptedUi.h"
#include "support/TestRegistry.h"
#include "support/TestXServer.h"

#include <QMessageBox>
#include <QTest>

#include <chrono>
#include <thread>

using corvelix::test::ScriptedUi;

namespace {

const QString kDemo = QStringLiteral("24001IC04000101K");

// Pixels that differ between two pictures of the same place.
int differing(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return count;
}

} // namespace

// A write that waits for the catalog another program holds, right after a box was answered,
// as a confirmed deletion does.
class tst_BusyWaitDesktop : public corvelix::test::DesktopTestCase {
    Q_OBJECT

private slots:
    // Within 300 ms of the answer the view shows again where the box stood, and the pointer
    // says the program is busy; nothing else of the program runs meanwhile.
    void closedBoxGivesWayToTheView() {
        auto& server = *corvelix::test::desktopServer();
        frmArmadoITEM view;
        view.m_Operacion = kDemo;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::qWait(500);
        corvelix::test::LockingProgram other(qEnvironmentVariable("CORVELIX_KITSQL"));
        QVERIFY(other.holding());

        QMessageBox box(QMessageBox::Question, QStringLiteral("Corvelix"),
                        QStringLiteral("¿Confirma eliminar los items seleccionados?"),
                        QMessageBox::Yes | QMessageBox::No, &view);
        box.setWindowModality(Qt::NonModal);
        const QRect inside = QRect(view.mapToGlobal(QPoint(0, 0)), view.size());
        box.move(inside.center() - QPoint(box.sizeHint().width(), box.sizeHint().height()) / 2);
        const QRect where = QRect(box.pos(), box.sizeHint()).intersected(inside);
        QVERIFY(!where.isEmpty());
        const QImage before = server.grab(where);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::qWait(300);
        QVERIFY2(differing(server.grab(where), before) > where.width() * where.height() / 10,
                 "the box does not show over the view");

        box.done(QMessageBox::Yes);
        modDA::setLockWaitForTests(1500);
        QImage during;
        std::thread look([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            during = server.grab(where);
        });
        bool waited = false;
        try {
            modDA::execSQL(modDA::kCatalog, "UPDATE DDT SET IEXT = IEXT WHERE IDDT = ?", {kDemo});
        } catch (const corvelix::VbError&) {
            waited = true;
        }
        look.join();
        QVERIFY(waited);
        // A view painted again may differ from the one before in its focus marks only.
        const int left = differing(during, before);
        QVERIFY2(left < where.width() * where.height() / 50,
                 qPrintable(QStringLiteral("%1 of %2 pixels still show the box")
                                .arg(left)
                                .arg(where.width() * where.height())));
        QVERIFY(ScriptedUi::current().busyChanges.contains(true));
        QCOMPARE(other.commit(), QString());
    }
};

CORVELIX_TEST(tst_BusyWaitDesktop)
#include "tst_BusyWaitDesktop.moc"
