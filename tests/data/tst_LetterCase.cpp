#include "data/attached_rows.h"
#include "data/declaration_reads.h"
#include "data/item_editor_rows.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/ExpectError.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestCatalog.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <functional>

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

// Texts that no SQLite NOCASE comparison takes as equal, though they differ only in the case
// of letters beyond ASCII.
const QStringList kKeys{"ña", "Ña", "ñandú", "ÑANDÚ", "árbol", "ÁRBOL", "ç", "Ç"};

void seedTexts(const TestCatalog& catalog) {
    for (int i = 0; i < kTexts.size(); ++i)
        catalog.exec(QStringLiteral("insert into DDT (IDDT, IEXT) values (?, ?)"),
                     {QStringLiteral("26001IC0400%1A").arg(i, 4, 10, QLatin1Char('0')), kTexts[i]});
}

// The lines the sqlite3 shell prints for a script run on a catalog file; what it wrote to its
// error output goes to `errors`.
QStringList shellLines(const QString& path, const QByteArray& script, QString& errors) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        errors = QStringLiteral("the sqlite3 shell is not installed (scripts/setup-deps)");
        return {};
    }
    QProcess process;
    process.start(shell, {QStringLiteral("-batch"), path});
    if (!process.waitForStarted()) {
        errors = QStringLiteral("the sqlite3 shell did not start");
        return {};
    }
    process.write(script);
    process.closeWriteChannel();
    process.waitForFinished();
    errors = QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
}

const QString kD = QStringLiteral("26001IC04000042A");

// Item 0001 of kD carries the information code "AÑO", the advantage "CAMIÓN" and the
// document "CAMIÓN"; item 0002 none. The code tables hold the same codes.
void seedCodes(const TestCatalog& catalog) {
    catalog.exec(QStringLiteral("insert into DDT (IDDT) values (?)"), {kD});
    for (const char* item : {"0000", "0001", "0002"})
        catalog.exec(QStringLiteral("insert into ART (IDDT, NART) values (?, ?)"),
                     {kD, QLatin1String(item)});
    catalog.exec(QStringLiteral("insert into CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) "
                                "values (?, '0001', ?, 'viejo', 'D')"),
                 {kD, QStringLiteral("AÑO")});
    catalog.exec(QStringLiteral("insert into SRG (ISRG, NART, CSRG) values (?, '0001', ?)"),
                 {kD, QStringLiteral("CAMIÓN")});
    catalog.exec(QStringLiteral("insert into DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                                "values (?, '0001', ?, 'S', 'viejo')"),
                 {kD, QStringLiteral("CAMIÓN")});
    catalog.exec(QStringLiteral("insert into VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) values "
                                "(?, 'VENTAJA', '2000-01-01 00:00:00', '2099-12-31 00:00:00')"),
                 {QStringLiteral("CAMIÓN")});
    catalog.exec(QStringLiteral("insert into DOC (CDOC, LDOCDESC, DDOCINI, DDOCFIN) values "
                                "(?, 'DOCUMENTO', '2000-01-01 00:00:00', '2099-12-31 00:00:00')"),
                 {QStringLiteral("CAMIÓN")});
}

// The code rows of kD: "table|NART|code|value".
QStringList codeRows(const TestCatalog& catalog) {
    QStringList rows = catalog.rows(
        QStringLiteral("select 'CPL', NART, CCPL, MCPL from CPL where ICPL = ? union all "
                       "select 'SRG', NART, CSRG, '' from SRG where ISRG = ? union all "
                       "select 'DVD', NART, CDVDDOC, LDVDREFDOC from DVD where IDVD = ?"),
        {kD, kD, kD});
    rows.sort();
    return rows;
}

using CodeAction = std::function<QString()>;

} // namespace

Q_DECLARE_METATYPE(CodeAction)

// Searches (LIKE, CHARINDEX) match as a case-insensitive, accent-sensitive server collation
// does, for every letter. Comparisons follow the column's collation: on SQLite that is
// SQLite's own NOCASE, which folds ASCII letters only, because indexes that other programs
// build on the catalog are ordered by it.
class tst_LetterCase : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    void comparisonsAndSearches_data() {
        addEngineColumn();
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("found");
        for (const Engine e : catalogEngines()) {
            const bool server = e == Engine::Server;
            engineRow(e, "equal, Ñ and ñ")
                << "IEXT = ?"
                << "Año 2026"
                << (server ? QStringList{"AÑO 2026", "año 2026"} : QStringList{"año 2026"});
            engineRow(e, "equal, accents count") << "IEXT = ?"
                                                 << "ARBOL" << QStringList{"arbol"};
            engineRow(e, "equal, Á and á")
                << "IEXT = ?"
                << "Árbol" << (server ? QStringList{"ÁRBOL", "árbol"} : QStringList{"ÁRBOL"});
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
                               << "ÁRBOL"
                               << (server ? QStringList{"ÁRBOL", "árbol", "ÇA"}
                                          : QStringList{"ÁRBOL", "ÇA"});
            engineRow(e, "charindex, Ñ and ñ") << "CHARINDEX(?, IEXT) > 0"
                                               << "ñO" << QStringList{"AÑO 2026", "año 2026"};
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

    // Codes typed in the item editor, ITEM GLOBAL and the code tables are one code whatever
    // the case of their letters, as on the server; an accent makes another code.
    void codesCompareAsTheServerDoes_data() {
        addEngineColumn();
        QTest::addColumn<CodeAction>("action");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("changed"); // rows added, "-" in front for rows removed
        QTest::addColumn<QString>("refusal"); // the refusal's text; no answer then
        const auto text = [](bool b) {
            return b ? QStringLiteral("true") : QStringLiteral("false");
        };
        for (const Engine e : catalogEngines()) {
            engineRow(e, "add information, small letters refused")
                << CodeAction([=] {
                       return text(
                           modDA::agregarInformacionAdicional(kD, "0001", "año", "x", "", false));
                   })
                << QString() << QStringList{}
                << QStringLiteral("La información adicional año ya esta cargada para este item");
            engineRow(e, "add information without the accent: another code") << CodeAction([=] {
                return text(modDA::agregarInformacionAdicional(kD, "0001", "ANO", "x", "", false));
            }) << "true" << QStringList{"CPL|0001|ANO|x"} << QString();
            engineRow(e, "add advantage, small letters refused")
                << CodeAction([=] { return text(modDA::AgregarVentajas(kD, "0001", "camión")); })
                << QString() << QStringList{}
                << QStringLiteral("La Ventaja camión ya esta cargada para este item");
            engineRow(e, "add document, small letters refused")
                << CodeAction(
                       [=] { return text(modDA::agregarDocumento(kD, "0001", "camión", "r")); })
                << QString() << QStringList{}
                << QStringLiteral("El documento camión ya esta cargado en este item");
            engineRow(e, "delete information")
                << CodeAction([=] { return text(modDA::eliminarInfoAd(kD, "0001", "año")); })
                << "true" << QStringList{"-CPL|0001|AÑO|viejo"} << QString();
            engineRow(e, "delete information without the accent: nothing")
                << CodeAction([=] { return text(modDA::eliminarInfoAd(kD, "0001", "ano")); })
                << "false" << QStringList{} << QString();
            engineRow(e, "delete advantage")
                << CodeAction([=] { return text(modDA::eliminarVentajas(kD, "0001", "camión")); })
                << "true" << QStringList{"-SRG|0001|CAMIÓN|"} << QString();
            engineRow(e, "delete document")
                << CodeAction([=] { return text(modDA::eliminarDocumento(kD, "0001", "camión")); })
                << "true" << QStringList{"-DVD|0001|CAMIÓN|viejo"} << QString();
            engineRow(e, "replace information on all items")
                << CodeAction([=] {
                       return QString::number(modDA::agregarInformacionAdicional_ALLITEMS(
                           kD, "TODO", "año", "nuevo", "", true));
                   })
                << "2"
                << QStringList{"CPL|0001|año|nuevo", "CPL|0002|año|nuevo", "-CPL|0001|AÑO|viejo"}
                << QString();
            engineRow(e, "information on all items, kept where it is") << CodeAction([=] {
                return QString::number(modDA::agregarInformacionAdicional_ALLITEMS(
                    kD, "TODO", "año", "nuevo", "", false));
            }) << "1" << QStringList{"CPL|0002|año|nuevo"} << QString();
            engineRow(e, "advantage on all items, kept where it is") << CodeAction([=] {
                return QString::number(modDA::agregarVentaja_ALLITEMS(kD, "TODO", "camión"));
            }) << "1" << QStringList{"SRG|0002|camión|"} << QString();
            engineRow(e, "replace document on all items")
                << CodeAction([=] {
                       return QString::number(
                           modDA::agregarDocumento_ALLITEMS(kD, "TODO", "camión", "r", true));
                   })
                << "2"
                << QStringList{"DVD|0001|camión|r", "DVD|0002|camión|r", "-DVD|0001|CAMIÓN|viejo"}
                << QString();
            engineRow(e, "advantage in small letters listed with its description")
                << CodeAction([=] {
                       (void)modDA::AgregarVentajas(kD, "0002", "camión");
                       return modDA::getVentajasItem(kD, "0002").text("LVENLBL");
                   })
                << "VENTAJA" << QStringList{"SRG|0002|camión|"} << QString();
            engineRow(e, "advantage table look-up")
                << CodeAction([] { return modDA::getDescripcionTabla("camión", 1); }) << "VENTAJA"
                << QStringList{} << QString();
            engineRow(e, "document table look-up")
                << CodeAction([] { return modDA::getDescripcionTabla("Camión", 4); }) << "DOCUMENTO"
                << QStringList{} << QString();
        }
    }
    void codesCompareAsTheServerDoes() {
        QFETCH(Engine, engine);
        QFETCH(CodeAction, action);
        QFETCH(QString, answer);
        QFETCH(QStringList, changed);
        QFETCH(QString, refusal);
        TestCatalog catalog(engine);
        seedCodes(catalog);
        const QStringList before = codeRows(catalog);
        if (refusal.isEmpty())
            QCOMPARE(action(), answer);
        else
            corvelix::test::expectRefusal([&] { (void)action(); }, refusal);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        const QStringList after = codeRows(catalog);
        QStringList diff;
        for (const QString& row : after)
            if (!before.contains(row))
                diff << row;
        for (const QString& row : before)
            if (!after.contains(row))
                diff << QLatin1Char('-') + row;
        QCOMPARE(diff, changed);
    }

    // Grouping and sorting fold letters as comparisons do; the key index still finds rows.
    void groupingSortingAndKeys_data() { corvelix::test::addEngineRows(); }
    void groupingSortingAndKeys() {
        QFETCH(Engine, engine);
        TestCatalog catalog(engine);
        seedTexts(catalog);
        QCOMPARE(catalog.rows(
                     QStringLiteral("select count(*) from (select distinct IEXT from DDT) as d")),
                 QStringList{engine == Engine::Server ? "5" : "7"});
        QCOMPARE(catalog.rows(QStringLiteral("select min(IEXT) from DDT where IEXT like 'a%'")),
                 QStringList{"ano 2026"});
        // The key column: a declaration number typed in small letters finds its row.
        QCOMPARE(catalog.rows(QStringLiteral("select IEXT from DDT where IDDT = ?"),
                              {QStringLiteral("26001ic04000001a")}),
                 QStringList{"año 2026"});
    }

    // NOCASE on our connections orders exactly as SQLite's own, so that an index written by
    // the program and read by the shell (or the other way round) stays in order.
    void orderIsSqlitesOwn_data() {
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
        QTest::newRow("Ñ and ñ") << "ña"
                                 << "Ña";
        QTest::newRow("Ñ and o") << "Ño"
                                 << "o";
        QTest::newRow("Á and á, same word") << "ÁRBOL"
                                            << "árbol";
    }
    void orderIsSqlitesOwn() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        TestCatalog catalog(Engine::Sqlite);
        // lower() folds ASCII only (no ICU): BINARY on it is SQLite's built-in NOCASE.
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
    // its reads of the text columns work.
    void theShellStillReadsTheCatalog() {
        TestCatalog catalog(Engine::Sqlite);
        seedTexts(catalog);
        // A row written by the program: the index stays in order for the shell.
        catalog.exec(QStringLiteral("update DDT set IEXT = 'zz' where IEXT = ?"), {"ARBOL"});
        modDA::resetConnectionsForTests();

        QString errors;
        const QStringList lines =
            shellLines(catalog.fixture().catalogPath(),
                       "SELECT count(*) FROM DDT WHERE IEXT = 'año 2026';\n"
                       "SELECT count(*) FROM DDT WHERE IDDT = '26001ic04000001a';\n"
                       "SELECT group_concat(IEXT, ',') FROM (SELECT IEXT FROM DDT "
                       "WHERE IEXT LIKE 'a%' ORDER BY IEXT);\n"
                       "PRAGMA integrity_check;\n",
                       errors);
        QCOMPARE(errors, QString());
        QCOMPARE(lines, (QStringList{"1", "1", "ano 2026,AÑO 2026,año 2026", "ok", ""}));
    }

    // An index that another program built over a NOCASE column, on keys that differ only in
    // the case of letters beyond ASCII: the program's lookups find the same rows through it
    // as without it, and what the program writes keeps it in order for the other program.
    void anotherProgramsIndexMeansTheSame() {
        TestCatalog catalog(Engine::Sqlite);
        const QString path = catalog.fixture().catalogPath();
        modDA::resetConnectionsForTests();
        QByteArray script = "CREATE INDEX DDT_IEXT_AJENO ON DDT (IEXT);\n";
        for (int i = 0; i < kKeys.size(); i += 2)
            script += QStringLiteral("INSERT INTO DDT (IDDT, IEXT) VALUES ('S%1', '%2');\n")
                          .arg(i)
                          .arg(kKeys[i])
                          .toUtf8();
        QString errors;
        QCOMPARE(shellLines(path, script, errors), QStringList{""});
        QCOMPARE(errors, QString());

        const auto lookups = [&](const QString& key) {
            const QString indexed = catalog.rows(
                QStringLiteral("select count(*) from DDT indexed by DDT_IEXT_AJENO where IEXT = ?"),
                {key})[0];
            const QString plain = catalog.rows(
                QStringLiteral("select count(*) from DDT not indexed where IEXT = ?"), {key})[0];
            return indexed + QLatin1Char('/') + plain;
        };
        for (int i = 0; i < kKeys.size(); ++i)
            QCOMPARE(kKeys[i] + QLatin1Char(' ') + lookups(kKeys[i]),
                     kKeys[i] + (i % 2 == 0 ? QStringLiteral(" 1/1") : QStringLiteral(" 0/0")));

        // The program writes the other keys, and moves one row to a key of its own.
        for (int i = 1; i < kKeys.size(); i += 2)
            catalog.exec(QStringLiteral("insert into DDT (IDDT, IEXT) values (?, ?)"),
                         {QStringLiteral("P%1").arg(i), kKeys[i]});
        catalog.exec(QStringLiteral("update DDT set IEXT = ? where IDDT = 'S0'"), {"ÑO"});
        QStringList keys = kKeys;
        keys[0] = QStringLiteral("ÑO");
        for (const QString& key : keys)
            QCOMPARE(key + QLatin1Char(' ') + lookups(key), key + QStringLiteral(" 1/1"));
        modDA::resetConnectionsForTests();

        script = "PRAGMA integrity_check;\n";
        for (const QString& key : keys)
            script += QStringLiteral("SELECT count(*) FROM DDT INDEXED BY DDT_IEXT_AJENO WHERE "
                                     "IEXT = '%1';\n")
                          .arg(key)
                          .toUtf8();
        QStringList expected{"ok"};
        for (qsizetype i = 0; i < keys.size(); ++i)
            expected << QStringLiteral("1");
        expected << QString();
        QCOMPARE(shellLines(path, script, errors), expected);
        QCOMPARE(errors, QString());
    }
};

CORVELIX_TEST(tst_LetterCase)
#include "tst_LetterCase.moc"
