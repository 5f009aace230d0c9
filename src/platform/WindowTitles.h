#pragma once

#include <QList>
#include <QString>

namespace corvelix {

struct TopLevelWindow {
    quintptr id = 0; // X window id of the client window
    QString title;
};

// The desktop's top-level windows, topmost first (hidden ones included), with their titles.
// Reads the display named by DISPLAY; with no display to talk to there are no windows.
QList<TopLevelWindow> topLevelWindows();

} // namespace corvelix
