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
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <malloc.h>

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

// The statement a read sends, as the shell runs it: values in place of the placeholders and
// the shell's clock in place of GETDATE().
QString shellText(const std::function<void()>& read) {
    QString script;
    modDA::StatementCapture capture(modDA::Dialect::Sqlite);
    read();
    static const QRegularExpression clock(QStringLiteral("GETDATE\\(\\)"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const auto& statement : capture.statements()) {
        QString text = statement.text;
        for (const QVariant& value : statement.params)
            text.replace(text.indexOf(QLatin1Char('?')), 1,
                         QLatin1Char('\'') + value.toString() + QLatin1Char('\''));
        text.replace(clock, QStringLiteral("datetime('now','localtime')"));
        script += text + QStringLiteral(";\n");
    }
    return script;
}

// Every read of the ten sheets, in their order, with the pivot tables present.
QString exportReads(const QString& iddt) {
    using modDA::PivotTable;
    QString script;
    script += shellText([&] { (void)modDA::getDDTByNumber(iddt); });
    script += shellText([&] { (void)modDA::pivotRows(PivotTable::CPL); });
    script += shellText([&] { (void)modDA::getDocumentosCaratula(iddt, true); });
    for (const PivotTable table : {PivotTable::DVD, PivotTable::CPL, PivotTable::SRG}) {
        script += shellText([&] { (void)modDA::pivotTableExists(table); });
        script += shellText([&] { (void)modDA::pivotFirstRow(table); });
    }
    script += shellText([&] { (void)modDA::getITEMsPIVOT(iddt, true, true, true); });
    script += shellText([&] { (void)modDA::getArticulosByDespacho_FULL(iddt, QString()); });
    script += shellText([&] { (void)modDA::getDescargas(iddt); });
    script += shellText([&] { (void)modDA::getBultos(iddt); });
    script += shellText([&] { (void)modDA::getDCEXP(iddt); });
    script += shellText([&] { (void)modDA::getPACROM(iddt); });
    script += shellText([&] { (void)modDA::getTipoCotiz(iddt); });
    script += shellText([&] { (void)modDA::getLiquidacionTOTAL(iddt); });
    script += shellText([&] { (void)modDA::getLiquidacionItems(iddt); });
    script += shellText([&] { (void)modDA::getJurisdicciones(iddt); });
    script += shellText([&] { (void)modDA::getCIB(iddt); });
    return script;
}

// kB of one line of /proc/self/status.
long statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Starts a new peak: memory earlier cases freed goes back to the system (the program keeps it
// for its next reads), and the high-water mark goes back to what is resident now.
void resetPeak() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void workbook(corvelix::bench::Run& run) {
    const QString path = run.makeCatalog(kItems, QStringLiteral("workbook.db"));
    run.useCatalog(path);
    const QString iddt = modDA::kLargeDeclaration;
    const QString out = QDir(run.folder()).filePath(QStringLiteral("libro.xls"));

    ExportUi seam(out);
    corvelix::Ui* previous = corvelix::setUi(&seam);
    const auto exportar = [&] {
        mainModule::GenerarArchivoDespacho(iddt, QStringLiteral("GRANDE"));
        if (!seam.lastBox.startsWith(QLatin1String("Se genero el archivo "))) {
            std::fprintf(stderr, "bench: %s\n", qPrintable(seam.lastBox));
            std::exit(1);
        }
    };
    exportar(); // warms the catalog's pages, as the shell's runs find them
    const qint64 size = QFileInfo(out).size();

    // The same reads, then a file of the same size written by the shell.
    const QString written = QDir(run.folder()).filePath(QStringLiteral("shell_libro.xls"));
    const QString script =
        exportReads(iddt) +
        QStringLiteral("SELECT writefile('%1', zeroblob(%2));").arg(written).arg(size);
    run.compare(QStringLiteral("GenerarArchivoDespacho, ten sheets (3000 items)"), exportar, path,
                script, 2.0);

    // Memory: the growth of the process while one export runs, and its peak.
    resetPeak();
    const long before = statusKb("VmRSS:");
    exportar();
    const long peak = statusKb("VmHWM:");
    std::printf("%-48s file %.1f MB   peak RSS %.1f MB (%.1f MB above the %.1f MB before)  "
                "(goal <= 150 MB)%s\n",
                "GenerarArchivoDespacho memory", size / 1048576.0, peak / 1024.0,
                (peak - before) / 1024.0, before / 1024.0, peak > 150 * 1024 ? "  OVER" : "");
    std::fflush(stdout);
    if (peak > 150 * 1024)
        run.noteOver(QStringLiteral("GenerarArchivoDespacho memory"));
    corvelix::setUi(previous);
}

} // namespace

CORVELIX_BENCH(workbook_export, workbook)
