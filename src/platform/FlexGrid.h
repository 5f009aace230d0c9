#pragma once

#include <QColor>
#include <QHash>
#include <QString>
#include <QWidget>

#include <vector>

class QTableView;
class QKeyEvent;

namespace corvelix {

class FlexGridWindow;

// The grid's cells: plain vectors of texts and a few per-cell colours, so that tens of
// thousands of cells fill at once.
class FlexGridData : public QObject {
    Q_OBJECT
public:
    [[nodiscard]] int rows() const { return rows_; }
    [[nodiscard]] int cols() const { return cols_; }
    void resize(int rows, int cols);
    [[nodiscard]] QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    [[nodiscard]] QColor foreColor(int row, int col) const;
    void setForeColor(int row, int col, const QColor& color);
    void insertRow(int at);
    // Writes many cells at once (one change signal).
    void setTexts(int firstRow, int firstCol, const std::vector<QStringList>& rows);

signals:
    void reset();
    void cellChanged(int row, int col);

private:
    [[nodiscard]] qsizetype at(int row, int col) const { return qsizetype(row) * cols_ + col; }
    int rows_ = 0;
    int cols_ = 0;
    std::vector<QString> texts_;
    QHash<qsizetype, QColor> colors_;
};

// The grid of the old forms: rows and columns addressed from 0, the first `fixedRows` rows
// frozen at the top while the rest scrolls, text by position, a current cell, and a clip
// paste of TAB/CR text into a range.
class FlexGrid : public QWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    [[nodiscard]] int rows() const { return data_.rows(); }
    void setRows(int rows);
    [[nodiscard]] int cols() const { return data_.cols(); }
    void setCols(int cols);
    [[nodiscard]] int fixedRows() const { return fixedRows_; }
    void setFixedRows(int rows);
    // Fixed columns are drawn like the fixed rows; they do not stay in place.
    [[nodiscard]] int fixedCols() const { return fixedCols_; }
    void setFixedCols(int cols);

    [[nodiscard]] QString textMatrix(int row, int col) const { return data_.text(row, col); }
    void setTextMatrix(int row, int col, const QString& text) { data_.setText(row, col, text); }
    [[nodiscard]] QColor cellForeColor(int row, int col) const { return data_.foreColor(row, col); }
    void setCellForeColor(int row, int col, const QColor& color) {
        data_.setForeColor(row, col, color);
    }

    // The current cell (-1 when there is none).
    [[nodiscard]] int row() const;
    [[nodiscard]] int col() const;
    void setCurrentCell(int row, int col);

    // Pastes text (cells split by TAB, rows by CR) into the range, cut to it.
    void setClip(int row1, int col1, int row2, int col2, const QString& text);
    void setTexts(int firstRow, const std::vector<QStringList>& rows) {
        data_.setTexts(firstRow, 0, rows);
    }
    // Inserts an empty row before `at`.
    void insertRow(int at) { data_.insertRow(at); }

    [[nodiscard]] QTableView* fixedView() const { return fixedView_; }
    [[nodiscard]] QTableView* bodyView() const { return bodyView_; }

signals:
    // A key pressed while the grid had the focus (the old KeyDown).
    void keyDown(QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();

    FlexGridData data_;
    FlexGridWindow* fixedModel_;
    FlexGridWindow* bodyModel_;
    QTableView* fixedView_;
    QTableView* bodyView_;
    QTableView* lastView_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
};

} // namespace corvelix
