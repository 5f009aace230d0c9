#pragma once

#include "data/Recordset.h"
#include "workbook_export/WorkbookText.h"

#include <QList>
#include <QStringList>

// A worksheet that lists a recordset: a header row, then one row per record, each column
// taken from one field by a rule.
namespace workbook {

// How a column's value becomes a cell.
enum class Kind {
    Text,        // as text, Null empty
    Item,        // text with the digit mask "0000"
    NumberPlain, // number without rounding, Null 0
    Amount,      // number rounded with the column's mask, Null an empty cell
    Motive,      // text without the "NULO" marker
    ListDash,    // a "|#|" list, trimmed, shown with " - " between the elements
    ListLines,   // the same, one element per line
};

struct Column {
    const char* header;
    const char* field;
    Kind kind = Kind::Text;
    const char* mask = "00.00";
};

class ListSheet {
public:
    // `styledHeader`: header cells in style "s63"; otherwise plain text cells.
    ListSheet(QStringView name, const QList<Column>& columns, const modDA::Recordset& rs,
              bool styledHeader = true);

    Sheet& sheet() { return sheet_; }
    void header();
    // One record's cells, without the row's tags.
    void cells(const modDA::Recordset& rs);
    // Every remaining record as a row.
    void rows(modDA::Recordset& rs);

private:
    QList<Column> columns_;
    QList<int> indexes_;
    QStringList masks_;
    bool styledHeader_;
    Sheet sheet_;
};

// The header row and every record of `rs`.
QByteArray listSheet(QStringView name, const QList<Column>& columns, modDA::Recordset rs,
                     bool styledHeader = true);

} // namespace workbook
