#include "platform/FlexGrid.h"

#include "runtime/Twips.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace corvelix {

namespace {

constexpr quint8 kNoAlignment = 0xFF;
constexpr int kDefaultColWidthTwips = 975;

Qt::Alignment toQt(FlexAlign alignment) {
    switch (alignment) {
    case FlexAlign::LeftTop:
        return Qt::AlignLeft | Qt::AlignTop;
    case FlexAlign::LeftCenter:
    case FlexAlign::General:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexAlign::LeftBottom:
        return Qt::AlignLeft | Qt::AlignBottom;
    case FlexAlign::CenterTop:
        return Qt::AlignHCenter | Qt::AlignTop;
    case FlexAlign::CenterCenter:
        return Qt::AlignCenter;
    case FlexAlign::CenterBottom:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case FlexAlign::RightTop:
        return Qt::AlignRight | Qt::AlignTop;
    case FlexAlign::RightCenter:
        return Qt::AlignRight | Qt::AlignVCenter;
    case FlexAlign::RightBottom:
        return Qt::AlignRight | Qt::AlignBottom;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Colours are kept as QRgb; 0 (transparent black) means "the grid's own".
QRgb toRgb(const QColor& color) {
    return color.isValid() ? color.rgba() | 0xFF000000u : 0;
}

} // namespace

// Row-major cell vectors; the colour and alignment vectors exist only once something is set.
struct FlexGrid::Cells {
    int rows = 0;
    int cols = 0;
    std::vector<QString> texts;
    std::vector<QRgb> back;
    std::vector<QRgb> fore;
    std::vector<quint8> align;
    std::vector<quint8> colAlign; // per column
    std::vector<int> colWidth;    // twips, -1 default
    std::vector<int> rowHeight;   // twips, -1 default

    [[nodiscard]] bool inside(int r, int c) const {
        return r >= 0 && c >= 0 && r < rows && c < cols;
    }
    [[nodiscard]] std::size_t at(int r, int c) const { return std::size_t(r) * cols + c; }

    template <class T> void reshape(std::vector<T>& v, int newRows, int newCols, T empty) const {
        if (v.empty())
            return;
        std::vector<T> out(std::size_t(newRows) * newCols, empty);
        for (int r = 0; r < std::min(rows, newRows); ++r)
            for (int c = 0; c < std::min(cols, newCols); ++c)
                out[std::size_t(r) * newCols + c] = std::move(v[at(r, c)]);
        v = std::move(out);
    }

    void resize(int newRows, int newCols) {
        newRows = std::max(newRows, 0);
        newCols = std::max(newCols, 0);
        if (newCols == cols) {
            // Rows only: the vectors grow or shrink at their end.
            const std::size_t n = std::size_t(newRows) * newCols;
            texts.resize(n);
            if (!back.empty())
                back.resize(n, 0);
            if (!fore.empty())
                fore.resize(n, 0);
            if (!align.empty())
                align.resize(n, kNoAlignment);
        } else {
            reshape(texts, newRows, newCols, QString());
            if (texts.empty())
                texts.resize(std::size_t(newRows) * newCols);
            reshape(back, newRows, newCols, QRgb(0));
            reshape(fore, newRows, newCols, QRgb(0));
            reshape(align, newRows, newCols, kNoAlignment);
        }
        colAlign.resize(std::size_t(newCols), quint8(FlexAlign::General));
        colWidth.resize(std::size_t(newCols), -1);
        rowHeight.resize(std::size_t(newRows), -1);
        rows = newRows;
        cols = newCols;
    }

    template <class T> void insertRowInto(std::vector<T>& v, int row, T empty) {
        if (!v.empty())
            v.insert(v.begin() + qsizetype(row) * cols, std::size_t(cols), empty);
    }

    void insertRow(int row) {
        row = std::clamp(row, 0, rows);
        insertRowInto(texts, row, QString());
        if (texts.size() < std::size_t(rows + 1) * cols)
            texts.resize(std::size_t(rows + 1) * cols);
        insertRowInto(back, row, QRgb(0));
        insertRowInto(fore, row, QRgb(0));
        insertRowInto(align, row, kNoAlignment);
        rowHeight.insert(rowHeight.begin() + row, -1);
        ++rows;
    }

    template <class T> void eraseRowFrom(std::vector<T>& v, int row) {
        if (!v.empty())
            v.erase(v.begin() + qsizetype(row) * cols, v.begin() + qsizetype(row + 1) * cols);
    }

    void removeRow(int row) {
        eraseRowFrom(texts, row);
        eraseRowFrom(back, row);
        eraseRowFrom(fore, row);
        eraseRowFrom(align, row);
        rowHeight.erase(rowHeight.begin() + row);
        --rows;
    }

    void fill(std::vector<QRgb>& v, int r1, int c1, int r2, int c2, QRgb value) {
        if (v.empty()) {
            if (value == 0)
                return;
            v.assign(std::size_t(rows) * cols, 0);
        }
        for (int r = r1; r <= r2; ++r)
            std::fill(v.begin() + qsizetype(at(r, c1)), v.begin() + qsizetype(at(r, c2)) + 1,
                      value);
    }
};

// One of the grid's two parts over the same cells: the fixed rows, or the rows below them.
// Its shape is taken when it is refreshed, so that writes made while the grid is not drawn
// reach the views in one reset.
class FlexGridModel : public QAbstractTableModel {
public:
    FlexGridModel(FlexGrid& grid, bool fixedPart)
        : QAbstractTableModel(&grid), grid_(grid), fixedPart_(fixedPart) {}

    void refresh() {
        beginResetModel();
        const int fixed = grid_.fixedShown();
        offset_ = fixedPart_ ? 0 : fixed;
        rows_ = fixedPart_ ? fixed : grid_.cells_->rows - fixed;
        cols_ = grid_.cells_->cols;
        endResetModel();
    }
    void changed(int row1, int col1, int row2, int col2) {
        const int r1 = std::max(row1 - offset_, 0);
        const int r2 = std::min(row2 - offset_, rows_ - 1);
        const int c1 = std::max(col1, 0);
        const int c2 = std::min(col2, cols_ - 1);
        if (r1 > r2 || c1 > c2)
            return;
        emit dataChanged(index(r1, c1), index(r2, c2));
    }
    [[nodiscard]] int offset() const { return offset_; }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : cols_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const FlexGrid::Cells& cells = *grid_.cells_;
        const int r = index.row() + offset_;
        const int c = index.column();
        if (!cells.inside(r, c))
            return {};
        switch (role) {
        case Qt::DisplayRole: {
            const QString& text = cells.texts[cells.at(r, c)];
            // Lists are kept with CR LF between their lines; the view breaks on LF alone.
            if (text.contains(QLatin1Char('\r'))) {
                QString shown = text;
                shown.remove(QLatin1Char('\r'));
                return shown;
            }
            return text;
        }
        case Qt::BackgroundRole: {
            if (!cells.back.empty() && cells.back[cells.at(r, c)] != 0)
                return QColor::fromRgba(cells.back[cells.at(r, c)]);
            if (fixedPart_ || c < grid_.fixedCols_)
                return QApplication::palette().button();
            return {};
        }
        case Qt::ForegroundRole:
            if (!cells.fore.empty() && cells.fore[cells.at(r, c)] != 0)
                return QColor::fromRgba(cells.fore[cells.at(r, c)]);
            return {};
        case Qt::TextAlignmentRole: {
            quint8 a = cells.align.empty() ? kNoAlignment : cells.align[cells.at(r, c)];
            if (a == kNoAlignment)
                a = cells.colAlign[std::size_t(c)];
            return QVariant::fromValue(toQt(FlexAlign(a)));
        }
        default:
            return {};
        }
    }

private:
    FlexGrid& grid_;
    bool fixedPart_;
    int offset_ = 0;
    int rows_ = 0;
    int cols_ = 0;
};

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

QColor FlexGrid::cellBackColor(int row, int col) const {
    if (!cells_->inside(row, col) || cells_->back.empty() ||
        cells_->back[cells_->at(row, col)] == 0)
        return {};
    return QColor::fromRgba(cells_->back[cells_->at(row, col)]);
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& color) {
    fillBackColor(row, col, row, col, color);
}

QColor FlexGrid::cellForeColor(int row, int col) const {
    if (!cells_->inside(row, col) || cells_->fore.empty() ||
        cells_->fore[cells_->at(row, col)] == 0)
        return {};
    return QColor::fromRgba(cells_->fore[cells_->at(row, col)]);
}

void FlexGrid::setCellForeColor(int row, int col, const QColor& color) {
    fillForeColor(row, col, row, col, color);
}

void FlexGrid::fillBackColor(int row1, int col1, int row2, int col2, const QColor& color) {
    row1 = std::max(std::min(row1, row2), 0);
    row2 = std::min(std::max(row1, row2), cells_->rows - 1);
    const int c1 = std::max(std::min(col1, col2), 0);
    const int c2 = std::min(std::max(col1, col2), cells_->cols - 1);
    if (row1 > row2 || c1 > c2)
        return;
    cells_->fill(cells_->back, row1, c1, row2, c2, toRgb(color));
    cellsChanged(row1, c1, row2, c2);
}

void FlexGrid::fillForeColor(int row1, int col1, int row2, int col2, const QColor& color) {
    row1 = std::max(std::min(row1, row2), 0);
    row2 = std::min(std::max(row1, row2), cells_->rows - 1);
    const int c1 = std::max(std::min(col1, col2), 0);
    const int c2 = std::min(std::max(col1, col2), cells_->cols - 1);
    if (row1 > row2 || c1 > c2)
        return;
    cells_->fill(cells_->fore, row1, c1, row2, c2, toRgb(color));
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
