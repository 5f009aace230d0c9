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

const QString& largeCatalog(Run& run) {
    static const QString path = run.makeCatalog(3000, QStringLiteral("item_editor.db"));
    return path;
}

void infoOnEveryItem(Run& run) {
    const QString path = largeCatalog(run);
    // Two codes, one add each (one add takes about ten milliseconds).
    const QStringList codes{QStringLiteral("BENCH-CODE"), QStringLiteral("BENCH-CODE2")};
    const auto work = [&] {
        for (const QString& code : codes)
            modDA::agregarInformacionAdicional_ALLITEMS(modDA::kLargeDeclaration,
                                                        QStringLiteral("TODO"), code,
                                                        QStringLiteral("VALOR"), QString(), false);
    };
    // The add writes the code on every item and marks every item it writes (an UPDATE of the
    // wide item rows): the same two statements in the shell, one transaction per code.
    QString shell;
    for (const QString& code : codes)
        shell += QStringLiteral("BEGIN;\nUPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE "
                                "IDDT = '%1' AND NART <> '0000';\n"
                                "INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT IDDT, "
                                "NART, '%2', 'VALOR', 'D' FROM ART WHERE IDDT = '%1' AND NART <> "
                                "'0000';\nCOMMIT;\n")
                     .arg(modDA::kLargeDeclaration, code);
    run.compare(
        QStringLiteral("ITEM GLOBAL add of an info code, two codes, 3,000 items"),
        [&] { return run.timeOnCopy(path, work); },
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

void fobOnEveryItem(Run& run) {
    const QString path = largeCatalog(run);
    const auto work = [] {
        modDA::transferirFOB(modDA::kLargeDeclaration, QStringLiteral("TODO"),
                             QStringLiteral("BENCH-FOB"), 1.25, QStringLiteral(","));
    };
    const QString shell =
        QStringLiteral("INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT IDDT, NART, "
                       "'BENCH-FOB', replace(printf('%.2f', round(1.25 * MARTFOB, 2)), '.', ','), "
                       "'D' FROM ART WHERE IDDT = '%1' AND NART <> '0000';\n"
                       "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = '%1' AND "
                       "NART <> '0000';")
            .arg(modDA::kLargeDeclaration);
    run.compare(
        QStringLiteral("FOB to complementary information, 3,000 items"),
        [&] { return run.timeOnCopy(path, work); },
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

} // namespace

CORVELIX_BENCH(item_editor_info_all_items, infoOnEveryItem)
CORVELIX_BENCH(item_editor_fob_all_items, fobOnEveryItem)
