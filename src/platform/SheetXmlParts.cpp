// The XML parts of a zip package: the package itself, read part by part through the expansion
// budget, and the libxml2 reading of its parts.
#include "platform/SheetXmlParts.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <libxml/SAX2.h>
#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <vector>

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

void ZipPackage::stream(const QString& name, const std::function<void(QIODevice&)>& consume,
                        bool watchMarkup) {
    if (!d->zip.setCurrentFile(name, QuaZip::csInsensitive))
        builder_.fail(QStringLiteral("le falta la parte %1").arg(name));
    QuaZipFileInfo64 info;
    if (d->zip.getCurrentFileInfo(&info) && (info.flags & 1))
        builder_.fail(QStringLiteral("está protegido con contraseña"));
    QuaZipFile file(&d->zip);
    if (!file.open(QIODevice::ReadOnly))
        builder_.fail(reasonCorruptZip());
    BudgetDevice device(file, builder_, watchMarkup);
    consume(device);
    if (device.crowded())
        builder_.fail(reasonCrowdedElement(QStringLiteral("el contenido de ") + name));
    if (device.exceeded())
        builder_.fail(reasonTooLarge(builder_.limits().maxExpandedBytes));
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
    file.close();
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
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

// ---- parts read with libxml2 ----

namespace {

// The parser's own reports go nowhere: a damaged part is told in Spanish by the reading.
void quiet(void*, const char*, ...) {}

// Keeps the thread's generic error channel quiet while a part is parsed (the encoding
// converters report there, outside the parser's context).
class QuietErrors {
public:
    QuietErrors() : function_(xmlGenericError), context_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, quiet);
    }
    ~QuietErrors() { xmlSetGenericErrorFunc(context_, function_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    xmlGenericErrorFunc function_;
    void* context_;
};

std::string_view view(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

} // namespace

// Reads one part of the package through a handler, as the part inflates.
class PartParser {
public:
    PartParser(PartHandler& handler, std::span<const std::string_view> namespaces)
        : handler_(handler), namespaces_(namespaces) {
        static const bool initialised = [] {
            xmlInitParser();
            return true;
        }();
        (void)initialised;
        sax_.initialized = XML_SAX2_MAGIC;
        sax_.startElementNs = &PartParser::onStart;
        sax_.endElementNs = &PartParser::onEnd;
        sax_.characters = &PartParser::onText;
        sax_.cdataBlock = &PartParser::onText;
        sax_.internalSubset = &PartParser::onDoctype;
        sax_.serror = &PartParser::onError;
    }
    ~PartParser() {
        if (ctxt_)
            xmlFreeParserCtxt(ctxt_);
    }
    PartParser(const PartParser&) = delete;
    PartParser& operator=(const PartParser&) = delete;

    // Fails the reading with the part's name and line when its XML is damaged.
    void run(ZipPackage& zip, SheetBuilder& builder, const QString& part) {
        const QuietErrors quietErrors;
        bool unreadable = false;
        zip.stream(part, [&](QIODevice& device) {
            // The parser pulls the part as it inflates: pushed chunk by chunk, it would look
            // ahead for the end of every tag and text before parsing it.
            device_ = &device;
            buffer_.resize(kChunk);
            ctxt_ = xmlCreateIOParserCtxt(&sax_, this, &PartParser::onRead, nullptr, this,
                                          XML_CHAR_ENCODING_NONE);
            if (!ctxt_)
                throw std::bad_alloc();
            xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET);
            handler_.parser_ = ctxt_;
            xmlParseDocument(ctxt_);
            // The zip's damage or the budget, told first by the package.
            unreadable = unreadable_;
        });
        if (error_)
            std::rethrow_exception(error_);
        // An encoding the parser cannot convert is named as such; an EBCDIC page whose quotes
        // are elsewhere than in the page the parser takes it for fails before its first
        // element, or comes through as no element at all and no error.
        const bool ebcdic =
            head_.size() == 4 &&
            xmlDetectCharEncoding(reinterpret_cast<const unsigned char*>(head_.data()),
                                  int(head_.size())) == XML_CHAR_ENCODING_EBCDIC;
        if (!unreadable && !doctype_ &&
            (erred_ ? errorCode_ == XML_ERR_UNSUPPORTED_ENCODING || (ebcdic && !sawElement_)
                    : !sawElement_))
            builder.fail(QStringLiteral("el contenido de %1 está en una codificación que no se "
                                        "puede leer")
                             .arg(part));
        const bool damaged = unreadable || doctype_ || erred_ ||
                             (!handler_.stopped_ && (!ctxt_->wellFormed || !ctxt_->nsWellFormed));
        if (damaged)
            builder.fail(QStringLiteral("el contenido de %1 está dañado (línea %2)")
                             .arg(part)
                             .arg(errorLine_ > 0 ? errorLine_ : xmlSAX2GetLineNumber(ctxt_)));
    }

private:
    // Whether a namespace is one of ours; nearly every element of a part is in the same one,
    // whose name the parser keeps in one place.
    [[nodiscard]] bool ours(const xmlChar* uri) {
        if (uri == lastUri_)
            return lastOurs_;
        const std::string_view ns = view(uri);
        lastUri_ = uri;
        lastOurs_ = ns.empty() ||
                    std::find(namespaces_.begin(), namespaces_.end(), ns) != namespaces_.end();
        return lastOurs_;
    }

    // Hands the parser the part's next bytes; -1 once they cannot be had.
    // The part is inflated in large reads: the parser asks for a few kilobytes at a time.
    static int onRead(void* user, char* out, int size) {
        auto& self = *static_cast<PartParser*>(user);
        if (self.unreadable_)
            return -1;
        if (self.next_ == self.filled_) {
            const qint64 n = self.device_->read(self.buffer_.data(), kChunk);
            if (n < 0) {
                self.unreadable_ = true;
                return -1;
            }
            self.next_ = 0;
            self.filled_ = std::size_t(n);
            if (self.head_.size() < 4)
                self.head_.append(self.buffer_.data(),
                                  std::min(std::size_t(n), 4 - self.head_.size()));
        }
        const std::size_t n = std::min(std::size_t(size), self.filled_ - self.next_);
        std::memcpy(out, self.buffer_.data() + self.next_, n);
        self.next_ += n;
        return int(n);
    }

    // An exception must not cross the parser's frames: it waits for the end of the parse.
    template <typename F> void guarded(F&& f) {
        try {
            f();
        } catch (...) {
            error_ = std::current_exception();
            xmlStopParser(ctxt_);
        }
    }

    static void onStart(void* user, const xmlChar* local, const xmlChar*, const xmlChar* uri, int,
                        const xmlChar**, int count, int, const xmlChar** atts) {
        auto& self = *static_cast<PartParser*>(user);
        self.sawElement_ = true;
        if (self.foreign_ > 0) {
            ++self.foreign_;
            return;
        }
        if (!self.ours(uri)) {
            self.foreign_ = 1;
            return;
        }
        const XmlAttributes attributes(atts, count);
        self.guarded([&] {
            self.handler_.start(XmlName(reinterpret_cast<const char*>(local)), attributes);
        });
    }
    static void onEnd(void* user, const xmlChar* local, const xmlChar*, const xmlChar*) {
        auto& self = *static_cast<PartParser*>(user);
        if (self.foreign_ > 0) {
            --self.foreign_;
            return;
        }
        self.guarded([&] { self.handler_.end(XmlName(reinterpret_cast<const char*>(local))); });
    }
    static void onText(void* user, const xmlChar* s, int n) {
        auto& self = *static_cast<PartParser*>(user);
        if (self.foreign_ == 0)
            self.guarded([&] { self.handler_.text(reinterpret_cast<const char*>(s), n); });
    }
    // Workbook parts have no document type; one here is damage (or an entity bomb).
    static void onDoctype(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
        auto& self = *static_cast<PartParser*>(user);
        self.doctype_ = true;
        self.errorLine_ = xmlSAX2GetLineNumber(self.ctxt_);
        xmlStopParser(self.ctxt_);
    }
    // Any error ends the reading there, the first one's line to be told: the parser would
    // go on past some (a prefix never declared), handing over what the part does not say.
    static void onError(void* user, xmlErrorPtr error) {
        auto& self = *static_cast<PartParser*>(user);
        if (!error || error->level < XML_ERR_ERROR || self.erred_)
            return;
        self.erred_ = true;
        self.errorCode_ = error->code;
        self.errorLine_ = error->line;
        xmlStopParser(self.ctxt_);
    }

    static constexpr int kChunk = 256 * 1024;

    PartHandler& handler_;
    QIODevice* device_ = nullptr;
    std::vector<char> buffer_;
    std::size_t next_ = 0;   // the first byte of the buffer not handed over yet
    std::size_t filled_ = 0; // the bytes of the buffer filled
    bool unreadable_ = false;
    std::string head_; // the part's first four bytes, which tell its encoding family
    std::span<const std::string_view> namespaces_;
    xmlSAXHandler sax_{};
    xmlParserCtxtPtr ctxt_ = nullptr;
    const xmlChar* lastUri_ = nullptr;
    bool lastOurs_ = true; // no namespace
    int foreign_ = 0;      // depth inside an element of another namespace
    bool doctype_ = false;
    bool erred_ = false;
    int errorCode_ = 0;
    int errorLine_ = 0;
    bool sawElement_ = false;
    std::exception_ptr error_;
};

std::string_view XmlAttributes::value(std::span<const std::string_view> namespaces,
                                      std::string_view local) const {
    for (int i = 0; i < count_; ++i) {
        const unsigned char* const* a = atts_ + 5 * i;
        if (a[2] && view(a[0]) == local &&
            std::find(namespaces.begin(), namespaces.end(), view(a[2])) != namespaces.end())
            return decoded(a[3], a[4]);
    }
    return {};
}

std::string_view XmlAttributes::decodedCopy(std::string_view v) const {
    constexpr std::string_view kAmpersand = "&#38;";
    std::string& out = decoded_.emplace_front();
    out.reserve(v.size());
    for (std::size_t i = 0; i < v.size();) {
        if (v.substr(i, kAmpersand.size()) == kAmpersand) {
            out += '&';
            i += kAmpersand.size();
        } else {
            out += v[i++];
        }
    }
    return out;
}

void PartHandler::stop() {
    stopped_ = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(parser_));
}

void parsePart(ZipPackage& zip, SheetBuilder& builder, const QString& part, PartHandler& handler,
               std::span<const std::string_view> namespaces) {
    PartParser(handler, namespaces).run(zip, builder, part);
}

} // namespace corvelix
