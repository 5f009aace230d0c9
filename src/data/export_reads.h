#pragma once

#include "data/Recordset.h"

#include <QString>

// What the workbook export and the transfer file read of one declaration. A combined column
// holds the code, " - " and its description; a code whose description is missing shows as
// "code - ".
namespace modDA {

// All columns of one item's complementary information, advantages and subitem rows.
Recordset getCPL(const QString& despacho, const QString& item);
Recordset getSRG(const QString& despacho, const QString& item);
Recordset getSBT(const QString& despacho, const QString& item);

// The item sheet: one row per item ordered by NARTEXT, with the columns of each pivot table
// whose flag is set (set a flag only when its table exists). Every item is there, whether or
// not its countries or state have a valid code row.
Recordset getITEMsPIVOT(const QString& despacho, bool conCPL, bool conSRG, bool conDVD);

// The subitem sheet: one row per SBT row (the "0000" row with the item's values), optionally
// only those whose suffix string contains `sufijo` (a LIKE pattern). Every row is there,
// whether or not its units or origin country have a valid code row.
Recordset getArticulosByDespacho_FULL(const QString& despacho, const QString& sufijo);

// The value of the first of `codigos` (comma-separated, tried in order, trimmed) that appears
// as "code(" in the suffix string: the text after the "(" up to ")-", or up to the end of the
// string when the entry is not closed. The empty text when none appears.
QString getValorPrimerSufijo(const QString& sufijos, const QString& codigos);

// Packages with the transport data of the header (none when the declaration has no package).
Recordset getBultos(const QString& despacho);
// CCPAC rows and DCM rows of the declaration.
Recordset getDCEXP(const QString& despacho);
Recordset getPACROM(const QString& despacho);
// Tax totals (LIT) of a liquidation key, taxes valid today, ordered by tax.
Recordset getLiquidacionTOTAL(const QString& despacho);
// The exchange rate of the declaration; 1 when it has none.
double getTipoCotiz(const QString& despacho);
// Registrations by jurisdiction, and jurisdiction coefficients with their local rate.
Recordset getCIB(const QString& despacho);
Recordset getJurisdicciones(const QString& despacho);

} // namespace modDA
