// Reading a 50,000-row, 10-column binary .xls into the column-assignment grid's cells, with the
// process's peak memory during the reading, beside LibreOffice converting the same file to CSV.
// The .xls is LibreOffice's own, converted from an .xlsx of the same table as the .xlsx
// figure's (four texts, five numbers and a date a row); without soffice the figure is skipped
// with a note. The machine may be busy: ours and LibreOffice run in turn, best of each.

#include "bench.h"

#include "imports/HojaExcel.h"
#include "platform/FlexGrid.h"
#include "platform/SheetReader.h"

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

namespace {

constexpr int kRows = 50000;
constexpr int kCols = 10;
constexpr int kTurns = 3;

void addPart(QuaZip& zip, const QString& name, const QByteArray& data) {
    QuaZipFile f(&zip);
    f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 6);
    f.write(data);
    f.close();
}

// The table as an .xlsx with inline texts, for LibreOffice to convert.
void writeXlsx(const QString& path) {
    QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://"
                       "schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    const auto ref = [](int c, int r) { return QByteArray(1, char('A' + c)) + QByteArray::number(r); };
    const auto text = [&](int c, int r, const QString& s) {
        return "<c r=\"" + ref(c, r) + "\" t=\"inlineStr\"><is><t>" + s.toUtf8() + "</t></is></c>";
    };
    sheet += "<row r=\"1\">";
    for (int c = 0; c < kCols; ++c)
        sheet += text(c, 1, QStringLiteral("Columna %1").arg(c + 1));
    sheet += "</row>";
    for (int r = 2; r <= kRows + 1; ++r) {
        sheet += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < kCols; ++c) {
            if (c < 4)
                sheet += text(c, r, QStringLiteral("Texto %1-%2 con acentos: año").arg(r).arg(c));
            else if (c < 9)
                sheet += "<c r=\"" + ref(c, r) + "\"><v>" +
                         QByteArray::number(r * 1.25 + c, 'g', 15) + "</v></c>";
            else
                sheet += "<c r=\"" + ref(c, r) + "\" s=\"1\"><v>" +
                         QByteArray::number(45000 + r % 700) + "</v></c>";
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const QByteArray pkg = "http://schemas.openxmlformats.org/package/2006/relationships";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QuaZip zip(&file);
    zip.open(QuaZip::mdCreate);
    addPart(zip, QStringLiteral("[Content_Types].xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas."
            "openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
            "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
            "Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/xl/"
            "workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
            "spreadsheetml.sheet.main+xml\"/><Override PartName=\"/xl/worksheets/sheet1.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
            "worksheet+xml\"/><Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/></Types>");
    addPart(zip, QStringLiteral("_rels/.rels"),
            "<Relationships xmlns=\"" + pkg + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    addPart(zip, QStringLiteral("xl/workbook.xml"),
            "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                "\"><sheets><sheet name=\"Hoja1\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
                "</workbook>");
    addPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"),
            "<Relationships xmlns=\"" + pkg + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
                "Type=\"" + rel + "/styles\" Target=\"styles.xml\"/></Relationships>");
    addPart(zip, QStringLiteral("xl/styles.xml"),
            "<styleSheet xmlns=\"" + main +
                "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
                "</fonts><fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill>"
                "</fills><borders count=\"1\"><border/></borders><cellStyleXfs count=\"1\"><xf "
                "numFmtId=\"0\"/></cellStyleXfs><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf "
                "numFmtId=\"14\" applyNumberFormat=\"1\"/></cellXfs></styleSheet>");
    addPart(zip, QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    zip.close();
}

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

void xlsReading(corvelix::bench::Run& run) {
    const QString label = QStringLiteral("sheet reading, 50,000 x 10 .xls to the grid");
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("%-48s soffice not installed: no .xls to read, no LibreOffice comparison\n",
                    qPrintable(label));
        return;
    }
    const QDir folder(run.folder());
    const QString profile = folder.filePath(QStringLiteral("soffice_profile_xls"));
    const auto convert = [&](const QString& file, const QString& to, const QString& out) {
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile,
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"), to,
                          QStringLiteral("--outdir"), out, file});
        p.waitForFinished(600000);
    };
    const QString xlsx = folder.filePath(QStringLiteral("tabla_50000x10.xlsx"));
    writeXlsx(xlsx);
    const QString made = folder.filePath(QStringLiteral("xls"));
    convert(xlsx, QStringLiteral("xls"), made);
    const QString path = QDir(made).filePath(QStringLiteral("tabla_50000x10.xls"));
    if (!QFileInfo::exists(path) || readToGrid(path) != kRows + 2) {
        std::printf("%-48s LibreOffice did not make the .xls, or it did not read back whole\n",
                    qPrintable(label));
        return;
    }
    // What the making of the file left free goes back to the system first, so that the peak
    // counts the reading.
    malloc_trim(0);
    resetPeak();
    const double before = peakMb();
    const QString out = folder.filePath(QStringLiteral("csv_xls"));
    double ours = 1e300;
    double theirs = 1e300;
    for (int t = 0; t < kTurns; ++t) {
        ours = std::min(ours, elapsedMs([&] { (void)readToGrid(path); }));
        theirs = std::min(theirs, elapsedMs([&] { convert(path, QStringLiteral("csv"), out); }));
    }
    // LibreOffice runs in its own process: the peak is ours alone.
    const double peak = peakMb();
    const bool converted = QFile::exists(QDir(out).filePath(QStringLiteral("tabla_50000x10.csv")));
    std::printf("%-48s ours %9.2f ms   soffice --convert-to csv %9.2f ms%s   ratio %6.3f  "
                "(goal <= 0.5)\n%-48s %.1f MB file; peak %.1f MB while reading (%.1f MB before; "
                "goal <= 150 MB)\n",
                qPrintable(label), ours, theirs, converted ? "" : " (no csv written!)",
                ours / theirs, "", double(QFileInfo(path).size()) / (1024 * 1024), peak, before);
}

} // namespace

CORVELIX_BENCH(sheet_reading_xls, xlsReading)
