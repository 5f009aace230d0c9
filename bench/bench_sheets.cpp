// Reading a 10,000-row, 10-column .xlsx into the column-assignment grid's cells, with the
// process's peak memory during the reading, beside LibreOffice converting the same file to CSV
// (when it is installed; the figure is skipped with a note otherwise).

#include "bench.h"

#include "imports/HojaExcel.h"
#include "platform/FlexGrid.h"
#include "platform/SheetReader.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <cstdio>

namespace {

constexpr int kRows = 10000;
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

// Header row, then rows of four texts (shared strings), five numbers and a date.
void writeWorkbook(const QString& path) {
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
            if (c < 4) {
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

void sheetReading(corvelix::bench::Run& run) {
    const QString path = QDir(run.folder()).filePath(QStringLiteral("hoja_10000x10.xlsx"));
    writeWorkbook(path);
    if (readToGrid(path) != kRows + 2) {
        std::printf("sheet reading: the generated sheet did not read back whole\n");
        return;
    }
    resetPeak();
    const double before = peakMb();
    const double ours = run.time([&] { (void)readToGrid(path); });
    const double peak = peakMb();

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const QString label = QStringLiteral("sheet reading, 10,000 x 10 .xlsx to the grid");
    if (soffice.isEmpty()) {
        std::printf("%-48s ours %9.2f ms   peak %.1f MB (%.1f MB before; goal <= 150 MB)\n"
                    "%-48s soffice not installed: no LibreOffice comparison\n",
                    qPrintable(label), ours, peak, before, "");
        if (peak > 150)
            run.noteOver(label);
        return;
    }
    const QString profile = QDir(run.folder()).filePath(QStringLiteral("soffice_profile"));
    const QString out = QDir(run.folder()).filePath(QStringLiteral("csv"));
    const auto convert = [&] {
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile,
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                          QStringLiteral("csv"), QStringLiteral("--outdir"), out, path});
        p.waitForFinished(300000);
    };
    convert(); // the first start builds the profile
    const double theirs = run.time(convert, 2);
    const bool converted = QFile::exists(QDir(out).filePath(QStringLiteral("hoja_10000x10.csv")));
    std::printf("%-48s ours %9.2f ms   soffice --convert-to csv %9.2f ms%s   ratio %6.3f  "
                "(goal <= 0.05)\n%-48s peak %.1f MB while reading (%.1f MB before; goal <= 150 "
                "MB)\n",
                qPrintable(label), ours, theirs, converted ? "" : " (no csv written!)",
                ours / theirs, "", peak, before);
    if (ours / theirs > 0.05 || peak > 150)
        run.noteOver(label);
}

} // namespace

CORVELIX_BENCH(sheet_reading, sheetReading)
