#pragma once

#include "data/Recordset.h"
#include "data/Sql.h"

#include <QString>
#include <QVariantList>

// The code lists of the lookup list: the catalog's code tables (same numbers as
// getDescripcionTabla) and the local file's INFOADICIONAL (50).
namespace modDA {

struct CodeListQuery {
    int tipo = 0; // connection selector: the local file for 49 and above, else the catalog
    Sql sql;      // columns id, descripcion and (but for list 1) valor
    QVariantList params;
};

// The query of list `tabla` (1 VEN, 2 lst, 3 ZCP, 4 DOC, 5 EST, 6 PAY, 7 PRV, 50 INFOADICIONAL).
// Lists 1, 3, 4 and 50 keep only the rows whose code or description (50: whose ID) contains
// `filtro` as plain text, "%" and "_" included; an empty filter keeps every row, and the other
// lists ignore it. Another number raises 0x80045B9D "parametro invalido: <n>" (source "getSQL").
CodeListQuery codeListQuery(int tabla, const QString& filtro);

// The text of `value` as a LIKE pattern matching it anywhere, with '\' as the escape character:
// "%", "_", "[" and "\" match themselves.
QString containsPattern(const QString& value);

} // namespace modDA
