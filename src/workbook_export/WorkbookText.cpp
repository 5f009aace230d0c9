#include "workbook_export/WorkbookText.h"

#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "shell/modRET.h"

#include <QDateTime>
#include <QLocale>

namespace workbook {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

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

void appendCell(QString& out, QLatin1StringView open, QStringView text) {
    out += open;
    appendXmlText(out, text);
    out += QLatin1StringView("</Data></Cell>\r\n");
}

} // namespace

void appendEnvelopeStart(QString& out, bool withStyles) {
    out += QLatin1StringView("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                             " xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                             " xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
                             " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                             " xmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n");
    if (!withStyles)
        return;
    out +=
        QLatin1StringView(" <Styles>"
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

void appendEnvelopeEnd(QString& out) {
    out += QLatin1StringView("\r\n</Workbook>");
}

void appendXmlText(QString& out, QStringView text) {
    const qsizetype size = text.size();
    qsizetype plain = 0; // start of the run of characters copied as they are
    const auto flush = [&](qsizetype end) {
        if (end > plain)
            out += text.mid(plain, end - plain);
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0xD800 && c != u'&' && c != u'<' && c != u'>')
            continue;
        if (c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c >= 0xE000 && c < 0xFFFE)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < size &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i; // a whole pair: a character beyond the basic plane
            continue;
        }
        flush(i);
        plain = i + 1;
        if (c == u'&')
            out += QLatin1StringView("&amp;");
        else if (c == u'<')
            out += QLatin1StringView("&lt;");
        else if (c == u'>')
            out += QLatin1StringView("&gt;");
        // anything else is a character XML 1.0 does not allow: left out
    }
    flush(size);
}

QString xmlText(QStringView text) {
    QString out;
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
    const double rounded = corvelix::formatNumber(numberOf(value), mask, QLocale::c()).toDouble();
    return modRET::convertDouble_to_Texto(rounded);
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

Sheet::Sheet(QStringView name, qsizetype reserve) {
    text_.reserve(reserve);
    text_ += QLatin1StringView("<Worksheet ss:Name=\"");
    appendXmlText(text_, name);
    text_ += QLatin1StringView("\">\r\n<Table>\r\n");
}

Sheet& Sheet::line(QStringView piece) {
    text_ += piece;
    text_ += kCrLf;
    return *this;
}

Sheet& Sheet::beginRow() {
    text_ += QLatin1StringView("<Row>\r\n");
    return *this;
}

Sheet& Sheet::endRow() {
    text_ += QLatin1StringView("</Row>\r\n");
    ++rows_;
    return *this;
}

Sheet& Sheet::headerCell(QStringView text) {
    appendCell(text_, QLatin1StringView("<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">"),
               text);
    return *this;
}

Sheet& Sheet::headerCellTwoBlanks(QStringView text) {
    appendCell(text_, QLatin1StringView("<Cell  ss:StyleID=\"s63\"><Data ss:Type=\"String\">"),
               text);
    return *this;
}

Sheet& Sheet::plainHeaderCell(QStringView text) {
    return textCell(text);
}

Sheet& Sheet::textCell(QStringView text) {
    appendCell(text_, QLatin1StringView("<Cell><Data ss:Type=\"String\">"), text);
    return *this;
}

Sheet& Sheet::numberCell(const QVariant& value, const QString& mask) {
    if (value.isNull())
        return textCell(QStringView());
    text_ += QLatin1StringView("<Cell><Data ss:Type=\"Number\">");
    text_ += numberText(value, mask);
    text_ += QLatin1StringView("</Data></Cell>\r\n");
    return *this;
}

Sheet& Sheet::numberCellNoMask(const QVariant& value) {
    text_ += QLatin1StringView("<Cell><Data ss:Type=\"Number\">");
    text_ += numberTextNoMask(value);
    text_ += QLatin1StringView("</Data></Cell>\r\n");
    return *this;
}

QString Sheet::finish() {
    text_ += QLatin1StringView("</Table>\r\n</Worksheet>\r\n");
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
