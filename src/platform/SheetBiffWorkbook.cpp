// .xls: the start of a BIFF stream and the workbook's globals before its sheets (sheet list,
// shared texts, number formats and cell formats, code page).
#include "platform/SheetBiffReader.h"

#include "platform/SheetBiffContainer.h"

#include "runtime/TextCodec.h"

namespace corvelix {

void BiffReader::read() {
    RecordStream records(data_, size_, 0);
    Record bof;
    if (!records.next(bof) || bof.size < 4)
        b_.fail(reasonDamagedWorkbook());
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
        b_.fail(reasonDamagedWorkbook());
    }
}

void BiffReader::readWorkbook() {
    RecordStream records(data_, size_, 0);
    Record r;
    records.next(r); // BOF
    std::vector<SheetEntry> sheets;
    while (records.next(r) && r.type != kEof) {
        if (r.type == kBoundSheet) {
            if (r.size < 6)
                b_.fail(reasonDamagedWorkbook());
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

void BiffReader::readSst(Continued& sst) {
    quint32 total = 0;
    quint32 unique = 0;
    if (!sst.u32(total) || !sst.u32(unique))
        b_.fail(reasonDamagedWorkbook());
    // Each text takes at least three bytes, which bounds what the count may claim.
    strings_.reserve(std::min<qsizetype>(unique, size_ / 3));
    for (quint32 i = 0; i < unique && !sst.atEnd(); ++i) {
        QString s;
        if (!sst.unicodeString(s))
            b_.fail(reasonDamagedWorkbook());
        strings_.push_back(std::move(s));
    }
}

void BiffReader::readShared(const Record& r) {
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

void BiffReader::setCodePage(quint16 codePage) {
    codePage_ = codePage;
    decoderTried_ = false;
}

bool BiffReader::isDateFormat(int id) const {
    if (const auto it = customFormats_.constFind(id); it != customFormats_.constEnd())
        return *it;
    // Built-in formats exist from BIFF5 on; before, every format is in the file.
    return (version_ == Biff::V5 || version_ == Biff::V8) && isDateFormatId(id);
}

QString BiffReader::bytesText(const uchar* p, qsizetype n) {
    const QByteArray bytes(reinterpret_cast<const char*>(p), n);
    switch (codePage_) {
    case 1252:
    case 0x8001: // Windows-1252 as BIFF2 and BIFF3 name it
    case 367:    // ASCII
    case 0:
        return fromWindows1252(bytes);
    case 1200:
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), n / 2);
    case 65001:
        return QString::fromUtf8(bytes);
    default:
        break;
    }
    if (!decoderTried_) {
        decoderTried_ = true;
        const QByteArray name = codePage_ == 10000 ? QByteArray("macintosh")
                                : codePage_ < 1000 ? "IBM" + QByteArray::number(codePage_)
                                                   : "windows-" + QByteArray::number(codePage_);
        decoder_ = QStringDecoder(name.constData(), QStringDecoder::Flag::Stateless);
    }
    if (decoder_.isValid())
        return decoder_.decode(bytes);
    return fromWindows1252(bytes);
}

bool BiffReader::byteString(const Record& r, qsizetype at, bool shortLength, QString& out) {
    const qsizetype head = shortLength ? 1 : 2;
    if (r.size < at + head)
        return false;
    const qsizetype n = shortLength ? r.data[at] : le16(r.data + at);
    if (r.size - at - head < n)
        return false;
    out = bytesText(r.data + at + head, n);
    return true;
}

} // namespace corvelix
