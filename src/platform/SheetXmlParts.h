#pragma once

// Inside the spreadsheet reader: the XML parts of a zip package read with libxml2's push
// parser as they inflate, names resolved to their namespaces.
#include "platform/SheetFormats.h"

#include <cstddef>
#include <forward_list>
#include <span>
#include <string>
#include <string_view>

namespace corvelix {

// The bytes of a cell's text kept while it is read: enough to hold more than the characters a
// cell may have however they are written (a "_x000D_" escape of .xlsx takes seven bytes for
// one), so a longer text is still told, without keeping all of it.
constexpr std::size_t kMaxCellBytes = 7 * std::size_t(kMaxCellText + 1) + 7;

// A local name as the parser keeps it, compared with the names of the format (literals)
// without measuring it first: a part holds hundreds of thousands of them.
class XmlName {
public:
    explicit XmlName(const char* name) : name_(name) {}
    // Equal up to and including the terminating zero.
    template <std::size_t N> bool operator==(const char (&other)[N]) const {
        for (std::size_t i = 0; i < N; ++i)
            if (name_[i] != other[i])
                return false;
        return true;
    }

private:
    const char* name_;
};

// An element's attributes as the parser hands them over, their values decoded: the parser
// decodes every reference but "&amp;", which it hands over as "&#38;".
class XmlAttributes {
public:
    // `atts` holds five pointers per attribute: local name, prefix, namespace, value, value end.
    XmlAttributes(const unsigned char** atts, int count) : atts_(atts), count_(count) {}

    // The value of an attribute without a namespace (as the format's own attributes are,
    // apart from relationship ids); empty when absent. It lives as long as the attributes.
    template <std::size_t N> [[nodiscard]] std::string_view value(const char (&local)[N]) const {
        for (int i = 0; i < count_; ++i) {
            const unsigned char* const* a = atts_ + 5 * i;
            if (!a[2] && XmlName(reinterpret_cast<const char*>(a[0])) == local)
                return decoded(a[3], a[4]);
        }
        return {};
    }
    // The value of an attribute `local` in one of `namespaces`.
    [[nodiscard]] std::string_view value(std::span<const std::string_view> namespaces,
                                         std::string_view local) const;

private:
    [[nodiscard]] std::string_view decoded(const unsigned char* begin,
                                           const unsigned char* end) const {
        const std::string_view v(reinterpret_cast<const char*>(begin), std::size_t(end - begin));
        // Values are short (a cell's reference, type, style): a loop beats a call.
        for (const char c : v)
            if (c == '&')
                return decodedCopy(v);
        return v;
    }
    [[nodiscard]] std::string_view decodedCopy(std::string_view v) const;

    const unsigned char** atts_;
    int count_;
    mutable std::forward_list<std::string> decoded_; // values that needed decoding
};

// What a part's reading does with its elements. It sees only the elements of the part's own
// namespaces (and those without one), by their local names; another writer's extensions, in
// namespaces of their own, are passed over with everything inside them.
class PartHandler {
public:
    virtual ~PartHandler() = default;
    virtual void start(XmlName name, const XmlAttributes& atts) = 0;
    virtual void end(XmlName name) = 0;
    virtual void text(const char* /*s*/, int /*n*/) {}

protected:
    // Nothing further in the part is needed: the reading stops here.
    void stop();

private:
    friend class PartParser;
    friend class QuickParser;
    void* parser_ = nullptr; // the parser's context
    bool stopped_ = false;
};

// Reads `part` through `handler`. The part's damage, a bomb, bad XML or a document type fail
// the read (bad XML with the part's name and line); what the handler throws comes through.
void parsePart(ZipPackage& zip, SheetBuilder& builder, const QString& part, PartHandler& handler,
               std::span<const std::string_view> namespaces);

// Reads `part` through `handler` by a scanner of its own, many times quicker than the parser,
// when the part keeps to the plain XML that spreadsheet programs write: UTF-8, namespaces
// declared on the first element, no references, comments, CDATA or document type. False
// when it holds anything else, the handler having seen part of it perhaps: the caller starts
// over with parsePart, which reads all of XML and tells the damage. The package's damage and
// a bomb fail the read; what the handler throws comes through.
bool parsePartQuickly(ZipPackage& zip, SheetBuilder& builder, const QString& part,
                      PartHandler& handler, std::span<const std::string_view> namespaces);

} // namespace corvelix
