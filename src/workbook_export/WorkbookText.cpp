#include "workbook_export/WorkbookText.h"

#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "transfer/modRET.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace workbook {

namespace {

bool isNumberType(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

// The value as a number, as the old text round trip read it.
double numberOf(const QVariant& value) {
    if (value.isNull())
        return 0.0;
    if (isNumberType(value))
        return value.toDouble();
    return modRET::convertTexto_to_Double(valueText(value));
}

// The number's 15-significant-digit decimal text rounded half away from zero to `decimals`,
// read back and written with a point and no trailing zeros: what formatting with a mask,
// reading the text back and writing it as machine text gives, in one pass.
QByteArray roundedText(double value, int decimals) {
    if (!std::isfinite(value))
        return modRET::convertDouble_to_Texto(value).toLatin1();
    // 15 significant digits, correctly rounded. The library breaks an exact tie to even, the
    // program's own number texts away from zero: a value whose 17-digit text ends in "50" may
    // be such a tie and takes the program's road.
    char buffer[48];
    const double magnitude = std::fabs(value);
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 16);
    if (buffer[16] == '5' && buffer[17] == '0') {
        const QByteArray text = QByteArray::number(magnitude, 'e', 14);
        std::memcpy(buffer, text.constData(), static_cast<std::size_t>(text.size()));
        result.ptr = buffer + text.size();
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                               std::chars_format::scientific, 14);
    }
    // d.dddddddddddddde[+-]x
    char digits[20];
    int count = 0;
    const char* c = buffer;
    for (; c < result.ptr && *c != 'e'; ++c) {
        if (*c != '.')
            digits[count++] = *c;
    }
    int exponent = 0;
    std::from_chars(c + 2, result.ptr, exponent);
    if (*(c + 1) == '-')
        exponent = -exponent;
    int pointAt = exponent + 1; // digits before the decimal point
    const int keep = pointAt + decimals;
    if (keep < count) {
        if (keep < 0) {
            count = 0;
        } else {
            const bool up = digits[keep] >= '5';
            count = keep;
            if (up) {
                int k = keep - 1;
                while (k >= 0 && digits[k] == '9')
                    digits[k--] = '0';
                if (k < 0) {
                    std::memmove(digits + 1, digits, static_cast<std::size_t>(count));
                    digits[0] = '1';
                    ++count;
                    ++pointAt;
                } else {
                    ++digits[k];
                }
            }
        }
    }
    while (count > 0 && digits[count - 1] == '0')
        --count;
    if (count == 0)
        return QByteArrayLiteral("0");  // a negative that rounds to zero loses its sign
    if (pointAt > 15 || pointAt < -3) { // rare magnitudes: the plain road
        const QString mask = decimals > 0
                                 ? QStringLiteral("0.") + QString(decimals, QLatin1Char('0'))
                                 : QStringLiteral("0");
        return modRET::convertDouble_to_Texto(
                   corvelix::formatNumber(value, mask, QLocale::c()).toDouble())
            .toLatin1();
    }
    QByteArray out;
    out.reserve(count + 24);
    if (value < 0)
        out += '-';
    if (pointAt <= 0) {
        out += "0.";
        out.append(-pointAt, '0');
        out.append(digits, count);
    } else if (pointAt >= count) {
        out.append(digits, count);
        out.append(pointAt - count, '0');
    } else {
        out.append(digits, pointAt);
        out += '.';
        out.append(digits + pointAt, count - pointAt);
    }
    return out;
}

void appendCell(QByteArray& out, const char* open, QStringView text) {
    out += open;
    appendXmlText(out, text);
    out += "</Data></Cell>\r\n";
}

} // namespace

void appendEnvelopeStart(QByteArray& out, bool withStyles) {
    out += ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
            " xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
            " xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
            " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\" "
            " xmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n");
    if (!withStyles)
        return;
    out += (" <Styles>"
            "   <Style ss:ID=\"Default\" ss:Name=\"Normal\">"
            "    <Alignment ss:Vertical=\"Bottom\"/>"
            "    <Borders/>"
            "    <Font ss:FontName=\"Aptos Narrow\" x:Family=\"Swiss\" ss:Size=\"11\""
            "     ss:Color=\"#000000\"/>"
            "    <Interior/>"
            "    <NumberFormat/>"
            "    <Protection/>"
            "   </Style>"
            "   <Style ss:ID=\"s63\">"
            "    <Font ss:FontName=\"Aptos Narrow\" x:Family=\"Swiss\" ss:Size=\"11\""
            "     ss:Color=\"#000000\" ss:Bold=\"1\"/>"
            "    <Interior ss:Color=\"#99CCFF\" ss:Pattern=\"Solid\"/>"
            "   </Style>"
            "  </Styles>");
}

void appendEnvelopeEnd(QByteArray& out) {
    out += "\r\n</Workbook>";
}

void appendXmlText(QByteArray& out, QStringView text) {
    const qsizetype size = text.size();
    // At most 5 bytes per UTF-16 unit ("&amp;"); written in place, then cut to size.
    const qsizetype start = out.size();
    const qsizetype needed = start + 5 * size;
    if (needed > out.capacity())
        out.reserve(std::max(needed, 2 * out.capacity()));
    out.resize(needed);
    char* p = out.data() + start;
    const auto put = [&p](const char* piece, int length) {
        std::memcpy(p, piece, static_cast<std::size_t>(length));
        p += length;
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char32_t c = text[i].unicode();
        if (c < 0x80) {
            if (c >= 0x20 && c != u'&' && c != u'<' && c != u'>')
                *p++ = static_cast<char>(c);
            else if (c == u'&')
                put("&amp;", 5);
            else if (c == u'<')
                put("&lt;", 4);
            else if (c == u'>')
                put("&gt;", 4);
            else if (c == u'\t' || c == u'\n' || c == u'\r')
                *p++ = static_cast<char>(c);
            // other controls: not allowed in XML 1.0, left out
            continue;
        }
        char32_t code = c;
        if (QChar::isSurrogate(c)) {
            // Only a whole pair is a character (beyond the basic plane); a lone half is dropped.
            if (!QChar::isHighSurrogate(c) || i + 1 >= size ||
                !QChar::isLowSurrogate(text[i + 1].unicode()))
                continue;
            code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        } else if (c == 0xFFFE || c == 0xFFFF) {
            continue;
        }
        if (code < 0x800) {
            *p++ = static_cast<char>(0xC0 | (code >> 6));
            *p++ = static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (code >> 12));
            *p++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (code >> 18));
            *p++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    out.resize(p - out.constData());
}

QByteArray xmlText(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    appendXmlText(out, text);
    return out;
}

QString valueText(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return corvelix::generalNumber(value.toDouble());
    case QMetaType::QDateTime: {
        const QDateTime when = value.toDateTime();
        const QLocale locale;
        QString text = locale.toString(when.date(), QLocale::ShortFormat);
        if (when.time() != QTime(0, 0))
            text += QLatin1Char(' ') + locale.toString(when.time(), QStringLiteral("HH:mm:ss"));
        return text;
    }
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    default:
        return value.toString();
    }
}

QString numberText(const QVariant& value, const QString& mask) {
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(mask.size() - point - 1);
    return QString::fromLatin1(roundedText(numberOf(value), decimals));
}

QString numberTextNoMask(const QVariant& value) {
    return modRET::convertDouble_to_Texto(numberOf(value));
}

QString maskedText(const QVariant& value, const QString& mask) {
    if (value.isNull())
        return {};
    if (isNumberType(value))
        return corvelix::formatNumber(value.toDouble(), mask, QLocale::c());
    const QString text = valueText(value);
    const QLocale locale;
    if (!corvelix::isNumeric(text, locale))
        return text;
    return corvelix::formatNumber(corvelix::toNumber(text, locale), mask, QLocale::c());
}

bool WorkbookParts::hasWorksheet() const {
    for (const QByteArray& part : parts) {
        if (part.startsWith("<Worksheet "))
            return true;
    }
    return false;
}

QByteArray WorkbookParts::joined() const {
    qsizetype size = 0;
    for (const QByteArray& part : parts)
        size += part.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& part : parts)
        out += part;
    return out;
}

WorkbookParts assemble(bool withStyles, QList<QByteArray> sheets) {
    WorkbookParts book;
    book.parts.reserve(sheets.size() + 2);
    QByteArray start;
    appendEnvelopeStart(start, withStyles);
    book.parts << start;
    for (QByteArray& sheet : sheets) {
        if (!sheet.isEmpty())
            book.parts << std::move(sheet);
    }
    QByteArray end;
    appendEnvelopeEnd(end);
    book.parts << end;
    return book;
}

Sheet::Sheet(QStringView name, qsizetype reserve) {
    text_.reserve(reserve);
    text_ += "<Worksheet ss:Name=\"";
    appendXmlText(text_, name);
    text_ += "\">\r\n<Table>\r\n";
}

Sheet& Sheet::line(const char* piece) {
    text_ += piece;
    text_ += "\r\n";
    return *this;
}

Sheet& Sheet::beginRow() {
    text_ += "<Row>\r\n";
    return *this;
}

Sheet& Sheet::endRow() {
    text_ += "</Row>\r\n";
    ++rows_;
    return *this;
}

Sheet& Sheet::headerCell(QStringView text) {
    appendCell(text_, "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">", text);
    return *this;
}

Sheet& Sheet::headerCellTwoBlanks(QStringView text) {
    appendCell(text_, "<Cell  ss:StyleID=\"s63\"><Data ss:Type=\"String\">", text);
    return *this;
}

Sheet& Sheet::plainHeaderCell(QStringView text) {
    return textCell(text);
}

Sheet& Sheet::textCell(QStringView text) {
    appendCell(text_, "<Cell><Data ss:Type=\"String\">", text);
    return *this;
}

Sheet& Sheet::numberCell(const QVariant& value, const QString& mask) {
    if (value.isNull())
        return textCell(QStringView());
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    text_ += "<Cell><Data ss:Type=\"Number\">";
    text_ +=
        roundedText(numberOf(value), point < 0 ? 0 : static_cast<int>(mask.size() - point - 1));
    text_ += "</Data></Cell>\r\n";
    return *this;
}

Sheet& Sheet::numberCellNoMask(const QVariant& value) {
    text_ += "<Cell><Data ss:Type=\"Number\">";
    text_ += numberTextNoMask(value).toLatin1();
    text_ += "</Data></Cell>\r\n";
    return *this;
}

QByteArray Sheet::finish() {
    text_ += "</Table>\r\n</Worksheet>\r\n";
    return std::move(text_);
}

int columnIndex(const modDA::Recordset& rs, const QString& name) {
    const QStringList& fields = rs.fields();
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    // The recordset's own error for a name it does not hold.
    throw corvelix::VbError(3265, QStringLiteral("Recordset"),
                            QStringLiteral("No se encontró el elemento en la colección que "
                                           "corresponde con el nombre o el ordinal solicitado: ") +
                                name);
}

} // namespace workbook
