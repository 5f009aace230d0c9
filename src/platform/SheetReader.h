#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <stdexcept>
#include <utility>
#include <vector>

// Reads the first worksheet of a spreadsheet file straight from the file, without a
// spreadsheet program: .xlsx, .xls (BIFF), .ods, XML workbooks (SpreadsheetML 2003) and
// text separated by tabs, semicolons or commas. The format is told by the content, never by
// the name.
namespace corvelix {

enum class SheetFormat { Unknown, Xlsx, Ods, Biff, XmlWorkbook, DelimitedText };

// A file that cannot be read as a spreadsheet. The message is Spanish and names the file.
class SheetReadError : public std::runtime_error {
public:
    explicit SheetReadError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    [[nodiscard]] const QString& message() const { return message_; }

private:
    QString message_;
};

// Bounds past which a file is refused rather than read (a small zip can expand to gigabytes).
struct SheetLimits {
    qint64 maxFileBytes = 256ll * 1024 * 1024;     // the file itself
    qint64 maxExpandedBytes = 128ll * 1024 * 1024; // every part read from a zip, together
    qint64 maxCells = 2'000'000;                   // non-empty cells kept
    int maxRows = 1'048'576;
    int maxColumns = 16'384;
};

// One worksheet as texts: what the spreadsheet program shows as each cell's value under the
// locale given when reading (numbers with its decimal separator, dates in its short form).
// Rows and columns count from 1; only non-empty cells are stored.
class Sheet {
public:
    // The used range: the last row and the last column holding a non-empty cell (0 when none).
    [[nodiscard]] int lastRow() const { return lastRow_; }
    [[nodiscard]] int lastColumn() const { return lastColumn_; }
    // The cell's text; the empty text outside the used range or for an empty cell.
    [[nodiscard]] QString text(int row, int column) const;
    [[nodiscard]] qint64 cellCount() const { return cellCount_; }
    [[nodiscard]] SheetFormat format() const { return format_; }

private:
    friend class SheetBuilder;
    struct Row {
        int index = 0;
        std::vector<std::pair<int, QString>> cells; // sorted by column
    };
    std::vector<Row> rows_; // sorted by index
    int lastRow_ = 0;
    int lastColumn_ = 0;
    qint64 cellCount_ = 0;
    SheetFormat format_ = SheetFormat::Unknown;
};

// The format that the bytes hold, judged from their content.
SheetFormat sniffSheetFormat(const QByteArray& data);

// Reads the first visible worksheet of the file at `path`. Throws SheetReadError.
Sheet readFirstSheet(const QString& path, const QLocale& locale = QLocale(),
                     const SheetLimits& limits = {});
// The same over bytes already read; `fileName` is only used in messages.
Sheet readFirstSheetFromData(const QByteArray& data, const QString& fileName,
                             const QLocale& locale = QLocale(), const SheetLimits& limits = {});

} // namespace corvelix
