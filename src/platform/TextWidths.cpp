#include "platform/TextWidths.h"

#include "platform/FlexGrid.h"
#include "runtime/Twips.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace corvelix {

int CharAdvances::operator()(QChar ch) {
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

int CharAdvances::estimate(QStringView text) {
    int sum = 0;
    for (const QChar ch : text)
        sum += (*this)(ch);
    return sum;
}

bool WidestText::add(const QString& text) {
    const int estimate = advances_.estimate(text);
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
    return std::max(estimate_, advances_.metrics().horizontalAdvance(widest_)) + 1;
}

int widestTextPixels(const QFont& font, const QStringList& texts) {
    CharAdvances advances(font);
    std::vector<std::pair<int, qsizetype>> estimates; // (estimate, index in texts)
    estimates.reserve(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (!texts.at(i).isEmpty())
            estimates.emplace_back(advances.estimate(texts.at(i)), i);
    std::sort(estimates.begin(), estimates.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    constexpr int kMeasuredAtMost = 32;
    int widest = 0;
    int measured = 0;
    QString last;
    for (const auto& [estimate, index] : estimates) {
        // Below this no text can be wider than the widest measured.
        if (estimate + 2 + estimate / 32 < widest || measured == kMeasuredAtMost)
            break;
        const QString& text = texts.at(index);
        if (text == last)
            continue;
        widest = std::max(widest, advances.metrics().horizontalAdvance(text));
        last = text;
        ++measured;
    }
    return widest;
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
