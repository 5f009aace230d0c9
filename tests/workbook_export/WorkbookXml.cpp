#include "WorkbookXml.h"

#include <QTest>
#include <QXmlStreamReader>

namespace corvelix::test {

QStringList ParsedSheet::texts(int row) const {
    QStringList out;
    for (const ParsedCell& cell : rows.value(row))
        out << cell.text;
    return out;
}

QString ParsedSheet::at(int row, const QString& header) const {
    const qsizetype column = texts(0).indexOf(header);
    if (column < 0 || row >= rows.size())
        return QStringLiteral("<missing>");
    return rows.at(row).value(column).text;
}

QStringList ParsedWorkbook::names() const {
    QStringList out;
    for (const ParsedSheet& sheet : sheets)
        out << sheet.name;
    return out;
}

const ParsedSheet& ParsedWorkbook::sheet(const QString& name) const {
    for (const ParsedSheet& s : sheets) {
        if (s.name == name)
            return s;
    }
    QTest::qFail(qPrintable(QStringLiteral("no sheet ") + name), __FILE__, __LINE__);
    static const ParsedSheet none;
    return none;
}

namespace {

ParsedWorkbook parse(QXmlStreamReader& xml) {
    ParsedWorkbook book;
    ParsedSheet* sheet = nullptr;
    QList<ParsedCell>* row = nullptr;
    ParsedCell* cell = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (name == u"Styles") {
                book.hasStyles = true;
            } else if (name == u"Worksheet") {
                book.sheets.append(ParsedSheet());
                sheet = &book.sheets.last();
                sheet->name = attributes.value(QStringLiteral("ss:Name")).toString();
            } else if (name == u"Column" && sheet != nullptr) {
                ++sheet->columnElements;
            } else if (name == u"Row" && sheet != nullptr) {
                sheet->rows.append(QList<ParsedCell>());
                row = &sheet->rows.last();
            } else if (name == u"Cell" && row != nullptr) {
                row->append(ParsedCell());
                cell = &row->last();
                cell->style = attributes.value(QStringLiteral("ss:StyleID")).toString();
            } else if (name == u"Data" && cell != nullptr) {
                cell->type = attributes.value(QStringLiteral("ss:Type")).toString();
                cell->text = xml.readElementText();
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == u"Cell")
                cell = nullptr;
            else if (xml.name() == u"Row")
                row = nullptr;
            else if (xml.name() == u"Worksheet")
                sheet = nullptr;
        }
    }
    if (xml.hasError())
        book.error =
            xml.errorString() + QStringLiteral(" at line ") + QString::number(xml.lineNumber());
    return book;
}

} // namespace

ParsedWorkbook parseWorkbook(const QString& text) {
    QXmlStreamReader xml(text);
    return parse(xml);
}

ParsedWorkbook parseWorkbook(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    return parse(xml);
}

} // namespace corvelix::test
