// .xlsx: the package's relationships lead from the workbook to its first visible worksheet;
// the cells' values come with the shared strings and, for dates, the cell's number format.
#include "platform/SheetFormats.h"

#include <QBuffer>
#include <QDateTime>
#include <QHash>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace corvelix {

// ---- zip package ----

struct ZipPackage::Impl {
    QBuffer buffer;
    QuaZip zip{&buffer};
    QStringList names;
};

ZipPackage::ZipPackage(const QByteArray& data, SheetBuilder& builder)
    : d(std::make_unique<Impl>()), builder_(builder) {
    d->buffer.setData(data);
    if (!d->zip.open(QuaZip::mdUnzip))
        builder_.fail(reasonCorruptZip());
    d->names = d->zip.getFileNameList();
}

ZipPackage::~ZipPackage() {
    d->zip.close();
}

bool ZipPackage::has(const QString& name) const {
    return d->names.contains(name, Qt::CaseInsensitive);
}

void ZipPackage::parseXml(const QString& name,
                          const std::function<void(QXmlStreamReader&)>& parse) {
    if (!d->zip.setCurrentFile(name, QuaZip::csInsensitive))
        builder_.fail(QStringLiteral("le falta la parte %1").arg(name));
    QuaZipFileInfo64 info;
    if (d->zip.getCurrentFileInfo(&info) && (info.flags & 1))
        builder_.fail(QStringLiteral("está protegido con contraseña"));
    QuaZipFile file(&d->zip);
    if (!file.open(QIODevice::ReadOnly))
        builder_.fail(reasonCorruptZip());
    BudgetDevice device(file, builder_);
    QXmlStreamReader xml(&device);
    parse(xml);
    if (device.exceeded())
        builder_.fail(reasonTooLarge(builder_.limits().maxExpandedBytes));
    if (xml.hasError()) {
        if (file.getZipError() != UNZ_OK)
            builder_.fail(reasonCorruptZip());
        builder_.failXml(xml, name);
    }
    file.close();
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
}

QByteArray ZipPackage::read(const QString& name) {
    if (!d->zip.setCurrentFile(name, QuaZip::csInsensitive))
        builder_.fail(QStringLiteral("le falta la parte %1").arg(name));
    QuaZipFileInfo64 info;
    const bool hasInfo = d->zip.getCurrentFileInfo(&info);
    if (hasInfo && (info.flags & 1))
        builder_.fail(QStringLiteral("está protegido con contraseña"));
    QuaZipFile file(&d->zip);
    if (!file.open(QIODevice::ReadOnly))
        builder_.fail(reasonCorruptZip());
    BudgetDevice device(file, builder_);
    constexpr qint64 kChunk = 64 * 1024;
    QByteArray out;
    // Room for the size the zip claims, never more than the budget allows.
    if (hasInfo)
        out.reserve(static_cast<qsizetype>(
            std::min<quint64>(info.uncompressedSize, quint64(builder_.limits().maxExpandedBytes))));
    for (;;) {
        const qsizetype at = out.size();
        const qint64 room = out.capacity() - at;
        if (room < 1024) {
            // Full as claimed: grow only when more comes.
            char probe[1024];
            const qint64 n = device.read(probe, sizeof probe);
            if (n <= 0)
                break;
            out.reserve(std::max<qsizetype>(2 * out.capacity(), at + kChunk));
            out.append(probe, n);
            continue;
        }
        out.resize(at + room);
        const qint64 n = device.read(out.data() + at, room);
        out.resize(at + std::max<qint64>(n, 0));
        if (n <= 0)
            break;
    }
    if (device.exceeded())
        builder_.fail(reasonTooLarge(builder_.limits().maxExpandedBytes));
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
    file.close();
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
    return out;
}

QString elementText(QXmlStreamReader& xml, const QStringList& skip) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (skip.contains(xml.name().toString()))
                xml.skipCurrentElement();
            else
                ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

namespace {

const QString kRph = QStringLiteral("rPh");

// "_x000D_" escapes of characters XML cannot hold.
QString unescapeOoxml(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
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

// A small XML reader over a part held whole in memory, for the large parts of a workbook (the
// sheet and its shared strings): names and attribute values are views of the bytes, texts are
// decoded only when asked for. It checks what the reading relies on: tags nest and close in
// order, one root, attributes are quoted, references are known; a document type declaration
// is refused.
class FastXml {
public:
    enum Token { StartElement, EndElement, Characters, EndDocument, Invalid };

    explicit FastXml(QByteArray data) : data_(std::move(data)) {
        if (data_.startsWith("\xFF\xFE") || data_.startsWith("\xFE\xFF")) {
            QStringDecoder d(data_.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE);
            data_ = QString(d.decode(QByteArrayView(data_).sliced(2))).toUtf8();
        } else if (data_.startsWith("\xEF\xBB\xBF")) {
            pos_ = 3;
        }
        p_ = data_.constData();
        n_ = data_.size();
    }

    Token readNext() {
        if (error_)
            return Invalid;
        if (selfClosing_) {
            selfClosing_ = false;
            stack_.pop_back();
            if (stack_.empty())
                rootClosed_ = true;
            return token_ = EndElement;
        }
        while (pos_ < n_) {
            if (p_[pos_] != '<') {
                const char* lt = static_cast<const char*>(std::memchr(p_ + pos_, '<', n_ - pos_));
                const qsizetype end = lt ? lt - p_ : n_;
                text_ = std::string_view(p_ + pos_, end - pos_);
                cdata_ = false;
                pos_ = end;
                if (stack_.empty()) {
                    for (const char c : text_)
                        if (!isSpace(c))
                            return fail();
                    continue;
                }
                return token_ = Characters;
            }
            const std::string_view rest(p_ + pos_, n_ - pos_);
            if (rest.starts_with("<?")) {
                if (!skipPast("?>"))
                    return fail();
            } else if (rest.starts_with("<!--")) {
                if (!skipPast("-->"))
                    return fail();
            } else if (rest.starts_with("<![CDATA[")) {
                if (stack_.empty())
                    return fail();
                const qsizetype start = pos_ + 9;
                if (!skipPast("]]>"))
                    return fail();
                text_ = std::string_view(p_ + start, pos_ - 3 - start);
                cdata_ = true;
                return token_ = Characters;
            } else if (rest.starts_with("<!")) {
                return fail(); // a document type: not in a workbook's parts
            } else if (rest.starts_with("</")) {
                pos_ += 2;
                const std::string_view qname = readName();
                skipSpace();
                if (pos_ >= n_ || p_[pos_] != '>' || stack_.empty() || stack_.back() != qname)
                    return fail();
                ++pos_;
                setName(qname);
                stack_.pop_back();
                if (stack_.empty())
                    rootClosed_ = true;
                return token_ = EndElement;
            } else {
                return startTag();
            }
        }
        if (!stack_.empty() || !rootClosed_)
            return fail();
        return token_ = EndDocument;
    }

    // The local name of the element just started or ended.
    [[nodiscard]] std::string_view name() const { return name_; }
    // An attribute's value by its local name, references not decoded; empty when absent.
    [[nodiscard]] std::string_view attribute(std::string_view localName) const {
        for (const auto& [key, value] : attributes_)
            if (key == localName)
                return value;
        return {};
    }
    // Appends the text just read, references decoded. False (and the reader failed) on an
    // unknown reference.
    bool appendText(std::string& out) { return decode(text_, cdata_, out); }
    bool decodeAttribute(std::string_view raw, std::string& out) {
        return decode(raw, raw.find('&') == std::string_view::npos, out);
    }

    // Reads past the end of the element just started.
    void skipCurrentElement() {
        int depth = 1;
        while (depth > 0) {
            const Token t = readNext();
            if (t == StartElement)
                ++depth;
            else if (t == EndElement)
                --depth;
            else if (t == EndDocument || t == Invalid)
                return;
        }
    }

    [[nodiscard]] bool hasError() const { return error_; }
    [[nodiscard]] qint64 lineNumber() const {
        return 1 + std::count(p_, p_ + std::min(pos_, n_), '\n');
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool endsName(char c) {
        return isSpace(c) || c == '/' || c == '>' || c == '=' || c == '<' || c == '"' ||
               c == '\'';
    }

    Token fail() {
        error_ = true;
        return token_ = Invalid;
    }

    bool skipPast(std::string_view end) {
        const std::string_view rest(p_ + pos_, n_ - pos_);
        const auto at = rest.find(end);
        if (at == std::string_view::npos)
            return false;
        pos_ += qsizetype(at + end.size());
        return true;
    }

    void skipSpace() {
        while (pos_ < n_ && isSpace(p_[pos_]))
            ++pos_;
    }

    std::string_view readName() {
        const qsizetype start = pos_;
        while (pos_ < n_ && !endsName(p_[pos_]))
            ++pos_;
        return {p_ + start, std::size_t(pos_ - start)};
    }

    void setName(std::string_view qname) {
        const auto colon = qname.rfind(':');
        name_ = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
    }

    Token startTag() {
        if (rootClosed_)
            return fail(); // a second root
        ++pos_;
        const std::string_view qname = readName();
        if (qname.empty())
            return fail();
        attributes_.clear();
        for (;;) {
            const qsizetype before = pos_;
            skipSpace();
            if (pos_ >= n_)
                return fail();
            const char c = p_[pos_];
            if (c == '>') {
                ++pos_;
                break;
            }
            if (c == '/') {
                if (pos_ + 1 >= n_ || p_[pos_ + 1] != '>')
                    return fail();
                pos_ += 2;
                selfClosing_ = true;
                break;
            }
            if (pos_ == before)
                return fail(); // attributes stand apart
            std::string_view key = readName();
            skipSpace();
            if (key.empty() || pos_ >= n_ || p_[pos_] != '=')
                return fail();
            ++pos_;
            skipSpace();
            if (pos_ >= n_ || (p_[pos_] != '"' && p_[pos_] != '\''))
                return fail();
            const char quote = p_[pos_++];
            const char* end = static_cast<const char*>(std::memchr(p_ + pos_, quote, n_ - pos_));
            if (!end)
                return fail();
            const std::string_view value(p_ + pos_, std::size_t(end - (p_ + pos_)));
            if (value.find('<') != std::string_view::npos)
                return fail();
            pos_ = end - p_ + 1;
            const auto colon = key.rfind(':');
            if (colon != std::string_view::npos)
                key = key.substr(colon + 1);
            attributes_.emplace_back(key, value);
        }
        stack_.push_back(qname);
        setName(qname);
        return token_ = StartElement;
    }

    static void appendUtf8(std::string& out, char32_t u) {
        if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        } else {
            out += char(0xF0 | (u >> 18));
            out += char(0x80 | ((u >> 12) & 0x3F));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }

    bool decode(std::string_view raw, bool verbatim, std::string& out) {
        if (verbatim) {
            out += raw;
            return true;
        }
        std::size_t i = 0;
        while (i < raw.size()) {
            const auto amp = raw.find('&', i);
            if (amp == std::string_view::npos) {
                out += raw.substr(i);
                break;
            }
            out += raw.substr(i, amp - i);
            const auto semi = raw.find(';', amp);
            if (semi == std::string_view::npos || semi - amp > 12) {
                fail();
                return false;
            }
            const std::string_view ref = raw.substr(amp + 1, semi - amp - 1);
            if (ref == "amp")
                out += '&';
            else if (ref == "lt")
                out += '<';
            else if (ref == "gt")
                out += '>';
            else if (ref == "quot")
                out += '"';
            else if (ref == "apos")
                out += '\'';
            else if (ref.size() > 1 && ref[0] == '#') {
                const bool hex = ref[1] == 'x';
                const std::string_view digits = ref.substr(hex ? 2 : 1);
                unsigned long code = 0;
                const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(),
                                                       code, hex ? 16 : 10);
                if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() ||
                    code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                    fail();
                    return false;
                }
                appendUtf8(out, char32_t(code));
            } else {
                fail();
                return false;
            }
            i = semi + 1;
        }
        return true;
    }

    QByteArray data_;
    const char* p_ = nullptr;
    qsizetype n_ = 0;
    qsizetype pos_ = 0;
    Token token_ = Invalid;
    std::vector<std::string_view> stack_;
    std::vector<std::pair<std::string_view, std::string_view>> attributes_;
    std::string_view name_;
    std::string_view text_;
    bool cdata_ = false;
    bool selfClosing_ = false;
    bool rootClosed_ = false;
    bool error_ = false;
};

// The text of the `t` elements inside the element just started (a shared or inline string),
// phonetic runs left out; the reader ends on the element's end.
bool stringItemText(FastXml& xml, std::string& out) {
    int depth = 1;
    int inText = 0;
    while (depth > 0) {
        switch (xml.readNext()) {
        case FastXml::StartElement:
            if (xml.name() == "rPh") {
                xml.skipCurrentElement();
            } else {
                ++depth;
                if (xml.name() == "t")
                    ++inText;
            }
            break;
        case FastXml::EndElement:
            --depth;
            if (xml.name() == "t" && inText > 0)
                --inText;
            break;
        case FastXml::Characters:
            if (inText > 0 && !xml.appendText(out))
                return false;
            break;
        case FastXml::EndDocument:
        case FastXml::Invalid:
            return false;
        }
    }
    return true;
}

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
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\r' ||
                          v.front() == '\n'))
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

QHash<QString, Relationship> readRelationships(ZipPackage& zip, const QString& relsPart,
                                               const QString& base) {
    QHash<QString, Relationship> rels;
    if (!zip.has(relsPart))
        return rels;
    zip.parseXml(relsPart, [&](QXmlStreamReader& xml) {
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship")) {
                const auto a = xml.attributes();
                const QString mode = a.value(QLatin1String("TargetMode")).toString();
                if (mode.compare(QLatin1String("External"), Qt::CaseInsensitive) != 0)
                    rels.insert(a.value(QLatin1String("Id")).toString(),
                                {a.value(QLatin1String("Type")).toString(),
                                 resolveTarget(base, a.value(QLatin1String("Target")).toString())});
            }
        }
    });
    return rels;
}

QString relationshipId(const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
            return a.value().toString();
    return {};
}

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

class XlsxReader {
public:
    XlsxReader(const QByteArray& data, SheetBuilder& builder) : zip_(data, builder), b_(builder) {}

    void run() {
        QString workbook = QStringLiteral("xl/workbook.xml");
        for (const Relationship& r : readRelationships(zip_, QStringLiteral("_rels/.rels"), {}))
            if (r.type.endsWith(QLatin1String("/officeDocument")))
                workbook = r.target;
        if (!zip_.has(workbook))
            b_.fail(QStringLiteral("no es un libro de Excel (falta %1)").arg(workbook));
        const auto rels = readRelationships(zip_, relsOf(workbook), workbook);
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
        QString first;
        QString firstVisible;
        zip_.parseXml(workbook, [&](QXmlStreamReader& xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                const auto a = xml.attributes();
                if (xml.name() == QLatin1String("workbookPr")) {
                    const auto v = a.value(QLatin1String("date1904"));
                    date1904_ = v == QLatin1String("1") || v == QLatin1String("true");
                } else if (xml.name() == QLatin1String("sheet")) {
                    const auto rel = rels.find(relationshipId(a));
                    if (rel == rels.end() || !rel->type.endsWith(QLatin1String("/worksheet")))
                        continue; // chart and macro sheets are not worksheets
                    if (first.isEmpty())
                        first = rel->target;
                    const auto state = a.value(QLatin1String("state"));
                    if (firstVisible.isEmpty() && state != QLatin1String("hidden") &&
                        state != QLatin1String("veryHidden"))
                        firstVisible = rel->target;
                }
            }
        });
        // Hidden sheets are not what the user sees first; all hidden cannot be saved by the
        // spreadsheet program, but take the first then.
        const QString sheet = firstVisible.isEmpty() ? first : firstVisible;
        if (sheet.isEmpty() || !zip_.has(sheet))
            b_.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
        return sheet;
    }

    void readSharedStrings(const QString& part) {
        FastXml xml(zip_.read(part));
        std::string text;
        for (;;) {
            const auto token = xml.readNext();
            if (token == FastXml::EndDocument)
                break;
            if (token == FastXml::Invalid)
                failXml(xml, part);
            if (token == FastXml::StartElement && xml.name() == "si") {
                text.clear();
                if (!stringItemText(xml, text))
                    failXml(xml, part);
                strings_.append(unescapeOoxml(fromUtf8(text)));
            }
        }
    }

    [[noreturn]] void failXml(const FastXml& xml, const QString& part) const {
        b_.fail(QStringLiteral("el contenido de %1 está dañado (línea %2)")
                    .arg(part)
                    .arg(xml.lineNumber()));
    }

    void readStyles(const QString& part) {
        QHash<int, bool> customDate;
        zip_.parseXml(part, [&](QXmlStreamReader& xml) {
            bool inCellXfs = false;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
                    inCellXfs = false;
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const auto a = xml.attributes();
                if (xml.name() == QLatin1String("numFmt")) {
                    customDate.insert(
                        a.value(QLatin1String("numFmtId")).toInt(),
                        isDateFormatCode(a.value(QLatin1String("formatCode")).toString()));
                } else if (xml.name() == QLatin1String("cellXfs")) {
                    inCellXfs = true;
                } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                    const int id = a.value(QLatin1String("numFmtId")).toInt();
                    dateStyles_.push_back(customDate.contains(id) ? customDate.value(id)
                                                                  : isDateFormatId(id));
                }
            }
        });
    }

    [[nodiscard]] bool isDateStyle(int style) const {
        return style >= 0 && style < static_cast<int>(dateStyles_.size()) && dateStyles_[style];
    }

    void readSheet(const QString& part) {
        FastXml xml(zip_.read(part));
        qint64 row = 0;
        qint64 column = 0;
        for (;;) {
            const auto token = xml.readNext();
            if (token == FastXml::EndDocument)
                return;
            if (token == FastXml::Invalid)
                failXml(xml, part);
            if (token == FastXml::EndElement && xml.name() == "sheetData")
                return; // what follows (merges, print setup) holds no values
            if (token != FastXml::StartElement)
                continue;
            if (xml.name() == "row") {
                qint64 r = 0;
                const std::string_view v = xml.attribute("r");
                const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), r);
                row = ec == std::errc() && ptr == v.data() + v.size() && r > 0 ? r : row + 1;
                column = 0;
            } else if (xml.name() == "c") {
                readCell(xml, part, row, column);
            }
        }
    }

    void readCell(FastXml& xml, const QString& part, qint64& row, qint64& column) {
        qint64 r = 0;
        qint64 c = 0;
        if (parseReference(xml.attribute("r"), r, c)) {
            row = r;
            column = c;
        } else {
            if (row == 0)
                row = 1;
            ++column;
        }
        // The attributes are views into the reader's tag: keep copies of what is needed.
        std::string type(xml.attribute("t"));
        int style = 0;
        {
            const std::string_view s = xml.attribute("s");
            (void)std::from_chars(s.data(), s.data() + s.size(), style);
        }
        value_.clear();
        bool hasValue = false;
        int depth = 1;
        while (depth > 0) {
            switch (xml.readNext()) {
            case FastXml::StartElement:
                if (depth == 1 && xml.name() == "v") {
                    value_.clear();
                    hasValue = true;
                    ++depth;
                } else if (depth == 1 && xml.name() == "is") {
                    value_.clear();
                    hasValue = true;
                    if (!stringItemText(xml, value_))
                        failXml(xml, part);
                } else if (depth == 1) {
                    xml.skipCurrentElement(); // formulas: the cached value is what shows
                } else {
                    ++depth;
                }
                break;
            case FastXml::EndElement:
                --depth;
                break;
            case FastXml::Characters:
                if (depth > 1 && !xml.appendText(value_))
                    failXml(xml, part);
                break;
            case FastXml::EndDocument:
            case FastXml::Invalid:
                failXml(xml, part);
            }
        }
        if (!hasValue || value_.empty())
            return;
        if (row > b_.limits().maxRows || column > b_.limits().maxColumns)
            b_.checkBounds(row, column);
        const int ri = static_cast<int>(row);
        const int ci = static_cast<int>(column);
        const std::string_view value = value_;
        if (type == "s") {
            const std::string_view v = trimmedView(value);
            qint64 index = -1;
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), index);
            if (ec != std::errc() || ptr != v.data() + v.size() || index < 0 ||
                index >= strings_.size())
                b_.fail(QStringLiteral("una celda remite a un texto que el libro no tiene"));
            b_.setText(ri, ci, strings_.at(index));
        } else if (type == "str" || type == "inlineStr" || type == "e") {
            b_.setText(ri, ci, unescapeOoxml(fromUtf8(value)));
        } else if (type == "b") {
            const std::string_view v = trimmedView(value);
            b_.setBoolean(ri, ci, v == "1" || v == "true");
        } else if (type == "d") {
            const QDateTime when = QDateTime::fromString(fromUtf8(trimmedView(value)), Qt::ISODate);
            if (when.isValid())
                b_.setDateTime(ri, ci, when.date(), when.time());
            else
                b_.setText(ri, ci, fromUtf8(value));
        } else {
            const std::string_view v = trimmedView(value);
            if (!isDateStyle(style) && plainDecimal(v)) {
                QString text = QString::fromLatin1(v.data(), qsizetype(v.size()));
                text.replace(QLatin1Char('.'), b_.locale().decimalPoint());
                b_.setText(ri, ci, text);
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

    ZipPackage zip_;
    SheetBuilder& b_;
    QStringList strings_;
    std::vector<bool> dateStyles_;
    bool date1904_ = false;
    std::string value_;
};

} // namespace

void readXlsx(const QByteArray& data, SheetBuilder& builder) {
    XlsxReader(data, builder).run();
}

} // namespace corvelix
