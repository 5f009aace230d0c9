#include "platform/SheetBiffContainer.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>

#include <vector>

namespace corvelix {

QString reasonDamagedWorkbook() {
    return QStringLiteral("el libro de Excel está dañado o no es un libro de Excel");
}

namespace {

void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// A damaged container is refused with a message; the library's warnings about it, logged
// in its own domains and in the default one, go nowhere while it reads.
class QuietLog {
public:
    QuietLog() {
        for (const char* domain : kDomains)
            ids_.push_back(g_log_set_handler(
                domain,
                GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_CRITICAL |
                               G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG),
                quiet, nullptr));
    }
    ~QuietLog() {
        for (std::size_t i = 0; i < ids_.size(); ++i)
            g_log_remove_handler(kDomains[i], ids_[i]);
    }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    static constexpr const char* kDomains[] = {"libgsf:msole", "libgsf", nullptr};
    std::vector<guint> ids_;
};

} // namespace

WorkbookStream::WorkbookStream(const QByteArray& data, SheetBuilder& builder) {
    const QuietLog quietLog;
    GObjectPtr<GsfInput> input(gsf_input_memory_new(
        reinterpret_cast<const guint8*>(data.constData()), gsf_off_t(data.size()), FALSE));
    if (!input)
        builder.fail(reasonDamagedWorkbook());
    GError* error = nullptr;
    const GObjectPtr<GsfInfile> container(gsf_infile_msole_new(input.get(), &error));
    g_clear_error(&error);
    if (!container)
        builder.fail(reasonDamagedWorkbook());
    // "Workbook" from Excel 97 on, "Book" before; some writers change the letters' case.
    for (const char* wanted : {"workbook", "book"}) {
        const int n = gsf_infile_num_children(container.get());
        for (int i = 0; i < n && !stream_; ++i) {
            const char* name = gsf_infile_name_by_index(container.get(), i);
            if (name && g_ascii_strcasecmp(name, wanted) == 0)
                stream_.reset(gsf_infile_child_by_index(container.get(), i));
        }
        if (stream_)
            break;
    }
    if (!stream_) {
        const GObjectPtr<GsfInput> package(
            gsf_infile_child_by_name(container.get(), "EncryptedPackage"));
        builder.fail(package ? QStringLiteral("está protegido con contraseña")
                             : reasonDamagedWorkbook());
    }
    const gsf_off_t size = gsf_input_size(stream_.get());
    // A stream larger than its container is a chain of sectors that loops.
    if (size > 0 && size <= gsf_off_t(data.size())) {
        data_ = gsf_input_read(stream_.get(), size_t(size), nullptr);
        size_ = qsizetype(size);
    }
    if (!data_)
        builder.fail(reasonDamagedWorkbook());
}

} // namespace corvelix
