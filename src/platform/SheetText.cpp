// Tab- or comma-separated text (the lists this program saves as ".xls" among them): decoded by
// its byte-order mark, else as UTF-8 when it is valid UTF-8, else as Windows-1252. Cells keep
// their text as written.
#include "platform/SheetFormats.h"

#include "runtime/TextCodec.h"

#include <QStringDecoder>

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

// Tab unless the first line has more commas than tabs (outside quotes).
QChar delimiter(const QString& text) {
    qsizetype tabs = 0;
    qsizetype commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
    }
    return commas > tabs ? QLatin1Char(',') : QLatin1Char('\t');
}

} // namespace

void readDelimitedText(const QByteArray& data, SheetBuilder& builder) {
    const QString text = decode(data);
    const QChar sep = delimiter(text);
    qint64 row = 1;
    qint64 column = 1;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool fieldQuoted = false; // the field started with a quote
    auto endField = [&] {
        if (!field.isEmpty()) {
            builder.checkBounds(row, column);
            builder.setText(static_cast<int>(row), static_cast<int>(column), field);
        }
        field.clear();
        fieldQuoted = false;
        ++column;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !fieldQuoted) {
            quoted = true;
            fieldQuoted = true;
        } else if (c == sep) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            endField();
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++row;
            column = 1;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || fieldQuoted)
        endField();
}

} // namespace corvelix
