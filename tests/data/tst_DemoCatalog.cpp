#include "data/demo_catalog.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using corvelix::test::ScriptedUi;

namespace {

const QString kConnection = QStringLiteral("demo_catalog_test");
constexpr int kLargeItems = 50;

QSqlDatabase catalog() {
    return QSqlDatabase::database(kConnection);
}

// Rows of a query, each row's columns joined by "|" so a failure shows what was found.
QStringList rows(const QString& sql) {
    return corvelix::test::queryRows(catalog(), sql);
}

qlonglong scalar(const QString& sql) {
    const QStringList r = rows(sql);
    return r.isEmpty() ? -1 : r.first().toLongLong();
}

} // namespace

class tst_DemoCatalog : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        db.setDatabaseName(dir_.filePath(QStringLiteral("demo.db")));
        QVERIFY(db.open());
        modDA::buildDemoCatalog(db, kLargeItems);
    }
    void cleanupTestCase() {
        QSqlDatabase::database(kConnection, false).close();
        QSqlDatabase::removeDatabase(kConnection);
    }
    void init() { ScriptedUi::current().reset(); }

    // The program itself, pointed at the demo file, lists it and builds its work tables.
    void programListsItAndBuildsTheWorkTables() {
        corvelix::test::CatalogFixture world;
        qputenv("CORVELIX_KITSQL", dir_.filePath(QStringLiteral("demo.db")).toUtf8());
        modDA::resetConnectionsForTests();

        auto all = modDA::getDDT(QString(), true);
        QCOMPARE(all.recordCount(), static_cast<int>(scalar("SELECT count(*) FROM DDT")));
        auto listed = modDA::getDDT(QString(), false);
        QCOMPARE(listed.recordCount(),
                 static_cast<int>(scalar("SELECT count(*) FROM DDT WHERE IDDT NOT LIKE '%SIMI%' "
                                         "AND IDDT NOT LIKE '%SIRA%' AND IDDT NOT LIKE '%SEDI%'")));
        QVERIFY(listed.recordCount() < all.recordCount());

        const QString iddt = modDA::kLargeDeclaration;
        for (const char* name : {"setItemVentajas", "SETITEMINFOAD", "SETITEMDOCS"})
            modDA::runProcedure(QLatin1String(name), {iddt});
        modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {iddt, QStringLiteral("9999")});
        modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {iddt});
        modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {iddt, QStringLiteral("9999")});
        for (const char* table :
             {"item_ventajas", "ITEM_INFOAD", "ITEM_DOCS", "CPLPIVOT", "SRGPIVOT", "DVDPIVOT"}) {
            auto rs =
                modDA::getRs(modDA::kCatalog,
                             "SELECT count(*) FROM " + modDA::Sql::identifier(QLatin1String(table)));
            QVERIFY2(rs.field(0).toInt() > 0, table);
        }
        modDA::resetConnectionsForTests();
    }

    // Each query lists what breaks a rule; the catalog must give none.
    void rulesHold_data() {
        QTest::addColumn<QString>("violations");
        QTest::newRow("declaration numbers have 16 characters")
            << "SELECT IDDT FROM DDT WHERE length(IDDT) <> 16";
        QTest::newRow("sub-regime is characters 6 to 9 and a known code")
            << "SELECT IDDT FROM DDT WHERE ISTA <> substr(IDDT, 6, 4) "
               "OR ISTA NOT IN (SELECT ISTA FROM STA)";
        // 26001IC04000321R keeps a header FOB apart from its items' on purpose (the spreads).
        QTest::newRow("header FOB, freight and insurance are the sums of the items")
            << "SELECT d.IDDT FROM DDT d JOIN ART a ON a.IDDT = d.IDDT "
               "WHERE d.IDDT <> '26001IC04000321R' GROUP BY d.IDDT "
               "HAVING abs(d.MDDTFOB - sum(a.MARTFOB)) > 0.005 "
               "OR abs(d.MDDTFLE - sum(a.MARTFLE)) > 0.005 "
               "OR abs(d.MDDTASS - sum(a.MARTASS)) > 0.005";
        QTest::newRow("every declaration has items")
            << "SELECT IDDT FROM DDT WHERE IDDT NOT IN (SELECT IDDT FROM ART)";
        QTest::newRow("item numbers are four digits")
            << "SELECT IDDT, NART FROM ART WHERE NART NOT GLOB '[0-9][0-9][0-9][0-9]' "
               "OR NART = '0000'";
        QTest::newRow("item FOB is quantity times unit price")
            << "SELECT IDDT, NART FROM ART WHERE abs(QARTUNTDCL * MARTUNITAR - MARTFOB) > 0.01 "
               "AND CARTSBITEM = 'N'";
        QTest::newRow("kilograms declared are the net kilos")
            << "SELECT IDDT, NART FROM ART WHERE CARTUNTDCL = '01' AND QARTKGRNET <> QARTUNTDCL";
        QTest::newRow("item without subitems has exactly its row 0000 with its values")
            << "SELECT a.IDDT, a.NART FROM ART a WHERE a.CARTSBITEM = 'N' AND ("
               "(SELECT count(*) FROM SBT s WHERE s.IDDT = a.IDDT AND s.NART = a.NART) <> 1 "
               "OR NOT EXISTS (SELECT 1 FROM SBT s WHERE s.IDDT = a.IDDT AND s.NART = a.NART "
               "AND s.ISBT = '0000' AND s.MSBTFOB = a.MARTFOB AND s.QSBTUNTDCL = a.QARTUNTDCL))";
        QTest::newRow("item with subitems is the sum of subitems 0001 onwards")
            << "SELECT a.IDDT, a.NART FROM ART a JOIN SBT s ON s.IDDT = a.IDDT AND s.NART = a.NART "
               "WHERE a.CARTSBITEM = 'S' GROUP BY a.IDDT, a.NART "
               "HAVING min(s.ISBT) <> '0001' OR abs(sum(s.MSBTFOB) - a.MARTFOB) > 0.005 "
               "OR abs(sum(s.QSBTUNTDCL) - a.QARTUNTDCL) > 0.0005";
        QTest::newRow("value-suffix strings end with a hyphen")
            << "SELECT IDDT, NART, ISBT FROM SBT WHERE CSBTSVL <> '' AND CSBTSVL NOT LIKE '%-'";
        QTest::newRow("attached rows belong to an item or to the declaration")
            << "SELECT 'CPL', ICPL, NART FROM CPL WHERE NART <> '0000' AND NOT EXISTS "
               "(SELECT 1 FROM ART WHERE ART.IDDT = CPL.ICPL AND ART.NART = CPL.NART) "
               "UNION ALL SELECT 'SRG', ISRG, NART FROM SRG WHERE NART <> '0000' AND NOT EXISTS "
               "(SELECT 1 FROM ART WHERE ART.IDDT = SRG.ISRG AND ART.NART = SRG.NART) "
               "UNION ALL SELECT 'DVD', IDVD, NART FROM DVD WHERE NART <> '0000' AND NOT EXISTS "
               "(SELECT 1 FROM ART WHERE ART.IDDT = DVD.IDVD AND ART.NART = DVD.NART) "
               "UNION ALL SELECT 'LQA', ILIQ, NART FROM LQA WHERE NOT EXISTS "
               "(SELECT 1 FROM ART WHERE ART.IDDT = LQA.ILIQ AND ART.NART = LQA.NART) "
               "UNION ALL SELECT 'CCM', IDDT, NART FROM CCM WHERE NOT EXISTS "
               "(SELECT 1 FROM ART a WHERE a.IDDT = CCM.IDDT AND CAST(a.NART AS INTEGER) = "
               "CCM.NART) "
               "UNION ALL SELECT 'DCN', IDCN, NDCNART FROM DCN WHERE NOT EXISTS "
               "(SELECT 1 FROM ART WHERE ART.IDDT = DCN.IDCN AND CAST(ART.NART AS INTEGER) = "
               "DCN.NDCNART)";
        QTest::newRow("attached codes exist in their code tables")
            << "SELECT CCPL FROM CPL WHERE CCPL NOT IN (SELECT CZCP FROM ZCP) "
               "UNION SELECT CSRG FROM SRG WHERE CSRG NOT IN (SELECT CVEN FROM VEN) "
               "UNION SELECT CDVDDOC FROM DVD WHERE CDVDDOC NOT IN (SELECT CDOC FROM DOC) "
               "UNION SELECT CLQATAX FROM LQA WHERE CLQATAX NOT IN (SELECT CTAX FROM TAX) "
               "UNION SELECT CARTUNTDCL FROM ART WHERE CARTUNTDCL NOT IN (SELECT CUMMUNTMSR FROM "
               "UMM) "
               "UNION SELECT CARTUSO FROM ART WHERE CARTUSO NOT IN (SELECT CESTCOD FROM EST) "
               "UNION SELECT LISTA FROM ART WHERE LISTA NOT IN (SELECT CODLISTA FROM lst) "
               "UNION SELECT CARTPAYPRC FROM ART WHERE CARTPAYPRC NOT IN (SELECT CPAY FROM PAY)";
        QTest::newRow("origin is a province on exports and a country otherwise")
            << "SELECT IDDT, NART FROM ART WHERE CASE WHEN substr(IDDT, 6, 2) = 'EC' "
               "THEN CARTPAYORI NOT IN (SELECT CPRV FROM PRV) "
               "ELSE CARTPAYORI NOT IN (SELECT CPAY FROM PAY) END";
        QTest::newRow("tax totals are the sums of the lines")
            << "SELECT t.ILIQ, t.CLITTAX FROM LIT t WHERE abs(t.MLIT - (SELECT sum(l.MLQA) FROM "
               "LQA l "
               "WHERE l.ILIQ = t.ILIQ AND l.CLQATAX = t.CLITTAX AND l.CLQATYP = t.CLITTYP)) > "
               "0.005";
        QTest::newRow("dates are ISO texts")
            << "SELECT IDDT FROM DDT WHERE DDDTOFICIA NOT GLOB "
               "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]' "
               "UNION ALL SELECT CPAY FROM PAY WHERE DPAYFIN NOT GLOB '[0-9][0-9][0-9][0-9]-*'";
    }
    void rulesHold() {
        QFETCH(QString, violations);
        const QStringList found = rows(violations);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    }

    // What the program's screens and filters need to find in a demo.
    void catalogOffersTheCases_data() {
        QTest::addColumn<QString>("countQuery");
        QTest::addColumn<int>("atLeast");
        QTest::newRow("about a dozen declarations") << "SELECT count(*) FROM DDT" << 12;
        QTest::newRow("SIMI, SIRA and SEDI declarations for the list filter")
            << "SELECT count(DISTINCT ISTA) FROM DDT WHERE ISTA IN ('SIMI', 'SIRA', 'SEDI')" << 3;
        QTest::newRow("several sub-regimes") << "SELECT count(DISTINCT ISTA) FROM DDT" << 7;
        QTest::newRow("own reference holding digits of another number")
            << "SELECT count(*) FROM DDT a JOIN DDT b ON a.IDDT <> b.IDDT "
               "AND instr(b.IDDT, substr(a.IEXT, 4, 6)) > 0"
            << 1;
        QTest::newRow("declaration with several invoices")
            << "SELECT count(*) FROM (SELECT IDVD FROM DVD WHERE NART = '0000' AND "
               "CDVDDOC = 'FACTURACOMERCIAL' AND CDVDPRSDOC = 'S' GROUP BY IDVD HAVING count(*) > "
               "1)"
            << 1;
        QTest::newRow("invoices marked as not presented")
            << "SELECT count(*) FROM DVD WHERE CDVDDOC = 'FACTURACOMERCIAL' AND CDVDPRSDOC = 'N'"
            << 1;
        QTest::newRow("items with subitems")
            << "SELECT count(*) FROM ART WHERE CARTSBITEM = 'S'" << 3;
        QTest::newRow("cancellations") << "SELECT count(DISTINCT IDCN) FROM DCN" << 2;
        QTest::newRow("CCPAC rows") << "SELECT count(*) FROM CCM WHERE CCCM = 'DCEXP'" << 1;
        QTest::newRow("self-liquidating declaration")
            << "SELECT count(*) FROM SRG WHERE CSRG LIKE 'AUTOLIQ%'" << 1;
        QTest::newRow("packages, rate, registrations and coefficients")
            << "SELECT min((SELECT count(*) FROM BUL), (SELECT count(*) FROM TPR), "
               "(SELECT count(*) FROM CIB), (SELECT count(*) FROM DIB), (SELECT count(*) FROM DCM))"
            << 1;
        QTest::newRow("kilogram and unit codes")
            << "SELECT count(*) FROM UMM WHERE CUMMUNTMSR IN ('01', '07')" << 2;
        QTest::newRow("Mercosur origin countries")
            << "SELECT count(*) FROM PAY WHERE CPAY IN ('221', '225')" << 2;
        QTest::newRow("parameter kinds")
            << "SELECT count(DISTINCT CTPT) FROM PTR WHERE CTPT IN ('TIPTAX', 'MODTRN', 'TIPEMB')"
            << 3;
        QTest::newRow("complementary codes the lookup hides")
            << "SELECT count(*) FROM ZCP WHERE IZCPIG <> 'I'" << 1;
        QTest::newRow("expired code rows")
            << "SELECT (SELECT count(*) FROM VEN WHERE DVENFIN < '2020') + "
               "(SELECT count(*) FROM PAY WHERE DPAYFIN < '2020') + "
               "(SELECT count(*) FROM TAX WHERE DTAXFIN < '2020')"
            << 3;
    }
    void catalogOffersTheCases() {
        QFETCH(QString, countQuery);
        QFETCH(int, atLeast);
        QVERIFY2(scalar(countQuery) >= atLeast, qPrintable(QString::number(scalar(countQuery))));
    }

    void largeDeclarationHasItsShape() {
        const QString where = QStringLiteral(" WHERE IDDT = '%1'").arg(modDA::kLargeDeclaration);
        QCOMPARE(scalar("SELECT count(*) FROM ART" + where), kLargeItems);
        QCOMPARE(scalar("SELECT count(*) FROM SBT" + where), kLargeItems * modDA::kLargeSubitems);
        QCOMPARE(rows("SELECT DISTINCT ISBT FROM SBT" + where + " ORDER BY ISBT"),
                 (QStringList{"0001", "0002", "0003", "0004"}));
        QCOMPARE(rows("SELECT max(NART) FROM ART" + where), QStringList{"0050"});
        const QString ofIt = QStringLiteral(" = '%1'").arg(modDA::kLargeDeclaration);
        QCOMPARE(
            scalar("SELECT count(DISTINCT NART) FROM CPL WHERE NART <> '0000' AND ICPL" + ofIt),
            kLargeItems);
        QCOMPARE(
            scalar("SELECT count(DISTINCT NART) FROM DVD WHERE NART <> '0000' AND IDVD" + ofIt),
            kLargeItems);
        QCOMPARE(scalar("SELECT count(DISTINCT NART) FROM LQA WHERE ILIQ" + ofIt), kLargeItems);
        QVERIFY(scalar("SELECT count(*) FROM SRG WHERE ISRG" + ofIt) > 0);
    }
};

CORVELIX_TEST(tst_DemoCatalog)
#include "tst_DemoCatalog.moc"
