#include "runtime/TextCodec.h"

#include <array>

namespace corvelix {

namespace {

// Characters of bytes 0x80..0x9F; the free bytes keep their C1 control character, as
// Windows does. Every other byte is the Latin-1 character of the same code.
constexpr std::array<char16_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighBlock.size(); ++i)
        if (kHighBlock[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

// The table is ours rather than QStringEncoder's: ICU writes 0x1A for a character it cannot
// encode, and the files must carry "?" there.
QByteArray toWindows1252(const QString& text) {
    // At most one byte per character, written in place: whole files go through here.
    QByteArray out(text.size(), Qt::Uninitialized);
    char* to = out.data();
    const auto* from = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        // Runs of ASCII, the bulk of every file, go across without the checks below.
        qsizetype ascii = i;
        while (ascii < size && from[ascii] < 0x80)
            ++ascii;
        for (; i < ascii; ++i)
            *to++ = static_cast<char>(from[i]);
        if (i == size)
            break;
        const char16_t c = from[i];
        // A character outside the BMP is one character of the text: one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(from[i + 1]))
            ++i;
        *to++ = encodeChar(c);
    }
    out.truncate(to - out.data());
    return out;
}

QString fromWindows1252(const QByteArray& bytes) {
    // Written in place: a call per character costs more than the mapping itself.
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* to = out.data();
    for (const char b : bytes) {
        const auto code = static_cast<unsigned char>(b);
        *to++ = code >= 0x80 && code < 0xA0 ? QChar(kHighBlock[code - 0x80]) : QChar(code);
    }
    return out;
}

} // namespace corvelix
