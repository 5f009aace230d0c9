// The ten-sheet workbook of the large declaration through its driver, beside the sqlite3 shell
// running the same reads and writing a file of the same size; and the export's peak memory.

#include "bench.h"

#include "data/cancellations.h"
#include "data/declaration_reads.h"
#include "data/demo_catalog.h"
#include "data/export_reads.h"
#include "data/invoices.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "data/workbook_reads.h"
#include "runtime/Ui.h"
#include "workbook_export/main_workbook.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <functional>

namespace {

constexpr int kItems = 3000;

// Answers the save dialog with one path and takes the closing message.
class ExportUi : public corvelix::Ui {
public:
    explicit ExportUi(QString path) : path_(std::move(path)) {}
    corvelix::MsgResult msgBox(const QString& text, corvelix::MsgButtons, corvelix::MsgIcon,
                               const QString&, corvelix::MsgDefault) override {
        lastBox = text;
        return corvelix::MsgResult::Ok;
    }
    int exec(QDialog&) override { return 0; }
    void show(QWidget&) override {}
    QString saveFileName(const corvelix::FileDialogRequest&) override { return path_; }
    QString openFileName(const corvelix::FileDialogRequest&) override { return {}; }
    QString clipboardText() override { return {}; }
    bool openUrl(const QUrl&) override { return false; }
    void setBusy(bool) override {}
    void processEvents() override {}
    [[noreturn]] void quit(int code) override { std::exit(code); }

    QString lastBox;

private:
    QString path_;
};

using corvelix::bench::statementsOf;

// Every read of the ten sheets, in their order, with the pivot tables present.
QString exportReads(const QString& iddt) {
    using modDA::PivotTable;
    QStringList script;
    script << statementsOf([&] { (void)modDA::getDDTByNumber(iddt); });
    script << statementsOf([&] { (void)modDA::pivotRows(PivotTable::CPL); });
    script << statementsOf([&] { (void)modDA::getDocumentosCaratula(iddt, true); });
    for (const PivotTable table : {PivotTable::DVD, PivotTable::CPL, PivotTable::SRG}) {
        script << statementsOf([&] { (void)modDA::pivotTableExists(table); });
        script << statementsOf([&] { (void)modDA::pivotFirstRow(table); });
    }
    script << statementsOf([&] { (void)modDA::getITEMsPIVOT(iddt, true, true, true); });
    script << statementsOf([&] { (void)modDA::getArticulosByDespacho_FULL(iddt, QString()); });
    script << statementsOf([&] { (void)modDA::getDescargas(iddt); });
    script << statementsOf([&] { (void)modDA::getBultos(iddt); });
    script << statementsOf([&] { (void)modDA::getDCEXP(iddt); });
    script << statementsOf([&] { (void)modDA::getPACROM(iddt); });
    script << statementsOf([&] { (void)modDA::getTipoCotiz(iddt); });
    script << statementsOf([&] { (void)modDA::getLiquidacionTOTAL(iddt); });
    script << statementsOf([&] { (void)modDA::getLiquidacionItems(iddt); });
    script << statementsOf([&] { (void)modDA::getJurisdicciones(iddt); });
    script << statementsOf([&] { (void)modDA::getCIB(iddt); });
    return script.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// One export of the large declaration through the seam, which must end with its message.
void exportar(ExportUi& seam) {
    mainModule::GenerarArchivoDespacho(modDA::kLargeDeclaration, QStringLiteral("GRANDE"));
    if (!seam.lastBox.startsWith(QLatin1String("Se genero el archivo "))) {
        std::fprintf(stderr, "bench: %s\n", qPrintable(seam.lastBox));
        std::exit(1);
    }
}

void workbook(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("workbook.db"));
    run.useCatalog(path);
    const QString iddt = modDA::kLargeDeclaration;
    const QString out = QDir(run.folder()).filePath(QStringLiteral("libro.xls"));

    ExportUi seam(out);
    corvelix::Ui* previous = corvelix::setUi(&seam);
    const auto exportar = [&] { ::exportar(seam); };
    exportar(); // warms the catalog's pages, as the shell's runs find them
    const qint64 size = QFileInfo(out).size();

    // The same reads, then a file of the same size written by the shell.
    const QString written = QDir(run.folder()).filePath(QStringLiteral("shell_libro.xls"));
    const QString script =
        exportReads(iddt) +
        QStringLiteral("SELECT writefile('%1', zeroblob(%2));").arg(written).arg(size);
    run.compare(QStringLiteral("GenerarArchivoDespacho, ten sheets (3000 items)"), exportar, path,
                script, 2.0);

    corvelix::setUi(previous);
    run.inFreshProcess("workbook_memory", path);
}

// The export's memory in a process that opened the catalog and did nothing else: the earlier
// cases of a run leave their heap with the process.
void memory(corvelix::bench::Run& run, const QString& path) {
    run.useCatalog(path);
    (void)modDA::dialect();
    const QString out = QDir(run.folder()).filePath(QStringLiteral("libro.xls"));
    ExportUi seam(out);
    corvelix::Ui* previous = corvelix::setUi(&seam);
    run.memory(
        QStringLiteral("GenerarArchivoDespacho memory (3000 items)"), [&] { exportar(seam); }, 150);
    corvelix::setUi(previous);
}

} // namespace

CORVELIX_BENCH(workbook_export, workbook)
CORVELIX_BENCH_FRESH(workbook_memory, memory)
