#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole text file written by another program: the bytes are decoded by their
// byte-order mark, else by the encoding the XML declaration names, else as UTF-8 when they are
// valid UTF-8 with characters beyond ASCII, else as Windows-1252 (the outside system's own
// code page).
namespace corvelix {

// Larger files are refused rather than read, so that a wrong file cannot exhaust the memory.
// The largest declaration file (9,999 items of 20 subitems) is about 38 MB; its document tree
// takes several times that.
inline constexpr qint64 kMaxTextFileBytes = 128LL * 1024 * 1024;

// The file's text. Failures (missing file, a folder, unreadable, too large) raise a VbError
// whose description names the file and says why, in Spanish.
QString readTextFile(const QString& path, qint64 maxBytes = kMaxTextFileBytes);

// The decoding alone. A declared UTF-8 text that is not valid UTF-8 is read as Windows-1252.
// A declaration without an encoding counts as no declaration.
QString decodeText(const QByteArray& bytes);

} // namespace corvelix
