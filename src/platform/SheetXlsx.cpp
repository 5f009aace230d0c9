// .xlsx: the package's relationships lead from the workbook to its first visible worksheet;
// the cells' values come with the shared strings and, for dates, the cell's number format.
#include "platform/SheetXmlParts.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>

namespace corvelix {

namespace {

// A text of the file: UTF-8 with "_x000D_" escapes of characters XML cannot hold.
QString ooxmlText(std::string_view utf8) {
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (utf8.find("_x") == std::string_view::npos)
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() &&
            text.at(i + 1) == QLatin1Char('x') && text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(static_cast<char16_t>(code));
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// Appends `n` bytes of a cell's text to `out` as far as kMaxCellBytes.
void appendBounded(std::string& out, const char* s, int n) {
    if (out.size() < kMaxCellBytes)
        out.append(s, std::min(std::size_t(n), kMaxCellBytes - out.size()));
}

const std::string_view kMainNs[] = {"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                                    "http://purl.oclc.org/ooxml/spreadsheetml/main"};
const std::string_view kPackageRelsNs[] = {
    "http://schemas.openxmlformats.org/package/2006/relationships"};
const std::string_view kDocumentRelsNs[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships"};

// The text a number shows in the general format when `v` already is that text in C form: at
// most 15 significant digits, no leading or trailing zeros, no exponent, 1E-4 or more.
bool plainDecimal(std::string_view v) {
    std::size_t i = v.starts_with('-') ? 1 : 0;
    const std::size_t intStart = i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9')
        ++i;
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && v[intStart] == '0'))
        return false;
    const bool zeroInteger = v[intStart] == '0';
    std::size_t significant = zeroInteger ? 0 : intDigits;
    if (i == v.size())
        return !(zeroInteger && intStart == 1) && significant <= 15; // "-0" shows "0"
    if (v[i] != '.' || i + 1 == v.size() || v.back() == '0')
        return false;
    ++i;
    std::size_t leadingZeros = 0;
    if (zeroInteger)
        while (i < v.size() && v[i] == '0')
            ++i, ++leadingZeros;
    if (leadingZeros > 3)
        return false;
    for (; i < v.size(); ++i) {
        if (v[i] < '0' || v[i] > '9')
            return false;
        ++significant;
    }
    return significant <= 15;
}

std::string_view trimmedView(std::string_view v) {
    while (!v.empty() &&
           (v.front() == ' ' || v.front() == '\t' || v.front() == '\r' || v.front() == '\n'))
        v.remove_prefix(1);
    while (!v.empty() &&
           (v.back() == ' ' || v.back() == '\t' || v.back() == '\r' || v.back() == '\n'))
        v.remove_suffix(1);
    return v;
}

QString fromUtf8(std::string_view v) {
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

// "folder/part.xml" relative to `base` ("xl/workbook.xml"), or absolute from the root.
QString resolveTarget(const QString& base, const QString& target) {
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = base.split(QLatin1Char('/'));
    parts.removeLast();
    for (const QString& p : target.split(QLatin1Char('/'))) {
        if (p == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (p != QLatin1String(".") && !p.isEmpty())
            parts.append(p);
    }
    return parts.join(QLatin1Char('/'));
}

// The relationships part of `part`: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
QString relsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QLatin1String("_rels/") + part.mid(slash + 1) +
           QLatin1String(".rels");
}

struct Relationship {
    QString type;
    QString target;
};

QHash<QString, Relationship> readRelationships(ZipPackage& zip, SheetBuilder& builder,
                                               const QString& relsPart, const QString& base) {
    class Handler : public PartHandler {
    public:
        explicit Handler(const QString& base) : base_(base) {}
        void start(XmlName name, const XmlAttributes& atts) override {
            const std::string_view mode = atts.value("TargetMode");
            if (!(name == "Relationship") ||
                QLatin1String(mode.data(), qsizetype(mode.size()))
                        .compare(QLatin1String("External"), Qt::CaseInsensitive) == 0)
                return;
            rels.insert(fromUtf8(atts.value("Id")),
                        {fromUtf8(atts.value("Type")),
                         resolveTarget(base_, fromUtf8(atts.value("Target")))});
        }
        void end(XmlName) override {}
        QHash<QString, Relationship> rels;

    private:
        const QString& base_;
    } handler(base);
    if (zip.has(relsPart))
        parsePart(zip, builder, relsPart, handler, kPackageRelsNs);
    return handler.rels;
}

} // namespace

// Whether a number format shows dates or times.
bool isDateFormatId(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58) || (id >= 71 && id <= 81);
}

bool isDateFormatCode(const QString& code) {
    // Only the first section decides; quoted texts, escapes and colours/conditions do not count.
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            quoted = c != QLatin1Char('"');
            continue;
        }
        if (bracket) {
            // Elapsed time: [h], [mm], [ss].
            const QChar l = c.toLower();
            if (l == QLatin1Char('h') || l == QLatin1Char('m') || l == QLatin1Char('s'))
                if (code.at(i - 1) == QLatin1Char('['))
                    return true;
            bracket = c != QLatin1Char(']');
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = true;
        else if (c == QLatin1Char('['))
            bracket = true;
        else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*'))
            ++i;
        else if (c == QLatin1Char(';'))
            return false;
        else {
            const QChar l = c.toLower();
            if (l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y') ||
                l == QLatin1Char('h') || l == QLatin1Char('s'))
                return true;
        }
    }
    return false;
}

namespace {

// "BC12" -> column 55, row 12; false when it is not a cell reference.
bool parseReference(std::string_view ref, qint64& row, qint64& column) {
    std::size_t i = 0;
    column = 0;
    row = 0;
    while (i < ref.size() && i < 4) {
        char u = ref[i];
        if (u >= 'a' && u <= 'z')
            u = char(u - 'a' + 'A');
        if (u < 'A' || u > 'Z')
            break;
        column = column * 26 + (u - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    if (ref.size() - i > 8)
        return false;
    for (; i < ref.size(); ++i) {
        const char u = ref[i];
        if (u < '0' || u > '9')
            return false;
        row = row * 10 + (u - '0');
    }
    return row > 0;
}

// What a cell's value is, by its type attribute; numbers when it has none.
enum class CellType { Number, Shared, Text, Boolean, Date };

CellType cellType(std::string_view t) {
    if (t == "s")
        return CellType::Shared;
    if (t == "str" || t == "inlineStr" || t == "e")
        return CellType::Text;
    if (t == "b")
        return CellType::Boolean;
    if (t == "d")
        return CellType::Date;
    return CellType::Number;
}

class XlsxReader {
public:
    XlsxReader(const QByteArray& data, SheetBuilder& builder)
        : zip_(data, builder), b_(builder), decimalPoint_(builder.locale().decimalPoint()) {}

    void run() {
        QString workbook = QStringLiteral("xl/workbook.xml");
        for (const Relationship& r : readRelationships(zip_, b_, QStringLiteral("_rels/.rels"), {}))
            if (r.type.endsWith(QLatin1String("/officeDocument")))
                workbook = r.target;
        if (!zip_.has(workbook))
            b_.fail(QStringLiteral("no es un libro de Excel (falta %1)").arg(workbook));
        const auto rels = readRelationships(zip_, b_, relsOf(workbook), workbook);
        const QString sheet = firstSheet(workbook, rels);
        for (const Relationship& r : rels) {
            if (r.type.endsWith(QLatin1String("/sharedStrings")) && zip_.has(r.target))
                readSharedStrings(r.target);
            else if (r.type.endsWith(QLatin1String("/styles")) && zip_.has(r.target))
                readStyles(r.target);
        }
        readSheet(sheet);
    }

private:
    QString firstSheet(const QString& workbook, const QHash<QString, Relationship>& rels) {
        class Handler : public PartHandler {
        public:
            explicit Handler(const QHash<QString, Relationship>& rels) : rels_(rels) {}
            void start(XmlName name, const XmlAttributes& atts) override {
                if (name == "workbookPr") {
                    const std::string_view v = atts.value("date1904");
                    date1904 = v == "1" || v == "true";
                } else if (name == "sheet") {
                    const auto rel =
                        rels_.find(fromUtf8(atts.value(kDocumentRelsNs, "id")));
                    if (rel == rels_.end() || !rel->type.endsWith(QLatin1String("/worksheet")))
                        return; // chart and macro sheets are not worksheets
                    if (first.isEmpty())
                        first = rel->target;
                    const std::string_view state = atts.value("state");
                    if (firstVisible.isEmpty() && state != "hidden" && state != "veryHidden")
                        firstVisible = rel->target;
                }
            }
            void end(XmlName) override {}
            QString first;
            QString firstVisible;
            bool date1904 = false;

        private:
            const QHash<QString, Relationship>& rels_;
        } handler(rels);
        parsePart(zip_, b_, workbook, handler, kMainNs);
        date1904_ = handler.date1904;
        // Hidden sheets are not what the user sees first; all hidden cannot be saved by the
        // spreadsheet program, but take the first then.
        const QString sheet = handler.firstVisible.isEmpty() ? handler.first : handler.firstVisible;
        if (sheet.isEmpty() || !zip_.has(sheet))
            b_.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
        return sheet;
    }

    // The text of the `t` elements of a shared or inline string, phonetic runs left out.
    struct StringItem {
        int text = 0;     // depth inside `t`
        int phonetic = 0; // depth inside `rPh`
        void start(XmlName name) {
            if (name == "rPh")
                ++phonetic;
            else if (name == "t")
                ++text;
        }
        void end(XmlName name) {
            if (name == "rPh")
                phonetic -= phonetic > 0;
            else if (name == "t")
                text -= text > 0;
        }
        [[nodiscard]] bool collecting() const { return text > 0 && phonetic == 0; }
    };

    void readSharedStrings(const QString& part) {
        class Handler : public PartHandler {
        public:
            explicit Handler(QStringList& strings) : strings_(strings) {}
            void start(XmlName name, const XmlAttributes&) override {
                if (depth_ > 0) {
                    ++depth_;
                    item_.start(name);
                } else if (name == "si") {
                    depth_ = 1;
                    item_ = {};
                    text_.clear();
                }
            }
            void end(XmlName name) override {
                if (depth_ == 0)
                    return;
                if (--depth_ > 0) {
                    item_.end(name);
                    return;
                }
                strings_.append(ooxmlText(text_));
            }
            void text(const char* s, int n) override {
                if (depth_ > 0 && item_.collecting())
                    appendBounded(text_, s, n);
            }

        private:
            QStringList& strings_;
            int depth_ = 0; // inside `si`
            StringItem item_;
            std::string text_;
        };
        // Most parts are plain enough for the quick reading; the others start over.
        const qsizetype before = strings_.size();
        Handler quick(strings_);
        if (parsePartQuickly(zip_, b_, part, quick, kMainNs))
            return;
        strings_.resize(before);
        Handler handler(strings_);
        parsePart(zip_, b_, part, handler, kMainNs);
    }

    void readStyles(const QString& part) {
        class Handler : public PartHandler {
        public:
            explicit Handler(std::vector<bool>& dateStyles) : dateStyles_(dateStyles) {}
            void start(XmlName name, const XmlAttributes& atts) override {
                if (name == "numFmt") {
                    customDate_.insert(
                        number(atts.value("numFmtId")),
                        isDateFormatCode(fromUtf8(atts.value("formatCode"))));
                } else if (name == "cellXfs") {
                    inCellXfs_ = true;
                } else if (inCellXfs_ && name == "xf") {
                    const int id = number(atts.value("numFmtId"));
                    dateStyles_.push_back(customDate_.contains(id) ? customDate_.value(id)
                                                                   : isDateFormatId(id));
                }
            }
            void end(XmlName name) override {
                if (name == "cellXfs")
                    inCellXfs_ = false;
            }

        private:
            static int number(std::string_view v) {
                int n = 0;
                (void)std::from_chars(v.data(), v.data() + v.size(), n);
                return n;
            }
            std::vector<bool>& dateStyles_;
            QHash<int, bool> customDate_;
            bool inCellXfs_ = false;
        } handler(dateStyles_);
        parsePart(zip_, b_, part, handler, kMainNs);
    }

    [[nodiscard]] bool isDateStyle(int style) const {
        return style >= 0 && style < static_cast<int>(dateStyles_.size()) && dateStyles_[style];
    }

    // The cells of the sheet's rows, up to the end of its data.
    class SheetHandler : public PartHandler {
    public:
        explicit SheetHandler(XlsxReader& reader) : reader_(reader) {}

        void start(XmlName name, const XmlAttributes& atts) override {
            if (cellDepth_ > 0) {
                ++cellDepth_;
                if (cellDepth_ == 2) {
                    // Formulas and the like: the cached value is what shows.
                    mode_ = name == "v" ? Value : name == "is" ? Inline : Other;
                    if (mode_ != Other) {
                        reader_.value_.clear();
                        hasValue_ = true;
                        item_ = {};
                    }
                } else if (mode_ == Inline) {
                    item_.start(name);
                }
                return;
            }
            if (name == "row") {
                qint64 r = 0;
                const std::string_view v = atts.value("r");
                const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), r);
                row_ = ec == std::errc() && ptr == v.data() + v.size() && r > 0 ? r : row_ + 1;
                column_ = 0;
            } else if (name == "c") {
                qint64 r = 0;
                qint64 c = 0;
                if (parseReference(atts.value("r"), r, c)) {
                    row_ = r;
                    column_ = c;
                } else {
                    if (row_ == 0)
                        row_ = 1;
                    ++column_;
                }
                type_ = cellType(atts.value("t"));
                style_ = 0;
                const std::string_view s = atts.value("s");
                (void)std::from_chars(s.data(), s.data() + s.size(), style_);
                cellDepth_ = 1;
                hasValue_ = false;
                mode_ = Other;
            }
        }
        void end(XmlName name) override {
            if (cellDepth_ > 0) {
                if (--cellDepth_ == 0) {
                    if (hasValue_)
                        reader_.setCell(row_, column_, type_, style_);
                } else if (cellDepth_ == 1) {
                    mode_ = Other;
                } else if (mode_ == Inline) {
                    item_.end(name);
                }
                return;
            }
            if (name == "sheetData")
                stop(); // what follows (merges, print setup) holds no values
        }
        void text(const char* s, int n) override {
            if (mode_ == Value || (mode_ == Inline && item_.collecting()))
                appendBounded(reader_.value_, s, n);
        }

    private:
        enum Mode { Other, Value, Inline };
        XlsxReader& reader_;
        qint64 row_ = 0;
        qint64 column_ = 0;
        int cellDepth_ = 0; // inside `c`
        Mode mode_ = Other;
        bool hasValue_ = false;
        CellType type_ = CellType::Number;
        int style_ = 0;
        StringItem item_;
    };

    void readSheet(const QString& part) {
        // Most sheets are plain enough for the quick reading; the others start over.
        SheetHandler quick(*this);
        if (parsePartQuickly(zip_, b_, part, quick, kMainNs))
            return;
        b_.clearCells();
        SheetHandler handler(*this);
        parsePart(zip_, b_, part, handler, kMainNs);
    }

    void setCell(qint64 row, qint64 column, CellType type, int style) {
        if (value_.empty())
            return;
        if (row > b_.limits().maxRows || column > b_.limits().maxColumns)
            b_.checkBounds(row, column);
        const int ri = static_cast<int>(row);
        const int ci = static_cast<int>(column);
        const std::string_view value = value_;
        if (type == CellType::Shared) {
            const std::string_view v = trimmedView(value);
            qint64 index = -1;
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), index);
            if (ec != std::errc() || ptr != v.data() + v.size() || index < 0 ||
                index >= strings_.size())
                b_.fail(QStringLiteral("una celda remite a un texto que el libro no tiene"));
            b_.setText(ri, ci, strings_.at(index));
        } else if (type == CellType::Text) {
            b_.setText(ri, ci, ooxmlText(value));
        } else if (type == CellType::Boolean) {
            const std::string_view v = trimmedView(value);
            b_.setBoolean(ri, ci, v == "1" || v == "true");
        } else if (type == CellType::Date) {
            const QDateTime when = QDateTime::fromString(fromUtf8(trimmedView(value)), Qt::ISODate);
            if (when.isValid())
                b_.setDateTime(ri, ci, when.date(), when.time());
            else
                b_.setText(ri, ci, fromUtf8(value));
        } else {
            const std::string_view v = trimmedView(value);
            if (!isDateStyle(style) && plainDecimal(v)) {
                b_.setText(ri, ci, withDecimalPoint(v));
                return;
            }
            bool ok = false;
            const double number = QByteArrayView(v.data(), qsizetype(v.size())).toDouble(&ok);
            if (!ok)
                b_.setText(ri, ci, fromUtf8(value));
            else if (isDateStyle(style))
                b_.setDateSerial(ri, ci, number, date1904_);
            else
                b_.setNumber(ri, ci, number);
        }
    }

    // A plain decimal's text with the locale's decimal separator, made at once: half the
    // cells of a sheet may be numbers.
    [[nodiscard]] QString withDecimalPoint(std::string_view v) const {
        if (decimalPoint_.size() != 1) {
            QString text = QString::fromLatin1(v.data(), qsizetype(v.size()));
            return text.replace(QLatin1Char('.'), decimalPoint_);
        }
        const QChar point = decimalPoint_.front();
        QString text(qsizetype(v.size()), Qt::Uninitialized);
        QChar* out = text.data();
        for (const char c : v)
            *out++ = c == '.' ? point : QChar(QLatin1Char(c));
        return text;
    }

    ZipPackage zip_;
    SheetBuilder& b_;
    QStringList strings_;
    std::vector<bool> dateStyles_;
    bool date1904_ = false;
    QString decimalPoint_; // asked of the locale once: it is dear to ask
    std::string value_;
};

} // namespace

void readXlsx(const QByteArray& data, SheetBuilder& builder) {
    XlsxReader(data, builder).run();
}

} // namespace corvelix
