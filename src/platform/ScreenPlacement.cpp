#include "platform/ScreenPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace corvelix {

namespace {

QMargins frameOf(const QWidget& window) {
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

bool framed(const QWidget& window) {
    return window.isVisible() && !(window.windowFlags() & Qt::FramelessWindowHint) &&
           !frameOf(window).isNull();
}

// Makes the window no larger than the available area leaves it beside `frame`, and moves
// its frame into that area.
void keepInside(QWidget& window, const QMargins& frame) {
    const QRect available = window.screen()->availableGeometry();
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize inner = window.size();
    const QSize size = inner.boundedTo(room).expandedTo(window.minimumSize());
    if (size != inner)
        window.resize(size);
    const QRect outer = window.geometry().marginsAdded(frame);
    const int x =
        std::max(available.left(), std::min(outer.left(), available.right() + 1 - outer.width()));
    const int y =
        std::max(available.top(), std::min(outer.top(), available.bottom() + 1 - outer.height()));
    // move() places the frame's corner, and asks the window manager to keep it there, also
    // when the window is where it was: a position given for the window's inside would leave
    // the title bar above it.
    window.move(x, y);
}

// Watches a window just shown until the window manager framed and placed it: a window
// manager may still take the asked position for the window's inside, or frame it wider than
// allowed for. A frame off the screen is then moved onto it, once. The watch ends with that,
// when the window hides, or after a few seconds, so that it never fights the user's own moves.
class FrameWatch : public QObject {
public:
    explicit FrameWatch(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
        QTimer::singleShot(5000, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_ || done_)
            return false;
        if (event->type() == QEvent::Hide) {
            done_ = true;
            deleteLater();
        } else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
                   framed(window_) &&
                   !window_.screen()->availableGeometry().contains(window_.frameGeometry())) {
            done_ = true;
            keepInside(window_, frameOf(window_));
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
    bool done_ = false;
};

} // namespace

QMargins expectedFrame(const QWidget& window) {
    if (window.windowFlags() & Qt::FramelessWindowHint)
        return {};
    if (framed(window))
        return frameOf(window);
    // The window manager frames the program's windows alike: the opener's frame first.
    if (const QWidget* opener = window.parentWidget();
        opener != nullptr && framed(*opener->window()))
        return frameOf(*opener->window());
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && framed(*other))
            return frameOf(*other);
    const int titulo = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight),
                                window.fontMetrics().height() + 12);
    constexpr int kBorde = 4;
    return {kBorde, titulo, kBorde, kBorde};
}

void placeOnScreen(QWidget& window) {
    if (window.screen() == nullptr || !window.isWindow())
        return;
    keepInside(window, expectedFrame(window));
    if (window.findChild<FrameWatch*>(QString(), Qt::FindDirectChildrenOnly) == nullptr)
        new FrameWatch(window);
}

} // namespace corvelix
