#include "platform/SheetReader.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QBuffer>
#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

using namespace corvelix;

namespace {

QString sample(const QString& name) {
    return QStringLiteral(CORVELIX_TEST_DATA "/sheets/") + name;
}

const QLocale kComma(QLocale::Spanish, QLocale::Argentina);

// Every non-empty cell as "A1=text" lines, row by row.
QStringList cells(const Sheet& sheet) {
    QStringList out;
    for (int r = 1; r <= sheet.lastRow(); ++r)
        for (int c = 1; c <= sheet.lastColumn(); ++c)
            if (!sheet.text(r, c).isEmpty())
                out << QStringLiteral("%1%2=%3")
                           .arg(QChar(u'A' + (c - 1) % 26))
                           .arg(r)
                           .arg(sheet.text(r, c));
    return out;
}

QString day(int y, int m, int d) {
    QString f = kComma.dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return QDate(y, m, d).toString(f);
}

// A zip holding the given parts, written with QuaZip.
QByteArray zipOf(const QList<QPair<QString, QByteArray>>& parts, int level = 6) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto& [name, data] : parts) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, level);
        f.write(data);
        f.close();
    }
    zip.close();
    return buffer.data();
}

QByteArray minimalXlsx(const QByteArray& sheetData, int level = 6) {
    return zipOf(
        {
            {QStringLiteral("xl/workbook.xml"),
             "<workbook "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
            {QStringLiteral("xl/_rels/workbook.xml.rels"),
             "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
             "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/s.xml\"/>"
             "</Relationships>"},
            {QStringLiteral("xl/worksheets/s.xml"),
             "<worksheet><sheetData>" + sheetData + "</sheetData></worksheet>"},
        },
        level);
}

// A workbook whose sheet and shared strings are given whole, as their writer wrote them.
QByteArray xlsxWithStrings(const QByteArray& sheet, const QByteArray& sharedStrings) {
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return zipOf({
        {QStringLiteral("xl/workbook.xml"),
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"" +
             rel +
             "\"><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/>"
             "</sheets></workbook>"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel +
             "/worksheet\" Target=\"worksheets/s.xml\"/>"
             "<Relationship Id=\"rId2\" Type=\"" +
             rel +
             "/sharedStrings\" "
             "Target=\"sharedStrings.xml\"/></Relationships>"},
        {QStringLiteral("xl/worksheets/s.xml"), sheet},
        {QStringLiteral("xl/sharedStrings.xml"), sharedStrings},
    });
}

// A record of a binary workbook: type, length, content.
QByteArray biffRecord(quint16 type, const QByteArray& content) {
    QByteArray r;
    r.append(char(type & 0xFF)).append(char(type >> 8));
    r.append(char(content.size() & 0xFF)).append(char(content.size() >> 8));
    return r + content;
}

QByteArray le16(quint16 v) {
    return QByteArray().append(char(v & 0xFF)).append(char(v >> 8));
}

QByteArray leDouble(double v) {
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8); // the test machines are little-endian, as the format
    return b;
}

// A cell's position in a BIFF2 record, with its three attribute bytes (the second one holds
// the number format's index).
QByteArray cell2(int row, int column, int format = 0) {
    return le16(quint16(row)) + le16(quint16(column)) + QByteArray(1, '\0') +
           QByteArray(1, char(format)) + QByteArray(1, '\0');
}

QByteArray cell4(int row, int column, int xf) {
    return le16(quint16(row)) + le16(quint16(column)) + le16(quint16(xf));
}

// A compound document holding the given streams, written with libgsf.
QByteArray compoundDocument(const QList<QPair<QByteArray, QByteArray>>& streams) {
    GsfOutput* sink = gsf_output_memory_new();
    GsfOutfile* container = gsf_outfile_msole_new(sink);
    for (const auto& [name, data] : streams) {
        GsfOutput* child = gsf_outfile_new_child(container, name.constData(), FALSE);
        gsf_output_write(child, std::size_t(data.size()),
                         reinterpret_cast<const guint8*>(data.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(container));
    g_object_unref(container);
    const QByteArray bytes(
        reinterpret_cast<const char*>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink))),
        qsizetype(gsf_output_size(sink)));
    gsf_output_close(sink);
    g_object_unref(sink);
    return bytes;
}

// The workbook stream of a BIFF5 (0x0500) or BIFF8 (0x0600) workbook: its global records,
// then one visible worksheet holding `cells`.
QByteArray workbookStream(quint16 version, const QByteArray& globals, const QByteArray& cells) {
    const auto bof = [&](quint16 kind) {
        return biffRecord(0x0809, le16(version) + le16(kind) + QByteArray(4, '\0'));
    };
    const QByteArray eof = biffRecord(0x000A, {});
    const QByteArray before = bof(0x0005) + globals;
    const qsizetype sheetAt = before.size() + 4 + 9 + eof.size();
    const QByteArray boundSheet = le16(quint16(sheetAt & 0xFFFF)) + le16(quint16(sheetAt >> 16)) +
                                  QByteArray("\0\0\x01\0a", 5);
    return before + biffRecord(0x0085, boundSheet) + eof + bof(0x0010) + cells + eof;
}

// `count` distinct attributes, as a hostile writer puts on one element.
QByteArray attributes(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += " a" + QByteArray::number(i) + "=\"\"";
    return out;
}

// An .ods whose content.xml holds `rows` (table rows) in its one table.
QByteArray odsOf(const QByteArray& rows) {
    const QByteArray content =
        "<office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
        "<office:spreadsheet><table:table>" +
        rows + "</table:table></office:spreadsheet></office:body></office:document-content>";
    return zipOf({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                  {QStringLiteral("content.xml"), content}});
}

// An XML workbook whose one worksheet's table holds `rows`.
QByteArray xmlWorkbookOf(const QByteArray& rows) {
    return "<?xml version=\"1.0\"?>\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:"
           "spreadsheet\" xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"
           "<Worksheet ss:Name=\"a\"><Table>" +
           rows + "</Table></Worksheet></Workbook>";
}

// A binary workbook whose cell B2 holds `text` from the shared texts, split over CONTINUE
// records as the spreadsheet program writes a long text.
QByteArray xlsWithSharedText(const QByteArray& text) {
    constexpr qsizetype kRecord = 8224; // the longest record content
    const QByteArray one = le16(1) + le16(0);
    QByteArray rest = one + one + le16(quint16(text.size())) + QByteArray(1, '\0') + text;
    QByteArray records = biffRecord(0x00FC, rest.left(kRecord));
    rest.remove(0, kRecord);
    while (!rest.isEmpty()) {
        // A text crossing into a CONTINUE record starts there with its option byte again.
        records += biffRecord(0x003C, QByteArray(1, '\0') + rest.left(kRecord - 1));
        rest.remove(0, kRecord - 1);
    }
    const QByteArray labelSst = biffRecord(0x00FD, cell4(1, 1, 0) + le16(0) + le16(0));
    return compoundDocument({{"Workbook", workbookStream(0x0600, records, labelSst)}});
}

} // namespace

class tst_SheetReader : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void sniffsByContent_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("format");
        QTest::newRow("xlsx") << "features.xlsx" << int(SheetFormat::Xlsx);
        QTest::newRow("ods") << "features.ods" << int(SheetFormat::Ods);
        QTest::newRow("binary xls") << "features_visible.xls" << int(SheetFormat::Biff);
        QTest::newRow("xml workbook named .xls")
            << "cancelaciones_2003.xls" << int(SheetFormat::XmlWorkbook);
        QTest::newRow("tab text named .xls")
            << "cancelaciones_tab.xls" << int(SheetFormat::DelimitedText);
        QTest::newRow("csv") << "cancelaciones.csv" << int(SheetFormat::DelimitedText);
        QTest::newRow("image named .xls") << "imagen.xls" << int(SheetFormat::Unknown);
    }
    void sniffsByContent() {
        QFETCH(QString, file);
        QFETCH(int, format);
        QFile f(sample(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(int(sniffSheetFormat(f.readAll())), format);
    }

    // Shared and inline strings, rich text without its phonetic run, numbers in the
    // locale, booleans, dates through the cell's format, cells without a reference, formulas
    // with and without a cached value, merged cells; the hidden first sheet is passed over.
    void xlsxValues() {
        const Sheet s = readFirstSheet(sample("features.xlsx"), kComma);
        QCOMPARE(int(s.format()), int(SheetFormat::Xlsx));
        QCOMPARE(cells(s), QStringList({
                               "A1=Texto",
                               "B1=En linea",
                               "C1=1234,5",
                               "D1=True",
                               "E1=" + day(2024, 3, 25),
                               "F1=" + day(2024, 3, 25) + " 12:00:00",
                               "G1=0,25",
                               "A2=compartido",
                               "C2=Rico negrita",
                               "D2=#N/A",
                               "E2=Textox",
                               "B4=4",
                               "J4=-1,2E-05",
                               "A5=\rfin",
                               "B5=1E+20",
                               "A7=Combinada",
                           }));
        QCOMPARE(s.lastRow(), 7);
        QCOMPARE(s.lastColumn(), 10);
        QCOMPARE(s.text(4, 1), QString()); // formula without a cached value
        QCOMPARE(s.text(99, 99), QString());
    }

    void numbersFollowTheLocale() {
        const Sheet s = readFirstSheet(sample("features.xlsx"), QLocale(QLocale::English));
        QCOMPARE(s.text(1, 3), QStringLiteral("1234.5"));
    }

    // Repeated rows and cells, spaces, tabs and paragraphs, value types, covered cells; the
    // hidden first table and the million trailing empty rows cost nothing.
    void odsValues() {
        const Sheet s = readFirstSheet(sample("features.ods"), kComma);
        QCOMPARE(cells(s), QStringList({
                               "A1=Texto  con\ttab\nsegunda linea",
                               "B1=1234,5",
                               "C1=0,05",
                               "D1=" + day(2024, 3, 25),
                               "E1=" + day(2024, 3, 25) + " 12:30:00",
                               "F1=14:30:00",
                               "G1=True",
                               "A2=rep",
                               "B2=rep",
                               "C2=rep",
                               "F2=7",
                               "A3=rep",
                               "B3=rep",
                               "C3=rep",
                               "F3=7",
                               "A4=Combinada",
                           }));
        QCOMPARE(s.lastRow(), 4);
    }

    void xmlWorkbookValues() {
        const Sheet s = readFirstSheet(sample("features_2003.xml"), kComma);
        QCOMPARE(cells(s), QStringList({
                               QStringLiteral("A1=Años & más"),
                               "B1=1500,46",
                               "E1=" + day(2024, 3, 25),
                               "F1=True",
                               "A3=Combinada",
                               "D3=-3,1",
                           }));
    }

    // Binary workbooks made by LibreOffice from features.ods: one with the hidden first sheet
    // ("Oculta"), which is passed over, and one without it.
    void binaryXlsValues_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("hidden first sheet") << "features.xls";
        QTest::newRow("one sheet") << "features_visible.xls";
    }
    void binaryXlsValues() {
        QFETCH(QString, file);
        const Sheet s = readFirstSheet(sample(file), kComma);
        QCOMPARE(int(s.format()), int(SheetFormat::Biff));
        QVERIFY(s.text(1, 1).startsWith(QStringLiteral("Texto  con")));
        QVERIFY(s.text(1, 1).endsWith(QStringLiteral("\nsegunda linea")));
        QCOMPARE(s.text(1, 2), QStringLiteral("1234,5"));
        QCOMPARE(s.text(1, 4), day(2024, 3, 25));
        QCOMPARE(s.text(1, 5), day(2024, 3, 25) + QStringLiteral(" 12:30:00"));
        QCOMPARE(s.text(1, 6), QStringLiteral("14:30:00"));
        QCOMPARE(s.text(1, 7), QStringLiteral("True"));
        QCOMPARE(s.text(2, 3), QStringLiteral("rep"));
        QCOMPARE(s.text(3, 6), QStringLiteral("7"));
        QCOMPARE(s.text(4, 1), QStringLiteral("Combinada"));
    }

    // The results stored beside formulas, as the spreadsheet program shows them: numbers,
    // texts (one longer than a record of a binary workbook), truth values, errors, dates, and
    // an empty text. The .xls was made by LibreOffice from the .ods.
    void formulaResults_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("ods") << "formulas.ods";
        QTest::newRow("binary xls") << "formulas.xls";
    }
    void formulaResults() {
        QFETCH(QString, file);
        const Sheet s = readFirstSheet(sample(file), kComma);
        const QStringList expected{
            "A1=Numero", "B1=Texto", "C1=Logico", "D1=Error", "E1=Fecha", "F1=Vacio",
            "A2=12,5", "B2=24001IC04000001A", "C2=True", "D2=#DIV/0!", "E2=" + day(2024, 3, 25),
            "A3=-25", QStringLiteral("B3=ñandú"), "C3=False", "D3=#N/A",
            "E3=" + day(2024, 3, 25) + " 12:00:00", "F3=1,5",
            "A4=1099511627776", "B4=" + QStringLiteral("abc").repeated(3000), "C4=False",
            "D4=12,5", "E4=fin"};
        QCOMPARE(cells(s), expected);
    }

    // Worksheets of Excel 2 to 4: bare record streams, without a container, texts in the
    // code page, number formats kept in the file by their order.
    void oldBinaryWorksheets_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("expected");
        const QByteArray bof2 = biffRecord(0x0009, le16(2) + le16(0x0010));
        const QByteArray eof = biffRecord(0x000A, {});
        QTest::newRow("biff2")
            << QByteArray(bof2 + biffRecord(0x001E, "\x07General") +
                          biffRecord(0x001E, "\x0A" "dd/mm/yyyy") +
                          biffRecord(0x0002, cell2(0, 0) + le16(42)) +
                          biffRecord(0x0003, cell2(0, 1, 1) + leDouble(45376)) +
                          biffRecord(0x0004, cell2(1, 0) + "\x03" "A\xF1o") +
                          biffRecord(0x0006, cell2(1, 1) + QByteArray("\0\0\0\0\0\0\xFF\xFF", 8) +
                                                 QByteArray(3, '\0')) +
                          biffRecord(0x0007, "\x09resultado") +
                          biffRecord(0x0005, cell2(2, 0) + QByteArray("\x01\x00", 2)) +
                          biffRecord(0x0005, cell2(2, 1) + QByteArray("\x07\x01", 2)) + eof)
            << QStringList{"A1=42", "B1=" + day(2024, 3, 25), QStringLiteral("A2=Año"),
                           "B2=resultado", "A3=True", "B3=#DIV/0!"};
        QTest::newRow("biff4")
            << QByteArray(biffRecord(0x0409, le16(0) + le16(0x0010)) +
                          biffRecord(0x0042, le16(1252)) +
                          biffRecord(0x041E, le16(0) + "\x04" "0.00") +
                          biffRecord(0x041E, le16(0) + "\x0B" "d/m/yy h:mm") +
                          biffRecord(0x0443, QByteArray("\0\0", 2)) +
                          biffRecord(0x0443, QByteArray("\0\x01", 2)) +
                          biffRecord(0x0203, cell4(0, 0, 1) + leDouble(45376.5)) +
                          biffRecord(0x027E, cell4(0, 1, 0) + QByteArray("\xF7\x01\0\0", 4)) +
                          biffRecord(0x0204, cell4(1, 0, 0) + le16(5) + "texto") +
                          biffRecord(0x0406, cell4(1, 1, 0) +
                                                 QByteArray("\x01\0\0\0\0\0\xFF\xFF", 8)) +
                          eof)
            << QStringList{"A1=" + day(2024, 3, 25) + " 12:00:00", "B1=1,25", "A2=texto",
                           "B2=False"};
    }
    void oldBinaryWorksheets() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, expected);
        QCOMPARE(cells(readFirstSheetFromData(data, QStringLiteral("viejo.xls"), kComma)),
                 expected);
    }

    // Texts of binary workbooks: the code page names the bytes of BIFF5 texts; BIFF8 texts are
    // Unicode, their one-byte form Latin-1, whatever the code page says.
    void binaryWorkbookTexts_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("a1");
        const QByteArray codePage1251 = biffRecord(0x0042, le16(1251));
        QTest::newRow("BIFF8 one-byte text under code page 1251")
            << compoundDocument(
                   {{"Workbook", workbookStream(0x0600, codePage1251,
                                                biffRecord(0x0204, cell4(0, 0, 0) + le16(3) + '\0' +
                                                                       "a\xF1o"))}})
            << QStringLiteral("año");
        const QString named = QStringLiteral("EncryptedPackage €");
        QTest::newRow("BIFF8 text naming the encrypted stream")
            << compoundDocument(
                   {{"Workbook",
                     workbookStream(
                         0x0600, {},
                         biffRecord(0x0204,
                                    cell4(0, 0, 0) + le16(quint16(named.size())) + '\x01' +
                                        QByteArray(reinterpret_cast<const char*>(named.utf16()),
                                                   named.size() * 2)))}})
            << named;
        QTest::newRow("BIFF5 text under code page 1251")
            << compoundDocument(
                   {{"Book", workbookStream(
                                 0x0500, codePage1251,
                                 biffRecord(0x0204, cell4(0, 0, 0) + le16(3) + "\xEF\xF0\xE8"))}})
            << QStringLiteral("при");
    }
    void binaryWorkbookTexts() {
        QFETCH(QByteArray, data);
        QFETCH(QString, a1);
        try {
            const Sheet s = readFirstSheetFromData(data, QStringLiteral("libro.xls"), kComma);
            QCOMPARE(int(s.format()), int(SheetFormat::Biff));
            QCOMPARE(s.text(1, 1), a1);
        } catch (const SheetReadError& e) {
            QFAIL(qPrintable(e.message()));
        }
    }

    // A record that claims more than it holds is refused, not read past.
    void binaryRecordsAreBounded() {
        const QByteArray bof2 = biffRecord(0x0009, le16(2) + le16(0x0010));
        for (const QByteArray& bad :
             {biffRecord(0x0004, cell2(0, 0) + "\x50" "corto"), biffRecord(0x0003, cell2(0, 0)),
              biffRecord(0x0204, cell4(0, 0, 0) + le16(900) + "x")}) {
            try {
                readFirstSheetFromData(bof2 + bad, QStringLiteral("roto.xls"), kComma);
                QFAIL("read");
            } catch (const SheetReadError& e) {
                QVERIFY2(e.message().contains(QStringLiteral("dañado")), qPrintable(e.message()));
            }
        }
    }

    // The same table in every format gives the same texts.
    void sameTableEveryFormat_data() {
        QTest::addColumn<QString>("file");
        for (const char* f :
             {"cancelaciones.xlsx", "cancelaciones.ods", "cancelaciones.xls",
              "cancelaciones_formulas.xls", "cancelaciones_2003.xls", "cancelaciones_tab.xls",
              "cancelaciones.csv",
              // ';'-separated with a byte-order mark, as saved under a decimal-comma locale
              "cancelaciones_pyc.csv",
              // the table behind a hidden first sheet
              "cancelaciones_oculta.xlsx", "cancelaciones_oculta.ods", "cancelaciones_oculta.xls",
              "cancelaciones_oculta_2003.xml"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void sameTableEveryFormat() {
        QFETCH(QString, file);
        const Sheet s = readFirstSheet(sample(file), kComma);
        QCOMPARE(s.lastRow(), 9);
        QCOMPARE(s.lastColumn(), 7);
        QCOMPARE(s.text(1, 1), QStringLiteral("Destino"));
        QCOMPARE(s.text(2, 2), QStringLiteral("24001IC04000001A"));
        QCOMPARE(s.text(2, 5), QStringLiteral("8471.30.12"));
        QCOMPARE(s.text(2, 6), QStringLiteral("12,5"));
        QCOMPARE(s.text(3, 7), QString());
        QCOMPARE(s.text(4, 1), QString());
        QCOMPARE(s.text(9, 6), QStringLiteral("0,75"));
    }

    void textEncodings_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("windows-1252 tabs")
            << "acentos_1252.txt"
            << QStringList{QStringLiteral("A1=Código"), QStringLiteral("B1=Descripción"),
                           QStringLiteral("A2=Ñandú"), QStringLiteral("B2=con \"comillas\"")};
        QTest::newRow("utf-8 commas, quoted line break")
            << "acentos_utf8.csv"
            << QStringList{QStringLiteral("A1=Código"),         QStringLiteral("B1=Descripción"),
                           QStringLiteral("A2=Ñandú"),          QStringLiteral("B2=uno, dos"),
                           QStringLiteral("A3=línea\npartida"), QStringLiteral("B3=fin")};
    }
    void textEncodings() {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        QCOMPARE(cells(readFirstSheet(sample(file), kComma)), expected);
    }

    // The separator told by the content; quoted separators and line breaks stay in the cell;
    // lines of separators only are empty rows.
    void delimitedText_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("semicolons with decimal commas")
            << QByteArray("Cant;Peso\r\n12,5;3,25\r\n1;2\r\n")
            << QStringList{"A1=Cant", "B1=Peso", "A2=12,5", "B2=3,25", "A3=1", "B3=2"};
        QTest::newRow("semicolons after a byte-order mark, quoted semicolon")
            << QByteArray("\xEF\xBB\xBF\"a;b\";c\n1;2\n")
            << QStringList{"A1=a;b", "B1=c", "A2=1", "B2=2"};
        QTest::newRow("commas, a semicolon inside a text")
            << QByteArray("x,y\nuno;dos,tres\n")
            << QStringList{"A1=x", "B1=y", "A2=uno;dos", "B2=tres"};
        QTest::newRow("tabs beside commas and semicolons in the texts")
            << QByteArray("a,1\tb;2\nc,3\td;4\n")
            << QStringList{"A1=a,1", "B1=b;2", "A2=c,3", "B2=d;4"};
        QTest::newRow("one line")
            << QByteArray("a;b;c") << QStringList{"A1=a", "B1=b", "C1=c"};
        QTest::newRow("quoted line breaks stay in the cell")
            << QByteArray("n;texto\r\n1;\"dos\r\nlineas\"\r\n2;\"otra\nmas\"\r\n")
            << QStringList{"A1=n",  "B1=texto", "A2=1",
                           "B2=dos\nlineas", "A3=2", "B3=otra\nmas"};
        QTest::newRow("a line of separators is an empty row")
            << QByteArray("a;b;c\n;;\n1;2;3\n;;;;\n4;5;6\n")
            << QStringList{"A1=a", "B1=b", "C1=c", "A3=1", "B3=2", "C3=3", "A5=4", "B5=5", "C5=6"};
        QTest::newRow("ragged lines: the separator found most on the first line")
            << QByteArray("a;b;c\n1\n2;3\n")
            << QStringList{"A1=a", "B1=b", "C1=c", "A2=1", "A3=2", "B3=3"};
        QTest::newRow("title line above semicolons")
            << QByteArray("Reporte de cancelaciones, marzo\r\nA;B;C\r\n1;2,5;3\r\n4;5;6\r\n")
            << QStringList{"A1=Reporte de cancelaciones, marzo",
                           "A2=A",
                           "B2=B",
                           "C2=C",
                           "A3=1",
                           "B3=2,5",
                           "C3=3",
                           "A4=4",
                           "B4=5",
                           "C4=6"};
        QTest::newRow("title line above semicolons, a ragged line")
            << QByteArray("Reporte…\nA;B;C\n1;2;3\n4;5\n7;8;9\n")
            << QStringList{QStringLiteral("A1=Reporte…"),
                           "A2=A",
                           "B2=B",
                           "C2=C",
                           "A3=1",
                           "B3=2",
                           "C3=3",
                           "A4=4",
                           "B4=5",
                           "A5=7",
                           "B5=8",
                           "C5=9"};
        QTest::newRow("no separator: one column")
            << QByteArray("uno\ndos\n") << QStringList{"A1=uno", "A2=dos"};
    }
    void delimitedText() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, expected);
        const Sheet s = readFirstSheetFromData(data, QStringLiteral("lista.csv"), kComma);
        QCOMPARE(int(s.format()), int(SheetFormat::DelimitedText));
        QCOMPARE(cells(s), expected);
    }

    // The separator a person would see, and the decimal mark it tells: a ';' file comes from a
    // machine whose decimal mark is the comma ("." groups thousands), a ',' file from one whose
    // mark is the point. Numbers come in the reading locale's form, so one file gives the same
    // values on every machine; other texts stay as written.
    void separatorAndDecimalMark_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("expected");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QByteArray spanish = "Precio, USD;Peso, kg\r\n1,5;2,25\r\n3,75;4,5\r\n";
        QTest::newRow("Spanish CSV, es_AR")
            << spanish << kComma << QStringList{"A1=Precio, USD", "B1=Peso, kg", "A2=1,5",
                                                "B2=2,25",        "A3=3,75",     "B3=4,5"};
        QTest::newRow("Spanish CSV, en_US")
            << spanish << english << QStringList{"A1=Precio, USD", "B1=Peso, kg", "A2=1.5",
                                                 "B2=2.25",        "A3=3.75",     "B3=4.5"};
        const QByteArray noHeader = "1,5;2,25\r\n3,75;4,5\r\n";
        QTest::newRow("Spanish CSV without its header, es_AR")
            << noHeader << kComma << QStringList{"A1=1,5", "B1=2,25", "A2=3,75", "B2=4,5"};
        QTest::newRow("Spanish CSV without its header, en_US")
            << noHeader << english << QStringList{"A1=1.5", "B1=2.25", "A2=3.75", "B2=4.5"};
        const QByteArray thousands = "Cantidad;Total;NCM;Fecha\n3,125;1.250,5;8471.30.12;"
                                     "11.03.2025\n-0,5;12.345;1.2345;7\n";
        QTest::newRow("groups of thousands, es_AR")
            << thousands << kComma
            << QStringList{"A1=Cantidad", "B1=Total",  "C1=NCM",        "D1=Fecha",
                           "A2=3,125",    "B2=1250,5", "C2=8471.30.12", "D2=11.03.2025",
                           "A3=-0,5",     "B3=12345",  "C3=1.2345",     "D3=7"};
        QTest::newRow("groups of thousands, en_US")
            << thousands << english
            << QStringList{"A1=Cantidad", "B1=Total",  "C1=NCM",        "D1=Fecha",
                           "A2=3.125",    "B2=1250.5", "C2=8471.30.12", "D2=11.03.2025",
                           "A3=-0.5",     "B3=12345",  "C3=1.2345",     "D3=7"};
        const QByteArray englishCsv = "a,b,c\n1.5,2,3\n";
        QTest::newRow("English CSV, es_AR")
            << englishCsv << kComma
            << QStringList{"A1=a", "B1=b", "C1=c", "A2=1,5", "B2=2", "C2=3"};
        QTest::newRow("English CSV, en_US")
            << englishCsv << english
            << QStringList{"A1=a", "B1=b", "C1=c", "A2=1.5", "B2=2", "C2=3"};
        const QByteArray quotedCommas =
            "desc,monto\n\"uno;dos\",\"1,250.5\"\n\"tres; cuatro\",2.5\n";
        QTest::newRow("quoted semicolons in a comma CSV, es_AR")
            << quotedCommas << kComma << QStringList{"A1=desc",   "B1=monto",        "A2=uno;dos",
                                                     "B2=1250,5", "A3=tres; cuatro", "B3=2,5"};
        QTest::newRow("quoted semicolons in a comma CSV, en_US")
            << quotedCommas << english << QStringList{"A1=desc",   "B1=monto",        "A2=uno;dos",
                                                      "B2=1250.5", "A3=tres; cuatro", "B3=2.5"};
        const QByteArray quotedSemicolons = "\"Precio; USD\";Peso\n\"1,5\";\"2;3\"\n4;5,5\n";
        QTest::newRow("quoted fields in a semicolon CSV, en_US")
            << quotedSemicolons << english
            << QStringList{"A1=Precio; USD", "B1=Peso", "A2=1.5", "B2=2;3", "A3=4", "B3=5.5"};
        const QByteArray title = "Pesos de marzo, en kg\nItem;Peso\n1;2,5\n2;10,25\n";
        QTest::newRow("title line first, es_AR")
            << title << kComma << QStringList{"A1=Pesos de marzo, en kg",
                                              "A2=Item",
                                              "B2=Peso",
                                              "A3=1",
                                              "B3=2,5",
                                              "A4=2",
                                              "B4=10,25"};
        QTest::newRow("title line first, en_US")
            << title << english << QStringList{"A1=Pesos de marzo, en kg",
                                               "A2=Item",
                                               "B2=Peso",
                                               "A3=1",
                                               "B3=2.5",
                                               "A4=2",
                                               "B4=10.25"};
        QTest::newRow("tabs keep their numbers, en_US")
            << QByteArray("Peso\tTotal\n3,125\t1.5\n") << english
            << QStringList{"A1=Peso", "B1=Total", "A2=3,125", "B2=1.5"};
        QTest::newRow("one column keeps its numbers, es_AR")
            << QByteArray("Peso\n3.125\n") << kComma << QStringList{"A1=Peso", "A2=3.125"};
    }
    void separatorAndDecimalMark() {
        QFETCH(QByteArray, data);
        QFETCH(QLocale, locale);
        QFETCH(QStringList, expected);
        QCOMPARE(cells(readFirstSheetFromData(data, QStringLiteral("lista.csv"), locale)),
                 expected);
    }

    // A time alone shows as a time in both date systems of .xlsx.
    void xlsxDateSystems_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("1900") << "fechas_1900.xlsx";
        QTest::newRow("1904") << "fechas_1904.xlsx";
    }
    void xlsxDateSystems() {
        QFETCH(QString, file);
        QCOMPARE(cells(readFirstSheet(sample(file), kComma)),
                 QStringList({"A1=10:30:15", "B1=" + day(2024, 3, 25),
                              "C1=" + day(2024, 3, 25) + " 12:00:00"}));
    }

    // Each unreadable file gives one Spanish message that names it.
    void refusesWithItsName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << "vacio.xls" << QStringLiteral("está vacío");
        QTest::newRow("not a sheet")
            << "imagen.xls" << QStringLiteral("no es una hoja de cálculo reconocida");
        QTest::newRow("truncated zip")
            << "truncado.xlsx" << QStringLiteral("el archivo comprimido está dañado");
        QTest::newRow("zip without workbook")
            << "no_libro.xlsx" << QStringLiteral("no es un libro de Excel");
        QTest::newRow("malformed workbook xml")
            << "malformado.xlsx" << QStringLiteral("el contenido de xl/workbook.xml");
        QTest::newRow("malformed XML workbook")
            << "malformado_2003.xml"
            << QStringLiteral("el contenido del libro XML está dañado (línea 10)");
        QTest::newRow("missing") << "no_existe.xlsx" << QStringLiteral("No se encuentra");
    }
    void refusesWithItsName() {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        try {
            readFirstSheet(sample(file), kComma);
            QFAIL("read");
        } catch (const SheetReadError& e) {
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
            QVERIFY2(e.message().contains(sample(file)), qPrintable(e.message()));
        }
    }

    // Damaged binary workbooks found by fuzzing: read as far as they hold or refused, never
    // the end of the program.
    void damagedBinaryWorkbooks_data() {
        QTest::addColumn<QString>("file");
        // The used range of what still reads; none when the file is refused.
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("bad free") << "freexl_libera_puntero.xls" << 9 << 7;
        QTest::newRow("read past a buffer") << "freexl_lee_fuera.xls" << 0 << 0;
    }
    void damagedBinaryWorkbooks() {
        QFETCH(QString, file);
        QFETCH(int, rows);
        QFETCH(int, columns);
        try {
            const Sheet sheet = readFirstSheet(sample(file), kComma);
            QVERIFY2(rows > 0, "read, not refused");
            QCOMPARE(sheet.lastRow(), rows);
            QCOMPARE(sheet.lastColumn(), columns);
        } catch (const SheetReadError& e) {
            QVERIFY2(rows == 0, qPrintable(e.message()));
            QCOMPARE(e.message(),
                     QStringLiteral("El archivo \"") + sample(file) +
                         QStringLiteral("\" no se puede leer como hoja de cálculo: el libro de "
                                        "Excel está dañado o no es un libro de Excel."));
        }
    }

    void passwordProtectedWorkbook() {
        // What a spreadsheet program saves with a password to open: a compound file holding
        // the encrypted package instead of a workbook stream.
        const QByteArray data = compoundDocument({{"EncryptionInfo", QByteArray(64, '\x04')},
                                                  {"EncryptedPackage", QByteArray(600, '\x5A')}});
        try {
            readFirstSheetFromData(data, QStringLiteral("clave.xlsx"));
            QFAIL("read");
        } catch (const SheetReadError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("El archivo \"clave.xlsx\" no se puede leer como "
                                    "hoja de cálculo: está protegido con contraseña."));
        }
    }

    // A few kilobytes that expand past the limit are refused before they reach memory.
    void expandingSheetRefused() {
        SheetLimits limits;
        limits.maxExpandedBytes = 1024 * 1024;
        try {
            readFirstSheet(sample("expande.xlsx"), kComma, limits);
            QFAIL("read");
        } catch (const SheetReadError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("pasa del límite de 1 MB")),
                     qPrintable(e.message()));
        }
        // Under the usual limit the same file is an empty sheet.
        QCOMPARE(readFirstSheet(sample("expande.xlsx"), kComma).lastRow(), 0);
    }

    // A small zip whose sheet inflates to more than the default limit: refused at its own
    // budget, 48 times the file and no less than 32 MB.
    void zipBombRefusedAtDefaultLimit() {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QuaZip zip(&buffer);
            zip.open(QuaZip::mdCreate);
            auto part = [&](const char* name, const QByteArray& text) {
                QuaZipFile f(&zip);
                f.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name)), nullptr, 0,
                       Z_DEFLATED, 1);
                f.write(text);
                f.close();
            };
            part("xl/workbook.xml",
                 "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                 "relationships\"><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/>"
                 "</sheets></workbook>");
            part("xl/_rels/workbook.xml.rels",
                 "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas."
                 "openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                 "Target=\"worksheets/s.xml\"/></Relationships>");
            QuaZipFile f(&zip);
            f.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("xl/worksheets/s.xml")),
                   nullptr, 0, Z_DEFLATED, 1);
            f.write("<worksheet><sheetData><row r=\"1\">");
            const QByteArray rows = QByteArray("<c r=\"A1\"/>").repeated(100000);
            for (qint64 written = 0; written < 150ll * 1024 * 1024; written += rows.size())
                f.write(rows);
            f.close();
            zip.close();
        }
        QVERIFY(buffer.size() < 2 * 1024 * 1024);
        try {
            readFirstSheetFromData(buffer.data(), QStringLiteral("bomba.xlsx"), kComma);
            QFAIL("read");
        } catch (const SheetReadError& e) {
            QVERIFY2(e.message().contains(
                         QStringLiteral("pasa del límite de %1 MB")
                             .arg(std::max<qint64>(32, 48 * buffer.size() / (1024 * 1024)))),
                     qPrintable(e.message()));
        }
    }

    // A cell's text is bounded at the spreadsheet programs' 32,767 characters in every format;
    // a longer one refuses the file, naming the cell, without being kept whole.
    void cellTextBound_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("accepted");
        const QByteArray longest(32767, 'x');
        const QByteArray tooLong(32768, 'x');
        const auto inlineB2 = [](const QByteArray& text) {
            return minimalXlsx("<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>" + text +
                               "</t></is></c></row>");
        };
        QTest::newRow("xlsx, inline text at the bound") << inlineB2(longest) << true;
        QTest::newRow("xlsx, inline text past it") << inlineB2(tooLong) << false;
        QTest::newRow("xlsx, a text inflating to 20 million characters")
            << minimalXlsx("<row r=\"2\"><c r=\"B2\" t=\"str\"><v>" + QByteArray(20'000'000, 'x') +
                               "</v></c></row>",
                           9)
            << false;
        const QByteArray sheet = "<worksheet xmlns=\"http://schemas.openxmlformats.org/"
                                 "spreadsheetml/2006/main\"><sheetData><row r=\"2\"><c r=\"B2\" "
                                 "t=\"s\"><v>0</v></c></row></sheetData></worksheet>";
        const QByteArray sst = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                               "2006/main\"><si><t>";
        QTest::newRow("xlsx, shared text past it")
            << xlsxWithStrings(sheet, sst + tooLong + "</t></si></sst>") << false;
        QTest::newRow("xlsx, shared text of escapes past it")
            << xlsxWithStrings(sheet,
                               sst + QByteArray("_x000D_").repeated(32768) + "</t></si></sst>")
            << false;
        const auto odsB2 = [](const QByteArray& paragraph) {
            return odsOf("<table:table-row><table:table-cell/></table:table-row>"
                         "<table:table-row><table:table-cell/><table:table-cell "
                         "office:value-type=\"string\"><text:p>" +
                         paragraph + "</text:p></table:table-cell></table:table-row>");
        };
        QTest::newRow("ods at the bound") << odsB2(longest) << true;
        QTest::newRow("ods past it") << odsB2(tooLong) << false;
        QTest::newRow("ods, repeated spaces past it")
            << odsB2("a<text:s text:c=\"40000\"/>b") << false;
        QTest::newRow("xls at the bound") << xlsWithSharedText(longest) << true;
        QTest::newRow("xls past it") << xlsWithSharedText(tooLong) << false;
        const auto xmlB2 = [](const QByteArray& text) {
            return xmlWorkbookOf("<Row/><Row><Cell ss:Index=\"2\"><Data ss:Type=\"String\">" +
                                 text + "</Data></Cell></Row>");
        };
        QTest::newRow("XML workbook at the bound") << xmlB2(longest) << true;
        QTest::newRow("XML workbook past it") << xmlB2(tooLong) << false;
        QTest::newRow("CSV at the bound") << "a;b\nc;" + longest + "\n" << true;
        QTest::newRow("CSV past it") << "a;b\nc;\"" + tooLong + "\"\n" << false;
    }
    void cellTextBound() {
        QFETCH(QByteArray, data);
        QFETCH(bool, accepted);
        try {
            const Sheet s = readFirstSheetFromData(data, QStringLiteral("larga"), kComma);
            QVERIFY2(accepted, "read, not refused");
            QCOMPARE(s.text(2, 2).size(), 32767);
        } catch (const SheetReadError& e) {
            QVERIFY2(!accepted, qPrintable(e.message()));
            QCOMPARE(e.message(), QStringLiteral("El archivo \"larga\" no se puede leer como hoja "
                                                 "de cálculo: la celda B2 tiene más de 32767 "
                                                 "caracteres."));
        }
    }

    // An element with more attributes than any writer puts on one is refused before a parser
    // spends minutes checking them against each other; one with many reads.
    void crowdedElements_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("refusal"); // empty: read
        QTest::newRow("xlsx, a cell with 200,000 attributes")
            << minimalXlsx("<row r=\"1\"><c r=\"A1\"" + attributes(200000) + "><v>1</v></c></row>")
            << QStringLiteral("el contenido de xl/worksheets/s.xml tiene un elemento con más de "
                              "64 atributos");
        QTest::newRow("xlsx, attributes in the part's first element")
            << zipOf({{QStringLiteral("xl/workbook.xml"), "<workbook" + attributes(400000) + "/>"}})
            << QStringLiteral("el contenido de xl/workbook.xml tiene un elemento con más de 64 "
                              "atributos");
        QTest::newRow("ods, a cell with 100,000 attributes")
            << odsOf("<table:table-row><table:table-cell" + attributes(100000) +
                     "/></table:table-row>")
            << QStringLiteral("el contenido de content.xml tiene un elemento con más de 64 "
                              "atributos");
        QTest::newRow("XML workbook, a cell with 100,000 attributes")
            << xmlWorkbookOf("<Row><Cell" + attributes(100000) +
                             "><Data ss:Type=\"Number\">1</Data></Cell></Row>")
            << QStringLiteral("el contenido del libro XML tiene un elemento con más de 64 "
                              "atributos");
        QTest::newRow("xlsx, 64 attributes and markup that looks like more")
            << minimalXlsx("<!-- <x" + attributes(300) + "> --><row r=\"1\"><c r=\"A1\"" +
                           attributes(62) + " t=\"str\"><v><![CDATA[<x" + attributes(300) +
                           ">]]></v></c></row>")
            << QString();
    }
    void crowdedElements() {
        QFETCH(QByteArray, data);
        QFETCH(QString, refusal);
        try {
            const Sheet s = readFirstSheetFromData(data, QStringLiteral("atributos"), kComma);
            QVERIFY2(refusal.isEmpty(), "read, not refused");
            QCOMPARE(s.text(1, 1).left(3), QStringLiteral("<x "));
        } catch (const SheetReadError& e) {
            QVERIFY2(!refusal.isEmpty(), qPrintable(e.message()));
            QCOMPARE(e.message(), QStringLiteral("El archivo \"atributos\" no se puede leer como "
                                                 "hoja de cálculo: ") +
                                      refusal + QLatin1Char('.'));
        }
    }

    void sheetBounds_data() {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<int>("lastColumn");
        QTest::newRow("last row and column")
            << QByteArray("<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>") << true
            << 1048576 << 16384;
        QTest::newRow("past the last row")
            << QByteArray("<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>") << false << 0
            << 0;
        QTest::newRow("past the last column")
            << QByteArray("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>") << false << 0 << 0;
        QTest::newRow("empty cell past the bounds costs nothing")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"ZZZZ1\"/></row>") << true
            << 1 << 1;
        QTest::newRow("shared string that is not there")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>") << false << 0 << 0;
    }
    void sheetBounds() {
        QFETCH(QByteArray, sheetData);
        QFETCH(bool, accepted);
        QFETCH(int, lastRow);
        QFETCH(int, lastColumn);
        try {
            const Sheet s = readFirstSheetFromData(minimalXlsx(sheetData), "x.xlsx", kComma);
            QVERIFY(accepted);
            QCOMPARE(s.lastRow(), lastRow);
            QCOMPARE(s.lastColumn(), lastColumn);
        } catch (const SheetReadError& e) {
            QVERIFY2(!accepted, qPrintable(e.message()));
        }
    }

    // A number shows in the general format whether or not the file writes it that way.
    void xlsxNumbers_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("shown");
        QTest::newRow("integer") << QByteArray("45012") << "45012";
        QTest::newRow("fraction") << QByteArray("-62502.25") << "-62502,25";
        QTest::newRow("zero") << QByteArray("0") << "0";
        QTest::newRow("negative zero") << QByteArray("-0") << "0";
        QTest::newRow("trailing zero") << QByteArray("2.50") << "2,5";
        QTest::newRow("binary noise") << QByteArray("0.30000000000000004") << "0,3";
        QTest::newRow("sixteen digits") << QByteArray("1234567890123456") << "1,23456789012346E+15";
        QTest::newRow("fifteen digits") << QByteArray("123456789012345") << "123456789012345";
        QTest::newRow("small") << QByteArray("0.0001") << "0,0001";
        QTest::newRow("smaller") << QByteArray("0.00001") << "1E-05";
        QTest::newRow("exponent") << QByteArray("1.5E3") << "1500";
        QTest::newRow("spaces") << QByteArray(" 7 ") << "7";
        QTest::newRow("not a number") << QByteArray("abc") << "abc";
    }
    void xlsxNumbers() {
        QFETCH(QByteArray, raw);
        QFETCH(QString, shown);
        const Sheet s = readFirstSheetFromData(
            minimalXlsx("<row r=\"1\"><c r=\"A1\"><v>" + raw + "</v></c></row>"), "x.xlsx", kComma);
        QCOMPARE(s.text(1, 1), shown);
    }

    // The sheet's XML as writers spell it, and damage that fails the read.
    void xlsxSheetXml_data() {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QString>("a1"); // empty: refused
        QTest::newRow("references")
            << QByteArray("<row><c t=\"str\"><v>a &amp; b &#233;&#x41;&lt;</v></c></row>")
            << QStringLiteral("a & b éA<");
        QTest::newRow("character data section")
            << QByteArray("<row><c t=\"str\"><v><![CDATA[<x> & y]]></v></c></row>")
            << QStringLiteral("<x> & y");
        QTest::newRow("prefixed names, single quotes, comment")
            << QByteArray("<x:row xmlns:x='http://schemas.openxmlformats.org/spreadsheetml/2006/"
                          "main' r='1'><!-- c --><x:c r='A1' t='inlineStr'><x:is><x:t>p</x:t>"
                          "</x:is></x:c></x:row>")
            << QStringLiteral("p");
        QTest::newRow("end tag that does not match")
            << QByteArray("<row><c><v>1</c></v></row>") << QString();
        QTest::newRow("unknown reference")
            << QByteArray("<row><c t=\"str\"><v>&nbsp;</v></c></row>") << QString();
        QTest::newRow("unclosed attribute")
            << QByteArray("<row><c r=\"A1><v>1</v></c></row>") << QString();
        QTest::newRow("element left open") << QByteArray("<row><c><v>1</v></c>") << QString();
        QTest::newRow("prefix never declared")
            << QByteArray("<row><x:c r=\"A1\"><v>1</v></x:c></row>") << QString();
    }
    void xlsxSheetXml() {
        QFETCH(QByteArray, sheetData);
        QFETCH(QString, a1);
        try {
            const Sheet s = readFirstSheetFromData(minimalXlsx(sheetData), "x.xlsx", kComma);
            QVERIFY(!a1.isEmpty());
            QCOMPARE(s.text(1, 1), a1);
        } catch (const SheetReadError& e) {
            QVERIFY2(a1.isEmpty(), qPrintable(e.message()));
            QVERIFY2(e.message().contains(
                         QStringLiteral("el contenido de xl/worksheets/s.xml está dañado")),
                     qPrintable(e.message()));
        }
    }

    // Parts as other writers write them: their own extensions in namespaces of their own, a
    // declared encoding, line breaks as CR LF; a document type is refused.
    void xlsxPartsAsWritten_data() {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QByteArray>("sharedStrings");
        QTest::addColumn<QString>("a1"); // empty: refused
        const QByteArray sharedA1 = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
        const QByteArray sst = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                               "2006/main\" xmlns:o=\"urn:otro:escritor\">";
        QTest::newRow("another writer's element inside a shared string")
            << sharedA1 << sst + "<si><t>Hola</t><o:t>EXTRA</o:t></si></sst>"
            << QStringLiteral("Hola");
        QTest::newRow("another writer's attribute on a cell")
            << QByteArray("<row r=\"1\"><c xmlns:o=\"urn:otro:escritor\" o:t=\"s\" r=\"A1\">"
                          "<v>5</v></c></row>")
            << sst + "</sst>" << QStringLiteral("5");
        QTest::newRow("shared strings in ISO-8859-1")
            << sharedA1
            << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + sst +
                   "<si><t>a\xF1o</t></si></sst>"
            << QStringLiteral("año");
        QTest::newRow("shared strings in windows-1252")
            << sharedA1
            << "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + sst +
                   "<si><t>\x80 10 \x93"
                   "a\x94</t></si></sst>"
            << QStringLiteral("€ 10 “a”");
        {
            // A byte order mark and two bytes a character from the first byte on.
            const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") +
                                 QString::fromUtf8(sst) + QStringLiteral("<si><t>año €</t></si></sst>");
            QByteArray utf16("\xFF\xFE", 2);
            utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            QTest::newRow("shared strings in UTF-16") << sharedA1 << utf16 << QStringLiteral("año €");
        }
        QTest::newRow("CR LF inside a shared string")
            << sharedA1 << sst + "<si><t>uno\r\ndos</t></si></sst>" << QStringLiteral("uno\ndos");
        QTest::newRow("CR LF inside a cell's text")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>uno\r\ndos</v></c></row>")
            << sst + "</sst>" << QStringLiteral("uno\ndos");
        QTest::newRow("document type with an entity")
            << sharedA1
            << "<!DOCTYPE sst [<!ENTITY a \"aaaa\">]>" + sst + "<si><t>&a;</t></si></sst>"
            << QString();
        // Plain parts are read by a scanner of their own, anything else by the parser from the
        // start: either way the same text, or the same refusal.
        QTest::newRow("declaration, CR LF and a preserved space")
            << sharedA1
            << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n" + sst +
                   "<si><t xml:space=\"preserve\"> Hola </t></si></sst>"
            << QStringLiteral(" Hola ");
        QTest::newRow("rich text in runs")
            << sharedA1
            << sst +
                   "<si><r><rPr><b/><sz val=\"11\"/></rPr><t>Ho</t></r><r><t>la</t></r></si></sst>"
            << QStringLiteral("Hola");
        QTest::newRow("characters of two to four bytes")
            << sharedA1 << sst + "<si><t>a\xC3\xB1o \xE2\x82\xAC \xF0\x9D\x84\x9E</t></si></sst>"
            << QStringLiteral("año € \U0001D11E");
        QTest::newRow("brackets in a text")
            << sharedA1 << sst + "<si><t>[a] ]]</t></si></sst>" << QStringLiteral("[a] ]]");
        QTest::newRow("references in a text")
            << sharedA1 << sst + "<si><t>a &amp; b &#241; &#x20AC;</t></si></sst>"
            << QStringLiteral("a & b ñ €");
        QTest::newRow("comment and CDATA in a text")
            << sharedA1 << sst + "<si><t>a<!-- b --><![CDATA[<c>]]></t></si></sst>"
            << QStringLiteral("a<c>");
        QTest::newRow("end tag of another element")
            << sharedA1 << sst + "<si><t>Hola</si></t></sst>" << QString();
        QTest::newRow("attribute twice")
            << sharedA1 << sst + "<si><t a=\"1\" a=\"2\">Hola</t></si></sst>" << QString();
        QTest::newRow("prefix never declared")
            << sharedA1 << sst + "<si><t p:a=\"1\">Hola</t></si></sst>" << QString();
        QTest::newRow("attributes not apart")
            << sharedA1 << sst + "<si><t a=\"1\"b=\"2\">Hola</t></si></sst>" << QString();
        QTest::newRow("bytes that are no UTF-8") << sharedA1
                                                 << sst + "<si><t>a\xFF\xC3"
                                                          "b</t></si></sst>"
                                                 << QString();
        QTest::newRow("\"]]>\" in a text")
            << sharedA1 << sst + "<si><t>a]]>b</t></si></sst>" << QString();
        QTest::newRow("text after the document")
            << sharedA1 << sst + "<si><t>Hola</t></si></sst>x" << QString();
        QTest::newRow("elements nested deeper than the parser goes")
            << sharedA1
            << sst + "<si><t>Hola</t>" + QByteArray("<r>").repeated(1000) +
                   QByteArray("</r>").repeated(1000) + "</si></sst>"
            << QString();
        QTest::newRow("part cut short") << sharedA1 << sst + "<si><t>Hola</t></si>" << QString();
        {
            // Longer than what the scanner holds at once: tags and characters cut by it.
            QByteArray many = sst;
            for (int i = 0; i < 40000; ++i)
                many += "<si><t>a\xC3\xB1o \xE2\x82\xAC " + QByteArray::number(i) + "</t></si>";
            QTest::newRow("a long part")
                << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>39999</v></c></row>")
                << many + "</sst>" << QStringLiteral("año € 39999");
        }
    }
    void xlsxPartsAsWritten() {
        QFETCH(QByteArray, sheetData);
        QFETCH(QByteArray, sharedStrings);
        QFETCH(QString, a1);
        const QByteArray sheet = "<worksheet xmlns=\"http://schemas.openxmlformats.org/"
                                 "spreadsheetml/2006/main\"><sheetData>" +
                                 sheetData + "</sheetData></worksheet>";
        try {
            const Sheet s = readFirstSheetFromData(xlsxWithStrings(sheet, sharedStrings),
                                                   QStringLiteral("x.xlsx"), kComma);
            QVERIFY(!a1.isEmpty());
            QCOMPARE(s.text(1, 1), a1);
        } catch (const SheetReadError& e) {
            QVERIFY2(a1.isEmpty(), qPrintable(e.message()));
            QVERIFY2(e.message().contains(
                         QStringLiteral("el contenido de xl/sharedStrings.xml está dañado")),
                     qPrintable(e.message()));
        }
    }

    // Attribute values with references: a part and a sheet named with "&", "<" and a quote, as
    // the other programs write them.
    void xlsxNamesWithReferences() {
        const QByteArray rel =
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
        const QByteArray xlsx = zipOf({
            {QStringLiteral("xl/workbook.xml"),
             "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
             "xmlns:r=\"" +
                 rel +
                 "\"><sheets>"
                 "<sheet name=\"Import &amp; Export &lt;&quot;1&quot;&gt;\" sheetId=\"1\" "
                 "r:id=\"rId&amp;1\"/></sheets></workbook>"},
            {QStringLiteral("xl/_rels/workbook.xml.rels"),
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
             "relationships\"><Relationship Id=\"rId&#38;1\" Type=\"" +
                 rel +
                 "/worksheet\" Target=\"worksheets/s&amp;1&lt;&quot;x&quot;&gt;&amp;amp;.xml\"/>"
                 "</Relationships>"},
            {QStringLiteral("xl/worksheets/s&1<\"x\">&amp;.xml"),
             "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
             "<sheetData><row r=\"1\"><c r=\"A1\" t=\"str\"><v>a &amp; b</v></c></row>"
             "</sheetData></worksheet>"},
        });
        QCOMPARE(cells(readFirstSheetFromData(xlsx, QStringLiteral("y.xlsx"), kComma)),
                 QStringList{"A1=a & b"});
    }

    // A part in an encoding the reader does not know is refused, naming it: an EBCDIC page
    // whose declaration the parser cannot find (its quotes are not where the usual EBCDIC
    // page has them) read as an empty part, another name as damage.
    void partInUnknownEncoding_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("part");
        QStringEncoder turkish("IBM1026");
        QVERIFY(turkish.isValid());
        const QByteArray sheet =
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row></sheetData>"
            "</worksheet>";
        const QByteArray strings = "<sst xmlns=\"http://schemas.openxmlformats.org/"
                                   "spreadsheetml/2006/main\"><si><t>Hola</t></si></sst>";
        const auto declared = [](const char* encoding, const QByteArray& part) {
            return "<?xml version=\"1.0\" encoding=\"" + QByteArray(encoding) + "\"?>" + part;
        };
        QTest::newRow("sheet in EBCDIC 1026")
            << xlsxWithStrings(turkish.encode(QString::fromLatin1(declared("IBM1026", sheet))),
                               strings)
            << QStringLiteral("xl/worksheets/s.xml");
        QTest::newRow("shared strings in EBCDIC 1026")
            << xlsxWithStrings(sheet,
                               turkish.encode(QString::fromLatin1(declared("IBM1026", strings))))
            << QStringLiteral("xl/sharedStrings.xml");
        QTest::newRow("shared strings in an encoding nobody knows")
            << xlsxWithStrings(sheet, declared("x-desconocida", strings))
            << QStringLiteral("xl/sharedStrings.xml");
    }
    void partInUnknownEncoding() {
        QFETCH(QByteArray, data);
        QFETCH(QString, part);
        try {
            const Sheet s = readFirstSheetFromData(data, QStringLiteral("ebcdic.xlsx"), kComma);
            QFAIL(qPrintable(QStringLiteral("read, %1 cells").arg(s.cellCount())));
        } catch (const SheetReadError& e) {
            QCOMPARE(e.message(), QStringLiteral("El archivo \"ebcdic.xlsx\" no se puede leer como "
                                                 "hoja de cálculo: el contenido de %1 está en una "
                                                 "codificación que no se puede leer.")
                                      .arg(part));
        }
    }

    // Cells out of order come out sorted; a later value at a position replaces the earlier.
    void cellsOutOfOrder() {
        const QByteArray sheetData = "<row r=\"1\"><c r=\"C1\"><v>3</v></c></row>"
                                     "<row r=\"2\"><c r=\"B2\"><v>2</v></c><c r=\"A2\"><v>1</v></c>"
                                     "</row><row r=\"1\"><c r=\"A1\"><v>5</v></c><c r=\"C1\">"
                                     "<v>9</v></c></row>";
        const Sheet s = readFirstSheetFromData(minimalXlsx(sheetData), "x.xlsx", kComma);
        QCOMPARE(cells(s), QStringList({"A1=5", "C1=9", "A2=1", "B2=2"}));
        QCOMPARE(s.cellCount(), 4);
        QCOMPARE(s.lastColumn(), 3);
    }

    // Truth values saved as numbers with a boolean style, or by a formula as numbers shown as
    // words, read as the other formats give them.
    void odsTruthValues() {
        const QByteArray content =
            "<office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1."
            "0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
            "<office:automatic-styles>"
            "<number:boolean-style style:name=\"N99\"><number:boolean/></number:boolean-style>"
            "<number:number-style style:name=\"N2\"><number:number/></number:number-style>"
            "<style:style style:name=\"ce1\" style:family=\"table-cell\" "
            "style:parent-style-name=\"Default\" style:data-style-name=\"N99\"/>"
            "<style:style style:name=\"ce2\" style:family=\"table-cell\" "
            "style:data-style-name=\"N2\"/>"
            "</office:automatic-styles><office:body><office:spreadsheet><table:table>"
            "<table:table-row>"
            "<table:table-cell table:style-name=\"ce1\" office:value-type=\"float\" "
            "office:value=\"1\"><text:p>VERDADERO</text:p></table:table-cell>"
            "<table:table-cell table:style-name=\"ce1\" office:value-type=\"float\" "
            "office:value=\"0\"><text:p>FALSO</text:p></table:table-cell>"
            "<table:table-cell table:style-name=\"ce2\" office:value-type=\"float\" "
            "office:value=\"1\"><text:p>1</text:p></table:table-cell>"
            "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\">"
            "<text:p>VERDADERO</text:p></table:table-cell>"
            "</table:table-row><table:table-row>"
            // Formulas' truth values as LibreOffice saves them: numbers shown as words.
            "<table:table-cell table:formula=\"of:=TRUE()\" office:value-type=\"float\" "
            "office:value=\"1\" calcext:value-type=\"float\"><text:p>TRUE</text:p>"
            "</table:table-cell>"
            "<table:table-cell table:formula=\"of:=[.C1]&gt;1\" office:value-type=\"float\" "
            "office:value=\"0\" calcext:value-type=\"float\"><text:p>FALSO</text:p>"
            "</table:table-cell>"
            "<table:table-cell table:formula=\"of:=[.C1]*1\" office:value-type=\"float\" "
            "office:value=\"1\" calcext:value-type=\"float\"><text:p>1</text:p>"
            "</table:table-cell>"
            "</table:table-row></table:table></office:spreadsheet></office:body>"
            "</office:document-content>";
        const QByteArray ods =
            zipOf({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                   {QStringLiteral("content.xml"), content}});
        QCOMPARE(
            cells(readFirstSheetFromData(ods, QStringLiteral("logicos.ods"), kComma)),
            QStringList({"A1=True", "B1=False", "C1=1", "D1=True", "A2=True", "B2=False", "C2=1"}));
    }

    // 16,384 columns of one row and a million repeated rows of an .ods stay within the cell cap.
    void wideAndLongOds() {
        const QByteArray content =
            "<office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
            "<office:spreadsheet><table:table>"
            "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1\" "
            "table:number-columns-repeated=\"16384\"/></table:table-row>"
            "<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell "
            "office:value-type=\"string\"><text:p>x</text:p></table:table-cell></table:table-row>"
            "</table:table></office:spreadsheet></office:body></office:document-content>";
        const QByteArray ods =
            zipOf({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                   {QStringLiteral("content.xml"), content}});
        const Sheet s = readFirstSheetFromData(ods, QStringLiteral("ancha.ods"), kComma);
        QCOMPARE(s.lastRow(), 1048576);
        QCOMPARE(s.lastColumn(), 16384);
        QCOMPARE(s.text(1, 16384), QStringLiteral("1"));
        QCOMPARE(s.text(1048576, 1), QStringLiteral("x"));

        // The same sheet repeated past the bounds is refused, not expanded.
        QByteArray past = content;
        past.replace("1048575", "1048576");
        const QByteArray ods2 =
            zipOf({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                   {QStringLiteral("content.xml"), past}});
        QVERIFY_THROWS_EXCEPTION(SheetReadError,
                                 readFirstSheetFromData(ods2, QStringLiteral("larga.ods"), kComma));
    }
};

CORVELIX_TEST(tst_SheetReader)
#include "tst_SheetReader.moc"
