#pragma once

#include "workbook_export/WorkbookText.h"

#include <QString>

#include <functional>

// What the workbook drivers share: the proposed name, the save dialog, the one write of the
// whole text as UTF-8 and the closing message.
namespace workbook {

// The declaration number without "@", a blank, the reference, blanks trimmed, ".xls".
QString proposedFileName(const QString& iddt, const QString& referencia);
// A path whose last three letters are not "xls" (any case) gets ".xls".
QString withXlsExtension(const QString& path);

struct Export {
    QString driver;      // "GenerarArchivoDespacho": named in the failure message
    QString dialogTitle; // title of the save dialog
    bool setsPointer = true;
    // Builds the whole workbook text; throws on failure.
    std::function<WorkbookParts()> build;
    // A workbook that must not be written (no worksheet at all): the warning to show instead.
    std::function<QString(const WorkbookParts& libro)> refusal;
};

// Proposes `proposedName`, asks for the path, builds, writes, reports. Cancelling does
// nothing; a failure anywhere shows one warning and leaves no file.
void exportWorkbook(const Export& spec, const QString& proposedName);

} // namespace workbook
