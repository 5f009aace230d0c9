#include "WorkbookXml.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "workbook_export/WorkbookFile.h"
#include "workbook_export/WorkbookText.h"

#include "runtime/Format.h"

#include <QLocale>
#include <QRandomGenerator>

#include <QTest>
#include <cmath>

using corvelix::test::parseWorkbook;

class tst_WorkbookText : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
protected:
    void initTest() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
private slots:
protected:
    void cleanupTest() override { QLocale::setDefault(QLocale::system()); }
private slots:

    void envelopeWithStyles() {
        QByteArray text;
        workbook::appendEnvelopeStart(text, true);
        workbook::appendEnvelopeEnd(text);
        const QString expected = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"  "
            "xmlns:o=\"urn:schemas-microsoft-com:office:office\"  "
            "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"  "
            "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"  "
            "xmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n"
            " <Styles>   <Style ss:ID=\"Default\" ss:Name=\"Normal\">    <Alignment "
            "ss:Vertical=\"Bottom\"/>    <Borders/>    <Font ss:FontName=\"Aptos Narrow\" "
            "x:Family=\"Swiss\" ss:Size=\"11\"     ss:Color=\"#000000\"/>    <Interior/>    "
            "<NumberFormat/>    <Protection/>   </Style>   <Style ss:ID=\"s63\">    <Font "
            "ss:FontName=\"Aptos Narrow\" x:Family=\"Swiss\" ss:Size=\"11\"     "
            "ss:Color=\"#000000\" ss:Bold=\"1\"/>    <Interior ss:Color=\"#99CCFF\" "
            "ss:Pattern=\"Solid\"/>   </Style>  </Styles>\r\n</Workbook>");
        QCOMPARE(QString::fromUtf8(text), expected);
        const auto book = parseWorkbook(text);
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QVERIFY(book.hasStyles);
    }

    void envelopeWithoutStyles() {
        QByteArray text;
        workbook::appendEnvelopeStart(text, false);
        QVERIFY(text.endsWith("xmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n"));
        QVERIFY(!text.contains("Styles"));
    }

    void smallSheet() {
        workbook::Sheet sheet(u"A&B");
        sheet.beginRow()
            .headerCell(u"ITEM")
            .headerCellTwoBlanks(u"X")
            .plainHeaderCell(u"P")
            .endRow();
        sheet.beginRow()
            .textCell(QVariant())
            .textCell(QVariant(2.5))
            .numberCell(QVariant(1500.456), QStringLiteral("00.00"))
            .numberCell(QVariant(), QStringLiteral("00.00"))
            .numberCellNoMask(QVariant())
            .maskedTextCell(QVariant(7), QStringLiteral("0000"))
            .endRow();
        QCOMPARE(sheet.rows(), 2);
        QCOMPARE(QString::fromUtf8(sheet.finish()),
                 QStringLiteral(
                     "<Worksheet ss:Name=\"A&amp;B\">\r\n<Table>\r\n<Row>\r\n"
                     "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">ITEM</Data></Cell>\r\n"
                     "<Cell  ss:StyleID=\"s63\"><Data ss:Type=\"String\">X</Data></Cell>\r\n"
                     "<Cell><Data ss:Type=\"String\">P</Data></Cell>\r\n"
                     "</Row>\r\n<Row>\r\n"
                     "<Cell><Data ss:Type=\"String\"></Data></Cell>\r\n"
                     "<Cell><Data ss:Type=\"String\">2.5</Data></Cell>\r\n"
                     "<Cell><Data ss:Type=\"Number\">1500.46</Data></Cell>\r\n"
                     "<Cell><Data ss:Type=\"String\"></Data></Cell>\r\n"
                     "<Cell><Data ss:Type=\"Number\">0</Data></Cell>\r\n"
                     "<Cell><Data ss:Type=\"String\">0007</Data></Cell>\r\n"
                     "</Row>\r\n</Table>\r\n</Worksheet>\r\n"));
    }

    void numberText_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("expected");
        const QString two = QStringLiteral("00.00");
        QTest::newRow("rounded") << QVariant(1500.456) << two << QStringLiteral("1500.46");
        QTest::newRow("whole") << QVariant(7) << two << QStringLiteral("7");
        QTest::newRow("half") << QVariant(0.5) << two << QStringLiteral("0.5");
        QTest::newRow("negative") << QVariant(-3.1) << two << QStringLiteral("-3.1");
        QTest::newRow("half away from zero") << QVariant(2.345) << two << QStringLiteral("2.35");
        QTest::newRow("no number") << QVariant(QStringLiteral("abc")) << two << QStringLiteral("0");
        QTest::newRow("empty text") << QVariant(QString()) << two << QStringLiteral("0");
        QTest::newRow("text with point")
            << QVariant(QStringLiteral("12.345")) << two << QStringLiteral("12.35");
        QTest::newRow("text with comma")
            << QVariant(QStringLiteral("12,5")) << two << QStringLiteral("12.5");
        QTest::newRow("four") << QVariant(12.34567) << QStringLiteral("00.0000")
                              << QStringLiteral("12.3457");
        QTest::newRow("five") << QVariant(0.123456) << QStringLiteral("#0.00000")
                              << QStringLiteral("0.12346");
        QTest::newRow("coef") << QVariant(12.3456) << QStringLiteral("#0.00")
                              << QStringLiteral("12.35");
        QTest::newRow("kilos") << QVariant(1.0005) << QStringLiteral("00.000")
                               << QStringLiteral("1.001");
        QTest::newRow("large") << QVariant(123456789.125) << two << QStringLiteral("123456789.13");
        QTest::newRow("carry") << QVariant(9.995) << two << QStringLiteral("10");
        QTest::newRow("carry into a new digit") << QVariant(99.999) << two << QStringLiteral("100");
        QTest::newRow("tiny") << QVariant(0.0001) << two << QStringLiteral("0");
        QTest::newRow("negative to zero") << QVariant(-0.001) << two << QStringLiteral("0");
        QTest::newRow("small kept")
            << QVariant(0.00012345) << QStringLiteral("#0.00000") << QStringLiteral("0.00012");
        QTest::newRow("exponent form") << QVariant(1e20) << two << QStringLiteral("1E+20");
        QTest::newRow("fifteen digits")
            << QVariant(99999999999999.99) << two << QStringLiteral("100000000000000");
        // An exact tie at the fifteenth digit goes away from zero, as every number text here.
        QTest::newRow("tie at fifteen digits")
            << QVariant(33543540467196.25) << two << QStringLiteral("33543540467196.3");
    }
    void numberText() {
        QFETCH(QVariant, value);
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        QCOMPARE(workbook::numberText(value, mask), expected);
    }

    // The one-pass rounding gives what formatting with the mask, reading back and writing as
    // machine text gives, over a spread of magnitudes and all the masks in use.
    void numberTextMatchesTheMaskRoundTrip() {
        QRandomGenerator random(20261210);
        const QStringList masks{QStringLiteral("00.00"), QStringLiteral("00.0000"),
                                QStringLiteral("#0.00000"), QStringLiteral("#0.00"),
                                QStringLiteral("00.000")};
        for (int i = 0; i < 20000; ++i) {
            const double magnitude = std::pow(10.0, random.bounded(-6, 18));
            double value = (random.generateDouble() - 0.3) * magnitude;
            if (i % 7 == 0) // values on a rounding edge
                value = std::round(value * 1000.0) / 1000.0 + 0.005;
            for (const QString& mask : masks) {
                const QString reference = corvelix::machineNumber(
                    corvelix::formatNumber(value, mask, QLocale::c()).toDouble());
                QCOMPARE(workbook::numberText(QVariant(value), mask), reference);
            }
        }
    }

    void numberTextNoMask() {
        QCOMPARE(workbook::numberTextNoMask(QVariant(12.345)), QStringLiteral("12.345"));
        QCOMPARE(workbook::numberTextNoMask(QVariant(100)), QStringLiteral("100"));
        QCOMPARE(workbook::numberTextNoMask(QVariant()), QStringLiteral("0"));
        QCOMPARE(workbook::numberTextNoMask(QVariant(QStringLiteral("x"))), QStringLiteral("0"));
    }

    void maskedText() {
        const QString mask = QStringLiteral("0000");
        QCOMPARE(workbook::maskedText(QVariant(1), mask), QStringLiteral("0001"));
        QCOMPARE(workbook::maskedText(QVariant(12.0), mask), QStringLiteral("0012"));
        QCOMPARE(workbook::maskedText(QVariant(QStringLiteral("5")), mask), QStringLiteral("0005"));
        QCOMPARE(workbook::maskedText(QVariant(12345), mask), QStringLiteral("12345"));
        QCOMPARE(workbook::maskedText(QVariant(QStringLiteral("AB")), mask), QStringLiteral("AB"));
        QCOMPARE(workbook::maskedText(QVariant(), mask), QString());
    }

    // Text as a cell holds it, and what an XML reader gets back.
    void xmlText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("markup") << QStringLiteral("A & B <c> \"d\" 'e'")
                                << QStringLiteral("A &amp; B &lt;c&gt; \"d\" 'e'")
                                << QStringLiteral("A & B <c> \"d\" 'e'");
        QTest::newRow("accents") << QStringLiteral("Ñandú açaí") << QStringLiteral("Ñandú açaí")
                                 << QStringLiteral("Ñandú açaí");
        QTest::newRow("emoji") << QStringLiteral("caja \U0001F4E6")
                               << QStringLiteral("caja \U0001F4E6")
                               << QStringLiteral("caja \U0001F4E6");
        QTest::newRow("controls dropped") << QStringLiteral("a\x01"
                                                            "b\x0B"
                                                            "c\x1F"
                                                            "d\x7F"
                                                            "e")
                                          << QStringLiteral("abcd\x7F"
                                                            "e")
                                          << QStringLiteral("abcd\x7F"
                                                            "e");
        QTest::newRow("tab and line breaks kept")
            << QStringLiteral("a\tb\nc") << QStringLiteral("a\tb\nc") << QStringLiteral("a\tb\nc");
        QTest::newRow("non-characters dropped")
            << QString(QChar(0xFFFE)) + QStringLiteral("x") + QChar(0xFFFF) << QStringLiteral("x")
            << QStringLiteral("x");
        QTest::newRow("lone surrogate dropped")
            << QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y") + QChar(0xDC00)
            << QStringLiteral("xy") << QStringLiteral("xy");
    }
    void xmlText() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(QString, readBack);
        QCOMPARE(QString::fromUtf8(workbook::xmlText(text)), written);

        workbook::Sheet sheet(u"S");
        sheet.beginRow().textCell(text).headerCell(text).endRow();
        QByteArray book;
        workbook::appendEnvelopeStart(book, true);
        book += sheet.finish();
        workbook::appendEnvelopeEnd(book);
        const auto parsed = parseWorkbook(book);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(parsed.sheet(QStringLiteral("S")).texts(0), (QStringList{readBack, readBack}));
    }

    void valueTextUsesTheLocale() {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        QCOMPARE(workbook::valueText(QVariant(12.5)), QStringLiteral("12,5"));
        QCOMPARE(workbook::valueText(QVariant(30.0)), QStringLiteral("30"));
        QCOMPARE(workbook::valueText(QVariant(qlonglong(7))), QStringLiteral("7"));
        QCOMPARE(workbook::valueText(QVariant()), QString());
    }

    void proposedFileName_data() {
        QTest::addColumn<QString>("iddt");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("expected");
        QTest::newRow("with reference")
            << QStringLiteral("24001IC04000123X") << QStringLiteral("ABC 12")
            << QStringLiteral("24001IC04000123X ABC 12.xls");
        QTest::newRow("no reference") << QStringLiteral("24001IC04000123X") << QString()
                                      << QStringLiteral("24001IC04000123X.xls");
        QTest::newRow("at signs") << QStringLiteral("@24001IC04@000123X") << QStringLiteral(" R ")
                                  << QStringLiteral("24001IC04000123X  R.xls");
    }
    void proposedFileName() {
        QFETCH(QString, iddt);
        QFETCH(QString, reference);
        QFETCH(QString, expected);
        QCOMPARE(workbook::proposedFileName(iddt, reference), expected);
    }

    void withXlsExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringLiteral("/t/informe") << QStringLiteral("/t/informe.xls");
        QTest::newRow("upper") << QStringLiteral("/t/informe.XLS")
                               << QStringLiteral("/t/informe.XLS");
        QTest::newRow("other") << QStringLiteral("/t/informe.txt")
                               << QStringLiteral("/t/informe.txt.xls");
        QTest::newRow("no point") << QStringLiteral("/t/informexls")
                                  << QStringLiteral("/t/informexls");
        QTest::newRow("xlsx") << QStringLiteral("/t/a.xlsx") << QStringLiteral("/t/a.xlsx.xls");
    }
    void withXlsExtension() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(workbook::withXlsExtension(path), expected);
    }
};

CORVELIX_TEST(tst_WorkbookText)
#include "tst_WorkbookText.moc"
