#pragma once

#include <QDateTime>
#include <QSqlDatabase>

namespace modDA {

// The time GETDATE() answers with (see setClock in modDA.h).
QDateTime currentDateTime();

// Registers the server functions the catalog's statements use (GETDATE, CHARINDEX) and the
// collation of code comparisons (sql::sameCode) on an open SQLite connection. Raises a
// VbError when the connection is not SQLite.
void registerSqliteFunctions(const QSqlDatabase& db);

} // namespace modDA
