#include "ReaderRows.h"
#include "data/liquidation_lines.h"
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
const QString kD2 = QStringLiteral("26001IC04000002B");

// The clock is pinned to 2026-12-10 10:00:00. Tax 011 ends exactly then, 020 ended yesterday,
// 030 starts tomorrow. Kind X is no TIPTAX kind. Item 0003 has only an expired line, item
// 0004 none.
const QString kSeed = QStringLiteral(R"(
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, MARTFOBDOL, LISTA) VALUES ('26001IC04000001A', '0001', '0001', '8471.30', 100, 'ACE18');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, MARTFOBDOL, LISTA) VALUES ('26001IC04000001A', '0002', '0002', '8471.41', 50, 'NAC');
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC04000001A', '0003', '0003');
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC04000001A', '0004', '0004');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('010', 'DERECHO IMPORTACION', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('011', 'TASA ESTADISTICA', '2000-01-01 00:00:00', '2026-12-10 10:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('020', 'DERECHO EXPORTACION', '2000-01-01 00:00:00', '2026-12-09 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('030', NULL, '2026-12-11 00:00:00', '2099-12-31 00:00:00');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPTAX', '1', 'PAGADO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('MODTRN', '1', 'MARITIMO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('MODTRN', 'X', 'OTRO');
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0001', '030', '1', 'NULO', 3, 100, 3, 0);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0001', '010', '1', 'NULO', 14, 100, 14, 0);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0001', '011', '1', 'NULO', 3, 100, 3, 0);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0001', '020', '1', 'NULO', 5, 100, 5, 0);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0002', '010', 'X', 'G1', 7, 50, 14, 0);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0003', '020', '1', 'NULO', 1, 20, 5, 0);
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0000', 'AUTOLIQLIBREEXP');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0001', 'ACE18-MERCOSUR');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000002B', '0001', 'ACE18-MERCOSUR');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000002B', '0001', 'AUTOLIQ');
)");

QStringList lines(const QString& despacho, const QString& item) {
    return corvelix::test::readerRows(
        modDA::getRs(modDA::kCatalog,
                     "SELECT NART, CLQATAX, CLQATYP, CLQAMOTGAR, printf('%.2f', MLQA), "
                     "printf('%.2f', MLQABAS), printf('%.6f', QLQACOEFIC), MLQABOC, CLQA_ "
                     "FROM LQA WHERE ILIQ = ? AND NART = ? ORDER BY CLQATAX",
                     {despacho, item}));
}

} // namespace

class tst_LiquidationLines : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void init() {
        corvelix::test::ScriptedUi::current().reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanup() {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

    // Each reader's own validity test, as item/tax pairs in the reader's order.
    void validity_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one item: valid between both dates, end included")
            << QStringLiteral("item") << QStringLiteral("0001/010 0001/011");
        QTest::newRow("every line: end strictly after now, TIPTAX kinds")
            << QStringLiteral("items") << QStringLiteral("0001/010 0001/030");
        QTest::newRow("items with lines: end now or later")
            << QStringLiteral("full") << QStringLiteral("0001/010 0001/011 0001/030 0002/010");
    }
    void validity() {
        QFETCH(QString, reader);
        QFETCH(QString, expected);
        QStringList found;
        if (reader == QLatin1String("item")) {
            for (const QString& code :
                 readerRows(modDA::getLiquidacion(kD1, QStringLiteral("0001")),
                            {QStringLiteral("CLQATAX")}))
                found << QStringLiteral("0001/") + code;
        } else {
            const modDA::Recordset rs = reader == QLatin1String("items")
                                            ? modDA::getLiquidacionItems(kD1)
                                            : modDA::getLiquidacionFULL(kD1);
            const QString code = reader == QLatin1String("items") ? QStringLiteral("Codigo")
                                                                  : QStringLiteral("CLQATAX");
            for (const QString& row : readerRows(rs, {QStringLiteral("NART"), code}))
                found << QString(row).replace(QLatin1Char('|'), QLatin1Char('/'));
        }
        QCOMPARE(found.join(QLatin1Char(' ')), expected);
    }

    void columns() {
        QCOMPARE(readerRows(modDA::getLiquidacion(kD1, QStringLiteral("0001"))).first(),
                 QStringLiteral("010|DERECHO IMPORTACION|100|14|14|1|NULO"));
        QCOMPARE(modDA::getLiquidacion(kD1, QStringLiteral("1")).recordCount(), 0);
        const modDA::Recordset items = modDA::getLiquidacionItems(kD1);
        QCOMPARE(
            items.fields().join(QLatin1Char(',')).toUpper(),
            QStringLiteral("NART,CLQATAX,QLQACOEFIC,MLQABAS,CLQATYP,CLQAMOTGAR,MLQA,CODIGO,TIPO"));
        // A tax without an abbreviation keeps its code.
        QCOMPARE(readerRows(items),
                 QStringList({QStringLiteral(
                                  "0001|010 - DERECHO IMPORTACION|14|100|1 - PAGADO|NULO|14|010|1"),
                              QStringLiteral("0001|030 - |3|100|1 - PAGADO|NULO|3|030|1")}));
        const modDA::Recordset full = modDA::getLiquidacionFULL(kD1);
        QCOMPARE(
            full.fields().join(QLatin1Char(',')).toUpper(),
            QStringLiteral("IDDT,NART,NARTEXT,IESPNCE,MARTFOBDOL,MARTASS,MARTFLE,MARTAJUINC,"
                           "MARTAJUDED,LISTA,CLQATAX,LTAXABR,CLQATYP,MLQABAS,QLQACOEFIC,MLQA"));
        QCOMPARE(readerRows(full).last(),
                 QStringLiteral("26001IC04000001A|0002|0002|8471.41|50|<null>|<null>|<null>|<null>|"
                                "NAC|010|DERECHO IMPORTACION|X|50|14|7"));
    }

    void itemsServerText() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        (void)modDA::getLiquidacionItems(kD1);
        QCOMPARE(capture.texts(),
                 QStringList{QStringLiteral(
                     "SELECT NART, CLQATAX + ' - ' + COALESCE(LTAXABR, '') AS CLQATAX, QLQACOEFIC, "
                     "MLQABAS, CLQATYP + ' - ' + COALESCE(LPTRNAT, '') AS CLQATYP, CLQAMOTGAR, "
                     "MLQA, CLQATAX AS Codigo, CLQATYP AS Tipo  From LQA LEFT JOIN TAX ON "
                     "(CLQATAX = CTAX) LEFT JOIN PTR ON (CLQATYP = CPTRNAT) WHERE DTAXFIN > "
                     "GETDATE() AND CTPT = 'TIPTAX' AND ILIQ = ? ORDER BY NART, CLQATAX")});
    }

    void add_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("concepto");
        QTest::addColumn<double>("base");
        QTest::addColumn<double>("coeficiente");
        QTest::addColumn<double>("monto");
        QTest::addColumn<QString>("motivo");
        QTest::addColumn<QString>("row");
        QTest::newRow("decimal comma")
            << QStringLiteral("es_AR") << QStringLiteral("12") << QStringLiteral("5") << 1000.0
            << 21.0 << 210.0 << QString()
            << QStringLiteral("0012|005|1|NULO|210.00|1000.00|21.000000|0|<null>");
        QTest::newRow("decimal point")
            << QStringLiteral("en_US") << QStringLiteral("12") << QStringLiteral("5") << 1000.0
            << 21.0 << 210.0 << QString()
            << QStringLiteral("0012|005|1|NULO|210.00|1000.00|21.000000|0|<null>");
        QTest::newRow("blank reason, small numbers")
            << QStringLiteral("es_AR") << QStringLiteral("0012") << QStringLiteral("040") << 1.234
            << 0.5 << 5.0 << QStringLiteral("   ")
            << QStringLiteral("0012|040|1|NULO|5.00|1.23|0.500000|0|<null>");
        QTest::newRow("reason as passed, rounding half away from zero")
            << QStringLiteral("en_US") << QStringLiteral("12") << QStringLiteral("5") << 2.675
            << 0.1234565 << 1.005 << QStringLiteral(" G1")
            << QStringLiteral("0012|005|1| G1|1.01|2.68|0.123457|0|<null>");
    }
    void add() {
        QFETCH(QString, locale);
        QFETCH(QString, item);
        QFETCH(QString, concepto);
        QFETCH(double, base);
        QFETCH(double, coeficiente);
        QFETCH(double, monto);
        QFETCH(QString, motivo);
        QFETCH(QString, row);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(modDA::agregarLiquidacion(kD2, item, concepto, QStringLiteral("1"), base,
                                           coeficiente, monto, motivo),
                 1);
        QCOMPARE(lines(kD2, QStringLiteral("0012")), QStringList{row});
    }

    void removeOneItem() {
        QCOMPARE(modDA::eliminarLiquidacion(kD1, QStringLiteral("1")), 4);
        QVERIFY(lines(kD1, QStringLiteral("0001")).isEmpty());
        QCOMPARE(lines(kD1, QStringLiteral("0002")).size(), 1);
        QCOMPARE(modDA::eliminarLiquidacion(kD1, QStringLiteral("0009")), 0);
    }

    void failedInsertNamesTheProcedure() {
        modDA::execSQL(modDA::kCatalog, "DROP TABLE LQA");
        try {
            (void)modDA::agregarLiquidacion(kD1, QStringLiteral("1"), QStringLiteral("10"),
                                            QStringLiteral("1"), 1, 1, 1, QString());
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QVERIFY2(e.source.startsWith(QStringLiteral("Corvelix.modDA.agregarLiquidacion (0)::")),
                     qPrintable(e.source));
        }
    }

    void selfLiquidation_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<bool>("expected");
        QTest::newRow("declaration-level row") << kD1 << true;
        QTest::newRow("other advantages only") << kD2 << false;
        QTest::newRow("unknown declaration") << QStringLiteral("26001IC04000009Z") << false;
    }
    void selfLiquidation() {
        QFETCH(QString, despacho);
        QFETCH(bool, expected);
        QCOMPARE(modDA::tieneAutoLiquidacion(despacho), expected);
    }

    void selfLiquidationFailureLine() {
        modDA::execSQL(modDA::kCatalog, "DROP TABLE SRG");
        try {
            (void)modDA::tieneAutoLiquidacion(kD1);
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY2(
                e.source.startsWith(QStringLiteral("Corvelix.modDA.tieneAutoLiquidacion (20)::")),
                qPrintable(e.source));
        }
    }
};

CORVELIX_TEST(tst_LiquidationLines)
#include "tst_LiquidationLines.moc"
