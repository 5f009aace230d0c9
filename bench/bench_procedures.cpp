// The program's six procedures on the demo catalog with one declaration of 3000 items, each
// beside the same work typed as set statements into the sqlite3 shell.

#include "bench.h"

#include "data/demo_catalog.h"
#include "data/modDA.h"

namespace {

constexpr int kItems = 3000;
constexpr double kGoal = 1.5;

QString quoted(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// The list a work table keeps per item, as a shell user would write it with the elements'
// order guaranteed (group_concat over an ordered subquery does not promise it on this SQLite):
// through one window per item.
QString listScript(const QString& table, const QString& columns, const QString& source,
                   const QString& declaration, const QString& element, const QString& order,
                   int limit, int width) {
    const QString iddt = quoted(modDA::kLargeDeclaration);
    const QString window =
        QStringLiteral("PARTITION BY ") + declaration + QStringLiteral(", NART") +
        (order.isEmpty() ? QString()
                         : QStringLiteral(" ORDER BY ") + order +
                               QStringLiteral(" ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED "
                                              "FOLLOWING"));
    const QStringList names = columns.split(QStringLiteral(", "));
    // The table keeps an index on its key, as the program's does (the item grids join it).
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 VARCHAR(16) COLLATE NOCASE, %3 "
                          "VARCHAR(4) COLLATE NOCASE, %4 VARCHAR(%5) COLLATE NOCASE);\n"
                          "CREATE INDEX IF NOT EXISTS %1_KEY ON %1 (%2, %3);\n"
                          "DELETE FROM %1;\n"
                          "INSERT INTO %1 (%6) SELECT k, n, trim(substr(substr(lista, 1, %9), "
                          "4)) FROM (SELECT %7 AS k, NART AS n, group_concat(%8, '') OVER w AS "
                          "lista, row_number() OVER w AS r FROM %10 WHERE %7 = %11 WINDOW w AS "
                          "(%12)) WHERE r = 1 ORDER BY k, n;")
        .arg(table, names.value(0), names.value(1), names.value(2))
        .arg(width)
        .arg(columns, declaration, element)
        .arg(limit)
        .arg(source, iddt, window);
}

// A pivot: its codes read, the table dropped and made again with one column per code, with
// an index on its key as the program's (the item sheet joins it to every item).
QString pivotScript(const QString& table, const QString& source, const QString& declaration,
                    const QString& code, const QString& value, const QString& itemCondition,
                    const QStringList& codes) {
    const QString where = QStringLiteral(" FROM ") + source + " WHERE " + declaration + " = " +
                          quoted(modDA::kLargeDeclaration) + itemCondition;
    QStringList columns{QLatin1Char('"') + declaration + "\" TEXT COLLATE NOCASE",
                        QStringLiteral("\"NART\" TEXT COLLATE NOCASE")};
    QStringList cells;
    for (const QString& c : codes) {
        columns << QLatin1Char('"') + c + "\" TEXT";
        cells << QStringLiteral("MAX(CASE WHEN ") + code + " = " + quoted(c) + " THEN " + value +
                     " END COLLATE NOCASE)";
    }
    return QStringLiteral("SELECT DISTINCT ") + code + where + " AND " + code +
           " IS NOT NULL ORDER BY " + code + ";\nDROP TABLE IF EXISTS " + table +
           ";\nCREATE TABLE " + table + " (" + columns.join(QStringLiteral(", ")) +
           ");\nINSERT INTO " + table + " SELECT " + declaration + ", NART, " +
           cells.join(QStringLiteral(", ")) + where + " GROUP BY " + declaration +
           ", NART ORDER BY " + declaration + ", NART;\nCREATE INDEX " + table + "_KEY ON " +
           table + " (\"" + declaration + "\", \"NART\");";
}

QStringList codesOf(const modDA::Sql& query) {
    QStringList codes;
    for (auto rs = modDA::getRs(modDA::kCatalog, query, {modDA::kLargeDeclaration}); !rs.eof();
         rs.moveNext())
        codes << rs.text(0);
    return codes;
}

void procedures(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("procedures.db"));
    run.useCatalog(path);
    const QString iddt = modDA::kLargeDeclaration;

    struct Case {
        QString label;
        QString procedure;
        QStringList args;
        QString script;
        int inner = 6; // runs in a row inside one timing
    };
    const QString notHeader = QStringLiteral(" AND NART <> '0000'");
    const QList<Case> cases = {
        {QStringLiteral("setItemVentajas"),
         QStringLiteral("setItemVentajas"),
         {iddt},
         listScript(QStringLiteral("item_ventajas"), QStringLiteral("iddt, nart, ventajas"),
                    QStringLiteral("SRG"), QStringLiteral("ISRG"),
                    QStringLiteral("'|#|' || IFNULL(CSRG, '')"), QString(), 5000, 5000)},
        {QStringLiteral("SETITEMINFOAD"),
         QStringLiteral("SETITEMINFOAD"),
         {iddt},
         listScript(QStringLiteral("ITEM_INFOAD"), QStringLiteral("IDDT, NART, INFOAD"),
                    QStringLiteral("CPL"), QStringLiteral("ICPL"),
                    QStringLiteral("'|#|' || IFNULL(CCPL, '') || '=' || IFNULL(MCPL, '')"),
                    QStringLiteral("CCPL"), 8000, 8000)},
        {QStringLiteral("SETITEMDOCS"),
         QStringLiteral("SETITEMDOCS"),
         {iddt},
         listScript(QStringLiteral("ITEM_DOCS"), QStringLiteral("IDDT, NART, DOCS"),
                    QStringLiteral("DVD"), QStringLiteral("IDVD"),
                    QStringLiteral("'|#|' || IFNULL(CDVDDOC, '') || '=' || IFNULL(LDVDREFDOC, '')"),
                    QStringLiteral("CDVDDOC"), 8000, 8000)},
        {QStringLiteral("GETCPLPIVOT (items)"),
         QStringLiteral("GETCPLPIVOT"),
         {iddt, "9999"},
         pivotScript(QStringLiteral("CPLPIVOT"), QStringLiteral("CPL"), QStringLiteral("ICPL"),
                     QStringLiteral("CCPL"), QStringLiteral("MCPL"), notHeader,
                     codesOf("SELECT DISTINCT CCPL FROM CPL WHERE ICPL = ? AND NART <> '0000' "
                             "AND CCPL IS NOT NULL ORDER BY CCPL"))},
        {QStringLiteral("GETSRGPIVOT"),
         QStringLiteral("GETSRGPIVOT"),
         {iddt},
         pivotScript(QStringLiteral("SRGPIVOT"), QStringLiteral("SRG"), QStringLiteral("ISRG"),
                     QStringLiteral("CSRG"), QStringLiteral("'SI'"), QString(),
                     codesOf("SELECT DISTINCT CSRG FROM SRG WHERE ISRG = ? AND CSRG IS NOT NULL "
                             "ORDER BY CSRG")),
         10},
        {QStringLiteral("GETDVDPIVOT (items)"),
         QStringLiteral("GETDVDPIVOT"),
         {iddt, "9999"},
         pivotScript(QStringLiteral("DVDPIVOT"), QStringLiteral("DVD"), QStringLiteral("IDVD"),
                     QStringLiteral("CDVDDOC"), QStringLiteral("LDVDREFDOC"), notHeader,
                     codesOf("SELECT DISTINCT CDVDDOC FROM DVD WHERE IDVD = ? AND NART <> "
                             "'0000' AND CDVDDOC IS NOT NULL ORDER BY CDVDDOC"))},
    };
    for (const Case& c : cases) {
        // Each side runs the procedure several times in a row (it rebuilds its table from the
        // same rows each time): one run takes a few milliseconds.
        run.compare(
            c.label + QStringLiteral(" (") + QString::number(kItems) + QStringLiteral(" items)"),
            [&] { return run.timeOnce([&] { modDA::runProcedure(c.procedure, c.args); }, c.inner); },
            [&] { return run.shellOnce(path, c.script, true, c.inner); }, kGoal);
    }
}

} // namespace

CORVELIX_BENCH(procedures, procedures)
