#pragma once

#include <QString>

// The older five-sheet workbook of a declaration: items, their attached data, articles,
// liquidation lines and cancellations, with plain header cells and no styles.
namespace Reporte {

// Asks for the path, writes the file as UTF-8 and says where. A declaration with nothing to
// list (no items, no liquidation lines, no cancellations) is refused with a warning: a
// workbook without any worksheet is no workbook. Failures show one warning; no file then.
void GenerarArchivoDespacho(const QString& IDDT, const QString& referencia);

// The whole text as the driver writes it.
QString armarLibro(const QString& IDDT);

// Each returns its worksheet, or the empty text when its reader has no rows. The two item
// sheets rebuild the work tables item_ventajas (and ITEM_INFOAD, ITEM_DOCS) first.
QString generarNODOItem(const QString& IDDT);
QString generarNODOItemDatos(const QString& IDDT);
QString generarNODOArticulos(const QString& IDDT);
QString generarNODOLiquidacion(const QString& IDDT);
QString generarNODOCancelacion(const QString& IDDT);

} // namespace Reporte
