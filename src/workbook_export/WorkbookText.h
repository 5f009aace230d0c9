#pragma once

#include "data/Recordset.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

// The pieces of an XML spreadsheet workbook (SpreadsheetML 2003): the envelope, the sheet frame
// and the cells. Every piece of a sheet ends in CR LF. Texts are built as UTF-8, the encoding
// the file is stored in, so a large workbook is never converted or held twice.
namespace workbook {

// Envelope up to the styles block included (pieces 1 to 22); without styles, only the XML
// declaration and the Workbook start tag with their line breaks.
void appendEnvelopeStart(QByteArray& out, bool withStyles);
// CR LF and the closing tag.
void appendEnvelopeEnd(QByteArray& out);

// Database text as XML character data: "&", "<" and ">" as entity references; characters
// that XML 1.0 does not allow (controls other than tab, CR and LF, U+FFFE, U+FFFF, halves of
// surrogate pairs) are left out, since one of them makes the whole file unreadable.
void appendXmlText(QByteArray& out, QStringView text);
QByteArray xmlText(QStringView text);

// A column value as a text cell shows it: Null empty, numbers in the user's locale.
QString valueText(const QVariant& value);

// The number text of a number cell: the value read as a number (a point or a comma as the
// decimal separator, 0 when it is no number), rounded to the mask's decimals, written with a
// point and without trailing zeros. 1500.456 with "00.00" gives "1500.46".
QString numberText(const QVariant& value, const QString& mask);
// The same without rounding.
QString numberTextNoMask(const QVariant& value);
// A value formatted with a digit mask such as "0000" (1 gives "0001"); text that is no number
// stays as it is; Null gives the empty text.
QString maskedText(const QVariant& value, const QString& mask);

// A whole workbook as its pieces in file order: the envelope's start, the worksheets, the
// closing tag. Written one piece after the other, never joined into one more copy.
struct WorkbookParts {
    QList<QByteArray> parts;

    [[nodiscard]] bool hasWorksheet() const;
    // The whole text in one buffer.
    [[nodiscard]] QByteArray joined() const;
};
// The envelope around `sheets` (an empty text is no worksheet).
WorkbookParts assemble(bool withStyles, QList<QByteArray> sheets);

// Builds one worksheet: its start tag and "<Table>", the rows, and the closing tags.
class Sheet {
public:
    // `reserve`: the expected size in characters, to build the text in one buffer.
    explicit Sheet(QStringView name, qsizetype reserve = 4096);

    // A fixed piece of markup followed by CR LF ("<Column .../>").
    Sheet& line(const char* piece);
    Sheet& beginRow();
    Sheet& endRow();

    // "<Cell ss:StyleID="s63">..." with a fixed text or a database column name.
    Sheet& headerCell(QStringView text);
    // The same spelt with two blanks after "<Cell".
    Sheet& headerCellTwoBlanks(QStringView text);
    // "<Cell><Data ss:Type="String">...": the header of a sheet without styles.
    Sheet& plainHeaderCell(QStringView text);

    Sheet& textCell(QStringView text);
    Sheet& textCell(const QString& text) { return textCell(QStringView(text)); }
    Sheet& textCell(const QVariant& value) { return textCell(valueText(value)); }
    // A number cell rounded with `mask`. A Null has no number: the cell is left empty.
    Sheet& numberCell(const QVariant& value, const QString& mask);
    // A number cell without rounding; Null and text that is no number give 0.
    Sheet& numberCellNoMask(const QVariant& value);
    // A text cell of the value with a digit mask ("0000").
    Sheet& maskedTextCell(const QVariant& value, const QString& mask) {
        return textCell(maskedText(value, mask));
    }

    // Closes the table and the worksheet and hands the text over.
    QByteArray finish();

    // Rows written so far, the header row included.
    [[nodiscard]] int rows() const { return rows_; }

private:
    QByteArray text_;
    int rows_ = 0;
};

// Column positions of a recordset looked up once per sheet, letter case ignored; an unknown
// name raises the recordset's error.
int columnIndex(const modDA::Recordset& rs, const QString& name);

} // namespace workbook
