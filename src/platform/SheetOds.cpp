// .ods: content.xml holds every table; the first one whose table style does not hide it is
// the first sheet. Rows and cells may stand for many through their repeat counts.
#include "platform/SheetFormats.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>

namespace corvelix {

namespace {

// A cell's text is kept as far as one character past the bound, to be refused whole.
constexpr qsizetype kKeptCellText = kMaxCellText + 1;

qint64 repeatCount(const QXmlStreamAttributes& a, QLatin1String name) {
    bool ok = false;
    const qint64 n = a.value(name).toLongLong(&ok);
    return ok && n > 0 ? n : 1;
}

// The text of a paragraph with its spaces, tabs and line breaks; notes left out.
void paragraphText(QXmlStreamReader& xml, QString& out) {
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            return;
        if (token == QXmlStreamReader::Characters) {
            out += xml.text();
        } else if (token == QXmlStreamReader::StartElement) {
            const auto name = xml.name();
            if (name == QLatin1String("s")) {
                const qint64 n = std::min<qint64>(
                    repeatCount(xml.attributes(), QLatin1String("text:c")), kKeptCellText);
                out += QString(static_cast<qsizetype>(n), QLatin1Char(' '));
                xml.skipCurrentElement();
            } else if (name == QLatin1String("tab")) {
                out += QLatin1Char('\t');
                xml.skipCurrentElement();
            } else if (name == QLatin1String("line-break")) {
                out += QLatin1Char('\n');
                xml.skipCurrentElement();
            } else if (name == QLatin1String("note") || name == QLatin1String("annotation")) {
                xml.skipCurrentElement();
            } else {
                paragraphText(xml, out); // spans, links
            }
        }
        if (out.size() > kKeptCellText)
            out.truncate(kKeptCellText);
    }
}

// A shown text of letters without digits.
bool shownAsWord(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }) &&
           std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// "PT14H30M05.5S" as a fraction of a day.
double durationDays(const QString& text) {
    double total = 0;
    double number = 0;
    double scale = 0;
    bool inTime = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            if (scale > 0) {
                number += (c.unicode() - u'0') * scale;
                scale /= 10;
            } else {
                number = number * 10 + (c.unicode() - u'0');
            }
        } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            scale = 0.1;
        } else {
            const char16_t u = c.toUpper().unicode();
            if (u == u'T')
                inTime = true;
            else if (u == u'D')
                total += number;
            else if (u == u'H' && inTime)
                total += number / 24;
            else if (u == u'M' && inTime)
                total += number / 1440;
            else if (u == u'S' && inTime)
                total += number / 86400;
            number = 0;
            scale = 0;
        }
    }
    return total;
}

class OdsReader {
public:
    OdsReader(const QByteArray& data, SheetBuilder& builder) : zip_(data, builder), b_(builder) {}

    void run() {
        if (!zip_.has(QStringLiteral("content.xml")))
            b_.fail(QStringLiteral("no es una hoja de cálculo OpenDocument (falta content.xml)"));
        zip_.parseXml(QStringLiteral("content.xml"), [&](QXmlStreamReader& xml) {
            QString style;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const auto name = xml.name();
                const auto a = xml.attributes();
                if (name == QLatin1String("style")) {
                    style = a.value(QLatin1String("style:name")).toString();
                    const auto data = a.value(QLatin1String("style:data-style-name"));
                    if (!data.isEmpty())
                        dataStyles_.insert(style, data.toString());
                } else if (name == QLatin1String("boolean-style")) {
                    booleanStyles_.insert(a.value(QLatin1String("style:name")).toString());
                } else if (name == QLatin1String("table-properties")) {
                    if (a.value(QLatin1String("table:display")) == QLatin1String("false"))
                        hiddenStyles_.insert(style);
                } else if (name == QLatin1String("table") &&
                           xml.namespaceUri().contains(QLatin1String(":table:"))) {
                    if (hiddenStyles_.contains(
                            a.value(QLatin1String("table:style-name")).toString())) {
                        xml.skipCurrentElement();
                        continue;
                    }
                    readTable(xml);
                    return;
                }
            }
        });
    }

private:
    void readTable(QXmlStreamReader& xml) {
        qint64 row = 1;
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --depth;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            const auto name = xml.name();
            if (name == QLatin1String("table-row")) {
                const qint64 repeat =
                    repeatCount(xml.attributes(), QLatin1String("table:number-rows-repeated"));
                readRow(xml, row, repeat);
                row += repeat;
            } else if (name == QLatin1String("table-header-rows") ||
                       name == QLatin1String("table-row-group") ||
                       name == QLatin1String("table-rows")) {
                ++depth; // rows inside these count like any other
            } else {
                xml.skipCurrentElement(); // columns, shapes, named ranges
            }
        }
    }

    void readRow(QXmlStreamReader& xml, qint64 row, qint64 repeat) {
        std::vector<std::pair<int, QString>> cells;
        qint64 column = 1;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            const auto name = xml.name();
            const auto a = xml.attributes();
            const qint64 span = repeatCount(a, QLatin1String("table:number-columns-repeated"));
            if (name == QLatin1String("table-cell")) {
                const QString text = cellText(xml, a);
                if (!text.isEmpty()) {
                    b_.checkBounds(row, column + span - 1);
                    for (qint64 k = 0; k < span; ++k)
                        cells.emplace_back(static_cast<int>(column + k), text);
                }
            } else {
                xml.skipCurrentElement(); // covered cells of a merge show nothing
            }
            column += span;
            column = std::min<qint64>(column, qint64(1) << 40);
        }
        if (cells.empty())
            return;
        b_.checkBounds(row + repeat - 1, 1);
        for (qint64 r = 0; r < repeat; ++r)
            for (const auto& [c, text] : cells)
                b_.setText(static_cast<int>(row + r), c, text);
    }

    QString cellText(QXmlStreamReader& xml, const QXmlStreamAttributes& a) {
        QString paragraphs;
        bool first = true;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("p")) {
                if (!first)
                    paragraphs += QLatin1Char('\n');
                first = false;
                paragraphText(xml, paragraphs);
                if (paragraphs.size() > kKeptCellText)
                    paragraphs.truncate(kKeptCellText);
            } else {
                xml.skipCurrentElement(); // annotations, frames
            }
        }
        const auto type = a.value(QLatin1String("office:value-type"));
        if (type == QLatin1String("float") || type == QLatin1String("percentage") ||
            type == QLatin1String("currency")) {
            bool ok = false;
            const double value = a.value(QLatin1String("office:value")).toDouble(&ok);
            if (!ok)
                return paragraphs;
            // Truth values are saved as numbers shown through a boolean style.
            if (!booleanStyles_.isEmpty() &&
                booleanStyles_.contains(
                    dataStyles_.value(a.value(QLatin1String("table:style-name")).toString())))
                return SheetBuilder::booleanText(value != 0);
            // So is the result of TRUE() or a comparison, shown as a word ("TRUE", "VERDADERO").
            if ((value == 0 || value == 1) && a.hasAttribute(QLatin1String("table:formula")) &&
                shownAsWord(paragraphs))
                return SheetBuilder::booleanText(value != 0);
            return b_.numberText(value);
        }
        if (type == QLatin1String("date")) {
            const QString value = a.value(QLatin1String("office:date-value")).toString();
            const QDateTime when = QDateTime::fromString(value, Qt::ISODate);
            if (when.isValid())
                return SheetBuilder::dateText(b_.locale(), when.date(), when.time());
            const QDate date = QDate::fromString(value, Qt::ISODate);
            return date.isValid() ? SheetBuilder::dateText(b_.locale(), date, QTime()) : paragraphs;
        }
        if (type == QLatin1String("time"))
            return b_.dateSerialText(
                durationDays(a.value(QLatin1String("office:time-value")).toString()));
        if (type == QLatin1String("boolean"))
            return SheetBuilder::booleanText(a.value(QLatin1String("office:boolean-value")) ==
                                             QLatin1String("true"));
        return paragraphs;
    }

    ZipPackage zip_;
    SheetBuilder& b_;
    QSet<QString> hiddenStyles_;
    QHash<QString, QString> dataStyles_; // cell style -> its number style
    QSet<QString> booleanStyles_;
};

} // namespace

void readOds(const QByteArray& data, SheetBuilder& builder) {
    OdsReader(data, builder).run();
}

} // namespace corvelix
