// The item view on the large declaration: opening it (also as the first round of a fresh
// process), and each mode from its key to the grid filled, beside the same reads (work-table
// rebuilds included) typed into the sqlite3 shell; and the resident memory of a view opened
// and taken through every mode.

#include "bench.h"

#include "assembly/frmArmadoITEM.h"
#include "data/declaration_reads.h"
#include "data/demo_catalog.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTableView>

#include <functional>

namespace {

constexpr int kItems = 3000;

using corvelix::bench::statementsOf;

// The three work-table rebuilds as the catalog's procedures run them on SQLite.
QString workTables(const QString& iddt) {
    const auto list = [&](const char* create, const char* table, const char* columns,
                          const char* source, const char* key, const char* element,
                          const char* order, int limit) {
        const QString partition = QStringLiteral("PARTITION BY %1, NART").arg(QLatin1String(key));
        const QString window =
            *order == 0 ? partition
                        : partition + QStringLiteral(" ORDER BY %1 ROWS BETWEEN UNBOUNDED "
                                                     "PRECEDING AND UNBOUNDED FOLLOWING")
                                          .arg(QLatin1String(order));
        return QStringLiteral("%1;\nCREATE INDEX IF NOT EXISTS %2_KEY ON %2 (%10);\nDELETE FROM "
                              "%2;\nINSERT INTO %2 (%3) SELECT k, n, "
                              "trim(substr(substr(lista, 1, %4), 4)) FROM (SELECT %5 AS k, NART "
                              "AS n, group_concat(%6, '') OVER w AS lista, row_number() OVER w "
                              "AS r FROM %8 WHERE %5 = '%9' WINDOW w AS (%7)) WHERE r = 1 ORDER "
                              "BY k, n;\n")
            .arg(QLatin1String(create), QLatin1String(table), QLatin1String(columns))
            .arg(limit)
            .arg(QLatin1String(key), QLatin1String(element), window, QLatin1String(source), iddt)
            .arg(QString::fromLatin1(columns).section(QStringLiteral(", "), 0, 1));
    };
    return list("CREATE TABLE IF NOT EXISTS item_ventajas (iddt VARCHAR(16) COLLATE NOCASE, nart "
                "VARCHAR(4) COLLATE NOCASE, ventajas VARCHAR(5000) COLLATE NOCASE)",
                "item_ventajas", "iddt, nart, ventajas", "SRG", "ISRG", "'|#|' || IFNULL(CSRG, '')",
                "", 5000) +
           list("CREATE TABLE IF NOT EXISTS ITEM_INFOAD (IDDT VARCHAR(16) COLLATE NOCASE, NART "
                "VARCHAR(4) COLLATE NOCASE, INFOAD VARCHAR(8000) COLLATE NOCASE)",
                "ITEM_INFOAD", "IDDT, NART, INFOAD", "CPL", "ICPL",
                "'|#|' || IFNULL(CCPL, '') || '=' || IFNULL(MCPL, '')", "CCPL", 8000) +
           list("CREATE TABLE IF NOT EXISTS ITEM_DOCS (IDDT VARCHAR(16) COLLATE NOCASE, NART "
                "VARCHAR(4) COLLATE NOCASE, DOCS VARCHAR(8000) COLLATE NOCASE)",
                "ITEM_DOCS", "IDDT, NART, DOCS", "DVD", "IDVD",
                "'|#|' || IFNULL(CDVDDOC, '') || '=' || IFNULL(LDVDREFDOC, '')", "CDVDDOC", 8000);
}

void pulsar(frmArmadoITEM& vista, int key) {
    QWidget* grid = vista.findChild<corvelix::FlexGrid*>()->bodyView();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(grid, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(grid, &release);
    // Until the grid is laid out and drawn.
    QCoreApplication::processEvents();
}

// The reads of the view's opening: the header, the work tables, the items.
QString openingReads(const QString& d) {
    return statementsOf([&] { (void)modDA::getDDTByNumber(d); }) + QLatin1Char('\n') +
           workTables(d) + statementsOf([&] { (void)modDA::getITEMsByDespacho(d); });
}

// Opens a view on `d` and waits until it is laid out and drawn.
void abrir(frmArmadoITEM& vista, const QString& d) {
    vista.m_Operacion = d;
    vista.resize(1200, 800);
    vista.show();
    QCoreApplication::processEvents();
}

void itemView(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("itemview.db"));
    run.useCatalog(path);
    const QString d = modDA::kLargeDeclaration;

    const QString opening = openingReads(d);
    run.compare(
        QStringLiteral("item view open (3000 items)"),
        [&] {
            frmArmadoITEM otra;
            return run.timeOnce([&] { abrir(otra, d); });
        },
        [&] { return run.shellOnce(path, opening); }, 1.5);
    run.compareFirst(QStringLiteral("item view open"), "itemview_open", path, 1.5);

    frmArmadoITEM vista;
    abrir(vista, d);

    struct Mode {
        const char* label;
        int key;
        QString shell;
    };
    const Mode modes[] = {
        {"item view F1 items (3000 items)", Qt::Key_F1,
         workTables(d) + statementsOf([&] { (void)modDA::getITEMsByDespacho(d); })},
        {"item view F3 data (3000 items)", Qt::Key_F3,
         workTables(d) + statementsOf([&] { (void)modDA::getITEMs_Solodatos_ByDespacho(d); })},
        {"item view F4 liquidation (3000 items)", Qt::Key_F4,
         statementsOf([&] { (void)modDA::getLiquidacionFULL(d); })},
        {"item view F2 articles (12000 subitems)", Qt::Key_F2,
         statementsOf([&] { (void)modDA::getArticulosByDespacho(d, QString()); })},
    };
    for (const Mode& mode : modes) {
        run.compare(
            QLatin1String(mode.label), [&] { pulsar(vista, mode.key); }, path, mode.shell, 1.5);
    }

    run.inFreshProcess("itemview_memory", path);
}

// A view opened and taken through every mode, in a process that opened the catalog and did
// nothing else: the earlier cases of a run leave their heap with the process.
void memory(corvelix::bench::Run& run, const QString& path) {
    run.useCatalog(path);
    (void)modDA::dialect();
    run.memory(
        QStringLiteral("item view memory, every mode (3000 items)"),
        [&] {
            frmArmadoITEM vista;
            abrir(vista, modDA::kLargeDeclaration);
            for (const int key : {Qt::Key_F1, Qt::Key_F3, Qt::Key_F4, Qt::Key_F2})
                pulsar(vista, key);
        },
        150);
}

corvelix::bench::FirstTimes firstOpen(corvelix::bench::Run& run, const QString& path) {
    run.useCatalog(path);
    (void)modDA::dialect();
    const QString d = modDA::kLargeDeclaration;
    frmArmadoITEM vista;
    // The statements are taken after the timed open, which must be the process's first.
    const double ours = run.timeOnce([&] { abrir(vista, d); });
    return {ours, run.shellOnce(path, openingReads(d))};
}

} // namespace

CORVELIX_BENCH(itemview, itemView)
CORVELIX_BENCH_FIRST(itemview_open, firstOpen)
CORVELIX_BENCH_FRESH(itemview_memory, memory)
