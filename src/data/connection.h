#pragma once

#include "platform/ErrorReasons.h"
#include "runtime/VbError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantList>
#include <functional>

class QSqlQuery;

// Pieces of the connection handling that other files of the data layer share.
namespace modDA {

// The open connection for a selector, opened (again) when it is not open. A catalog that
// cannot be opened leads to the profile dialog; cancelling it ends the program. Only the data
// layer (and its tests) hold connections.
QSqlDatabase getConnection(int tipo);

// Test seams: opens the catalog connection in place of QSqlDatabase::open() (true = opened);
// makes the profile road (CORVELIX_KITSQL unset) open this SQLite file in place of the server
// the profile names; sets how long a locked catalog is waited for before the user is asked
// (a negative value: the usual wait). resetConnectionsForTests() undoes all three.
void setCatalogOpenerForTests(std::function<bool(QSqlDatabase&)> opener);
void setProfileCatalogForTests(const QString& sqlitePath);
void setBusyWaitForTests(int milliseconds);
// How long a statement on a SQLite connection waits for a lock another program holds (a
// negative value: the usual wait); resetConnectionsForTests() undoes it too.
inline constexpr int kLockWaitMs = 5000;
void setLockWaitForTests(int milliseconds);

// How a SQLite catalog connection commits: the file keeps its journal mode (switching an
// existing catalog to WAL changes its format for good and fails in a folder the user cannot
// write), and a WAL file commits with synchronous NORMAL, any other with the engine's default.
void applyCommitSettings(QSqlDatabase& db);

// Number under which driver failures travel (the old provider's "errors in command").
inline constexpr qint32 kErrProvider = static_cast<qint32>(0x80040E14u);

// A driver failure as the program reports it: a Spanish reason by the engine's code (SQLite's
// result code; on a server the ODBC state, when known) as description.
// On SQLite the phrase names the file, the catalog unless told otherwise.
corvelix::VbError driverError(const QSqlError& error, const QString& driverName,
                              const QString& sqlState = {},
                              corvelix::SqliteFile file = corvelix::SqliteFile::Catalog);
// The same for a failure on `db`: its driver's name as the source, its file named.
corvelix::VbError driverError(const QSqlError& error, const QSqlDatabase& db,
                              const QString& sqlState = {});
// Which of the program's SQLite files a connection is on.
corvelix::SqliteFile sqliteFileOf(const QSqlDatabase& db);
// The ODBC state of a query's last failure on a server; empty on SQLite or when none is known.
QString odbcState(const QSqlQuery& query);

// Prepares `sql` on `query`, binds `params` in order and runs it (a server gets a text without
// values as it stands); a failure raises the driver's error. An empty QString binds as ''
// (never as Null); pass QVariant() for Null.
void runQuery(QSqlQuery& query, const QString& sql, const QVariantList& params,
              corvelix::SqliteFile file = corvelix::SqliteFile::Catalog);

// The same on SQLite for a statement run over and over (once per item of a long list): it
// stays prepared on its connection between runs, instead of being parsed again each time.
// It is prepared afresh after the connection was closed or replaced.
void runPreparedSqlite(const QSqlDatabase& db, const QString& sql, const QVariantList& params);

// What execSQL runs, without its location in front of a failure: `line` tells the step
// reached (10 connection, 20 statement, 30 done).
int execStatement(int tipo, const QString& sql, const QVariantList& params, int& line);

// Transactions (modDA::Transaction) of a selector's connection.
// True while one is open.
bool inTransaction(int tipo);
// Undoes the open transaction at once and refuses every further statement in it and its
// commit, as the server does when a procedure fails inside the caller's transaction.
void failTransaction(int tipo, QSqlDatabase& db);
// Raises a clear error when the open transaction was undone or lost with its link: the
// statements that would follow no longer belong to it.
void checkTransactionUsable(int tipo);
// The reason given for a transaction undone by a failure.
const QString& transactionUndone();

// The ODBC connection string (FreeTDS) that reaches the server a profile's string names.
QString odbcConnectionString(const QString& profileString);

} // namespace modDA
