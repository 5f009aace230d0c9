#pragma once

#include "data/Recordset.h"

#include <QString>

// What the transfer file export reads in one go for a whole declaration, so that its items
// are filled without a query per item. Rows come in key order (item number, then code).
namespace modDA {

// The document rows of one item ("0000": the declaration's own), all columns.
Recordset getDVDItem(const QString& despacho, const QString& item);

// Every subitem, complementary-information, advantage and document row of the declaration,
// all columns (header-level rows included where the table has them).
Recordset getSBTDespacho(const QString& despacho);
Recordset getCPLDespacho(const QString& despacho);
Recordset getSRGDespacho(const QString& despacho);
Recordset getDVDDespacho(const QString& despacho);

} // namespace modDA
