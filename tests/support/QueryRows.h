#pragma once

#include "data/Recordset.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

namespace corvelix::test {

// Every row of a query on `db`, its cells joined by '|' and a Null cell written "<null>", so
// that a failed comparison shows what was found. A failing query gives one "error: ..." row.
QStringList queryRows(const QSqlDatabase& db, const QString& sql, const QVariantList& params = {});

// The same for the rows of a recordset (from its first row on, whatever its position).
QStringList recordsetRows(const modDA::Recordset& rs);

} // namespace corvelix::test
