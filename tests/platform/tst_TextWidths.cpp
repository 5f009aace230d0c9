#include "platform/TextWidths.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QFontMetricsF>
#include <QTest>
#include <QtMath>

#include <algorithm>

using namespace corvelix;

// Column widths come from whole texts measured in the grid's font, though most texts of a
// long column are only estimated from their characters.
class tst_TextWidths : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void widestIsTheExactWidest_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("none") << QStringList();
        QTest::newRow("only empty texts") << QStringList{"", ""};
        QTest::newRow("kerned pairs beside plain letters")
            << QStringList{"AVAVAVAVAV", "To Ty Te", "LTLTLT", "WAWAWAWA", "MMMMM", "iiiiiiiiii"};
        QTest::newRow("one narrow character apart") << QStringList{"0001", "0011", "0111", "1111"};
        QTest::newRow("lines of a list") << QStringList{"ACE18-MERCOSUR", "BK-RES256", "DI-EXENTO"};
        QTest::newRow("beyond Latin-1") << QStringList{"ŁÓDŹ", "Ωμέγα", "LODZ"};
        // Declaration numbers of one length: a kerned pair may make the widest estimate
        // narrower than a text estimated a little below it.
        QTest::newRow("declaration numbers")
            << QStringList{"26001IC04900001Z", "24033EC01000088P", "24001IC04000101K",
                           "25073EC06000031F", "24073IC06000215M", "23073IT04000480H",
                           "26001IC04000321R", "24001SIMI000377A", "25001IC06000118H"};
        QStringList codes;
        for (int i = 0; i < 3000; ++i)
            codes << QStringLiteral("%1.%2.%3.%4A")
                         .arg(1000 + i % 97)
                         .arg(10 + i % 89)
                         .arg(10 + i % 83)
                         .arg(100 + i % 79);
        codes << QStringLiteral("8471.30.12.999W");
        QTest::newRow("thousands of codes of one length") << codes;
    }
    // What a view needs to show the widest text whole: its fractional advance rounded up,
    // neither a pixel less nor one to spare; and the row it came from.
    void widestIsTheExactWidest() {
        QFETCH(QStringList, texts);
        const QFont font;
        const QFontMetricsF metrics(font);
        qreal widest = 0;
        for (const QString& text : texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        const int expected = qCeil(widest);
        QCOMPARE(widestTextPixels(font, texts), expected);

        WidestText list(font);
        for (qsizetype i = 0; i < texts.size(); ++i)
            list.add(texts.at(i), int(i));
        QCOMPARE(list.pixels(), expected);
        const int row = list.widestRow();
        if (expected == 0)
            QCOMPARE(row, -1);
        else
            QCOMPARE(metrics.horizontalAdvance(texts.at(row)), widest);
    }
};

CORVELIX_TEST(tst_TextWidths)
#include "tst_TextWidths.moc"
