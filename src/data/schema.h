#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Building the SQLite databases from the scripts under resources/sql.
namespace modDA {

// Splits a script into statements: "--" comments dropped, a statement ends at a ';' that
// closes a line outside quotes.
QStringList splitSqlScript(const QString& script);

// Runs every statement of a UTF-8 script (a resource path such as ":/sql/x.sql" or a file)
// in one transaction. Failure: VbError with the driver's text, nothing applied.
void runSqlScript(QSqlDatabase& db, const QString& path);

// Tables of the declaration catalog, and of the program's local file.
void createCatalogSchema(QSqlDatabase& db);
void createLocalSchema(QSqlDatabase& db);

} // namespace modDA
