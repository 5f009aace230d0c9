#include "runtime/TextCodec.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QStringDecoder>
#include <QTest>

using namespace corvelix;

class tst_TextCodec : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void encodes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("ascii") << QStringLiteral("Abc 1;\r\n") << QByteArray("Abc 1;\r\n");
        QTest::newRow("latin letters") << QStringLiteral("Ñandú ç")
                                       << QByteArray("\xD1"
                                                     "and\xFA \xE7");
        QTest::newRow("euro and quotes")
            << QStringLiteral("€ “x” – …") << QByteArray("\x80 \x93x\x94 \x96 \x85");
        QTest::newRow("not in code page") << QStringLiteral("a中b") << QByteArray("a?b");
        QTest::newRow("outside BMP is one character")
            << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("empty") << QString() << QByteArray();
    }

    void encodes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toWindows1252(text), bytes);
    }

    // The table agrees with the system's code-page converter for every byte, and every byte
    // survives decoding and encoding again.
    void everyByteRoundTrips() {
        QStringDecoder system("windows-1252");
        QVERIFY(system.isValid());
        for (int code = 0; code < 256; ++code) {
            const QByteArray byte(1, static_cast<char>(code));
            const QString text = fromWindows1252(byte);
            QCOMPARE(text.size(), 1);
            QCOMPARE(text, QString(system.decode(byte)));
            QCOMPARE(toWindows1252(text), byte);
        }
    }
};

CORVELIX_TEST(tst_TextCodec)
#include "tst_TextCodec.moc"
