// Delimited text (the lists this program saves as ".xls" among them, and what a spreadsheet
// program saves as CSV): decoded by its byte-order mark, else as UTF-8 when it is valid UTF-8,
// else as Windows-1252. The separator, tab, ';' or ',', is told by the content. Cells keep
// their text as written; a quoted field keeps its separators and line breaks. A ';' file
// comes from a machine whose decimal mark is the comma, a ',' file from one whose mark is the
// point: its numbers are given in the form the reading locale shows them.
#include "platform/SheetFormats.h"

#include "runtime/TextCodec.h"

#include <QStringDecoder>

#include <array>
#include <map>

namespace corvelix {

namespace {

QString decode(const QByteArray& data) {
    if (data.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(data.constData() + 3, data.size() - 3);
    if (data.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringDecoder::Utf16LE);
        return d.decode(data.mid(2));
    }
    if (data.startsWith("\xFE\xFF")) {
        QStringDecoder d(QStringDecoder::Utf16BE);
        return d.decode(data.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(data);
}

// Splits `text` into records of fields with `sep`, quotes as in CSV: a field that starts with
// a quote runs to the next lone quote, doubled quotes inside it standing for one. Calls
// `field(text)` for each field and `endRecord()` after each line; stops after `maxRecords`
// records (all when negative).
template <typename Field, typename EndRecord>
void splitRecords(QStringView text, QChar sep, qsizetype maxRecords, Field&& field,
                  EndRecord&& endRecord) {
    const qsizetype n = text.size();
    qsizetype records = 0;
    QString value;
    qsizetype i = 0;
    while (i < n && records != maxRecords) {
        // One field.
        value.clear();
        if (text.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                const QChar c = text.at(i++);
                if (c == QLatin1Char('"')) {
                    if (i < n && text.at(i) == QLatin1Char('"')) {
                        value += c;
                        ++i;
                        continue;
                    }
                    break;
                }
                // A line break inside the quotes is one line break of the cell.
                if (c == QLatin1Char('\r')) {
                    value += QLatin1Char('\n');
                    if (i < n && text.at(i) == QLatin1Char('\n'))
                        ++i;
                } else {
                    value += c;
                }
            }
        }
        // Unquoted text, or what follows the closing quote, up to the separator or line end.
        const qsizetype start = i;
        while (i < n) {
            const QChar c = text.at(i);
            if (c == sep || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                break;
            ++i;
        }
        if (i > start)
            value += text.mid(start, i - start);
        field(value);
        if (i >= n) {
            endRecord();
            ++records;
            break;
        }
        const QChar c = text.at(i++);
        if (c == sep) {
            if (i >= n) { // a separator ends the text: one more empty field
                field(QString());
                endRecord();
                ++records;
            }
            continue;
        }
        if (c == QLatin1Char('\r') && i < n && text.at(i) == QLatin1Char('\n'))
            ++i;
        endRecord();
        ++records;
    }
}

// The separator for which one number of fields, more than one, holds over most of the first
// lines (a title line above the table does not count against it); between separators, the
// one whose number holds over more lines, then the one giving more fields, except that a ';'
// holding over as many lines as a ',' wins: the commas are then the decimal marks of a file
// saved where the comma is the decimal mark. When none splits the lines, the one found most
// often in the first line; tab when there is none.
struct Separator {
    QChar character;
    bool holds = false; // it splits the lines into fields
};
Separator delimiter(QStringView text) {
    constexpr qsizetype kLines = 20;
    const std::array<QChar, 3> candidates{QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(',')};
    struct Holding {
        qsizetype lines = 0;
        qsizetype fields = 1;
    };
    std::array<Holding, 3> holding{};
    std::array<qsizetype, 3> firstLine{};
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        qsizetype fields = 0;
        bool blank = true; // no field of the record so far holds text
        std::map<qsizetype, qsizetype> linesWith; // fields -> lines
        splitRecords(
            text, candidates[k], kLines,
            [&](const QString& value) {
                ++fields;
                if (!value.isEmpty())
                    blank = false;
            },
            [&] {
                if (!blank) { // empty lines and lines of separators only do not count
                    if (linesWith.empty())
                        firstLine[k] = fields;
                    ++linesWith[fields];
                }
                fields = 0;
                blank = true;
            });
        for (const auto& [count, lines] : linesWith)
            if (count >= 2 && (lines > holding[k].lines ||
                               (lines == holding[k].lines && count > holding[k].fields)))
                holding[k] = {lines, count};
    }
    std::size_t best = candidates.size();
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (holding[k].lines == 0)
            continue;
        if (best == candidates.size()) {
            best = k;
            continue;
        }
        const bool semicolonHolds =
            candidates[best] == QLatin1Char(';') && candidates[k] == QLatin1Char(',');
        if (holding[k].lines > holding[best].lines ||
            (!semicolonHolds && holding[k].lines == holding[best].lines &&
             holding[k].fields > holding[best].fields))
            best = k;
    }
    if (best < candidates.size())
        return {candidates[best], true};
    std::size_t most = 0;
    for (std::size_t k = 1; k < candidates.size(); ++k)
        if (firstLine[k] > firstLine[most])
            most = k;
    return {candidates[most], false};
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A number written with the file's decimal mark `decimal` (groups of three digits set off by
// `group`) in the form the locale shows it (`point`, no groups), as the spreadsheet program
// reads it from the file; any other text as written. A whole number without groups reads the
// same everywhere and stays as written.
QString localNumber(const QString& field, QChar decimal, QChar group, const QString& point) {
    const qsizetype n = field.size();
    qsizetype i = 0;
    if (i < n && (field.at(i) == QLatin1Char('-') || field.at(i) == QLatin1Char('+')))
        ++i;
    const qsizetype start = i;
    qsizetype digits = 0; // of the current group
    bool grouped = false;
    for (; i < n; ++i) {
        const QChar c = field.at(i);
        if (isDigit(c)) {
            ++digits;
        } else if (c == group) {
            if (digits == 0 || digits > 3 || (grouped && digits != 3))
                return field;
            grouped = true;
            digits = 0;
        } else {
            break;
        }
    }
    if (grouped && digits != 3)
        return field;
    const qsizetype integerEnd = i;
    qsizetype fraction = 0;
    if (i < n && field.at(i) == decimal) {
        while (++i < n && isDigit(field.at(i)))
            ++fraction;
        if (fraction == 0)
            return field;
    }
    if (i != n || (integerEnd == start && fraction == 0) || (!grouped && fraction == 0))
        return field;
    QString out = field.left(start);
    for (qsizetype k = start; k < integerEnd; ++k)
        if (field.at(k) != group)
            out += field.at(k);
    if (integerEnd == start)
        out += QLatin1Char('0');
    if (fraction > 0) {
        out += point;
        out += QStringView(field).mid(integerEnd + 1);
    }
    return out;
}

} // namespace

void readDelimitedText(const QByteArray& data, SheetBuilder& builder) {
    const QString text = decode(data);
    const auto [sep, holds] = delimiter(text);
    // Tab separated lists and lone columns keep their numbers as written.
    const bool numbers = holds && sep != QLatin1Char('\t');
    const QChar decimal = sep == QLatin1Char(';') ? QLatin1Char(',') : QLatin1Char('.');
    const QChar group = sep == QLatin1Char(';') ? QLatin1Char('.') : QLatin1Char(',');
    const QString point = builder.locale().decimalPoint();
    qint64 row = 1;
    qint64 column = 1;
    splitRecords(
        text, sep, -1,
        [&](const QString& value) {
            if (!value.isEmpty()) {
                builder.checkBounds(row, column);
                builder.setText(static_cast<int>(row), static_cast<int>(column),
                                numbers ? localNumber(value, decimal, group, point) : value);
            }
            ++column;
        },
        [&] {
            ++row;
            column = 1;
        });
}

} // namespace corvelix
