#pragma once

// Inside the .xls reader: a record joined with the CONTINUE records after it.
#include "platform/SheetBiffRecords.h"

#include <QString>

#include <vector>

namespace corvelix {

// A record with the CONTINUE records after it, read as one run of bytes; characters of a
// BIFF8 text that cross into a CONTINUE record start there with a new option byte. One-byte
// characters are the low bytes of Unicode ones (Latin-1), whatever the workbook's code page.
class Continued {
public:
    explicit Continued(const Record& first) { parts_.push_back(first); }
    void add(const Record& r) { parts_.push_back(r); }

    [[nodiscard]] bool atEnd();
    bool u8(quint8& v);
    bool u16(quint16& v);
    bool u32(quint32& v);
    bool skip(qint64 n);
    // `count` characters, one or two bytes each by `wide`; a CONTINUE record on the way brings
    // its own option byte.
    bool chars(qsizetype count, bool wide, QString& out);
    // A BIFF8 text: character count (16 bits, or 8 in sheet names), options, the rich-text
    // run count and phonetic block size when the options say so, the characters, then the
    // runs and the phonetic block, skipped.
    bool unicodeString(QString& out, bool shortCount = false);

private:
    // Moves past exhausted records.
    void settle();
    std::vector<Record> parts_;
    std::size_t part_ = 0;
    qsizetype offset_ = 0;
};

} // namespace corvelix
