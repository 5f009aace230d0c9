#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <vector>

struct sqlite3_stmt;

// What the files of the connection handling share among themselves; nothing outside them
// uses it.
namespace modDA {

// The name of the local database's connection.
inline const QString kLocalConnectionName = QStringLiteral("corvelix_local");

// The connection of a selector as it is, without opening it.
QSqlDatabase cachedConnection(int tipo);

// A forward-only query: on a server any other kind asks for a server-side cursor, which
// statements that are no plain SELECT do not get.
QSqlQuery plainQuery(const QSqlDatabase& db);
// Runs a text without values; a failure raises the driver's error.
void execPlain(QSqlDatabase& db, const QString& sql);

// A connection (re)opened: a transaction begun on the previous link is lost.
void connectionOpened(int tipo);
// The transaction of a connection is gone while Transaction objects still stand for it.
void breakTransaction(int tipo, const QString& reason);
// The reason given for a transaction lost with its link.
const QString& connectionLost();
// Forgets every open and broken transaction (the connections were dropped).
void resetTransactionsForTests();

// A failed statement on a server connection may mean the link dropped, or the server undid
// the open transaction: the connection and the transaction are brought in line with it.
void checkAfterFailure(int tipo, QSqlDatabase& db);
// Runs one statement of getRs/execSQL: the driver's name as the error's source, and a
// dropped server link closed so that the next use reopens it.
void runStatement(int tipo, QSqlDatabase& db, QSqlQuery& query, const QString& sql,
                  const QVariantList& params);

// The SQLite statement behind a query that has run, or null on other drivers.
sqlite3_stmt* sqliteStatement(const QSqlQuery& query);
// True for a SQLite statement that changes rows.
bool changesRows(const QString& sql, sqlite3_stmt* statement);
// Rows changed by the statement just run (-1 for a statement that changes none by nature).
int rowsAffected(const QSqlQuery& query, const QString& sql);
// One row of values bound by position through the driver.
void bindThroughDriver(QSqlQuery& query, const QVariantList& params);
// One row of values bound straight on a SQLite statement; false, with nothing bound, when a
// value is of a type left to the driver. `texts` keeps the texts' UTF-8 until the statement ran.
bool bindSqliteRow(sqlite3_stmt* statement, const QVariantList& params,
                   std::vector<QByteArray>& texts);
// A row the engine refused while a statement ran on its own: the driver's error for it.
QSqlError sqliteStepError(sqlite3_stmt* statement);

} // namespace modDA
