#pragma once

#include <QMargins>

class QWidget;

namespace corvelix {

// Keeps a top-level window, title bar included, on the available area of its screen: a
// resizable window larger than that area is made smaller, and the window's frame is moved
// into it. Meant for a window about to be shown (its showEvent). Before the window manager
// framed the window its frame is taken to be that of another framed window of the program,
// or else a usual title bar above it; once framed, the frame the window system reports
// (the window manager's frame window) is checked, and the window moved once when it is off.
void placeOnScreen(QWidget& window);

// The frame placeOnScreen allows for around `window`.
[[nodiscard]] QMargins expectedFrame(const QWidget& window);

} // namespace corvelix
