#pragma once

#include <QByteArray>
#include <QString>

#include "workbook_export/WorkbookText.h"

// The older five-sheet workbook of a declaration: items, their attached data, articles,
// liquidation lines and cancellations, with plain header cells and no styles.
namespace Reporte {

// Asks for the path, writes the file as UTF-8 and says where. A declaration with nothing to
// list (no items, no liquidation lines, no cancellations) is refused with a warning: a
// workbook without any worksheet is no workbook. Failures show one warning; no file then.
void GenerarArchivoDespacho(const QString& IDDT, const QString& referencia);

// The text as the driver writes it: in pieces, and in one buffer.
workbook::WorkbookParts piezasLibro(const QString& IDDT);
QByteArray armarLibro(const QString& IDDT);

// Each returns its worksheet, or the empty text when its reader has no rows. The two item
// sheets rebuild the work tables item_ventajas (and ITEM_INFOAD, ITEM_DOCS) first.
QByteArray generarNODOItem(const QString& IDDT);
QByteArray generarNODOItemDatos(const QString& IDDT);
QByteArray generarNODOArticulos(const QString& IDDT);
QByteArray generarNODOLiquidacion(const QString& IDDT);
QByteArray generarNODOCancelacion(const QString& IDDT);

} // namespace Reporte
