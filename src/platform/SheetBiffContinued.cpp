#include "platform/SheetBiffContinued.h"

#include <algorithm>

namespace corvelix {

bool Continued::atEnd() {
    settle();
    return part_ >= parts_.size();
}

bool Continued::u8(quint8& v) {
    settle();
    if (part_ >= parts_.size())
        return false;
    v = parts_[part_].data[offset_++];
    return true;
}

bool Continued::u16(quint16& v) {
    quint8 a = 0;
    quint8 b = 0;
    if (!u8(a) || !u8(b))
        return false;
    v = quint16(a | (b << 8));
    return true;
}

bool Continued::u32(quint32& v) {
    quint16 a = 0;
    quint16 b = 0;
    if (!u16(a) || !u16(b))
        return false;
    v = a | (quint32(b) << 16);
    return true;
}

bool Continued::skip(qint64 n) {
    while (n > 0) {
        settle();
        if (part_ >= parts_.size())
            return false;
        const qint64 step = std::min<qint64>(n, parts_[part_].size - offset_);
        offset_ += step;
        n -= step;
    }
    return true;
}

bool Continued::chars(qsizetype count, bool wide, QString& out) {
    out.resize(count);
    QChar* dst = out.data();
    qsizetype done = 0;
    while (done < count) {
        if (part_ < parts_.size() && offset_ >= parts_[part_].size) {
            ++part_;
            offset_ = 0;
            if (part_ >= parts_.size() || parts_[part_].size < 1)
                return false;
            wide = parts_[part_].data[offset_++] & 0x01;
        }
        if (part_ >= parts_.size())
            return false;
        const Record& r = parts_[part_];
        const qsizetype width = wide ? 2 : 1;
        const qsizetype n = std::min(count - done, (r.size - offset_) / width);
        if (n == 0)
            return false; // half a character before the record ends
        const uchar* src = r.data + offset_;
        if (wide)
            for (qsizetype i = 0; i < n; ++i)
                dst[done + i] = QChar(char16_t(le16(src + 2 * i)));
        else
            for (qsizetype i = 0; i < n; ++i)
                dst[done + i] = QChar(char16_t(src[i]));
        offset_ += n * width;
        done += n;
    }
    return true;
}

bool Continued::unicodeString(QString& out, bool shortCount) {
    quint16 count = 0;
    if (shortCount) {
        quint8 c = 0;
        if (!u8(c))
            return false;
        count = c;
    } else if (!u16(count)) {
        return false;
    }
    quint8 options = 0;
    if (!u8(options))
        return false;
    quint16 runs = 0;
    quint32 phonetic = 0;
    if ((options & 0x08) && !u16(runs))
        return false;
    if ((options & 0x04) && !u32(phonetic))
        return false;
    if (!chars(count, options & 0x01, out))
        return false;
    return skip(qint64(runs) * 4) && skip(phonetic);
}

void Continued::settle() {
    while (part_ < parts_.size() && offset_ >= parts_[part_].size) {
        ++part_;
        offset_ = 0;
    }
}

} // namespace corvelix
