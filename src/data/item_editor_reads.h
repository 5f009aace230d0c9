#pragma once

#include "data/Recordset.h"

#include <QString>

#include <optional>

// Reads of the item editor.
namespace modDA {

// The LISTA that every item of the declaration holds, trimmed (empty for a shared Null);
// nothing when the items do not all share one.
std::optional<QString> getListaComun(const QString& despacho);

// The item's subitem rows with the item's units, by subitem number.
Recordset getSubItemsDetalle(const QString& despacho, const QString& item);

} // namespace modDA
