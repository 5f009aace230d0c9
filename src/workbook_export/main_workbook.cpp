#include "workbook_export/main_workbook.h"

#include "workbook_export/WorkbookFile.h"
#include "workbook_export/WorkbookText.h"

#include <QList>

namespace mainModule {

workbook::WorkbookParts piezasLibroDespacho(const QString& IDDT) {
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
    return workbook::assemble(true, std::move(sheets));
}

workbook::WorkbookParts piezasLibroLiquidacion(const QString& IDDT) {
    return workbook::assemble(true, {generarNODOLiquidacionFULL(IDDT)});
}

QByteArray armarLibroDespacho(const QString& IDDT) {
    return piezasLibroDespacho(IDDT).joined();
}

QByteArray armarLibroLiquidacion(const QString& IDDT) {
    return piezasLibroLiquidacion(IDDT).joined();
}

void GenerarArchivoDespacho(const QString& IDDT, const QString& referencia) {
    workbook::Export spec;
    spec.driver = QStringLiteral("GenerarArchivoDespacho");
    spec.dialogTitle = QStringLiteral("Exportar el provisorio a Excel");
    spec.build = [&IDDT] { return piezasLibroDespacho(IDDT); };
    workbook::exportWorkbook(spec, workbook::proposedFileName(IDDT, referencia));
}

void GenerarArchivoLiquidacion(const QString& IDDT, const QString& referencia) {
    workbook::Export spec;
    spec.driver = QStringLiteral("GenerarArchivoLiquidacion");
    spec.dialogTitle =
        QStringLiteral("Exportar Liquidacion de ") + IDDT + QStringLiteral(" a Excel");
    spec.build = [&IDDT] { return piezasLibroLiquidacion(IDDT); };
    workbook::exportWorkbook(spec, workbook::proposedFileName(IDDT, referencia));
}

} // namespace mainModule
