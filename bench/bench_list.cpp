// The declaration list as the main window runs it, on a catalog of 20,000 declarations: the
// query alone (the list's columns, and every column as other callers read it), and the whole
// fill of the main window's list. The list is the first thing a user waits for: the query,
// every column and the fill are also timed as the first round of a fresh process.

#include "bench.h"

#include "app/frmMain.h"
#include "data/demo_catalog.h"
#include "data/modDA.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kDeclarations = 20000;

QString catalogWithDeclarations(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(0, QStringLiteral("list.db"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench_list"));
        db.setDatabaseName(path);
        if (!db.open()) {
            std::fprintf(stderr, "bench: %s\n", qPrintable(db.lastError().text()));
            std::exit(1);
        }
        modDA::addDemoDeclarations(db, kDeclarations);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench_list"));
    return path;
}

const QString kWithoutSimi =
    QStringLiteral("instr(IDDT,'SIMI') = 0 AND instr(IDDT,'SIRA') = 0 AND instr(IDDT,'SEDI') = 0");

const QString kListColumns =
    QStringLiteral("IDDT, IEXT, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, DDDTOFICIA");

// Empty search text, SIMI hidden: the list the window fills at start-up.
const QString kShellList = QStringLiteral("SELECT ") + kListColumns +
                           QStringLiteral(" FROM DDT WHERE ") + kWithoutSimi +
                           QStringLiteral(" ORDER BY IDDT DESC;");
const QString kShellEveryColumn = QStringLiteral("SELECT * FROM DDT WHERE ") + kWithoutSimi +
                                  QStringLiteral(" ORDER BY IDDT DESC;");

// A first round: the catalog open (as the shell has its file open before its clock starts),
// then one run of each side.
corvelix::bench::FirstTimes firstRead(corvelix::bench::Run& run, const QString& path,
                                      const std::function<void()>& ours, const QString& shell) {
    run.useCatalog(path);
    (void)modDA::dialect();
    const double oursMs = run.timeOnce(ours);
    return {oursMs, run.shellOnce(path, shell)};
}

void declarationList(corvelix::bench::Run& run) {
    const QString path = catalogWithDeclarations(run);
    run.useCatalog(path);

    run.compare(
        QStringLiteral("list query, 20000 declarations"),
        [] { (void)modDA::getDDTList(QString(), false); }, path, kShellList, 1.5);
    run.compareFirst(QStringLiteral("list query"), "list_query", path, 1.5);

    run.compare(
        QStringLiteral("list search \"IC04\", 20000 declarations"),
        [] { (void)modDA::getDDTList(QStringLiteral("IC04"), false); }, path,
        QStringLiteral("SELECT ") + kListColumns +
            QStringLiteral(" FROM DDT WHERE (IDDT LIKE '%IC04%' OR IEXT LIKE '%IC04%') "
                           "AND ") +
            kWithoutSimi + QStringLiteral(" ORDER BY IDDT DESC;"),
        1.5);

    run.compare(
        QStringLiteral("getDDT (every column), 20000 declarations"),
        [] { (void)modDA::getDDT(QString(), false); }, path, kShellEveryColumn, 1.5);
    run.compareFirst(QStringLiteral("getDDT"), "list_every_column", path, 1.5);

    // The whole fill: query, texts, column widths, the view's rows; beside the shell's
    // SELECT of the rows it shows.
    frmMain window;
    run.compare(
        QStringLiteral("main window list fill (cargarGrilla)"),
        [&] { window.cargarGrilla(QString()); }, path, kShellList, 2.0);
    run.compareFirst(QStringLiteral("list fill"), "list_fill", path, 2.0);
}

corvelix::bench::FirstTimes firstListQuery(corvelix::bench::Run& run, const QString& path) {
    return firstRead(
        run, path, [] { (void)modDA::getDDTList(QString(), false); }, kShellList);
}

corvelix::bench::FirstTimes firstEveryColumn(corvelix::bench::Run& run, const QString& path) {
    return firstRead(
        run, path, [] { (void)modDA::getDDT(QString(), false); }, kShellEveryColumn);
}

corvelix::bench::FirstTimes firstFill(corvelix::bench::Run& run, const QString& path) {
    frmMain window;
    return firstRead(
        run, path, [&] { window.cargarGrilla(QString()); }, kShellList);
}

} // namespace

CORVELIX_BENCH(declaration_list, declarationList)
CORVELIX_BENCH_FIRST(list_query, firstListQuery)
CORVELIX_BENCH_FIRST(list_every_column, firstEveryColumn)
CORVELIX_BENCH_FIRST(list_fill, firstFill)
