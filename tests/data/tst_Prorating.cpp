#include "data/connection.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ExpectError.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QScopeGuard>
#include <QTest>

#include <cmath>
#include <memory>

using corvelix::MsgIcon;
using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kD = QStringLiteral("26001IC04000500A");

QStringList rows(const QString& sql, const QVariantList& params = {}) {
    return corvelix::test::queryRows(modDA::getConnection(modDA::kCatalog), sql, params);
}

void exec(const QString& sql, const QVariantList& params = {}) {
    modDA::execSQL(modDA::kCatalog, testSql(sql), params);
}

void header(double fob) {
    exec(QStringLiteral("INSERT INTO DDT (IDDT, MDDTFOB, MDDTFLE, MDDTASS, CDDTSTUSGG, CDDTSTUBUL, "
                        "CDDTSTUDEV) VALUES (?, ?, 0, 0, 'V', 'V', 'V')"),
         {kD, fob});
}

// Items as "NART declared-unit statistical-unit FOB kilos [S]"; an "S" item gets subitems
// from subitem(), the others their row "0000".
void items(const QStringList& specs) {
    for (const QString& spec : specs) {
        const QStringList f = spec.split(QLatin1Char(' '));
        const bool subitems = f.value(5) == QLatin1String("S");
        exec(QStringLiteral(
                 "INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, MARTFOB, "
                 "QARTKGRNET, QARTUNTDCL, QARTUNTEST, CARTSBITEM, MARTFLE, MARTASS, "
                 "MARTAJUINC, MARTAJUDED) VALUES (?, ?, ?, ?, ?, ?, 10, ?, ?, 0, 0, 0, 0)"),
             {kD, f[0], f[1], f[2], f[3].toDouble(), f[4].toDouble(), f[4].toDouble(),
              subitems ? QStringLiteral("S") : QStringLiteral("N")});
        if (!subitems)
            exec(QStringLiteral("INSERT INTO SBT (IDDT, NART, ISBT, MSBTFOB, QSBTUNTDCL, "
                                "QSBTUNTEST) VALUES (?, ?, '0000', ?, 10, 10)"),
                 {kD, f[0], f[3].toDouble()});
    }
}

// Subitems as "NART ISBT FOB declared-quantity statistical-quantity".
void subitems(const QStringList& specs) {
    for (const QString& spec : specs) {
        const QStringList f = spec.split(QLatin1Char(' '));
        exec(QStringLiteral("INSERT INTO SBT (IDDT, NART, ISBT, MSBTFOB, QSBTUNTDCL, QSBTUNTEST) "
                            "VALUES (?, ?, ?, ?, ?, ?)"),
             {kD, f[0], f[1], f[2].toDouble(), f[3].toDouble(), f[4].toDouble()});
    }
}

// "NART=value" per item, values at two decimals.
QString itemValues(const QString& column) {
    QStringList out;
    for (const QString& row :
         rows(QStringLiteral("SELECT NART, %1 FROM ART WHERE IDDT = ? ORDER BY NART").arg(column),
              {kD})) {
        const QStringList f = row.split(QLatin1Char('|'));
        out << f[0] + QLatin1Char('=') + QString::number(f[1].toDouble(), 'f', 2);
    }
    return out.join(QLatin1Char(' '));
}

QString subitemValues(const QString& column) {
    QStringList out;
    for (const QString& row : rows(QStringLiteral("SELECT NART, ISBT, %1 FROM SBT WHERE IDDT = ? "
                                                  "ORDER BY NART, ISBT")
                                       .arg(column),
                                   {kD})) {
        const QStringList f = row.split(QLatin1Char('|'));
        out << f[0] + QLatin1Char('/') + f[1] + QLatin1Char('=') +
                   QString::number(f[2].toDouble(), 'f',
                                   column == QLatin1String("MSBTUNITAR") ? 5 : 2);
    }
    return out.join(QLatin1Char(' '));
}

// Cents of a sum, counted from each value's cents so that float noise cannot hide a lost cent.
qint64 cents(const QString& sql, const QVariantList& params = {}) {
    qint64 total = 0;
    for (const QString& value : rows(sql, params)) {
        const double v = value.toDouble();
        const double c = v * 100.0;
        if (std::abs(c - std::round(c)) > 1e-6)
            return -999999; // not a whole number of cents
        total += std::llround(c);
    }
    return total;
}

QStringList catalog() {
    return rows(QStringLiteral("SELECT * FROM DDT ORDER BY IDDT")) +
           rows(QStringLiteral("SELECT * FROM ART ORDER BY IDDT, NART")) +
           rows(QStringLiteral("SELECT * FROM SBT ORDER BY IDDT, NART, ISBT"));
}

} // namespace

class tst_Prorating : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<CatalogFixture>(); }
    void cleanupTestCase() { fixture_.reset(); }

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        for (const char* table : {"DDT", "ART", "SBT"})
            exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
        for (const char* trigger : {"injected"})
            exec(QStringLiteral("DROP TRIGGER IF EXISTS ") + QLatin1String(trigger));
    }
private slots:

    void getCampoNamesTheColumns() {
        QCOMPARE(modDA::getCampo(1), QStringLiteral("MARTASS"));
        QCOMPARE(modDA::getCampo(2), QStringLiteral("MARTFLE"));
        QCOMPARE(modDA::getCampo(3), QStringLiteral("MARTAJUINC"));
        QCOMPARE(modDA::getCampo(4), QStringLiteral("MARTAJUDED"));
        QCOMPARE(modDA::getCampo(5), QStringLiteral("MARTFOB"));
        for (int campo : {0, 6}) {
            try {
                (void)modDA::getCampo(campo);
                QFAIL("no error");
            } catch (const VbError& error) {
                QCOMPARE(error.description, QStringLiteral("Campo Invalido"));
                QCOMPARE(error.source, QStringLiteral("Corvelix.modDA.getCampo (0)::getCampo"));
            }
        }
    }

    void headerAmountSpread_data() {
        QTest::addColumn<QStringList>("art");
        QTest::addColumn<double>("headerFob");
        QTest::addColumn<int>("campo");
        QTest::addColumn<double>("monto");
        QTest::addColumn<QString>("expected");
        QTest::newRow("freight 100 over three FOB 1: the cent to the first smallest")
            << QStringList{"0001 07 07 1 0", "0002 07 07 1 0", "0003 07 07 1 0"} << 3.0 << 2
            << 100.0 << "0001=33.34 0002=33.33 0003=33.33";
        // Each share rounds up to 0.02: the three cents too many are taken one from each of
        // three items, never all from one (which went to -0.01).
        QTest::newRow("rest spread a cent at a time, none below 0")
            << QStringList{"0001 07 07 1 0", "0002 07 07 1 0", "0003 07 07 1 0",
                           "0004 07 07 1 0", "0005 07 07 1 0", "0006 07 07 1 0"}
            << 6.0 << 1 << 0.09 << "0001=0.01 0002=0.01 0003=0.01 0004=0.02 0005=0.02 0006=0.02";
        QTest::newRow("negative rest taken from the largest")
            << QStringList{"0001 07 07 1 0", "0002 07 07 1 0", "0003 07 07 1 0"} << 3.0 << 3
            << 200.0 << "0001=66.66 0002=66.67 0003=66.67";
        QTest::newRow("item of FOB 0 gets a cent from the largest share")
            << QStringList{"0001 07 07 0 0", "0002 07 07 100 0", "0003 07 07 300 0"} << 400.0 << 4
            << 40.0 << "0001=0.01 0002=10.00 0003=29.99";
        // The header edited after the items (the demo's PRORRATEO-DEMO): the shares go over the
        // items' FOB, so the difference lands on no single item.
        QTest::newRow("header FOB apart from the items' sum")
            << QStringList{"0001 07 07 300 0", "0002 07 07 450 0", "0003 07 07 250 0",
                           "0004 07 07 0 0"}
            << 1012.5 << 2 << 100.0 << "0001=30.00 0002=44.99 0003=25.00 0004=0.01";
        QTest::newRow("header FOB twice the items' sum")
            << QStringList{"0001 07 07 100 0", "0002 07 07 100 0"} << 400.0 << 1 << 100.0
            << "0001=50.00 0002=50.00";
        QTest::newRow("FOB rescaled to a new total")
            << QStringList{"0001 07 07 100 0", "0002 07 07 200 0"} << 300.0 << 5 << 450.0
            << "0001=150.00 0002=300.00";
    }
    void headerAmountSpread() {
        QFETCH(QStringList, art);
        QFETCH(double, headerFob);
        QFETCH(int, campo);
        QFETCH(double, monto);
        QFETCH(QString, expected);
        header(headerFob);
        items(art);
        const QStringList before = rows(QStringLiteral("SELECT * FROM DDT"));
        modDA::prorratear_DatosCaratula(kD, campo, monto);
        const QString column = modDA::getCampo(campo);
        QCOMPARE(itemValues(column), expected);
        QCOMPARE(cents(QStringLiteral("SELECT %1 FROM ART WHERE IDDT = ?").arg(column), {kD}),
                 std::llround(monto * 100));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM DDT")), before);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // Each failure, spreading 0.01, leaves the catalog as it was: the shares already written too.
    void headerAmountSpreadFailures_data() {
        QTest::addColumn<QStringList>("art");
        QTest::addColumn<double>("headerFob");
        QTest::addColumn<int>("campo");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");
        const QString here = QStringLiteral("Corvelix.modDA.prorratear_DatosCaratula (0)::");
        QTest::newRow("fill fails: no share above the cent to give")
            << QStringList{"0001 07 07 0 0", "0002 07 07 1 0"} << 1.0 << 2
            << "No se puede normalizar el prorrateo de valores, hay algunos items que tienen 0."
            << here + "Corvelix.modDA.rellenarProrrateo (0)::Prorrateo DATOS";
        QTest::newRow("no items") << QStringList{} << 100.0 << 2
                                  << "Error no puedo actualizar el fob de los items"
                                  << here + "Corvelix.modDA.prorratear_DatosCaratula ";
        QTest::newRow("header FOB 0")
            << QStringList{"0001 07 07 10 0"} << 0.0 << 1
            << "División por cero: el FOB de la caratula es 0, no se puede prorratear."
            << here + "Corvelix";
        QTest::newRow("field 6") << QStringList{"0001 07 07 10 0"} << 10.0 << 6 << "Campo Invalido"
                                 << here + "Corvelix.modDA.getCampo (0)::getCampo";
    }
    void headerAmountSpreadFailures() {
        QFETCH(QStringList, art);
        QFETCH(double, headerFob);
        QFETCH(int, campo);
        QFETCH(QString, description);
        QFETCH(QString, source);
        header(headerFob);
        items(art);
        const QStringList before = catalog();
        try {
            modDA::prorratear_DatosCaratula(kD, campo, 0.01);
            QFAIL("no error");
        } catch (const VbError& error) {
            QCOMPARE(error.description, description);
            QCOMPARE(error.source, source);
            QCOMPARE(error.number, corvelix::kErrChained);
        }
        QCOMPARE(catalog(), before);
    }

    // A header FOB apart from the items' leaves a rest the items cannot take a cent each
    // (100 over FOB 400 gives 25 and 25): refused, nothing written.
    // Items whose FOB is all 0 give no shares to spread: refused, nothing written.
    void headerAmountSpreadRefusesItemsWithoutFob() {
        header(400);
        items({"0001 07 07 0 0", "0002 07 07 0 0"});
        const QStringList before = catalog();
        corvelix::test::expectRefusal([] { modDA::prorratear_DatosCaratula(kD, 2, 100); },
                                      QStringLiteral("No se puede prorratear: el FOB de los "
                                                     "item's es 0"));
        QCOMPARE(catalog(), before);
    }

    void headerAmountSpreadNeedsTheHeader() {
        items({"0001 07 07 10 0"});
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::prorratear_DatosCaratula(kD, 1, 10.0));
    }

    void netKilosSpread_data() {
        QTest::addColumn<QStringList>("art");
        QTest::addColumn<double>("headerFob");
        QTest::addColumn<double>("kilos");
        QTest::addColumn<QString>("expected");
        QTest::newRow("100 kg over FOB 200 and 100")
            << QStringList{"0001 07 07 200 5", "0002 07 07 100 5"} << 300.0 << 100.0
            << "0001=66.67 0002=33.33";
        // The kilos to spread (90) go over the FOB of the items that take them (300), not over
        // the header's (600), which counts the fixed item.
        QTest::newRow("fixed kilos of a 01 item")
            << QStringList{"0001 07 07 200 5", "0002 07 07 100 5", "0003 01 01 300 10"} << 600.0
            << 100.0 << "0001=60.00 0002=30.00 0003=10.00";
        QTest::newRow("rounding cent to the smallest")
            << QStringList{"0001 07 07 1 0", "0002 07 07 1 0", "0003 07 07 1 0"} << 3.0 << 100.0
            << "0001=33.34 0002=33.33 0003=33.33";
        QTest::newRow("item of FOB 0 gets a cent from the largest")
            << QStringList{"0001 07 07 0 3", "0002 07 07 100 3"} << 100.0 << 10.0
            << "0001=0.01 0002=9.99";
        QTest::newRow("header FOB apart from the items' makes no difference")
            << QStringList{"0001 07 07 200 5", "0002 07 07 100 5", "0003 01 07 50 10"} << 1000.0
            << 100.0 << "0001=60.00 0002=30.00 0003=10.00";
    }
    void netKilosSpread() {
        QFETCH(QStringList, art);
        QFETCH(double, headerFob);
        QFETCH(double, kilos);
        QFETCH(QString, expected);
        header(headerFob);
        items(art);
        const QStringList fixedItems =
            rows(QStringLiteral("SELECT * FROM ART WHERE CARTUNTDCL = '01' ORDER BY NART"));
        modDA::ProrratearKilos(kD, kilos);
        QCOMPARE(itemValues(QStringLiteral("QARTKGRNET")), expected);
        QCOMPARE(cents(QStringLiteral("SELECT QARTKGRNET FROM ART WHERE IDDT = ?"), {kD}),
                 std::llround(kilos * 100));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM ART WHERE CARTUNTDCL = '01' ORDER BY NART")),
                 fixedItems);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        QCOMPARE(ScriptedUi::current().busyChanges, (QList<bool>{true, false}));
    }

    void netKilosRefusals_data() {
        QTest::addColumn<QStringList>("art");
        QTest::addColumn<double>("kilos");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero") << QStringList{"0001 07 07 10 1"} << 0.0
                              << "El Kilogramos Neto a prorratear debe ser mayor a 0";
        QTest::newRow("negative") << QStringList{"0001 07 07 10 1"} << -5.0
                                  << "El Kilogramos Neto a prorratear debe ser mayor a 0";
        QTest::newRow("only 01 items")
            << QStringList{"0001 01 01 10 4"} << 50.0
            << "No hay Item's para prorratear, \r\n\r\nRecuerde que el sistema solo prorratea "
               "item's cuya Unidad Declarada sea diferente a 01";
        QTest::newRow("fixed kilos equal to the amount")
            << QStringList{"0001 01 01 10 12.5", "0002 07 07 10 1"} << 12.5
            << "El KiloGramoNeto a prorratear tiene que ser mayor a 12.5 (son item's que ya "
               "tienen KgNeto fijo porque la Unidad Declarada)";
        QTest::newRow("items to spread over have no FOB")
            << QStringList{"0001 01 01 10 1", "0002 07 07 0 1"} << 50.0
            << "No se puede prorratear: el FOB de los item's cuya Unidad Declarada es diferente a "
               "01 es 0";
        QTest::newRow("item with kilo subitems and FOB 0")
            << QStringList{"0001 07 07 10 1", "0002 07 01 0 1 S"} << 50.0
            << "El item 0002 tiene FOB 0: no se pueden prorratear sus kilos entre sus subitems";
    }
    void netKilosRefusals() {
        QFETCH(QStringList, art);
        QFETCH(double, kilos);
        QFETCH(QString, message);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        header(100);
        items(art);
        subitems({"0002 0001 0 1 1"});
        const QStringList before = catalog();
        // Refused to the form, which shows it: the data layer shows nothing itself.
        corvelix::test::expectRefusal([&] { modDA::ProrratearKilos(kD, kilos); }, message);
        QLocale::setDefault(QLocale::c());
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        QCOMPARE(catalog(), before);
        QVERIFY(!ScriptedUi::current().busy);
    }

    // After the spread a kilo-statistical item's subitems add up to its new kilos.
    void netKilosReachTheSubitems() {
        header(1000);
        items({"0001 01 01 300 150", "0002 07 01 450 80 S", "0003 07 07 250 60", "0004 07 07 0 2"});
        subitems({"0002 0001 200 50 40", "0002 0002 150 30 24", "0002 0003 100 20 16"});
        const QString fixedRow = rows(QStringLiteral("SELECT * FROM SBT WHERE NART = '0001'"))[0];
        modDA::ProrratearKilos(kD, 250.0);
        // 100 kg over FOB 700: 64.29 and 35.71; the sample gets a cent from the largest.
        QCOMPARE(itemValues(QStringLiteral("QARTKGRNET")),
                 QStringLiteral("0001=150.00 0002=64.28 0003=35.71 0004=0.01"));
        QCOMPARE(itemValues(QStringLiteral("QARTUNTEST")),
                 QStringLiteral("0001=150.00 0002=64.28 0003=60.00 0004=2.00"));
        QCOMPARE(subitemValues(QStringLiteral("QSBTUNTEST")),
                 QStringLiteral("0001/0000=10.00 0002/0001=28.57 0002/0002=21.43 "
                                "0002/0003=14.28 0003/0000=10.00 0004/0000=10.00"));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM SBT WHERE NART = '0001'"))[0], fixedRow);
    }

    void netKilosFailureHalfWay_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("statistical quantity of the items")
            << "CREATE TRIGGER injected BEFORE UPDATE OF QARTUNTEST ON ART BEGIN "
               "SELECT RAISE(ABORT, 'fallo inyectado'); END";
        QTest::newRow("subitems, the last step")
            << "CREATE TRIGGER injected BEFORE UPDATE OF QSBTUNTEST ON SBT BEGIN "
               "SELECT RAISE(ABORT, 'fallo inyectado'); END";
    }
    void netKilosFailureHalfWay() {
        QFETCH(QString, trigger);
        header(1000);
        items({"0001 07 01 450 80 S", "0002 07 07 250 60"});
        subitems({"0001 0001 200 50 40", "0001 0002 250 30 24"});
        exec(trigger);
        const QStringList before = catalog();
        try {
            modDA::ProrratearKilos(kD, 123.0);
            QFAIL("no error");
        } catch (const VbError& error) {
            QVERIFY2(error.description.contains(QStringLiteral("fallo inyectado")),
                     qPrintable(error.description));
            QVERIFY(
                error.source.startsWith(QStringLiteral("Corvelix.modDA.ProrratearKilos (0)::")));
        }
        QCOMPARE(catalog(), before);
        QVERIFY(!ScriptedUi::current().busy);
    }

    void statisticalSpread_data() {
        QTest::addColumn<QStringList>("sbt");
        QTest::addColumn<double>("fob");
        QTest::addColumn<double>("kilos");
        QTest::addColumn<QString>("expected");
        QTest::newRow("positive rest to subitem 0001")
            << QStringList{"0001 0001 1 1 0", "0001 0002 1 1 0", "0001 0003 1 1 0"} << 3.0 << 100.0
            << "0001/0000=7.00 0001/0001=33.34 0001/0002=33.33 0001/0003=33.33";
        QTest::newRow("negative rest from the largest, equal ones by number")
            << QStringList{"0001 0001 1 1 0", "0001 0002 1 1 0", "0001 0003 1 1 0"} << 3.0 << 200.0
            << "0001/0000=7.00 0001/0001=66.66 0001/0002=66.67 0001/0003=66.67";
        QTest::newRow("negative rest from the largest, not 0001")
            << QStringList{"0001 0001 1 1 0", "0001 0002 1 1 0", "0001 0003 1 1 0",
                           "0001 0004 3 1 0"}
            << 6.0 << 1.0
            << "0001/0000=7.00 0001/0001=0.17 0001/0002=0.17 0001/0003=0.17 0001/0004=0.49";
        // The caller's FOB is half the subitems': the rest (-1.00) is larger than any subitem.
        QTest::newRow("no subitem holds the rest: from the largest down, none below 0")
            << QStringList{"0001 0001 4 1 0", "0001 0002 3 1 0", "0001 0003 3 1 0"} << 5.0 << 1.0
            << "0001/0000=7.00 0001/0001=0.00 0001/0002=0.40 0001/0003=0.60";
    }
    void statisticalSpread() {
        QFETCH(QStringList, sbt);
        QFETCH(double, fob);
        QFETCH(double, kilos);
        QFETCH(QString, expected);
        header(100);
        items({"0001 07 01 10 1 S", "0002 07 01 10 1 S"});
        subitems(sbt + QStringList{"0001 0000 0 1 7", "0002 0001 10 1 5"});
        const QStringList other = rows(QStringLiteral("SELECT * FROM SBT WHERE NART = '0002'"));
        modDA::ProrratearEstadisticaSubitem(kD, QStringLiteral("0001"), fob, kilos);
        QCOMPARE(subitemValues(QStringLiteral("QSBTUNTEST")).section(QLatin1String(" 0002/"), 0, 0),
                 expected);
        QCOMPARE(cents(QStringLiteral("SELECT QSBTUNTEST FROM SBT WHERE NART = '0001' AND ISBT <> "
                                      "'0000'")),
                 std::llround(kilos * 100));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM SBT WHERE NART = '0002'")), other);
    }

    void statisticalSpreadRefusesFobZero() {
        header(100);
        items({"0001 07 01 10 1 S"});
        subitems({"0001 0001 1 1 3"});
        const QStringList before = catalog();
        QVERIFY_THROWS_EXCEPTION(
            VbError, modDA::ProrratearEstadisticaSubitem(kD, QStringLiteral("0001"), 0, 5));
        QCOMPARE(catalog(), before);
    }

    void subitemFobSpread_data() {
        QTest::addColumn<QString>("nart");
        QTest::addColumn<QStringList>("sbt");
        QTest::addColumn<double>("fob");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("unitPrices");
        QTest::newRow("item number 1 means 0001")
            << "1" << QStringList{"0001 0001 10 4 0", "0001 0002 20 3 0", "0001 0003 30 2 0"}
            << 100.0 << "0001/0001=16.67 0001/0002=33.33 0001/0003=50.00"
            << "0001/0001=4.16750 0001/0002=11.11000 0001/0003=25.00000";
        QTest::newRow("positive rest to the smallest")
            << "0001" << QStringList{"0001 0001 1 1 0", "0001 0002 1 1 0", "0001 0003 1 1 0"}
            << 100.0 << "0001/0001=33.34 0001/0002=33.33 0001/0003=33.33"
            << "0001/0001=33.34000 0001/0002=33.33000 0001/0003=33.33000";
        QTest::newRow("zero row gets a cent, given back by the largest")
            << "0001" << QStringList{"0001 0001 0 1 0", "0001 0002 50 2 0", "0001 0003 50 2 0"}
            << 100.0 << "0001/0001=0.01 0001/0002=49.99 0001/0003=50.00"
            << "0001/0001=0.01000 0001/0002=24.99500 0001/0003=25.00000";
        QTest::newRow("row 0000 takes its share too")
            << "0001" << QStringList{"0001 0000 1 3 0", "0001 0001 2 3 0"} << 10.0
            << "0001/0000=3.33 0001/0001=6.67"
            << "0001/0000=1.11000 0001/0001=2.22333";
    }
    void subitemFobSpread() {
        QFETCH(QString, nart);
        QFETCH(QStringList, sbt);
        QFETCH(double, fob);
        QFETCH(QString, expected);
        QFETCH(QString, unitPrices);
        header(100);
        items({"0001 07 07 60 1 S", "0002 07 07 10 1"});
        subitems(sbt);
        const QStringList other = rows(QStringLiteral("SELECT * FROM SBT WHERE NART = '0002'"));
        modDA::prorratearItemSubItems(kD, nart, fob);
        QCOMPARE(subitemValues(QStringLiteral("MSBTFOB")).section(QLatin1String(" 0002/"), 0, 0),
                 expected);
        QCOMPARE(subitemValues(QStringLiteral("MSBTUNITAR")).section(QLatin1String(" 0002/"), 0, 0),
                 unitPrices);
        QCOMPARE(cents(QStringLiteral("SELECT MSBTFOB FROM SBT WHERE NART = '0001'")),
                 std::llround(fob * 100));
        QCOMPARE(rows(QStringLiteral("SELECT * FROM SBT WHERE NART = '0002'")), other);
    }

    void subitemFobSpreadRefusals_data() {
        QTest::addColumn<QStringList>("sbt");
        QTest::addColumn<QString>("description");
        QTest::newRow("declared quantity 0")
            << QStringList{"0001 0001 10 4 0", "0001 0002 20 0 0"}
            << "El subitem 0002 del item 0001 tiene cantidad declarada 0: no se puede calcular "
               "su precio unitario. No se prorrateo el FOB.";
        QTest::newRow("subitems without FOB")
            << QStringList{"0001 0001 0 4 0", "0001 0002 0 1 0"}
            << "División por cero: el FOB de los subitems del item 0001 es 0.";
    }
    void subitemFobSpreadRefusals() {
        QFETCH(QStringList, sbt);
        QFETCH(QString, description);
        header(100);
        items({"0001 07 07 60 1 S"});
        subitems(sbt);
        const QStringList before = catalog();
        for (int all = 0; all < 2; ++all) {
            try {
                if (all)
                    modDA::prorratearSubItems(kD);
                else
                    modDA::prorratearItemSubItems(kD, QStringLiteral("0001"), 100);
                QFAIL("no error");
            } catch (const VbError& error) {
                QCOMPARE(error.description, description);
                QVERIFY(error.source.startsWith(
                    all ? QStringLiteral("Corvelix.modDA.prorratearSubItems_Error")
                        : QStringLiteral("Corvelix.modDA.prorratearItemSubItems")));
            }
            QCOMPARE(catalog(), before);
        }
    }

    // Every item with subitems at once; the others untouched; a failure at the last step keeps
    // nothing.
    void allItemsSubitemFob() {
        header(100);
        items({"0001 07 07 100 1 S", "0002 07 07 10 1", "0003 07 07 50 1 S"});
        subitems({"0001 0001 1 1 0", "0001 0002 1 1 0", "0001 0003 1 1 0", "0003 0001 2 2 0",
                  "0003 0002 3 2 0"});
        exec(QStringLiteral("CREATE TRIGGER injected BEFORE UPDATE OF MSBTUNITAR ON SBT BEGIN "
                            "SELECT RAISE(ABORT, 'fallo inyectado'); END"));
        const QStringList before = catalog();
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::prorratearSubItems(kD));
        QCOMPARE(catalog(), before);
        exec(QStringLiteral("DROP TRIGGER injected"));

        modDA::prorratearSubItems(kD);
        QCOMPARE(subitemValues(QStringLiteral("MSBTFOB")),
                 QStringLiteral("0001/0001=33.34 0001/0002=33.33 0001/0003=33.33 0002/0000=10.00 "
                                "0003/0001=20.00 0003/0002=30.00"));
        QCOMPARE(subitemValues(QStringLiteral("MSBTUNITAR")),
                 QStringLiteral("0001/0001=33.34000 0001/0002=33.33000 0001/0003=33.33000 "
                                "0002/0000=0.00000 0003/0001=10.00000 0003/0002=15.00000"));
    }

    void headerTotals() {
        header(999);
        items({"0001 07 07 100.004 1", "0002 07 07 200.5 1"});
        exec(QStringLiteral("UPDATE ART SET MARTFLE = 1.25, MARTASS = NULL"));
        modDA::recalcularCaratula(kD);
        QCOMPARE(rows(QStringLiteral("SELECT MDDTFOB, MDDTASS, MDDTFLE, CDDTSTUSGG, CDDTSTUBUL, "
                                     "CDDTSTUDEV FROM DDT")),
                 QStringList{"300.5|0|2.5|I|I|I"});

        exec(QStringLiteral("DELETE FROM ART"));
        exec(QStringLiteral("UPDATE DDT SET CDDTSTUSGG = 'V', CDDTSTUBUL = 'V', CDDTSTUDEV = 'V'"));
        modDA::recalcularCaratula(kD);
        QCOMPARE(rows(QStringLiteral("SELECT MDDTFOB, MDDTASS, MDDTFLE, CDDTSTUSGG, CDDTSTUBUL, "
                                     "CDDTSTUDEV FROM DDT")),
                 QStringList{"0|0|0|I|I|I"});

        exec(QStringLiteral("UPDATE DDT SET CDDTSTUSGG = 'V', CDDTSTUBUL = 'V', CDDTSTUDEV = 'V', "
                            "MDDTFOB = 5"));
        modDA::Invalidar_Caratula(kD);
        QCOMPARE(
            rows(QStringLiteral("SELECT MDDTFOB, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV FROM DDT")),
            QStringList{"5|I|I|I"});
    }

    // Items that each fit can add up past the header's column: refused before anything is
    // written, the sum judged as it would be stored.
    void headerTotalsPastTheirColumn_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("second");
        QTest::addColumn<QString>("refusal"); // empty: written
        const QString refusal =
            QStringLiteral("La suma %1 de los items de la declaración 26001IC04000500A (%2) "
                           "supera el máximo que admite su total (9.999.999.999.999,99): no se "
                           "graba.");
        QTest::newRow("FOB") << "MARTFOB" << 9e12 << 9e12
                             << refusal.arg("del FOB", "18.000.000.000.000,00");
        QTest::newRow("insurance")
            << "MARTASS" << 9e12 << 9e12 << refusal.arg("del seguro", "18.000.000.000.000,00");
        QTest::newRow("freight") << "MARTFLE" << 9e12 << 9e12
                                 << refusal.arg("del flete", "18.000.000.000.000,00");
        QTest::newRow("FOB that rounds past") << "MARTFOB" << 5e12 << 4999999999999.996
                                              << refusal.arg("del FOB", "10.000.000.000.000,00");
        QTest::newRow("FOB at the largest") << "MARTFOB" << 5e12 << 4999999999999.99 << "";
    }
    void headerTotalsPastTheirColumn() {
        QFETCH(QString, column);
        QFETCH(double, first);
        QFETCH(double, second);
        QFETCH(QString, refusal);
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
        const auto locale = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        header(1);
        items({"0001 07 07 1 1", "0002 07 07 1 1"});
        exec(QStringLiteral("UPDATE ART SET %1 = CASE NART WHEN '0001' THEN ? ELSE ? END")
                 .arg(column),
             {first, second});
        const QStringList before = catalog();
        try {
            modDA::recalcularCaratula(kD);
            QVERIFY2(refusal.isEmpty(), "no error");
        } catch (const VbError& error) {
            QCOMPARE(error.description, refusal);
            QCOMPARE(error.number, corvelix::kErrChained);
            QCOMPARE(catalog(), before);
            return;
        }
        QCOMPARE(rows(QStringLiteral("SELECT MDDTFOB FROM DDT")), QStringList{"9999999999999.99"});
    }

    void headerAndItemFob() {
        header(1234.567);
        items({"0001 07 07 10.005 1"});
        double caratula = -1, item = -1;
        modDA::getTotalCaratula_Item(kD, QStringLiteral("0001"), caratula, item);
        QCOMPARE(caratula, 1234.57);
        QCOMPARE(item, 10.01);
        try {
            modDA::getTotalCaratula_Item(kD, QStringLiteral("0009"), caratula, item);
            QFAIL("no error");
        } catch (const VbError& error) {
            QVERIFY(error.source.startsWith(
                QStringLiteral("Corvelix.modDA.getTotalCaratula_Item (0)::")));
        }
    }

    // The statements as the server receives them.
    void serverText() {
        header(100);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::ProrratearEstadisticaSubitem(kD, QStringLiteral("0001"), 10, 5);
        const QStringList texts = capture.texts();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts[0],
                 QStringLiteral("UPDATE SBT SET QSBTUNTEST = CONVERT(numeric(20,2), (MSBTFOB * "
                                "w.KILOS) / w.FOB) FROM SBT INNER JOIN (SELECT ? AS NART, ? AS "
                                "FOB, ? AS KILOS) AS w ON SBT.NART = w.NART WHERE SBT.IDDT = ? "
                                "AND SBT.ISBT <> '0000'"));
        QVERIFY(texts[2].contains(QStringLiteral(
            "CONVERT(numeric(20,2), -r.RESTO - (SUM(s.QSBTUNTEST) OVER (PARTITION BY s.NART ORDER "
            "BY s.QSBTUNTEST DESC, s.ISBT ROWS UNBOUNDED PRECEDING) - s.QSBTUNTEST))")));
        QCOMPARE(capture.statements()[2].params,
                 (QVariantList{QStringLiteral("0001"), 10.0, 5.0, kD, kD, kD}));
    }
};

CORVELIX_TEST(tst_Prorating)
#include "tst_Prorating.moc"
