#include "runtime/Format.h"

#include "runtime/VbError.h"

#include <QByteArray>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace corvelix {

namespace {

// The significant digits of a positive finite double rounded to 15 (the old runtime's
// precision), without trailing zeros, and its decimal point: 0.<digits> x 10^point. Found
// with std::to_chars, which rounds correctly as QByteArray::number does and is much the
// faster; read() answers false for an exact tie at the 15th digit, which the latter rounds
// its own way, and for what is not a positive, finite, normal number.
struct FastDigits {
    std::array<char, 20> digits{};
    int count = 0;
    int point = 0;

    bool read(double magnitude) {
        // Subnormal numbers carry fewer digits than the reasoning below needs.
        if (!(magnitude >= std::numeric_limits<double>::min()) || !std::isfinite(magnitude))
            return false;
        if (readFewDecimals(magnitude))
            return true;
        std::array<char, 64> buffer{};
        char* const first = buffer.data();
        char* const last = first + buffer.size();
        // The shortest text that reads back as the same double: when it has at most 15
        // digits it is the nearest 15-digit decimal too (they lie several units of the last
        // place apart, the shortest text within half of one).
        auto done = std::to_chars(first, last, magnitude, std::chars_format::scientific);
        if (done.ec != std::errc() || !take(first, done.ptr))
            return false;
        if (count > 15) {
            // A 5 as the 16th digit may be an exact tie.
            done = std::to_chars(first, last, magnitude, std::chars_format::scientific, 15);
            if (done.ec != std::errc() || !take(first, done.ptr) || digits[15] == '5')
                return false;
            done = std::to_chars(first, last, magnitude, std::chars_format::scientific, 14);
            if (done.ec != std::errc() || !take(first, done.ptr))
                return false;
        }
        while (count > 0 && digits[count - 1] == '0')
            --count;
        return count > 0;
    }

private:
    // The usual amounts and quantities (12, 2.5, 1234.57, 0.00125) without the general
    // search: the fewest decimals, up to six, whose number reads back as the same double.
    // Below 10^15 the doubles lie less than 10^-k apart, so that number is the only one of
    // its length that does, and it is the shortest text of the double.
    bool readFewDecimals(double magnitude) {
        constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
        for (int k = 0; k < int(std::size(kPowers)); ++k) {
            const double scaled = std::nearbyint(magnitude * kPowers[k]);
            if (scaled >= 1e15)
                return false;
            if (scaled / kPowers[k] != magnitude)
                continue;
            // The whole number's digits, then the point k places from its end.
            auto whole = static_cast<std::uint64_t>(scaled);
            std::array<char, 20> reversed{};
            int n = 0;
            while (whole > 0) {
                reversed[std::size_t(n++)] = static_cast<char>('0' + whole % 10);
                whole /= 10;
            }
            count = n;
            for (int i = 0; i < n; ++i)
                digits[std::size_t(i)] = reversed[std::size_t(n - 1 - i)];
            point = n - k;
            while (count > 0 && digits[std::size_t(count - 1)] == '0')
                --count;
            return true;
        }
        return false;
    }

    // "d[.ddd]e[+-]xx"
    bool take(const char* first, const char* end) {
        const char* e = std::find(first, end, 'e');
        if (e == end)
            return false;
        count = 0;
        for (const char* c = first; c < e; ++c) {
            if (*c == '.')
                continue;
            if (count == int(digits.size()))
                return false;
            digits[count++] = *c;
        }
        int exponent = 0;
        const char* from = e + 1;
        if (from < end && *from == '+')
            ++from;
        if (std::from_chars(from, end, exponent).ec != std::errc())
            return false;
        point = exponent + 1;
        return true;
    }
};

// A non-negative decimal number 0.<digits> x 10^point, the digits without trailing zeros.
// Zero has no digits. At most 16 digits: 15 significant ones and a carry.
struct Decimal {
    bool negative = false;
    std::array<char, 24> digits{};
    int count = 0;
    int point = 0;

    bool isZero() const { return count == 0; }
    // The digit `i` places after the first one; '0' outside the digits.
    char digitAt(int i) const { return i >= 0 && i < count ? digits[std::size_t(i)] : '0'; }

    void trimTrailingZeros() {
        while (count > 0 && digits[std::size_t(count - 1)] == '0')
            --count;
        if (count == 0)
            point = 0;
    }

    // The double's text with 15 significant digits, the precision the old runtime worked in.
    static Decimal fromDouble(double value) {
        Decimal d;
        d.negative = std::signbit(value);
        if (value == 0.0)
            return d;
        const double magnitude = std::fabs(value);
        FastDigits fast;
        if (fast.read(magnitude)) {
            std::copy_n(fast.digits.begin(), fast.count, d.digits.begin());
            d.count = fast.count;
            d.point = fast.point;
            return d;
        }
        // QByteArray::number does not depend on the C locale.
        const QByteArray text = QByteArray::number(magnitude, 'e', 14);
        const qsizetype e = text.indexOf('e');
        for (qsizetype i = 0; i < e && d.count < 15; ++i)
            if (text.at(i) != '.')
                d.digits[std::size_t(d.count++)] = text.at(i);
        d.point = text.mid(e + 1).toInt() + 1;
        d.trimTrailingZeros();
        return d;
    }

    // Keeps `decimals` digits after the decimal point, the rest rounded half away from zero.
    void roundTo(int decimals) {
        const int keep = point + decimals;
        if (keep >= count)
            return;
        if (keep < 0) {
            count = 0;
            point = 0;
            return;
        }
        const bool up = digits[std::size_t(keep)] >= '5';
        count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[std::size_t(i)] == '9') {
                digits[std::size_t(i)] = '0';
                --i;
            }
            if (i < 0) {
                std::copy_backward(digits.begin(), digits.begin() + count,
                                   digits.begin() + count + 1);
                digits[0] = '1';
                ++count;
                ++point;
            } else {
                ++digits[std::size_t(i)];
            }
        }
        trimTrailingZeros();
    }

    // The nearest double, as the number's text reads back.
    double toDouble() const {
        if (isZero())
            return 0.0;
        std::array<char, 48> text{};
        char* out = text.data();
        *out++ = '.';
        out = std::copy_n(digits.begin(), count, out);
        *out++ = 'e';
        out = std::to_chars(out, text.data() + text.size(), point).ptr;
        double value = 0;
        std::from_chars(text.data(), out, value);
        return negative ? -value : value;
    }
};

// The general form with '.' as separator: 15 significant digits, exponent outside 1E-4..1E15.
QString generalForm(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    // The usual numbers (amounts, quantities) written straight from their digits.
    FastDigits fast;
    if (fast.read(std::fabs(value)) && fast.point - 1 < 15 && fast.point - 1 >= -4) {
        std::array<char, 48> out{};
        int n = 0;
        if (std::signbit(value))
            out[n++] = '-';
        if (fast.point <= 0) {
            out[n++] = '0';
        } else {
            for (int i = 0; i < fast.point; ++i)
                out[n++] = i < fast.count ? fast.digits[i] : '0';
        }
        if (fast.point < fast.count) {
            out[n++] = '.';
            for (int i = fast.point; i < 0; ++i)
                out[n++] = '0';
            for (int i = std::max(fast.point, 0); i < fast.count; ++i)
                out[n++] = fast.digits[i];
        }
        return QString::fromLatin1(out.data(), n);
    }
    const Decimal d = Decimal::fromDouble(value);
    if (d.isZero())
        return QStringLiteral("0");
    QString out;
    if (d.negative)
        out += QLatin1Char('-');
    const int exponent = d.point - 1;
    if (exponent >= 15 || exponent < -4) {
        out += QLatin1Char(d.digits[0]);
        if (d.count > 1)
            out += QLatin1Char('.') + QLatin1String(d.digits.data() + 1, d.count - 1);
        return out + QLatin1Char('E') + (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
               QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    }
    if (d.point <= 0)
        out += QLatin1Char('0');
    for (int i = 0; i < d.point; ++i)
        out += QLatin1Char(d.digitAt(i));
    if (d.point < d.count) {
        out += QLatin1Char('.');
        for (int i = d.point; i < d.count; ++i)
            out += QLatin1Char(d.digitAt(i));
    }
    return out;
}

// A locale's decimal, group and sign texts, asked of the locale once for many numbers read
// under it (the boxes and sheet imports read every number under the user's locale).
struct LocaleSigns {
    QLocale locale = QLocale::c();
    QString decimal = QStringLiteral(".");
    QString group = QStringLiteral(",");
    QString minus = QStringLiteral("-");
    QString plus = QStringLiteral("+");
};

const LocaleSigns& signsOf(const QLocale& locale) {
    thread_local LocaleSigns known;
    if (!(known.locale == locale))
        known = {locale, locale.decimalPoint(), locale.groupSeparator(), locale.negativeSign(),
                 locale.positiveSign()};
    return known;
}

bool asciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// The number of `text` under `locale` rewritten in C form ("-1234.5e3"), or nothing.
std::optional<std::string> canonicalNumber(const QString& text, const QLocale& locale) {
    const QStringView s = QStringView(text).trimmed();
    const LocaleSigns& signs = signsOf(locale);
    const auto at = [&s](qsizetype i, const QString& piece) {
        return !piece.isEmpty() && s.mid(i, piece.size()) == piece;
    };
    std::string out;
    out.reserve(std::size_t(s.size()) + 1);
    qsizetype i = 0;
    const qsizetype n = s.size();
    // The locale's own signs too: formatNumber writes the locale's negative sign.
    if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-'))) {
        if (s.at(i) == QLatin1Char('-'))
            out += '-';
        ++i;
    } else if (at(i, signs.minus)) {
        out += '-';
        i += signs.minus.size();
    } else if (at(i, signs.plus)) {
        i += signs.plus.size();
    }
    int digits = 0;
    // Integer part. A group mark stands only between groups of three digits: "1.05" under a
    // comma locale is a mistyped decimal, not 105.
    int run = 0; // digits since the last group mark
    bool grouped = false;
    while (i < n) {
        if (asciiDigit(s.at(i))) {
            out += char(s.at(i).unicode());
            ++digits;
            ++run;
            ++i;
        } else if (digits > 0 && at(i, signs.group)) {
            if (grouped ? run != 3 : run > 3)
                return std::nullopt;
            grouped = true;
            run = 0;
            i += signs.group.size();
        } else {
            break;
        }
    }
    if (grouped && run != 3)
        return std::nullopt;
    if (i < n && at(i, signs.decimal)) {
        out += '.';
        i += signs.decimal.size();
        while (i < n && asciiDigit(s.at(i))) {
            out += char(s.at(i).unicode());
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (s.at(i) == QLatin1Char('E') || s.at(i) == QLatin1Char('e'))) {
        out += 'e';
        ++i;
        if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
            out += char(s.at(i++).unicode());
        int exponentDigits = 0;
        while (i < n && asciiDigit(s.at(i))) {
            out += char(s.at(i++).unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    return out;
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale) {
    const auto canonical = canonicalNumber(text, locale);
    if (!canonical)
        return std::nullopt;
    // The usual numbers read straight from their C form; what that refuses (far out of range)
    // is left to QLocale, which decides as before.
    double value = 0;
    const char* first = canonical->data();
    const char* last = first + canonical->size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc() && end == last && std::isfinite(value))
        return value;
    bool ok = false;
    value = QLocale::c().toDouble(QString::fromLatin1(*canonical), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt; // overflow is not a number for the old runtime either
    return value;
}

} // namespace

NumberMask::NumberMask(const QString& mask, const QLocale& locale)
    : negative_(locale.negativeSign()), decimalPoint_(locale.decimalPoint()) {
    const qsizetype dot = mask.indexOf(QLatin1Char('.'));
    const QStringView integerPart = dot < 0 ? QStringView(mask) : QStringView(mask).left(dot);
    const QStringView fractionPart = dot < 0 ? QStringView() : QStringView(mask).mid(dot + 1);
    minInteger_ = int(integerPart.count(QLatin1Char('0')));
    if (integerPart.contains(QLatin1Char(',')))
        groupSeparator_ = locale.groupSeparator();
    minFraction_ = int(fractionPart.count(QLatin1Char('0')));
    maxFraction_ = minFraction_ + int(fractionPart.count(QLatin1Char('#')));
}

QString NumberMask::operator()(double value) const {
    if (!std::isfinite(value))
        return QString::number(value);
    Decimal d = Decimal::fromDouble(value);
    d.roundTo(maxFraction_);

    const int integerDigits = std::max({d.point, minInteger_, 0});
    const int firstInteger = d.point - integerDigits; // zeros in front stand before the digits
    const int fractionDigits = std::max(d.count - d.point, minFraction_);
    // Built in place and made a QString once: a list formats a number for each of its rows.
    QVarLengthArray<QChar, 64> out;
    const auto append = [&out](const QString& text) { out.append(text.constData(), text.size()); };
    if (d.negative && !d.isZero())
        append(negative_);
    for (int i = 0; i < integerDigits; ++i) {
        if (i > 0 && !groupSeparator_.isEmpty() && (integerDigits - i) % 3 == 0)
            append(groupSeparator_);
        out.append(QLatin1Char(d.digitAt(firstInteger + i)));
    }
    if (maxFraction_ > 0 && fractionDigits > 0) {
        append(decimalPoint_);
        for (int i = 0; i < fractionDigits; ++i)
            out.append(QLatin1Char(d.digitAt(d.point + i)));
    }
    return QString(out.constData(), out.size());
}

QString formatNumber(double value, const QString& mask, const QLocale& locale) {
    return NumberMask(mask, locale)(value);
}

double roundedAsShown(double value, int decimals) {
    if (!std::isfinite(value))
        return value;
    Decimal d = Decimal::fromDouble(value);
    d.roundTo(decimals);
    return d.toDouble();
}

bool isNumeric(const QString& text, const QLocale& locale) {
    return parseNumber(text, locale).has_value();
}

double toNumber(const QString& text, const QLocale& locale) {
    const auto value = parseNumber(text, locale);
    if (!value)
        throw VbError(13, QStringLiteral("Corvelix"), QStringLiteral("No coinciden los tipos"));
    return *value;
}

QString machineNumber(double value) {
    return generalForm(value);
}

QString generalNumber(double value, const QLocale& locale) {
    QString text = generalForm(value);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

bool fitsCatalog(double value, int scale) {
    constexpr int kDigitos = 15;
    // Judged as it will be stored: 9999999999999.996 at two decimals is 1E+13.
    return std::isfinite(value) &&
           std::fabs(roundedAsShown(value, scale)) < std::pow(10.0, kDigitos - scale);
}

double catalogNumber(double value, int scale) {
    if (!fitsCatalog(value, scale))
        throw VbError(6, QStringLiteral("Corvelix"), QStringLiteral("Desbordamiento"));
    return value;
}

} // namespace corvelix
