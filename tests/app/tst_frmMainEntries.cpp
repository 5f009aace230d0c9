#include "app/frmCopiarOperacion.h"
#include "app/frmMain.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "imports/frmXLS2Liquidaciones.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
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

    // The two sheet imports, as every entry: the first row when none is current, and a
    // failure in a box with the exclamation icon.
    void sheetImportEntries_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("form");
        QTest::newRow("liquidations")
            << QStringLiteral("mnuCargarLiquidaciones") << QStringLiteral("frmXLS2Liquidaciones");
        QTest::newRow("cancellations")
            << QStringLiteral("mnuCargarCancelaciones") << QStringLiteral("frmXLS2Cancelaciones");
    }
    void sheetImportEntries() {
        QFETCH(QString, entrada);
        QFETCH(QString, form);
        CatalogFixture catalog(QStringLiteral(
            "INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC06000123A', 'UNO');"));
        frmMain frm;
        frm.cargarGrilla(QString());
        lista(frm).setCurrentItem(nullptr);
        QString recibido;
        auto& ui = ScriptedUi::current();
        ui.onForm(form, [&](QDialog& d) {
            recibido = form == QLatin1String("frmXLS2Liquidaciones")
                           ? static_cast<frmXLS2Liquidaciones&>(d).m_Despacho
                           : static_cast<frmXLS2Cancelaciones&>(d).m_Despacho;
        });
        entry(frm, entrada.toLatin1().constData()).trigger();
        QCOMPARE(recibido, QStringLiteral("26001IC06000123A"));
        QVERIFY(ui.boxes.isEmpty());

        ui.onForm(form, [](QDialog&) {
            throw corvelix::VbError(5, QStringLiteral("prueba"), QStringLiteral("fallo"));
        });
        ui.answerBoxes({MsgResult::Ok});
        entry(frm, entrada.toLatin1().constData()).trigger();
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY2(ui.boxes[0].text.contains(QStringLiteral("Corvelix.frmMain.") + entrada +
                                           QStringLiteral("_Click (0)::")),
                 qPrintable(ui.boxes[0].text));
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
