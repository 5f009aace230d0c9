#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole text file written by another program: the bytes are decoded by their
// byte-order mark, else by the encoding the XML declaration names, else as Windows-1252 (the
// outside system's own code page).
namespace corvelix {

// Larger files are refused rather than read: no text file we read comes near it.
inline constexpr qint64 kMaxTextFileBytes = 32LL * 1024 * 1024;

// The file's text. Failures (missing file, a folder, unreadable, too large) raise a VbError
// whose description names the file and says why, in Spanish.
QString readTextFile(const QString& path, qint64 maxBytes = kMaxTextFileBytes);

// The decoding alone. A declared UTF-8 text that is not valid UTF-8 is read as Windows-1252.
QString decodeText(const QByteArray& bytes);

} // namespace corvelix
