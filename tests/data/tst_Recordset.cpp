#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO ART (IDDT, NART, NARTEXT, MARTFOB, QARTKGRNET) VALUES ('26001IC04000001A', '0001', '1', 1234.5, NULL);
INSERT INTO ART (IDDT, NART, NARTEXT, MARTFOB, QARTKGRNET) VALUES ('26001IC04000001A', '0002', NULL, 0, 2.125);
)");

} // namespace

class tst_Recordset : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTestCase() { fixture_.reset(); }

    void walksRowsWithNullsAndNamesInAnyCase() {
        auto rs =
            modDA::getRs(modDA::kCatalog, "select NART, NARTEXT, MARTFOB, QARTKGRNET as Kilos "
                                          "from ART order by NART");
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.fields(), (QStringList{QStringLiteral("NART"), QStringLiteral("NARTEXT"),
                                           QStringLiteral("MARTFOB"), QStringLiteral("Kilos")}));
        QVERIFY(!rs.eof());
        QCOMPARE(rs.text(QStringLiteral("nart")), QStringLiteral("0001"));
        QCOMPARE(rs[QStringLiteral("MartFob")].toDouble(), 1234.5);
        QVERIFY(rs.isNull(QStringLiteral("KILOS")));
        QVERIFY(rs.field(QStringLiteral("kilos")).isNull());
        QCOMPARE(rs.text(QStringLiteral("Kilos")), QString());

        rs.moveNext();
        QVERIFY(rs.isNull(QStringLiteral("NARTEXT")));
        QVERIFY(!rs.isNull(QStringLiteral("MARTFOB")));
        QCOMPARE(rs.field(QStringLiteral("MARTFOB")).toDouble(), 0.0);
        QCOMPARE(rs.field(3).toDouble(), 2.125);

        rs.moveNext();
        QVERIFY(rs.eof());
    }

    void misuseRaisesTheOldErrors_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<int>("number");
        QTest::newRow("unknown field")
            << QStringLiteral("select NART from ART") << QStringLiteral("NOPE") << 3265;
        QTest::newRow("no current row")
            << QStringLiteral("select NART from ART where 1 = 0") << QStringLiteral("NART") << 3021;
    }
    void misuseRaisesTheOldErrors() {
        QFETCH(QString, sql);
        QFETCH(QString, fieldName);
        QFETCH(int, number);
        const auto rs = modDA::getRs(modDA::kCatalog, testSql(sql));
        try {
            (void)rs.field(fieldName);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, number);
        }
    }

    // A name is looked up once for a loop; letter case is ignored beyond ASCII too, and the
    // first of two equal names wins.
    void indexAccessForLoops() {
        auto rs = modDA::getRs(
            modDA::kCatalog, "select NART as Año, MARTFOB, NARTEXT as AÑO from ART order by NART");
        const int year = rs.fieldIndex(QStringLiteral("año"));
        QCOMPARE(year, 0);
        QCOMPARE(rs.fieldIndex(QStringLiteral("AÑO")), 0);
        const int fob = rs.fieldIndex(QStringLiteral("martfob"));
        QStringList seen;
        for (; !rs.eof(); rs.moveNext())
            seen << rs.text(year) + QLatin1Char('=') + rs.text(fob);
        QCOMPARE(seen, (QStringList{"0001=1234.5", "0002=0"}));
        QVERIFY_THROWS_EXCEPTION(VbError, (void)rs.fieldIndex(QStringLiteral("ANO")));
        // A copy answers the same, from its own position.
        rs.moveFirst();
        const modDA::Recordset copy = rs;
        QCOMPARE(copy.text(QStringLiteral("AñO")), QStringLiteral("0001"));
    }

    // Text stored as malformed UTF-8 (written by another program) reads the same on every row
    // of a result; the letters around the bad bytes stay.
    void everyRowDecodedAlike_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("overlong NUL") << QByteArray::fromHex("41C08042") << "A"
                                      << "B";
        QTest::newRow("stray continuation byte") << QByteArray::fromHex("418042") << "A"
                                                 << "B";
        QTest::newRow("byte that never starts a character") << QByteArray::fromHex("41FF42") << "A"
                                                            << "B";
        QTest::newRow("cut sequence") << QByteArray::fromHex("41E28242") << "A"
                                      << "B";
        QTest::newRow("encoded surrogate") << QByteArray::fromHex("41EDA08042") << "A"
                                           << "B";
        QTest::newRow("sound accents") << QByteArray::fromHex("C391616E64C3BA") << "Ñandú"
                                       << "Ñandú";
    }
    void everyRowDecodedAlike() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, start);
        QFETCH(QString, end);
        // Written by the engine itself, as another program's rows would be.
        const QString value =
            QStringLiteral("cast(x'%1' as text)").arg(QString::fromLatin1(stored.toHex()));
        auto rs = modDA::getRs(modDA::kCatalog,
                               testSql(QStringLiteral("select %1 as t union all select %1 union "
                                                      "all select %1")
                                           .arg(value)));
        QCOMPARE(rs.recordCount(), 3);
        const QString first = rs.text(QStringLiteral("t"));
        QVERIFY2(first.startsWith(start) && first.endsWith(end), qPrintable(first));
        for (int row = 2; row <= 3; ++row) {
            rs.moveNext();
            QCOMPARE(rs.text(QStringLiteral("t")), first);
        }
    }

    void emptyResultKeepsItsFieldNames() {
        const auto rs =
            modDA::getRs(modDA::kCatalog, "select NART, MARTFOB from ART where NART = ?", {"9999"});
        QVERIFY(rs.eof());
        QCOMPARE(rs.recordCount(), 0);
        QVERIFY(rs.hasField(QStringLiteral("martfob")));
    }
};

CORVELIX_TEST(tst_Recordset)
#include "tst_Recordset.moc"
