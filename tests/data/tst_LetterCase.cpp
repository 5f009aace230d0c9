#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCatalog.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using corvelix::test::addEngineColumn;
using corvelix::test::catalogEngines;
using corvelix::test::Engine;
using corvelix::test::engineRow;
using corvelix::test::ScriptedUi;
using corvelix::test::TestCatalog;

namespace {

// Texts that differ in letter case beyond ASCII, and in accents; all of them in the server's
// code page.
const QStringList kTexts{"AÑO 2026", "año 2026", "ano 2026", "ÁRBOL", "árbol", "arbol", "ÇA"};

void seedTexts(const TestCatalog& catalog) {
    for (int i = 0; i < kTexts.size(); ++i)
        catalog.exec(QStringLiteral("insert into DDT (IDDT, IEXT) values (?, ?)"),
                     {QStringLiteral("26001IC0400%1A").arg(i, 4, 10, QLatin1Char('0')), kTexts[i]});
}

} // namespace

// Text columns compare and match as a case-insensitive, accent-sensitive server collation
// does, for every letter and not only ASCII ones.
class tst_LetterCase : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    void comparisonsAndSearches_data() {
        addEngineColumn();
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("found");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "equal, Ñ and ñ") << "IEXT = ?"
                                           << "Año 2026" << QStringList{"AÑO 2026", "año 2026"};
            engineRow(e, "equal, accents count") << "IEXT = ?"
                                                 << "ARBOL" << QStringList{"arbol"};
            engineRow(e, "equal, Á and á") << "IEXT = ?"
                                           << "Árbol" << QStringList{"ÁRBOL", "árbol"};
            engineRow(e, "like, search text in capitals")
                << "IEXT like ?"
                << "%ÑO%" << QStringList{"AÑO 2026", "año 2026"};
            engineRow(e, "like, search text in small letters")
                << "IEXT like ?"
                << "%ñ%" << QStringList{"AÑO 2026", "año 2026"};
            engineRow(e, "like, one character of any kind")
                << "IEXT like ?"
                << "a_o%" << QStringList{"AÑO 2026", "ano 2026", "año 2026"};
            engineRow(e, "like, accents count") << "IEXT like ?"
                                                << "ár%" << QStringList{"ÁRBOL", "árbol"};
            engineRow(e, "like, ç") << "IEXT like ?"
                                    << "ç%" << QStringList{"ÇA"};
            engineRow(e, "not like") << "IEXT not like ? and IEXT like '%a%'"
                                     << "%ñ%" << QStringList{"ano 2026", "arbol", "ÇA"};
            engineRow(e, "in") << "IEXT in (?, 'ÇA')"
                               << "ÁRBOL" << QStringList{"ÁRBOL", "árbol", "ÇA"};
        }
    }
    void comparisonsAndSearches() {
        QFETCH(Engine, engine);
        QFETCH(QString, condition);
        QFETCH(QString, value);
        QFETCH(QStringList, found);
        TestCatalog catalog(engine);
        seedTexts(catalog);
        QStringList rows =
            catalog.rows(QStringLiteral("select IEXT from DDT where ") + condition, {value});
        rows.sort();
        found.sort();
        QCOMPARE(rows, found);
    }

    // Grouping and sorting fold letters the same way; the key index still finds rows.
    void groupingSortingAndKeys_data() { corvelix::test::addEngineRows(); }
    void groupingSortingAndKeys() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        seedTexts(catalog);
        QCOMPARE(catalog.rows(
                     QStringLiteral("select count(*) from (select distinct IEXT from DDT) as d")),
                 QStringList{"5"});
        QCOMPARE(catalog.rows(QStringLiteral("select min(IEXT) from DDT where IEXT like 'a%'")),
                 QStringList{"ano 2026"});
        // The key column: a declaration number typed in small letters finds its row.
        QCOMPARE(catalog.rows(QStringLiteral("select IEXT from DDT where IDDT = ?"),
                              {QStringLiteral("26001ic04000001a")}),
                 QStringList{"año 2026"});
    }

    // On ASCII text our NOCASE orders exactly as SQLite's own, so that an index written by
    // the program and read by the shell (or the other way round) stays in order.
    void asciiOrderIsSqlitesOwn_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("letters") << "abc"
                                 << "ABD";
        QTest::newRow("underscore and a capital") << "_"
                                                  << "A";
        QTest::newRow("bracket and a small letter") << "["
                                                    << "a";
        QTest::newRow("backquote") << "`x"
                                   << "Ax";
        QTest::newRow("prefix") << "IC04"
                                << "ic04A";
        QTest::newRow("digits") << "0009"
                                << "0010";
        QTest::newRow("equal") << "Ref-1"
                               << "rEF-1";
    }
    void asciiOrderIsSqlitesOwn() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        TestCatalog catalog(Engine::Sqlite);
        // lower() folds ASCII only: BINARY on it is SQLite's built-in NOCASE.
        const QStringList ours = catalog.rows(
            QStringLiteral("select (? collate nocase < ?) - (? collate nocase > ?)"), {a, b, a, b});
        const QStringList sqlites = catalog.rows(
            QStringLiteral("select (lower(?) < lower(?)) - (lower(?) > lower(?))"), {a, b, a, b});
        QCOMPARE(ours, sqlites);
    }

    // LIKE keeps its escape character and Null rules.
    void likeEscapeAndNull() {
        TestCatalog catalog(Engine::Sqlite);
        catalog.exec(QStringLiteral("insert into DDT (IDDT, IEXT) values ('A', '10%_Ñ')"));
        catalog.exec(QStringLiteral("insert into DDT (IDDT, IEXT) values ('B', '10x_ñ')"));
        catalog.exec(QStringLiteral("insert into DDT (IDDT, IEXT) values ('C', NULL)"));
        QCOMPARE(catalog.rows(QStringLiteral("select IDDT from DDT where IEXT like ? escape '!'"),
                              {QStringLiteral("10!%!_ñ")}),
                 QStringList{"A"});
        QCOMPARE(catalog.rows(QStringLiteral("select IDDT from DDT where IEXT like ? order by 1"),
                              {QStringLiteral("10_!_%")}),
                 QStringList{});
        QCOMPARE(catalog.rows(QStringLiteral("select count(*) from DDT where IEXT like '%'")),
                 QStringList{"2"});
        QCOMPARE(catalog.rows(QStringLiteral("select 'x' like NULL, NULL like 'x'")),
                 QStringList{"<null>|<null>"});
        QVERIFY_THROWS_EXCEPTION(
            corvelix::VbError,
            catalog.rows(QStringLiteral("select IDDT from DDT where IEXT like 'a' escape '!!'")));
    }

    // The file stays readable by the plain sqlite3 shell, which knows only its own NOCASE:
    // its reads of the text columns work (letter case beyond ASCII aside).
    void theShellStillReadsTheCatalog() {
        const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (shell.isEmpty())
            QSKIP("the sqlite3 shell is not installed");
        TestCatalog catalog(Engine::Sqlite);
        seedTexts(catalog);
        // Rows written through our collation, the index kept in order for the shell.
        // A row written through our collation: the index stays in order for the shell.
        catalog.exec(QStringLiteral("update DDT set IEXT = 'zz' where IEXT = ?"), {"ARBOL"});
        modDA::resetConnectionsForTests();

        QProcess process;
        process.start(shell, {catalog.fixture().catalogPath()});
        QVERIFY(process.waitForStarted());
        process.write("SELECT count(*) FROM DDT WHERE IEXT = 'año 2026';\n"
                      "SELECT count(*) FROM DDT WHERE IDDT = '26001ic04000001a';\n"
                      "SELECT group_concat(IEXT, ',') FROM (SELECT IEXT FROM DDT "
                      "WHERE IEXT LIKE 'a%' ORDER BY IEXT);\n"
                      "PRAGMA integrity_check;\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished());
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n')),
                 (QStringList{"1", "1", "ano 2026,AÑO 2026,año 2026", "ok", ""}));
    }
};

CORVELIX_TEST(tst_LetterCase)
#include "tst_LetterCase.moc"
