#include "data/modDA.h"
#include "data/recalculation.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QScopeGuard>
#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

namespace {

const QString kDespacho = QStringLiteral("26001IC04000123A");

// Item 0001 with three subitem rows; item 0002 without any.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC04000123A');
INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTFOB)
  VALUES ('26001IC04000123A', '0001', '07', '07', 1, 1, 5.4321, 1);
INSERT INTO ART (IDDT, NART, CARTUNTDCL, CARTUNTEST, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTFOB)
  VALUES ('26001IC04000123A', '0002', '01', '01', 7, 7, 7, 70);
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL, QSBTUNTEST, MSBTFOB)
  VALUES ('26001IC04000123A', '0001', '0000', 10, 100, 1000.25);
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL, QSBTUNTEST, MSBTFOB)
  VALUES ('26001IC04000123A', '0001', '0001', 0.004, 20.5, 234.254);
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL, QSBTUNTEST, MSBTFOB)
  VALUES ('26001IC04000123A', '0001', '0002', 2.5, 3, 0.001);
)");

QString item(const QString& nart) {
    return catalogRows(QStringLiteral("SELECT QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTFOB FROM ART "
                                      "WHERE IDDT = ? AND NART = ?"),
                       {kDespacho, nart})
        .value(0);
}

} // namespace

class tst_Recalculation : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override { fixture_.reset(); }
private slots:

    // Sums: declared 12.504 -> 12.5, statistical 123.5, FOB 1234.505 -> 1234.51.
    void kiloRule_data() {
        QTest::addColumn<QString>("declarada");
        QTest::addColumn<QString>("estadistica");
        QTest::addColumn<QString>("expected");
        QTest::newRow("declared kilos") << "01"
                                        << "07"
                                        << "12.5|123.5|12.5|1234.51";
        QTest::newRow("statistical kilos") << "07"
                                           << "01"
                                           << "12.5|123.5|123.5|1234.51";
        QTest::newRow("both: statistical wins") << "01"
                                                << "01"
                                                << "12.5|123.5|123.5|1234.51";
        QTest::newRow("neither: kilos kept at three decimals") << "07"
                                                               << "07"
                                                               << "12.5|123.5|5.432|1234.51";
        QTest::newRow("compared exactly") << " 01"
                                          << "1"
                                          << "12.5|123.5|5.432|1234.51";
    }
    void kiloRule() {
        QFETCH(QString, declarada);
        QFETCH(QString, estadistica);
        QFETCH(QString, expected);
        modDA::execSQL(modDA::kCatalog,
                       "UPDATE ART SET CARTUNTDCL = ?, CARTUNTEST = ? WHERE NART = '0001'",
                       {declarada, estadistica});
        modDA::recalcularITEM(kDespacho, QStringLiteral("0001"));
        QCOMPARE(item(QStringLiteral("0001")), expected);
        QCOMPARE(item(QStringLiteral("0002")), QStringLiteral("7|7|7|70"));
    }

    // Subitems that each fit can add up past the item's columns: refused before anything is
    // written.
    void sumsPastTheItemColumns_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("refusal");
        const QString refusal = QStringLiteral(
            "La suma %1 de los subitems del item 0001 (%2) supera el máximo que admite el item "
            "(%3): no se graba.");
        const QString amounts = QStringLiteral("9.999.999.999.999,99");
        QTest::newRow("declared quantity")
            << "UPDATE SBT SET QSBTUNTDCL = 9E12 WHERE ISBT IN ('0000', '0001')"
            << refusal.arg("de la cantidad declarada", "18.000.000.000.002,50", amounts);
        QTest::newRow("statistical quantity")
            << "UPDATE SBT SET QSBTUNTEST = 9E12 WHERE ISBT IN ('0000', '0001')"
            << refusal.arg("de la cantidad estadística", "18.000.000.000.003,00", amounts);
        QTest::newRow("FOB") << "UPDATE SBT SET MSBTFOB = 9E12 WHERE ISBT IN ('0000', '0001')"
                             << refusal.arg("del FOB", "18.000.000.000.000,00", amounts);
        // Kilos are kept with three decimals: a declared sum that fits with two may not.
        QTest::newRow("kilos from the declared quantity")
            << "UPDATE SBT SET QSBTUNTDCL = 6E11 WHERE ISBT IN ('0000', '0001')"
            << refusal.arg("de los kilos netos", "1.200.000.000.002,500", "999.999.999.999,999");
    }
    void sumsPastTheItemColumns() {
        QFETCH(QString, change);
        QFETCH(QString, refusal);
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
        const auto locale = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        modDA::execSQL(modDA::kCatalog, "UPDATE ART SET CARTUNTDCL = '01' WHERE NART = '0001'");
        modDA::execSQL(modDA::kCatalog, testSql(change));
        const QStringList before = catalogSnapshot();
        try {
            modDA::recalcularITEM(kDespacho, QStringLiteral("0001"));
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description, refusal);
        }
        QCOMPARE(catalogSnapshot(), before);
    }

    void itemWithoutSubitemRowsIsLeftAsItIs() {
        const QStringList before = catalogSnapshot();
        modDA::recalcularITEM(kDespacho, QStringLiteral("0002"));
        QCOMPARE(catalogSnapshot(), before);
    }

    void missingItemFailsWithItsLocation() {
        const QStringList before = catalogSnapshot();
        try {
            modDA::recalcularITEM(kDespacho, QStringLiteral("0009"));
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QVERIFY2(e.source.startsWith(QStringLiteral("Corvelix.modDA.recalcularITEM (0)::")),
                     qPrintable(e.source));
        }
        QCOMPARE(catalogSnapshot(), before);
    }
};

CORVELIX_TEST(tst_Recalculation)
#include "tst_Recalculation.moc"
