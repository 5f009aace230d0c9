#include "data/connection.h"

#include "data/connection_internal.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>

#include "platform/ErrorReasons.h"

#include <sql.h>
#include <sqlext.h>
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

namespace {

// What the user reads for a driver's failure: the engines' own texts are English.
QString engineReason(const QSqlError& error, const QString& driverName, const QString& sqlState,
                     corvelix::SqliteFile file) {
    const bool server = driverName == QLatin1String("QODBC") ||
                        error.driverText().startsWith(QLatin1String("QODBC"));
    if (server) {
        if (!sqlState.isEmpty())
            return corvelix::odbcErrorReason(sqlState);
    } else {
        bool numeric = false;
        const int code = error.nativeErrorCode().toInt(&numeric);
        if (numeric && code != 0)
            return corvelix::sqliteErrorReason(code, error.databaseText(), file);
    }
    switch (error.type()) {
    case QSqlError::ConnectionError:
        return server ? QStringLiteral("no se pudo conectar con el servidor del catálogo")
               : file == corvelix::SqliteFile::LocalDatabase
                   ? QStringLiteral("no se pudo abrir la base de datos local")
                   : QStringLiteral("no se pudo abrir la base de datos");
    case QSqlError::TransactionError:
        return QStringLiteral("no se pudo iniciar, confirmar o deshacer la transacción");
    default:
        break;
    }
    return server ? corvelix::odbcErrorReason(QString())
                  : corvelix::sqliteErrorReason(1, QString(), file); // the engine's generic error
}

} // namespace

corvelix::VbError driverError(const QSqlError& error, const QString& driverName,
                              const QString& sqlState, corvelix::SqliteFile file) {
    return {kErrProvider, driverName, engineReason(error, driverName, sqlState, file)};
}

corvelix::VbError driverError(const QSqlError& error, const QSqlDatabase& db,
                              const QString& sqlState) {
    return driverError(error, db.driverName(), sqlState, sqliteFileOf(db));
}

corvelix::SqliteFile sqliteFileOf(const QSqlDatabase& db) {
    return db.connectionName() == kLocalConnectionName ? corvelix::SqliteFile::LocalDatabase
                                                       : corvelix::SqliteFile::Catalog;
}

QString odbcState(const QSqlQuery& query) {
    if (query.driver() == nullptr || query.driver()->dbmsType() == QSqlDriver::SQLite ||
        query.result() == nullptr)
        return {};
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || handle.metaType().sizeOf() != sizeof(SQLHANDLE))
        return {};
    SQLHANDLE statement = *static_cast<const SQLHANDLE*>(handle.constData());
    if (statement == nullptr)
        return {};
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[2] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(SQL_HANDLE_STMT, statement, 1, state, &native, message,
                                       sizeof message, &length);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char*>(state));
}

void runQuery(QSqlQuery& query, const QString& sql, const QVariantList& params,
              corvelix::SqliteFile file) {
    // A text without values goes to a server as it stands, one plain batch (a creation script
    // must be sent so). SQLite still prepares it, so that a '?' left without a value fails.
    if (params.isEmpty() && query.driver() && query.driver()->dbmsType() != QSqlDriver::SQLite) {
        if (!query.exec(sql))
            throw driverError(query.lastError(), QString(), odbcState(query), file);
        return;
    }
    if (!query.prepare(sql))
        throw driverError(query.lastError(), QString(), odbcState(query), file);
    for (const QVariant& value : params) {
        // A null QString would go to the database as Null; an empty text is meant.
        if (value.metaType().id() == QMetaType::QString && value.toString().isNull())
            query.addBindValue(QString(QLatin1String("")));
        else
            query.addBindValue(value);
    }
    if (!query.exec())
        throw driverError(query.lastError(), QString(), odbcState(query), file);
}

// The SQLite statement behind a query that has run, or null on other drivers.
sqlite3_stmt* sqliteStatement(const QSqlQuery& query) {
    if (!query.driver() || query.driver()->dbmsType() != QSqlDriver::SQLite || !query.result())
        return nullptr;
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

// One row of values bound by position through the driver.
void bindThroughDriver(QSqlQuery& query, const QVariantList& params) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params.at(i);
        // A null QString would go to the database as Null; an empty text is meant.
        if (value.metaType().id() == QMetaType::QString && value.toString().isNull())
            query.bindValue(i, QString(QLatin1String("")));
        else
            query.bindValue(i, value);
    }
}

// One row of values bound straight on a SQLite statement, as the driver binds them (Null,
// whole numbers, real numbers, texts); false, with nothing bound, when a value is of another
// type, which is left to the driver. `texts` keeps the texts' UTF-8 until the statement ran.
bool bindSqliteRow(sqlite3_stmt* statement, const QVariantList& params,
                   std::vector<QByteArray>& texts) {
    for (const QVariant& value : params) {
        switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Double:
        case QMetaType::UnknownType:
            continue;
        default:
            return false;
        }
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    texts.clear();
    texts.reserve(std::size_t(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params.at(i);
        const int slot = i + 1;
        if (value.typeId() == QMetaType::QString) {
            // A null QString is the empty text here too, never Null.
            texts.push_back(value.toString().toUtf8());
            sqlite3_bind_text(statement, slot, texts.back().constData(), int(texts.back().size()),
                              SQLITE_STATIC);
        } else if (!value.isValid() || value.isNull()) {
            sqlite3_bind_null(statement, slot);
        } else if (value.typeId() == QMetaType::Double) {
            sqlite3_bind_double(statement, slot, value.toDouble());
        } else {
            sqlite3_bind_int64(statement, slot, value.toLongLong());
        }
    }
    return true;
}

// A row the engine refused while a statement ran on its own: the driver's error for it.
QSqlError sqliteStepError(sqlite3_stmt* statement) {
    sqlite3* handle = sqlite3_db_handle(statement);
    const QSqlError error(QStringLiteral("Unable to fetch row"),
                          QString::fromUtf8(sqlite3_errmsg(handle)), QSqlError::StatementError,
                          QString::number(sqlite3_extended_errcode(handle)));
    sqlite3_reset(statement);
    return error;
}

} // namespace modDA
