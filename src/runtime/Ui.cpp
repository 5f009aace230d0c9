#include "runtime/Ui.h"

#include <QApplication>
#include <QWidget>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace corvelix {

namespace {
Ui* current = nullptr;
}

Ui& ui() {
    if (current == nullptr) {
        std::fputs("corvelix: no UI seam installed\n", stderr);
        std::abort();
    }
    return *current;
}

void Ui::repaintWindows() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    // Painted at once, not through the event queue: a window uncovered meanwhile shows again.
    // Every control is marked, or a window painted again leaves out the lists' insides.
    const QList<QWidget*> widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets)
        if (widget->isVisible())
            widget->update();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->repaint();
    // What was asked of the window system meanwhile (a box closed, the pictures just painted,
    // the busy pointer) waits in the connection until the event loop runs again: sent and
    // done now, or the screen keeps showing the closed box.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        if (Display* display = x11->display())
            XSync(display, False);
}

Ui* setUi(Ui* seam) {
    Ui* previous = current;
    current = seam;
    return previous;
}

} // namespace corvelix
