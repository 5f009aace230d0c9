#include "platform/FlexGrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace corvelix {

void FlexGridData::resize(int rows, int cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == rows_ && cols == cols_)
        return;
    std::vector<QString> texts(std::size_t(rows) * std::size_t(cols));
    QHash<qsizetype, QColor> colors;
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c) {
            texts[std::size_t(r) * cols + c] = std::move(texts_[std::size_t(at(r, c))]);
            const auto it = colors_.constFind(at(r, c));
            if (it != colors_.constEnd())
                colors.insert(qsizetype(r) * cols + c, *it);
        }
    texts_ = std::move(texts);
    colors_ = std::move(colors);
    rows_ = rows;
    cols_ = cols;
    emit reset();
}

QString FlexGridData::text(int row, int col) const {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_)
        return {};
    return texts_[std::size_t(at(row, col))];
}

void FlexGridData::setText(int row, int col, const QString& text) {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_)
        return;
    texts_[std::size_t(at(row, col))] = text;
    emit cellChanged(row, col);
}

QColor FlexGridData::foreColor(int row, int col) const {
    return colors_.value(at(row, col));
}

void FlexGridData::setForeColor(int row, int col, const QColor& color) {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_)
        return;
    colors_.insert(at(row, col), color);
    emit cellChanged(row, col);
}

void FlexGridData::insertRow(int at) {
    at = std::clamp(at, 0, rows_);
    texts_.insert(texts_.begin() + qsizetype(at) * cols_, std::size_t(cols_), QString());
    QHash<qsizetype, QColor> colors;
    for (auto it = colors_.constBegin(); it != colors_.constEnd(); ++it) {
        const qsizetype r = it.key() / std::max(cols_, 1);
        colors.insert(r >= at ? it.key() + cols_ : it.key(), it.value());
    }
    colors_ = std::move(colors);
    ++rows_;
    emit reset();
}

void FlexGridData::setTexts(int firstRow, int firstCol, const std::vector<QStringList>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = firstRow + int(i);
        if (r < 0 || r >= rows_)
            continue;
        const QStringList& cells = rows[i];
        for (int j = 0; j < cells.size() && firstCol + j < cols_; ++j)
            if (firstCol + j >= 0)
                texts_[std::size_t(at(r, firstCol + j))] = cells.at(j);
    }
    emit reset();
}

// One of the grid's two parts over the same cells: the fixed rows or the rows below them.
class FlexGridWindow : public QAbstractTableModel {
public:
    FlexGridWindow(FlexGridData& data, bool fixedPart, QObject* parent)
        : QAbstractTableModel(parent), data_(data), fixedPart_(fixedPart) {
        connect(&data_, &FlexGridData::reset, this, [this] {
            beginResetModel();
            endResetModel();
        });
        connect(&data_, &FlexGridData::cellChanged, this, [this](int row, int col) {
            const int r = row - offset();
            if (r >= 0 && r < rowCount({})) {
                const QModelIndex i = index(r, col);
                emit dataChanged(i, i);
            }
        });
    }
    void setFixed(int fixedRows, int fixedCols) {
        beginResetModel();
        fixedRows_ = fixedRows;
        fixedCols_ = fixedCols;
        endResetModel();
    }
    [[nodiscard]] int offset() const { return fixedPart_ ? 0 : fixedRows_; }
    int rowCount(const QModelIndex& parent) const override {
        if (parent.isValid())
            return 0;
        const int fixed = std::min(fixedRows_, data_.rows());
        return fixedPart_ ? fixed : data_.rows() - fixed;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : data_.cols();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const int row = index.row() + offset();
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return data_.text(row, index.column());
        if (role == Qt::ForegroundRole) {
            const QColor c = data_.foreColor(row, index.column());
            return c.isValid() ? QVariant(c) : QVariant();
        }
        if (role == Qt::BackgroundRole && (fixedPart_ || index.column() < fixedCols_))
            return QApplication::palette().button();
        return {};
    }

private:
    FlexGridData& data_;
    bool fixedPart_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
};

namespace {

QTableView* makeView(QWidget* parent, QAbstractItemModel* model) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    return view;
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QWidget(parent) {
    fixedModel_ = new FlexGridWindow(data_, true, this);
    bodyModel_ = new FlexGridWindow(data_, false, this);
    fixedView_ = makeView(this, fixedModel_);
    bodyView_ = makeView(this, bodyModel_);
    lastView_ = bodyView_;
    fixedView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(fixedView_);
    layout->addWidget(bodyView_, 1);
    // Both parts scroll sideways together and share column widths.
    connect(bodyView_->horizontalScrollBar(), &QScrollBar::valueChanged,
            fixedView_->horizontalScrollBar(), &QScrollBar::setValue);
    connect(bodyView_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                fixedView_->horizontalHeader()->resizeSection(section, size);
            });
    for (QTableView* v : {fixedView_, bodyView_})
        v->installEventFilter(this);
    connect(&data_, &FlexGridData::reset, this, &FlexGrid::relayout);
    relayout();
}

void FlexGrid::setRows(int rows) {
    data_.resize(rows, data_.cols());
}

void FlexGrid::setCols(int cols) {
    data_.resize(data_.rows(), cols);
}

void FlexGrid::setFixedRows(int rows) {
    fixedRows_ = std::max(rows, 0);
    fixedModel_->setFixed(fixedRows_, fixedCols_);
    bodyModel_->setFixed(fixedRows_, fixedCols_);
    relayout();
}

void FlexGrid::setFixedCols(int cols) {
    fixedCols_ = std::max(cols, 0);
    fixedModel_->setFixed(fixedRows_, fixedCols_);
    bodyModel_->setFixed(fixedRows_, fixedCols_);
}

void FlexGrid::relayout() {
    const int fixed = std::min(fixedRows_, data_.rows());
    const int rowHeight = fixedView_->verticalHeader()->defaultSectionSize();
    fixedView_->setVisible(fixed > 0);
    fixedView_->setFixedHeight(fixed * rowHeight + 2);
    for (int c = 0; c < data_.cols(); ++c)
        fixedView_->horizontalHeader()->resizeSection(
            c, bodyView_->horizontalHeader()->sectionSize(c));
}

int FlexGrid::row() const {
    const QModelIndex i = lastView_->currentIndex();
    if (!i.isValid())
        return -1;
    return i.row() + (lastView_ == bodyView_ ? std::min(fixedRows_, data_.rows()) : 0);
}

int FlexGrid::col() const {
    const QModelIndex i = lastView_->currentIndex();
    return i.isValid() ? i.column() : -1;
}

void FlexGrid::setCurrentCell(int row, int col) {
    const int fixed = std::min(fixedRows_, data_.rows());
    QTableView* view = row < fixed ? fixedView_ : bodyView_;
    const int r = row < fixed ? row : row - fixed;
    const QModelIndex i = view->model()->index(r, col);
    if (!i.isValid())
        return;
    lastView_ = view;
    view->setCurrentIndex(i);
}

void FlexGrid::setClip(int row1, int col1, int row2, int col2, const QString& text) {
    std::vector<QStringList> rows;
    const QStringList lines = text.split(QLatin1Char('\r'));
    for (int r = row1; r <= row2 && r - row1 < lines.size(); ++r)
        rows.push_back(lines.at(r - row1).split(QLatin1Char('\t')).mid(0, col2 - col1 + 1));
    data_.setTexts(row1, col1, rows);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == fixedView_ || watched == bodyView_))
        lastView_ = static_cast<QTableView*>(watched);
    if (event->type() == QEvent::KeyPress && (watched == fixedView_ || watched == bodyView_)) {
        lastView_ = static_cast<QTableView*>(watched);
        emit keyDown(static_cast<QKeyEvent*>(event));
        if (event->isAccepted() && static_cast<QKeyEvent*>(event)->key() >= Qt::Key_F1 &&
            static_cast<QKeyEvent*>(event)->key() <= Qt::Key_F12)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvelix
