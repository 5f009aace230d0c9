#include "app/frmCopiarOperacion.h"
#include "app/frmMain.h"
#include "support/CatalogFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::LoopbackHttpServer;
using corvelix::test::ScriptedUi;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT) VALUES ('24010IC04000001A', 'UNO'), ('24010IC04000002B', 'DOS');
)");

QAction& entry(frmMain& frm, const char* name) {
    return *frm.findChild<QAction*>(QLatin1String(name));
}

QTreeWidget& lista(frmMain& frm) {
    return *frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
}

} // namespace

// The main window's entries into the copy dialog, the update window and the options panel.
class tst_frmMainEntries : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    // The origin is the selected row; an empty list opens nothing.
    void copyEntry() {
        CatalogFixture catalog(kSeed);
        QStringList origins;
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            origins << static_cast<frmCopiarOperacion&>(dialog).m_Operacion_Origen;
        });
        frmMain frm;
        entry(frm, "mnuCopiarOperacion").trigger();
        QVERIFY(ScriptedUi::current().shownForms.isEmpty());

        frm.cargarGrilla(QString());
        lista(frm).setCurrentItem(lista(frm).topLevelItem(1));
        entry(frm, "mnuCopiarOperacion").trigger();
        QCOMPARE(origins, QStringList{QStringLiteral("24010IC04000001A")});
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void optionsButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("cmdBultos") << QStringLiteral("cmdBultos");
        QTest::newRow("cmdRatificacion") << QStringLiteral("cmdRatificacion");
        QTest::newRow("cmdMasOpciones") << QStringLiteral("cmdMasOpciones");
    }
    void optionsButtons() {
        QFETCH(QString, button);
        frmMain frm;
        auto* b = frm.findChild<QPushButton*>(button);
        QVERIFY(b->isEnabled());
        b->click();
        QCOMPARE(ScriptedUi::current().shownForms, QStringList{QStringLiteral("frmmasOpciones")});
        QVERIFY(ScriptedUi::current().modelessForms.isEmpty());
    }

    // Modeless: the entry returns at once and the window stays open beside the main one.
    void updateEntry() {
        LoopbackHttpServer server;
        qputenv("CORVELIX_UPDATE_SERVER1", server.baseUrl().toUtf8());
        frmMain frm;
        entry(frm, "mnuComprobarActualizacion").trigger();
        QCOMPARE(ScriptedUi::current().modelessForms,
                 QStringList{QStringLiteral("frmActualizacion")});
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmActualizacion") && w->isVisible())
                window = w;
        QVERIFY(window != nullptr);
        window->close();
        qunsetenv("CORVELIX_UPDATE_SERVER1");
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }
};

CORVELIX_TEST(tst_frmMainEntries)
#include "tst_frmMainEntries.moc"
