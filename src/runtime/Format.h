#pragma once

#include <QLocale>
#include <QString>

namespace corvelix {

// Numbers formatted with the old runtime's masks ("00.00", "#0.00000", "###,##0.00", "0000", ...):
// '0' a digit always shown, '#' a digit shown only when significant, ',' in the integer part
// turns on grouping, '.' the decimal separator. Separators come from `locale`.
// Rounding is half away from zero on the number's 15-significant-digit decimal text, so 1.005
// with "0.00" gives "1.01". A negative number that rounds to zero loses its sign ("0.00").
QString formatNumber(double value, const QString& mask, const QLocale& locale = QLocale());

// One mask read once, for formatting many numbers with it: the same text as formatNumber.
class NumberMask {
public:
    explicit NumberMask(const QString& mask, const QLocale& locale = QLocale());
    QString operator()(double value) const;

private:
    int minInteger_ = 0;
    int minFraction_ = 0;
    int maxFraction_ = 0;
    QString groupSeparator_; // empty: no grouping
    QString negative_;
    QString decimalPoint_;
};

// The number a mask with `decimals` decimals shows, read back: `value` rounded half away from
// zero on its 15-digit decimal text, as formatNumber rounds (1.005 gives 1.01).
double roundedAsShown(double value, int decimals);

// Whether a text is a number under `locale`: blanks around, a leading sign, digits with the
// locale's group separators only between groups of three ("1.250,5" under es_AR, "1,250.5"
// under en_US; "1.05" and "1,05" are not numbers), the locale's decimal separator and an
// exponent ("1,5E+3" under es_AR). "" and "abc" are not numeric. Every box and sheet import
// reads numbers through this rule.
bool isNumeric(const QString& text, const QLocale& locale = QLocale());

// The old CDbl of a text under `locale`. Text that isNumeric rejects raises VbError 13
// ("No coinciden los tipos").
double toNumber(const QString& text, const QLocale& locale = QLocale());

// Machine text of a number for SQL and files: up to 15 significant digits, "." as decimal
// separator, no grouping, no trailing zeros; exponent form ("1E-05", "1.5E+20") when the
// decimal exponent is 15 or more or below -4, as the old general format did.
QString machineNumber(double value);

// The same general form with the locale's decimal separator (text shown on screen).
QString generalNumber(double value, const QLocale& locale = QLocale());

// Whether the catalog's number columns hold `value` as a number with `scale` decimals: a
// finite number that, rounded to that scale as roundedAsShown does, has at most 15
// significant digits (below 1E+13 for amounts kept with two decimals, below 1E+10 for unit
// prices with five).
bool fitsCatalog(double value, int scale);
// `value` when it fits the catalog at `scale` decimals; otherwise raises VbError 6
// ("Desbordamiento"). Every number a box writes to the catalog goes through it first.
double catalogNumber(double value, int scale);

} // namespace corvelix
