// The item editor's bulk writes on the large declaration (3,000 items): one complementary-
// information code added to every item, and every item's FOB written as one, each on a fresh
// copy of the catalog, beside one INSERT ... SELECT / the same statements in the sqlite3 shell.

#include "bench.h"

#include "data/demo_catalog.h"
#include "data/item_editor_rows.h"
#include "data/modDA.h"

#include <QFile>

#include <limits>

namespace {

using corvelix::bench::Run;

double onFreshCopies(Run& run, const QString& path, const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < 3; ++i) {
        modDA::resetConnectionsForTests();
        const QString copy = run.copyCatalog(path, QStringLiteral("item_editor_copy.db"));
        for (const char* suffix : {"-wal", "-shm"})
            QFile::remove(copy + QLatin1String(suffix));
        run.useCatalog(copy);
        (void)modDA::dialect();
        best = std::min(best, run.time(work, 1));
    }
    return best;
}

const QString& largeCatalog(Run& run) {
    static const QString path = run.makeCatalog(3000, QStringLiteral("item_editor.db"));
    return path;
}

void infoOnEveryItem(Run& run) {
    const QString path = largeCatalog(run);
    const double ours = onFreshCopies(run, path, [] {
        modDA::agregarInformacionAdicional_ALLITEMS(
            modDA::kLargeDeclaration, QStringLiteral("TODO"), QStringLiteral("BENCH-CODE"),
            QStringLiteral("VALOR"), QString(), false);
    });
    const double shell = run.shellTime(
        path,
        QStringLiteral("INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT IDDT, NART, "
                       "'BENCH-CODE', 'VALOR', 'D' FROM ART WHERE IDDT = '%1' AND NART <> '0000';")
            .arg(modDA::kLargeDeclaration),
        3, true);
    run.report(QStringLiteral("ITEM GLOBAL add of one complementary-information code, 3,000 items"),
               ours, shell, 2.0);
    // The add also marks every item it writes (an UPDATE of the wide item rows), which the
    // single INSERT above leaves out: the same two statements in the shell, for scale.
    const double shellWithMarks = run.shellTime(
        path,
        QStringLiteral("BEGIN;\n"
                       "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = '%1' AND "
                       "NART <> '0000';\n"
                       "INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT IDDT, NART, "
                       "'BENCH-CODE', 'VALOR', 'D' FROM ART WHERE IDDT = '%1' AND NART <> '0000';\n"
                       "COMMIT;")
            .arg(modDA::kLargeDeclaration),
        3, true);
    run.report(QStringLiteral("  the same beside the insert and the marks in the shell"), ours,
               shellWithMarks, 0);
}

void fobOnEveryItem(Run& run) {
    const QString path = largeCatalog(run);
    const double ours = onFreshCopies(run, path, [] {
        modDA::transferirFOB(modDA::kLargeDeclaration, QStringLiteral("TODO"),
                             QStringLiteral("BENCH-FOB"), 1.25, QStringLiteral(","));
    });
    const double shell = run.shellTime(
        path,
        QStringLiteral("INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT IDDT, NART, "
                       "'BENCH-FOB', replace(printf('%.2f', round(1.25 * MARTFOB, 2)), '.', ','), "
                       "'D' FROM ART WHERE IDDT = '%1' AND NART <> '0000';\n"
                       "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = '%1' AND "
                       "NART <> '0000';")
            .arg(modDA::kLargeDeclaration),
        3, true);
    run.report(QStringLiteral("FOB to complementary information, 3,000 items"), ours, shell, 2.0);
}

} // namespace

CORVELIX_BENCH(item_editor_info_all_items, infoOnEveryItem)
CORVELIX_BENCH(item_editor_fob_all_items, fobOnEveryItem)
