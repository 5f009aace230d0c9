#include "platform/TextWidths.h"

#include "platform/FlexGrid.h"
#include "runtime/Twips.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>
#include <QtMath>

#include <algorithm>

namespace corvelix {

namespace {

// Texts measured whole at most per column: the estimates of a column of codes of one length
// are often equal, and any of them is then as wide as the others give or take kerning.
constexpr std::size_t kMeasuredAtMost = 32;

} // namespace

qreal CharAdvances::operator()(QChar ch) {
    const char16_t code = ch.unicode();
    if (code < latin1_.size()) {
        qreal& known = latin1_[code];
        if (known < 0)
            known = metrics_.horizontalAdvance(ch);
        return known;
    }
    auto it = others_.constFind(code);
    if (it == others_.constEnd())
        it = others_.insert(code, metrics_.horizontalAdvance(ch));
    return *it;
}

qreal CharAdvances::estimate(QStringView text) {
    // Called for every text of a list: the usual characters straight from the table.
    qreal sum = 0;
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        const qreal known = code < latin1_.size() ? latin1_[code] : -1;
        sum += known >= 0 ? known : (*this)(ch);
    }
    return sum;
}

int wholeTextPixels(const QFontMetricsF& metrics, const QString& text) {
    return qCeil(metrics.horizontalAdvance(text));
}

qreal WidestText::slack() const {
    // Kerning and shaping move a text's width by a pixel or two, a little more on long texts.
    return 2 + best_ / 32;
}

bool WidestText::before(const Candidate& a, qreal estimate, const QString& text) {
    // Widest estimate first; equal estimates by their texts, so that a repeat is found.
    return a.estimate != estimate ? a.estimate > estimate : a.text < text;
}

void WidestText::add(const QString& text, int row) {
    if (text.isEmpty())
        return;
    const qreal estimate = advances_.estimate(text);
    if (estimate < best_ - slack())
        return;
    if (candidates_.size() == kMeasuredAtMost && estimate < candidates_.back().estimate)
        return;
    // The candidates stay in order, without repeats, and no more than are ever measured: a
    // column of thousands of rows costs a look-up per text, not a sort now and then.
    const auto at =
        std::lower_bound(candidates_.begin(), candidates_.end(), estimate,
                         [&text](const Candidate& c, qreal e) { return before(c, e, text); });
    if (at == candidates_.end() && candidates_.size() == kMeasuredAtMost)
        return;
    if (at != candidates_.end() && at->estimate == estimate && at->text == text)
        return;
    candidates_.insert(at, {estimate, text, row});
    if (candidates_.size() > kMeasuredAtMost)
        candidates_.pop_back();
    if (estimate > best_) {
        best_ = estimate;
        const qreal floor = best_ - slack();
        while (candidates_.back().estimate < floor)
            candidates_.pop_back();
    }
    measured_ = false;
}

void WidestText::measure() {
    qreal widest = 0;
    row_ = -1;
    for (const Candidate& c : candidates_) {
        // Below this no text can be wider than the widest measured.
        if (c.estimate + slack() < widest)
            break;
        const qreal width = advances_.metrics().horizontalAdvance(c.text);
        if (width > widest || row_ < 0) {
            widest = std::max(widest, width);
            row_ = c.row;
        }
    }
    pixels_ = qCeil(widest);
    measured_ = true;
}

int WidestText::pixels() {
    if (!measured_)
        measure();
    return pixels_;
}

int WidestText::widestRow() {
    if (!measured_)
        measure();
    return row_;
}

int widestTextPixels(const QFont& font, const QStringList& texts) {
    WidestText widest(font);
    for (const QString& text : texts)
        widest.add(text);
    return widest.pixels();
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
        const int pixels = widest.pixels();
        if (pixels == 0)
            continue;
        int needed = pixels + cellTextMargins(list);
        if (c == 0 && list.rootIsDecorated())
            needed += list.indentation();
        if (needed > list.columnWidth(c))
            list.setColumnWidth(c, needed);
    }
}

void widenColumnsToTexts(QTreeWidget& list) {
    QList<int> columns;
    for (int c = 0; c < list.columnCount(); ++c)
        columns << c;
    widenColumnsToTexts(list, columns);
}

void widenColumnsToTexts(FlexGrid& grid, const QList<int>& columns, int atMost) {
    QTableView& view = *grid.bodyView();
    for (const int c : columns) {
        if (c < 0 || c >= grid.cols() || grid.colHidden(c))
            continue;
        WidestText widest(view.font());
        const QString* previous = nullptr;
        for (int r = 0; r < grid.rows(); ++r) {
            // The text of the row above again (one string shared down a column of a repeated
            // code or unit) changes nothing.
            const QString& text = grid.textAt(r, c);
            if (previous != nullptr && text.constData() == previous->constData() &&
                text.size() == previous->size())
                continue;
            widest.add(text);
            previous = &text;
        }
        const int pixels = widest.pixels();
        if (pixels == 0)
            continue;
        // The grid line takes one pixel of the column.
        int needed = pixels + cellTextMargins(view) + (view.showGrid() ? 1 : 0);
        if (atMost > 0)
            needed = std::min(needed, atMost);
        const int current = grid.colWidth(c) < 0 ? FlexGrid::defaultColWidth() : grid.colWidth(c);
        if (needed > corvelix::twipsToPixels(current))
            grid.setColWidth(c, corvelix::pixelsToTwips(needed));
    }
}

} // namespace corvelix
