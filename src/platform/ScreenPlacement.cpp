#include "platform/ScreenPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace corvelix {

namespace {

Display* x11Display() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->display() : nullptr;
}

// What a non-reparenting window manager says its frame takes around the client.
std::optional<QMargins> publishedExtents(Display* display, Window client) {
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", True);
    if (extents == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<QMargins> result;
    if (XGetWindowProperty(display, client, extents, 0, 4, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 4) {
        const auto* values = reinterpret_cast<const long*>(data);
        result = QMargins(static_cast<int>(values[0]), static_cast<int>(values[2]),
                          static_cast<int>(values[1]), static_cast<int>(values[3]));
    }
    if (data != nullptr)
        XFree(data);
    return result;
}

// The frame around a mapped window as the window system has it, in device pixels: the window
// a reparenting window manager put it in, border included (twm publishes no extents, and Qt's
// own idea of the frame can miss its title bar). Nothing before the window is framed.
std::optional<QMargins> reportedFrame(const QWidget& window) {
    if (!window.isVisible() || !window.testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    Display* display = x11Display();
    if (display == nullptr)
        return std::nullopt;
    const Window client = window.winId();
    Window top = client;
    Window root = None;
    for (;;) {
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, top, &root, &parent, &children, &count) == 0)
            return std::nullopt;
        if (children != nullptr)
            XFree(children);
        if (parent == root || parent == None)
            break;
        top = parent;
    }
    if (top == client)
        return publishedExtents(display, client);
    XWindowAttributes frame{};
    XWindowAttributes inner{};
    int x = 0;
    int y = 0;
    Window child = None;
    if (XGetWindowAttributes(display, top, &frame) == 0 ||
        XGetWindowAttributes(display, client, &inner) == 0 ||
        XTranslateCoordinates(display, client, root, 0, 0, &x, &y, &child) == 0)
        return std::nullopt;
    const int border = 2 * frame.border_width;
    return QMargins(x - frame.x, y - frame.y, frame.x + frame.width + border - (x + inner.width),
                    frame.y + frame.height + border - (y + inner.height));
}

// The same in the window's own pixels.
std::optional<QMargins> frameOf(const QWidget& window) {
    const std::optional<QMargins> device = reportedFrame(window);
    if (!device)
        return std::nullopt;
    const qreal ratio = window.devicePixelRatioF();
    const auto scaled = [ratio](int value) { return static_cast<int>(std::ceil(value / ratio)); };
    return QMargins(scaled(device->left()), scaled(device->top()), scaled(device->right()),
                    scaled(device->bottom()));
}

// Makes the window no larger than the available area leaves it beside `frame`, and puts its
// frame into that area.
void keepInside(QWidget& window, const QMargins& frame) {
    const QRect available = window.screen()->availableGeometry();
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize size = window.size().boundedTo(room).expandedTo(window.minimumSize());
    const QRect outer = window.geometry().marginsAdded(frame);
    const int width = size.width() + frame.left() + frame.right();
    const int height = size.height() + frame.top() + frame.bottom();
    const int x = std::max(available.left(), std::min(outer.left(), available.right() + 1 - width));
    const int y = std::max(available.top(), std::min(outer.top(), available.bottom() + 1 - height));
    // The window's inside is placed, not its frame: a window manager may take a position for
    // the frame as one for the inside and put the title bar above it (twm does on the first
    // mapping), but every one keeps the inside where it is asked to be.
    const QRect inside(QPoint(x + frame.left(), y + frame.top()), size);
    if (inside != window.geometry())
        window.setGeometry(inside);
}

// Watches a window just shown until the window manager framed and placed it: its frame may be
// larger than allowed for, or the window put elsewhere. A frame off the screen is then moved
// onto it, once. The watch ends with that, when the window hides, or after a few seconds, so
// that it never fights the user's own moves.
class FrameWatch : public QObject {
public:
    explicit FrameWatch(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
        // Being framed need not move or resize the window's inside: looked at meanwhile too.
        auto* look = new QTimer(this);
        connect(look, &QTimer::timeout, this, &FrameWatch::check);
        look->start(50);
        QTimer::singleShot(5000, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_ || done_)
            return false;
        if (event->type() == QEvent::Hide) {
            done_ = true;
            deleteLater();
        } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            check();
        }
        return false;
    }

private:
    void check() {
        if (done_ || !window_.isVisible())
            return;
        const std::optional<QMargins> frame = frameOf(window_);
        if (!frame ||
            window_.screen()->availableGeometry().contains(window_.geometry().marginsAdded(*frame)))
            return;
        done_ = true;
        keepInside(window_, *frame);
        deleteLater();
    }

    QWidget& window_;
    bool done_ = false;
};

} // namespace

QMargins expectedFrame(const QWidget& window) {
    if (window.windowFlags() & Qt::FramelessWindowHint)
        return {};
    if (const std::optional<QMargins> own = frameOf(window))
        return *own;
    // The window manager frames the program's windows alike: the opener's frame first.
    if (const QWidget* opener = window.parentWidget(); opener != nullptr)
        if (const std::optional<QMargins> frame = frameOf(*opener->window()))
            return *frame;
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && !(other->windowFlags() & Qt::FramelessWindowHint))
            if (const std::optional<QMargins> frame = frameOf(*other))
                return *frame;
    // None reported: a usual title bar above the window all the same.
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
