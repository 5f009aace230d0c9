#pragma once

#include <QString>
#include <QtGlobal>

// The program's version values: written by the main window, read by the update check.
namespace mainModule {

// The program version as the decimal digits of major, minor and revision joined:
// 1.4.29 is 1429. Written by every loading of the main window.
extern qint16 VersionAplicacion;

// Digits of the three version parts joined (not weighted): (2, 10, 3) gives 2103.
constexpr qint64 joinVersionDigits(int major, int minor, int revision) {
    qint64 result = 0;
    for (int part : {major, minor, revision}) {
        qint64 scale = 10;
        while (part >= scale)
            scale *= 10;
        result = result * scale + part;
    }
    return result;
}

// Database version the program expects; the update check compares it with the announced one.
QString getVersionBaseDatos();

} // namespace mainModule
