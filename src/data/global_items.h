#pragma once

#include <QString>

// Reads and writes over every item of one declaration at once, for the editor's view of the
// values common to all items.
namespace modDA {

// The sum of the items' FOB at two decimals. A declaration without items has no sum and fails.
// Failures come back numbered 0x800C763A with "getFOBTotalItems" as their source.
double getFOBTotalItems(const QString& iddt);

// Every item's unit price from its FOB over its declared quantity, at five decimals. An item
// with a declared quantity of 0 (or none) is refused before anything is written. Failures come
// back numbered 0x800C763A with "RecalcularUnitariosItems" as their source.
void RecalcularUnitariosItems(const QString& iddt);

// One complementary-information answer for the whole declaration: the earlier rows of `codigo`
// go (the declaration-level row included), every item gets one row with `valor` marked "S",
// and every item is marked for re-validation. All or nothing.
void contestarOpcionItems(const QString& iddt, const QString& codigo, const QString& valor);

} // namespace modDA
