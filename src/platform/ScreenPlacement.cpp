#include "platform/ScreenPlacement.h"

#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace corvelix {

void placeOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr || !window.isWindow())
        return;
    const QRect available = screen->availableGeometry();
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (frame.isNull() && !(window.windowFlags() & Qt::FramelessWindowHint)) {
        const int titulo = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight),
                                    window.fontMetrics().height() + 12);
        frame = QMargins(0, titulo, 0, 0);
    }
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    QSize size = inner.size().boundedTo(room).expandedTo(window.minimumSize());
    if (size != inner.size())
        window.resize(size);
    size = window.size();
    const int ancho = size.width() + frame.left() + frame.right();
    const int alto = size.height() + frame.top() + frame.bottom();
    // move() places the frame's corner.
    const int x = std::max(available.left(), std::min(outer.left(), available.right() + 1 - ancho));
    const int y = std::max(available.top(), std::min(outer.top(), available.bottom() + 1 - alto));
    if (QPoint(x, y) != outer.topLeft())
        window.move(x, y);
}

} // namespace corvelix
