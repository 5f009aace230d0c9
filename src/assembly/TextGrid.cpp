#include "assembly/TextGrid.h"

#include "runtime/Twips.h"

#include <QHeaderView>

namespace corvelix {

int TextGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant TextGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            alignments_.value(index.column(), Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return header(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_.value(section, Qt::AlignLeft | Qt::AlignVCenter));
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TextGridModel::setColumnCount(int cols) {
    beginResetModel();
    cols_ = qMax(0, cols);
    header_.resize(cols_);
    alignments_.resize(cols_, Qt::AlignLeft | Qt::AlignVCenter);
    endResetModel();
}

void TextGridModel::setRowCount(int rows) {
    rows = qMax(0, rows);
    const int now = rowCount();
    if (rows == now)
        return;
    if (rows < now) {
        beginRemoveRows({}, rows, now - 1);
        rows_.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    } else {
        beginInsertRows({}, now, rows - 1);
        rows_.resize(static_cast<std::size_t>(rows));
        endInsertRows();
    }
}

void TextGridModel::setHeader(int col, const QString& text) {
    if (col < 0 || col >= cols_)
        return;
    header_[col] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

QString TextGridModel::header(int col) const {
    return header_.value(col);
}

QString TextGridModel::text(int row, int col) const {
    if (row < 0 || row >= rowCount())
        return {};
    return rows_[static_cast<std::size_t>(row)].value(col);
}

void TextGridModel::setText(int row, int col, const QString& text) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= cols_)
        return;
    QStringList& cells = rows_[static_cast<std::size_t>(row)];
    if (cells.size() <= col)
        cells.resize(col + 1);
    cells[col] = text;
    emit dataChanged(index(row, col), index(row, col));
}

void TextGridModel::setAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= cols_)
        return;
    alignments_[col] = alignment;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col));
}

void TextGridModel::appendRows(const QList<QStringList>& rows) {
    if (rows.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    endInsertRows();
}

void TextGridModel::removeRowAt(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

TextGrid::TextGrid(QWidget* parent) : QTableView(parent), model_(new TextGridModel(this)) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

int TextGrid::rows() const {
    return model_->rowCount() + fixedRows_;
}

void TextGrid::setRows(int rows) {
    model_->setRowCount(rows - fixedRows_);
    if (model_->rowCount() > 0 && !currentIndex().isValid())
        setCurrentIndex(model_->index(0, 0));
}

void TextGrid::setCols(int cols) {
    model_->setColumnCount(cols);
}

void TextGrid::setFixedRows(int fixedRows) {
    fixedRows_ = qBound(0, fixedRows, 1);
    horizontalHeader()->setVisible(fixedRows_ == 1);
}

QString TextGrid::textMatrix(int row, int col) const {
    if (fixedRows_ == 1 && row == 0)
        return model_->header(col);
    return model_->text(modelRow(row), col);
}

void TextGrid::setTextMatrix(int row, int col, const QString& text) {
    if (fixedRows_ == 1 && row == 0)
        model_->setHeader(col, text);
    else
        model_->setText(modelRow(row), col, text);
}

void TextGrid::addItem(const QString& cells) {
    addRows({cells.split(QLatin1Char('\t'))});
}

void TextGrid::addRows(const QList<QStringList>& rows) {
    model_->appendRows(rows);
    if (model_->rowCount() > 0 && !currentIndex().isValid())
        setCurrentIndex(model_->index(0, 0));
}

void TextGrid::removeItem(int row) {
    model_->removeRowAt(modelRow(row));
}

void TextGrid::setColWidthTwips(int col, int twips) {
    setColumnWidth(col, twipsToPixels(twips));
}

void TextGrid::setColAlignment(int col, Qt::Alignment alignment) {
    model_->setAlignment(col, alignment);
}

int TextGrid::row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + fixedRows_ : 0;
}

int TextGrid::col() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : 0;
}

void TextGrid::setRow(int row) {
    const QModelIndex at = model_->index(modelRow(row), qMax(0, col()));
    if (at.isValid())
        setCurrentIndex(at);
}

void TextGrid::setCol(int col) {
    const QModelIndex current = currentIndex();
    if (current.isValid())
        setCurrentIndex(model_->index(current.row(), col));
}

void TextGrid::selectCurrentRow() {
    const QModelIndex current = currentIndex();
    if (current.isValid())
        selectRow(current.row());
}

QRect TextGrid::cellRect(int row, int col) const {
    const QRect rect = visualRect(model_->index(modelRow(row), col));
    return {viewport()->mapTo(this, rect.topLeft()), rect.size()};
}

} // namespace corvelix
