#pragma once

#include "data/Recordset.h"

#include <QString>

// The pivot work tables as the workbook export reads them back after their procedures ran.
namespace modDA {

// The three pivot tables: CPLPIVOT, SRGPIVOT, DVDPIVOT.
enum class PivotTable { CPL, SRG, DVD };

// Whether the table exists now (its procedure leaves none when the declaration has no code).
bool pivotTableExists(PivotTable table);
// Its first row, or just its columns when it has none; the columns give the sheet's dynamic
// columns and their order.
Recordset pivotFirstRow(PivotTable table);
// Every row of the table; a recordset without fields when the table does not exist.
Recordset pivotRows(PivotTable table);

} // namespace modDA
