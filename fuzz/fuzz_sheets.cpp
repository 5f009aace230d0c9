// libFuzzer entry points of the spreadsheet reader. Each target feeds one format's reader:
//   xlsx  the parts of a workbook (workbook, its relationships, sheet, shared strings, styles)
//         separated by the byte 0x1E, zipped here so that the XML readers see the mutations
//   ods   the content.xml of a spreadsheet, zipped here
//   xml   an XML workbook;  text  delimited text
//   biff  a binary workbook: a compound document, or a bare record stream (the workbook
//         stream alone reaches the records without the container's checks in the way)
//   any   raw bytes through the content sniffing, as a file from a user arrives
// A SheetReadError is a refused file, the expected outcome for most inputs.
#include "platform/SheetFormats.h"
#include "platform/SheetReader.h"

#include <QBuffer>
#include <QCoreApplication>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <cstdint>

using namespace corvelix;

namespace {

[[maybe_unused]] QByteArray zipOf(const QList<QPair<QString, QByteArray>>& parts) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto& [name, data] : parts) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, 0, 0); // stored
        f.write(data);
        f.close();
    }
    zip.close();
    return buffer.data();
}

SheetLimits fuzzLimits() {
    SheetLimits limits;
    limits.maxFileBytes = 4 * 1024 * 1024;
    limits.maxExpandedBytes = 16 * 1024 * 1024;
    limits.maxCells = 200'000;
    return limits;
}

[[maybe_unused]] void read(const QByteArray& data, SheetFormat format) {
    SheetBuilder builder(QStringLiteral("fuzz"), QLocale(QLocale::Spanish, QLocale::Argentina),
                         fuzzLimits(), format);
    readFormat(format, data, QString(), builder);
    const Sheet sheet = builder.finish();
    // Touch what the reading rule touches.
    for (int r = 1; r <= std::min(sheet.lastRow(), 50); ++r)
        for (int c = 1; c <= std::min(sheet.lastColumn(), 20); ++c)
            (void)sheet.text(r, c).size();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(bytes), qsizetype(size));
    try {
#if defined(FUZZ_SHEETS_XLSX)
        const QList<QByteArray> p = input.split('\x1e');
        const auto part = [&](int i) { return p.value(i); };
        read(zipOf({{QStringLiteral("_rels/.rels"),
                     "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas."
                     "openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                     "Target=\"xl/workbook.xml\"/></Relationships>"},
                    {QStringLiteral("xl/workbook.xml"), part(0)},
                    {QStringLiteral("xl/_rels/workbook.xml.rels"), part(1)},
                    {QStringLiteral("xl/worksheets/sheet1.xml"), part(2)},
                    {QStringLiteral("xl/worksheets/sheet2.xml"), part(2)},
                    {QStringLiteral("xl/sharedStrings.xml"), part(3)},
                    {QStringLiteral("xl/styles.xml"), part(4)}}),
             SheetFormat::Xlsx);
#elif defined(FUZZ_SHEETS_ODS)
        read(zipOf({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                    {QStringLiteral("content.xml"), input}}),
             SheetFormat::Ods);
#elif defined(FUZZ_SHEETS_XML)
        read(input, SheetFormat::XmlWorkbook);
#elif defined(FUZZ_SHEETS_TEXT)
        read(input, SheetFormat::DelimitedText);
#elif defined(FUZZ_SHEETS_BIFF)
        read(input, SheetFormat::Biff);
#else
        (void)readFirstSheetFromData(input, QStringLiteral("fuzz"),
                                     QLocale(QLocale::Spanish, QLocale::Argentina), fuzzLimits());
#endif
    } catch (const SheetReadError&) {
    }
    return 0;
}
