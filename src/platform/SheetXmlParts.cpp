// The XML parts of a zip package: the package itself, read part by part through the expansion
// budget, and the expat reading of its parts.
#include "platform/SheetXmlParts.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

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

void ZipPackage::stream(const QString& name, const std::function<void(QIODevice&)>& consume) {
    if (!d->zip.setCurrentFile(name, QuaZip::csInsensitive))
        builder_.fail(QStringLiteral("le falta la parte %1").arg(name));
    QuaZipFileInfo64 info;
    if (d->zip.getCurrentFileInfo(&info) && (info.flags & 1))
        builder_.fail(QStringLiteral("está protegido con contraseña"));
    QuaZipFile file(&d->zip);
    if (!file.open(QIODevice::ReadOnly))
        builder_.fail(reasonCorruptZip());
    BudgetDevice device(file, builder_);
    consume(device);
    if (device.exceeded())
        builder_.fail(reasonTooLarge(builder_.limits().maxExpandedBytes));
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
    file.close();
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
}

void ZipPackage::parseXml(const QString& name,
                          const std::function<void(QXmlStreamReader&)>& parse) {
    QXmlStreamReader xml;
    stream(name, [&](QIODevice& device) {
        xml.setDevice(&device);
        parse(xml);
    });
    if (xml.hasError())
        builder_.failXml(xml, name);
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

// ---- parts read with expat ----

namespace {

// Names come as "namespace<kNsSeparator>local", or "local" alone outside any namespace. No
// name or namespace in a document can hold this byte.
constexpr XML_Char kNsSeparator = '\x01';

// Single-byte encodings other than those expat knows (windows-1252 and the like), through
// Qt's codecs.
int XMLCALL unknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
    QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return XML_STATUS_ERROR;
    for (int i = 0; i < 256; ++i) {
        const char byte = char(i);
        const QString c = decoder.decode(QByteArrayView(&byte, 1));
        info->map[i] =
            !decoder.hasError() && c.size() == 1 && !c.at(0).isSurrogate() ? c.at(0).unicode() : -1;
        decoder.resetState();
    }
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

} // namespace

// Reads one part of the package through a handler, as the part inflates.
class PartParser {
public:
    PartParser(PartHandler& handler, std::span<const std::string_view> namespaces)
        : handler_(handler), namespaces_(namespaces),
          parser_(XML_ParserCreateNS(nullptr, kNsSeparator)) {
        if (!parser_)
            throw std::bad_alloc();
        handler_.parser_ = parser_;
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &PartParser::onStart, &PartParser::onEnd);
        XML_SetCharacterDataHandler(parser_, &PartParser::onText);
        XML_SetStartDoctypeDeclHandler(parser_, &PartParser::onDoctype);
        XML_SetUnknownEncodingHandler(parser_, unknownEncoding, nullptr);
    }
    ~PartParser() { XML_ParserFree(parser_); }
    PartParser(const PartParser&) = delete;
    PartParser& operator=(const PartParser&) = delete;

    // Fails the reading with the part's name and line when its XML is damaged.
    void run(ZipPackage& zip, SheetBuilder& builder, const QString& part) {
        constexpr int kChunk = 256 * 1024;
        bool damaged = false;
        zip.stream(part, [&](QIODevice& device) {
            for (;;) {
                void* buffer = XML_GetBuffer(parser_, kChunk);
                if (!buffer)
                    throw std::bad_alloc();
                const qint64 n = device.read(static_cast<char*>(buffer), kChunk);
                if (n < 0) {
                    damaged = true; // the zip's damage or the budget, told first by the package
                    return;
                }
                if (XML_ParseBuffer(parser_, int(n), n == 0) != XML_STATUS_OK) {
                    damaged = !handler_.stopped_;
                    return;
                }
                if (n == 0)
                    return;
            }
        });
        if (error_)
            std::rethrow_exception(error_);
        if (damaged || doctype_)
            builder.fail(QStringLiteral("el contenido de %1 está dañado (línea %2)")
                             .arg(part)
                             .arg(qint64(XML_GetCurrentLineNumber(parser_))));
    }

private:
    [[nodiscard]] bool ours(std::string_view ns) const {
        return ns.empty() ||
               std::find(namespaces_.begin(), namespaces_.end(), ns) != namespaces_.end();
    }

    // The name split, and whether it is in one of our namespaces. Nearly every name of a part
    // is in one of them: those are recognised by their start, without measuring the long
    // namespace first.
    [[nodiscard]] bool split(const XML_Char* name, XmlName& out) const {
        for (const std::string_view ns : namespaces_) {
            if (std::strncmp(name, ns.data(), ns.size()) == 0 && name[ns.size()] == kNsSeparator) {
                out = {std::string_view(name, ns.size()), std::string_view(name + ns.size() + 1)};
                return true;
            }
        }
        out = splitXmlName(name);
        return ours(out.ns);
    }

    // An exception must not cross expat's frames: it waits for the end of the parse.
    template <typename F> void guarded(F&& f) {
        try {
            f();
        } catch (...) {
            error_ = std::current_exception();
            XML_StopParser(parser_, XML_FALSE);
        }
    }

    static void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** atts) {
        auto& self = *static_cast<PartParser*>(user);
        if (self.foreign_ > 0) {
            ++self.foreign_;
            return;
        }
        XmlName n;
        if (!self.split(name, n)) {
            self.foreign_ = 1;
            return;
        }
        self.guarded([&] { self.handler_.start(n.local, atts); });
    }
    static void XMLCALL onEnd(void* user, const XML_Char* name) {
        auto& self = *static_cast<PartParser*>(user);
        if (self.foreign_ > 0) {
            --self.foreign_;
            return;
        }
        XmlName n;
        (void)self.split(name, n);
        self.guarded([&] { self.handler_.end(n.local); });
    }
    static void XMLCALL onText(void* user, const XML_Char* s, int n) {
        auto& self = *static_cast<PartParser*>(user);
        if (self.foreign_ == 0)
            self.guarded([&] { self.handler_.text(s, n); });
    }
    // Workbook parts have no document type; one here is damage (or an entity bomb).
    static void XMLCALL onDoctype(void* user, const XML_Char*, const XML_Char*, const XML_Char*,
                                  int) {
        auto& self = *static_cast<PartParser*>(user);
        self.doctype_ = true;
        XML_StopParser(self.parser_, XML_FALSE);
    }

    PartHandler& handler_;
    std::span<const std::string_view> namespaces_;
    XML_Parser parser_;
    int foreign_ = 0; // depth inside an element of another namespace
    bool doctype_ = false;
    std::exception_ptr error_;
};

XmlName splitXmlName(const XML_Char* name) {
    const std::string_view s(name);
    const auto at = s.rfind(kNsSeparator);
    if (at == std::string_view::npos)
        return {{}, s};
    return {s.substr(0, at), s.substr(at + 1)};
}

std::string_view xmlAttribute(const XML_Char** atts, std::string_view local) {
    for (; *atts; atts += 2)
        if (std::strncmp(*atts, local.data(), local.size()) == 0 && (*atts)[local.size()] == '\0')
            return atts[1];
    return {};
}

std::string_view xmlAttribute(const XML_Char** atts, std::span<const std::string_view> namespaces,
                              std::string_view local) {
    for (; *atts; atts += 2) {
        const XmlName n = splitXmlName(*atts);
        if (n.local == local &&
            std::find(namespaces.begin(), namespaces.end(), n.ns) != namespaces.end())
            return atts[1];
    }
    return {};
}

void PartHandler::stop() {
    stopped_ = true;
    XML_StopParser(parser_, XML_FALSE);
}

void parsePart(ZipPackage& zip, SheetBuilder& builder, const QString& part, PartHandler& handler,
               std::span<const std::string_view> namespaces) {
    PartParser(handler, namespaces).run(zip, builder, part);
}

} // namespace corvelix
