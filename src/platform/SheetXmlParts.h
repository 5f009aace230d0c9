#pragma once

// Inside the spreadsheet reader: the XML parts of a zip package read with expat as they
// inflate, names resolved to their namespaces.
#include "platform/SheetFormats.h"

#include <expat.h>

#include <span>
#include <string_view>

namespace corvelix {

struct XmlName {
    std::string_view ns; // empty outside any namespace
    std::string_view local;
};

// An element's or attribute's name as expat gives it.
XmlName splitXmlName(const XML_Char* name);

// The value of an attribute without a namespace (as the format's own attributes are, apart
// from relationship ids); empty when absent. Values come with their references decoded.
std::string_view xmlAttribute(const XML_Char** atts, std::string_view local);
// The value of an attribute `local` in one of `namespaces`.
std::string_view xmlAttribute(const XML_Char** atts, std::span<const std::string_view> namespaces,
                              std::string_view local);

// What a part's reading does with its elements. It sees only the elements of the part's own
// namespaces (and those without one), by their local names; another writer's extensions, in
// namespaces of their own, are passed over with everything inside them.
class PartHandler {
public:
    virtual ~PartHandler() = default;
    virtual void start(std::string_view name, const XML_Char** atts) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(const XML_Char* /*s*/, int /*n*/) {}

protected:
    // Nothing further in the part is needed: the reading stops here.
    void stop();

private:
    friend class PartParser;
    XML_Parser parser_ = nullptr;
    bool stopped_ = false;
};

// Reads `part` through `handler`. The part's damage, a bomb, bad XML or a document type fail
// the read (bad XML with the part's name and line); what the handler throws comes through.
void parsePart(ZipPackage& zip, SheetBuilder& builder, const QString& part, PartHandler& handler,
               std::span<const std::string_view> namespaces);

} // namespace corvelix
