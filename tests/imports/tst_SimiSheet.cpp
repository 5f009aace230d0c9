#include "data/modDA.h"
#include "imports/frmSIMIGlobal.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kDespacho = QStringLiteral("26001IC04000001A");

// Items 1 to 5.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC04000001A');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, CARTPAYORI)
  VALUES ('26001IC04000001A', '0001', '0001', '07', 1, '01', 1.5, '225'),
         ('26001IC04000001A', '0002', '0002', '07', 2, '01', 2.5, '221'),
         ('26001IC04000001A', '0003', '0003', '07', 3, '01', 3.5, '999'),
         ('26001IC04000001A', '0004', '0004', '07', 4, '01', 4.5, '225'),
         ('26001IC04000001A', '0005', '0005', '07', 5, '01', 5.5, '225');
)");

QString hoja(const CatalogFixture& catalog, const QByteArray& texto) {
    const QString ruta = QDir(catalog.folder()).filePath(QStringLiteral("simi.txt"));
    QFile file(ruta);
    if (file.open(QIODevice::WriteOnly))
        file.write(texto);
    return ruta;
}

QString filas() {
    const modDA::Recordset rs = modDA::getRs(
        modDA::kLocal,
        testSql(QStringLiteral("SELECT Item, Cantidad, Fob, Lista, CCTexto, Certificado_Origen, "
                               "KGNeto, DeclaradaUnidad, EstadisticaCantidad, PaisOrigen, "
                               "Procesado FROM SIMIGlobalItem ORDER BY Item, rowid")));
    QStringList out;
    for (const QVariantList& r : rs.rows()) {
        QStringList campos;
        for (const QVariant& v : r)
            campos << (v.isNull() ? QStringLiteral("-") : v.toString());
        out << campos.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char(';'));
}

} // namespace

// The SIMI sheet: automatic assignment, the rows written with their item values and the
// zero rows of the items the sheet leaves out; bad sheets write nothing.
class tst_SimiSheet : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { ScriptedUi::current().reset(); }

private slots:
    void load() {
        CatalogFixture catalog(kSeed);
        frmSIMIGlobal frm;
        frm.m_Despacho = kDespacho;
        frm.Form_Activate();
        QVERIFY(frm.lf_LevantarExcel(hoja(catalog, "ITEM\tCantidad\tTOTAL\tPeso\tCOD\tAC\tSD\tFOB\n"
                                                   "2\t10,5\t1234,5\t3\tC-1\tACE\tCCP\t9\n"
                                                   "4\t0\t0\t1\t\t\t\t9\n")));
        QCOMPARE(frm.filasLeidas(), 2);
        frm.Seleccionarautomaticamente_dorsel();
        auto* grid = frm.findChild<FlexGrid*>(QStringLiteral("grdExcel"));
        QStringList asignados;
        for (int c = 0; c < grid->cols(); ++c)
            asignados << grid->textMatrix(1, c);
        QCOMPARE(asignados, (QStringList{"Item", "Cantidad", "Fob", "KGNeto", "Certificado Origen",
                                         "Acuerdo", "CC Pack", ""}));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.findChild<QPushButton*>(QStringLiteral("cmdGuardar"))->click();
        QCOMPARE(ScriptedUi::current().boxes.value(0).text, QStringLiteral("Fin de Proceso"));
        QCOMPARE(filas(), QStringLiteral("1|0|0|-|-|-|-|-|-|-|0;"
                                         "2|10.5|1234.5|ACE|CCP|C-1|3|07|2.5|221|0;"
                                         "3|0|0|-|-|-|-|-|-|-|0;"
                                         "4|0|0||||1|07|4.5|225|0;"
                                         "5|0|0|-|-|-|-|-|-|-|0"));
        QCOMPARE(frm.result(), int(QDialog::Rejected));
    }

    void refused_data() {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QString>("message");
        // A sheet without rows is already refused when it is read.
        QTest::addColumn<bool>("refusedOnReading");
        QTest::addColumn<QString>("locale");
        const QString ar = QStringLiteral("es_AR");
        QTest::newRow("missing column") << QByteArray("Item\tCantidad\n1\t2\n")
                                        << QStringLiteral("Debe seleccionar Item, Cantidad y FOB "
                                                          "para poder continuar.")
                                        << false << ar;
        QTest::newRow("letters in quantity")
            << QByteArray("Item\tCantidad\tTotal\n1\tdos\t3\n")
            << QStringLiteral("la cantidad \"dos\" no es un número") << false << ar;
        QTest::newRow("the sheet's row, past a blank one")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t3\n\n2\tdos\t3\n")
            << QStringLiteral("Fila 4 de la hoja: la cantidad \"dos\" no es un número") << false
            << ar;
        QTest::newRow("letters in amount")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\ttres\n")
            << QStringLiteral("el FOB \"tres\" no es un número") << false << ar;
        QTest::newRow("negative amount")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t-3\n")
            << QStringLiteral("el FOB \"-3\" es negativo") << false << ar;
        // A rounded item number would give its values to another item.
        QTest::newRow("item not whole")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t3\n1,5\t1\t1\n")
            << QStringLiteral("Fila 3 de la hoja: el item \"1,5\" no es un número entero") << false
            << ar;
        QTest::newRow("item not whole, decimal point")
            << QByteArray("Item\tCantidad\tTotal\n2.5\t1\t1\n")
            << QStringLiteral("Fila 2 de la hoja: el item \"2.5\" no es un número entero") << false
            << QStringLiteral("en_US");
        QTest::newRow("FOB beyond the catalog")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t3\n2\t1\t99999999999999999999\n")
            << QStringLiteral("Fila 3 de la hoja: el FOB \"99999999999999999999\" no cabe en "
                              "el catálogo, que admite hasta 9999999999999,99")
            << false << ar;
        QTest::newRow("FOB that rounds past the catalog")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t9999999999999,996\n")
            << QStringLiteral("Fila 2 de la hoja: el FOB \"9999999999999,996\" no cabe") << false
            << ar;
        QTest::newRow("quantity beyond the catalog")
            << QByteArray("Item\tCantidad\tTotal\n1\t99999999999999999999\t3\n")
            << QStringLiteral("Fila 2 de la hoja: la cantidad \"99999999999999999999\" no cabe")
            << false << ar;
        QTest::newRow("kilos beyond the catalog")
            << QByteArray("Item\tCantidad\tTotal\tPeso\n1\t2\t3\t1E+20\n")
            << QStringLiteral("Fila 2 de la hoja: el peso \"1E+20\" no cabe") << false << ar;
        QTest::newRow("unknown item")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t3\n9\t1\t1\n")
            << QStringLiteral("Fila 3 de la hoja: No se encuentra el item 9 en la operacion "
                              "26001IC04000001A linea ")
            << false << ar;
        QTest::newRow("unknown item past a blank row")
            << QByteArray("Item\tCantidad\tTotal\n1\t2\t3\n\n\n9\t1\t1\n")
            << QStringLiteral("Fila 5 de la hoja: No se encuentra el item 9 en la operacion "
                              "26001IC04000001A linea ")
            << false << ar;
        QTest::newRow("one item, two certificates")
            << QByteArray("Item\tCantidad\tTotal\tCOD\tSD\n1\t1\t1\t\t\n"
                          "2\t1\t1\tC2a\tCC2a\n2\t1\t1\tC2b\tCC2b\n")
            << QStringLiteral("Filas 3 y 4 de la hoja: el item 2 tiene dos valores de "
                              "certificado de origen distintos, \"C2a\" y \"C2b\"; no se "
                              "modificó nada linea ")
            << false << ar;
        QTest::newRow("one item, two lists past other rows")
            << QByteArray("Item\tCantidad\tTotal\tAC\n3\t1\t1\tACE\n1\t1\t1\t\n"
                          "3\t1\t1\t\n3\t1\t1\tNAC\n")
            << QStringLiteral(
                   "Filas 2 y 5 de la hoja: el item 3 tiene dos valores de lista distintos, "
                   "\"ACE\" y \"NAC\"")
            << false << ar;
        QTest::newRow("one item, two CC Pack texts")
            << QByteArray("Item\tCantidad\tTotal\tSD\n2\t1\t1\tCC2\n2\t1\t1\tCC3\n")
            << QStringLiteral(
                   "Filas 2 y 3 de la hoja: el item 2 tiene dos valores de CC Pack distintos")
            << false << ar;
        QTest::newRow("no rows") << QByteArray("Item\tCantidad\tTotal\n")
                                 << QStringLiteral("La hoja no tiene filas para cargar") << true
                                 << ar;
    }
    // Nothing is written, the earlier rows stay; the window stays open. No statement text
    // reaches the box.
    void refused() {
        QFETCH(QByteArray, sheet);
        QFETCH(QString, message);
        QFETCH(bool, refusedOnReading);
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const auto restore =
            qScopeGuard([] { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); });
        CatalogFixture catalog(kSeed);
        modDA::execSQL(modDA::kLocal, testSql(QStringLiteral(
                                          "INSERT INTO SIMIGlobalItem (NumeroOperacion, Item, "
                                          "Cantidad, Fob) VALUES ('26001IC04000001A', 1, 7, 7)")));
        frmSIMIGlobal frm;
        frm.m_Despacho = kDespacho;
        if (refusedOnReading)
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.lf_LevantarExcel(hoja(catalog, sheet));
        frm.Seleccionarautomaticamente_dorsel();
        const qsizetype antes = ScriptedUi::current().boxes.size();
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.findChild<QPushButton*>(QStringLiteral("cmdGuardar"))->click();
        QCOMPARE(ScriptedUi::current().boxes.size(), antes + 1);
        const QString texto = ScriptedUi::current().boxes.last().text;
        QVERIFY2(texto.contains(message), qPrintable(texto));
        QVERIFY2(!texto.contains(QStringLiteral("select"), Qt::CaseInsensitive), qPrintable(texto));
        QCOMPARE(filas(), QStringLiteral("1|7|7|-|-|-|-|-|-|-|0"));
    }

    // A big sheet goes in whole.
    void manyRows() {
        CatalogFixture catalog(kSeed);
        QByteArray texto("Item\tCantidad\tTotal\n");
        for (int i = 0; i < 20000; ++i)
            texto += QByteArray::number(i % 5 + 1) + "\t1\t2\n";
        frmSIMIGlobal frm;
        frm.m_Despacho = kDespacho;
        QVERIFY(frm.lf_LevantarExcel(hoja(catalog, texto)));
        frm.Seleccionarautomaticamente_dorsel();
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.guardarDatos();
        const modDA::Recordset rs = modDA::getRs(
            modDA::kLocal, testSql(QStringLiteral("SELECT COUNT(*) FROM SIMIGlobalItem")));
        QCOMPARE(rs.field(0).toInt(), 20000);
    }
};

CORVELIX_TEST(tst_SimiSheet)
#include "tst_SimiSheet.moc"
