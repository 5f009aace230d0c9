// The item editor on the large declaration: opening it on ITEM GLOBAL (also as the first round
// of a fresh process) and setting one field on every item, beside the same SELECT and one
// UPDATE typed into the sqlite3 shell.

#include "bench.h"

#include "data/ItemList.h"
#include "data/demo_catalog.h"
#include "data/item_editor_reads.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "item_editor/frmItemDetalle.h"

#include <functional>

namespace {

constexpr int kItems = 3000;

using corvelix::bench::statementsOf;

void itemEditor(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("itemeditor.db"));
    run.useCatalog(path);
    const QString d = modDA::kLargeDeclaration;

    frmItemDetalle editor;
    editor.m_Operacion = d;
    editor.m_Item = QStringLiteral("0000");
    // Every read the open sends (the common list, information, advantages and documents), in
    // the shell; four opens in a row on each side: one takes a few milliseconds.
    const QString reads = statementsOf([&] { editor.cargaDataItem_Zero(); });
    run.compare(
        QStringLiteral("item editor ITEM GLOBAL open (3000 items)"),
        [&] { editor.cargaDataItem_Zero(); }, path, reads, 1.5, 4);
    run.compareFirst(QStringLiteral("item editor ITEM GLOBAL open"), "itemeditor_global_open", path,
                     1.5);

    const modDA::ItemList todos = modDA::ItemList::parse(QStringLiteral("TODO"));
    const auto write = [&] {
        (void)modDA::setCampo_ALLITEMS(d, QStringLiteral("LISTA"), QStringLiteral("NAC"), todos,
                                       false);
    };
    const QString update = statementsOf(write);
    // Four times in a row on each side (the same list again): once takes a few milliseconds.
    run.compare(
        QStringLiteral("item editor ITEM GLOBAL set LISTA (3000 items)"),
        [&] { return run.timeOnCopy(path, write, 4); },
        [&] { return run.shellOnce(path, update, true, 4); }, 2.0);
}

corvelix::bench::FirstTimes firstGlobalOpen(corvelix::bench::Run& run, const QString& path) {
    run.useCatalog(path);
    (void)modDA::dialect();
    frmItemDetalle editor;
    editor.m_Operacion = modDA::kLargeDeclaration;
    editor.m_Item = QStringLiteral("0000");
    // The statements are taken after the timed open, which must be the process's first.
    const double ours = run.timeOnce([&] { editor.cargaDataItem_Zero(); });
    const QString reads = statementsOf([&] { editor.cargaDataItem_Zero(); });
    return {ours, run.shellOnce(path, reads)};
}

} // namespace

CORVELIX_BENCH(itemeditor, itemEditor)
CORVELIX_BENCH_FIRST(itemeditor_global_open, firstGlobalOpen)
