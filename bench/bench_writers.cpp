// Bulk writes on one large declaration (3,000 items, 12,000 subitems), each on a fresh copy of
// the catalog, beside the same change written by hand in the sqlite3 shell.

#include "bench.h"

#include "data/attached_rows.h"
#include "data/demo_catalog.h"
#include "data/item_values.h"
#include "data/modDA.h"

#include <QFile>

#include <limits>

namespace {

using corvelix::bench::Run;

// Best of three runs of `work`, each on its own copy of `path`, the connection already open.
double onFreshCopies(Run& run, const QString& path, const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < 3; ++i) {
        // The previous copy's connection goes first, so that nothing of it (its -wal file)
        // reaches the new copy.
        modDA::resetConnectionsForTests();
        const QString copy = run.copyCatalog(path, QStringLiteral("writers_copy.db"));
        for (const char* suffix : {"-wal", "-shm"})
            QFile::remove(copy + QLatin1String(suffix));
        run.useCatalog(copy);
        (void)modDA::dialect();
        best = std::min(best, run.time(work, 1));
    }
    return best;
}

const QString& largeCatalog(Run& run) {
    static const QString path = run.makeCatalog(3000, QStringLiteral("writers.db"));
    return path;
}

void suffixAA(Run& run) {
    const QString path = largeCatalog(run);
    const double ours = onFreshCopies(run, path, [] {
        modDA::EstablecerSufijoAA(modDA::kLargeDeclaration, QStringLiteral("NUEVO"));
    });
    const QString d = QStringLiteral("'") + modDA::kLargeDeclaration + QStringLiteral("'");
    const double shell = run.shellTime(
        path,
        QStringLiteral("UPDATE SBT SET CSBTSVL = substr(CSBTSVL, 1, instr(CSBTSVL, 'AA(') + 2) || "
                       "'NUEVO' || substr(CSBTSVL, instr(CSBTSVL, 'AA(') + 2 + "
                       "instr(substr(CSBTSVL, instr(CSBTSVL, 'AA(') + 3), ')-')) "
                       "WHERE IDDT = %1 AND instr(CSBTSVL, 'AA(') > 0;\n"
                       "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = %1;")
            .arg(d),
        3, true);
    run.report(QStringLiteral("EstablecerSufijoAA, 12,000 subitems"), ours, shell, 2.0);
}

void allItemsInfo(Run& run) {
    const QString path = largeCatalog(run);
    const double ours = onFreshCopies(run, path, [] {
        modDA::vaciarInformacionAdicional(modDA::kLargeDeclaration, QStringLiteral("TODO"));
    });
    const double shell =
        run.shellTime(path,
                      QStringLiteral("DELETE FROM CPL WHERE ICPL = '%1' AND NART <> '0000';")
                          .arg(modDA::kLargeDeclaration),
                      3, true);
    run.report(QStringLiteral("vaciarInformacionAdicional TODO, 3,000 items"), ours, shell, 2.0);
}

} // namespace

CORVELIX_BENCH(writers_suffix_aa, suffixAA)
CORVELIX_BENCH(writers_todo_delete, allItemsInfo)
