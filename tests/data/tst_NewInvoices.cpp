#include "data/invoices.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestCatalog.h"
#include "support/TestRegistry.h"

#include <QTest>

using corvelix::VbError;
using corvelix::test::addEngineColumn;
using corvelix::test::catalogEngines;
using corvelix::test::Engine;
using corvelix::test::engineRow;
using corvelix::test::TestCatalog;

namespace {

const QString kD = QStringLiteral("26001IC04000700A");
const QString kOther = QStringLiteral("26001IC04000701B");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000700A', 'REF');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000701B', 'OTRA');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000700A', '0000', 'FACTURACOMERCIAL', 'S', 'F-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000700A', '0000', 'CONOCEMBARQUE', 'S', 'BL-1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000700A', '0001', 'FACTURACOMERCIAL', 'S', 'F-ITEM');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000701B', '0000', 'FACTURACOMERCIAL', 'N', '')
)");

// The invoice rows of one declaration, "presence:reference", sorted.
QStringList invoices(const TestCatalog& catalog, const QString& iddt) {
    return catalog.rows(QStringLiteral("SELECT CDVDPRSDOC, LDVDREFDOC FROM DVD WHERE IDVD = ? "
                                       "AND NART = '0000' AND CDVDDOC = 'FACTURACOMERCIAL' "
                                       "ORDER BY CDVDPRSDOC, LDVDREFDOC"),
                        {iddt});
}

} // namespace

// Many invoice numbers added at once: the ones the declaration lacks, each once, all or none.
class tst_NewInvoices : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void addsTheMissingOnes_data() {
        addEngineColumn();
        QTest::addColumn<QString>("iddt");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("rows");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "new ones in order")
                << kD << QStringList{"B", "A"} << 2 << QStringList{"S|A", "S|B", "S|F-1"};
            engineRow(e, "stored and repeated ones once")
                << kD << QStringList{"F-1", "A", "a", "A", "f-1"} << 1
                << QStringList{"S|A", "S|F-1"};
            engineRow(e, "an item's invoice is no header invoice")
                << kD << QStringList{"F-ITEM"} << 1 << QStringList{"S|F-1", "S|F-ITEM"};
            engineRow(e, "the marker goes with the first one")
                << kOther << QStringList{"X", "Y"} << 2 << QStringList{"S|X", "S|Y"};
            engineRow(e, "nothing new keeps the marker")
                << kOther << QStringList{} << 0 << QStringList{"N|"};
            engineRow(e, "values as given")
                << kD << QStringList{"O'B; DELETE FROM DVD; --", "Ñandú 請求書"} << 2
                << QStringList{"S|F-1", "S|O'B; DELETE FROM DVD; --", "S|Ñandú 請求書"};
        }
    }
    void addsTheMissingOnes() {
        QFETCH(Engine, engine);
        QFETCH(QString, iddt);
        QFETCH(QStringList, numbers);
        QFETCH(int, added);
        QFETCH(QStringList, rows);
        TestCatalog catalog(engine, kSeed);
        QCOMPARE(modDA::addNewInvoices(iddt, numbers), added);
        QCOMPARE(invoices(catalog, iddt), rows);
        const QString other = iddt == kD ? kOther : kD;
        QCOMPARE(invoices(catalog, other).size(), 1);
        QCOMPARE(catalog.rows(QStringLiteral("SELECT COUNT(*) FROM DVD WHERE CDVDDOC <> "
                                             "'FACTURACOMERCIAL' OR NART <> '0000'")),
                 QStringList{"2"});
    }

    // A failure on one number leaves the declaration as it was, marker included.
    void allOrNothing_data() { corvelix::test::addEngineRows(); }
    void allOrNothing() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine, kSeed);
        // A reference longer than the column takes fails on the server; SQLite takes any
        // length, so a trigger refuses it there.
        if (engine == Engine::Sqlite)
            catalog.exec(QStringLiteral(
                "CREATE TRIGGER injected BEFORE INSERT ON DVD WHEN length(NEW.LDVDREFDOC) > 8000 "
                "BEGIN SELECT RAISE(ABORT, 'fallo inyectado'); END"));
        QVERIFY_THROWS_EXCEPTION(
            VbError, modDA::addNewInvoices(kOther, {QStringLiteral("A"), QString(9000, 'x')}));
        QCOMPARE(invoices(catalog, kOther), QStringList{"N|"});
        QCOMPARE(modDA::addNewInvoices(kOther, {QStringLiteral("A")}), 1);
    }

    // The statements a server receives: the markers' delete, then one prepared insert that
    // tests its own number.
    void serverText() {
        TestCatalog catalog(Engine::Sqlite, kSeed);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::addNewInvoices(kD, {QStringLiteral("A"), QStringLiteral("B")});
        const QString insert = QStringLiteral(
            "INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) SELECT ?, '0000', "
            "'FACTURACOMERCIAL', 'S', ? WHERE NOT EXISTS (SELECT 1 FROM DVD WHERE IDVD = ? AND "
            "NART = '0000' AND CDVDDOC = 'FACTURACOMERCIAL' AND LDVDREFDOC = "
            "CAST(? AS nvarchar(max)))");
        QCOMPARE(capture.texts(),
                 (QStringList{QStringLiteral("DELETE FROM DVD WHERE IDVD = ? AND NART = '0000' AND "
                                             "CDVDDOC = 'FACTURACOMERCIAL' AND CDVDPRSDOC = 'N'"),
                              insert, insert}));
        QCOMPARE(capture.statements()[2].params, (QVariantList{kD, "B", kD, "B"}));
    }
};

CORVELIX_TEST(tst_NewInvoices)
#include "tst_NewInvoices.moc"
