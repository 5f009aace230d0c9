#include "platform/TextWidths.h"

#include "platform/FlexGrid.h"
#include "runtime/Twips.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>

namespace corvelix {

int WidestText::advance(QChar ch) {
    const char16_t code = ch.unicode();
    if (code < latin1_.size()) {
        int& known = latin1_[code];
        if (known < 0)
            known = metrics_.horizontalAdvance(ch);
        return known;
    }
    auto it = others_.constFind(code);
    if (it == others_.constEnd())
        it = others_.insert(code, metrics_.horizontalAdvance(ch));
    return *it;
}

bool WidestText::add(const QString& text) {
    int estimate = 0;
    for (const QChar ch : text)
        estimate += advance(ch);
    if (estimate <= estimate_)
        return false;
    estimate_ = estimate;
    widest_ = text;
    return true;
}

int WidestText::pixels() const {
    if (widest_.isEmpty())
        return 0;
    // Kerning may make the whole text a pixel wider or narrower than its characters.
    return std::max(estimate_, metrics_.horizontalAdvance(widest_)) + 1;
}

int cellTextMargins(const QAbstractItemView& view) {
    // The item delegates keep the focus frame's margin plus one pixel on each side of the text.
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    return 2 * margin;
}

void widenColumnsToTexts(QTreeWidget& list, const QList<int>& columns) {
    for (const int c : columns) {
        if (c < 0 || c >= list.columnCount() || list.isColumnHidden(c))
            continue;
        WidestText widest(list.font());
        for (int r = 0; r < list.topLevelItemCount(); ++r)
            widest.add(list.topLevelItem(r)->text(c));
        int needed = widest.pixels() + cellTextMargins(list);
        if (c == 0 && list.rootIsDecorated())
            needed += list.indentation();
        if (needed > list.columnWidth(c))
            list.setColumnWidth(c, needed);
    }
}

void widenColumnsToTexts(FlexGrid& grid, const QList<int>& columns) {
    QTableView& view = *grid.bodyView();
    for (const int c : columns) {
        if (c < 0 || c >= grid.cols() || grid.colHidden(c))
            continue;
        WidestText widest(view.font());
        for (int r = 0; r < grid.rows(); ++r)
            widest.add(grid.textMatrix(r, c));
        // The grid line takes one pixel of the column.
        const int needed = widest.pixels() + cellTextMargins(view) + (view.showGrid() ? 1 : 0);
        const int current = grid.colWidth(c) < 0 ? FlexGrid::defaultColWidth() : grid.colWidth(c);
        if (needed > corvelix::twipsToPixels(current))
            grid.setColWidth(c, corvelix::pixelsToTwips(needed));
    }
}

} // namespace corvelix
