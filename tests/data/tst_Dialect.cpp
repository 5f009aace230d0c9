#include "data/Dialect.h"
#include "data/modDA.h"
#include "data/sqlite_functions.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using modDA::Dialect;
namespace sql = modDA::sql;

namespace {

const QString kDb = QStringLiteral("dialect_test");

QSqlDatabase memoryDb() {
    return QSqlDatabase::database(kDb, false);
}

// First column of the first row; fails the test on a driver error.
QVariant scalar(const QString& text) {
    QSqlQuery query(memoryDb());
    if (!query.exec(text) || !query.next()) {
        qWarning() << text << query.lastError().text();
        return QStringLiteral("<error>");
    }
    return query.value(0);
}

void run(const modDA::Sql& statement) {
    const QString& text = statement.text();
    QSqlQuery query(memoryDb());
    QVERIFY2(query.exec(text), qPrintable(text + QStringLiteral(": ") + query.lastError().text()));
}

} // namespace

class tst_Dialect : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void initTestCase() {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kDb);
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        modDA::registerSqliteFunctions(db);
        modDA::setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59)); });
    }
    void cleanupTestCase() {
        modDA::setClock({});
        memoryDb().close();
        QSqlDatabase::removeDatabase(kDb);
    }

    void fragmentsPerDialect_data() {
        QTest::addColumn<QString>("serverText");
        QTest::addColumn<QString>("sqliteText");
        QTest::addColumn<QString>("which");
        QTest::newRow("concat") << QStringLiteral("a + 'x' + b") << QStringLiteral("a || 'x' || b")
                                << QStringLiteral("concat");
        QTest::newRow("first row") << QStringLiteral("SELECT TOP 1 NART FROM ART ORDER BY NART")
                                   << QStringLiteral("SELECT NART FROM ART ORDER BY NART LIMIT 1")
                                   << QStringLiteral("first");
        QTest::newRow("round") << QStringLiteral("CONVERT(numeric(20,2), MARTFOB * 1.5)")
                               << QStringLiteral("ROUND(MARTFOB * 1.5, 2)")
                               << QStringLiteral("round");
        QTest::newRow("today") << QStringLiteral("CONVERT(varchar, GETDATE(), 112)")
                               << QStringLiteral("strftime('%Y%m%d', GETDATE())")
                               << QStringLiteral("today");
        QTest::newRow("left") << QStringLiteral("LEFT(IDDT, 5)")
                              << QStringLiteral("substr(IDDT, 1, 5)") << QStringLiteral("left");
        QTest::newRow("right") << QStringLiteral("RIGHT(IDDT, 4)")
                               << QStringLiteral("substr(IDDT, -4)") << QStringLiteral("right");
        QTest::newRow("update join")
            << QStringLiteral("UPDATE ART SET MARTFOB = s.MSBTFOB FROM ART INNER JOIN SBT AS s "
                              "ON s.IDDT = ART.IDDT WHERE ART.IDDT = ?")
            << QStringLiteral("UPDATE ART SET MARTFOB = s.MSBTFOB FROM SBT AS s "
                              "WHERE (s.IDDT = ART.IDDT) AND (ART.IDDT = ?)")
            << QStringLiteral("update");
        QTest::newRow("update join without where")
            << QStringLiteral("UPDATE ART SET X = s.X FROM ART INNER JOIN S AS s ON s.K = ART.K")
            << QStringLiteral("UPDATE ART SET X = s.X FROM S AS s WHERE (s.K = ART.K)")
            << QStringLiteral("update-all");
    }
    void fragmentsPerDialect() {
        QFETCH(QString, serverText);
        QFETCH(QString, sqliteText);
        QFETCH(QString, which);
        const auto build = [&](Dialect d) -> modDA::Sql {
            if (which == QLatin1String("concat"))
                return sql::concat(
                    d, {"a", "'x'", "b"});
            if (which == QLatin1String("first"))
                return sql::selectFirst(d, "NART",
                                        "FROM ART ORDER BY NART");
            if (which == QLatin1String("round"))
                return sql::roundTo(d, "MARTFOB * 1.5", 2);
            if (which == QLatin1String("today"))
                return sql::todayYmd(d);
            if (which == QLatin1String("left"))
                return sql::left(d, "IDDT", 5);
            if (which == QLatin1String("right"))
                return sql::right(d, "IDDT", 4);
            if (which == QLatin1String("update"))
                return sql::updateFrom(
                    d, "ART", "MARTFOB = s.MSBTFOB",
                    "SBT AS s", "s.IDDT = ART.IDDT",
                    "ART.IDDT = ?");
            return sql::updateFrom(d, "ART", "X = s.X",
                                   "S AS s", "s.K = ART.K");
        };
        QCOMPARE(build(Dialect::SqlServer).text(), serverText);
        QCOMPARE(build(Dialect::Sqlite).text(), sqliteText);
    }

    // A '%1' inside an expression must reach the text untouched.
    void expressionsAreNotTemplates() {
        QCOMPARE(sql::roundTo(Dialect::Sqlite, "'%1%2'", 3).text(),
                 QStringLiteral("ROUND('%1%2', 3)"));
        QCOMPARE(sql::left(Dialect::SqlServer, "'%2'", 1).text(),
                 QStringLiteral("LEFT('%2', 1)"));
    }

    void sqliteFormsRun_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("expected");
        const Dialect d = Dialect::Sqlite;
        QTest::newRow("concat") << sql::concat(d, {"'ab'", "'cd'"}).text()
                                << QVariant(QStringLiteral("abcd"));
        QTest::newRow("concat with null")
            << sql::concat(d, {"'ab'", "NULL"}).text() << QVariant();
        QTest::newRow("round half up")
            << sql::roundTo(d, "2.345", 2).text() << QVariant(2.35);
        QTest::newRow("round to none")
            << sql::roundTo(d, "2.5", 0).text() << QVariant(3.0);
        QTest::newRow("today") << sql::todayYmd(d).text() << QVariant(QStringLiteral("20261210"));
        QTest::newRow("left") << sql::left(d, "'26001IC04'", 5).text()
                              << QVariant(QStringLiteral("26001"));
        QTest::newRow("right") << sql::right(d, "'0001A'", 4).text()
                               << QVariant(QStringLiteral("001A"));
        QTest::newRow("right longer than text")
            << sql::right(d, "'ab'", 4).text() << QVariant(QStringLiteral("ab"));
        QTest::newRow("right none")
            << sql::right(d, "'ab'", 0).text() << QVariant(QStringLiteral(""));
        QTest::newRow("left of null") << sql::left(d, "NULL", 2).text() << QVariant();
    }
    void sqliteFormsRun() {
        QFETCH(QString, expression);
        QFETCH(QVariant, expected);
        const QVariant value = scalar(QStringLiteral("SELECT ") + expression);
        QCOMPARE(value.isNull(), expected.isNull());
        if (!expected.isNull())
            QCOMPARE(value.toString(), expected.toString());
    }

    void firstRowAndUpdateJoinRunOnSqlite() {
        run("CREATE TABLE T (K TEXT, V REAL)");
        run("CREATE TABLE S (K TEXT, V REAL)");
        run("INSERT INTO T VALUES ('a', 0), ('b', 0), ('c', 0)");
        run("INSERT INTO S VALUES ('a', 1.5), ('b', 2.5)");

        QCOMPARE(scalar(sql::selectFirst(Dialect::Sqlite, "K",
                                         "FROM T ORDER BY K DESC")
                            .text())
                     .toString(),
                 QStringLiteral("c"));

        run(sql::updateFrom(Dialect::Sqlite, "T", "V = s.V * 2",
                            "S AS s", "s.K = T.K",
                            "T.K <> 'b'"));
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(K || '=' || V, ',') FROM "
                                       "(SELECT K, V FROM T ORDER BY K)"))
                     .toString(),
                 QStringLiteral("a=3.0,b=0.0,c=0.0"));

        run(sql::updateFrom(Dialect::Sqlite, "T", "V = s.V",
                            "(SELECT K, SUM(V) AS V FROM S GROUP BY K) AS s",
                            "s.K = T.K"));
        QCOMPARE(scalar(QStringLiteral("SELECT SUM(V) FROM T")).toDouble(), 4.0);
    }
};

CORVELIX_TEST(tst_Dialect)
#include "tst_Dialect.moc"
