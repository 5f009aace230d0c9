#include "app/frmMain.h"
#include "support/DesktopTestCase.h"
#include "support/TestRegistry.h"
#include "support/TestXServer.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <functional>

// The main window's menus under a window manager, opened by real right clicks.
class tst_frmMainDesktop : public corvelix::test::DesktopTestCase {
    Q_OBJECT

private slots:
    // Every right click opens the menu: on a row, on the list's empty part and on the logo.
    void rightClickMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("where");
        QTest::newRow("list row") << "mnuArchivo"
                                  << "row";
        QTest::newRow("list's empty part") << "mnuArchivo"
                                           << "empty";
        QTest::newRow("logo") << "mnuActualizacion"
                              << "logo";
    }
    void rightClickMenus() {
        QFETCH(QString, menu);
        QFETCH(QString, where);
        frmMain frm;
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        auto& list = *frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
        QTRY_VERIFY(list.topLevelItemCount() > 0);
        QPoint point;
        if (where == QLatin1String("row")) {
            const QRect row = list.visualItemRect(list.topLevelItem(0));
            point = list.viewport()->mapToGlobal(row.center());
        } else if (where == QLatin1String("empty")) {
            const QRect last = list.visualItemRect(list.topLevelItem(list.topLevelItemCount() - 1));
            QVERIFY(last.bottom() + 20 < list.viewport()->height());
            point = list.viewport()->mapToGlobal(QPoint(
                list.viewport()->width() / 2, (last.bottom() + list.viewport()->height()) / 2));
        } else {
            auto* logo = frm.findChild<QLabel*>(QStringLiteral("imgLogo"));
            point = logo->mapToGlobal(logo->rect().center());
        }
        auto* popup = frm.findChild<QMenu*>(menu);
        auto* server = corvelix::test::desktopServer();
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!popup->isVisible());
            if (!server->click(point.x(), point.y(), 3))
                QSKIP("the X server has no XTEST extension");
            QTRY_VERIFY2_WITH_TIMEOUT(popup->isVisible(),
                                      qPrintable(QStringLiteral("click %1").arg(i + 1)), 3000);
            // Closed as the user does, with a click beside it.
            const QPoint beside = frm.mapToGlobal(QPoint(frm.width() - 20, frm.height() - 20));
            QVERIFY(server->click(beside.x(), beside.y(), 1));
            QTRY_VERIFY(!popup->isVisible());
        }
    }
};

CORVELIX_TEST(tst_frmMainDesktop)
#include "tst_frmMainDesktop.moc"
