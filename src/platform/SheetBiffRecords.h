#pragma once

// Inside the .xls reader: the record stream of a BIFF workbook or worksheet, and the
// little-endian values its records hold.
#include <QtGlobal>

#include <cstring>

namespace corvelix {

inline quint16 le16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 le32(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
inline double leDouble(const uchar* p) {
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct Record {
    quint16 type = 0;
    const uchar* data = nullptr;
    qsizetype size = 0;
};

// The records of a stream from an offset on.
class RecordStream {
public:
    RecordStream(const uchar* data, qsizetype size, qsizetype at)
        : data_(data), size_(size), pos_(at) {}

    // The next record; false at the end of the stream or on a record that runs past it.
    bool next(Record& r) {
        if (pos_ < 0 || size_ - pos_ < 4)
            return false;
        const quint16 length = le16(data_ + pos_ + 2);
        if (size_ - pos_ - 4 < length)
            return false;
        r.type = le16(data_ + pos_);
        r.data = data_ + pos_ + 4;
        r.size = length;
        pos_ += 4 + length;
        return true;
    }
    // The record after the current one, left unread.
    [[nodiscard]] bool peek(Record& r) const {
        RecordStream copy = *this;
        return copy.next(r);
    }

private:
    const uchar* data_;
    qsizetype size_;
    qsizetype pos_;
};

} // namespace corvelix
