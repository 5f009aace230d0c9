#include "platform/TextFileReader.h"

#include "platform/ErrorReasons.h"

#include "runtime/TextCodec.h"
#include "runtime/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace corvelix {

namespace {

// The old runtime's numbers for a missing file and a path or file access failure.
constexpr qint32 kErrFileNotFound = 53;
constexpr qint32 kErrFileAccess = 75;
constexpr qint32 kErrTooLarge = 7;

[[noreturn]] void fail(qint32 number, const QString& path, const QString& reason) {
    throw VbError(number, QStringLiteral("Corvelix"),
                  QStringLiteral("No se puede leer el archivo %1: %2")
                      .arg(QDir::toNativeSeparators(path), reason));
}

// The encoding named by an XML declaration at the start of the text, lower case; "" if none.
QByteArray declaredEncoding(const QByteArray& bytes) {
    const QByteArray head = bytes.left(200);
    if (!head.trimmed().startsWith("<?xml"))
        return {};
    const qsizetype end = head.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression encoding(
        QStringLiteral(R"(encoding\s*=\s*["']([A-Za-z0-9._\-]+)["'])"));
    const QRegularExpressionMatch m = encoding.match(QString::fromLatin1(head.left(end)));
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

bool hasNonAscii(const QByteArray& bytes) {
    return std::any_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

QString decodeWith(QStringDecoder::Encoding encoding, const QByteArray& bytes) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

} // namespace

QString decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringDecoder::Utf8, bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith(QStringDecoder::Utf16LE, bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith(QStringDecoder::Utf16BE, bytes.mid(2));

    const QByteArray named = declaredEncoding(bytes);
    if (named.isEmpty()) {
        // Nothing says which: valid UTF-8 that holds characters beyond ASCII is UTF-8 (a
        // Windows-1252 text with accents is almost never valid UTF-8); anything else is the
        // code page.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError() && hasNonAscii(bytes))
            return text;
    } else if (named == "utf-8" || named == "utf8") {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        // Files that say UTF-8 but were saved in the Windows code page are common.
        if (!utf8.hasError())
            return text;
    } else if (!named.isEmpty() && named != "windows-1252" && named != "cp1252" &&
               named != "iso-8859-1" && named != "latin1" && named != "us-ascii") {
        QStringDecoder other(named.constData(), QStringDecoder::Flag::Stateless);
        if (other.isValid()) {
            QString text = other.decode(bytes);
            if (!other.hasError())
                return text;
        }
    }
    // Latin-1 and ASCII files read the same through Windows-1252 for every printable byte.
    return fromWindows1252(bytes);
}

QString readTextFile(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        fail(kErrFileNotFound, path, QStringLiteral("no existe"));
    if (info.isDir())
        fail(kErrFileAccess, path, QStringLiteral("la ruta es una carpeta"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(kErrFileAccess, path,
             info.isReadable() ? fileErrorReason(file.error())
                               : QStringLiteral("no tiene permiso para leerlo"));
    if (file.size() > maxBytes)
        fail(kErrTooLarge, path,
             QStringLiteral("es demasiado grande (%1 MB; el máximo es %2 MB)")
                 .arg(file.size() / (1024 * 1024))
                 .arg(maxBytes / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(kErrFileAccess, path, fileErrorReason(file.error()));
    return decodeText(bytes);
}

} // namespace corvelix
