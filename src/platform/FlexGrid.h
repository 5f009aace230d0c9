#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QKeyEvent;
class QMouseEvent;
class QTableView;

namespace corvelix {

class FlexGridModel;

// Cell alignments numbered as the old grid numbered them.
enum class FlexAlign : quint8 {
    LeftTop = 0,
    LeftCenter = 1,
    LeftBottom = 2,
    CenterTop = 3,
    CenterCenter = 4,
    CenterBottom = 5,
    RightTop = 6,
    RightCenter = 7,
    RightBottom = 8,
    General = 9, // left and vertically centred
};

// The grid of the old forms. Rows and columns are addressed from 0; the first `fixedRows` rows
// stay at the top while the rest scrolls. Cells are plain vectors (texts, colours,
// alignments), so a grid of tens of thousands of cells fills without an object per cell, and
// bulk writes send one change to the views. Measures are in twips (15 per pixel).
class FlexGrid : public QWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // --- shape
    [[nodiscard]] int rows() const;
    void setRows(int rows);
    [[nodiscard]] int cols() const;
    void setCols(int cols);
    [[nodiscard]] int fixedRows() const { return fixedRows_; }
    void setFixedRows(int rows);
    // Fixed columns are drawn like the fixed rows; they do not stay in place.
    [[nodiscard]] int fixedCols() const { return fixedCols_; }
    void setFixedCols(int cols);
    // Empties every cell (texts, colours, cell alignments); the shape stays.
    void clear();

    // --- texts
    [[nodiscard]] QString textMatrix(int row, int col) const;
    // The same text without a copy, for reading a whole column (an empty one outside the grid).
    [[nodiscard]] const QString& textAt(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Writes rows of cells from `firstRow`, column 0 on (one change for the views).
    void setTexts(int firstRow, const std::vector<QStringList>& rows);
    // Adds rows at the end (one change for the views); cells beyond cols() are dropped.
    void appendRows(const std::vector<QStringList>& rows);
    // The same for a large fill: `cells` row after row, cols() to a row (a short last row is
    // completed with empty cells), taken over without a copy. Given room for the rows the grid
    // has as well, their store becomes the grid's.
    void appendRows(std::vector<QString>&& cells);
    // The old AddItem: one row of TAB-separated cells, at the end or before `index`.
    void addItem(const QString& tabbedCells, int index = -1);
    // Inserts an empty row before `at`.
    void insertRow(int at);
    // The old RemoveItem: drops one row; the current cell stays on the row that takes its place.
    void removeItem(int row);
    // Pastes text (cells split by TAB, rows by CR) into the range, cut to it.
    void setClip(int row1, int col1, int row2, int col2, const QString& text);

    // --- colours (an invalid colour is the grid's own)
    [[nodiscard]] QColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& color);
    [[nodiscard]] QColor cellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, const QColor& color);
    // Colours every cell of the inclusive range.
    void fillBackColor(int row1, int col1, int row2, int col2, const QColor& color);
    void fillForeColor(int row1, int col1, int row2, int col2, const QColor& color);

    // --- alignment
    [[nodiscard]] FlexAlign colAlignment(int col) const;
    void setColAlignment(int col, FlexAlign alignment);
    // A cell's own alignment wins over its column's.
    [[nodiscard]] FlexAlign cellAlignment(int row, int col) const;
    void setCellAlignment(int row1, int col1, int row2, int col2, FlexAlign alignment);

    // --- measures, in twips
    [[nodiscard]] int colWidth(int col) const;
    // Width 0 hides the column; a negative width is the grid's default.
    void setColWidth(int col, int twips);
    [[nodiscard]] bool colHidden(int col) const { return colWidth(col) == 0; }
    [[nodiscard]] int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    [[nodiscard]] static int defaultColWidth();
    [[nodiscard]] bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);

    // --- current cell and selection
    // The current cell (-1 when there is none).
    [[nodiscard]] int row() const;
    [[nodiscard]] int col() const;
    // The other end of the selection (the current cell's own row/column when nothing more is
    // selected; -1 when there is no current cell).
    [[nodiscard]] int rowSel() const;
    [[nodiscard]] int colSel() const;
    void setCurrentCell(int row, int col);
    // Current cell (row1, col1), selection from there to (row2, col2).
    void select(int row1, int col1, int row2, int col2);
    // A cell's rectangle in the grid's own coordinates (empty when the cell is not shown).
    [[nodiscard]] QRect cellRect(int row, int col) const;
    // Scrolls so that `row` is the first row shown below the fixed ones.
    void setTopRow(int row);
    // Clicks select whole rows.
    void setSelectionByRow(bool byRow);

    // Off: the grid is not drawn while it is filled; on again draws it once.
    void setRedraw(bool on);
    [[nodiscard]] bool redraw() const { return redraw_; }

    [[nodiscard]] QTableView* fixedView() const { return fixedView_; }
    [[nodiscard]] QTableView* bodyView() const { return bodyView_; }

signals:
    // A key pressed while the grid had the focus (the old KeyDown). The event arrives
    // unaccepted; a handler that accepts it keeps it from the grid's own keys.
    void keyDown(QKeyEvent* event);
    // A mouse button pressed over the grid (the old MouseDown).
    void mouseDown(QMouseEvent* event);
    // A double click over the grid (the old DblClick).
    void dblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A colour layer of the cells (back or fore): one cell's colour; a range filled.
    [[nodiscard]] QColor colorIn(const std::vector<QRgb>& layer, int row, int col) const;
    void fillColor(std::vector<QRgb>& layer, int row1, int col1, int row2, int col2,
                   const QColor& color);
    friend class FlexGridModel;
    struct Cells;

    void structureChanged();
    void cellsChanged(int row1, int col1, int row2, int col2);
    void applyMeasures();
    void applyColumn(int col);
    void applyRow(int row);
    [[nodiscard]] int fixedShown() const;

    Cells* cells_;
    FlexGridModel* fixedModel_;
    FlexGridModel* bodyModel_;
    QTableView* fixedView_;
    QTableView* bodyView_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    bool wordWrap_ = false;
    bool redraw_ = true;
    bool pendingReset_ = false;
    // The current cell and selection end while redraw is off.
    int pendingRow_ = -1;
    int pendingCol_ = -1;
    int pendingRowSel_ = -1;
    int pendingColSel_ = -1;
};

} // namespace corvelix
