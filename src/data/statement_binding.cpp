#include "data/connection.h"

#include "data/connection_internal.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>

#include <sqlite3.h>

namespace modDA {

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
