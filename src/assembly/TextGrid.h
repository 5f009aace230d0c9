#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QTableView>

#include <vector>

namespace corvelix {

// Rows of texts for TextGrid: one vector of rows, so thousands of rows fill at once.
class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setColumnCount(int cols);
    void setRowCount(int rows);
    void setHeader(int col, const QString& text);
    [[nodiscard]] QString header(int col) const;
    [[nodiscard]] QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    void setAlignment(int col, Qt::Alignment alignment);
    void appendRows(const QList<QStringList>& rows);
    void removeRowAt(int row);

private:
    int cols_ = 0;
    std::vector<QStringList> rows_;
    QStringList header_;
    QList<Qt::Alignment> alignments_;
};

// A read-only grid of texts addressed as the old flex grid was: rows and columns from 0, with
// an optional fixed first row (the column headers) counted among the rows. Keys pressed in it
// reach whoever filters its events.
class TextGrid : public QTableView {
    Q_OBJECT
public:
    explicit TextGrid(QWidget* parent = nullptr);

    // Rows include the fixed row; setting fewer drops the last ones.
    [[nodiscard]] int rows() const;
    void setRows(int rows);
    [[nodiscard]] int cols() const { return model_->columnCount(); }
    void setCols(int cols);
    // 0 or 1.
    [[nodiscard]] int fixedRows() const { return fixedRows_; }
    void setFixedRows(int fixedRows);

    [[nodiscard]] QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Appends one row whose cells are the tab-separated parts of `cells`.
    void addItem(const QString& cells);
    // Appends many rows at once.
    void addRows(const QList<QStringList>& rows);
    void removeItem(int row);

    void setColWidthTwips(int col, int twips);
    void setColAlignment(int col, Qt::Alignment alignment);

    // The current cell; row 0 when the grid shows no row below the fixed one.
    [[nodiscard]] int row() const;
    [[nodiscard]] int col() const;
    void setRow(int row);
    void setCol(int col);
    // The current row selected from its first to its last column.
    void selectCurrentRow();
    // A cell's rectangle in the grid's own coordinates.
    [[nodiscard]] QRect cellRect(int row, int col) const;

private:
    [[nodiscard]] int modelRow(int row) const { return row - fixedRows_; }

    TextGridModel* model_;
    int fixedRows_ = 1;
};

} // namespace corvelix
