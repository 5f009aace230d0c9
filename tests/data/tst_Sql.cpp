#include "data/Dialect.h"
#include "data/modDA.h"
#include "data/procedures_sqlite.h"
#include "data/store.h"
#include "runtime/VbError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

using modDA::Dialect;
using modDA::Sql;
using modDA::StatementCapture;

// Statement text cannot be made from a run-time text: these must not compile.
template <class T>
concept Readable = requires(T text) {
    modDA::getRs(modDA::kCatalog, text);
};
template <class T>
concept Writable = requires(T text) {
    modDA::execSQL(modDA::kCatalog, text);
};
static_assert(Readable<Sql> && Writable<Sql>);
static_assert(!Readable<QString> && !Writable<QString>);
static_assert(!Readable<const char*> && !Writable<const char*>);
static_assert(!Readable<std::string> && !Writable<std::string>);
static_assert(!std::is_constructible_v<Sql, QString>);
static_assert(!std::is_constructible_v<Sql, char (&)[8]>);
static_assert(std::is_constructible_v<Sql, const char (&)[8]>);

class tst_Sql : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void identifiers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("column") << QStringLiteral("MARTFOB") << true;
        QTest::newRow("underscore and digits") << QStringLiteral("item_ventajas2") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("starts with digit") << QStringLiteral("1ART") << false;
        QTest::newRow("blank") << QStringLiteral("A B") << false;
        QTest::newRow("quote") << QStringLiteral("A'--") << false;
        QTest::newRow("statement") << QStringLiteral("X;DROP TABLE DDT") << false;
        QTest::newRow("bracket") << QStringLiteral("[NART]") << false;
        QTest::newRow("accented") << QStringLiteral("AÑO") << false;
    }
    void identifiers() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        try {
            QCOMPARE(Sql::identifier(name).text(), name);
            QVERIFY(accepted);
        } catch (const corvelix::VbError& error) {
            QVERIFY2(!accepted, qPrintable(error.description));
        }
    }

    void placeholdersAndJoin() {
        QCOMPARE(Sql::placeholders(1).text(), QStringLiteral("?"));
        QCOMPARE(Sql::placeholders(3).text(), QStringLiteral("?, ?, ?"));
        QVERIFY_THROWS_EXCEPTION(corvelix::VbError, Sql::placeholders(0));
        QCOMPARE(Sql::join({"a", "b", "c"}, ", ").text(), QStringLiteral("a, b, c"));
        QCOMPARE(Sql::integer(-42).text(), QStringLiteral("-42"));
        QVERIFY_THROWS_EXCEPTION(corvelix::VbError,
                                 Sql::fromResource(QStringLiteral("/etc/passwd")));
    }

    // The server's text of every helper, as the server must accept it.
    void serverTextOfHelpers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const Dialect d = Dialect::SqlServer;
        QTest::newRow("first") << modDA::sql::selectFirst(d, "NART", "FROM ART").text()
                               << QStringLiteral("SELECT TOP 1 NART FROM ART");
        QTest::newRow("first distinct")
            << modDA::sql::selectFirst(d, "DISTINCT NART", "FROM ART").text()
            << QStringLiteral("SELECT DISTINCT TOP 1 NART FROM ART");
        QTest::newRow("first distinct lower case")
            << modDA::sql::selectFirst(d, "distinct NART, IDDT", "FROM ART").text()
            << QStringLiteral("SELECT DISTINCT TOP 1 NART, IDDT FROM ART");
        QTest::newRow("concat with a number")
            << modDA::sql::concat(d, {"NART", "' - '", modDA::sql::textOf(d, "MARTFOB")}).text()
            << QStringLiteral("NART + ' - ' + CAST(MARTFOB AS varchar(60))");
        QTest::newRow("concat") << modDA::sql::concat(d, {"IDDT", "'-'", "NART"}).text()
                                << QStringLiteral("IDDT + '-' + NART");
        QTest::newRow("text of") << modDA::sql::textOf(d, "NDCNART").text()
                                 << QStringLiteral("CAST(NDCNART AS varchar(60))");
        QTest::newRow("round") << modDA::sql::roundTo(d, "MARTFOB * ?", 2).text()
                               << QStringLiteral("CONVERT(numeric(20,2), MARTFOB * ?)");
        QTest::newRow("today") << modDA::sql::todayYmd(d).text()
                               << QStringLiteral("CONVERT(varchar, GETDATE(), 112)");
        QTest::newRow("left") << modDA::sql::left(d, "IDDT", 5).text()
                              << QStringLiteral("LEFT(IDDT, 5)");
        QTest::newRow("right") << modDA::sql::right(d, "IDDT", 4).text()
                               << QStringLiteral("RIGHT(IDDT, 4)");
        QTest::newRow("right, nothing")
            << modDA::sql::right(d, "IDDT", 0).text() << QStringLiteral("RIGHT(IDDT, 0)");
        QTest::newRow("update with a join")
            << modDA::sql::updateFrom(d, "ART", "MARTFOB = s.MSBTFOB", "SBT AS s",
                                      "s.IDDT = ART.IDDT AND s.NART = ART.NART")
                   .text()
            << QStringLiteral("UPDATE ART SET MARTFOB = s.MSBTFOB FROM ART INNER JOIN SBT AS s "
                              "ON s.IDDT = ART.IDDT AND s.NART = ART.NART");
        QTest::newRow("update with a join and a condition")
            << modDA::sql::updateFrom(d, "ART", "MARTFOB = s.F",
                                      "(SELECT IDDT, NART, SUM(MSBTFOB) AS F FROM SBT GROUP BY "
                                      "IDDT, NART) AS s",
                                      "s.IDDT = ART.IDDT AND s.NART = ART.NART", "ART.IDDT = ?")
                   .text()
            << QStringLiteral("UPDATE ART SET MARTFOB = s.F FROM ART INNER JOIN (SELECT IDDT, "
                              "NART, SUM(MSBTFOB) AS F FROM SBT GROUP BY IDDT, NART) AS s ON "
                              "s.IDDT = ART.IDDT AND s.NART = ART.NART WHERE ART.IDDT = ?");
        QTest::newRow("sqlite first distinct")
            << modDA::sql::selectFirst(Dialect::Sqlite, "DISTINCT NART", "FROM ART").text()
            << QStringLiteral("SELECT DISTINCT NART FROM ART LIMIT 1");
    }
    void serverTextOfHelpers() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    // The server's text of the queries the program sends, captured without a server.
    void serverTextOfQueries_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("list, filtered, no SIMI")
            << 0
            << QStringList{QStringLiteral(
                   "select * from DDT  where (IDDT like ?  or IEXT like ?)  and "
                   "(CHARINDEX('SIMI',IDDT ,1) = 0  and CHARINDEX('SIRA',IDDT ,1) = 0 and "
                   "CHARINDEX('SEDI',IDDT ,1) = 0) order by iddt desc")};
        QTest::newRow("list, all")
            << 1 << QStringList{QStringLiteral("select * from DDT  order by iddt desc")};
        QTest::newRow("one declaration")
            << 2 << QStringList{QStringLiteral("select * from DDT where IDDT = ?")};
        QTest::newRow("list, filtered, with SIMI")
            << 4
            << QStringList{QStringLiteral(
                   "select * from DDT  where (IDDT like ?  or IEXT like ?)  order by iddt desc")};
        QTest::newRow("list, all but SIMI")
            << 5
            << QStringList{QStringLiteral(
                   "select * from DDT  where (CHARINDEX('SIMI',IDDT ,1) = 0  and "
                   "CHARINDEX('SIRA',IDDT ,1) = 0 and CHARINDEX('SEDI',IDDT ,1) = 0) order by "
                   "iddt desc")};
        QTest::newRow("procedure") << 3 << QStringList{QStringLiteral("EXEC GETCPLPIVOT ?, ?")};
        QTest::newRow("procedures, every one")
            << 6 << QStringList{QStringLiteral("EXEC setItemVentajas ?"),
                                QStringLiteral("EXEC SETITEMINFOAD ?"),
                                QStringLiteral("EXEC SETITEMDOCS ?"),
                                QStringLiteral("EXEC GETCPLPIVOT ?, ?"),
                                QStringLiteral("EXEC GETSRGPIVOT ?"),
                                QStringLiteral("EXEC GETDVDPIVOT ?, ?"),
                                QStringLiteral("EXEC sp_delete_ART ?, ?")};
        // Each procedure looked up, then its creation script sent when missing (here: all).
        QStringList store;
        for (const auto& procedure : modDA::programProcedures())
            store << QStringLiteral("SELECT name FROM sysobjects WHERE name= ?")
                  << QStringLiteral("<script ") + procedure.name + QLatin1Char('>');
        QTest::newRow("procedures installed") << 7 << store;
    }
    void serverTextOfQueries() {
        QFETCH(int, which);
        QFETCH(QStringList, expected);
        StatementCapture capture(Dialect::SqlServer);
        switch (which) {
        case 0:
            (void)modDA::getDDT(QStringLiteral("x"), false);
            break;
        case 1:
            (void)modDA::getDDT(QString(), true);
            break;
        case 2:
            (void)modDA::getDDTByNumber(QStringLiteral("x"));
            break;
        case 3:
            modDA::runProcedure(QStringLiteral("GETCPLPIVOT"),
                                {QStringLiteral("a"), QStringLiteral("0001")});
            break;
        case 4:
            (void)modDA::getDDT(QStringLiteral("x"), true);
            break;
        case 5:
            (void)modDA::getDDT(QString(), false);
            break;
        case 6: {
            const QString iddt = QStringLiteral("26001IC04000001A");
            for (const char* name : {"setitemventajas", "SETITEMINFOAD", "SETITEMDOCS"})
                modDA::runProcedure(QString::fromLatin1(name), {iddt});
            modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {iddt, "0000"});
            modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {iddt});
            modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {iddt, "0001"});
            modDA::runProcedure(QStringLiteral("sp_delete_ART"), {"0001", iddt});
            break;
        }
        case 7:
            modDA::updateStore();
            break;
        }
        QStringList texts = capture.texts();
        // A creation script is named rather than printed whole: it is sent as the program
        // holds it, and its text must start with the procedure's creation.
        for (QString& text : texts) {
            for (const auto& procedure : modDA::programProcedures()) {
                if (text == modDA::detail::procedureScript(procedure.name).text()) {
                    QVERIFY(
                        text.startsWith(QStringLiteral("CREATE PROCEDURE dbo.") + procedure.name));
                    text = QStringLiteral("<script ") + procedure.name + QLatin1Char('>');
                }
            }
        }
        QCOMPARE(texts, expected);
        // Values travel apart from the text.
        for (const auto& statement : capture.statements())
            for (const QVariant& value : statement.params)
                QVERIFY(!statement.text.contains(value.toString()));
    }
};

CORVELIX_TEST(tst_Sql)
#include "tst_Sql.moc"
