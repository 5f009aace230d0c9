#include "platform/FlexGrid.h"

#include "platform/FlexGridCells.h"
#include "platform/FlexGridModel.h"
#include "runtime/Twips.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace corvelix {

namespace {

QTableView* makeView(QWidget* parent, QAbstractItemModel* model) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setMinimumSectionSize(0);
    view->verticalHeader()->setMinimumSectionSize(0);
    view->horizontalHeader()->setDefaultSectionSize(twipsToPixels(kDefaultColWidthTwips));
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    return view;
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QWidget(parent), cells_(new Cells) {
    fixedModel_ = new FlexGridModel(*this, true);
    bodyModel_ = new FlexGridModel(*this, false);
    fixedView_ = makeView(this, fixedModel_);
    bodyView_ = makeView(this, bodyModel_);
    fixedView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setFrameShape(QFrame::NoFrame);
    fixedView_->setFocusPolicy(Qt::NoFocus);
    fixedView_->setSelectionMode(QAbstractItemView::NoSelection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(fixedView_);
    layout->addWidget(bodyView_, 1);
    setFocusProxy(bodyView_);
    // Both parts scroll sideways together.
    connect(bodyView_->horizontalScrollBar(), &QScrollBar::valueChanged,
            fixedView_->horizontalScrollBar(), &QScrollBar::setValue);
    for (QTableView* v : {fixedView_, bodyView_}) {
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }
    structureChanged();
}

FlexGrid::~FlexGrid() {
    delete cells_;
}

int FlexGrid::defaultColWidth() {
    return kDefaultColWidthTwips;
}

int FlexGrid::colWidth(int col) const {
    if (col < 0 || col >= cells_->cols)
        return 0;
    const int w = cells_->colWidth[std::size_t(col)];
    return w < 0 ? kDefaultColWidthTwips : w;
}

void FlexGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cells_->cols)
        return;
    cells_->colWidth[std::size_t(col)] = std::max(twips, -1);
    if (redraw_)
        applyColumn(col);
}

int FlexGrid::rowHeight(int row) const {
    if (row < 0 || row >= cells_->rows)
        return 0;
    const int h = cells_->rowHeight[std::size_t(row)];
    return h < 0 ? pixelsToTwips(bodyView_->verticalHeader()->defaultSectionSize()) : h;
}

void FlexGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= cells_->rows)
        return;
    cells_->rowHeight[std::size_t(row)] = std::max(twips, -1);
    if (redraw_)
        applyRow(row);
}

void FlexGrid::setWordWrap(bool on) {
    wordWrap_ = on;
    fixedView_->setWordWrap(on);
    bodyView_->setWordWrap(on);
}

void FlexGrid::applyColumn(int col) {
    const int w = cells_->colWidth[std::size_t(col)];
    for (QTableView* v : {fixedView_, bodyView_}) {
        if (col >= v->model()->columnCount())
            continue;
        v->setColumnHidden(col, w == 0);
        if (w != 0)
            v->horizontalHeader()->resizeSection(col,
                                                 twipsToPixels(w < 0 ? kDefaultColWidthTwips : w));
    }
}

void FlexGrid::applyRow(int row) {
    const int fixed = fixedShown();
    QTableView* view = row < fixed ? fixedView_ : bodyView_;
    const int r = row < fixed ? row : row - fixed;
    if (r >= view->model()->rowCount())
        return;
    const int h = cells_->rowHeight[std::size_t(row)];
    view->verticalHeader()->resizeSection(r, h < 0 ? view->verticalHeader()->defaultSectionSize()
                                                   : twipsToPixels(h));
    if (view == fixedView_)
        applyMeasures();
}

void FlexGrid::applyMeasures() {
    for (int c = 0; c < cells_->cols; ++c)
        if (cells_->colWidth[std::size_t(c)] != -1)
            applyColumn(c);
    const int fixed = fixedShown();
    int fixedHeight = 0;
    for (int r = 0; r < cells_->rows; ++r) {
        const int h = cells_->rowHeight[std::size_t(r)];
        QTableView* view = r < fixed ? fixedView_ : bodyView_;
        const int px = h < 0 ? view->verticalHeader()->defaultSectionSize() : twipsToPixels(h);
        if (h >= 0)
            view->verticalHeader()->resizeSection(r < fixed ? r : r - fixed, px);
        if (r < fixed)
            fixedHeight += px;
    }
    fixedView_->setVisible(fixed > 0);
    fixedView_->setFixedHeight(fixedHeight);
}

void FlexGrid::structureChanged() {
    if (!redraw_) {
        pendingReset_ = true;
        return;
    }
    pendingReset_ = false;
    const int curRow = row();
    const int curCol = col();
    fixedModel_->refresh();
    bodyModel_->refresh();
    applyMeasures();
    if (curRow >= 0 && curRow < cells_->rows && curCol >= 0 && curCol < cells_->cols)
        setCurrentCell(curRow, curCol);
}

void FlexGrid::cellsChanged(int row1, int col1, int row2, int col2) {
    if (!redraw_) {
        pendingReset_ = true;
        return;
    }
    fixedModel_->changed(row1, col1, row2, col2);
    bodyModel_->changed(row1, col1, row2, col2);
}

void FlexGrid::setRedraw(bool on) {
    if (on == redraw_)
        return;
    if (!on) {
        // The current cell as it stood, for row() and rowSel() while nothing reaches the views.
        pendingRow_ = row();
        pendingCol_ = col();
        pendingRowSel_ = rowSel();
        pendingColSel_ = colSel();
        redraw_ = false;
        setUpdatesEnabled(false);
        return;
    }
    redraw_ = true;
    const int r = pendingRow_, c = pendingCol_, r2 = pendingRowSel_, c2 = pendingColSel_;
    pendingRow_ = -1;
    if (pendingReset_)
        structureChanged();
    // A selection made while the grid was not drawn is kept across the reset.
    if (r >= 0 && cells_->inside(r, c))
        select(r, c, r2, c2);
    setUpdatesEnabled(true);
}

int FlexGrid::row() const {
    if (!redraw_)
        return pendingRow_;
    for (QTableView* v : {bodyView_, fixedView_}) {
        const QModelIndex i = v->selectionModel()->currentIndex();
        if (i.isValid())
            return i.row() + static_cast<FlexGridModel*>(v->model())->offset();
    }
    return -1;
}

int FlexGrid::col() const {
    if (!redraw_)
        return pendingCol_;
    for (QTableView* v : {bodyView_, fixedView_}) {
        const QModelIndex i = v->selectionModel()->currentIndex();
        if (i.isValid())
            return i.column();
    }
    return -1;
}

int FlexGrid::rowSel() const {
    if (!redraw_)
        return pendingRowSel_;
    const int current = row();
    if (current < 0)
        return -1;
    QTableView* v = current < fixedShown() ? fixedView_ : bodyView_;
    const int offset = static_cast<FlexGridModel*>(v->model())->offset();
    const int r = current - offset;
    for (const QItemSelectionRange& range : v->selectionModel()->selection()) {
        if (r < range.top() || r > range.bottom())
            continue;
        return (r == range.top() ? range.bottom() : range.top()) + offset;
    }
    return current;
}

int FlexGrid::colSel() const {
    if (!redraw_)
        return pendingColSel_;
    const int current = row();
    const int c = col();
    if (current < 0)
        return -1;
    QTableView* v = current < fixedShown() ? fixedView_ : bodyView_;
    const int r = current - static_cast<FlexGridModel*>(v->model())->offset();
    for (const QItemSelectionRange& range : v->selectionModel()->selection()) {
        if (r < range.top() || r > range.bottom() || c < range.left() || c > range.right())
            continue;
        return c == range.left() ? range.right() : range.left();
    }
    return c;
}

void FlexGrid::setCurrentCell(int row, int col) {
    select(row, col, row, col);
}

void FlexGrid::select(int row1, int col1, int row2, int col2) {
    if (!cells_->inside(row1, col1))
        return;
    row2 = std::clamp(row2, 0, cells_->rows - 1);
    col2 = std::clamp(col2, 0, cells_->cols - 1);
    if (!redraw_) {
        pendingRow_ = row1;
        pendingCol_ = col1;
        pendingRowSel_ = row2;
        pendingColSel_ = col2;
        return;
    }
    const int fixed = fixedShown();
    const bool inFixed = row1 < fixed;
    QTableView* view = inFixed ? fixedView_ : bodyView_;
    QTableView* other = inFixed ? bodyView_ : fixedView_;
    const int offset = inFixed ? 0 : fixed;
    // The selection stays inside the part that holds the current cell.
    row2 = inFixed ? std::min(row2, fixed - 1) : std::max(row2, fixed);
    other->selectionModel()->clear();
    QItemSelectionModel* sm = view->selectionModel();
    const QModelIndex current = view->model()->index(row1 - offset, col1);
    sm->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    sm->select(QItemSelection(current, view->model()->index(row2 - offset, col2)),
               QItemSelectionModel::ClearAndSelect);
}

QRect FlexGrid::cellRect(int row, int col) const {
    if (!cells_->inside(row, col))
        return {};
    const int fixed = fixedShown();
    QTableView* view = row < fixed ? fixedView_ : bodyView_;
    const int r = row < fixed ? row : row - fixed;
    const QRect rect = view->visualRect(view->model()->index(r, col));
    if (rect.isEmpty())
        return {};
    return {view->viewport()->mapTo(this, rect.topLeft()), rect.size()};
}

void FlexGrid::setTopRow(int row) {
    const int r = row - fixedShown();
    if (r < 0 || r >= bodyModel_->rowCount({}))
        return;
    bodyView_->scrollTo(bodyModel_->index(r, std::max(col(), 0)), QAbstractItemView::PositionAtTop);
}

void FlexGrid::setSelectionByRow(bool byRow) {
    bodyView_->setSelectionBehavior(byRow ? QAbstractItemView::SelectRows
                                          : QAbstractItemView::SelectItems);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    const bool view = watched == fixedView_ || watched == bodyView_;
    const bool viewport = watched == fixedView_->viewport() || watched == bodyView_->viewport();
    if (view && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        key->setAccepted(false);
        emit keyDown(key);
        if (key->isAccepted())
            return true;
        key->setAccepted(true);
    } else if (viewport && event->type() == QEvent::MouseButtonPress) {
        emit mouseDown(static_cast<QMouseEvent*>(event));
    } else if (viewport && event->type() == QEvent::MouseButtonDblClick) {
        emit dblClick();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvelix
