#include "data/connection.h"

#include "data/connection_internal.h"
#include "data/modDA.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

namespace modDA {

namespace {

// One value as the SQLite driver gives it (whole numbers as qlonglong, real numbers as double,
// text as QString, blobs as QByteArray), Null as the plain null QVariant.
QVariant sqliteValue(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(statement, column));
    }
    default: {
        // The file keeps text as UTF-8: decoded here in one pass, where SQLite's own UTF-16
        // would copy every value into a buffer of its own first.
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
    }
    }
}

// The rows after the first, read straight from the statement: the driver would keep each row
// in a cache of its own and hand every value over through two virtual calls, most of the time
// of a large read. The driver has already stepped to the first row and handed it over.
void readSqliteRows(sqlite3_stmt* statement, int columns, QList<QVariantList>& rows,
                    const QString& driverName) {
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            return;
        if (rc != SQLITE_ROW) {
            sqlite3* handle = sqlite3_db_handle(statement);
            throw driverError(QSqlError(QStringLiteral("Unable to fetch row"),
                                        QString::fromUtf8(sqlite3_errmsg(handle)),
                                        QSqlError::StatementError,
                                        QString::number(sqlite3_extended_errcode(handle))),
                              driverName);
        }
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << sqliteValue(statement, i);
        rows << std::move(row);
    }
}

} // namespace

Recordset getRs(int tipo, const Sql& statement, const QVariantList& params) {
    if (StatementCapture* capture = StatementCapture::active())
        return capture->record(statement.text(), params);
    const QString& sql = statement.text();
    int line = 0;
    return corvelix::chainedNumbered(QStringLiteral("Corvelix.modDA.getRs"), line, [&] {
        line = 10;
        QSqlDatabase db = getConnection(tipo);
        checkTransactionUsable(tipo);
        line = 20;
        QSqlQuery query(db);
        line = 30;
        runStatement(tipo, db, query, sql, params);
        line = 40;
        const QSqlRecord record = query.record();
        QStringList names;
        names.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            names << record.fieldName(i);
        QList<QVariantList> rows;
        const int columns = record.count();
        const auto nextThroughQuery = [&] {
            if (!query.next())
                return false;
            QVariantList row;
            row.reserve(columns);
            for (int i = 0; i < columns; ++i) {
                // A Null of any type is the plain null QVariant.
                QVariant value = query.value(i);
                row << (value.isNull() ? QVariant() : std::move(value));
            }
            rows << std::move(row);
            return true;
        };
        if (nextThroughQuery()) {
            if (sqlite3_stmt* prepared = sqliteStatement(query))
                readSqliteRows(prepared, columns, rows, db.driverName());
            else
                while (nextThroughQuery()) {
                }
        }
        if (query.lastError().isValid())
            throw driverError(query.lastError(), db.driverName());
        return Recordset(std::move(names), std::move(rows));
    });
}

} // namespace modDA
