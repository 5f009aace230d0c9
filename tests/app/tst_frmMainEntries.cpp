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
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
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

// One declaration with one item, enough for a transfer file.
const QString kSeedTransferencia = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTAGR, NDDTIMMIOE, CDDTBUR, CDDTDEVFOB, MDDTFOB, MDDTFLE, MDDTASS, CDDTIVA, ISTA, IEXT)
  VALUES ('26001IC04000001A', '20123456789', '30712345678', '001', 'DOL', 1000, 0, 0, 'S', 'IC04', 'REF');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, CARTTYP)
  VALUES ('26001IC04000001A', '0001', '0001', '8471.30.12.000A', '310', '310', '1', '07', 10, 10, 5, 100, 1000, 0, 0, 'N');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES ('26001IC04000001A', '0001', '0000', '', 10, 10, 100, 1000);
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

    // The buttons that need no declaration open their form modally, nothing passed.
    void optionsButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("form");
        const QString opciones = QStringLiteral("frmmasOpciones");
        QTest::newRow("cmdBultos") << QStringLiteral("cmdBultos") << opciones;
        QTest::newRow("cmdRatificacion") << QStringLiteral("cmdRatificacion") << opciones;
        QTest::newRow("cmdMasOpciones") << QStringLiteral("cmdMasOpciones") << opciones;
        QTest::newRow("cmdConvertRET_2_TXT")
            << QStringLiteral("cmdConvertRET_2_TXT") << QStringLiteral("frmImportarRET");
    }
    void optionsButtons() {
        QFETCH(QString, button);
        QFETCH(QString, form);
        frmMain frm;
        auto* b = frm.findChild<QPushButton*>(button);
        QVERIFY(b->isEnabled());
        b->click();
        QCOMPARE(ScriptedUi::current().shownForms, QStringList{form});
        QVERIFY(ScriptedUi::current().modelessForms.isEmpty());
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // "Exportar a TXT" and its button write the transfer file of the selected declaration,
    // or of the first row when none is current.
    void transferExport_data() {
        QTest::addColumn<QString>("entrada");
        QTest::newRow("menu") << QStringLiteral("mnuExportarATXT");
        QTest::newRow("button") << QStringLiteral("cmdExportarProvisorio");
    }
    void transferExport() {
        QFETCH(QString, entrada);
        CatalogFixture catalog(kSeedTransferencia);
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("transferencia"));
        auto& ui = ScriptedUi::current();
        ui.answerSaveDialog(ruta);
        ui.answerBoxes({MsgResult::Ok});
        frmMain frm;
        frm.cargarGrilla(QString());
        lista(frm).setCurrentItem(nullptr);
        if (auto* boton = frm.findChild<QPushButton*>(entrada))
            boton->click();
        else
            entry(frm, entrada.toLatin1().constData()).trigger();
        QCOMPARE(ui.fileDialogs.size(), 1);
        QCOMPARE(ui.fileDialogs[0].request.proposedName,
                 QStringLiteral("26001IC04000001A - REF.txt"));
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, QStringLiteral("Se generó el archivo de transferencia en \n") +
                                       ruta + QStringLiteral(".txt"));
        QFile file(ruta + QStringLiteral(".txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray texto = file.readAll();
        QVERIFY2(texto.startsWith("[DDT]\r\n") && texto.contains("\r\nNARTEXT=0001\r\n"),
                 texto.constData());
        QVERIFY(!ui.busy);
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
