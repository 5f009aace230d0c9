#pragma once

class QWidget;

namespace corvelix {

// Keeps a top-level window, title bar included, on the available area of its screen: a
// resizable window larger than that area is made smaller, and the window is moved into it.
// Meant for a window about to be shown (its showEvent): before the window manager framed it,
// a title bar's height is assumed above it.
void placeOnScreen(QWidget& window);

} // namespace corvelix
