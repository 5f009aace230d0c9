#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <array>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include <limits>

using namespace corvelix;

namespace {
const QLocale esAR(QStringLiteral("es_AR"));
const QLocale enUS(QStringLiteral("en_US"));
} // namespace

class tst_Format : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void masks_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("esAR");
        QTest::addColumn<QString>("enUS");

        QTest::newRow("00.00 pads") << 1.5 << "00.00"
                                    << "01,50"
                                    << "01.50";
        QTest::newRow("00.00 wide integer") << 1234.567 << "00.00"
                                            << "1234,57"
                                            << "1234.57";
        QTest::newRow("00.00 negative") << -5.0 << "00.00"
                                        << "-05,00"
                                        << "-05.00";
        QTest::newRow("00.00 zero") << 0.0 << "00.00"
                                    << "00,00"
                                    << "00.00";
        QTest::newRow("00.00 half up") << 0.005 << "00.00"
                                       << "00,01"
                                       << "00.01";
        QTest::newRow("00.000") << 12.3456 << "00.000"
                                << "12,346"
                                << "12.346";
        QTest::newRow("00.000 tiny") << 0.0005 << "00.000"
                                     << "00,001"
                                     << "00.001";
        QTest::newRow("00.0000") << 3.14159265 << "00.0000"
                                 << "03,1416"
                                 << "03.1416";
        QTest::newRow("00.00000 decimal half") << 1.234565 << "00.00000"
                                               << "01,23457"
                                               << "01.23457";
        QTest::newRow("00.00000 tiny") << 0.000005 << "00.00000"
                                       << "00,00001"
                                       << "00.00001";
        QTest::newRow("00.000000") << 1.0 / 3.0 << "00.000000"
                                   << "00,333333"
                                   << "00.333333";
        QTest::newRow("#0.00 below one") << 0.5 << "#0.00"
                                         << "0,50"
                                         << "0.50";
        QTest::newRow("#0.00 decimal half") << 123.455 << "#0.00"
                                            << "123,46"
                                            << "123.46";
        QTest::newRow("#0.00000") << 2.0 << "#0.00000"
                                  << "2,00000"
                                  << "2.00000";
        QTest::newRow("0.00 binary below half") << 1.005 << "0.00"
                                                << "1,01"
                                                << "1.01";
        QTest::newRow("0.00 negative to zero") << -0.001 << "0.00"
                                               << "0,00"
                                               << "0.00";
        QTest::newRow("0.00 negative half") << -0.005 << "0.00"
                                            << "-0,01"
                                            << "-0.01";
        QTest::newRow("0.00 carry") << 9.999 << "0.00"
                                    << "10,00"
                                    << "10.00";
        QTest::newRow("0.00 huge") << 1e20 << "0.00"
                                   << "100000000000000000000,00"
                                   << "100000000000000000000.00";
        QTest::newRow("0000") << 7.0 << "0000"
                              << "0007"
                              << "0007";
        QTest::newRow("0000 wider") << 12345.0 << "0000"
                                    << "12345"
                                    << "12345";
        QTest::newRow("0000 half") << 2.5 << "0000"
                                   << "0003"
                                   << "0003";
        QTest::newRow("000") << 42.0 << "000"
                             << "042"
                             << "042";
        QTest::newRow("00 half") << 2.5 << "00"
                                 << "03"
                                 << "03";
        QTest::newRow("00 negative half") << -2.5 << "00"
                                          << "-03"
                                          << "-03";
        QTest::newRow("00 below half") << 0.49 << "00"
                                       << "00"
                                       << "00";
        QTest::newRow("000000") << 12.0 << "000000"
                                << "000012"
                                << "000012";
        QTest::newRow("000000000000") << 123456789.0 << "000000000000"
                                      << "000123456789"
                                      << "000123456789";
        QTest::newRow("###,##0.00 millions") << 1234567.891 << "###,##0.00"
                                             << "1.234.567,89"
                                             << "1,234,567.89";
        QTest::newRow("###,##0.00 zero") << 0.0 << "###,##0.00"
                                         << "0,00"
                                         << "0.00";
        QTest::newRow("###,##0.00 carry into group") << 999.995 << "###,##0.00"
                                                     << "1.000,00"
                                                     << "1,000.00";
        QTest::newRow("###,##0.00 negative") << -1234.5 << "###,##0.00"
                                             << "-1.234,50"
                                             << "-1,234.50";
        QTest::newRow("###,##0.000") << 1234.5678 << "###,##0.000"
                                     << "1.234,568"
                                     << "1,234.568";
        QTest::newRow("###,000.00 small") << 5.0 << "###,000.00"
                                          << "005,00"
                                          << "005.00";
        QTest::newRow("###,000.00 grouped") << 1234.5 << "###,000.00"
                                            << "1.234,50"
                                            << "1,234.50";
    }

    void masks() {
        QFETCH(double, value);
        QFETCH(QString, mask);
        QFETCH(QString, esAR);
        QFETCH(QString, enUS);
        QCOMPARE(formatNumber(value, mask, ::esAR), esAR);
        QCOMPARE(formatNumber(value, mask, ::enUS), enUS);
    }

    void defaultLocaleIsUsed() {
        QLocale::setDefault(enUS);
        const QString us = formatNumber(1234.5, QStringLiteral("###,##0.00"));
        QLocale::setDefault(esAR);
        QCOMPARE(us, QStringLiteral("1,234.50"));
        QCOMPARE(formatNumber(1234.5, QStringLiteral("###,##0.00")), QStringLiteral("1.234,50"));
        QVERIFY(isNumeric(QStringLiteral("1,5")));
        QCOMPARE(toNumber(QStringLiteral("1,5")), 1.5);
        QCOMPARE(generalNumber(1.5), QStringLiteral("1,5"));
    }

    void numericText_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");

        QTest::newRow("ar comma") << "es_AR"
                                  << "12,5" << true << 12.5;
        // The keyboard's point under a comma locale: a group mark in the wrong place is no
        // number, never 125.
        QTest::newRow("ar point inside a group") << "es_AR"
                                                 << "12.5" << false << 0.0;
        QTest::newRow("ar rate with the keyboard point") << "es_AR"
                                                         << "1.05" << false << 0.0;
        QTest::newRow("ar amount with the keyboard point") << "es_AR"
                                                           << "872.5" << false << 0.0;
        QTest::newRow("ar group of four") << "es_AR"
                                          << "1.2345" << false << 0.0;
        QTest::newRow("ar first group of four") << "es_AR"
                                                << "1234.567" << false << 0.0;
        QTest::newRow("ar group mark at the end") << "es_AR"
                                                  << "1." << false << 0.0;
        QTest::newRow("ar group mark before the decimal") << "es_AR"
                                                          << "1.,5" << false << 0.0;
        QTest::newRow("ar group after the decimal") << "es_AR"
                                                    << "1,250.5" << false << 0.0;
        QTest::newRow("ar grouped") << "es_AR"
                                    << "1.234,5" << true << 1234.5;
        QTest::newRow("ar grouped thousands") << "es_AR"
                                              << "1.250" << true << 1250.0;
        QTest::newRow("ar grouped millions") << "es_AR"
                                             << "-12.345.678,25" << true << -12345678.25;
        QTest::newRow("ar blanks and sign") << "es_AR"
                                            << "  -3,25 " << true << -3.25;
        QTest::newRow("ar plus") << "es_AR"
                                 << "+7" << true << 7.0;
        QTest::newRow("ar exponent") << "es_AR"
                                     << "1,5E+3" << true << 1500.0;
        QTest::newRow("ar small exponent") << "es_AR"
                                           << "1E-05" << true << 1e-5;
        QTest::newRow("ar lower e") << "es_AR"
                                    << "2e2" << true << 200.0;
        QTest::newRow("ar leading decimal") << "es_AR"
                                            << ",5" << true << 0.5;
        QTest::newRow("ar trailing decimal") << "es_AR"
                                             << "5," << true << 5.0;
        QTest::newRow("ar empty") << "es_AR"
                                  << "" << false << 0.0;
        QTest::newRow("ar blanks only") << "es_AR"
                                        << "   " << false << 0.0;
        QTest::newRow("ar letters") << "es_AR"
                                    << "abc" << false << 0.0;
        QTest::newRow("ar two decimals") << "es_AR"
                                         << "1,2,3" << false << 0.0;
        QTest::newRow("ar trailing letter") << "es_AR"
                                            << "12a" << false << 0.0;
        QTest::newRow("ar sign only") << "es_AR"
                                      << "-" << false << 0.0;
        QTest::newRow("ar exponent only") << "es_AR"
                                          << "E5" << false << 0.0;
        QTest::newRow("ar exponent without digits") << "es_AR"
                                                    << "1E" << false << 0.0;
        QTest::newRow("ar group before digits") << "es_AR"
                                                << ".5" << false << 0.0;
        QTest::newRow("ar overflow") << "es_AR"
                                     << "1E400" << false << 0.0;
        QTest::newRow("us point") << "en_US"
                                  << "12.5" << true << 12.5;
        QTest::newRow("us comma inside a group") << "en_US"
                                                 << "12,5" << false << 0.0;
        QTest::newRow("us rate with a comma") << "en_US"
                                              << "1,05" << false << 0.0;
        QTest::newRow("us group of two") << "en_US"
                                         << "1,25,000" << false << 0.0;
        QTest::newRow("us grouped") << "en_US"
                                    << "1,234.5" << true << 1234.5;
        QTest::newRow("us grouped twice") << "en_US"
                                          << "1,250,000.5" << true << 1250000.5;
        QTest::newRow("us exponent") << "en_US"
                                     << "-1.5E+20" << true << -1.5e20;
        QTest::newRow("us letters") << "en_US"
                                    << "1.2.3" << false << 0.0;
    }

    void numericText() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const QLocale loc(locale);
        QCOMPARE(isNumeric(text, loc), numeric);
        if (numeric) {
            QCOMPARE(toNumber(text, loc), value);
            return;
        }
        try {
            toNumber(text, loc);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, 13);
            QCOMPARE(e.source, QStringLiteral("Corvelix"));
            QCOMPARE(e.description, QStringLiteral("No coinciden los tipos"));
        }
    }

    // Amounts are often rounded by formatting them and reading the text back as a number.
    void formattedTextReadsBack_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("es_AR") << "es_AR";
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("apostrophe grouping") << "de_CH";
        QTest::newRow("blank grouping") << "fr_FR";
        QTest::newRow("own minus sign") << "fa_IR";
        QTest::newRow("minus with a direction mark") << "ar_EG";
    }

    void formattedTextReadsBack() {
        QFETCH(QString, locale);
        const QLocale loc(locale);
        const struct {
            double value;
            const char* mask;
            double back;
        } cases[] = {{-1234567.891, "###,##0.00", -1234567.89},
                     {1234.5678, "###,##0.000", 1234.568},
                     {-5.0, "00.00", -5.0},
                     {0.333333, "00.00000", 0.33333}};
        for (const auto& c : cases) {
            const QString text = formatNumber(c.value, QString::fromLatin1(c.mask), loc);
            QVERIFY2(isNumeric(text, loc), qPrintable(text));
            QCOMPARE(toNumber(text, loc), c.back);
        }
        const QString general = generalNumber(-1234.5, loc);
        QVERIFY2(isNumeric(general, loc), qPrintable(general));
        QCOMPARE(toNumber(general, loc), -1234.5);
    }

    void machineText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("integer") << 2.0 << "2";
        QTest::newRow("hundred") << 100.0 << "100";
        QTest::newRow("half") << 1.5 << "1.5";
        QTest::newRow("negative") << -12.5 << "-12.5";
        QTest::newRow("below one") << 0.25 << "0.25";
        QTest::newRow("binary noise") << 0.1 + 0.2 << "0.3";
        QTest::newRow("1E-4 stays plain") << 0.0001 << "0.0001";
        QTest::newRow("small plain") << 0.00012345 << "0.00012345";
        QTest::newRow("1E-05") << 0.00001 << "1E-05";
        QTest::newRow("small negative") << -2.5e-7 << "-2.5E-07";
        QTest::newRow("15 digits plain") << 123456789012345.0 << "123456789012345";
        QTest::newRow("1E+15") << 1e15 << "1E+15";
        QTest::newRow("rounds up to 1E+15") << 999999999999999.9 << "1E+15";
        QTest::newRow("16 digits") << 1234567890123456.0 << "1.23456789012346E+15";
        QTest::newRow("1.5E+20") << 1.5e20 << "1.5E+20";
        QTest::newRow("three-digit exponent") << 1e100 << "1E+100";
        QTest::newRow("tiny") << 1e-300 << "1E-300";
        QTest::newRow("15 significant digits") << 2.0 / 3.0 << "0.666666666666667";
    }

    void machineText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(machineNumber(value), text);
        QLocale::setDefault(enUS);
        const QString us = generalNumber(value);
        QLocale::setDefault(esAR);
        QCOMPARE(us, text);
        QString comma = text;
        comma.replace(QLatin1Char('.'), QLatin1Char(','));
        QCOMPARE(generalNumber(value, esAR), comma);
    }

    void machineTextReadsBack() {
        for (double v : {1.5, -2.5e-7, 123456789012345.0, 1.5e20, 0.0001})
            QCOMPARE(toNumber(machineNumber(v), QLocale::c()), v);
    }

    // The machine text of a double is its shortest text that reads back as the same double
    // (when that has at most 15 digits): amounts with few decimals and arbitrary doubles.
    void machineTextIsTheShortest() {
        // Digits without leading or trailing zeros, and where the point goes: 0.<digits> x 10^point.
        const auto normal = [](std::string text, int point) {
            std::string digits;
            for (const char c : text)
                if (c != '.')
                    digits += c;
            while (!digits.empty() && digits.front() == '0') {
                digits.erase(0, 1);
                --point;
            }
            while (!digits.empty() && digits.back() == '0')
                digits.pop_back();
            return std::make_pair(digits, point);
        };
        std::mt19937_64 random(20261211);
        std::uniform_int_distribution<std::uint64_t> whole(1, 999999999999999ULL);
        std::uniform_int_distribution<int> places(0, 8);
        std::uniform_real_distribution<double> spread(-4, 15);
        for (int i = 0; i < 200000; ++i) {
            double value = 0;
            if (i % 2 == 0) {
                const int k = places(random);
                value = double(whole(random) % (k < 3 ? 1000000000ULL : 999999999999999ULL)) /
                        std::pow(10.0, k);
            } else {
                value = std::pow(10.0, spread(random));
            }
            if (!(value >= 1e-4 && value < 1e15))
                continue;
            std::array<char, 64> buffer{};
            const auto done = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::scientific);
            const std::string text(buffer.data(), done.ptr);
            const auto e = text.find('e');
            const auto expected = normal(text.substr(0, e), std::stoi(text.substr(e + 1)) + 1);
            if (expected.first.size() > 15)
                continue;
            const std::string ours = machineNumber(value).toStdString();
            const auto dot = ours.find('.');
            const auto got = normal(ours, int(dot == std::string::npos ? ours.size() : dot));
            if (got != expected)
                QFAIL(qPrintable(QStringLiteral("%1: %2").arg(QString::fromStdString(text),
                                                              QString::fromStdString(ours))));
        }
    }

    // Sums and spreads round a value as its box shows it, without writing the text.
    void roundedAsShown_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("rounded");
        QTest::newRow("tie away from zero") << 1.005 << 2 << 1.01;
        QTest::newRow("negative tie") << -2.675 << 2 << -2.68;
        QTest::newRow("carry into a new digit") << 999.9996 << 3 << 1000.0;
        QTest::newRow("negative to zero") << -0.004 << 2 << 0.0;
        QTest::newRow("below the last place") << 0.0004 << 2 << 0.0;
        QTest::newRow("up from below the point") << 0.006 << 2 << 0.01;
        QTest::newRow("whole") << 1200.0 << 2 << 1200.0;
        QTest::newRow("six decimals") << 0.1234565 << 6 << 0.123457;
        QTest::newRow("15th-digit tie") << 0.1000000000000005 << 15 << 0.100000000000001;
        QTest::newRow("large") << 123456789012.345 << 2 << 123456789012.35;
        QTest::newRow("tiny") << 1e-300 << 2 << 0.0;
    }
    void roundedAsShown() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(double, rounded);
        QCOMPARE(corvelix::roundedAsShown(value, decimals), rounded);
        const QString mask = QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
        QCOMPARE(corvelix::roundedAsShown(value, decimals),
                 formatNumber(value, mask, QLocale::c()).toDouble());
    }

    // The catalog holds 15 significant digits at a box's scale; beyond, "Desbordamiento".
    void catalogRange_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("scale");
        QTest::addColumn<bool>("fits");
        QTest::newRow("amount just below") << 9999999999999.99 << 2 << true;
        QTest::newRow("amount at the limit") << 1e13 << 2 << false;
        QTest::newRow("negative amount") << -1e13 << 2 << false;
        QTest::newRow("twenty nines") << 99999999999999999999.0 << 2 << false;
        QTest::newRow("unit price") << 9999999999.5 << 5 << true;
        QTest::newRow("unit price beyond") << 1e10 << 5 << false;
        // Judged as stored: rounded to the scale first.
        QTest::newRow("amount that rounds to 1E+13") << 9999999999999.996 << 2 << false;
        QTest::newRow("amount that rounds down") << 9999999999999.994 << 2 << true;
        QTest::newRow("negative amount that rounds to -1E+13") << -9999999999999.996 << 2 << false;
        QTest::newRow("unit price that rounds to 1E+10") << 9999999999.999996 << 5 << false;
        QTest::newRow("kilos that round to 1E+12") << 999999999999.9996 << 3 << false;
        QTest::newRow("zero") << 0.0 << 6 << true;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 2 << false;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 2 << false;
    }
    void catalogRange() {
        QFETCH(double, value);
        QFETCH(int, scale);
        QFETCH(bool, fits);
        QCOMPARE(fitsCatalog(value, scale), fits);
        if (fits) {
            QCOMPARE(catalogNumber(value, scale), value);
            return;
        }
        try {
            catalogNumber(value, scale);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, 6);
            QCOMPARE(e.description, QStringLiteral("Desbordamiento"));
        }
    }

    void nonFiniteDoesNotCrash() {
        QVERIFY(!machineNumber(std::numeric_limits<double>::quiet_NaN()).isEmpty());
        QVERIFY(!formatNumber(std::numeric_limits<double>::infinity(), QStringLiteral("0.00"))
                     .isEmpty());
    }
};

CORVELIX_TEST(tst_Format)
#include "tst_Format.moc"
