#include "workbook_export/main_workbook.h"

#include "workbook_export/WorkbookFile.h"
#include "workbook_export/WorkbookText.h"

#include <QList>

namespace mainModule {

namespace {

// Envelope, the sheets in order and the closing tag, in one buffer reserved once.
QByteArray joinWorkbook(QList<QByteArray> sheets) {
    qsizetype size = 2048;
    for (const QByteArray& sheet : sheets)
        size += sheet.size();
    QByteArray libro;
    libro.reserve(size);
    workbook::appendEnvelopeStart(libro, true);
    for (QByteArray& sheet : sheets) {
        libro += sheet;
        sheet = QByteArray(); // each sheet's text goes as soon as it is in
    }
    workbook::appendEnvelopeEnd(libro);
    return libro;
}

} // namespace

QByteArray armarLibroDespacho(const QString& IDDT) {
    // The header sheet and the item sheet rebuild the same pivot table for different items:
    // each sheet is finished before the next one starts.
    using Writer = QByteArray (*)(const QString&);
    static constexpr Writer kSheets[] = {
        generarNODOCaratula,         generarNODOItem,
        generarNODOSubitem,          generarNODOCancelacion,
        generarNODOBultos,           generarNODODCEXP,
        generarNODOPACROM,           generarNODOLiquidacionTotal,
        generarNODOLiquidacionItems, generarNODOIB,
    };
    QList<QByteArray> sheets;
    for (const Writer writer : kSheets)
        sheets << writer(IDDT);
    return joinWorkbook(std::move(sheets));
}

QByteArray armarLibroLiquidacion(const QString& IDDT) {
    return joinWorkbook({generarNODOLiquidacionFULL(IDDT)});
}

void GenerarArchivoDespacho(const QString& IDDT, const QString& referencia) {
    workbook::Export spec;
    spec.driver = QStringLiteral("GenerarArchivoDespacho");
    spec.dialogTitle = QStringLiteral("Exportar el provisorio a Excel");
    spec.build = [&IDDT] { return armarLibroDespacho(IDDT); };
    workbook::exportWorkbook(spec, workbook::proposedFileName(IDDT, referencia));
}

void GenerarArchivoLiquidacion(const QString& IDDT, const QString& referencia) {
    workbook::Export spec;
    spec.driver = QStringLiteral("GenerarArchivoLiquidacion");
    spec.dialogTitle =
        QStringLiteral("Exportar Liquidacion de ") + IDDT + QStringLiteral(" a Excel");
    spec.build = [&IDDT] { return armarLibroLiquidacion(IDDT); };
    workbook::exportWorkbook(spec, workbook::proposedFileName(IDDT, referencia));
}

} // namespace mainModule
