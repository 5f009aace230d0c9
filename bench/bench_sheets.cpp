// Reading a 50,000-row, 10-column .xlsx (about 3.5 MB, its sheet 26 MB of XML), with the
// process's peak memory during the reading, beside `unzip -p` of the sheet piped into a streaming
// XML parse (`xmllint --stream --noout`) and beside LibreOffice converting the same file to CSV
// (each when installed; the figure is skipped with a note otherwise). Then the same table as a
// binary .xls, made from that .xlsx by LibreOffice, read beside LibreOffice converting the .xls
// to CSV (skipped without soffice). The machine may be busy: ours and each reference run in
// turn several times and the medians are compared.

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

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// The process's peak resident memory in MB, and a way to start counting it again.
double peakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void resetPeak() {
    malloc_trim(0); // what earlier work freed does not count
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
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

double elapsedMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs `ours` and each reference in turn `kTurns` times; the medians, in the same order.
std::vector<double> medians(const std::vector<std::function<void()>>& works) {
    std::vector<std::vector<double>> times(works.size());
    for (int t = 0; t < kTurns; ++t)
        for (std::size_t i = 0; i < works.size(); ++i)
            times[i].push_back(elapsedMs(works[i]));
    std::vector<double> out;
    for (const auto& v : times)
        out.push_back(median(v));
    return out;
}

// The process's peak memory before reading, while reading alone, and while reading into the grid.
struct Peaks {
    double before = 0;
    double read = 0;
    double grid = 0;
};

Peaks measurePeaks(const QString& path) {
    Peaks peaks;
    resetPeak();
    peaks.before = peakMb();
    (void)corvelix::readFirstSheet(path);
    peaks.read = peakMb();
    resetPeak();
    (void)readToGrid(path);
    peaks.grid = peakMb();
    return peaks;
}

void sheetReading(corvelix::bench::Run& run) {
    const QString path = QDir(run.folder()).filePath(QStringLiteral("hoja_50000x10.xlsx"));
    writeWorkbook(path);
    if (readToGrid(path) != kRows + 2) {
        std::printf("sheet reading: the generated sheet did not read back whole\n");
        return;
    }
    const QString label = QStringLiteral("sheet reading, 50,000 x 10 .xlsx (%1 MB)")
                              .arg(double(QFileInfo(path).size()) / (1024 * 1024), 0, 'f', 1);

    const Peaks peaks = measurePeaks(path);

    // unzip -p | xmllint --stream --noout, the same sheet's XML
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    std::vector<std::function<void()>> works{
        [&] { (void)corvelix::readFirstSheet(path); },
        [&] { (void)readToGrid(path); },
    };
    if (!unzip.isEmpty() && !xmllint.isEmpty())
        works.emplace_back([&] {
            QProcess p;
            p.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("'%1' -p '%2' xl/worksheets/sheet1.xml | '%3' --stream "
                                    "--noout -")
                         .arg(unzip, path, xmllint)});
            p.waitForFinished(300000);
        });
    const QString profile = QDir(run.folder()).filePath(QStringLiteral("soffice_profile"));
    const QString out = QDir(run.folder()).filePath(QStringLiteral("csv"));
    const auto convert = [&] {
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile,
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                          QStringLiteral("csv"), QStringLiteral("--outdir"), out, path});
        p.waitForFinished(300000);
    };
    if (!soffice.isEmpty()) {
        convert(); // the first start builds the profile
        works.emplace_back(convert);
    }
    const std::vector<double> m = medians(works);
    const double ours = m[0];
    std::printf("%-52s ours %9.2f ms (median of %d; %9.2f ms into the grid)\n", qPrintable(label),
                ours, kTurns, m[1]);
    std::size_t next = 2;
    if (!unzip.isEmpty() && !xmllint.isEmpty()) {
        const double stream = m[next++];
        std::printf("%-52s unzip -p sheet | xmllint --stream %9.2f ms   ratio %6.3f  (goal <= "
                    "1.5)\n",
                    "", stream, ours / stream);
        if (ours / stream > 1.5)
            run.noteOver(label + QStringLiteral(" (streaming parse)"));
    } else {
        std::printf("%-52s unzip or xmllint not installed: no streaming-parse comparison\n", "");
    }
    if (!soffice.isEmpty()) {
        const double theirs = m[next++];
        const bool converted =
            QFile::exists(QDir(out).filePath(QStringLiteral("hoja_50000x10.csv")));
        std::printf("%-52s soffice --convert-to csv %9.2f ms%s   ratio %6.3f  (goal <= 0.1)\n", "",
                    theirs, converted ? "" : " (no csv written!)", ours / theirs);
        if (ours / theirs > 0.1)
            run.noteOver(label + QStringLiteral(" (soffice)"));
    } else {
        std::printf("%-52s soffice not installed: no LibreOffice comparison\n", "");
    }
    std::printf("%-52s peak %.1f MB while reading, %.1f MB into the grid (%.1f MB before; goal "
                "<= 150 MB)\n",
                "", peaks.read, peaks.grid, peaks.before);
    if (peaks.read > 150 || peaks.grid > 150)
        run.noteOver(label + QStringLiteral(" (memory)"));
}

// A table of texts only: 50,000 rows of ten shared strings each, so that most of the work is
// in the shared strings. Both parts the reading needs, the shared strings and the sheet, are
// parsed on the other side too.
void textSheetReading(corvelix::bench::Run& run) {
    const QString path = QDir(run.folder()).filePath(QStringLiteral("textos_50000x10.xlsx"));
    writeWorkbook(path, kCols);
    if (readToGrid(path) != kRows + 2) {
        std::printf("text sheet reading: the generated sheet did not read back whole\n");
        return;
    }
    const QString label = QStringLiteral("sheet reading, 50,000 x 10 texts .xlsx (%1 MB)")
                              .arg(double(QFileInfo(path).size()) / (1024 * 1024), 0, 'f', 1);
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (unzip.isEmpty() || xmllint.isEmpty()) {
        std::printf("%-52s unzip or xmllint not installed: no streaming-parse comparison\n",
                    qPrintable(label));
        return;
    }
    const Peaks peaks = measurePeaks(path);
    const QString parse = QStringLiteral("'%1' -p '%2' %3 | '%4' --stream --noout -");
    const QString script =
        parse.arg(unzip, path, QStringLiteral("xl/sharedStrings.xml"), xmllint) +
        QStringLiteral(" && ") +
        parse.arg(unzip, path, QStringLiteral("xl/worksheets/sheet1.xml"), xmllint);
    const std::vector<double> m = medians({
        [&] { (void)corvelix::readFirstSheet(path); },
        [&] { (void)readToGrid(path); },
        [&] {
            QProcess p;
            p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
            p.waitForFinished(300000);
        },
    });
    std::printf("%-52s ours %9.2f ms (median of %d; %9.2f ms into the grid)\n"
                "%-52s unzip -p strings, sheet | xmllint --stream %9.2f ms   ratio %6.3f  (goal "
                "<= 1.5)\n"
                "%-52s peak %.1f MB while reading, %.1f MB into the grid (%.1f MB before; goal "
                "<= 150 MB)\n",
                qPrintable(label), m[0], kTurns, m[1], "", m[2], m[0] / m[2], "", peaks.read,
                peaks.grid, peaks.before);
    if (m[0] / m[2] > 1.5)
        run.noteOver(label + QStringLiteral(" (streaming parse)"));
    if (peaks.read > 150 || peaks.grid > 150)
        run.noteOver(label + QStringLiteral(" (memory)"));
}

// The same table as a binary .xls, which LibreOffice makes from the .xlsx.
void xlsReading(corvelix::bench::Run& run) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("%-52s soffice not installed: no .xls to read, no LibreOffice comparison\n",
                    "sheet reading, 50,000 x 10 .xls");
        return;
    }
    const QDir folder(run.folder());
    const QString profile = folder.filePath(QStringLiteral("soffice_profile"));
    const auto convert = [&](const QString& file, const QString& to, const QString& outDir) {
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile,
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"), to,
                          QStringLiteral("--outdir"), outDir, file});
        p.waitForFinished(600000);
    };
    const QString xlsx = folder.filePath(QStringLiteral("tabla_50000x10.xlsx"));
    writeWorkbook(xlsx);
    const QString made = folder.filePath(QStringLiteral("xls"));
    convert(xlsx, QStringLiteral("xls"), made);
    const QString path = QDir(made).filePath(QStringLiteral("tabla_50000x10.xls"));
    if (!QFileInfo::exists(path) || readToGrid(path) != kRows + 2) {
        std::printf("sheet reading, 50,000 x 10 .xls: LibreOffice did not make it, or it did not "
                    "read back whole\n");
        return;
    }
    const QString label = QStringLiteral("sheet reading, 50,000 x 10 .xls (%1 MB)")
                              .arg(double(QFileInfo(path).size()) / (1024 * 1024), 0, 'f', 1);
    const Peaks peaks = measurePeaks(path);

    const QString out = folder.filePath(QStringLiteral("csv_xls"));
    const std::vector<double> m = medians({
        [&] { (void)corvelix::readFirstSheet(path); },
        [&] { (void)readToGrid(path); },
        [&] { convert(path, QStringLiteral("csv"), out); },
    });
    const bool converted = QFile::exists(QDir(out).filePath(QStringLiteral("tabla_50000x10.csv")));
    std::printf("%-52s ours %9.2f ms (median of %d; %9.2f ms into the grid)\n"
                "%-52s soffice --convert-to csv %9.2f ms%s   ratio %6.3f  (goal <= 0.5)\n"
                "%-52s peak %.1f MB while reading, %.1f MB into the grid (%.1f MB before; goal "
                "<= 150 MB)\n",
                qPrintable(label), m[0], kTurns, m[1], "", m[2],
                converted ? "" : " (no csv written!)", m[0] / m[2], "", peaks.read, peaks.grid,
                peaks.before);
    if (m[0] / m[2] > 0.5)
        run.noteOver(label + QStringLiteral(" (soffice)"));
    if (peaks.read > 150 || peaks.grid > 150)
        run.noteOver(label + QStringLiteral(" (memory)"));
}

} // namespace

CORVELIX_BENCH(sheet_reading, sheetReading)
CORVELIX_BENCH(sheet_reading_xls, xlsReading)
CORVELIX_BENCH(sheet_reading_texts, textSheetReading)
