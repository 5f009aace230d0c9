#pragma once

#include "data/ItemList.h"
#include "data/Recordset.h"

#include <QList>
#include <QString>

// Writers of one item or subitem of a declaration, the value-suffix writes and the item's
// re-validation mark.
namespace modDA {

// Marks the item (every item of the declaration when `todos`) for validation again.
void Invalidar_ITEM(const QString& despacho, const QString& item, bool todos);

// One column of one item (LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO); the value as given. Any
// other column name is refused before anything runs.
void setCampoByItem(const QString& despacho, const QString& item, const QString& columna,
                    const QString& valor);

// The same column on the chosen items of the declaration (only those where it is empty or
// Null when `soloVacios`), with their re-validation marks. Returns the rows changed.
int setCampo_ALLITEMS(const QString& despacho, const QString& columna, const QString& valor,
                      const ItemList& items, bool soloVacios);

// Units, quantities and amounts of one item.
Recordset getValoresItem(const QString& despacho, const QString& item);

// Quantities, unit price and FOB of an item; the net kilos take the quantity whose unit is "01"
// (the statistical one when both are).
void actualizarValoresITEM(const QString& despacho, const QString& item,
                           const QString& unidadDeclarada, double cantidadDeclarada,
                           const QString& unidadEstadistica, double cantidadEstadistica,
                           double precioUnitario, double fob);

void actualizarValoresITEM_FULL(const QString& despacho, const QString& item,
                                double cantidadDeclarada, double cantidadEstadistica,
                                double precioUnitario, double fob, double kiloNeto,
                                double ajusteIncluir, double ajusteDeducir, double seguro,
                                double flete);

// The subitem's value-suffix string, then the item's mark. A string of blanks is refused (a
// corvelix::Refusal). True when the subitem row was there.
bool actualizarSufijos(const QString& despacho, const QString& item, const QString& subitem,
                       const QString& sufijos);

// The subitem's quantities, unit price and FOB; the item's totals follow when the row was there.
void actualizarSubItem(const QString& despacho, const QString& item, const QString& subitem,
                       double cantidadDeclarada, double cantidadEstadistica, double precioUnitario,
                       double fob);

// Deletes one subitem and moves the later ones down by one. Refused when the item has two rows
// or fewer.
void EliminarSBT(const QString& despacho, const QString& item, const QString& subitem);

// `sufijos` with the value of the first `codigo` entry replaced by `valor` (its quotes
// removed); empty when the string has no such entry. An entry not closed by ")-" fails.
QString ReemplazarSufijo(const QString& sufijos, const QString& codigo, const QString& valor);

// One subitem's string with the value of `codigo` replaced; nothing written when the string
// lacks the code. Marks nothing.
void EstablecerSufijo(const QString& despacho, const QString& item, const QString& subitem,
                      const QString& sufijos, const QString& codigo, const QString& valor);

// A subitem as the bulk suffix setter hands it over.
struct SubitemSufijos {
    QString despacho;
    QString item;
    QString subitem;
    QString sufijos;
};

// EstablecerSufijo over many subitems, all or nothing: a malformed string refuses the whole
// change, naming its subitem, before anything is written.
void EstablecerSufijo(const QList<SubitemSufijos>& subitems, const QString& codigo,
                      const QString& valor);

// The value of "AA" in every subitem string of the declaration that holds it, then every item
// marked. All or nothing: a malformed string refuses the change, naming its subitem.
void EstablecerSufijoAA(const QString& despacho, const QString& valor);

// Deletes one item with all its rows through the outside system's procedure.
void eliminarITEM(const QString& despacho, const QString& item);

} // namespace modDA
