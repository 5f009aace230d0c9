#pragma once

// Inside the .xls reader: the workbook stream taken out of its compound-document container
// with libgsf.
#include "platform/SheetFormats.h"

#include <gsf/gsf-input.h>

#include <memory>

namespace corvelix {

// "The workbook is damaged", as every part of the .xls reader says it.
QString reasonDamagedWorkbook();

// Gives back a GObject reference when its owner goes.
struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
// One reference to a GObject, held for as long as the pointer lives.
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// The workbook stream of a compound document. Its bytes stay where the library keeps them
// (in the file's own bytes when the stream's sectors follow one another) while it lives.
class WorkbookStream {
public:
    // Fails the reading when the container is damaged, holds no workbook or is encrypted.
    WorkbookStream(const QByteArray& data, SheetBuilder& builder);

    [[nodiscard]] const uchar* data() const { return data_; }
    [[nodiscard]] qsizetype size() const { return size_; }

private:
    GObjectPtr<GsfInput> stream_;
    const guint8* data_ = nullptr;
    qsizetype size_ = 0;
};

} // namespace corvelix
