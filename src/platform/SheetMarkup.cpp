// A watch over the markup of an XML part as its bytes go by, before any parser sees them:
// the parsers check an element's attributes against each other, which takes time growing
// with the square of their number, so an element with too many is refused up front.
#include "platform/SheetFormats.h"

#include <array>
#include <cstring>
#include <string_view>

namespace corvelix {

namespace {

// The characters that matter inside a tag: its end, an attribute's '=' and the quotes.
constexpr std::array<bool, 256> kInTag = [] {
    std::array<bool, 256> table{};
    for (const char c : {'>', '=', '"', '\''})
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

} // namespace

bool MarkupGuard::feed(const char* data, qint64 size) {
    const char* p = data;
    const char* const end = data + size;
    while (p < end && !crowded_) {
        switch (state_) {
        case State::Text: {
            const void* open = std::memchr(p, '<', std::size_t(end - p));
            if (!open)
                return true;
            p = static_cast<const char*>(open) + 1;
            state_ = State::Open;
            break;
        }
        case State::Open: {
            const char c = *p++;
            if (c == '!') {
                state_ = State::Bang;
                matched_ = 0;
            } else if (c == '?' || c == '/') {
                state_ = State::Other;
            } else {
                state_ = State::Tag;
                attributes_ = 0;
            }
            break;
        }
        case State::Tag:
            // Names and spaces go by at a look-up each; a quoted value is passed at once.
            while (state_ == State::Tag) {
                while (p < end && !kInTag[static_cast<unsigned char>(*p)])
                    ++p;
                if (p == end)
                    return true;
                const char c = *p++;
                if (c == '>') {
                    state_ = State::Text;
                } else if (c == '=') {
                    if (++attributes_ > kMaxAttributes) {
                        crowded_ = true;
                        return false;
                    }
                } else {
                    const void* close = std::memchr(p, c, std::size_t(end - p));
                    if (!close) {
                        state_ = State::Quoted;
                        quote_ = c;
                        return true;
                    }
                    p = static_cast<const char*>(close) + 1;
                }
            }
            break;
        case State::Quoted: {
            const void* close = std::memchr(p, quote_, std::size_t(end - p));
            if (!close)
                return true;
            p = static_cast<const char*>(close) + 1;
            state_ = State::Tag;
            break;
        }
        case State::Bang: {
            // "<!--" opens a comment, "<![CDATA[" a text; anything else (a document type)
            // runs to the next '>'.
            static constexpr std::string_view kComment = "--";
            static constexpr std::string_view kCData = "[CDATA[";
            const char c = *p++;
            if (c == '>') {
                state_ = State::Text;
                break;
            }
            opening_[matched_++] = c;
            const std::string_view seen(opening_, matched_);
            if (seen == kComment || seen == kCData) {
                state_ = seen == kComment ? State::Comment : State::CData;
                matched_ = 0;
            } else if (!kComment.starts_with(seen) && !kCData.starts_with(seen)) {
                state_ = State::Other;
            }
            break;
        }
        case State::Comment:
        case State::CData: {
            // "-->" or "]]>": two of the character, then '>'.
            const char twice = state_ == State::Comment ? '-' : ']';
            const char c = *p++;
            if (c == twice)
                ++matched_;
            else if (c == '>' && matched_ >= 2)
                state_ = State::Text;
            else
                matched_ = 0;
            break;
        }
        case State::Other: {
            const void* close = std::memchr(p, '>', std::size_t(end - p));
            if (!close)
                return true;
            p = static_cast<const char*>(close) + 1;
            state_ = State::Text;
            break;
        }
        }
    }
    return !crowded_;
}

QString reasonCrowdedElement(const QString& content) {
    return QStringLiteral("%1 tiene un elemento con más de %2 atributos")
        .arg(content)
        .arg(MarkupGuard::kMaxAttributes);
}

} // namespace corvelix
