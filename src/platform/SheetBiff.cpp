// Binary .xls. The workbook stream of an Excel 5 to 2003 workbook (BIFF5, BIFF7, BIFF8) is taken
// out of its compound-document container with libgsf, and its records are read here; the bare
// record stream of an Excel 2 to 4 worksheet (BIFF2 to BIFF4) is read the same way. Every
// length read from the file is checked against the record holding it, so a damaged file is
// refused rather than read past its end.
//
// A formula cell shows the result the file stores beside the formula (a number, a text in the
// STRING record that follows it, a truth value or an error); the formula itself is not read.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include "platform/SheetFormats.h"

#include "runtime/TextCodec.h"

#include <QHash>
#include <QStringDecoder>

#include <cstring>

namespace corvelix {

namespace {

// Record types.
enum : quint16 {
    kBof2 = 0x0009, // BIFF2 BOF; BIFF3 0x0209, BIFF4 0x0409, BIFF5/8 0x0809
    kEof = 0x000A,
    kInteger2 = 0x0002,
    kNumber2 = 0x0003,
    kLabel2 = 0x0004,
    kBoolErr2 = 0x0005,
    kFormula = 0x0006, // BIFF2, BIFF5 and BIFF8; BIFF3 0x0206, BIFF4 0x0406
    kString2 = 0x0007,
    kFormat2 = 0x001E, // BIFF2 and BIFF3
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kFormula3 = 0x0206,
    kString = 0x0207,
    kXf3 = 0x0243,
    kRk = 0x027E,
    kFormula4 = 0x0406,
    kFormat = 0x041E, // BIFF4 to BIFF8
    kXf4 = 0x0443,
};

enum class Biff { V2, V3, V4, V5, V8 };

QString damaged() {
    return QStringLiteral("el libro de Excel está dañado o no es un libro de Excel");
}

quint16 le16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
quint32 le32(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
double leDouble(const uchar* p) {
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double rkValue(quint32 rk) {
    double value = 0;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100.0 : value;
}

QString errorText(quint8 code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#N/A");
    }
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

// A record with the CONTINUE records after it, read as one run of bytes; characters of a
// BIFF8 text that cross into a CONTINUE record start there with a new option byte. One-byte
// characters are the low bytes of Unicode ones (Latin-1), whatever the workbook's code page.
class Continued {
public:
    explicit Continued(const Record& first) { parts_.push_back(first); }
    void add(const Record& r) { parts_.push_back(r); }

    [[nodiscard]] bool atEnd() {
        settle();
        return part_ >= parts_.size();
    }
    bool u8(quint8& v) {
        settle();
        if (part_ >= parts_.size())
            return false;
        v = parts_[part_].data[offset_++];
        return true;
    }
    bool u16(quint16& v) {
        quint8 a = 0;
        quint8 b = 0;
        if (!u8(a) || !u8(b))
            return false;
        v = quint16(a | (b << 8));
        return true;
    }
    bool u32(quint32& v) {
        quint16 a = 0;
        quint16 b = 0;
        if (!u16(a) || !u16(b))
            return false;
        v = a | (quint32(b) << 16);
        return true;
    }
    bool skip(qint64 n) {
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
    // `count` characters, one or two bytes each by `wide`; a CONTINUE record on the way brings
    // its own option byte.
    bool chars(qsizetype count, bool wide, QString& out) {
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

    // A BIFF8 text: character count (16 bits, or 8 in sheet names), options, the rich-text
    // run count and phonetic block size when the options say so, the characters, then the
    // runs and the phonetic block, skipped.
    bool unicodeString(QString& out, bool shortCount = false) {
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

private:
    // Moves past exhausted records.
    void settle() {
        while (part_ < parts_.size() && offset_ >= parts_[part_].size) {
            ++part_;
            offset_ = 0;
        }
    }
    std::vector<Record> parts_;
    std::size_t part_ = 0;
    qsizetype offset_ = 0;
};

void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// A damaged container is refused with a message; the library's warnings about it, logged
// in its own domains and in the default one, go nowhere while it reads.
class QuietLog {
public:
    QuietLog() {
        for (const char* domain : kDomains)
            ids_.push_back(g_log_set_handler(
                domain, GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE |
                                       G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_INFO |
                                       G_LOG_LEVEL_DEBUG),
                quiet, nullptr));
    }
    ~QuietLog() {
        for (std::size_t i = 0; i < ids_.size(); ++i)
            g_log_remove_handler(kDomains[i], ids_[i]);
    }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    static constexpr const char* kDomains[] = {"libgsf:msole", "libgsf", nullptr};
    std::vector<guint> ids_;
};

// The workbook stream of a compound document. Its bytes stay where the library keeps them
// (in the file's own bytes when the stream's sectors follow one another) while it lives.
class WorkbookStream {
public:
    WorkbookStream(const QByteArray& data, SheetBuilder& builder) {
        const QuietLog quietLog;
        GError* error = nullptr;
        GsfInput* input = gsf_input_memory_new(
            reinterpret_cast<const guint8*>(data.constData()), gsf_off_t(data.size()), FALSE);
        if (!input)
            builder.fail(damaged());
        GsfInfile* container = gsf_infile_msole_new(input, &error);
        g_object_unref(input);
        if (error)
            g_error_free(error);
        if (!container)
            builder.fail(damaged());
        // "Workbook" from Excel 97 on, "Book" before; some writers change the letters' case.
        for (const char* wanted : {"workbook", "book"}) {
            const int n = gsf_infile_num_children(container);
            for (int i = 0; i < n && !stream_; ++i) {
                const char* name = gsf_infile_name_by_index(container, i);
                if (name && g_ascii_strcasecmp(name, wanted) == 0)
                    stream_ = gsf_infile_child_by_index(container, i);
            }
            if (stream_)
                break;
        }
        bool ok = false;
        if (stream_) {
            const gsf_off_t size = gsf_input_size(stream_);
            // A stream larger than its container is a chain of sectors that loops.
            if (size > 0 && size <= gsf_off_t(data.size())) {
                data_ = gsf_input_read(stream_, size_t(size), nullptr);
                size_ = qsizetype(size);
                ok = data_ != nullptr;
            }
        }
        bool encrypted = false;
        if (!stream_) {
            if (GsfInput* package = gsf_infile_child_by_name(container, "EncryptedPackage")) {
                encrypted = true;
                g_object_unref(package);
            }
        }
        g_object_unref(container);
        if (encrypted)
            builder.fail(QStringLiteral("está protegido con contraseña"));
        if (!ok) {
            release();
            builder.fail(damaged());
        }
    }
    ~WorkbookStream() { release(); }
    WorkbookStream(const WorkbookStream&) = delete;
    WorkbookStream& operator=(const WorkbookStream&) = delete;

    [[nodiscard]] const uchar* data() const { return data_; }
    [[nodiscard]] qsizetype size() const { return size_; }

private:
    void release() {
        if (stream_)
            g_object_unref(stream_);
        stream_ = nullptr;
    }
    GsfInput* stream_ = nullptr;
    const guint8* data_ = nullptr;
    qsizetype size_ = 0;
};

class BiffReader {
public:
    BiffReader(const uchar* data, qsizetype size, SheetBuilder& builder)
        : data_(data), size_(size), b_(builder) {}

    void read() {
        RecordStream records(data_, size_, 0);
        Record bof;
        if (!records.next(bof) || bof.size < 4)
            b_.fail(damaged());
        const quint16 kind = le16(bof.data + 2);
        switch (bof.type) {
        case 0x0809: {
            const quint16 version = le16(bof.data);
            version_ = version == 0x0500 ? Biff::V5 : Biff::V8;
            if (kind == 0x0005)
                readWorkbook();
            else if (kind == 0x0010)
                readSheet(0); // a lone worksheet stream
            else
                b_.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
            return;
        }
        case 0x0409:
        case 0x0209:
        case kBof2:
            version_ = bof.type == 0x0409 ? Biff::V4 : bof.type == 0x0209 ? Biff::V3 : Biff::V2;
            if (kind != 0x0010)
                b_.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
            readSheet(0);
            return;
        default:
            b_.fail(damaged());
        }
    }

private:
    struct SheetEntry {
        quint32 offset;
        bool visible;
    };

    // The workbook's records before its sheets: texts, formats, sheet list; then the first
    // visible worksheet (the first worksheet when all are hidden).
    void readWorkbook() {
        RecordStream records(data_, size_, 0);
        Record r;
        records.next(r); // BOF
        std::vector<SheetEntry> sheets;
        while (records.next(r) && r.type != kEof) {
            if (r.type == kBoundSheet) {
                if (r.size < 6)
                    b_.fail(damaged());
                // Worksheets only: not macro sheets, charts or code modules.
                if (r.data[5] == 0x00)
                    sheets.push_back({le32(r.data), (r.data[4] & 0x03) == 0});
            } else if (r.type == kSst) {
                Continued sst(r);
                Record more;
                while (records.peek(more) && more.type == kContinue) {
                    records.next(more);
                    sst.add(more);
                }
                readSst(sst);
            } else {
                readShared(r);
            }
        }
        if (sheets.empty())
            b_.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
        const SheetEntry* chosen = &sheets.front();
        for (const SheetEntry& s : sheets)
            if (s.visible) {
                chosen = &s;
                break;
            }
        readSheet(chosen->offset);
    }

    void readSst(Continued& sst) {
        quint32 total = 0;
        quint32 unique = 0;
        if (!sst.u32(total) || !sst.u32(unique))
            b_.fail(damaged());
        // Each text takes at least three bytes, which bounds what the count may claim.
        strings_.reserve(std::min<qsizetype>(unique, size_ / 3));
        for (quint32 i = 0; i < unique && !sst.atEnd(); ++i) {
            QString s;
            if (!sst.unicodeString(s))
                b_.fail(damaged());
            strings_.push_back(std::move(s));
        }
    }

    // Records of the workbook part that a worksheet stream of BIFF2 to BIFF4 holds too.
    void readShared(const Record& r) {
        switch (r.type) {
        case kFilePass:
            b_.fail(QStringLiteral("está protegido con contraseña"));
        case kDateMode:
            if (r.size >= 2)
                date1904_ = le16(r.data) != 0;
            break;
        case kCodePage:
            if (r.size >= 2)
                setCodePage(le16(r.data));
            break;
        case kFormat2:
        case kFormat: {
            // BIFF2 to BIFF4 number formats by their order, later ones by their number.
            QString code;
            int id = int(formatsInOrder_.size());
            if (version_ == Biff::V8) {
                if (r.size < 2)
                    break;
                id = le16(r.data);
                Continued c(Record{r.type, r.data + 2, r.size - 2});
                if (!c.unicodeString(code))
                    break;
            } else {
                const qsizetype at = r.type == kFormat ? 2 : 0;
                if (r.size < at + 1 || r.size < at + 1 + r.data[at])
                    break;
                if (version_ == Biff::V5)
                    id = le16(r.data);
                code = bytesText(r.data + at + 1, r.data[at]);
            }
            formatsInOrder_.push_back(id);
            customFormats_.insert(id, isDateFormatCode(code));
            break;
        }
        case kXf:
        case kXf3:
        case kXf4: {
            int format = 0;
            if (r.type == kXf && r.size >= 4)
                format = le16(r.data + 2);
            else if (r.type != kXf && r.size >= 2)
                format = r.data[1];
            else
                break;
            dateXfs_.push_back(isDateFormat(format));
            break;
        }
        default:
            break;
        }
    }

    // The code page of the byte strings of BIFF2 to BIFF5; BIFF8 texts are Unicode.
    void setCodePage(quint16 codePage) {
        codePage_ = codePage;
        decoderTried_ = false;
    }

    [[nodiscard]] bool isDateFormat(int id) const {
        if (const auto it = customFormats_.constFind(id); it != customFormats_.constEnd())
            return *it;
        // Built-in formats exist from BIFF5 on; before, every format is in the file.
        return (version_ == Biff::V5 || version_ == Biff::V8) && isDateFormatId(id);
    }

    // Text in the workbook's code page (BIFF8 texts are Unicode and do not use it).
    QString bytesText(const uchar* p, qsizetype n) {
        const QByteArray bytes(reinterpret_cast<const char*>(p), n);
        switch (codePage_) {
        case 1252:
        case 0x8001: // Windows-1252 as BIFF2 and BIFF3 name it
        case 367:    // ASCII
        case 0:
            return fromWindows1252(bytes);
        case 1200:
            return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                      n / 2);
        case 65001:
            return QString::fromUtf8(bytes);
        default:
            break;
        }
        if (!decoderTried_) {
            decoderTried_ = true;
            const QByteArray name = codePage_ == 10000 ? QByteArray("macintosh")
                                    : codePage_ < 1000
                                        ? "IBM" + QByteArray::number(codePage_)
                                        : "windows-" + QByteArray::number(codePage_);
            decoder_ = QStringDecoder(name.constData(), QStringDecoder::Flag::Stateless);
        }
        if (decoder_.isValid())
            return decoder_.decode(bytes);
        return fromWindows1252(bytes);
    }

    // A BIFF2 to BIFF5 text: its length (8 or 16 bits) and bytes.
    bool byteString(const Record& r, qsizetype at, bool shortLength, QString& out) {
        const qsizetype head = shortLength ? 1 : 2;
        if (r.size < at + head)
            return false;
        const qsizetype n = shortLength ? r.data[at] : le16(r.data + at);
        if (r.size - at - head < n)
            return false;
        out = bytesText(r.data + at + head, n);
        return true;
    }

    [[nodiscard]] bool isDateXf(quint32 xf) const { return xf < dateXfs_.size() && dateXfs_[xf]; }

    void setValue(int row, int column, quint32 xf, double value) {
        if (isDateXf(xf))
            b_.setDateSerial(row, column, value, date1904_);
        else
            b_.setNumber(row, column, value);
    }

    // A BIFF2 cell's number format: the second attribute byte.
    void setValue2(int row, int column, const uchar* attributes, double value) {
        const quint8 format = attributes[1] & 0x3F;
        if (format < formatsInOrder_.size() && isDateFormat(formatsInOrder_[format]))
            b_.setDateSerial(row, column, value, date1904_);
        else
            b_.setNumber(row, column, value);
    }

    // A formula's stored result: a number, or a marker for a text (in the STRING record that
    // follows), a truth value, an error or an empty text.
    void formulaResult(int row, int column, const uchar* result, const std::function<void(double)>& number) {
        pendingRow_ = 0;
        if (result[6] != 0xFF || result[7] != 0xFF) {
            number(leDouble(result));
            return;
        }
        switch (result[0]) {
        case 0:
            pendingRow_ = row;
            pendingColumn_ = column;
            break;
        case 1:
            b_.setBoolean(row, column, result[2] != 0);
            break;
        case 2:
            b_.setText(row, column, errorText(result[2]));
            break;
        default:
            break;
        }
    }

    void readSheet(quint32 offset) {
        if (offset >= quint64(size_))
            b_.fail(damaged());
        RecordStream records(data_, size_, qsizetype(offset));
        Record r;
        if (!records.next(r) || (r.type & 0xF0FF) != kBof2)
            b_.fail(damaged());
        int depth = 1; // charts inside the sheet come as streams of their own
        const bool v2 = version_ == Biff::V2;
        while (depth > 0) {
            if (!records.next(r))
                break; // a stream cut short keeps what it holds
            if ((r.type & 0xF0FF) == kBof2) {
                ++depth;
                continue;
            }
            if (r.type == kEof) {
                --depth;
                continue;
            }
            if (depth != 1)
                continue;
            readCell(r, records, v2);
        }
    }

    void readCell(const Record& r, RecordStream& records, bool v2) {
        const auto row = [&] { return int(le16(r.data)) + 1; };
        const auto col = [&] { return int(le16(r.data + 2)) + 1; };
        const auto xf = [&] { return quint32(le16(r.data + 4)); };
        switch (r.type) {
        case kLabelSst: {
            if (r.size < 10)
                b_.fail(damaged());
            const quint32 index = le32(r.data + 6);
            if (index >= strings_.size())
                b_.fail(QStringLiteral("una celda remite a un texto que el libro no tiene"));
            b_.setText(row(), col(), strings_[index]);
            break;
        }
        case kNumber:
            if (r.size < 14)
                b_.fail(damaged());
            setValue(row(), col(), xf(), leDouble(r.data + 6));
            break;
        case kRk:
            if (r.size < 10)
                b_.fail(damaged());
            setValue(row(), col(), xf(), rkValue(le32(r.data + 6)));
            break;
        case kMulRk: {
            if (r.size < 6 || (r.size - 6) % 6 != 0)
                b_.fail(damaged());
            const int first = col();
            const qsizetype n = (r.size - 6) / 6;
            for (qsizetype i = 0; i < n; ++i) {
                const uchar* p = r.data + 4 + 6 * i;
                setValue(row(), first + int(i), le16(p), rkValue(le32(p + 2)));
            }
            break;
        }
        case kLabel:
        case kRString: {
            if (r.size < 6)
                b_.fail(damaged());
            QString text;
            bool ok = false;
            if (version_ == Biff::V8) {
                Continued c(Record{r.type, r.data + 6, r.size - 6});
                ok = c.unicodeString(text);
            } else {
                ok = byteString(r, 6, false, text);
            }
            if (!ok)
                b_.fail(damaged());
            b_.setText(row(), col(), text);
            break;
        }
        case kBoolErr:
            if (r.size < 8)
                b_.fail(damaged());
            if (r.data[7])
                b_.setText(row(), col(), errorText(r.data[6]));
            else
                b_.setBoolean(row(), col(), r.data[6] != 0);
            break;
        case kFormula:
            if (v2) {
                if (r.size < 15)
                    b_.fail(damaged());
                formulaResult(row(), col(), r.data + 7,
                              [&](double v) { setValue2(row(), col(), r.data + 4, v); });
                break;
            }
            [[fallthrough]];
        case kFormula3:
        case kFormula4:
            if (r.size < 14)
                b_.fail(damaged());
            formulaResult(row(), col(), r.data + 6,
                          [&](double v) { setValue(row(), col(), xf(), v); });
            break;
        case kString:
        case kString2: {
            if (!pendingRow_)
                break;
            QString text;
            bool ok = false;
            if (version_ == Biff::V8) {
                Continued c(r);
                Record more;
                while (records.peek(more) && more.type == kContinue) {
                    records.next(more);
                    c.add(more);
                }
                ok = c.unicodeString(text);
            } else {
                ok = byteString(r, 0, r.type == kString2, text);
            }
            if (!ok)
                b_.fail(damaged());
            b_.setText(pendingRow_, pendingColumn_, text);
            pendingRow_ = 0;
            break;
        }
        case kInteger2:
            if (!v2)
                break;
            if (r.size < 9)
                b_.fail(damaged());
            setValue2(row(), col(), r.data + 4, le16(r.data + 7));
            break;
        case kNumber2:
            if (!v2)
                break;
            if (r.size < 15)
                b_.fail(damaged());
            setValue2(row(), col(), r.data + 4, leDouble(r.data + 7));
            break;
        case kLabel2: {
            if (!v2)
                break;
            QString text;
            if (!byteString(r, 7, true, text))
                b_.fail(damaged());
            b_.setText(row(), col(), text);
            break;
        }
        case kBoolErr2:
            if (!v2)
                break;
            if (r.size < 9)
                b_.fail(damaged());
            if (r.data[8])
                b_.setText(row(), col(), errorText(r.data[7]));
            else
                b_.setBoolean(row(), col(), r.data[7] != 0);
            break;
        default:
            readShared(r);
            break;
        }
    }

    const uchar* data_;
    qsizetype size_;
    SheetBuilder& b_;
    Biff version_ = Biff::V8;
    std::vector<QString> strings_;
    std::vector<bool> dateXfs_;
    std::vector<int> formatsInOrder_;
    QHash<int, bool> customFormats_;
    bool date1904_ = false;
    quint16 codePage_ = 1252;
    bool decoderTried_ = false;
    QStringDecoder decoder_;
    int pendingRow_ = 0;
    int pendingColumn_ = 0;
};

} // namespace

void readBiff(const QByteArray& data, const QString& /*path*/, SheetBuilder& builder) {
    if (data.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))) {
        const WorkbookStream stream(data, builder);
        BiffReader(stream.data(), stream.size(), builder).read();
    } else {
        BiffReader(reinterpret_cast<const uchar*>(data.constData()), data.size(), builder).read();
    }
}

} // namespace corvelix
