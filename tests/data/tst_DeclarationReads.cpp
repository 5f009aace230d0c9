#include "ReaderRows.h"
#include "data/declaration_reads.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::readerRows;

namespace {

const QString kD1 = QStringLiteral("26001IC06000001A");
const QString kD2 = QStringLiteral("26001SIMI000002B");

// D1: item 0001 without subitems, item 0002 with two; item 0012 shown as "0012" with a Null
// declared unit. D2 holds one item of its own. The clock is pinned to 2026-12-10.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC06000001A');
INSERT INTO DDT (IDDT) VALUES ('26001SIMI000002B');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, NARTAPU, IDDTAPU, IEXT)
  VALUES ('26001IC06000001A', '0001', '0001', '8471.30.00', 'ACE18', '203', '221', 'NUEVO', '07', 10, '01', 25, 24.5, 12.5, 125, 5, 1, 0, 2, '0003', '25001IT04000090S', 'REF-1');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, IEXT)
  VALUES ('26001IC06000001A', '0002', '0002', '8471.41.00', 'NAC', '310', '310', 'USADO', '07', 30, NULL, 30, 60, 2, 60, 2.4, 0.3, 0, 0, NULL);
INSERT INTO ART (IDDT, NART, NARTEXT, CARTUNTDCL, QARTUNTDCL, QARTUNTEST)
  VALUES ('26001IC06000001A', '0003', '0012', NULL, 1, 1);
INSERT INTO ART (IDDT, NART, NARTEXT, CARTUNTDCL, QARTUNTDCL, QARTUNTEST)
  VALUES ('26001SIMI000002B', '0001', '0001', '01', 7, 7);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC06000001A', '0001', '0000', 'AA(ACME)-', 99, 99, 99, 99, 'S1');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC06000001A', '0002', '0001', 'AA(ACME)-AB(X1)-', 10, 10, 2, 20, 'S2');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC06000001A', '0002', '0002', 'AA(OTRA)-', 20, 20, 2, 40, 'S3');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES ('26001SIMI000002B', '0001', '0000', '', 7, 7, 1, 7);
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC06000001A', '0001', 'ACE18-MERCOSUR');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001SIMI000002B', '0001', 'DI-EXENTO');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC06000001A', '0002', 'MARCA', 'D', 'ACME');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC06000001A', '0002', 'COND', 'D', 'NUEVO');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC06000001A', '0001', 'CERT', 'S', 'C-1');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('ACE18', '  PREFERENCIA ACE 18  ', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('VIEJA', 'VENCIDA', '2000-01-01 00:00:00', '2026-12-09 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('FUTURA', 'FUTURA', '2027-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO lst (CODLISTA, DESCLISTA) VALUES ('ACE18', 'ACE 18 MERCOSUR');
INSERT INTO lst (CODLISTA, DESCLISTA) VALUES ('NULA', NULL);
INSERT INTO ZCP (CZCP, LZCPDESC, IZCPIG, DZCPINI, DZCPFIN) VALUES ('MARCA', 'MARCA DE LA MERCADERIA', 'I', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO DOC (CDOC, LDOCDESC, DDOCINI, DDOCFIN) VALUES ('CERT', 'CERTIFICADO', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('NUEVO', 'NUEVO SIN USO');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('203', 'BRASIL', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('499', 'YUGOSLAVIA', '2003-02-04 00:00:00');
INSERT INTO PRV (CPRV, LPRV, DPRVFIN) VALUES ('01', 'BUENOS AIRES', '2099-12-31 00:00:00');
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('SIMI', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('IC06', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('DJAI', '2012-02-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('EC01', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO INC (CINC, LINC, DINCFIN) VALUES ('FOB', 'FREE ON BOARD', '2099-12-31 00:00:00');
INSERT INTO INC (CINC, LINC, DINCFIN) VALUES ('DAF', 'DELIVERED AT FRONTIER', '2015-06-30 00:00:00');
INSERT INTO INC (CINC, LINC, DINCFIN) VALUES ('CIF', 'COST, INSURANCE AND FREIGHT', '2099-12-31 00:00:00');
)");

void refreshWorkTables(const QString& despacho) {
    for (const char* procedure : {"setItemVentajas", "SETITEMINFOAD", "SETITEMDOCS"})
        modDA::runProcedure(QLatin1String(procedure), {despacho});
}

} // namespace

class tst_DeclarationReads : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTestCase() { fixture_.reset(); }
protected:
    void initTest() override { corvelix::test::ScriptedUi::current().reset(); }
private slots:

    void itemGridColumns_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("columns");
        const QString head = QStringLiteral(
            "nart nartext ncm lista paisorigen paisproc estado unidad_dec cantidad_dec unidad_est "
            "cantidasd_est KiloNeto fob flete seguro ajuste_ded ajuste_inc ventajas");
        QTest::newRow("items") << QStringLiteral("items")
                               << head + QStringLiteral(" NARTAPU IDDTAPU");
        QTest::newRow("data only")
            << QStringLiteral("solodatos")
            << QStringLiteral("nart nartext ncm lista paisorigen paisproc unidad_dec cantidad_dec "
                              "fob ventajas INFOAD DOCS");
        QTest::newRow("full") << QStringLiteral("full") << head + QStringLiteral(" INFOAD DOCS");
    }
    void itemGridColumns() {
        QFETCH(QString, grid);
        QFETCH(QString, columns);
        refreshWorkTables(kD1);
        const modDA::Recordset rs = grid == QLatin1String("items") ? modDA::getITEMsByDespacho(kD1)
                                    : grid == QLatin1String("solodatos")
                                        ? modDA::getITEMs_Solodatos_ByDespacho(kD1)
                                        : modDA::getITEMsByDespacho_FULL(kD1);
        QCOMPARE(rs.fields().join(QLatin1Char(' ')).toLower(), columns.toLower());
        QCOMPARE(rs.recordCount(), 3);
    }

    // The lists come from the work tables of the declaration they were last filled for.
    void itemGridWorkTables() {
        refreshWorkTables(kD1);
        QStringList rows = readerRows(modDA::getITEMsByDespacho_FULL(kD1),
                                      {QStringLiteral("nart"), QStringLiteral("estado"),
                                       QStringLiteral("cantidasd_est"), QStringLiteral("ventajas"),
                                       QStringLiteral("INFOAD"), QStringLiteral("DOCS")});
        rows.sort();
        QCOMPARE(rows,
                 QStringList({QStringLiteral("0001|NUEVO|25|ACE18-MERCOSUR|<null>|CERT=C-1"),
                              QStringLiteral("0002|USADO|30|<null>|COND=NUEVO|#|MARCA=ACME|<null>"),
                              QStringLiteral("0003|<null>|1|<null>|<null>|<null>")}));
        QCOMPARE(readerRows(
                     modDA::getITEMsByDespacho(kD1),
                     {QStringLiteral("nart"), QStringLiteral("NARTAPU"), QStringLiteral("IDDTAPU")})
                     .first(),
                 QStringLiteral("0001|0003|25001IT04000090S"));

        refreshWorkTables(kD2);
        rows = readerRows(
            modDA::getITEMs_Solodatos_ByDespacho(kD1),
            {QStringLiteral("ventajas"), QStringLiteral("INFOAD"), QStringLiteral("DOCS")});
        QCOMPARE(rows, QStringList(3, QStringLiteral("<null>|<null>|<null>")));
        QCOMPARE(
            readerRows(modDA::getITEMs_Solodatos_ByDespacho(kD2), {QStringLiteral("ventajas")}),
            QStringList{QStringLiteral("DI-EXENTO")});
    }

    // NART|ISBT|CANTIDAD|CANTIDAD_ESTADISTICA|FOB_UNITARIO|FOB_TOTAL per row, sorted.
    void articulos_data() {
        QTest::addColumn<QString>("sufijo");
        QTest::addColumn<QStringList>("rows");
        const QString item = QStringLiteral("0001|0000|10|25|12.5|125");
        const QString first = QStringLiteral("0002|0001|10|10|2|20");
        const QString second = QStringLiteral("0002|0002|20|20|2|40");
        QTest::newRow("every row, the item row with the item's values")
            << QString() << QStringList{item, first, second};
        QTest::newRow("suffix text") << QStringLiteral("AA(ACME)") << QStringList{item, first};
        QTest::newRow("suffix in other case") << QStringLiteral("ab(x1") << QStringList{first};
        QTest::newRow("no match") << QStringLiteral("ZZ(") << QStringList{};
    }
    void articulos() {
        QFETCH(QString, sufijo);
        QFETCH(QStringList, rows);
        const modDA::Recordset rs = modDA::getArticulosByDespacho(kD1, sufijo);
        QStringList found =
            readerRows(rs, {QStringLiteral("NART"), QStringLiteral("ISBT"),
                            QStringLiteral("CANTIDAD"), QStringLiteral("CANTIDAD_ESTADISTICA"),
                            QStringLiteral("FOB_UNITARIO"), QStringLiteral("FOB_TOTAL")});
        found.sort();
        QCOMPARE(found, rows);
        // Fields are found ignoring letter case; the engine names them as declared.
        QCOMPARE(rs.fields().join(QLatin1Char(',')).toUpper(),
                 QStringLiteral("IEXT,IDDT,NART,NARTEXT,ISBT,IESPNCE,CSBTSVL,CARTUNTDCL,CANTIDAD,"
                                "CARTUNTEST,CANTIDAD_ESTADISTICA,FOB_UNITARIO,FOB_TOTAL,LISTA,"
                                "CARTPAYORI,CARTPAYPRC"));
    }

    void itemRows() {
        QCOMPARE(
            readerRows(modDA::getRsITEM(kD1, QStringLiteral("0002")), {QStringLiteral("MARTFOB")}),
            QStringList{QStringLiteral("60")});
        // The item number is not reformatted.
        QCOMPARE(modDA::getRsITEM(kD1, QStringLiteral("2")).recordCount(), 0);
        const modDA::Recordset all = modDA::getRsITEMs(kD1);
        QCOMPARE(all.recordCount(), 3);
        QVERIFY(all.hasField(QStringLiteral("CARTCRC")));
    }

    void simiGlobal() {
        const modDA::Recordset rs = modDA::getSIMIGlobal(kD1);
        QCOMPARE(rs.fields().join(QLatin1Char(',')),
                 QStringLiteral("despacho,ncm,item,cantidad,unitario,total,sufijos,origen,iext"));
        QStringList rows = readerRows(
            rs, {QStringLiteral("item"), QStringLiteral("sufijos"), QStringLiteral("iext")});
        rows.sort();
        QCOMPARE(rows, QStringList({QStringLiteral("0001|AA(ACME)-|S1"),
                                    QStringLiteral("0002|AA(ACME)-AB(X1)-|S2"),
                                    QStringLiteral("0002|AA(OTRA)-|S3")}));
    }

    void camposSIM_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shown number padded")
            << QStringLiteral("1") << QStringLiteral("07|10|01|25||0|203|REF-1");
        QTest::newRow("Null texts read as empty")
            << QStringLiteral("0002") << QStringLiteral("07|30||30||0|310|");
    }
    void camposSIM() {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        const modDA::SIMItemCampos c = modDA::getCamposSIM(kD1, item);
        const QStringList cells{c.declaredUnit,    QString::number(c.declaredQuantity),
                                c.statisticalUnit, QString::number(c.statisticalQuantity),
                                c.thirdUnit,       QString::number(c.thirdQuantity),
                                c.originCountry,   c.externalReference};
        QCOMPARE(cells.join(QLatin1Char('|')), expected);
    }

    void camposSIMFailures_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        QTest::newRow("no such item")
            << QStringLiteral("7") << QStringLiteral("Corvelix.modDA.getCamposSIM (30)::getITEM")
            << QStringLiteral("No se encuentra el item 7 en la operacion 26001IC06000001A");
        QTest::newRow("Null declared unit")
            << QStringLiteral("12") << QStringLiteral("Corvelix.modDA.getCamposSIM (40)::Corvelix")
            << QStringLiteral("Uso no válido de Null");
    }
    void camposSIMFailures() {
        QFETCH(QString, item);
        QFETCH(QString, source);
        QFETCH(QString, description);
        try {
            (void)modDA::getCamposSIM(kD1, item);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QCOMPARE(e.source, source);
            QCOMPARE(e.description, description);
        }
    }

    void descripcion_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QString>("expected");
        QTest::newRow("advantage, trimmed")
            << QStringLiteral("ACE18") << 1 << QStringLiteral("PREFERENCIA ACE 18");
        QTest::newRow("list") << QStringLiteral("ACE18") << 2 << QStringLiteral("ACE 18 MERCOSUR");
        QTest::newRow("list, Null description") << QStringLiteral("NULA") << 2 << QString();
        QTest::newRow("information code")
            << QStringLiteral("marca") << 3 << QStringLiteral("MARCA DE LA MERCADERIA");
        QTest::newRow("document") << QStringLiteral("CERT") << 4 << QStringLiteral("CERTIFICADO");
        QTest::newRow("state") << QStringLiteral("NUEVO") << 5 << QStringLiteral("NUEVO SIN USO");
        QTest::newRow("country") << QStringLiteral("203") << 6 << QStringLiteral("BRASIL");
        QTest::newRow("province") << QStringLiteral("01") << 7 << QStringLiteral("BUENOS AIRES");
    }
    void descripcion() {
        QFETCH(QString, codigo);
        QFETCH(int, tabla);
        QFETCH(QString, expected);
        QCOMPARE(modDA::getDescripcionTabla(codigo, tabla), expected);
    }

    void descripcionFailures_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        const QString here = QStringLiteral("Corvelix.modDA.getDescripcionTabla ");
        QTest::newRow("table 8") << QStringLiteral("203") << 8
                                 << here + QStringLiteral("(10)::getSQL")
                                 << QStringLiteral("parametro invalido: 8");
        QTest::newRow("expired country")
            << QStringLiteral("499") << 6 << here + QStringLiteral("(30)::Codigo inválido")
            << QStringLiteral("No se encontró descripcion para el codigo [ 499 ]");
        QTest::newRow("expired advantage")
            << QStringLiteral("VIEJA") << 1 << here + QStringLiteral("(30)::Codigo inválido")
            << QStringLiteral("No se encontró descripcion para el codigo [ VIEJA ]");
        QTest::newRow("advantage not yet valid")
            << QStringLiteral("FUTURA") << 1 << here + QStringLiteral("(30)::Codigo inválido")
            << QStringLiteral("No se encontró descripcion para el codigo [ FUTURA ]");
    }
    void descripcionFailures() {
        QFETCH(QString, codigo);
        QFETCH(int, tabla);
        QFETCH(QString, source);
        QFETCH(QString, description);
        try {
            (void)modDA::getDescripcionTabla(codigo, tabla);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.source, source);
            QCOMPARE(e.description, description);
        }
    }

    void subRegimen_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("cancellations");
        QTest::newRow("IC06") << kD1 << QStringLiteral("IC06") << true;
        QTest::newRow("SIMI") << kD2 << QStringLiteral("SIMI") << false;
        QTest::newRow("lower case")
            << QStringLiteral("26001ic06000001A") << QStringLiteral("ic06") << false;
        QTest::newRow("last of the list")
            << QStringLiteral("26001ZFTR000001A") << QStringLiteral("ZFTR") << true;
        QTest::newRow("short number") << QStringLiteral("26001IC") << QStringLiteral("IC") << false;
        QTest::newRow("too short") << QStringLiteral("26001") << QString() << false;
    }
    void subRegimen() {
        QFETCH(QString, despacho);
        QFETCH(QString, code);
        QFETCH(bool, cancellations);
        QCOMPARE(modDA::extraerSubRegimen(despacho), code);
        QCOMPARE(modDA::admiteCancelaciones(code), cancellations);
    }

    void codeTables() {
        QCOMPARE(
            readerRows(modDA::getSubRegimen()),
            QStringList({QStringLiteral("EC01"), QStringLiteral("IC06"), QStringLiteral("SIMI")}));
        QCOMPARE(readerRows(modDA::getCondicionVenta()),
                 QStringList({QStringLiteral("CIF|COST, INSURANCE AND FREIGHT"),
                              QStringLiteral("FOB|FREE ON BOARD")}));
    }

    void failureNamesTheReader() {
        modDA::execSQL(modDA::kCatalog, "ALTER TABLE SBT RENAME TO SBT_OLD");
        const auto restore = qScopeGuard(
            [] { modDA::execSQL(modDA::kCatalog, "ALTER TABLE SBT_OLD RENAME TO SBT"); });
        try {
            (void)modDA::getSIMIGlobal(kD1);
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY2(e.source.startsWith(QStringLiteral("Corvelix.modDA.getSIMIGlobal.::")),
                     qPrintable(e.source));
            QVERIFY2(e.description.endsWith(QStringLiteral(" linea 0")), qPrintable(e.description));
        }
        try {
            (void)modDA::getArticulosByDespacho(kD1, QString());
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY2(
                e.source.startsWith(QStringLiteral("Corvelix.modDA.getArticulosByDespacho (0)::")),
                qPrintable(e.source));
        }
    }
};

CORVELIX_TEST(tst_DeclarationReads)
#include "tst_DeclarationReads.moc"
