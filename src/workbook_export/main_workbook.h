#pragma once

#include <QByteArray>
#include <QString>

#include "workbook_export/WorkbookText.h"

// The declaration workbook (ten sheets) and the liquidation workbook: their drivers and sheet
// writers. A writer takes the declaration number and returns one worksheet's text, or the
// empty text for no worksheet; it may rebuild the pivot work tables and never writes to disk.
namespace mainModule {

// Ten-sheet workbook of the declaration: asks for the path, writes the file as UTF-8 and says
// where. Shows its own failures in one warning and writes nothing then.
void GenerarArchivoDespacho(const QString& IDDT, const QString& referencia);
// One-sheet workbook of the declaration's liquidation lines, the same way.
void GenerarArchivoLiquidacion(const QString& IDDT, const QString& referencia);

// Each workbook's text as the drivers write it (without the writer's final CR LF): in pieces,
// and in one buffer.
workbook::WorkbookParts piezasLibroDespacho(const QString& IDDT);
workbook::WorkbookParts piezasLibroLiquidacion(const QString& IDDT);
QByteArray armarLibroDespacho(const QString& IDDT);
QByteArray armarLibroLiquidacion(const QString& IDDT);

// "Caratula": header values, header-level complementary information, invoices. Rebuilds
// CPLPIVOT from the header-level rows.
QByteArray generarNODOCaratula(const QString& IDDT);
// "Item": items with one column per document, complementary information and advantage code.
// Rebuilds the three pivot tables from the item rows first.
QByteArray generarNODOItem(const QString& IDDT);
// "Subitem": every subitem row, the items' own "0000" rows included.
QByteArray generarNODOSubitem(const QString& IDDT);
// "Cancelaciones" (no sheet without rows), "Bultos", "DCEXP", "PAC ROM".
QByteArray generarNODOCancelacion(const QString& IDDT);
QByteArray generarNODOBultos(const QString& IDDT);
QByteArray generarNODODCEXP(const QString& IDDT);
QByteArray generarNODOPACROM(const QString& IDDT);
// "Liquidacion total", "Liquidacion Items" of the ten sheets, and the liquidation workbook's
// "Liquidacion Items".
QByteArray generarNODOLiquidacionTotal(const QString& IDDT);
QByteArray generarNODOLiquidacionItems(const QString& IDDT);
QByteArray generarNODOLiquidacionFULL(const QString& IDDT);
// "I.B.": gross-income tax registration and jurisdictions.
QByteArray generarNODOIB(const QString& IDDT);

} // namespace mainModule
