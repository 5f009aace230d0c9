// Delimited text (the lists this program saves as ".xls" among them, and what a spreadsheet
// program saves as CSV): decoded by its byte-order mark, else as UTF-8 when it is valid UTF-8,
// else as Windows-1252. The separator, tab, ';' or ',', is told by the content. Cells keep
// their text as written; a quoted field keeps its separators and line breaks.
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
// one whose number holds over more lines, then the one giving more fields. When none splits
// the lines, the one found most often in the first line; tab when there is none.
QChar delimiter(QStringView text) {
    constexpr qsizetype kLines = 20;
    const std::array<QChar, 3> candidates{QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(',')};
    QChar best;
    qsizetype bestLines = 0;
    qsizetype bestFields = 1;
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
        for (const auto& [count, lines] : linesWith) {
            if (count < 2)
                continue;
            if (lines > bestLines || (lines == bestLines && count > bestFields)) {
                best = candidates[k];
                bestLines = lines;
                bestFields = count;
            }
        }
    }
    if (!best.isNull())
        return best;
    std::size_t most = 0;
    for (std::size_t k = 1; k < candidates.size(); ++k)
        if (firstLine[k] > firstLine[most])
            most = k;
    return candidates[most];
}

} // namespace

void readDelimitedText(const QByteArray& data, SheetBuilder& builder) {
    const QString text = decode(data);
    const QChar sep = delimiter(text);
    qint64 row = 1;
    qint64 column = 1;
    splitRecords(
        text, sep, -1,
        [&](const QString& value) {
            if (!value.isEmpty()) {
                builder.checkBounds(row, column);
                builder.setText(static_cast<int>(row), static_cast<int>(column), value);
            }
            ++column;
        },
        [&] {
            ++row;
            column = 1;
        });
}

} // namespace corvelix
