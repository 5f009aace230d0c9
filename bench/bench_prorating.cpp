// The spreads and the declaration copy on the large declaration, beside the same statements
// typed into the sqlite3 shell.

#include "bench.h"

#include "data/declaration_copy.h"
#include "data/demo_catalog.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

#include <functional>

namespace {

using corvelix::bench::one;
using corvelix::bench::statementsOf;

constexpr int kItems = 3000;
const QString kDestination = QStringLiteral("24001IC04000101K");

QString large() {
    return modDA::kLargeDeclaration;
}

// The spread's read of its rounded shares, answered as adding up to `amount` (no rest).
modDA::Recordset sharesAddUpTo(double amount) {
    return {QStringList{QStringLiteral("total"), QStringLiteral("downs"), QStringLiteral("ups")},
            {{amount, 0, 0}}};
}

// A catalog of the large declaration for our side (changed by the work) and the file the shell
// copies before each of its runs.
QString prepare(corvelix::bench::Run& run, const QString& name) {
    static QString built;
    if (built.isEmpty())
        built = run.makeCatalog(kItems, QStringLiteral("prorating.db"));
    const QString ours = run.copyCatalog(built, name);
    run.useCatalog(ours);
    return built;
}

void netKilos(corvelix::bench::Run& run) {
    const QString path = prepare(run, QStringLiteral("kilos.db"));
    const auto work = [] { (void)modDA::ProrratearKilos(large(), 123456.78); };
    const double fob =
        modDA::getRs(modDA::kCatalog, "SELECT SUM(MARTFOB) FROM ART WHERE IDDT = ?", {large()})
            .field(0)
            .toDouble();
    const QString shell =
        statementsOf(work, {one("total", kItems), one("KiloFijos", QVariant()), one("fob", fob),
                            modDA::Recordset(), sharesAddUpTo(123456.78), one("total", 0)});
    run.compare(
        QStringLiteral("ProrratearKilos (3000 items)"), [&] { return run.timeOnCopy(path, work); },
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

void headerAmount(corvelix::bench::Run& run) {
    const QString path = prepare(run, QStringLiteral("freight.db"));
    const auto work = [] {
        modDA::prorratear_DatosCaratula(large(), modDA::kCampoFlete, 98765.43);
    };
    const QVariant fob =
        modDA::getRs(modDA::kCatalog, "SELECT MDDTFOB FROM DDT WHERE IDDT = ?", {large()}).field(0);
    const QString shell = statementsOf(
        work, {one("MDDTFOB", fob), one("fob", fob), sharesAddUpTo(98765.43), one("total", 0)});
    // Twice in a row on each side (the same spread again): once takes a few milliseconds.
    run.compare(
        QStringLiteral("prorratear_DatosCaratula (3000 items)"),
        [&] {
            return run.timeOnCopy(path, [&] {
                work();
                work();
            });
        },
        [&] { return run.shellOnce(path, shell, true, 2); }, 2.0);
}

void copy(corvelix::bench::Run& run) {
    const QString path = prepare(run, QStringLiteral("copy.db"));
    const auto work = [] { modDA::copiarDeclaracion(large(), kDestination, {true, true}); };
    const QString shell = statementsOf(work, {one("IDDT", large()), one("IDDT", kDestination)});
    run.compare(
        QStringLiteral("copiarDeclaracion (3000 items, all tables)"),
        [&] { return run.timeOnCopy(path, work); },
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

} // namespace

CORVELIX_BENCH(prorating_kilos, netKilos)
CORVELIX_BENCH(prorating_header_amount, headerAmount)
CORVELIX_BENCH(declaration_copy, copy)
