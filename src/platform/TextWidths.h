#pragma once

#include <QFontMetrics>
#include <QHash>
#include <QList>
#include <QString>

#include <array>

class QAbstractItemView;
class QTreeWidget;

namespace corvelix {

class FlexGrid;

// The widest of many texts in one font. Each text is first estimated from its characters'
// advances (cached), which keeps a list of thousands of rows cheap; the widest estimate is
// then measured as a whole.
class WidestText {
public:
    explicit WidestText(const QFont& font) : metrics_(font) { latin1_.fill(-1); }

    // True when `text` is the widest so far.
    bool add(const QString& text);
    // Pixels of the widest text (0 when none was added).
    [[nodiscard]] int pixels() const;

private:
    [[nodiscard]] int advance(QChar ch);

    QFontMetrics metrics_;
    std::array<int, 256> latin1_{}; // the usual characters, without a hash; -1: not measured
    QHash<char16_t, int> others_;
    int estimate_ = 0;
    QString widest_;
};

// Pixels an item view's cell needs beside its text (the style's text margins).
[[nodiscard]] int cellTextMargins(const QAbstractItemView& view);

// Widens each of `columns` of the list so that none of its rows' texts is cut; never narrows.
void widenColumnsToTexts(QTreeWidget& list, const QList<int>& columns);
// The same for a grid, over every row (the fixed ones included); hidden columns stay hidden.
void widenColumnsToTexts(FlexGrid& grid, const QList<int>& columns);

} // namespace corvelix
