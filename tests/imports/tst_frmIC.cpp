#include "imports/frmIC.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC04000001A'), ('26001IC04000002B');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, QARTUNTDCL, MARTUNITAR, MARTFOB, CARTPAYORI)
  VALUES ('26001IC04000001A', '0001', '0001', '8471.30.12', 2, 5, 10, '225');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, IEXT)
  VALUES ('26001IC04000001A', '0001', '0001', 'AA(X)', NULL);
)");

} // namespace

// The SIMI report window: its list and its tab-separated export.
class tst_frmIC : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { ScriptedUi::current().reset(); }

private slots:
    void list() {
        CatalogFixture catalog(kSeed);
        frmIC frm;
        frm.p_IdOperacion = QStringLiteral("26001IC04000001A");
        frm.cargarOperaciones();
        QCOMPARE(frm.findChild<QLabel*>(QStringLiteral("lbDespacho"))->text(),
                 QStringLiteral("Articulos de 26001IC04000001A"));
        auto* lista = frm.findChild<QTreeWidget*>(QStringLiteral("lstART"));
        QCOMPARE(lista->headerItem()->text(8), QStringLiteral("IEXT"));
        QCOMPARE(lista->topLevelItemCount(), 1);
        QStringList celdas;
        for (int c = 0; c < 9; ++c)
            celdas << lista->topLevelItem(0)->text(c);
        QCOMPARE(celdas, (QStringList{"26001IC04000001A", "8471.30.12", "0001", "2", "5", "10",
                                      "AA(X)", "225", ""}));
    }

    void exportFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << QStringLiteral("reporte") << QStringLiteral("reporte.xls");
        QTest::newRow("capitals") << QStringLiteral("REPORTE.XLS") << QStringLiteral("REPORTE.XLS");
    }
    void exportFile() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        CatalogFixture catalog(kSeed);
        const QString ruta = QDir(catalog.folder()).filePath(chosen);
        ScriptedUi::current().answerSaveDialog(ruta);
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frmIC frm;
        frm.p_IdOperacion = QStringLiteral("26001IC04000001A");
        frm.findChild<QPushButton*>(QStringLiteral("cmdExportarExcel"))->click();
        const QString destino = QDir(catalog.folder()).filePath(written);
        QCOMPARE(ScriptedUi::current().boxes.value(0).text,
                 QStringLiteral("se genero el archivo ") + destino);
        QFile file(destino);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(
            file.readAll(),
            QByteArray("Despacho\tNCM\tItem\tCantidad\tUnitario\tTotal\tSufijos\tOrigen\tIEXT\r\n"
                       "26001IC04000001A\t8471.30.12\t0001\t2\t5\t10\tAA(X)\t225\t\r\n\r\n"));
    }

    // Nothing to export: the message, no file; a cancelled dialog: nothing at all.
    void emptyExport() {
        CatalogFixture catalog(kSeed);
        const QString ruta = QDir(catalog.folder()).filePath(QStringLiteral("vacio.xls"));
        ScriptedUi::current().answerSaveDialog(ruta);
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frmIC frm;
        frm.p_IdOperacion = QStringLiteral("26001IC04000002B");
        frm.cmdExportarExcel_Click();
        QCOMPARE(ScriptedUi::current().boxes.value(0).text,
                 QStringLiteral("No hay registro para generar el reporte en excel"));
        QVERIFY(!QFile::exists(ruta));
        frm.cmdExportarExcel_Click();
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
    }
};

CORVELIX_TEST(tst_frmIC)
#include "tst_frmIC.moc"
