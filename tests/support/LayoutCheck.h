#pragma once

#include <QDialog>
#include <QList>
#include <QMetaType>
#include <QStringList>

#include <functional>
#include <memory>

class QAbstractItemView;
class QWidget;

namespace corvelix::test {

// Checks of what a window shows at the size it sets. Each returns the faults found, one line
// each, so that a test compares the result with an empty list and the failure names them.
//
// Every visible control lies inside its parent, and so inside its window. Each page of every
// tab control is shown in turn and checked as laid out then; what a scroll area or an item
// view places inside itself is its own business. The same for the next check.
QStringList controlsOutside(QWidget& window);

// Captions of labels, check boxes, radio buttons and buttons that their control cuts (word
// wrapping labels excepted).
QStringList cutCaptions(QWidget& window);

// Cells of the given columns (every row) whose text the view elides at its column widths:
// the text's fractional advance in the cell's font, rounded up, plus the style's margins
// against the cell's width.
QStringList elidedCells(const QAbstractItemView& view, const QList<int>& columns);

// The window's frame lies on its screen's available area.
QStringList offScreen(const QWidget& window);

// A form of a table of forms checked as they open.
using FormMaker = std::function<std::unique_ptr<QDialog>()>;
template <class Form> FormMaker maker() {
    return [] { return std::unique_ptr<QDialog>(new Form); };
}

// The form shown as it opens, before its activation runs: a title, every control inside it, no
// caption cut.
QStringList openingFaults(QDialog& form);

} // namespace corvelix::test

Q_DECLARE_METATYPE(corvelix::test::FormMaker)

// Fails the running test with every fault listed, one a line.
#define CORVELIX_VERIFY_NO_FAULTS(faults)                                                          \
    do {                                                                                           \
        const QStringList found_ = (faults);                                                       \
        QVERIFY2(found_.isEmpty(), qPrintable(found_.join(QLatin1Char('\n'))));                    \
    } while (false)
