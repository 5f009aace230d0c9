#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "transfer/modRET.h"

#include <QLocale>
#include <QTest>

class tst_modRET : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void cleanupTest() override { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); }

private slots:
    void textToNumber_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<double>("valor");
        QTest::newRow("point") << "12.5" << 12.5;
        QTest::newRow("comma") << "12,5" << 12.5;
        QTest::newRow("one and a half") << "1.5" << 1.5;
        QTest::newRow("integer") << "42" << 42.0;
        QTest::newRow("negative") << "-0.25" << -0.25;
        QTest::newRow("blanks") << " 3.75 " << 3.75;
        QTest::newRow("exponent") << "1.5E+20" << 1.5e20;
        QTest::newRow("small exponent") << "1E-05" << 1e-5;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        // Machine text has no grouping: two separators are not a number.
        QTest::newRow("grouped") << "1.234,5" << 0.0;
        QTest::newRow("two points") << "1.234.567" << 0.0;
    }

    void textToNumber() {
        QFETCH(QString, texto);
        QFETCH(double, valor);
        for (const char* locale : {"es_AR", "en_US", "de_DE"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QCOMPARE(modRET::convertTexto_to_Double(texto), valor);
        }
    }

    void numberToText_data() {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("texto");
        QTest::newRow("one and a half") << 1.5 << "1.5";
        QTest::newRow("two") << 2.0 << "2";
        QTest::newRow("small") << 0.00001 << "1E-05";
        QTest::newRow("large") << 1.5e20 << "1.5E+20";
        QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("negative") << -1234.5 << "-1234.5";
    }

    void numberToText() {
        QFETCH(double, valor);
        QFETCH(QString, texto);
        for (const char* locale : {"es_AR", "en_US"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QCOMPARE(modRET::convertDouble_to_Texto(valor), texto);
            QCOMPARE(modRET::convertTexto_to_Double(texto), valor);
        }
    }
};

CORVELIX_TEST(tst_modRET)
#include "tst_modRET.moc"
