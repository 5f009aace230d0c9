#include "data/item_editor_rows.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::recordsetRows;

namespace {

const QString D = QStringLiteral("26001IC04000123A");

// Declaration D: items 0001 to 0003 and its declaration-level rows "0000"; declaration O must
// never be touched. VEN: V1 current, V9 expired.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC04000123A');
INSERT INTO DDT (IDDT) VALUES ('26001IC04000999O');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000123A', '0001', '0001', '225', 1234.567, 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000123A', '0002', '0002', '310', 10, 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000123A', '0003', '0003', NULL, 0.5, 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTPAYORI, MARTFOB, CARTETA, CARTSTUDEV) VALUES ('26001IC04000999O', '0001', '0001', '225', 7, 'V', 'V');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('V1', 'Ventaja uno', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('V9', 'Vencida', '2000-01-01 00:00:00', '2001-12-31 00:00:00');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0002', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0003', 'ALL3', 'a', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0000', 'TWO', 'b', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'TWO', 'b', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0002', 'TWO', 'b', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0001', 'DIFF', 'x', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0002', 'DIFF', 'x', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0003', 'DIFF', 'y', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('26001IC04000123A', '0000', 'ALL3', 'a', 'D');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0000', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0001', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0002', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0003', 'V1');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0001', 'V9');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0002', 'V9');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0003', 'V9');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000123A', '0001', 'NOVEN');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0000', 'LIC', 'S', 'L');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0001', 'LIC', 'S', 'L');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0002', 'LIC', 'S', 'L');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000123A', '0003', 'LIC', 'S', 'L');
INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) VALUES ('26001IC04000123A', 2, 'DCEXP', 'OLD', 1, '2');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0002', '0001', 'AB(sub1)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0002', '0000', 'AB(own)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0001', '0000', 'AB(one)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0002', '0002', 'AB(sub2)-');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES ('26001IC04000123A', '0003', '0000', 'ZZ(none)-');
)");

QStringList cpl(const QString& codigo) {
    return catalogRows(QStringLiteral("SELECT NART, MCPL, ICPLDIF FROM CPL WHERE ICPL = ? AND "
                                      "CCPL = ? ORDER BY NART"),
                       {D, codigo});
}

QStringList marcas() {
    return catalogRows(
        QStringLiteral("SELECT NART, CARTETA, CARTSTUDEV FROM ART WHERE IDDT = ? ORDER BY NART"),
        {D});
}

void failOnInsertOf(const QString& table, const QString& nart) {
    modDA::execSQL(modDA::kCatalog,
                   testSql(QStringLiteral("CREATE TRIGGER fail_insert BEFORE INSERT ON ") + table +
                           QStringLiteral(" WHEN NEW.NART = '") + nart +
                           QStringLiteral("' BEGIN SELECT RAISE(ABORT, 'injected'); END")));
}

} // namespace

class tst_ItemEditorRows : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

private slots:
    // Declaration-level rows are not items: a pair every item holds is common whether or not
    // "0000" holds it, and one that "0000" makes up for a missing item is not.
    void commonPairsCountItemsOnly() {
        QCOMPARE(recordsetRows(modDA::getInfoAdicionalComun(D)), QStringList{"ALL3|a"});
        QCOMPARE(recordsetRows(modDA::getDocumentosComunes(D)), QStringList{"LIC|L"});
        // V9 has expired: still common, listed without a label.
        QCOMPARE(recordsetRows(modDA::getVentajasComunes(D)),
                 (QStringList{"V1|Ventaja uno", "V9|<null>"}));
    }

    // A stored advantage stays visible when VEN lacks its code or it expired.
    void advantagesWithoutCurrentLabelListed() {
        QCOMPARE(recordsetRows(modDA::getVentajasItem(D, QStringLiteral("0001"))),
                 (QStringList{"NOVEN|<null>", "V1|Ventaja uno", "V9|<null>"}));
    }

    void addToManyItems_data() {
        QTest::addColumn<QString>("items");
        QTest::addColumn<bool>("reemplazar");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<int>("written");
        QTest::newRow("replace, all items")
            << "TODO" << true << QStringList{"0001|nuevo|D", "0002|nuevo|D", "0003|nuevo|D"}
            << QStringList{"0001|I|I", "0002|I|I", "0003|I|I"} << 3;
        QTest::newRow("keep, all items: only the one without")
            << "TODO" << false << QStringList{"0001|x|D", "0002|x|D", "0003|nuevo|D"}
            << QStringList{"0001|V|V", "0002|V|V", "0003|I|I"} << 1;
        QTest::newRow("replace, picked")
            << "'0002'" << true << QStringList{"0001|x|D", "0002|nuevo|D"}
            << QStringList{"0001|V|V", "0002|I|I", "0003|V|V"} << 1;
        QTest::newRow("keep, picked that all have it")
            << "'0001','0002'" << false << QStringList{"0001|x|D", "0002|x|D"}
            << QStringList{"0001|V|V", "0002|V|V", "0003|V|V"} << 0;
    }
    void addToManyItems() {
        QFETCH(QString, items);
        QFETCH(bool, reemplazar);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, marks);
        QFETCH(int, written);
        // DIFF: 0001 and 0002 hold x; 0003 y, which we remove first so it lacks the code.
        modDA::execSQL(modDA::kCatalog,
                       testSql("DELETE FROM CPL WHERE NART = '0003' AND CCPL = 'DIFF'"));
        QCOMPARE(modDA::agregarInformacionAdicional_ALLITEMS(D, items, QStringLiteral("DIFF"),
                                                             QStringLiteral("nuevo"), QString(),
                                                             reemplazar),
                 written);
        QCOMPARE(cpl(QStringLiteral("DIFF")), rows);
        QCOMPARE(marcas(), marks);
    }

    // One bulk writer failing on its last item leaves every row and mark as it was.
    void bulkWritersAllOrNothing_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("writer");
        QTest::newRow("complementary information, replace") << "CPL" << 0;
        QTest::newRow("advantage") << "SRG" << 1;
        QTest::newRow("document, replace") << "DVD" << 2;
        QTest::newRow("FOB") << "CPL" << 3;
        QTest::newRow("suffix values") << "CPL" << 4;
    }
    void bulkWritersAllOrNothing() {
        QFETCH(QString, table);
        QFETCH(int, writer);
        failOnInsertOf(table, QStringLiteral("0003"));
        const QStringList before = catalogSnapshot();
        try {
            switch (writer) {
            case 0:
                modDA::agregarInformacionAdicional_ALLITEMS(D, "TODO", "ALL3", "n", "D", true);
                break;
            case 1:
                modDA::agregarVentaja_ALLITEMS(D, "TODO", "NEW");
                break;
            case 2:
                modDA::agregarDocumento_ALLITEMS(D, "TODO", "LIC", "n", true);
                break;
            case 3:
                modDA::transferirFOB(D, "TODO", "FOBX", 2, ",");
                break;
            default:
                modDA::escribirInfoAdicional(D, "SUF", {{"0001", "a"}, {"0003", "c"}},
                                             {"0001", "0003"});
            }
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description, QStringLiteral("injected"));
        }
        QCOMPARE(catalogSnapshot(), before);
    }

    void ccpacOnEveryItem_data() {
        QTest::addColumn<bool>("reemplazar");
        QTest::addColumn<QStringList>("rows");
        // Origin 225 gives four digits; 310 and a missing origin twelve.
        QTest::newRow("keep") << false
                              << QStringList{"1|DCEXP|NEW|1|0001", "2|DCEXP|OLD|1|2",
                                             "3|DCEXP|NEW|1|000000000003"};
        QTest::newRow("replace") << true
                                 << QStringList{"1|DCEXP|NEW|1|0001", "2|DCEXP|NEW|1|000000000002",
                                                "3|DCEXP|NEW|1|000000000003"};
    }
    void ccpacOnEveryItem() {
        QFETCH(bool, reemplazar);
        QFETCH(QStringList, rows);
        const QStringList marksBefore = marcas();
        modDA::agregarCCPAC_ALLITEMS(D, QStringLiteral("NEW"), reemplazar);
        QCOMPARE(catalogRows(QStringLiteral("SELECT NART, CCCM, MCCM, DESARROLLO, CCCMNART FROM "
                                            "CCM WHERE IDDT = ? ORDER BY NART"),
                             {D}),
                 rows);
        QCOMPARE(marcas(), marksBefore);
        QCOMPARE(catalogRows(QStringLiteral("SELECT MCCM FROM CCM WHERE IDDT <> ?"), {D}),
                 QStringList());
    }

    void fobAmounts_data() {
        QTest::addColumn<QString>("separador");
        QTest::addColumn<double>("tasa");
        QTest::addColumn<bool>("sinFob"); // item 0003 without FOB
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("comma") << "," << 1.0 << false
                               << QStringList{"0001|1234,57|D", "0002|10,00|D", "0003|0,50|D"};
        QTest::newRow("point, rate")
            << "." << 2.5 << false << QStringList{"0001|3086.42|D", "0002|25.00|D", "0003|1.25|D"};
        // An item without FOB counts as 0 and the rest of the run goes on.
        QTest::newRow("item without FOB")
            << "," << 2.0 << true << QStringList{"0001|2469,13|D", "0002|20,00|D", "0003|0,00|D"};
    }
    void fobAmounts() {
        QFETCH(QString, separador);
        QFETCH(double, tasa);
        QFETCH(bool, sinFob);
        QFETCH(QStringList, rows);
        if (sinFob)
            modDA::execSQL(modDA::kCatalog,
                           testSql("UPDATE ART SET MARTFOB = NULL WHERE NART = '0003'"));
        QCOMPARE(modDA::transferirFOB(D, QStringLiteral("TODO"), QStringLiteral("ALL3"), tasa,
                                      separador),
                 (QStringList{"0001", "0002", "0003"}));
        QCOMPARE(cpl(QStringLiteral("ALL3")), QStringList{"0000|a|D"} + rows);
        QCOMPARE(marcas(), (QStringList{"0001|I|I", "0002|I|I", "0003|I|I"}));
    }

    // A rate that is not a positive number, or one that takes an amount beyond what the
    // catalog holds, writes nothing.
    void fobRefusals_data() {
        QTest::addColumn<double>("tasa");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -1.0;
        QTest::newRow("amount beyond the catalog") << 1e10;
    }
    void fobRefusals() {
        QFETCH(double, tasa);
        const QStringList before = catalogSnapshot();
        QVERIFY_THROWS_EXCEPTION(VbError, modDA::transferirFOB(D, QStringLiteral("TODO"),
                                                               QStringLiteral("X"), tasa,
                                                               QStringLiteral(",")));
        QCOMPARE(catalogSnapshot(), before);
    }

    // Rows by item and subitem, so that subitem "0001" comes after the item's own row.
    void suffixRowsInOrder() {
        QCOMPARE(recordsetRows(modDA::getSufijosParaTransferir(D, QStringLiteral("TODO"),
                                                               QStringLiteral("AB"))),
                 (QStringList{"0001|0000|AB(one)-", "0002|0000|AB(own)-", "0002|0001|AB(sub1)-"}));
        QCOMPARE(recordsetRows(modDA::getSufijosParaTransferir(D, QStringLiteral("'0001'"),
                                                               QStringLiteral("AB"))),
                 QStringList{"0001|0000|AB(one)-"});
    }

    // What the writers send to a server (scripts/server-sql collects these texts).
    void serverTexts_data() {
        QTest::addColumn<bool>("fob");
        QTest::addColumn<int>("statements");
        QTest::addColumn<int>("distinct");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("transfer FOB") << true << 4 << 4
                                      << "REPLACE(CONVERT(varchar(40), CONVERT(numeric(20,2), ? * "
                                         "COALESCE(MARTFOB, 0))), '.', ?)";
        QTest::newRow("additional information")
            << false << 5 << 3
            << "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = ? AND NART IN (?, ?)";
    }
    void serverTexts() {
        QFETCH(bool, fob);
        QFETCH(int, statements);
        QFETCH(int, distinct);
        QFETCH(QString, fragment);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        if (fob)
            modDA::transferirFOB(D, QStringLiteral("'0001'"), QStringLiteral("C"), 2,
                                 QStringLiteral(","));
        else
            modDA::escribirInfoAdicional(D, "SUF", {{"0001", "a"}, {"0003", "c"}},
                                         {"0001", "0003"});
        QStringList texts = capture.texts();
        QCOMPARE(texts.size(), statements);
        QVERIFY2(texts.join(QLatin1Char('\n')).contains(fragment), qPrintable(texts.join('\n')));
        texts.removeDuplicates();
        QCOMPARE(texts.size(), distinct);
    }
};

CORVELIX_TEST(tst_ItemEditorRows)
#include "tst_ItemEditorRows.moc"
