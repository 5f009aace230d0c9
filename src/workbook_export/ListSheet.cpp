#include "workbook_export/ListSheet.h"

namespace workbook {

namespace {

// Joined to the empty text, blanks trimmed at both ends, "|#|" shown as `separator`.
QString listText(const QVariant& value, QLatin1StringView separator) {
    QString text = valueText(value);
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first).replace(QLatin1String("|#|"), separator);
}

} // namespace

ListSheet::ListSheet(QStringView name, const QList<Column>& columns, const modDA::Recordset& rs,
                     bool styledHeader)
    : columns_(columns), styledHeader_(styledHeader),
      sheet_(name, (rs.recordCount() + 1) * (columns.size() * 56 + 20)) {
    for (const Column& column : columns_) {
        indexes_ << columnIndex(rs, QLatin1String(column.field));
        masks_ << QLatin1String(column.mask);
    }
}

void ListSheet::header() {
    sheet_.beginRow();
    for (const Column& column : columns_) {
        if (styledHeader_)
            sheet_.headerCell(QString::fromLatin1(column.header));
        else
            sheet_.plainHeaderCell(QString::fromLatin1(column.header));
    }
    sheet_.endRow();
}

void ListSheet::cells(const modDA::Recordset& rs) {
    for (qsizetype i = 0; i < columns_.size(); ++i) {
        const QVariant value = rs.field(indexes_.at(i));
        switch (columns_.at(i).kind) {
        case Kind::Text:
            sheet_.textCell(value);
            break;
        case Kind::Item:
            sheet_.maskedTextCell(value, QStringLiteral("0000"));
            break;
        case Kind::NumberPlain:
            sheet_.numberCellNoMask(value);
            break;
        case Kind::Amount:
            sheet_.numberCell(value, masks_.at(i));
            break;
        case Kind::Motive:
            sheet_.textCell(valueText(value).replace(QLatin1String("NULO"), QString()));
            break;
        case Kind::ListDash:
            sheet_.textCell(listText(value, QLatin1StringView(" - ")));
            break;
        case Kind::ListLines:
            sheet_.textCell(listText(value, QLatin1StringView("\r\n")));
            break;
        }
    }
}

void ListSheet::rows(modDA::Recordset& rs) {
    for (; !rs.eof(); rs.moveNext()) {
        sheet_.beginRow();
        cells(rs);
        sheet_.endRow();
    }
}

QByteArray listSheet(QStringView name, const QList<Column>& columns, modDA::Recordset rs,
                     bool styledHeader) {
    ListSheet list(name, columns, rs, styledHeader);
    list.header();
    list.rows(rs);
    return list.sheet().finish();
}

} // namespace workbook
