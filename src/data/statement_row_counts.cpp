#include "data/connection.h"

#include "data/connection_internal.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>

#include <sqlite3.h>

namespace modDA {

namespace {

// The first word of a statement, comments and blanks before it skipped.
QStringView firstWord(const QString& sql) {
    qsizetype i = 0;
    const qsizetype n = sql.size();
    for (;;) {
        while (i < n && sql.at(i).isSpace())
            ++i;
        if (sql.mid(i, 2) == QLatin1String("--")) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    qsizetype end = i;
    while (end < n && sql.at(end).isLetter())
        ++end;
    return QStringView(sql).mid(i, end - i);
}

} // namespace

// True for a SQLite statement that changes rows (INSERT, UPDATE, DELETE, REPLACE, or one of
// them led by a common table expression).
bool changesRows(const QString& sql, sqlite3_stmt* statement) {
    const QStringView word = firstWord(sql);
    for (const char* verb : {"INSERT", "UPDATE", "DELETE", "REPLACE"})
        if (word.compare(QLatin1String(verb), Qt::CaseInsensitive) == 0)
            return true;
    // A common table expression leads a SELECT or a change; only a change writes.
    return word.compare(QLatin1String("WITH"), Qt::CaseInsensitive) == 0 && statement != nullptr &&
           sqlite3_stmt_readonly(statement) == 0;
}

// Rows changed by the statement just run. SQLite keeps the count of the last INSERT, UPDATE
// or DELETE until the next one, so any other statement answers -1 itself, as the server
// does for statements that change no rows by nature.
int rowsAffected(const QSqlQuery& query, const QString& sql) {
    if (!query.driver() || query.driver()->dbmsType() != QSqlDriver::SQLite)
        return query.numRowsAffected();
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    sqlite3_stmt* statement = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3_stmt*") == 0
                                  ? *static_cast<sqlite3_stmt* const*>(handle.constData())
                                  : nullptr;
    return changesRows(sql, statement) ? query.numRowsAffected() : -1;
}

} // namespace modDA
