#pragma once

#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

class QAbstractItemView;
class QTreeWidget;

namespace corvelix {

class FlexGrid;

// Advances of single characters in one font, each character measured once.
class CharAdvances {
public:
    explicit CharAdvances(const QFont& font) : metrics_(font) { latin1_.fill(-1); }
    [[nodiscard]] qreal operator()(QChar ch);
    // The sum of the text's character advances: its width but for kerning.
    [[nodiscard]] qreal estimate(QStringView text);
    [[nodiscard]] const QFontMetricsF& metrics() const { return metrics_; }

private:
    QFontMetricsF metrics_;
    std::array<qreal, 256> latin1_{}; // the usual characters, without a hash; -1: not measured
    QHash<char16_t, qreal> others_;
};

// Pixels a view needs to show `text` whole in `metrics`' font: its advance rounded up, as the
// views compare the fractional advance with the room they have.
[[nodiscard]] int wholeTextPixels(const QFontMetricsF& metrics, const QString& text);

// The widest of many texts in one font. Each text is first estimated from its characters'
// advances (cached), which keeps a list of thousands of rows cheap; the texts whose estimate
// comes near the widest one are kept as candidates, and the width is that of the widest
// candidate measured whole (kerning moves a text's width by a few pixels, so the widest
// estimate need not be the widest text).
class WidestText {
public:
    explicit WidestText(const QFont& font) : advances_(font) {}

    // `row` tells the caller where the text came from (widestRow()).
    void add(const QString& text, int row = -1);
    // Pixels of the widest text measured whole (0 when none but empty texts was added).
    [[nodiscard]] int pixels();
    // The row given with the widest text; -1 when there is none.
    [[nodiscard]] int widestRow();

private:
    struct Candidate {
        qreal estimate;
        QString text;
        int row;
    };
    [[nodiscard]] qreal slack() const;
    [[nodiscard]] static bool before(const Candidate& a, qreal estimate, const QString& text);
    void measure();

    CharAdvances advances_;
    qreal best_ = 0;
    std::vector<Candidate> candidates_; // widest estimate first, see add()
    bool measured_ = true;
    int pixels_ = 0;
    int row_ = -1;
};

// The exact width in pixels of the widest of `texts` (0 for none), as wholeTextPixels.
[[nodiscard]] int widestTextPixels(const QFont& font, const QStringList& texts);

// Pixels an item view's cell needs beside its text (the style's text margins).
[[nodiscard]] int cellTextMargins(const QAbstractItemView& view);

// Widens each of `columns` of the list so that none of its rows' texts is cut; never narrows.
void widenColumnsToTexts(QTreeWidget& list, const QList<int>& columns);
// The same over every column.
void widenColumnsToTexts(QTreeWidget& list);
// The same for a grid, over every row (the fixed ones included); hidden columns stay hidden.
// A column is made no wider than `atMost` pixels for it (0: no bound), so that a long free
// text does not push the others out of sight.
void widenColumnsToTexts(FlexGrid& grid, const QList<int>& columns, int atMost = 0);

} // namespace corvelix
