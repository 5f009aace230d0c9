#include "platform/FlexGrid.h"

#include "platform/FlexGridCells.h"

#include <algorithm>
#include <iterator>

namespace corvelix {

namespace {

// Colours are kept as QRgb; 0 (transparent black) means "the grid's own".
QRgb toRgb(const QColor& color) {
    return color.isValid() ? color.rgba() | 0xFF000000u : 0;
}

} // namespace

int FlexGrid::rows() const {
    return cells_->rows;
}

int FlexGrid::cols() const {
    return cells_->cols;
}

int FlexGrid::fixedShown() const {
    return std::min(fixedRows_, cells_->rows);
}

void FlexGrid::setRows(int rows) {
    if (rows == cells_->rows)
        return;
    cells_->resize(rows, cells_->cols);
    structureChanged();
}

void FlexGrid::setCols(int cols) {
    if (cols == cells_->cols)
        return;
    cells_->resize(cells_->rows, cols);
    structureChanged();
}

void FlexGrid::setFixedRows(int rows) {
    fixedRows_ = std::max(rows, 0);
    structureChanged();
}

void FlexGrid::setFixedCols(int cols) {
    fixedCols_ = std::max(cols, 0);
    cellsChanged(0, 0, cells_->rows - 1, cells_->cols - 1);
}

void FlexGrid::clear() {
    std::fill(cells_->texts.begin(), cells_->texts.end(), QString());
    cells_->back.clear();
    cells_->fore.clear();
    cells_->align.clear();
    cellsChanged(0, 0, cells_->rows - 1, cells_->cols - 1);
}

QString FlexGrid::textMatrix(int row, int col) const {
    return cells_->inside(row, col) ? cells_->texts[cells_->at(row, col)] : QString();
}

const QString& FlexGrid::textAt(int row, int col) const {
    static const QString empty;
    return cells_->inside(row, col) ? cells_->texts[cells_->at(row, col)] : empty;
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (!cells_->inside(row, col))
        return;
    cells_->texts[cells_->at(row, col)] = text;
    cellsChanged(row, col, row, col);
}

void FlexGrid::setTexts(int firstRow, const std::vector<QStringList>& rows) {
    int last = firstRow - 1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = firstRow + int(i);
        if (r < 0 || r >= cells_->rows)
            continue;
        const QStringList& line = rows[i];
        const int n = std::min(int(line.size()), cells_->cols);
        for (int c = 0; c < n; ++c)
            cells_->texts[cells_->at(r, c)] = line.at(c);
        last = r;
    }
    if (last >= firstRow)
        cellsChanged(std::max(firstRow, 0), 0, last, cells_->cols - 1);
}

void FlexGrid::appendRows(const std::vector<QStringList>& rows) {
    if (rows.empty())
        return;
    const int first = cells_->rows;
    cells_->resize(first + int(rows.size()), cells_->cols);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QStringList& line = rows[i];
        const int n = std::min(int(line.size()), cells_->cols);
        for (int c = 0; c < n; ++c)
            cells_->texts[cells_->at(first + int(i), c)] = line.at(c);
    }
    structureChanged();
}

void FlexGrid::appendRows(std::vector<QString>&& cells) {
    const int cols = cells_->cols;
    if (cells.empty() || cols <= 0)
        return;
    const int added = int((cells.size() + std::size_t(cols) - 1) / std::size_t(cols));
    cells.resize(std::size_t(added) * cols);
    std::vector<QString>& texts = cells_->texts;
    if (cells.capacity() >= cells.size() + texts.size()) {
        // The rows there are (often only the headings) go in front of the new ones, whose
        // store is kept when it has room: a store of the whole size is not allocated again.
        cells.insert(cells.begin(), std::make_move_iterator(texts.begin()),
                     std::make_move_iterator(texts.end()));
        texts = std::move(cells);
    } else {
        texts.reserve(texts.size() + cells.size());
        texts.insert(texts.end(), std::make_move_iterator(cells.begin()),
                     std::make_move_iterator(cells.end()));
    }
    cells.clear();
    // The texts are in place; the other stores follow.
    cells_->resize(cells_->rows + added, cols);
    structureChanged();
}

void FlexGrid::addItem(const QString& tabbedCells, int index) {
    const QStringList cells = tabbedCells.split(QLatin1Char('\t'));
    if (index < 0 || index >= cells_->rows) {
        appendRows({cells});
        return;
    }
    cells_->insertRow(index);
    const int n = std::min(int(cells.size()), cells_->cols);
    for (int c = 0; c < n; ++c)
        cells_->texts[cells_->at(index, c)] = cells.at(c);
    structureChanged();
}

void FlexGrid::insertRow(int at) {
    cells_->insertRow(at);
    structureChanged();
}

void FlexGrid::removeItem(int row) {
    if (row < 0 || row >= cells_->rows)
        return;
    const int current = this->row();
    const int currentCol = col();
    cells_->removeRow(row);
    structureChanged();
    if (current >= row && current >= 0 && cells_->rows > 0) {
        const int target = current > row ? current - 1 : std::min(current, cells_->rows - 1);
        if (cells_->inside(target, std::max(currentCol, 0)))
            setCurrentCell(target, std::max(currentCol, 0));
    }
}

void FlexGrid::setClip(int row1, int col1, int row2, int col2, const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\r'));
    for (int r = row1; r <= row2 && r - row1 < lines.size(); ++r) {
        const QStringList line = lines.at(r - row1).split(QLatin1Char('\t'));
        for (int c = col1; c <= col2 && c - col1 < line.size(); ++c)
            if (cells_->inside(r, c))
                cells_->texts[cells_->at(r, c)] = line.at(c - col1);
    }
    cellsChanged(row1, col1, row2, col2);
}

QColor FlexGrid::colorIn(const std::vector<QRgb>& layer, int row, int col) const {
    if (!cells_->inside(row, col) || layer.empty() || layer[cells_->at(row, col)] == 0)
        return {};
    return QColor::fromRgba(layer[cells_->at(row, col)]);
}

QColor FlexGrid::cellBackColor(int row, int col) const {
    return colorIn(cells_->back, row, col);
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& color) {
    fillBackColor(row, col, row, col, color);
}

QColor FlexGrid::cellForeColor(int row, int col) const {
    return colorIn(cells_->fore, row, col);
}

void FlexGrid::setCellForeColor(int row, int col, const QColor& color) {
    fillForeColor(row, col, row, col, color);
}

void FlexGrid::fillBackColor(int row1, int col1, int row2, int col2, const QColor& color) {
    fillColor(cells_->back, row1, col1, row2, col2, color);
}

void FlexGrid::fillForeColor(int row1, int col1, int row2, int col2, const QColor& color) {
    fillColor(cells_->fore, row1, col1, row2, col2, color);
}

void FlexGrid::fillColor(std::vector<QRgb>& layer, int row1, int col1, int row2, int col2,
                         const QColor& color) {
    row1 = std::max(std::min(row1, row2), 0);
    row2 = std::min(std::max(row1, row2), cells_->rows - 1);
    const int c1 = std::max(std::min(col1, col2), 0);
    const int c2 = std::min(std::max(col1, col2), cells_->cols - 1);
    if (row1 > row2 || c1 > c2)
        return;
    cells_->fill(layer, row1, c1, row2, c2, toRgb(color));
    cellsChanged(row1, c1, row2, c2);
}

FlexAlign FlexGrid::colAlignment(int col) const {
    if (col < 0 || col >= cells_->cols)
        return FlexAlign::General;
    return FlexAlign(cells_->colAlign[std::size_t(col)]);
}

void FlexGrid::setColAlignment(int col, FlexAlign alignment) {
    if (col < 0 || col >= cells_->cols)
        return;
    cells_->colAlign[std::size_t(col)] = quint8(alignment);
    cellsChanged(0, col, cells_->rows - 1, col);
}

FlexAlign FlexGrid::cellAlignment(int row, int col) const {
    if (!cells_->inside(row, col))
        return FlexAlign::General;
    const quint8 own = cells_->align.empty() ? kNoAlignment : cells_->align[cells_->at(row, col)];
    return own == kNoAlignment ? colAlignment(col) : FlexAlign(own);
}

void FlexGrid::setCellAlignment(int row1, int col1, int row2, int col2, FlexAlign alignment) {
    const int r1 = std::max(std::min(row1, row2), 0);
    const int r2 = std::min(std::max(row1, row2), cells_->rows - 1);
    const int c1 = std::max(std::min(col1, col2), 0);
    const int c2 = std::min(std::max(col1, col2), cells_->cols - 1);
    if (r1 > r2 || c1 > c2)
        return;
    if (cells_->align.empty())
        cells_->align.assign(std::size_t(cells_->rows) * cells_->cols, kNoAlignment);
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            cells_->align[cells_->at(r, c)] = quint8(alignment);
    cellsChanged(r1, c1, r2, c2);
}

} // namespace corvelix
