#include "support/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QtMath>

#include <functional>

namespace corvelix::test {

namespace {

QString name(const QWidget& w) {
    const QString n = w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className())
                                               : w.objectName();
    if (const auto* label = qobject_cast<const QLabel*>(&w);
        label != nullptr && !label->text().isEmpty())
        return n + QStringLiteral(" \"") + label->text() + QLatin1Char('"');
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w);
        button != nullptr && !button->text().isEmpty())
        return n + QStringLiteral(" \"") + button->text() + QLatin1Char('"');
    return n;
}

QString path(const QWidget& w, const QWidget& top) {
    QStringList parts;
    for (const QWidget* p = &w; p != nullptr && p != &top; p = p->parentWidget())
        parts.prepend(name(*p));
    return parts.join(QLatin1Char('/'));
}

QString rectText(const QRect& r) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The area a widget offers its children: a page of a stack gets the stack's contents, shown
// or not.
QRect area(const QWidget& w) {
    if (const auto* stack = qobject_cast<const QStackedWidget*>(w.parentWidget()))
        return QRect(QPoint(0, 0), stack->contentsRect().size());
    return w.rect();
}

bool isPage(const QWidget& w) {
    return qobject_cast<const QStackedWidget*>(w.parentWidget()) != nullptr;
}

template <class Fn> void visit(QWidget& parent, Fn&& fn) {
    // An item view or scroll area lays out its own parts and scrolls its contents.
    if (qobject_cast<QAbstractScrollArea*>(&parent) != nullptr)
        return;
    for (QObject* o : parent.children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (child == nullptr || child->isWindow())
            continue;
        if (!child->isVisibleTo(&parent))
            continue;
        fn(parent, *child);
        visit(*child, fn);
    }
}

// Runs `check` once per page of every tab control of the window (each page shown and laid
// out as the user would see it), and once when there is none; faults are kept once each.
QStringList onEveryPage(QWidget& window, const std::function<QStringList()>& check) {
    QStringList faults = check();
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            faults += check();
        }
        tabs->setCurrentIndex(shown);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    faults.removeDuplicates();
    return faults;
}

// The first sibling stacked above the label that hides part of its text.
QString coveringSibling(const QLabel& label, int textWidth) {
    const int width = qMin(textWidth, label.width());
    int x = label.x();
    if (label.alignment() & Qt::AlignRight)
        x = label.geometry().right() + 1 - width;
    else if (label.alignment() & Qt::AlignHCenter)
        x = label.x() + (label.width() - width) / 2;
    const QRect text(x, label.y(), width, label.height());
    const QObjectList& siblings = label.parentWidget()->children();
    for (qsizetype i = siblings.indexOf(&label) + 1; i < siblings.size(); ++i) {
        const auto* other = qobject_cast<const QWidget*>(siblings.at(i));
        if (other != nullptr && !other->isWindow() && other->isVisibleTo(label.parentWidget()) &&
            other->geometry().intersects(text))
            return name(*other);
    }
    return {};
}

QString plainCaption(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

} // namespace

QStringList controlsOutside(QWidget& window) {
    return onEveryPage(window, [&window] {
        QStringList faults;
        visit(window, [&](QWidget& parent, QWidget& child) {
            const QRect bounds = area(parent);
            const QRect own = isPage(child) ? area(child) : child.geometry();
            if (!bounds.contains(own))
                faults << path(child, window) + QLatin1Char(' ') + rectText(own) +
                              QStringLiteral(" outside ") + rectText(bounds);
        });
        return faults;
    });
}

QStringList cutCaptions(QWidget& window) {
    return onEveryPage(window, [&window] {
        QStringList faults;
        visit(window, [&](QWidget&, QWidget& child) {
            int needed = 0;
            if (auto* label = qobject_cast<QLabel*>(&child)) {
                if (label->wordWrap() || label->text().isEmpty() || label->width() == 0)
                    return;
                needed = label->sizeHint().width();
                if (const QString over = coveringSibling(*label, needed); !over.isEmpty())
                    faults << path(child, window) + QStringLiteral(" covered by ") + over;
            } else if (qobject_cast<QCheckBox*>(&child) != nullptr ||
                       qobject_cast<QRadioButton*>(&child) != nullptr) {
                auto& button = static_cast<QAbstractButton&>(child);
                if (button.text().isEmpty())
                    return;
                needed = button.sizeHint().width();
            } else if (auto* button = qobject_cast<QPushButton*>(&child)) {
                if (button->text().isEmpty())
                    return;
                // The bevel's frame on each side of the caption.
                const int margin =
                    2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
                needed =
                    button->fontMetrics().horizontalAdvance(plainCaption(button->text())) + margin;
            } else {
                return;
            }
            if (needed > child.width())
                faults << path(child, window) +
                              QStringLiteral(" needs %1 px, has %2").arg(needed).arg(child.width());
        });
        return faults;
    });
}

QStringList elidedCells(const QAbstractItemView& view, const QList<int>& columns) {
    QStringList faults;
    const QAbstractItemModel* model = view.model();
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const auto* tree = qobject_cast<const QTreeView*>(&view);
    for (const int c : columns) {
        if (tree != nullptr ? tree->isColumnHidden(c) : false)
            continue;
        for (int r = 0; r < model->rowCount(); ++r) {
            const QModelIndex index = model->index(r, c);
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.isEmpty())
                continue;
            QRect cell = view.visualRect(index);
            if (!cell.isValid())
                continue; // a hidden column or row
            const QVariant fontData = index.data(Qt::FontRole);
            const QFont font = fontData.isValid() ? fontData.value<QFont>() : view.font();
            // The delegate elides a text whose fractional advance exceeds the room it has.
            int needed = qCeil(QFontMetricsF(font).horizontalAdvance(text)) + 2 * margin;
            if (index.data(Qt::CheckStateRole).isValid())
                needed += view.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &view) +
                          2 * margin;
            if (needed > cell.width())
                faults << view.objectName() +
                              QStringLiteral(" row %1 col %2 \"%3\" needs %4 px, has %5")
                                  .arg(r)
                                  .arg(c)
                                  .arg(text)
                                  .arg(needed)
                                  .arg(cell.width());
        }
    }
    return faults;
}

QStringList offScreen(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr)
        return {QStringLiteral("no screen")};
    const QRect available = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (available.contains(frame))
        return {};
    return {name(window) + QLatin1Char(' ') + rectText(frame) + QStringLiteral(" outside ") +
            rectText(available)};
}

QStringList openingFaults(QDialog& form) {
    form.show();
    QStringList faults;
    if (form.windowTitle().isEmpty())
        faults << form.objectName() + QStringLiteral(": no window title");
    faults += controlsOutside(form) + cutCaptions(form);
    form.hide();
    return faults;
}

} // namespace corvelix::test
