#include "runtime/Ui.h"

#include <QApplication>
#include <QWidget>

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
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->repaint();
}

Ui* setUi(Ui* seam) {
    Ui* previous = current;
    current = seam;
    return previous;
}

} // namespace corvelix
