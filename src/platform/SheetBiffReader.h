#pragma once

// Inside the .xls reader: the reader of a BIFF record stream. The workbook's globals (texts,
// number formats, code page) are read in SheetBiffWorkbook.cpp, the worksheet's cells in
// SheetBiff.cpp.
#include "platform/SheetBiffContinued.h"
#include "platform/SheetFormats.h"

#include <QHash>
#include <QStringDecoder>

#include <functional>
#include <vector>

namespace corvelix {

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

class BiffReader {
public:
    BiffReader(const uchar* data, qsizetype size, SheetBuilder& builder)
        : data_(data), size_(size), b_(builder) {}

    void read();

private:
    struct SheetEntry {
        quint32 offset;
        bool visible;
    };

    // The workbook's records before its sheets: texts, formats, sheet list; then the first
    // visible worksheet (the first worksheet when all are hidden).
    void readWorkbook();
    void readSst(Continued& sst);
    // Records of the workbook part that a worksheet stream of BIFF2 to BIFF4 holds too.
    void readShared(const Record& r);
    // The code page of the byte strings of BIFF2 to BIFF5; BIFF8 texts are Unicode.
    void setCodePage(quint16 codePage);
    [[nodiscard]] bool isDateFormat(int id) const;
    // Text in the workbook's code page (BIFF8 texts are Unicode and do not use it).
    QString bytesText(const uchar* p, qsizetype n);
    // A BIFF2 to BIFF5 text: its length (8 or 16 bits) and bytes.
    bool byteString(const Record& r, qsizetype at, bool shortLength, QString& out);

    [[nodiscard]] bool isDateXf(quint32 xf) const { return xf < dateXfs_.size() && dateXfs_[xf]; }
    void setValue(int row, int column, quint32 xf, double value);
    // A BIFF2 cell's number format: the second attribute byte.
    void setValue2(int row, int column, const uchar* attributes, double value);
    // A formula's stored result: a number, or a marker for a text (in the STRING record that
    // follows), a truth value, an error or an empty text.
    void formulaResult(int row, int column, const uchar* result,
                       const std::function<void(double)>& number);
    void readSheet(quint32 offset);
    void readCell(const Record& r, RecordStream& records, bool v2);

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

} // namespace corvelix
