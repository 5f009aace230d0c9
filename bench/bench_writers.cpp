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

const QString& largeCatalog(Run& run) {
    static const QString path = run.makeCatalog(3000, QStringLiteral("writers.db"));
    return path;
}

void suffixAA(Run& run) {
    const QString path = largeCatalog(run);
    const auto work = [] {
        modDA::EstablecerSufijoAA(modDA::kLargeDeclaration, QStringLiteral("NUEVO"));
    };
    const QString d = QStringLiteral("'") + modDA::kLargeDeclaration + QStringLiteral("'");
    const QString shell =
        QStringLiteral("UPDATE SBT SET CSBTSVL = substr(CSBTSVL, 1, instr(CSBTSVL, 'AA(') + 2) || "
                       "'NUEVO' || substr(CSBTSVL, instr(CSBTSVL, 'AA(') + 2 + "
                       "instr(substr(CSBTSVL, instr(CSBTSVL, 'AA(') + 3), ')-')) "
                       "WHERE IDDT = %1 AND instr(CSBTSVL, 'AA(') > 0;\n"
                       "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = %1;")
            .arg(d);
    run.compare(
        QStringLiteral("EstablecerSufijoAA, 12,000 subitems"),
        [&] { return run.timeOnCopy(path, work); },
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

void allItemsInfo(Run& run) {
    // Five more information codes on every item than the demo has: emptying them takes the
    // shell some tens of milliseconds rather than a few.
    const QString path = run.copyCatalog(largeCatalog(run), QStringLiteral("writers_info.db"));
    (void)run.shellOnce(
        path,
        QStringLiteral("WITH n(k) AS (VALUES (1), (2), (3), (4), (5)) INSERT INTO CPL (ICPL, NART, "
                       "CCPL, MCPL, ICPLDIF) SELECT IDDT, NART, 'EXTRA-' || k, 'VALOR', 'D' FROM "
                       "ART, n WHERE IDDT = '%1' AND NART <> '0000';")
            .arg(modDA::kLargeDeclaration));
    const auto work = [] {
        modDA::vaciarInformacionAdicional(modDA::kLargeDeclaration, QStringLiteral("TODO"));
    };
    const QString shell = QStringLiteral("DELETE FROM CPL WHERE ICPL = '%1' AND NART <> '0000';")
                              .arg(modDA::kLargeDeclaration);
    run.compare(
        QStringLiteral("vaciarInformacionAdicional TODO, 3,000 items"),
        [&] { return run.timeOnCopy(path, work); },
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

} // namespace

CORVELIX_BENCH(writers_suffix_aa, suffixAA)
CORVELIX_BENCH(writers_todo_delete, allItemsInfo)
