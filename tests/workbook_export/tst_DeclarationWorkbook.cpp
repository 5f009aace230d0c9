#include "WorkbookXml.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"
#include "workbook_export/WorkbookText.h"
#include "workbook_export/main_workbook.h"

#include <QLocale>
#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;
using corvelix::test::ParsedSheet;
using corvelix::test::ParsedWorkbook;
using corvelix::test::parseWorkbook;

namespace {

const QString kD1 = QStringLiteral("26001IC04000001A");
// A header row and nothing else.
const QString kBare = QStringLiteral("26001IC04000002B");
// Jurisdictions but no registration; no exchange rate.
const QString kNoRegistration = QStringLiteral("26001IC04000003C");

// D1: items stored out of order; item 0003 comes from a country whose row expired and has a
// unit whose row expired. Codes: "A" and "B" at header level, "X" both a document of item
// 0001 and a complementary information of item 0002, advantage "HDR-ONLY" only at header
// level. Another declaration's reference holds D1's number.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT, LDDTNOMIOE, NDDTIMMIOE, CDDTAGR, ISTA, CDDTBUR, CDDTINCOTE, MDDTFOB, MDDTFLE, MDDTASS, CDDTDEVFOB, CDDTDEVFLE, CDDTDEVASS, CDDTPAIDST, CDDTBURDST, IDAL, CDDTMOT, QDDTREGSUS, NDDTNUMCVT, NDDTIMMTRN, CDDTMDETRN, CDDTPAYTRN, CDDTDEP)
  VALUES ('26001IC04000001A', 'REF 1', 'Importadora Sur & Cía', '30-1', '20-9', 'IC04', '001', 'FOB', 1234.567, 100, 0.5, 'DOL', 'DOL', 'EUR', '203', '010', 'DAL-1', 'M1', 30, '0012', 'MV-77', '1', '203', 'DEP-9');
INSERT INTO DDT (IDDT, IEXT, MDDTFOB, MDDTFLE, MDDTASS) VALUES ('26001IC04000009Z', 'COPIA 26001IC04000001A', 1, 1, 1);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB, MDDTFLE, MDDTASS) VALUES ('26001IC04000002B', NULL, 0, 0, 0);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB, MDDTFLE, MDDTASS) VALUES ('26001IC04000003C', 'SIN CIB', 0, 0, 0);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP, MARTFOBDOL)
  VALUES ('26001IC04000001A', '0003', '0003', '3926.90', 'NAC', '499', '203', 'USADO', '98', 5, '98', 5, 2.5, 4, 20, 1, 0.1, 0, 0, 0, 0, 20);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP, MARTFOBDOL)
  VALUES ('26001IC04000001A', '0001', '0001', '8471.30', 'ACE18', '203', '203', 'NUEVO', '07', 2.5, '07', 2.5, 24.5, 12.5, 12.3456, 5, 1, 0, 2, 3, 4, 125);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP, MARTFOBDOL)
  VALUES ('26001IC04000001A', '0002', '0002', '8471.41', 'NAC', '203', '203', 'NUEVO', '07', 30, '07', 30, 60, 2, 60, 2.4, 0.3, 0, 0, 0, 0, 60);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP)
  VALUES ('26001IC04000003C', '0001', '0001', '1111.11', '203', '203', 'NUEVO', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0, 0, 0);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT, CSBTCODEAN) VALUES ('26001IC04000001A', '0001', '0000', 'AI(ai1)-AB(ab1)-AA(ACME)-', 99, 99, 99, 99, 'S1', '779001');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0002', '0001', 'AI(solo)-AA()-', 10, 10, 1.23456, 20, 'S2');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0002', '0002', NULL, 20, 20.123456, NULL, 40, 'S3');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0003', '0000', '', 1, 1, 1, 1, 'S4');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0000', 'B', 'D', 'vb');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0000', 'A', 'D', 'va & <b>');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0001', 'MARCA', 'D', 'ACME');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0002', 'X', 'D', 'cpl-x');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0000', 'HDR-ONLY');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0002', 'ACE18');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0001', 'X', 'S', 'dvd-x');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0000', 'FACTURACOMERCIAL', 'S', 'F-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0000', 'FACTURACOMERCIAL', 'S', 'F-2');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0000', 'FACTURACOMERCIAL', 'S', 'F-3');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL) VALUES ('26001IC04000001A', 1, '25001IC04000118H', 3, 0, '8471.30', 12.5, 'PP-1', 0, '100,00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL) VALUES ('26001IC04000001A', 2, '25001IC04000118H', 4, 1, '8471.41', NULL, NULL, 0, NULL);
INSERT INTO BUL (IDDT, LBULNUMCLS, CBULNATEMB, CBULEXT, QBULDECLAR, QBULUMMBRT) VALUES ('26001IC04000001A', 'S/M 1-6', 'CJ', 'SUEL', 6, 1234.5);
INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) VALUES ('26001IC04000001A', 7, 'DCEXP', 'CCPAC <UNO>', 1, '0007');
INSERT INTO DCM (IDDT, NART, CIDCM, CDCMNART, CDCMPAYPAC, CDCMUNTEST, QDCMUNTEST) VALUES ('26001IC04000001A', '0001', '25001IC06000118H', '0002', '320', '07', 12.5);
INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES ('26001IC04000001A', '010', '1', 10.123);
INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES ('26001IC04000001A', '040', '1', 7);
INSERT INTO TPR (IDDT, MTPRCOTIZ) VALUES ('26001IC04000001A', 3);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC) VALUES ('26001IC04000001A', '0001', '010', '1', 'NULO', 12.35, 100, 12.3456);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC) VALUES ('26001IC04000001A', '0001', '020', '1', 'GARANTIA NULO X', 1, 10, 10);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC) VALUES ('26001IC04000001A', '0001', '040', '1', 'NULO', 21, 100, 21);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC) VALUES ('26001IC04000001A', '0002', '010', '1', 'NULO', 2, 20, 10);
INSERT INTO CIB (IDDT, CCIBNUMINS, CCIBEXENTO, CCIBINSCON) VALUES ('26001IC04000001A', '901-554433-1', 'N', 'S');
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000001A', '901', 0.5);
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000001A', '902', 0.12345);
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000001A', '902', 0.25);
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000003C', '901', 1);
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000003C', '902', 1);
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('NUEVO', 'NUEVO SIN USO');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('203', 'BRASIL', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('499', 'YUGOSLAVIA', '2003-02-04 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('07', 'UNIDAD', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('98', 'GRUESA', '2000-01-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('010', 'DERECHO IMPORTACION', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('020', 'TASA', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('040', 'IVA', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('060', 'INGRESOS BRUTOS', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPTAX', '1', 'PAGADO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('MODTRN', '1', 'MARITIMO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPEMB', 'SUEL', 'CARGA SUELTA');
INSERT INTO NEB (TNEBNATEMB, LNEBNATEMB, DNEBFIN) VALUES ('CJ', 'CAJA', '2099-12-31 00:00:00');
INSERT INTO JRD (CJRD, LJRDDESC, CJRDTAX, QJRDALILOC, DJRDFIN) VALUES ('901', 'CAPITAL FEDERAL', '060', 3.5, '2099-12-31 00:00:00');
INSERT INTO JRD (CJRD, LJRDDESC, CJRDTAX, QJRDALILOC, DJRDFIN) VALUES ('902', 'BUENOS AIRES', '060', 2, '2099-12-31 00:00:00');
)");

QStringList strings(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* text : texts)
        out << QString::fromUtf8(text);
    return out;
}

// Every row holds as many cells as the header row (the invoice rows of "Caratula" aside).
void checkRectangular(const ParsedSheet& sheet) {
    for (int row = 1; row < sheet.rows.size(); ++row)
        QVERIFY2(sheet.rows.at(row).size() == sheet.rows.at(0).size(),
                 qPrintable(sheet.name + QStringLiteral(" row ") + QString::number(row)));
}

} // namespace

class tst_DeclarationWorkbook : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;
    ParsedWorkbook d1_;

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
        d1_ = parseWorkbook(mainModule::armarLibroDespacho(kD1));
        QVERIFY2(d1_.error.isEmpty(), qPrintable(d1_.error));
    }
    void cleanupTestCase() {
        fixture_.reset();
        QLocale::setDefault(QLocale::system());
    }
protected:
    void initTest() override { corvelix::test::ScriptedUi::current().reset(); }
private slots:

    void tenSheetsInOrder() {
        QVERIFY(d1_.hasStyles);
        QCOMPARE(d1_.names(),
                 strings({"Caratula", "Item", "Subitem", "Cancelaciones", "Bultos", "DCEXP",
                          "PAC ROM", "Liquidacion total", "Liquidacion Items", "I.B."}));
        for (const ParsedSheet& sheet : d1_.sheets) {
            if (sheet.name != QLatin1String("Caratula"))
                checkRectangular(sheet);
            for (const auto& cell : sheet.rows.at(0))
                QCOMPARE(cell.style, QStringLiteral("s63"));
        }
    }

    void headerSheet() {
        const ParsedSheet& s = d1_.sheet(QStringLiteral("Caratula"));
        QCOMPARE(s.texts(0), strings({"INTERNO",
                                      "REFERENCIA",
                                      "CLIENTE",
                                      "CUIT IE",
                                      "DESPACHANTE",
                                      "CUIT DA",
                                      "REGIMEN",
                                      "ADUANA",
                                      "INCOTERM",
                                      "FOB",
                                      "FLETE",
                                      "SEGURO",
                                      "MONEDA FOB",
                                      "MONEDA FLETE",
                                      "MONEDA SEG",
                                      "DESTINO",
                                      "ADUANA_SALIDA_DESTINO",
                                      "DEP_ALMACENAMIENTO",
                                      "MOTIVO",
                                      "DIAS",
                                      "AUTORIZACION",
                                      "I:A",
                                      "I:B"}));
        // Only the declaration itself, not the one whose reference holds its number.
        QCOMPARE(s.texts(1), strings({"",         "REF 1",       "Importadora Sur & Cía",
                                      "30-1",     "DESPACHANTE", "20-9",
                                      "IC04",     "001",         "FOB",
                                      "1234.57",  "100",         "0.5",
                                      "DOL",      "DOL",         "EUR",
                                      "203",      "010",         "DAL-1",
                                      "M1",       "30",          "0012",
                                      "va & <b>", "vb"}));
        QCOMPARE(s.rows.at(1).at(9).type, QStringLiteral("Number"));
        QCOMPARE(s.rows.at(1).at(19).type, QStringLiteral("String"));
        QCOMPARE(s.texts(2), QStringList{QString()});
        QCOMPARE(s.texts(3), QStringList{QStringLiteral("FACTURAS")});
        QCOMPARE(s.rows.size(), 7);
        QStringList facturas = s.texts(4) + s.texts(5) + s.texts(6);
        facturas.sort();
        QCOMPARE(facturas, strings({"F-1", "F-2", "F-3"}));
    }

    void itemSheet() {
        const ParsedSheet& s = d1_.sheet(QStringLiteral("Item"));
        // Documents, complementary information, advantages; keys never shown.
        QCOMPARE(s.texts(0),
                 strings({"Item", "NCM", "ORIGEN", "PROCEDENCIA", "ESTADO", "ACUERDO", "CANTIDAD",
                          "VALOR FOB", "FLETE EN DIV", "SEGURO EN DIV", "AJUSTE A DEDUCIR",
                          "AJUSTE A INCLUIR", "INSUMOS A CONSUMO", "INSUMOS TEMPORALES", "D:X",
                          "I:MARCA", "I:X", "V:ACE18", "V:HDR-ONLY"}));
        QCOMPARE(s.rows.size(), 4);
        QCOMPARE(s.texts(1), strings({"0001", "8471.30", "203 - BRASIL", "203 - BRASIL",
                                      "NUEVO - NUEVO SIN USO", "ACE18", "2.5", "12.35", "5", "1",
                                      "0", "2", "3", "4", "dvd-x", "ACME", "", "", ""}));
        // The same code in two pivots keeps each pivot's own value.
        QCOMPARE(s.at(2, QStringLiteral("D:X")), QString());
        QCOMPARE(s.at(2, QStringLiteral("I:X")), QStringLiteral("cpl-x"));
        QCOMPARE(s.at(2, QStringLiteral("V:ACE18")), QStringLiteral("SI"));
        // An expired country row or a state without description: the row stays, the code shows.
        QCOMPARE(s.at(3, QStringLiteral("Item")), QStringLiteral("0003"));
        QCOMPARE(s.at(3, QStringLiteral("ORIGEN")), QStringLiteral("499 - "));
        QCOMPARE(s.at(3, QStringLiteral("ESTADO")), QStringLiteral("USADO - "));
    }

    void itemSheetWithoutPivotCodes() {
        const ParsedWorkbook book = parseWorkbook(mainModule::armarLibroDespacho(kNoRegistration));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.sheet(QStringLiteral("Item")).rows.at(0).size(), 14);
        QCOMPARE(book.sheet(QStringLiteral("Caratula")).rows.at(0).size(), 21);
    }

    void subitemSheet() {
        const ParsedSheet& s = d1_.sheet(QStringLiteral("Subitem"));
        QCOMPARE(s.texts(0), strings({"ITEM", "SUBITEM", "NCM", "MODELO", "MARCA", "CANTIDAD",
                                      "UNITARIO", "MONTO FOB", "PESO NETO", "CANT ESTADISTICA",
                                      "SUFIJOS DE VALOR", "CODIGO EAN", "ESTADO", "ORIGEN",
                                      "ACUERDO", "UNIDAD DECLARADA", "UNIDAD ESTADISTICA"}));
        QCOMPARE(s.rows.size(), 5);
        QHash<QString, QStringList> byKey;
        for (int row = 1; row < s.rows.size(); ++row)
            byKey.insert(s.texts(row).at(0) + QLatin1Char('/') + s.texts(row).at(1), s.texts(row));
        // The item's own row takes the item's values; AB wins over AI whatever their order.
        QCOMPARE(byKey.value(QStringLiteral("0001/0000")),
                 strings({"0001", "0000", "8471.30", "ab1", "ACME", "2.5", "12.5", "12.35", "24.5",
                          "2.5", "AI(ai1)-AB(ab1)-AA(ACME)-", "779001", "NUEVO", "203 - BRASIL",
                          "ACE18", "07 - UNIDAD", "07 - UNIDAD"}));
        const QStringList solo = byKey.value(QStringLiteral("0002/0001"));
        QCOMPARE(solo.mid(3, 5), strings({"solo", "", "10", "1.2346", "20"}));
        // No unit price shows 0; five decimals for the statistical quantity.
        const QStringList sinPrecio = byKey.value(QStringLiteral("0002/0002"));
        QCOMPARE(sinPrecio.mid(3, 8), strings({"", "", "20", "0", "40", "60", "20.12346", ""}));
        // Expired unit and country rows: the subitem stays with the codes alone.
        const QStringList vencido = byKey.value(QStringLiteral("0003/0000"));
        QCOMPARE(vencido.at(13), QStringLiteral("499 - "));
        QCOMPARE(vencido.mid(15), strings({"98 - ", "98 - "}));
    }

    void listSheets() {
        const ParsedSheet& c = d1_.sheet(QStringLiteral("Cancelaciones"));
        QCOMPARE(c.texts(0),
                 strings({"ITEM", "DESTINACION SUSPENSIVA", "NCM", "ITEM A CANCELAR",
                          "SUBITEM A CANCELAR", "CANTIDAD", "FACTOR", "PROCESO PRODUCTIVO"}));
        QStringList rows{c.texts(1).join(QLatin1Char('|')), c.texts(2).join(QLatin1Char('|'))};
        rows.sort();
        QCOMPARE(rows, strings({"0001|25001IC04000118H|8471.30|0003|0000|12.5|100,00|PP-1",
                                "0002|25001IC04000118H|8471.41|0004|0001|0||"}));

        const ParsedSheet& b = d1_.sheet(QStringLiteral("Bultos"));
        QCOMPARE(b.texts(0), strings({"TRANSPORTE", "VIA", "BANDERA", "DEPOSITO", "NUMEROS",
                                      "EMBALAJE", "TIPO EMBALAJE", "CANTIDAD", "PESO BRUTO"}));
        QCOMPARE(b.texts(1), strings({"MV-77", "1 - MARITIMO", "203 - BRASIL", "DEP-9", "S/M 1-6",
                                      "CJ - CAJA", "SUEL - CARGA SUELTA", "6", "1234.5"}));

        const ParsedSheet& d = d1_.sheet(QStringLiteral("DCEXP"));
        QCOMPARE(d.texts(1), strings({"7", "DCEXP", "CCPAC <UNO>", "0007"}));

        const ParsedSheet& p = d1_.sheet(QStringLiteral("PAC ROM"));
        QCOMPARE(p.texts(0), strings({"ITEM", "DESTINACION PAC/ROM", "ITEM PAC/ROM", "PAIS PAC/ROM",
                                      "UNIDAD ESTADISTICA", "CANTIDAD ESTADISTICA"}));
        QCOMPARE(p.texts(1), strings({"0001", "25001IC06000118H", "0002", "320", "07", "12.5"}));
        QCOMPARE(p.rows.at(1).at(5).type, QStringLiteral("String"));
    }

    // The byte-exact text of a small sheet as the writer returns it.
    void dcexpSheetBytes() {
        QCOMPARE(
            QString::fromUtf8(mainModule::generarNODODCEXP(kD1)),
            QStringLiteral(
                "<Worksheet ss:Name=\"DCEXP\">\r\n<Table>\r\n<Row>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">ITEM</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">CODIGO</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">DOCUMENTO "
                "EXPORTACION</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">ITEM DCEXP</Data></Cell>\r\n"
                "</Row>\r\n<Row>\r\n"
                "<Cell><Data ss:Type=\"String\">7</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">DCEXP</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">CCPAC &lt;UNO&gt;</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">0007</Data></Cell>\r\n"
                "</Row>\r\n</Table>\r\n</Worksheet>\r\n"));
    }

    void pacRomQuantityInTheUsersLocale() {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        QByteArray text;
        workbook::appendEnvelopeStart(text, true);
        text += mainModule::generarNODOPACROM(kD1);
        workbook::appendEnvelopeEnd(text);
        const auto book = parseWorkbook(text);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(
            book.sheet(QStringLiteral("PAC ROM")).at(1, QStringLiteral("CANTIDAD ESTADISTICA")),
            QStringLiteral("12,5"));
    }

    void liquidationSheets() {
        const ParsedSheet& t = d1_.sheet(QStringLiteral("Liquidacion total"));
        QCOMPARE(t.texts(0), strings({"CONCEPTO", "DOLARES", "PESOS", "OBLIGACION"}));
        // Rounded after the product: 10.123 x 3 = 30.369.
        QCOMPARE(t.texts(1),
                 strings({"010 - DERECHO IMPORTACION", "10.12", "30.37", "1 - PAGADO"}));
        QCOMPARE(t.texts(2), strings({"040 - IVA", "7", "21", "1 - PAGADO"}));

        const ParsedSheet& i = d1_.sheet(QStringLiteral("Liquidacion Items"));
        QCOMPARE(i.texts(0), strings({"ITEM", "CONCEPTO", "PORCENTAJE", "BASE IMPONIBLE",
                                      "OBLIGACION", "MOTIVO", "IMPORTE"}));
        QCOMPARE(i.rows.size(), 5);
        QCOMPARE(i.texts(1), strings({"0001", "010 - DERECHO IMPORTACION", "12.35", "100",
                                      "1 - PAGADO", "", "12.35"}));
        QCOMPARE(i.at(2, QStringLiteral("MOTIVO")), QStringLiteral("GARANTIA  X"));
        QCOMPARE(i.at(4, QStringLiteral("ITEM")), QStringLiteral("0002"));
    }

    void liquidationWorkbook() {
        const ParsedWorkbook book = parseWorkbook(mainModule::armarLibroLiquidacion(kD1));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.names(), QStringList{QStringLiteral("Liquidacion Items")});
        const ParsedSheet& s = book.sheets.at(0);
        QCOMPARE(s.columnElements, 1);
        QCOMPARE(s.texts(0),
                 strings({"ITEM", "NCM", "FOB Dol", "Seguro", "Flete", "Aj Inc", "Aj Ded", "Lista",
                          "Codigo", "Descripcion", "Tipo", "Base", "Coef", "Total"}));
        checkRectangular(s);
        QCOMPARE(s.rows.size(), 5);
        // The item's values repeat on each of its three lines.
        for (int row = 1; row <= 3; ++row)
            QCOMPARE(s.texts(row).mid(0, 8),
                     strings({"0001", "8471.30", "125", "1", "5", "2", "0", "ACE18"}));
        QCOMPARE(s.texts(1).mid(8),
                 strings({"010", "DERECHO IMPORTACION", "1", "100", "12.35", "12.35"}));
        QVERIFY(mainModule::generarNODOLiquidacionFULL(kD1).contains(QByteArray(
            "<Table>\r\n<Column ss:Index=\"1\" ss:Span=\"14\" ss:AutoFitWidth=\"1\" />\r\n<Row>")));
    }

    void grossIncomeSheet() {
        const ParsedSheet& s = d1_.sheet(QStringLiteral("I.B."));
        QCOMPARE(s.texts(0), strings({"SEDE", "CONDICION", "C. MULTILATERAL", "JURISDICCION",
                                      "COEFICIENTE", "ALICUOTA", "FACTOR"}));
        QCOMPARE(s.rows.size(), 4);
        QCOMPARE(s.texts(1).mid(0, 3), strings({"901 - CAPITAL FEDERAL", "N", "S"}));
        // Later rows start with three cells of one blank each.
        for (int row = 2; row <= 3; ++row)
            QCOMPARE(s.texts(row).mid(0, 3), strings({" ", " ", " "}));
        QStringList jurisdictions;
        for (int row = 1; row <= 3; ++row)
            jurisdictions << s.texts(row).mid(3).join(QLatin1Char('|'));
        jurisdictions.sort();
        QCOMPARE(jurisdictions, strings({"901 (060) INGRESOS BRUTOS|0.5|3.5|1.75",
                                         "902 (060) INGRESOS BRUTOS|0.12|2|0.25",
                                         "902 (060) INGRESOS BRUTOS|0.25|2|0.5"}));
    }

    // Jurisdictions without any registration row: the sheet is written, registration empty.
    void grossIncomeWithoutRegistration() {
        const ParsedWorkbook book = parseWorkbook(mainModule::armarLibroDespacho(kNoRegistration));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        const ParsedSheet& s = book.sheet(QStringLiteral("I.B."));
        QCOMPARE(s.rows.size(), 3);
        QCOMPARE(s.texts(1).mid(0, 3), strings({"", "", ""}));
        QCOMPARE(s.texts(2).mid(0, 3), strings({" ", " ", " "}));
        checkRectangular(s);
        // No exchange rate and no totals: the header row alone.
        QCOMPARE(book.sheet(QStringLiteral("Liquidacion total")).rows.size(), 1);
    }

    void bareDeclaration() {
        const ParsedWorkbook book = parseWorkbook(mainModule::armarLibroDespacho(kBare));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        // No items, subitems or cancellations: those sheets are left out, the rest keep order.
        QCOMPARE(book.names(), strings({"Caratula", "Bultos", "DCEXP", "PAC ROM",
                                        "Liquidacion total", "Liquidacion Items", "I.B."}));
        QCOMPARE(book.sheet(QStringLiteral("Caratula")).rows.size(), 3);
        for (const char* name :
             {"Bultos", "DCEXP", "PAC ROM", "Liquidacion total", "Liquidacion Items", "I.B."})
            QCOMPARE(book.sheet(QLatin1String(name)).rows.size(), 1);
    }

    // The header sheet leaves the header-level pivot, the item sheet then the item-level one.
    void pivotTablesAfterTheExport() {
        (void)mainModule::armarLibroDespacho(kD1);
        const modDA::Recordset rs =
            modDA::getRs(modDA::kCatalog, testSql("SELECT * FROM CPLPIVOT"));
        QVERIFY(rs.fields().contains(QStringLiteral("MARCA")));
        QVERIFY(!rs.fields().contains(QStringLiteral("A")));
    }

    void sheetFailureNamesTheWriter() {
        modDA::execSQL(modDA::kCatalog, testSql("ALTER TABLE DCM RENAME TO DCM_OLD"));
        try {
            (void)mainModule::armarLibroDespacho(kD1);
            QFAIL("no error");
        } catch (const corvelix::VbError& error) {
            QVERIFY2(error.source.startsWith(QLatin1String(
                         "Corvelix.frmArmadoITEM.generarNODOPACROM (0)::Corvelix.modDA.getPACROM")),
                     qPrintable(error.source));
        }
        modDA::execSQL(modDA::kCatalog, testSql("ALTER TABLE DCM_OLD RENAME TO DCM"));
    }
};

CORVELIX_TEST(tst_DeclarationWorkbook)
#include "tst_DeclarationWorkbook.moc"
