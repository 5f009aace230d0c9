#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace corvelix::test {

// A workbook read back with QXmlStreamReader: what a spreadsheet program would find in it.
struct ParsedCell {
    QString type;  // ss:Type of its Data
    QString style; // ss:StyleID, empty when none
    QString text;
};

struct ParsedSheet {
    QString name;
    int columnElements = 0;
    QList<QList<ParsedCell>> rows;

    // Texts of one row's cells.
    [[nodiscard]] QStringList texts(int row) const;
    // Text of the cell under the header `header` in data row `row` (1 = first data row).
    [[nodiscard]] QString at(int row, const QString& header) const;
};

struct ParsedWorkbook {
    QString error; // empty when the text is well-formed
    bool hasStyles = false;
    QList<ParsedSheet> sheets;

    [[nodiscard]] QStringList names() const;
    // The sheet named `name`; fails the running test when there is none.
    [[nodiscard]] const ParsedSheet& sheet(const QString& name) const;
};

ParsedWorkbook parseWorkbook(const QString& text);
// Bytes decoded as their XML declaration says.
ParsedWorkbook parseWorkbook(const QByteArray& bytes);

} // namespace corvelix::test
