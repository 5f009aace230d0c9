#include "assembly/frmArmadoITEM.h"
#include "assembly/frmCaratula.h"
#include "support/DesktopTestCase.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestRegistry.h"
#include "support/TestXServer.h"

#include <QScreen>
#include <QTest>

using corvelix::ui;
using corvelix::test::ScriptedUi;

namespace {

const QString kDemo = QStringLiteral("24001IC04000101K");

// Waits until the window manager framed the window and the program placed it, then lists
// where its frame, as the X server has it, leaves the screen's available area. The program
// may move a framed window once more when the real frame leaves the screen, so the frame is
// given a few seconds (a busy machine delays the window manager) to come to rest inside.
QStringList offScreenOnceFramed(QWidget& window) {
    const auto& server = *corvelix::test::desktopServer();
    const auto frame = [&] { return server.frameOf(window.winId()); };
    if (!QTest::qWaitFor([&] { return !frame().isNull(); }, 5000))
        return {window.objectName() + QStringLiteral(": never framed")};
    const QRect available = window.screen()->availableGeometry();
    (void)QTest::qWaitFor([&] { return available.contains(frame()); }, 6000);
    if (available.contains(frame()))
        return {};
    const QRect outside = frame();
    return {window.objectName() + QStringLiteral(" frame (%1,%2 %3x%4) outside the screen")
                                      .arg(outside.x())
                                      .arg(outside.y())
                                      .arg(outside.width())
                                      .arg(outside.height())};
}

} // namespace

// The item view and the header editor under a window manager: each title bar on the screen,
// where the user can take it to move the window.
class tst_LayoutDesktop : public corvelix::test::DesktopTestCase {
    Q_OBJECT

private slots:
    void titleBarsOnScreen_data() {
        QTest::addColumn<QString>("placement");
        QTest::newRow("as it opens") << "";
        QTest::newRow("inside at the screen's corner") << "corner";
        QTest::newRow("larger than the screen") << "large";
        QTest::newRow("at the screen's far corner") << "far";
        // Opened by the main window, as the program does, wherever that stands.
        QTest::newRow("from a window at the screen's corner") << "opener corner";
        QTest::newRow("from a window at the far corner") << "opener far";
    }
    void titleBarsOnScreen() {
        QFETCH(QString, placement);
        QStringList vista;
        QStringList caratula;
        ScriptedUi::current().onForm(QStringLiteral("frmCaratula"), [&](QDialog& dialog) {
            caratula = offScreenOnceFramed(dialog);
        });
        ScriptedUi::current().onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& dialog) {
            vista = offScreenOnceFramed(dialog);
            // Opened from the item view, centred on it.
            frmCaratula header(&dialog);
            header.m_Operacion = kDemo;
            ui().exec(header);
        });
        // The main window's size; its inside placed where a user may have left it.
        QWidget opener;
        opener.resize(900, 560);
        const QRect available = opener.screen()->availableGeometry();
        if (placement.startsWith(QLatin1String("opener"))) {
            opener.show();
            QVERIFY(QTest::qWaitForWindowExposed(&opener));
            // Its inside at the point, as a window manager may leave it (title bar off).
            opener.setGeometry(QRect(placement.endsWith(QLatin1String("far"))
                                         ? available.bottomRight() - QPoint(450, 280)
                                         : available.topLeft(),
                                     opener.size()));
            QTest::qWait(300);
        }
        frmArmadoITEM frm(opener.isVisible() ? &opener : nullptr);
        frm.m_Operacion = kDemo;
        if (placement == QLatin1String("corner"))
            frm.setGeometry(QRect(available.topLeft(), frm.size()));
        else if (placement == QLatin1String("far"))
            frm.setGeometry(
                QRect(available.bottomRight() - QPoint(frm.width(), frm.height()) / 2, frm.size()));
        else if (placement == QLatin1String("large"))
            frm.setGeometry(QRect(available.topLeft(), available.size() + QSize(200, 200)));
        ui().exec(frm);
        QVERIFY(ScriptedUi::current().shownForms.contains(QStringLiteral("frmCaratula")));
        CORVELIX_VERIFY_NO_FAULTS(vista);
        CORVELIX_VERIFY_NO_FAULTS(caratula);
    }
};

CORVELIX_TEST(tst_LayoutDesktop)
#include "tst_LayoutDesktop.moc"
