#pragma once

#include <QString>

// Totals kept consistent from the rows below them.
namespace modDA {

// Sets the item's declared and statistical quantities and its FOB to the sums over its
// subitem rows (the item's own row "0000" included), and its net kilos to the declared sum
// when the declared unit is "01", to the statistical sum when the statistical unit is "01"
// (that one wins when both are), else leaves them. Sums are written at two decimals, kilos at
// three. An item without any subitem row is left as it is. Marks nothing.
void recalcularITEM(const QString& despacho, const QString& item);

} // namespace modDA
