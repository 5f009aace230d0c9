// Binary .xls. The workbook stream of an Excel 5 to 2003 workbook (BIFF5, BIFF7, BIFF8) is taken
// out of its compound-document container with libgsf, and its records are read here; the bare
// record stream of an Excel 2 to 4 worksheet (BIFF2 to BIFF4) is read the same way. Every
// length read from the file is checked against the record holding it, so a damaged file is
// refused rather than read past its end.
//
// A formula cell shows the result the file stores beside the formula (a number, a text in the
// STRING record that follows it, a truth value or an error); the formula itself is not read.
#include "platform/SheetBiffContainer.h"
#include "platform/SheetBiffReader.h"

#include <cstring>

namespace corvelix {

namespace {

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

} // namespace

void BiffReader::setValue(int row, int column, quint32 xf, double value) {
    if (isDateXf(xf))
        b_.setDateSerial(row, column, value, date1904_);
    else
        b_.setNumber(row, column, value);
}

void BiffReader::setValue2(int row, int column, const uchar* attributes, double value) {
    const quint8 format = attributes[1] & 0x3F;
    if (format < formatsInOrder_.size() && isDateFormat(formatsInOrder_[format]))
        b_.setDateSerial(row, column, value, date1904_);
    else
        b_.setNumber(row, column, value);
}

void BiffReader::formulaResult(int row, int column, const uchar* result,
                               const std::function<void(double)>& number) {
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

void BiffReader::readSheet(quint32 offset) {
    if (offset >= quint64(size_))
        b_.fail(reasonDamagedWorkbook());
    RecordStream records(data_, size_, qsizetype(offset));
    Record r;
    if (!records.next(r) || (r.type & 0xF0FF) != kBof2)
        b_.fail(reasonDamagedWorkbook());
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

void BiffReader::readCell(const Record& r, RecordStream& records, bool v2) {
    const auto row = [&] { return int(le16(r.data)) + 1; };
    const auto col = [&] { return int(le16(r.data + 2)) + 1; };
    const auto xf = [&] { return quint32(le16(r.data + 4)); };
    switch (r.type) {
    case kLabelSst: {
        if (r.size < 10)
            b_.fail(reasonDamagedWorkbook());
        const quint32 index = le32(r.data + 6);
        if (index >= strings_.size())
            b_.fail(QStringLiteral("una celda remite a un texto que el libro no tiene"));
        b_.setText(row(), col(), strings_[index]);
        break;
    }
    case kNumber:
        if (r.size < 14)
            b_.fail(reasonDamagedWorkbook());
        setValue(row(), col(), xf(), leDouble(r.data + 6));
        break;
    case kRk:
        if (r.size < 10)
            b_.fail(reasonDamagedWorkbook());
        setValue(row(), col(), xf(), rkValue(le32(r.data + 6)));
        break;
    case kMulRk: {
        if (r.size < 6 || (r.size - 6) % 6 != 0)
            b_.fail(reasonDamagedWorkbook());
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
            b_.fail(reasonDamagedWorkbook());
        QString text;
        bool ok = false;
        if (version_ == Biff::V8) {
            Continued c(Record{r.type, r.data + 6, r.size - 6});
            ok = c.unicodeString(text);
        } else {
            ok = byteString(r, 6, false, text);
        }
        if (!ok)
            b_.fail(reasonDamagedWorkbook());
        b_.setText(row(), col(), text);
        break;
    }
    case kBoolErr:
        if (r.size < 8)
            b_.fail(reasonDamagedWorkbook());
        if (r.data[7])
            b_.setText(row(), col(), errorText(r.data[6]));
        else
            b_.setBoolean(row(), col(), r.data[6] != 0);
        break;
    case kFormula:
        if (v2) {
            if (r.size < 15)
                b_.fail(reasonDamagedWorkbook());
            formulaResult(row(), col(), r.data + 7,
                          [&](double v) { setValue2(row(), col(), r.data + 4, v); });
            break;
        }
        [[fallthrough]];
    case kFormula3:
    case kFormula4:
        if (r.size < 14)
            b_.fail(reasonDamagedWorkbook());
        formulaResult(row(), col(), r.data + 6, [&](double v) { setValue(row(), col(), xf(), v); });
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
            b_.fail(reasonDamagedWorkbook());
        b_.setText(pendingRow_, pendingColumn_, text);
        pendingRow_ = 0;
        break;
    }
    case kInteger2:
        if (!v2)
            break;
        if (r.size < 9)
            b_.fail(reasonDamagedWorkbook());
        setValue2(row(), col(), r.data + 4, le16(r.data + 7));
        break;
    case kNumber2:
        if (!v2)
            break;
        if (r.size < 15)
            b_.fail(reasonDamagedWorkbook());
        setValue2(row(), col(), r.data + 4, leDouble(r.data + 7));
        break;
    case kLabel2: {
        if (!v2)
            break;
        QString text;
        if (!byteString(r, 7, true, text))
            b_.fail(reasonDamagedWorkbook());
        b_.setText(row(), col(), text);
        break;
    }
    case kBoolErr2:
        if (!v2)
            break;
        if (r.size < 9)
            b_.fail(reasonDamagedWorkbook());
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

void readBiff(const QByteArray& data, const QString& /*path*/, SheetBuilder& builder) {
    if (data.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))) {
        const WorkbookStream stream(data, builder);
        BiffReader(stream.data(), stream.size(), builder).read();
    } else {
        BiffReader(reinterpret_cast<const uchar*>(data.constData()), data.size(), builder).read();
    }
}

} // namespace corvelix
