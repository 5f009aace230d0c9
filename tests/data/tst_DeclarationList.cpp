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
using corvelix::test::ScriptedUi;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000123A', 'A-1');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001SIMI000124B', NULL);
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001SIRA000200C', 'ref123');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001SEDI000300D', 'P_1');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC06000400E', 'OWN-9');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001simi000600F', NULL);
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000700G', '26001IC04000123A-bis');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000800H', 'A[1]');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000900J', 'A1');
)");

QStringList numbers(modDA::Recordset rs) {
    QStringList out;
    for (; !rs.eof(); rs.moveNext())
        out << rs.text(QStringLiteral("IDDT")).right(1);
    return out;
}

} // namespace

class tst_DeclarationList : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTestCase() { fixture_.reset(); }

    // Rows by the last letter of their number, in the order the list gives them.
    void filters_data() {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<bool>("mostrarSIMI");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all, without SIMI/SIRA/SEDI")
            << QString() << false << QStringLiteral("EJHGA");
        QTest::newRow("all") << QString() << true << QStringLiteral("CFBDEJHGA");
        QTest::newRow("a bracket is the character itself")
            << QStringLiteral("A[1") << false << QStringLiteral("H");
        QTest::newRow("digits on number or own reference")
            << QStringLiteral("123") << false << QStringLiteral("GA");
        QTest::newRow("digits, SIMI shown")
            << QStringLiteral("123") << true << QStringLiteral("CGA");
        QTest::newRow("own reference in other case")
            << QStringLiteral("own") << false << QStringLiteral("E");
        QTest::newRow("percent is a wildcard")
            << QStringLiteral("IC04%7") << false << QStringLiteral("G");
        QTest::newRow("underscore is a wildcard")
            << QStringLiteral("P_1") << true << QStringLiteral("D");
        QTest::newRow("lower-case simi is excluded too")
            << QStringLiteral("0006") << false << QString();
        QTest::newRow("nothing") << QStringLiteral("zzz") << true << QString();
    }
    void filters() {
        QFETCH(QString, filtro);
        QFETCH(bool, mostrarSIMI);
        QFETCH(QString, expected);
        QCOMPARE(numbers(modDA::getDDT(filtro, mostrarSIMI)).join(QString()), expected);
    }

    // The server text of the search: '%' and '_' stay wildcards, '[' is written so that the
    // server reads the character itself, as SQLite does.
    void serverPattern_data() {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("plain") << QStringLiteral("A-1") << QStringLiteral("%A-1%");
        QTest::newRow("bracket") << QStringLiteral("A[1") << QStringLiteral("%A[[]1%");
        QTest::newRow("set of characters")
            << QStringLiteral("[AB]1") << QStringLiteral("%[[]AB]1%");
        QTest::newRow("wildcards stay") << QStringLiteral("P_1%") << QStringLiteral("%P_1%%");
    }
    void serverPattern() {
        QFETCH(QString, filtro);
        QFETCH(QString, pattern);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::getDDTList(filtro, true);
        QCOMPARE(capture.statements().size(), 1);
        QCOMPARE(capture.statements().at(0).params, (QVariantList{pattern, pattern}));
        QVERIFY(capture.statements().at(0).text.contains(
            QStringLiteral(" where (IDDT like ?  or IEXT like ?)")));
    }

    void listHoldsEveryColumn() {
        const auto rs = modDA::getDDT(QStringLiteral("700G"), true);
        QCOMPARE(rs.recordCount(), 1);
        QVERIFY(rs.hasField(QStringLiteral("MDDTFOB")));
        QCOMPARE(rs.text(QStringLiteral("iext")), QStringLiteral("26001IC04000123A-bis"));
    }

    // Reading one declaration through the list would take G, whose own reference holds A's
    // number and sorts first.
    void oneDeclarationByItsNumber_data() {
        QTest::addColumn<QString>("iddt");
        QTest::addColumn<QString>("listFirst");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact row")
            << QStringLiteral("26001IC04000123A") << QStringLiteral("G") << QStringLiteral("A");
        QTest::newRow("part of a number")
            << QStringLiteral("000123") << QStringLiteral("G") << QString();
        QTest::newRow("unknown") << QStringLiteral("26001IC04000999Z") << QString() << QString();
    }
    void oneDeclarationByItsNumber() {
        QFETCH(QString, iddt);
        QFETCH(QString, listFirst);
        QFETCH(QString, expected);
        QCOMPARE(numbers(modDA::getDDT(iddt, true)).value(0), listFirst);
        QCOMPARE(numbers(modDA::getDDTByNumber(iddt)).join(QString()), expected);
    }

    void failureNamesTheListAndItsLine() {
        modDA::execSQL(modDA::kCatalog, "ALTER TABLE DDT RENAME TO DDT_OLD");
        const auto restore = qScopeGuard(
            [] { modDA::execSQL(modDA::kCatalog, "ALTER TABLE DDT_OLD RENAME TO DDT"); });
        try {
            modDA::getDDT(QStringLiteral("1"), false);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.source,
                     QStringLiteral("Corvelix.modDA.getDDT.::Corvelix.modDA.getRs.::QSQLITE"));
            QCOMPARE(e.description,
                     QStringLiteral("falta la tabla DDT en el catálogo linea 30 linea 140"));
        }
    }
};

CORVELIX_TEST(tst_DeclarationList)
#include "tst_DeclarationList.moc"
