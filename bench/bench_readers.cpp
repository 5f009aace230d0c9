// The two export readers over a large declaration: the item sheet with its three pivot tables
// and the subitem sheet, each beside the sqlite3 shell running the very same SELECT.

#include "bench.h"

#include "data/demo_catalog.h"
#include "data/export_reads.h"
#include "data/modDA.h"

namespace {

constexpr int kItems = 3000;

using corvelix::bench::statementsOf;

void exportReaders(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("readers.db"));
    run.useCatalog(path);
    const QString iddt = modDA::kLargeDeclaration;
    modDA::runProcedure(QStringLiteral("GETDVDPIVOT"), {iddt, QStringLiteral("9999")});
    modDA::runProcedure(QStringLiteral("GETCPLPIVOT"), {iddt, QStringLiteral("9999")});
    modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {iddt});

    const auto pivot = [&] { (void)modDA::getITEMsPIVOT(iddt, true, true, true); };
    run.compare(QStringLiteral("getITEMsPIVOT, three pivots (3000 items)"), pivot, path,
                statementsOf(pivot), 2.0);

    const auto subitems = [&] { (void)modDA::getArticulosByDespacho_FULL(iddt, QString()); };
    run.compare(QStringLiteral("getArticulosByDespacho_FULL (12000 rows)"), subitems, path,
                statementsOf(subitems), 2.0);
}

} // namespace

CORVELIX_BENCH(export_readers, exportReaders)
