#pragma once

#include <QByteArray>
#include <QString>

namespace corvelix {

// Windows-1252, the code page of the files the outside system reads and writes.
// A character the code page cannot hold becomes "?", as the old runtime wrote it.
QByteArray toWindows1252(const QString& text);
// Every byte has a character; the five bytes the code page leaves free map to U+0081 etc.
QString fromWindows1252(const QByteArray& bytes);

} // namespace corvelix
