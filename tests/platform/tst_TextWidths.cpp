#include "platform/TextWidths.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QFontMetrics>
#include <QTest>

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
    void widestIsTheExactWidest() {
        QFETCH(QStringList, texts);
        const QFont font;
        const QFontMetrics metrics(font);
        int expected = 0;
        for (const QString& text : texts)
            expected = std::max(expected, metrics.horizontalAdvance(text));
        QCOMPARE(widestTextPixels(font, texts), expected);
    }
};

CORVELIX_TEST(tst_TextWidths)
#include "tst_TextWidths.moc"
