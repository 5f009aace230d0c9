// Reading a 50,000-row, 10-column .xlsx (about 3.5 MB, its sheet 26 MB of XML), with the
// process's resident memory around the reading, beside `unzip -p` of the sheet piped into a
// streaming XML parse (`xmllint --stream --noout`) and beside LibreOffice converting the same
// file to CSV. Then the same table as a binary .xls, made from that .xlsx by LibreOffice, read
// beside LibreOffice converting the .xls to CSV. LibreOffice's time is taken less its time for
// a one-cell file of the same format: its start-up alone is seconds. A program missing or
// failing is a comparison not measured, which counts as over its goal. The machine may be
// busy: ours and each reference run in turn several times and the medians are compared.
// A second .xlsx holds texts only, so that the shared strings carry most of the work.

#include "bench.h"

#include "imports/HojaExcel.h"
#include "platform/FlexGrid.h"
#include "platform/SheetReader.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

constexpr int kRows = 50000;
constexpr int kTurns = 5;
constexpr int kCols = 10;

void addPart(QuaZip& zip, const QString& name, const QByteArray& data) {
    QuaZipFile f(&zip);
    f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 6);
    f.write(data);
    f.close();
}

QString colName(int c) {
    return QString(QChar(u'A' + c));
}

// Header row, then rows of `textColumns` texts (shared strings), numbers up to the ninth
// column and a date in the tenth.
void writeWorkbook(const QString& path, int textColumns = 4) {
    QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://"
                       "schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    QStringList strings;
    QByteArray row = "<row r=\"1\">";
    for (int c = 0; c < kCols; ++c) {
        row += "<c r=\"" + colName(c).toLatin1() + "1\" t=\"s\"><v>" +
               QByteArray::number(strings.size()) + "</v></c>";
        strings << QStringLiteral("Columna %1").arg(c + 1);
    }
    sheet += row + "</row>";
    for (int r = 2; r <= kRows + 1; ++r) {
        row = "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < kCols; ++c) {
            const QByteArray ref = colName(c).toLatin1() + QByteArray::number(r);
            if (c < textColumns) {
                strings << QStringLiteral("Texto %1-%2 con acentos: año").arg(r).arg(c);
                row += "<c r=\"" + ref + "\" t=\"s\"><v>" + QByteArray::number(strings.size() - 1) +
                       "</v></c>";
            } else if (c < 9) {
                row += "<c r=\"" + ref + "\"><v>" + QByteArray::number(r * 1.25 + c, 'g', 15) +
                       "</v></c>";
            } else {
                row += "<c r=\"" + ref + "\" s=\"1\"><v>" + QByteArray::number(45000 + r % 700) +
                       "</v></c>";
            }
        }
        sheet += row + "</row>";
    }
    sheet += "</sheetData></worksheet>";
    QByteArray shared = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas."
                        "openxmlformats.org/spreadsheetml/2006/main\">";
    for (const QString& s : strings)
        shared += "<si><t>" + s.toUtf8() + "</t></si>";
    shared += "</sst>";

    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QuaZip zip(&file);
    zip.open(QuaZip::mdCreate);
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    addPart(zip, QStringLiteral("[Content_Types].xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas."
            "openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
            "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
            "Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/xl/"
            "workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
            "spreadsheetml.sheet.main+xml\"/><Override PartName=\"/xl/worksheets/sheet1.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
            "worksheet+xml\"/><Override PartName=\"/xl/sharedStrings.xml\" ContentType=\""
            "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
            "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd."
            "openxmlformats-officedocument.spreadsheetml.styles+xml\"/></Types>");
    addPart(zip, QStringLiteral("_rels/.rels"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
            "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
                rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    addPart(zip, QStringLiteral("xl/workbook.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + main +
                "\" xmlns:r=\"" + rel +
                "\"><sheets><sheet name=\"Hoja1\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
                "</workbook>");
    addPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
            "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
                rel +
                "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
                "Type=\"" +
                rel +
                "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId3\" "
                "Type=\"" +
                rel + "/styles\" Target=\"styles.xml\"/></Relationships>");
    addPart(zip, QStringLiteral("xl/styles.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet xmlns=\"" + main +
                "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
                "</fonts><fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill>"
                "</fills><borders count=\"1\"><border/></borders><cellStyleXfs count=\"1\"><xf "
                "numFmtId=\"0\"/></cellStyleXfs><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf "
                "numFmtId=\"14\" applyNumberFormat=\"1\"/></cellXfs></styleSheet>");
    addPart(zip, QStringLiteral("xl/sharedStrings.xml"), shared);
    addPart(zip, QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    zip.close();
}

int readToGrid(const QString& path) {
    const corvelix::Sheet sheet = corvelix::readFirstSheet(path);
    const LecturaHoja lectura = leerHoja(sheet);
    corvelix::FlexGrid grid;
    grid.setCols(int(lectura.encabezados.size()));
    grid.setRows(int(lectura.filas.size()) + 2);
    grid.setTexts(2, lectura.filas);
    return grid.rows();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Prints our medians, alone and into the grid; false, counted as not measured, when either
// failed.
bool reportOurs(corvelix::bench::Run& run, const QString& label, const std::vector<double>& m) {
    std::printf("%-52s ours %9.2f ms (median of %d; %9.2f ms into the grid)\n", qPrintable(label),
                m[0], kTurns, m[1]);
    if (m[0] <= 0 || m[1] <= 0) {
        run.notMeasured(label);
        return false;
    }
    return true;
}

// One side of a comparison: its work, which tells whether it succeeded.
using Work = std::function<bool()>;

// Runs each work in turn `kTurns` times; the medians, in the same order, with 0 for a work
// that failed in any turn.
std::vector<double> medians(const std::vector<Work>& works) {
    std::vector<std::vector<double>> times(works.size());
    std::vector<bool> failed(works.size(), false);
    for (int t = 0; t < kTurns; ++t)
        for (std::size_t i = 0; i < works.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            if (!works[i]())
                failed[i] = true;
            times[i].push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    std::vector<double> out;
    for (std::size_t i = 0; i < works.size(); ++i)
        out.push_back(failed[i] ? 0 : median(times[i]));
    return out;
}

// Prints one reference's time and our ratio to it; a reference that did not run (a time of
// 0 or less) is not measured, and counts so.
void against(corvelix::bench::Run& run, const QString& label, const QString& reference,
             const QString& name, double ours, double theirs, double goal) {
    if (theirs <= 0) {
        std::printf("%-52s %s: NOT MEASURED\n", "", qPrintable(reference));
        run.notMeasured(label + QStringLiteral(" (") + name + QLatin1Char(')'));
        return;
    }
    const double ratio = ours / theirs;
    const bool over = ratio > goal;
    std::printf("%-52s %s %9.2f ms   ratio %6.3f  (goal <= %.1f)%s\n", "", qPrintable(reference),
                theirs, ratio, goal, over ? "  OVER" : "");
    if (over)
        run.noteOver(label + QStringLiteral(" (") + name + QLatin1Char(')'));
}

// LibreOffice without a window, with a profile of its own in the run's folder.
class Soffice {
public:
    explicit Soffice(const corvelix::bench::Run& run)
        : program_(QStandardPaths::findExecutable(QStringLiteral("soffice"))),
          profile_(QDir(run.folder()).filePath(QStringLiteral("soffice_profile"))) {}

    [[nodiscard]] bool installed() const { return !program_.isEmpty(); }

    // Converts `file` to the format `to` (an extension) into `outDir`; whether it wrote it.
    bool convert(const QString& file, const QString& to, const QString& outDir) const {
        const QString made =
            QDir(outDir).filePath(QFileInfo(file).completeBaseName() + QLatin1Char('.') + to);
        QFile::remove(made);
        QProcess p;
        p.start(program_, {QStringLiteral("-env:UserInstallation=file://") + profile_,
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"), to,
                           QStringLiteral("--outdir"), outDir, file});
        return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0 && QFileInfo(made).size() > 0;
    }

    // A file of one cell in the format `to`, made from a one-line CSV; empty when it failed.
    [[nodiscard]] QString oneCell(const QString& folder, const QString& to) const {
        const QString csv = QDir(folder).filePath(QStringLiteral("una_celda.csv"));
        QFile file(csv);
        if (!file.open(QIODevice::WriteOnly) || file.write("1\n") != 2)
            return {};
        file.close();
        const QString outDir = QDir(folder).filePath(QStringLiteral("una_celda_") + to);
        if (!convert(csv, to, outDir))
            return {};
        return QDir(outDir).filePath(QStringLiteral("una_celda.") + to);
    }

private:
    QString program_;
    QString profile_;
};

// LibreOffice's conversion of `path` to CSV beside ours, less its time for `oneCell` (its
// start-up): the works to time, and the line that reports them from their medians.
struct SofficeComparison {
    std::vector<Work> works;
    void report(corvelix::bench::Run& run, const QString& label, double ours,
                const std::vector<double>& m, std::size_t first, double goal) const {
        if (works.empty()) {
            std::printf("%-52s soffice: NOT MEASURED (%s)\n", "", qPrintable(why));
            run.notMeasured(label + QStringLiteral(" (soffice)"));
            return;
        }
        const double whole = m[first];
        const double start = m[first + 1];
        const QString reference =
            QStringLiteral("soffice --convert-to csv %1 ms less %2 ms for one cell:")
                .arg(whole, 0, 'f', 0)
                .arg(start, 0, 'f', 0);
        against(run, label, reference, QStringLiteral("soffice"), ours,
                whole > 0 && start > 0 ? whole - start : 0, goal);
    }
    QString why;
};

SofficeComparison sofficeComparison(const corvelix::bench::Run& run, const Soffice& soffice,
                                    const QString& path, const QString& format) {
    SofficeComparison comparison;
    if (!soffice.installed()) {
        comparison.why = QStringLiteral("not installed");
        return comparison;
    }
    const QString oneCell = soffice.oneCell(run.folder(), format);
    if (oneCell.isEmpty()) {
        comparison.why = QStringLiteral("it could not make a one-cell .") + format;
        return comparison;
    }
    const QString out = QDir(run.folder()).filePath(QStringLiteral("csv_") + format);
    comparison.works = {
        [soffice, path, out] { return soffice.convert(path, QStringLiteral("csv"), out); },
        [soffice, oneCell, out] { return soffice.convert(oneCell, QStringLiteral("csv"), out); },
    };
    return comparison;
}

// `unzip -p` of the package's `parts` piped into a streaming parse (`xmllint --stream
// --noout`), every part in turn; the work succeeds when every pipeline does. None when either
// program is missing.
std::optional<Work> streamingParse(const QString& path, const QStringList& parts) {
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (unzip.isEmpty() || xmllint.isEmpty())
        return std::nullopt;
    QStringList pipelines;
    for (const QString& part : parts)
        pipelines << QStringLiteral("'%1' -p '%2' %3 | '%4' --stream --noout -")
                         .arg(unzip, path, part, xmllint);
    const QString script = pipelines.join(QStringLiteral(" && "));
    return Work([script] {
        QProcess p;
        p.start(QStringLiteral("/bin/bash"),
                {QStringLiteral("-o"), QStringLiteral("pipefail"), QStringLiteral("-c"), script});
        return p.waitForFinished(300000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    });
}

// The memory of reading `path`, alone and into the grid, in a process that has done nothing
// else (making the workbooks and timing the reads leave their heap behind).
void memory(corvelix::bench::Run& run, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    run.memory(
        QStringLiteral("sheet reading %1 memory, reading").arg(name),
        [&] { (void)corvelix::readFirstSheet(path); }, 150);
    run.memory(
        QStringLiteral("sheet reading %1 memory, into the grid").arg(name),
        [&] { (void)readToGrid(path); }, 150);
}

void sheetReading(corvelix::bench::Run& run) {
    const QString path = QDir(run.folder()).filePath(QStringLiteral("hoja_50000x10.xlsx"));
    writeWorkbook(path);
    const QString size =
        QStringLiteral(" (%1 MB)").arg(double(QFileInfo(path).size()) / (1024 * 1024), 0, 'f', 1);
    if (readToGrid(path) != kRows + 2) {
        std::printf("sheet reading: the generated sheet did not read back whole\n");
        run.notMeasured(QStringLiteral("sheet reading, 50,000 x 10 .xlsx"));
        return;
    }
    const QString label = QStringLiteral("sheet reading, 50,000 x 10 .xlsx") + size;

    std::vector<Work> works{
        [&] { return corvelix::readFirstSheet(path).lastRow() == kRows + 1; },
        [&] { return readToGrid(path) == kRows + 2; },
    };
    // The same sheet's XML through a streaming parse.
    const std::optional<Work> parse =
        streamingParse(path, {QStringLiteral("xl/worksheets/sheet1.xml")});
    const bool streaming = parse.has_value();
    if (streaming)
        works.push_back(*parse);
    const Soffice soffice(run);
    const SofficeComparison againstSoffice =
        sofficeComparison(run, soffice, path, QStringLiteral("xlsx"));
    works.insert(works.end(), againstSoffice.works.begin(), againstSoffice.works.end());

    const std::vector<double> m = medians(works);
    const double ours = m[0];
    if (!reportOurs(run, label, m))
        return;
    std::size_t next = 2;
    if (streaming)
        against(run, label, QStringLiteral("unzip -p sheet | xmllint --stream"),
                QStringLiteral("streaming parse"), ours, m[next++], 1.5);
    else
        against(run, label, QStringLiteral("unzip -p sheet | xmllint --stream (not installed)"),
                QStringLiteral("streaming parse"), ours, 0, 1.5);
    againstSoffice.report(run, label, ours, m, next, 0.1);
    run.inFreshProcess("sheet_memory", path);
}

// A table of texts only: 50,000 rows of ten shared strings each, so that most of the work is
// in the shared strings. Both parts the reading needs, the shared strings and the sheet, are
// parsed on the other side too.
void textSheetReading(corvelix::bench::Run& run) {
    const QString name = QStringLiteral("sheet reading, 50,000 x 10 texts .xlsx");
    const QString path = QDir(run.folder()).filePath(QStringLiteral("textos_50000x10.xlsx"));
    writeWorkbook(path, kCols);
    if (readToGrid(path) != kRows + 2) {
        std::printf("%-52s the generated sheet did not read back whole: NOT MEASURED\n",
                    qPrintable(name));
        run.notMeasured(name);
        return;
    }
    const QString label = QStringLiteral("%1 (%2 MB)")
                              .arg(name)
                              .arg(double(QFileInfo(path).size()) / (1024 * 1024), 0, 'f', 1);
    std::vector<Work> works{
        [&] { return corvelix::readFirstSheet(path).lastRow() == kRows + 1; },
        [&] { return readToGrid(path) == kRows + 2; },
    };
    const std::optional<Work> parse = streamingParse(
        path, {QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/worksheets/sheet1.xml")});
    const bool streaming = parse.has_value();
    if (streaming)
        works.push_back(*parse);
    const std::vector<double> m = medians(works);
    if (!reportOurs(run, label, m))
        return;
    against(run, label,
            streaming ? QStringLiteral("unzip -p strings, sheet | xmllint --stream")
                      : QStringLiteral("unzip -p | xmllint --stream (not installed)"),
            QStringLiteral("streaming parse"), m[0], streaming ? m[2] : 0, 1.5);
    run.inFreshProcess("sheet_memory", path);
}

// The same table as a binary .xls, which LibreOffice makes from the .xlsx.
void xlsReading(corvelix::bench::Run& run) {
    const QString name = QStringLiteral("sheet reading, 50,000 x 10 .xls");
    const Soffice soffice(run);
    if (!soffice.installed()) {
        std::printf("%-52s soffice not installed, no .xls to read: NOT MEASURED\n",
                    qPrintable(name));
        run.notMeasured(name);
        return;
    }
    const QDir folder(run.folder());
    const QString xlsx = folder.filePath(QStringLiteral("tabla_50000x10.xlsx"));
    writeWorkbook(xlsx);
    const QString made = folder.filePath(QStringLiteral("xls"));
    const QString path = QDir(made).filePath(QStringLiteral("tabla_50000x10.xls"));
    if (!soffice.convert(xlsx, QStringLiteral("xls"), made)) {
        std::printf("%-52s LibreOffice did not make it: NOT MEASURED\n", qPrintable(name));
        run.notMeasured(name);
        return;
    }
    const QString label = QStringLiteral("%1 (%2 MB)")
                              .arg(name)
                              .arg(double(QFileInfo(path).size()) / (1024 * 1024), 0, 'f', 1);
    if (readToGrid(path) != kRows + 2) {
        std::printf("%-52s it did not read back whole: NOT MEASURED\n", qPrintable(name));
        run.notMeasured(name);
        return;
    }

    std::vector<Work> works{
        [&] { return corvelix::readFirstSheet(path).lastRow() == kRows + 1; },
        [&] { return readToGrid(path) == kRows + 2; },
    };
    const SofficeComparison againstSoffice =
        sofficeComparison(run, soffice, path, QStringLiteral("xls"));
    works.insert(works.end(), againstSoffice.works.begin(), againstSoffice.works.end());
    const std::vector<double> m = medians(works);
    if (!reportOurs(run, label, m))
        return;
    againstSoffice.report(run, label, m[0], m, 2, 0.5);
    run.inFreshProcess("sheet_memory", path);
}

} // namespace

CORVELIX_BENCH(sheet_reading, sheetReading)
CORVELIX_BENCH(sheet_reading_xls, xlsReading)
CORVELIX_BENCH(sheet_reading_texts, textSheetReading)
CORVELIX_BENCH_FRESH(sheet_memory, memory)
