#pragma once

#include "data/Sql.h"

#include <QString>

#include <array>

namespace modDA {

// The three procedures that join an item's attached rows into one text per item, kept in a
// work table the item grids read: each element is "|#|" and the code (and "=" and the value,
// a Null value as the empty text), the whole cut to `limit` characters, the first separator
// dropped and the blanks around trimmed. SQLite catalogs run them built in, a server gets the
// script serverScript() makes; both come from these descriptions.
struct ItemListProcedure {
    const char* name;
    const char* parameter;              // its one parameter, without the '@'
    const char* table;                  // work table
    std::array<const char*, 3> columns; // declaration, item, list
    int limit;                          // the list's size, as the original variable's
    const char* source;                 // attached rows
    const char* declaration;            // their declaration column
    const char* code;
    const char* value; // nullptr: the element is the code alone
    bool ordered;      // elements in code order; otherwise as read
};

// setItemVentajas, SETITEMINFOAD, SETITEMDOCS.
const std::array<ItemListProcedure, 3>& itemListProcedures();
// One of them by its exact name; nullptr for any other procedure.
const ItemListProcedure* findItemListProcedure(const QString& name);

// Control characters that XML cannot hold (all below 0x20 but tab, LF and CR): the lists
// are joined through XML on a server, so they are left out of the elements on both engines.
const QList<int>& charactersXmlRefuses();

// The server's creation script of `procedure` (one batch).
Sql serverScript(const ItemListProcedure& procedure);

} // namespace modDA
