#include "ReaderRows.h"
#include "data/export_reads.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::readerRows;

namespace {

const QString kD1 = QStringLiteral("26001IC04000001A");
// A declaration without packages, pivot rows, exchange rate or jurisdictions.
const QString kEmpty = QStringLiteral("26001IC04000002B");

// Items of D1 are stored out of NARTEXT order. Item 0002 comes from a country whose row
// expired, item 0003 has a state without an EST row and a unit whose row expired; the clock
// is pinned to 2026-12-10.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, NDDTIMMTRN, CDDTMDETRN, CDDTPAYTRN, CDDTDEP) VALUES ('26001IC04000001A', 'MV-77', '1', '203', 'DEP-9');
INSERT INTO DDT (IDDT, NDDTIMMTRN, CDDTMDETRN, CDDTPAYTRN, CDDTDEP) VALUES ('26001IC04000002B', 'MV-78', '1', '203', 'DEP-9');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP)
  VALUES ('26001IC04000001A', '0003', '0003', '3926.90', 'NAC', '310', '310', 'RARO', '98', 5, '01', 5, 2.5, 4, 20, 1, 0.1, 0, 0, 0, 0);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP)
  VALUES ('26001IC04000001A', '0001', '0001', '8471.30', 'ACE18', '203', '221', 'NUEVO', '07', 10, '07', 10, 24.5, 12.5, 125, 5, 1, 0, 2, 3, 4);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP)
  VALUES ('26001IC04000001A', '0002', '0002', '8471.41', 'NAC', '499', '203', 'USADO', '07', 30, '07', 30, 60, 2, 60, 2.4, 0.3, 0, 0, 0, 0);
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC04000002B', '0001', '0001');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT, CSBTCODEAN) VALUES ('26001IC04000001A', '0001', '0000', 'AA(ACME)-AB(X1)-', 99, 99, 99, 99, 'S1', '779001');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0002', '0001', 'AA(M1)-', 10, 10, 2, 20, 'S2');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0002', '0002', 'AA(M2)-', 20, 20, 2, 40, 'S3');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0003', '0000', '', 1, 1, 1, 1, 'S4');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0000', 'VAL-CRITERIO', 'D', 'TRANSACCION');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0001', 'MARCA', 'D', 'ACME');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0003', 'MODELO', 'D', 'Z9');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0002', 'ACE18-MERCOSUR');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0001', 'CERT.ORIGEN/L', 'S', 'C-1');
INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) VALUES ('26001IC04000001A', 1, 'DCEXP', 'CCPAC UNO', 1, '0001');
INSERT INTO DCM (IDDT, NART, CIDCM, CDCMNART, CDCMPAYPAC, CDCMUNTEST, QDCMUNTEST) VALUES ('26001IC04000001A', '0001', '25001IC06000118H', '0002', '320', '07', 3);
INSERT INTO BUL (IDDT, LBULNUMCLS, CBULNATEMB, CBULEXT, QBULDECLAR, QBULUMMBRT) VALUES ('26001IC04000001A', 'S/M 1-6', 'CJ', 'SUEL', 6, 58.2);
INSERT INTO BUL (IDDT, LBULNUMCLS, CBULNATEMB, CBULEXT, QBULDECLAR, QBULUMMBRT) VALUES ('26001IC04000001A', 'FARDOS', 'FA', 'SUEL', 2, 10);
INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES ('26001IC04000001A', '040', '1', 30);
INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES ('26001IC04000001A', '010', '2', 10);
INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES ('26001IC04000001A', '090', '1', 99);
INSERT INTO TPR (IDDT, MTPRCOTIZ) VALUES ('26001IC04000001A', 1060.25);
INSERT INTO TPR (IDDT, MTPRCOTIZ) VALUES ('26001IC04000002B', NULL);
INSERT INTO CIB (IDDT, CCIBNUMINS, CCIBEXENTO, CCIBINSCON) VALUES ('26001IC04000001A', '901-554433-1', 'N', 'S');
INSERT INTO CIB (IDDT, CCIBNUMINS, CCIBEXENTO, CCIBINSCON) VALUES ('26001IC04000001A', '999-000000-0', 'S', 'S');
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000001A', '901', 0.5);
INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES ('26001IC04000001A', '999', 0.5);
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('NUEVO', 'NUEVO SIN USO');
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('USADO', NULL);
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('203', 'BRASIL', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('221', 'PARAGUAY', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('310', 'CHINA', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('499', 'YUGOSLAVIA', '2003-02-04 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('01', 'KILOGRAMO', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('07', 'UNIDAD', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('98', 'GRUESA', '2000-01-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('010', 'DERECHO IMPORTACION', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('040', 'IVA', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('060', 'INGRESOS BRUTOS', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('090', 'ARANCEL SIM', '2000-01-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPTAX', '1', 'PAGADO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPTAX', '2', NULL);
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('MODTRN', '1', 'MARITIMO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPEMB', 'SUEL', 'CARGA SUELTA');
INSERT INTO NEB (TNEBNATEMB, LNEBNATEMB, DNEBFIN) VALUES ('CJ', 'CAJA', '2099-12-31 00:00:00');
INSERT INTO NEB (TNEBNATEMB, LNEBNATEMB, DNEBFIN) VALUES ('FA', 'FARDO', '2015-06-30 00:00:00');
INSERT INTO JRD (CJRD, LJRDDESC, CJRDTAX, QJRDALILOC, DJRDFIN) VALUES ('901', 'CAPITAL FEDERAL', '060', 2.5, '2099-12-31 00:00:00');
INSERT INTO JRD (CJRD, LJRDDESC, CJRDTAX, QJRDALILOC, DJRDFIN) VALUES ('999', 'DEROGADA', '060', 1, '2015-06-30 00:00:00');
)");

void buildPivots(const QString& despacho) {
    modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {despacho, QStringLiteral("9999")});
    modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {despacho, QStringLiteral("9999")});
    modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {despacho});
}

const QStringList kArtColumns{
    QStringLiteral("NARTEXT"),    QStringLiteral("IESPNCE"),    QStringLiteral("CARTPAYORI"),
    QStringLiteral("CARTPAYPRC"), QStringLiteral("CARTUSO"),    QStringLiteral("LISTA"),
    QStringLiteral("QARTUNTDCL"), QStringLiteral("MARTFOB"),    QStringLiteral("MARTFLE"),
    QStringLiteral("MARTASS"),    QStringLiteral("MARTAJUDED"), QStringLiteral("MARTAJUINC"),
    QStringLiteral("MARTINSCON"), QStringLiteral("MARTINSTMP")};

QString cell(modDA::Recordset rs, const QString& keyColumn, const QString& key,
             const QString& column) {
    for (; !rs.eof(); rs.moveNext()) {
        if (rs.text(keyColumn) == key)
            return rs.isNull(column) ? QStringLiteral("<null>") : rs.text(column);
    }
    return QStringLiteral("<no row>");
}

} // namespace

class tst_ExportReads : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() {
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
        buildPivots(kD1);
    }
    void cleanupTestCase() { fixture_.reset(); }
    void init() { corvelix::test::ScriptedUi::current().reset(); }

    void attachedRowsOfOneItem() {
        QCOMPARE(readerRows(modDA::getCPL(kD1, QStringLiteral("0001"))),
                 QStringList{QStringLiteral("26001IC04000001A|0001|MARCA|D|ACME")});
        QCOMPARE(readerRows(modDA::getSRG(kD1, QStringLiteral("0002"))),
                 QStringList{QStringLiteral("26001IC04000001A|0002|ACE18-MERCOSUR")});
        QCOMPARE(modDA::getSBT(kD1, QStringLiteral("0002")).recordCount(), 2);
        // The item number goes in as given.
        QCOMPARE(modDA::getCPL(kD1, QStringLiteral("1")).recordCount(), 0);
        QCOMPARE(modDA::getSBT(kD1, QStringLiteral("0000")).recordCount(), 0);
    }

    // Columns after the item's own, per flag combination, and the rows in NARTEXT order.
    void pivotColumns_data() {
        QTest::addColumn<bool>("cpl");
        QTest::addColumn<bool>("srg");
        QTest::addColumn<bool>("dvd");
        QTest::addColumn<QString>("extra");
        QTest::newRow("none") << false << false << false << QString();
        QTest::newRow("CPL") << true << false << false << QStringLiteral("ICPL NART MARCA MODELO");
        QTest::newRow("SRG") << false << true << false
                             << QStringLiteral("ISRG NART ACE18-MERCOSUR");
        QTest::newRow("DVD") << false << false << true << QStringLiteral("IDVD NART CERT.ORIGEN/L");
        QTest::newRow("all, in CPL SRG DVD order")
            << true << true << true
            << QStringLiteral("ICPL NART MARCA MODELO ISRG NART ACE18-MERCOSUR IDVD NART "
                              "CERT.ORIGEN/L");
    }
    void pivotColumns() {
        QFETCH(bool, cpl);
        QFETCH(bool, srg);
        QFETCH(bool, dvd);
        QFETCH(QString, extra);
        const modDA::Recordset rs = modDA::getITEMsPIVOT(kD1, cpl, srg, dvd);
        QString expected = kArtColumns.join(QLatin1Char(' '));
        if (!extra.isEmpty())
            expected += QLatin1Char(' ') + extra;
        QCOMPARE(rs.fields().join(QLatin1Char(' ')).toUpper(), expected.toUpper());
        QCOMPARE(
            readerRows(rs, {QStringLiteral("NARTEXT")}),
            QStringList({QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003")}));
    }

    void pivotValues() {
        const modDA::Recordset rs = modDA::getITEMsPIVOT(kD1, true, true, true);
        QCOMPARE(
            readerRows(rs, {QStringLiteral("NARTEXT"), QStringLiteral("CARTPAYORI"),
                            QStringLiteral("CARTPAYPRC"), QStringLiteral("CARTUSO"),
                            QStringLiteral("MARCA"), QStringLiteral("ACE18-MERCOSUR"),
                            QStringLiteral("CERT.ORIGEN/L"), QStringLiteral("MARTINSTMP")}),
            QStringList({QStringLiteral("0001|203 - BRASIL|221 - PARAGUAY|NUEVO - NUEVO SIN "
                                        "USO|ACME|<null>|C-1|4"),
                         QStringLiteral("0002|499 - |203 - BRASIL|USADO - |<null>|SI|<null>|0"),
                         QStringLiteral("0003|310 - CHINA|310 - CHINA|RARO - |<null>|<null>|"
                                        "<null>|0")}));
    }

    void missingPivotTableFails() {
        modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {kEmpty, QStringLiteral("9999")});
        const auto restore = qScopeGuard([] { buildPivots(kD1); });
        try {
            (void)modDA::getITEMsPIVOT(kD1, false, false, true);
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY2(e.source.startsWith(QStringLiteral("Corvelix.modDA.getITEMsPIVOT (0)::")),
                     qPrintable(e.source));
            QVERIFY2(e.description.contains(QStringLiteral("DVDPIVOT")), qPrintable(e.description));
        }
    }

    void articulosFull_data() {
        QTest::addColumn<QString>("sufijo");
        QTest::addColumn<QStringList>("rows");
        const QString item1 =
            QStringLiteral("0001|0000|07 - UNIDAD|10|07 - UNIDAD|10|12.5|125|ACME|203 - BRASIL|221|"
                           "24.5|779001|NUEVO");
        const QString sub1 = QStringLiteral(
            "0002|0001|07 - UNIDAD|10|07 - UNIDAD|10|2|20|ACME|499 - |203|60|<null>|USADO");
        const QString sub2 = QStringLiteral(
            "0002|0002|07 - UNIDAD|20|07 - UNIDAD|20|2|40|ACME|499 - |203|60|<null>|USADO");
        const QString item3 = QStringLiteral(
            "0003|0000|98 - |5|01 - KILOGRAMO|5|4|20|ACME|310 - CHINA|310|2.5|<null>|RARO");
        QTest::newRow("every row") << QString() << QStringList{item1, sub1, sub2, item3};
        QTest::newRow("filtered") << QStringLiteral("AA(M") << QStringList{sub1, sub2};
    }
    void articulosFull() {
        QFETCH(QString, sufijo);
        QFETCH(QStringList, rows);
        const modDA::Recordset rs = modDA::getArticulosByDespacho_FULL(kD1, sufijo);
        QCOMPARE(rs.fields().join(QLatin1Char(',')).toUpper(),
                 QStringLiteral("IEXT,IDDT,NART,NARTEXT,ISBT,IESPNCE,CSBTSVL,CARTUNTDCL,CANTIDAD,"
                                "CARTUNTEST,CANTIDAD_ESTADISTICA,FOB_UNITARIO,FOB_TOTAL,LISTA,"
                                "CARTPAYORI,CARTPAYPRC,QARTKGRNET,CSBTCODEAN,CARTUSO"));
        QStringList found =
            readerRows(rs, {QStringLiteral("NART"), QStringLiteral("ISBT"),
                            QStringLiteral("CARTUNTDCL"), QStringLiteral("CANTIDAD"),
                            QStringLiteral("CARTUNTEST"), QStringLiteral("CANTIDAD_ESTADISTICA"),
                            QStringLiteral("FOB_UNITARIO"), QStringLiteral("FOB_TOTAL"),
                            QStringLiteral("IESPNCE"), QStringLiteral("CARTPAYORI"),
                            QStringLiteral("CARTPAYPRC"), QStringLiteral("QARTKGRNET"),
                            QStringLiteral("CSBTCODEAN"), QStringLiteral("CARTUSO")});
        // IESPNCE is not what this table is about: show a constant in its place.
        for (QString& row : found) {
            QStringList cells = row.split(QLatin1Char('|'));
            cells[8] = QStringLiteral("ACME");
            row = cells.join(QLatin1Char('|'));
        }
        found.sort();
        QCOMPARE(found, rows);
    }

    // The rows the export used to lose or blank out: every item and subitem stays, and a
    // code without a valid description keeps the code.
    void faults_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("item whose origin country expired")
            << QStringLiteral("pivot") << QStringLiteral("0002") << QStringLiteral("CARTPAYORI")
            << QStringLiteral("499 - ");
        QTest::newRow("item with a Null state description")
            << QStringLiteral("pivot") << QStringLiteral("0002") << QStringLiteral("CARTUSO")
            << QStringLiteral("USADO - ");
        QTest::newRow("item whose state has no row")
            << QStringLiteral("pivot") << QStringLiteral("0003") << QStringLiteral("CARTUSO")
            << QStringLiteral("RARO - ");
        QTest::newRow("subitem whose origin country expired")
            << QStringLiteral("full") << QStringLiteral("0002/0001") << QStringLiteral("CARTPAYORI")
            << QStringLiteral("499 - ");
        QTest::newRow("subitem whose declared unit expired")
            << QStringLiteral("full") << QStringLiteral("0003/0000") << QStringLiteral("CARTUNTDCL")
            << QStringLiteral("98 - ");
        QTest::newRow("tax kind with a Null description")
            << QStringLiteral("total") << QStringLiteral("10") << QStringLiteral("CLITTYP")
            << QStringLiteral("2 - ");
    }
    void faults() {
        QFETCH(QString, reader);
        QFETCH(QString, key);
        QFETCH(QString, column);
        QFETCH(QString, expected);
        if (reader == QLatin1String("pivot")) {
            QCOMPARE(cell(modDA::getITEMsPIVOT(kD1, false, false, false), QStringLiteral("NARTEXT"),
                          key, column),
                     expected);
        } else if (reader == QLatin1String("full")) {
            modDA::Recordset rs = modDA::getArticulosByDespacho_FULL(kD1, QString());
            QString found = QStringLiteral("<no row>");
            for (; !rs.eof(); rs.moveNext()) {
                if (rs.text(QStringLiteral("NART")) + QLatin1Char('/') +
                        rs.text(QStringLiteral("ISBT")) ==
                    key)
                    found = rs.text(column);
            }
            QCOMPARE(found, expected);
        } else {
            QCOMPARE(cell(modDA::getLiquidacionTOTAL(kD1), QStringLiteral("MLIT"), key, column),
                     expected);
        }
    }

    void primerSufijo_data() {
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<QString>("codigos");
        QTest::addColumn<QString>("expected");
        const QString s = QStringLiteral("AA(M1)-AB(X1)-BBBB-");
        QTest::newRow("model") << s << QStringLiteral("AB,AI") << QStringLiteral("X1");
        QTest::newRow("brand") << s << QStringLiteral("AA") << QStringLiteral("M1");
        QTest::newRow("second code found") << s << QStringLiteral("AI, AA") << QStringLiteral("M1");
        QTest::newRow("first code wins") << s << QStringLiteral("AB,AA") << QStringLiteral("X1");
        QTest::newRow("absent code") << s << QStringLiteral("ZZ") << QString();
        QTest::newRow("case-sensitive") << s << QStringLiteral("ab") << QString();
        QTest::newRow("code without value") << s << QStringLiteral("BBBB") << QString();
        QTest::newRow("empty value")
            << QStringLiteral("AA()-") << QStringLiteral("AA") << QString();
        QTest::newRow("unclosed last entry")
            << QStringLiteral("AA(M1)-AB(X1") << QStringLiteral("AB") << QStringLiteral("X1");
        QTest::newRow("last entry without hyphen")
            << QStringLiteral("AB(X1)") << QStringLiteral("AB") << QStringLiteral("X1");
        QTest::newRow("code at the very end")
            << QStringLiteral("AA(M1)-AB(") << QStringLiteral("AB") << QString();
        QTest::newRow("empty string") << QString() << QStringLiteral("AA") << QString();
    }
    void primerSufijo() {
        QFETCH(QString, sufijos);
        QFETCH(QString, codigos);
        QFETCH(QString, expected);
        QCOMPARE(modDA::getValorPrimerSufijo(sufijos, codigos), expected);
    }

    void packages() {
        // The package of a packaging whose row expired is left out, as are declarations
        // without packages.
        QCOMPARE(
            readerRows(modDA::getBultos(kD1)),
            QStringList{QStringLiteral("26001IC04000001A|MV-77|1 - MARITIMO|203 - BRASIL|DEP-9|"
                                       "S/M 1-6|CJ - CAJA|SUEL - CARGA SUELTA|6|58.2")});
        QCOMPARE(modDA::getBultos(kEmpty).recordCount(), 0);
    }

    void ccpacAndDcm() {
        QCOMPARE(readerRows(modDA::getDCEXP(kD1)),
                 QStringList{QStringLiteral("1|DCEXP|CCPAC UNO|0001")});
        QCOMPARE(readerRows(modDA::getPACROM(kD1)),
                 QStringList{QStringLiteral("0001|25001IC06000118H|0002|320|07|3")});
    }

    void taxTotals() {
        // The expired tax goes; the rest in tax order.
        QCOMPARE(readerRows(modDA::getLiquidacionTOTAL(kD1)),
                 QStringList({QStringLiteral("010 - DERECHO IMPORTACION|10|2 - "),
                              QStringLiteral("040 - IVA|30|1 - PAGADO")}));
    }

    void exchangeRate() {
        QCOMPARE(modDA::getTipoCotiz(kD1), 1060.25);
        QCOMPARE(modDA::getTipoCotiz(kEmpty), 1.0); // only a Null rate
        QCOMPARE(modDA::getTipoCotiz(QStringLiteral("26001IC04000009Z")), 1.0);
    }

    void jurisdictions() {
        QCOMPARE(readerRows(modDA::getCIB(kD1)),
                 QStringList{QStringLiteral("901 - CAPITAL FEDERAL|N|S")});
        QCOMPARE(
            readerRows(modDA::getJurisdicciones(kD1)),
            QStringList{QStringLiteral("26001IC04000001A|901 (060) INGRESOS BRUTOS|0.5|2.5|1.25")});
        QCOMPARE(modDA::getCIB(kEmpty).recordCount(), 0);
    }

    // The server's text where it differs from SQLite's: "+" joins, LEFT, no brackets.
    void serverTexts_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("expected");
        QTest::newRow("registrations")
            << QStringLiteral("cib")
            << QStringLiteral(
                   "SELECT LEFT(CCIBNUMINS, 3) + ' - ' + COALESCE(LJRDDESC, '') AS CCIBNUMINS, "
                   "CCIBEXENTO, CCIBINSCON From CIB INNER JOIN JRD ON (LEFT(CCIBNUMINS, 3) = CJRD) "
                   "WHERE IDDT = ? AND DJRDFIN > GETDATE()");
        QTest::newRow("jurisdictions")
            << QStringLiteral("jur")
            << QStringLiteral(
                   "SELECT IDDT, CDIBJURIS + ' (' + CJRDTAX + ') ' + COALESCE(LTAXABR, '') AS "
                   "CDIBJURIS, QDIBCOEFIC, QJRDALILOC, QDIBCOEFIC * QJRDALILOC AS FACTOR  From DIB "
                   "INNER JOIN JRD ON CJRD = CDIBJURIS INNER JOIN TAX ON (CJRDTAX = CTAX) Where "
                   "DJRDFIN > GETDATE() AND DTAXFIN > GETDATE() AND IDDT = ?");
        QTest::newRow("tax totals")
            << QStringLiteral("total")
            << QStringLiteral(
                   "SELECT CLITTAX + ' - ' + COALESCE(LTAXABR, '') AS CLITTAX, MLIT, CLITTYP + ' - "
                   "' + COALESCE(LPTRNAT, '') AS CLITTYP FROM LIT LEFT JOIN TAX ON (CTAX = "
                   "CLITTAX) "
                   "LEFT JOIN PTR ON (CLITTYP = CPTRNAT) WHERE ILIQ = ? AND DTAXFIN > GETDATE() "
                   "AND "
                   "CTPT = 'TIPTAX' ORDER BY CLITTAX");
        QTest::newRow("item sheet")
            << QStringLiteral("pivot")
            << QStringLiteral(
                   "SELECT ART.NARTEXT, ART.IESPNCE, ART.CARTPAYORI + ' - ' + "
                   "COALESCE(PAYPORI.LPAYABR, '') AS CARTPAYORI, ART.CARTPAYPRC + ' - ' + "
                   "COALESCE(PAYPRC.LPAYABR, '') AS CARTPAYPRC, ART.CARTUSO + ' - ' + "
                   "COALESCE(EST.LDESCRI, '') AS CARTUSO, ART.LISTA, ART.QARTUNTDCL, ART.MARTFOB, "
                   "ART.MARTFLE, ART.MARTASS, ART.MARTAJUDED, ART.MARTAJUINC, ART.MARTINSCON, "
                   "ART.MARTINSTMP, SRGPIVOT.* FROM ART  LEFT JOIN SRGPIVOT ON (ART.IDDT = "
                   "SRGPIVOT.ISRG AND ART.NART = SRGPIVOT.NART)  LEFT JOIN PAY AS PAYPORI ON "
                   "(ART.CARTPAYORI = PAYPORI.CPAY AND PAYPORI.DPAYFIN > GETDATE()) LEFT JOIN PAY "
                   "AS PAYPRC ON (ART.CARTPAYPRC = PAYPRC.CPAY AND PAYPRC.DPAYFIN > GETDATE()) "
                   "LEFT "
                   "JOIN EST ON (ART.CARTUSO = EST.CESTCOD) WHERE ART.IDDT = ? ORDER BY "
                   "ART.NARTEXT");
    }
    void serverTexts() {
        QFETCH(QString, reader);
        QFETCH(QString, expected);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        if (reader == QLatin1String("cib"))
            (void)modDA::getCIB(kD1);
        else if (reader == QLatin1String("jur"))
            (void)modDA::getJurisdicciones(kD1);
        else if (reader == QLatin1String("total"))
            (void)modDA::getLiquidacionTOTAL(kD1);
        else
            (void)modDA::getITEMsPIVOT(kD1, false, true, false);
        QCOMPARE(capture.texts(), QStringList{expected});
        QCOMPARE(capture.statements().first().params, QVariantList{kD1});
    }

    void subitemSheetServerText() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        (void)modDA::getArticulosByDespacho_FULL(kD1, QStringLiteral("AA("));
        const QString text = capture.texts().value(0);
        for (const char* part :
             {"ART.CARTUNTDCL + ' - ' + COALESCE(UMDEC.LUMMUNTMSR, '') AS CARTUNTDCL",
              "ART.CARTUNTEST + ' - ' + COALESCE(UMEST.LUMMUNTMSR, '') AS CARTUNTEST",
              "ART.CARTPAYORI + ' - ' + COALESCE(PAY.LPAYABR, '') AS CARTPAYORI",
              "CASE WHEN SBT.ISBT = '0000' THEN ART.QARTUNTDCL ELSE SBT.QSBTUNTDCL END AS CANTIDAD",
              "LEFT JOIN UMM AS UMDEC ON (ART.CARTUNTDCL = UMDEC.CUMMUNTMSR AND UMDEC.DUMMFIN > "
              "GETDATE())",
              "where SBT.IDDT = ?  and SBT.CSBTSVL like ?"})
            QVERIFY2(text.contains(QLatin1String(part)), qPrintable(text));
        QCOMPARE(capture.statements().first().params, QVariantList({kD1, QStringLiteral("%AA(%")}));
    }

    void numberedFailures() {
        modDA::execSQL(modDA::kCatalog, "ALTER TABLE CCM RENAME TO CCM_OLD");
        const auto restore = qScopeGuard(
            [] { modDA::execSQL(modDA::kCatalog, "ALTER TABLE CCM_OLD RENAME TO CCM"); });
        try {
            (void)modDA::getDCEXP(kD1);
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY2(e.source.startsWith(QStringLiteral("Corvelix.modDA.getDCEXP.::")),
                     qPrintable(e.source));
            QVERIFY2(e.description.endsWith(QStringLiteral(" linea 0")), qPrintable(e.description));
        }
    }
};

CORVELIX_TEST(tst_ExportReads)
#include "tst_ExportReads.moc"
