// The plain XML that spreadsheet programs write, read by a scanner of its own: the general
// parser spends most of a large sheet's reading on what such a part never holds. Anything
// else, damage included, sends the part back to the parser, which reads all of XML and
// tells the damage.
#include "platform/SheetXmlParts.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace corvelix {

namespace {

// The classes of the bytes, looked up: every byte of a part is asked about.
enum ByteClass : unsigned char {
    kSpace = 1,
    kNameStart = 2, // letters and '_'
    kNameChar = 4,  // those, digits, '-' and '.'
    kPlainText = 8, // ASCII that text holds as it stands: not '<', '&', ']' or a control
};

constexpr std::array<unsigned char, 256> kByteClass = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 128; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool name = letter || (c >= '0' && c <= '9') || c == '-' || c == '.';
        const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        const bool plain =
            (c >= 0x20 || c == '\t' || c == '\n') && c != '<' && c != '&' && c != ']';
        table[std::size_t(c)] = (space ? kSpace : 0) | (letter ? kNameStart : 0) |
                                (name ? kNameChar : 0) | (plain ? kPlainText : 0);
    }
    return table;
}();

bool is(char c, ByteClass kind) {
    return kByteClass[static_cast<unsigned char>(c)] & kind;
}

bool isSpace(char c) {
    return is(c, kSpace);
}

bool isNameStart(char c) {
    return is(c, kNameStart);
}

bool isNameChar(char c) {
    return is(c, kNameChar);
}

// The bytes of a valid UTF-8 character of XML at `p` (before `end`); 0 when there is none,
// -1 when `end` cuts it.
int utf8Length(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = p[0];
    int n = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p < n)
        return -1;
    if (p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < n; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    if (c == 0xEF && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF))
        return 0; // U+FFFE and U+FFFF are no characters of XML
    return n;
}

constexpr const char* kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

std::string_view view(const unsigned char* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

} // namespace

class QuickParser {
public:
    QuickParser(PartHandler& handler, std::span<const std::string_view> namespaces)
        : handler_(handler), namespaces_(namespaces) {
        prefixes_.reserve(kMaxAttributes); // the attributes point into them
    }

    // Whether the whole part was read (or as far as the handler wanted).
    bool run(QIODevice& device) {
        device_ = &device;
        buffer_.resize(kBuffer);
        if (!fill() || !declaration())
            return false;
        for (;;) {
            if (handler_.stopped_)
                return true;
            if (pos_ == end_ && !fill())
                return !failed_ && depth_ == 0 && sawRoot_;
            if (buffer_[pos_] == '<') {
                if (!tag())
                    return false;
            } else if (!text()) {
                return false;
            }
        }
    }
    [[nodiscard]] qint64 bytesRead() const { return read_; }

private:
    static constexpr std::size_t kBuffer = 256 * 1024;
    static constexpr int kMaxAttributes = 16; // more than the parts read here put on an element
    // Far deeper than any workbook goes: a deeper part goes to the parser, which refuses
    // those past a depth of 256.
    static constexpr int kMaxDepth = 64;

    // Reads more of the part after what is kept from `pos_`; false at its end or failure.
    bool fill() {
        if (pos_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
        }
        if (end_ == buffer_.size())
            return false; // a token longer than the buffer
        const qint64 n = device_->read(buffer_.data() + end_, qint64(buffer_.size() - end_));
        if (n < 0)
            failed_ = true;
        if (n <= 0)
            return false;
        read_ += n;
        end_ += std::size_t(n);
        return true;
    }

    // `<?xml version="1.0" encoding="UTF-8" standalone="yes"?>`, each but the version
    // optional, or none at all.
    bool declaration() {
        static constexpr std::string_view kOpen = "<?xml";
        while (end_ - pos_ < 256 && fill()) {
        }
        const std::string_view head(buffer_.data() + pos_, end_ - pos_);
        if (!head.starts_with(kOpen))
            return head.starts_with('<');
        const std::size_t close = head.find("?>");
        if (close == std::string_view::npos || close == kOpen.size())
            return false;
        std::string_view rest = head.substr(kOpen.size(), close - kOpen.size());
        const auto pseudo = [&rest](std::string_view name, auto accept) {
            std::size_t i = 0;
            while (i < rest.size() && isSpace(rest[i]))
                ++i;
            if (i == 0 || rest.substr(i, name.size()) != name)
                return false;
            i += name.size();
            while (i < rest.size() && isSpace(rest[i]))
                ++i;
            if (i == rest.size() || rest[i] != '=')
                return false;
            ++i;
            while (i < rest.size() && isSpace(rest[i]))
                ++i;
            if (i == rest.size() || (rest[i] != '"' && rest[i] != '\''))
                return false;
            const std::size_t endQuote = rest.find(rest[i], i + 1);
            if (endQuote == std::string_view::npos || !accept(rest.substr(i + 1, endQuote - i - 1)))
                return false;
            rest.remove_prefix(endQuote + 1);
            return true;
        };
        if (!pseudo("version", [](std::string_view v) { return v == "1.0"; }))
            return false;
        pseudo("encoding", [](std::string_view v) { return v == "UTF-8" || v == "utf-8"; });
        pseudo("standalone", [](std::string_view v) { return v == "yes" || v == "no"; });
        for (const char c : rest)
            if (!isSpace(c))
                return false; // an encoding of another name, or what the parser must judge
        pos_ += close + 2;
        return true;
    }

    // Text up to the next tag, handed over in pieces; outside the document's element only
    // blanks, which nobody is handed. Character references and any character outside plain
    // UTF-8 text send the part back.
    bool text() {
        if (depth_ == 0) {
            while (pos_ < end_ && isSpace(buffer_[pos_]))
                ++pos_;
            return pos_ == end_ || buffer_[pos_] == '<';
        }
        const auto* const bytes = reinterpret_cast<const unsigned char*>(buffer_.data());
        for (;;) {
            const std::size_t start = pos_;
            bool cut = false; // a character the buffer's end cuts
            while (pos_ < end_) {
                const unsigned char c = bytes[pos_];
                if (kByteClass[c] & kPlainText) {
                    ++pos_;
                    continue;
                }
                if (c == '<' || c == '&' || c == ']')
                    break;
                if (c < 0x80)
                    return false; // a control character; the parser turns a CR into a line end
                const int n = utf8Length(bytes + pos_, bytes + end_);
                if (n == 0)
                    return false;
                if (n < 0) {
                    cut = true;
                    break;
                }
                pos_ += std::size_t(n);
            }
            if (pos_ > start)
                handler_.text(buffer_.data() + start, int(pos_ - start));
            if (pos_ < end_ && !cut) {
                const char c = buffer_[pos_];
                if (c == '<')
                    return true;
                if (c == '&')
                    return false;
                // "]]>" is no text; a ']' alone is.
                while (end_ - pos_ < 3)
                    if (!fill())
                        return false;
                if (buffer_[pos_ + 1] == ']' && buffer_[pos_ + 2] == '>')
                    return false;
                handler_.text(buffer_.data() + pos_, 1);
                ++pos_;
                continue;
            }
            if (!fill())
                return !failed_ && !cut;
        }
    }

    enum class Tag { Read, Other, Cut };

    // The tag at `pos_`, read again once more of the part is in when the buffer's end cuts it.
    bool tag() {
        for (;;) {
            const Tag t = pos_ + 1 == end_           ? Tag::Cut
                          : buffer_[pos_ + 1] == '/' ? endTag()
                                                     : startTag();
            if (t != Tag::Cut)
                return t == Tag::Read;
            if (!fill())
                return false;
        }
    }

    // A name of letters, digits, '_', '-' and '.' from `p`, taking one ':' when `colon` is
    // given (set to it); where it ends, or null when there is none.
    static const char* name(const char* p, const char* end, const char** colon) {
        if (p == end || !isNameStart(*p))
            return nullptr;
        ++p;
        while (p < end && (isNameChar(*p) || (*p == ':' && colon && !*colon))) {
            if (*p == ':') {
                *colon = p;
                if (p + 1 == end || !isNameStart(p[1]))
                    return nullptr;
            }
            ++p;
        }
        return p;
    }

    static const char* skipSpaces(const char* p, const char* end) {
        while (p < end && isSpace(*p))
            ++p;
        return p;
    }

    Tag startTag() {
        const char* const end = buffer_.data() + end_;
        const char* p = buffer_.data() + pos_ + 1;
        if (p == end)
            return Tag::Cut;
        if (*p == '!' || *p == '?')
            return Tag::Other; // comments, CDATA, a document type, instructions
        const char* const nameEnd = name(p, end, nullptr);
        if (!nameEnd)
            return Tag::Other;
        if (nameEnd == end)
            return Tag::Cut;
        const std::string_view element(p, std::size_t(nameEnd - p));
        const std::size_t declaredBefore = prefixes_.size();
        bool declared = false; // the default namespace
        int count = 0;
        // Filled as far as `count`: a tag is read at every element, so nothing is set twice.
        std::size_t nameEnds[kMaxAttributes];          // offsets in the buffer
        const unsigned char* atts[5 * kMaxAttributes]; // as the parser hands them over
        const auto other = [&] {
            prefixes_.resize(declaredBefore);
            return Tag::Other;
        };
        const auto cut = [&] {
            prefixes_.resize(declaredBefore);
            return Tag::Cut;
        };
        p = nameEnd;
        bool empty = false;
        for (;;) {
            const char* const spaceStart = p;
            p = skipSpaces(p, end);
            if (p == end)
                return cut();
            if (*p == '>')
                break;
            if (*p == '/') {
                if (p + 1 == end)
                    return cut();
                if (p[1] != '>')
                    return other();
                empty = true;
                ++p;
                break;
            }
            if (p == spaceStart)
                return other(); // attributes go apart, and an element's name has no ':'
            const char* colon = nullptr;
            const char* const attEnd = name(p, end, &colon);
            if (!attEnd)
                return other();
            const std::string_view attName(p, std::size_t(attEnd - p));
            p = skipSpaces(attEnd, end);
            if (p == end)
                return cut();
            if (*p != '=')
                return other();
            p = skipSpaces(p + 1, end);
            if (p == end)
                return cut();
            if (*p != '"' && *p != '\'')
                return other();
            const char quote = *p++;
            const char* const value = p;
            while (p < end && *p != quote) {
                const auto c = static_cast<unsigned char>(*p);
                // References, '<', line ends the parser turns into spaces, other bytes.
                if (c == '&' || c == '<' || c < 0x20 || c >= 0x80)
                    return other();
                ++p;
            }
            if (p == end)
                return cut();
            const std::string_view attValue(value, std::size_t(p - value));
            ++p;
            if (attName == "xmlns") {
                if (depth_ > 0 || declared ||
                    std::find(namespaces_.begin(), namespaces_.end(), attValue) ==
                        namespaces_.end())
                    return other(); // the parser sorts out other namespaces
                declared = true;
                continue;
            }
            const char* uri = nullptr;
            if (colon) {
                const std::string_view prefix(attName.data(), std::size_t(colon - attName.data()));
                if (prefix == "xmlns") {
                    const std::string_view newPrefix = attName.substr(prefix.size() + 1);
                    if (depth_ > 0 || prefixes_.size() == kMaxAttributes || attValue.empty() ||
                        newPrefix == "xml" || newPrefix == "xmlns" || uriOf(newPrefix))
                        return other();
                    prefixes_.push_back({std::string(newPrefix), std::string(attValue)});
                    continue;
                }
                uri = uriOf(prefix);
                if (!uri)
                    return other(); // a prefix never declared
            }
            if (count == kMaxAttributes)
                return other();
            atts[5 * count] =
                reinterpret_cast<const unsigned char*>(colon ? colon + 1 : attName.data());
            nameEnds[std::size_t(count)] = std::size_t(attEnd - buffer_.data());
            atts[5 * count + 1] = nullptr; // the prefix, which nobody asks for
            atts[5 * count + 2] = reinterpret_cast<const unsigned char*>(uri);
            atts[5 * count + 3] = reinterpret_cast<const unsigned char*>(attValue.data());
            atts[5 * count + 4] =
                reinterpret_cast<const unsigned char*>(attValue.data() + attValue.size());
            ++count;
        }
        // No attribute twice, by its local name and namespace.
        const auto localName = [&](int i) {
            const char* const begin = reinterpret_cast<const char*>(atts[5 * i]);
            return std::string_view(begin, buffer_.data() + nameEnds[std::size_t(i)] - begin);
        };
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < i; ++j)
                if (localName(i) == localName(j) && view(atts[5 * i + 2]) == view(atts[5 * j + 2]))
                    return other();
        if (depth_ == kMaxDepth)
            return other();
        if (depth_ == 0) {
            if (sawRoot_)
                return other();
            sawRoot_ = true;
        }
        pos_ = std::size_t(p + 1 - buffer_.data());
        // The names end in the buffer where a '=' or a blank stood: the tag is read.
        for (int i = 0; i < count; ++i)
            buffer_[nameEnds[std::size_t(i)]] = '\0';
        push(element);
        handler_.start(XmlName(open_.data() + starts_.back()), XmlAttributes(atts, count));
        if (empty && !handler_.stopped_)
            pop();
        return Tag::Read;
    }

    Tag endTag() {
        const char* const end = buffer_.data() + end_;
        const char* const start = buffer_.data() + pos_ + 2;
        const char* const nameEnd = name(start, end, nullptr);
        if (!nameEnd)
            return start == end ? Tag::Cut : Tag::Other;
        const char* const close = skipSpaces(nameEnd, end);
        if (close == end)
            return Tag::Cut;
        if (*close != '>' || starts_.empty() ||
            std::string_view(start, std::size_t(nameEnd - start)) !=
                std::string_view(open_.data() + starts_.back(), open_.size() - 1 - starts_.back()))
            return Tag::Other;
        pos_ = std::size_t(close + 1 - buffer_.data());
        pop();
        return Tag::Read;
    }

    // An element opens: its name on the stack of open ones, each followed by a zero.
    void push(std::string_view element) {
        starts_.push_back(open_.size());
        open_.append(element);
        open_.push_back('\0');
        ++depth_;
    }
    // The innermost open element ends.
    void pop() {
        handler_.end(XmlName(open_.data() + starts_.back()));
        open_.resize(starts_.back());
        starts_.pop_back();
        --depth_;
    }

    [[nodiscard]] const char* uriOf(std::string_view prefix) const {
        if (prefix == "xml")
            return kXmlNamespace;
        for (const auto& [name, uri] : prefixes_)
            if (name == prefix)
                return uri.c_str();
        return nullptr;
    }

    PartHandler& handler_;
    std::span<const std::string_view> namespaces_;
    QIODevice* device_ = nullptr;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    qint64 read_ = 0;
    bool failed_ = false;
    bool sawRoot_ = false;
    int depth_ = 0;
    std::string open_;                // the names of the open elements, each ended by a zero
    std::vector<std::size_t> starts_; // where each begins in `open_`
    std::vector<std::pair<std::string, std::string>> prefixes_; // declared on the first element
};

bool parsePartQuickly(ZipPackage& zip, SheetBuilder& builder, const QString& part,
                      PartHandler& handler, std::span<const std::string_view> namespaces) {
    bool read = false;
    qint64 bytes = 0;
    std::exception_ptr error; // the handler's, told once the package has told its own
    zip.stream(
        part,
        [&](QIODevice& device) {
            QuickParser parser(handler, namespaces);
            try {
                read = parser.run(device);
            } catch (...) {
                error = std::current_exception();
            }
            bytes = parser.bytesRead();
        },
        false); // no element gets past kMaxAttributes here
    if (error)
        std::rethrow_exception(error);
    if (!read)
        builder.addExpanded(-bytes); // read again by the parser
    return read;
}

} // namespace corvelix
