#pragma once

#include "data/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the item editor's list tabs read and write over many items at once: complementary
// information (CPL), advantages (SRG), documents (DVD) and CCPAC rows (CCM) of one item, the
// values every item shares, and the bulk writers over the item picker's choice. Each bulk
// writer is one transaction: a failure leaves the catalog as it was. Item lists are the item
// picker's text (see ItemList); "TODO" covers the items, never the declaration-level row.
namespace modDA {

// CCPL, MCPL, ICPLDIF of one item.
Recordset getInfoAdicionalItem(const QString& despacho, const QString& item);
// CCPL, MCPL: the pairs held by every item (declaration-level rows not counted), by code.
Recordset getInfoAdicionalComun(const QString& despacho);

// CSRG, LVENLBL of one item; a code without a current VEN row is listed with a Null label.
Recordset getVentajasItem(const QString& despacho, const QString& item);
// CSRG, LVENLBL: the codes held by every item (declaration-level rows not counted), by code.
Recordset getVentajasComunes(const QString& despacho);

// CDVDDOC, LDVDREFDOC of one item.
Recordset getDocumentosItem(const QString& despacho, const QString& item);
// CDVDDOC, LDVDREFDOC: the pairs held by every item (declaration-level rows not counted).
Recordset getDocumentosComunes(const QString& despacho);

// NART, CCCM, MCCM, CCCMNART of one item (a four-digit text or a whole number).
Recordset getCCPACItem(const QString& despacho, const QString& item);
// The same of every CCPAC row of the declaration, by item.
Recordset getCCPACDespacho(const QString& despacho);

// The code on the listed items: with `reemplazar` every listed item gets the value (the code's
// old rows of the listed items go first), else only the listed items without the code. Each
// item written is marked for validation again. Returns the items written.
int agregarInformacionAdicional_ALLITEMS(const QString& despacho, const QString& items,
                                         const QString& codigo, const QString& valor,
                                         const QString& icpldif, bool reemplazar);
// The advantage on the listed items that lack it, each marked. Returns the items written.
int agregarVentaja_ALLITEMS(const QString& despacho, const QString& items, const QString& codigo);
// The document on the listed items (the reference's quotes become blanks), as the
// complementary-information writer does. Returns the items written.
int agregarDocumento_ALLITEMS(const QString& despacho, const QString& items, const QString& codigo,
                              const QString& referencia, bool reemplazar);
// The CCPAC value on every item without a row (every item with `reemplazar`, whose old rows of
// the declaration go first); the export-document item is the item's own number, four digits
// for origins "225" and "221", twelve for any other (or none). Marks nothing. Returns the rows
// written.
int agregarCCPAC_ALLITEMS(const QString& despacho, const QString& valor, bool reemplazar);

// Each listed item's FOB times `tasa`, rounded to two decimals and written with two decimals
// and `separadorDecimal`, as the value of `codigo` (origin mark "D", replacing the item's old
// row of that code); each item marked. An item without FOB counts as FOB 0. A rate that is not
// a positive number, or an amount beyond what the catalog holds ("Desbordamiento"), is refused
// before anything is written. Returns the items written, in order.
QStringList transferirFOB(const QString& despacho, const QString& items, const QString& codigo,
                          double tasa, const QString& separadorDecimal);

// NART, ISBT, CSBTSVL of the listed items' own row ("0000") and first subitem ("0001") whose
// suffix string holds `sufijo` followed by "(", by item and subitem.
Recordset getSufijosParaTransferir(const QString& despacho, const QString& items,
                                   const QString& sufijo);

struct ValorInfoAdicional {
    QString item;
    QString valor;
};
// Writes each value as the code of its item (origin mark "D", replacing the item's old row of
// that code) and marks `marcar`, all in one transaction.
void escribirInfoAdicional(const QString& despacho, const QString& codigo,
                           const QList<ValorInfoAdicional>& valores, const QStringList& marcar);

} // namespace modDA
