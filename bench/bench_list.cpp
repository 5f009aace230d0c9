// The declaration list's search as the main window runs it.

#include "bench.h"

#include "data/modDA.h"

namespace {

void declarationList(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(0, QStringLiteral("list.db"));
    run.useCatalog(path);
    const double ours = run.time([] { (void)modDA::getDDT(QStringLiteral("IC04"), false); });
    const double shell = run.shellTime(
        path, QStringLiteral("SELECT * FROM DDT WHERE (IDDT LIKE '%IC04%' OR IEXT LIKE '%IC04%') "
                             "AND instr(IDDT,'SIMI') = 0 AND instr(IDDT,'SIRA') = 0 AND "
                             "instr(IDDT,'SEDI') = 0 ORDER BY IDDT DESC;"));
    run.report(QStringLiteral("declaration list search (demo seed)"), ours, shell, 1.5);
}

} // namespace

CORVELIX_BENCH(declaration_list, declarationList)
