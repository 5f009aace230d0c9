#pragma once

#include <QString>
#include <QVariant>

// Rows attached to a declaration's items: complementary information (CPL), advantages (SRG),
// documents (DVD), CCPAC rows (CCM), and the bulk delete of its cancellation lines (DCN).
// Item lists are the item picker's text ("TODO" or quoted four-digit numbers); "TODO" covers
// the items only, never the declaration-level rows "0000". None of these marks anything.
namespace modDA {

// Adds a code to an item. An existing one is refused (a corvelix::Refusal) unless
// `reemplazar`, which deletes it first. An empty `icpldif` is written "D".
bool agregarInformacionAdicional(const QString& despacho, const QString& item,
                                 const QString& codigo, const QString& valor,
                                 const QString& icpldif, bool reemplazar);
bool eliminarInfoAd(const QString& despacho, const QString& item, const QString& codigo);
// Every code of the listed items.
bool vaciarInformacionAdicional(const QString& despacho, const QString& items);
// One code from the listed items.
void resetInfoAD_ByID(const QString& despacho, const QString& codigo, const QString& items);
// The value of one code of one item, cut to its first 20 characters; no row, no change (False).
bool setInfoAdicional(const QString& despacho, const QString& item, const QString& codigo,
                      const QString& valor);
// The SIMI codes ("SIMI-DESC-MERC..." and the two dates) of every row of the declaration.
void CleanInfoAdicionalSIMI(const QString& despacho);

bool AgregarVentajas(const QString& despacho, const QString& item, const QString& codigo);
bool eliminarVentajas(const QString& despacho, const QString& item, const QString& codigo);
bool vaciarVentajas(const QString& despacho, const QString& items);
// One advantage code from every item.
void resetVentajas_ID(const QString& despacho, const QString& codigo);

// Adds a presented document; each quote of the reference becomes a blank.
bool agregarDocumento(const QString& despacho, const QString& item, const QString& codigo,
                      const QString& referencia);
bool eliminarDocumento(const QString& despacho, const QString& item, const QString& codigo);
// One document code from the listed items; the declaration's invoices stay.
void ResetDocumento(const QString& despacho, const QString& codigo, const QString& items);

// The item's one CCPAC row: refused (a corvelix::Refusal) when the item has any. The item
// number is a whole number ("0007" is stored as 7); `itemDocumento` is written as its text.
bool agregarCCPAC(const QString& despacho, const QString& item, const QString& valor,
                  const QVariant& itemDocumento);
bool eliminarCCPAC(const QString& despacho, const QString& item, const QString& valor);
bool resetCCPAC(const QString& despacho);

// Every cancellation line of the declaration.
void ResetDCN(const QString& despacho);

} // namespace modDA
