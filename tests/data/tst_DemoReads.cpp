#include "data/declaration_reads.h"
#include "data/export_reads.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "data/schema.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QSqlDatabase>
#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;

namespace {

// The demo seed on the fixture's empty catalog (the script runs in one transaction).
void loadDemoSeed(const QString& path) {
    const QString name = QStringLiteral("demo_reads_seed");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        modDA::runSqlScript(db, QStringLiteral(":/demo/seed.sql"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// As the workbook export sets its flags: a pivot table exists only when its rows had codes.
bool exists(const QString& table) {
    return !modDA::getRs(modDA::kCatalog, "SELECT name FROM sysobjects WHERE name= ?", {table})
                .eof();
}

} // namespace

// The demo catalog gives every reader something to show, after the procedures the screens
// run first.
class tst_DemoReads : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() {
        fixture_ = std::make_unique<CatalogFixture>();
        loadDemoSeed(fixture_->catalogPath());
    }
    void cleanupTestCase() { fixture_.reset(); }
protected:
    void initTest() override { corvelix::test::ScriptedUi::current().reset(); }
private slots:

    void everyReaderFindsRows_data() {
        QTest::addColumn<QString>("despacho");
        QTest::newRow("import with an expired tax line") << QStringLiteral("24001IC04000101K");
        QTest::newRow("river import, two jurisdictions") << QStringLiteral("25019IC04000256J");
        QTest::newRow("temporary import") << QStringLiteral("25001IT04000090S");
    }
    void everyReaderFindsRows() {
        QFETCH(QString, despacho);
        for (const char* procedure : {"setItemVentajas", "SETITEMINFOAD", "SETITEMDOCS"})
            modDA::runProcedure(QLatin1String(procedure), {despacho});
        modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {despacho, QStringLiteral("9999")});
        modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {despacho, QStringLiteral("9999")});
        modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {despacho});

        const int items = modDA::getRsITEMs(despacho).recordCount();
        QVERIFY(items > 0);
        QCOMPARE(modDA::getITEMsByDespacho(despacho).recordCount(), items);
        QCOMPARE(modDA::getITEMs_Solodatos_ByDespacho(despacho).recordCount(), items);
        QCOMPARE(modDA::getITEMsByDespacho_FULL(despacho).recordCount(), items);
        QCOMPARE(modDA::getITEMsPIVOT(despacho, exists(QStringLiteral("CPLPIVOT")),
                                      exists(QStringLiteral("SRGPIVOT")),
                                      exists(QStringLiteral("DVDPIVOT")))
                     .recordCount(),
                 items);
        const int rows = modDA::getArticulosByDespacho(despacho, QString()).recordCount();
        QVERIFY(rows >= items);
        QCOMPARE(modDA::getArticulosByDespacho_FULL(despacho, QString()).recordCount(), rows);
        QCOMPARE(modDA::getSIMIGlobal(despacho).recordCount(), rows);
        QVERIFY(!modDA::getRsITEM(despacho, QStringLiteral("0001")).eof());
        QVERIFY(!modDA::getCPL(despacho, QStringLiteral("0001")).eof());
        QVERIFY(!modDA::getSBT(despacho, QStringLiteral("0001")).eof());
        QVERIFY(!modDA::getBultos(despacho).eof());
        QVERIFY(!modDA::getLiquidacionTOTAL(despacho).eof());
        QVERIFY(modDA::getTipoCotiz(despacho) > 1);
        QVERIFY(!modDA::getLiquidacion(despacho, QStringLiteral("0001")).eof());
        QVERIFY(!modDA::getLiquidacionItems(despacho).eof());
        QVERIFY(!modDA::getLiquidacionFULL(despacho).eof());
        QVERIFY(!modDA::getCamposSIM(despacho, QStringLiteral("1")).declaredUnit.isEmpty());
    }

    // The tax that expired in 2015 shows in none of the liquidation readers.
    void expiredTaxLine() {
        const QString despacho = QStringLiteral("24001IC04000101K");
        QCOMPARE(modDA::getLiquidacion(despacho, QStringLiteral("0001")).recordCount(), 5);
        QCOMPARE(modDA::getLiquidacionItems(despacho).recordCount(), 15);
        QCOMPARE(modDA::getLiquidacionFULL(despacho).recordCount(), 15);
        QCOMPARE(modDA::getLiquidacionTOTAL(despacho).recordCount(), 5);
    }

    void otherDeclarations() {
        QVERIFY(!modDA::getSRG(QStringLiteral("25019IC04000256J"), QStringLiteral("0001")).eof());
        QCOMPARE(modDA::getCIB(QStringLiteral("25019IC04000256J")).recordCount(), 2);
        QCOMPARE(modDA::getJurisdicciones(QStringLiteral("25019IC04000256J")).recordCount(), 2);
        QVERIFY(!modDA::getDCEXP(QStringLiteral("25073EC06000031F")).eof());
        QVERIFY(!modDA::getPACROM(QStringLiteral("25001IT04000090S")).eof());
        QVERIFY(modDA::tieneAutoLiquidacion(QStringLiteral("25001IC04000007D")));
        QVERIFY(!modDA::getSubRegimen().eof());
        QVERIFY(!modDA::getCondicionVenta().eof());
        QCOMPARE(modDA::getDescripcionTabla(QStringLiteral("203"), 6), QStringLiteral("BRASIL"));
    }
};

CORVELIX_TEST(tst_DemoReads)
#include "tst_DemoReads.moc"
