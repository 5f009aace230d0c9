#pragma once

#include "data/Recordset.h"
#include "data/Sql.h"

#include <QString>
#include <QVariantList>

#include <functional>

namespace modDA::detail {

using CatalogRead = std::function<Recordset(const Sql& sql, const QVariantList& params)>;
using CatalogWrite = std::function<int(const Sql& sql)>;

// A program procedure's creation script: built for the item lists, read from the resources
// (Windows-1252 text) for the pivots.
Sql procedureScript(const QString& name);

// What updateStore does on a server catalog, on any catalog access: for each of the program's
// procedures in order, looks it up and runs its creation script when it is missing.
void installMissingProcedures(const CatalogRead& read, const CatalogWrite& write);

} // namespace modDA::detail
