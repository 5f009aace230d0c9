#include "runtime/Twips.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace corvelix;

class tst_Twips : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void twips_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("column width") << 2400 << 160;
        QTest::newRow("rounds to the nearest") << 1945 << 130; // 129.67
        QTest::newRow("below half") << 7 << 0;
        QTest::newRow("above half") << 8 << 1;
        QTest::newRow("negative margin") << -150 << -10;
    }

    void twips() {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twipsToPixels(twips), pixels);
        if (twips % kTwipsPerPixel == 0)
            QCOMPARE(pixelsToTwips(pixels), twips);
    }

    void colours_data() {
        QTest::addColumn<quint32>("bgr");
        QTest::addColumn<QColor>("color");
        QTest::newRow("blue") << quint32(0xFF0000) << QColor(0, 0, 255);
        QTest::newRow("white") << quint32(0xFFFFFF) << QColor(255, 255, 255);
        QTest::newRow("grey") << quint32(0xEAEAEA) << QColor(0xEA, 0xEA, 0xEA);
        QTest::newRow("mixed") << quint32(0x665428) << QColor(0x28, 0x54, 0x66);
    }

    void colours() {
        QFETCH(quint32, bgr);
        QFETCH(QColor, color);
        QCOMPARE(vbColor(bgr), color);
    }
};

CORVELIX_TEST(tst_Twips)
#include "tst_Twips.moc"
