#pragma once

#include <QFontMetrics>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

class QAbstractItemView;
class QTreeWidget;

namespace corvelix {

class FlexGrid;

// Advances of single characters in one font, each character measured once.
class CharAdvances {
public:
    explicit CharAdvances(const QFont& font) : metrics_(font) { latin1_.fill(-1); }
    [[nodiscard]] int operator()(QChar ch);
    // The sum of the text's character advances: its width give or take kerning.
    [[nodiscard]] int estimate(QStringView text);
    [[nodiscard]] const QFontMetrics& metrics() const { return metrics_; }

private:
    QFontMetrics metrics_;
    std::array<int, 256> latin1_{}; // the usual characters, without a hash; -1: not measured
    QHash<char16_t, int> others_;
};

// The widest of many texts in one font. Each text is first estimated from its characters'
// advances (cached), which keeps a list of thousands of rows cheap; the widest estimate is
// then measured as a whole.
class WidestText {
public:
    explicit WidestText(const QFont& font) : advances_(font) {}

    // True when `text` is the widest so far.
    bool add(const QString& text);
    // Pixels of the widest text (0 when none was added), a pixel to spare.
    [[nodiscard]] int pixels() const;

private:
    CharAdvances advances_;
    int estimate_ = 0;
    QString widest_;
};

// The exact width in pixels of the widest of `texts` (0 for none), each measured whole as
// QFontMetrics::horizontalAdvance does. Only the texts whose estimate comes near the widest
// are measured whole (at most 32): kerning moves a text's width by a pixel or two at most.
[[nodiscard]] int widestTextPixels(const QFont& font, const QStringList& texts);

// Pixels an item view's cell needs beside its text (the style's text margins).
[[nodiscard]] int cellTextMargins(const QAbstractItemView& view);

// Widens each of `columns` of the list so that none of its rows' texts is cut; never narrows.
void widenColumnsToTexts(QTreeWidget& list, const QList<int>& columns);
// The same for a grid, over every row (the fixed ones included); hidden columns stay hidden.
void widenColumnsToTexts(FlexGrid& grid, const QList<int>& columns);

} // namespace corvelix
