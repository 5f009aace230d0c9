// XML workbooks (SpreadsheetML 2003, what the workbook export writes, often under ".xls"):
// Worksheet > Table > Row > Cell > Data, with optional ss:Index jumps and merges.
#include "platform/SheetFormats.h"

#include <QBuffer>
#include <QDateTime>
#include <QXmlStreamReader>

namespace corvelix {

namespace {

struct PendingCell {
    int row;
    int column;
    QString text;
};

class XmlWorkbookReader {
public:
    explicit XmlWorkbookReader(SheetBuilder& builder) : b_(builder) {}

    void run(const QByteArray& data) {
        if (!MarkupGuard().feed(data.constData(), data.size()))
            b_.fail(reasonCrowdedElement(QStringLiteral("el contenido del libro XML")));
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(&buffer);
        bool sawWorksheet = false;
        std::vector<PendingCell> firstHidden;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement ||
                xml.name() != QLatin1String("Worksheet"))
                continue;
            std::vector<PendingCell> cells;
            const bool hidden = readWorksheet(xml, cells);
            if (!hidden) {
                store(cells);
                sawWorksheet = true;
                break;
            }
            if (!sawWorksheet && firstHidden.empty())
                firstHidden = std::move(cells);
        }
        if (xml.hasError())
            b_.fail(QStringLiteral("el contenido del libro XML está dañado (línea %1)")
                        .arg(xml.lineNumber()));
        if (!sawWorksheet)
            store(firstHidden); // every sheet hidden: the first one
    }

private:
    void store(const std::vector<PendingCell>& cells) {
        for (const PendingCell& c : cells)
            b_.setText(c.row, c.column, c.text);
    }

    // Reads one worksheet; true when its options hide it.
    bool readWorksheet(QXmlStreamReader& xml, std::vector<PendingCell>& cells) {
        bool hidden = false;
        qint64 row = 0;
        qint64 column = 0;
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --depth;
                if (xml.name() == QLatin1String("Row"))
                    column = 0;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            ++depth;
            const auto name = xml.name();
            const auto a = xml.attributes();
            if (name == QLatin1String("Row")) {
                row = index(a, row + 1);
                column = 0;
            } else if (name == QLatin1String("Cell")) {
                if (row == 0)
                    row = 1;
                column = index(a, column + 1);
                const qint64 merge = a.value(QLatin1String("ss:MergeAcross")).toLongLong();
                const QString text = cellText(xml);
                --depth; // cellText read the end of the cell
                if (!text.isEmpty()) {
                    b_.checkBounds(row, column);
                    if (static_cast<qint64>(cells.size()) >= b_.limits().maxCells)
                        b_.fail(QStringLiteral("la hoja tiene más de %1 celdas con datos")
                                    .arg(b_.limits().maxCells));
                    cells.push_back({static_cast<int>(row), static_cast<int>(column), text});
                }
                if (merge > 0)
                    column = std::min<qint64>(column + merge, qint64(1) << 40);
            } else if (name == QLatin1String("Visible")) {
                const QString v = xml.readElementText(QXmlStreamReader::SkipChildElements);
                --depth;
                hidden = v.startsWith(QLatin1String("SheetHidden")) ||
                         v.startsWith(QLatin1String("SheetVeryHidden"));
            }
        }
        return hidden;
    }

    static qint64 index(const QXmlStreamAttributes& a, qint64 next) {
        bool ok = false;
        const qint64 i = a.value(QLatin1String("ss:Index")).toLongLong(&ok);
        return ok && i > 0 ? i : next;
    }

    QString cellText(QXmlStreamReader& xml) {
        QString text;
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --depth;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("Data")) {
                const QString type = xml.attributes().value(QLatin1String("ss:Type")).toString();
                text = dataText(type, elementText(xml));
            } else {
                xml.skipCurrentElement(); // comments, named cells
            }
        }
        return text;
    }

    QString dataText(const QString& type, const QString& value) const {
        if (type == QLatin1String("Number")) {
            bool ok = false;
            const double number = value.trimmed().toDouble(&ok);
            return ok ? b_.numberText(number) : value;
        }
        if (type == QLatin1String("DateTime")) {
            const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODate);
            return when.isValid() ? SheetBuilder::dateText(b_.locale(), when.date(), when.time())
                                  : value;
        }
        if (type == QLatin1String("Boolean"))
            return SheetBuilder::booleanText(value.trimmed() == QLatin1String("1"));
        return value;
    }

    SheetBuilder& b_;
};

} // namespace

void readXmlWorkbook(const QByteArray& data, SheetBuilder& builder) {
    XmlWorkbookReader(builder).run(data);
}

} // namespace corvelix
