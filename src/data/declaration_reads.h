#pragma once

#include "data/Recordset.h"

#include <QHash>
#include <QString>

// One declaration's items as the item view, the item picker, the item editor, the exports and
// the SIMI processing read them; code descriptions and sub-regimes.
namespace modDA {

// The values of one item that the SIMI import copies.
struct SIMItemCampos {
    QString declaredUnit;           // CARTUNTDCL
    double declaredQuantity = 0;    // QARTUNTDCL
    QString statisticalUnit;        // CARTUNTEST, Null read as empty
    double statisticalQuantity = 0; // QARTUNTEST
    QString thirdUnit;              // left empty
    double thirdQuantity = 0;       // left at 0
    QString originCountry;          // CARTPAYORI, Null read as empty
    QString externalReference;      // IEXT, Null read as empty
};

// Item grids: one row per ART row of the declaration, unsorted. ventajas, INFOAD and DOCS come
// from the work tables, which the caller refreshes for the declaration right before reading.
Recordset getITEMsByDespacho(const QString& despacho);
Recordset getITEMs_Solodatos_ByDespacho(const QString& despacho);
Recordset getITEMsByDespacho_FULL(const QString& despacho);

// One row per SBT row of the declaration (the "0000" row with the item's own quantities and
// amounts), optionally only those whose suffix string contains `sufijo` (a LIKE pattern).
Recordset getArticulosByDespacho(const QString& despacho, const QString& sufijo);

// All columns of one ART row / of every ART row of the declaration.
Recordset getRsITEM(const QString& despacho, const QString& item);
Recordset getRsITEMs(const QString& despacho);

// One row per subitem row, for the SIMI report.
Recordset getSIMIGlobal(const QString& despacho);

// The item whose shown number is `item` written with four digits ("7" reads "0007"). No such
// item raises 0x8005E235 "No se encuentra el item ...".
SIMItemCampos getCamposSIM(const QString& despacho, const QString& item);

// The keys (NART) of the declaration's items by the number each shows (NARTEXT, four digits),
// for the sheets that name items as shown. Of two items showing one number the lowest key is
// kept.
QHash<QString, QString> getClavesPorNumeroMostrado(const QString& despacho);

// The description of `codigo` in code table `tablaCodigo` (1 VEN, 2 lst, 3 ZCP, 4 DOC, 5 EST,
// 6 PAY, 7 PRV), trimmed. Another table number raises "parametro invalido: <n>"; a code
// without a valid row raises "No se encontró descripcion para el codigo [ <code> ]".
QString getDescripcionTabla(const QString& codigo, int tablaCodigo);

// The sub-regime code: the four characters from position 6 of the declaration number.
QString extraerSubRegimen(const QString& despacho);
// True for the sub-regime codes that admit cancellations (exact, case-sensitive).
bool admiteCancelaciones(const QString& subRegimen);

// The sub-regime codes valid today (ISTA), and the sale conditions valid today (CINC, LINC).
Recordset getSubRegimen();
Recordset getCondicionVenta();

} // namespace modDA
