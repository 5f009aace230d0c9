// The declaration list as the main window runs it, on a catalog of 20,000 declarations: the
// query alone (the list's columns, and every column as other callers read it), and the whole
// fill of the main window's list.

#include "bench.h"

#include "app/frmMain.h"
#include "data/demo_catalog.h"
#include "data/modDA.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <cstdio>
#include <cstdlib>

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

void declarationList(corvelix::bench::Run& run) {
    const QString path = catalogWithDeclarations(run);
    run.useCatalog(path);
    const QString listColumns =
        QStringLiteral("IDDT, IEXT, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, DDDTOFICIA");

    // Empty search text, SIMI hidden: the list the window fills at start-up.
    const QString shellList = QStringLiteral("SELECT ") + listColumns +
                              QStringLiteral(" FROM DDT WHERE ") + kWithoutSimi +
                              QStringLiteral(" ORDER BY IDDT DESC;");
    run.compare(QStringLiteral("list query, 20000 declarations"),
                [] { (void)modDA::getDDTList(QString(), false); }, path, shellList, 1.5);

    run.compare(QStringLiteral("list search \"IC04\", 20000 declarations"),
                [] { (void)modDA::getDDTList(QStringLiteral("IC04"), false); }, path,
                QStringLiteral("SELECT ") + listColumns +
                    QStringLiteral(" FROM DDT WHERE (IDDT LIKE '%IC04%' OR IEXT LIKE '%IC04%') "
                                   "AND ") +
                    kWithoutSimi + QStringLiteral(" ORDER BY IDDT DESC;"),
                1.5);

    run.compare(QStringLiteral("getDDT (every column), 20000 declarations"),
                [] { (void)modDA::getDDT(QString(), false); }, path,
                QStringLiteral("SELECT * FROM DDT WHERE ") + kWithoutSimi +
                    QStringLiteral(" ORDER BY IDDT DESC;"),
                1.5);

    // The whole fill: query, texts, column widths, the view's rows; beside the shell's
    // SELECT of the rows it shows.
    frmMain window;
    run.compare(QStringLiteral("main window list fill (cargarGrilla)"),
                [&] { window.cargarGrilla(QString()); }, path, shellList, 2.0);
}

} // namespace

CORVELIX_BENCH(declaration_list, declarationList)
