#include "data/connection.h"

#include "data/connection_internal.h"
#include "data/modDA.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace modDA {

namespace {

// One value of SQLite `type` as the SQLite driver gives it (whole numbers as qlonglong, real
// numbers as double, text as QString, blobs as QByteArray), Null as the plain null QVariant.
QVariant sqliteValue(sqlite3_stmt* statement, int column, int type) {
    switch (type) {
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

// Every row of a statement prepared and bound but not yet run, read straight from it: the
// driver would keep each row in a cache of its own and hand every value over through two
// virtual calls, most of the time of a large read. The driver is also left out of the first
// row: it decodes text through SQLite's UTF-16, which reads malformed UTF-8 otherwise than the
// rows after it would be read, and converts the value in place as it does.
void readSqliteRows(sqlite3_stmt* statement, QStringList& names, QList<QVariantList>& rows,
                    const QSqlDatabase& db) {
    const int columns = sqlite3_column_count(statement);
    names.reserve(columns);
    for (int i = 0; i < columns; ++i)
        // The names as the driver gives them, without double quotes.
        names << QString::fromUtf8(sqlite3_column_name(statement, i)).remove(QLatin1Char('"'));
    // The text last read in each column and its value. A column often holds the same text
    // row after row (the declaration's number on each of its items, a unit, a code): the rows
    // then share one string, decoded once, rather than each decoding and keeping its own.
    struct LastText {
        bool known = false;
        std::string bytes;
        QVariant value;
    };
    std::vector<LastText> last(static_cast<std::size_t>(std::max(columns, 0)));
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw driverError(sqliteStepError(statement), db);
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i) {
            const int type = sqlite3_column_type(statement, i);
            if (type != SQLITE_TEXT) {
                row << sqliteValue(statement, i, type);
                continue;
            }
            // Decoded as sqliteValue() decodes text.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, i));
            LastText& previous = last[static_cast<std::size_t>(i)];
            if (!previous.known || previous.bytes.size() != size ||
                std::memcmp(previous.bytes.data(), text, size) != 0) {
                previous.known = true;
                previous.bytes.assign(text, size);
                previous.value = QString::fromUtf8(text, qsizetype(size));
            }
            row << previous.value;
        }
        rows << std::move(row);
    }
    sqlite3_reset(statement);
}

// The rows of a query run by the driver, names and values as it gives them.
void readDriverRows(QSqlQuery& query, QStringList& names, QList<QVariantList>& rows) {
    const QSqlRecord record = query.record();
    const int columns = record.count();
    names.reserve(columns);
    for (int i = 0; i < columns; ++i)
        names << record.fieldName(i);
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i) {
            // A Null of any type is the plain null QVariant.
            QVariant value = query.value(i);
            row << (value.isNull() ? QVariant() : std::move(value));
        }
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
        query.setForwardOnly(true);
        QStringList names;
        QList<QVariantList> rows;
        line = 30;
        if (db.driver()->dbmsType() == QSqlDriver::SQLite) {
            if (!query.prepare(sql))
                throw driverError(query.lastError(), db);
            sqlite3_stmt* prepared = sqliteStatement(query);
            std::vector<QByteArray> texts;
            // Values of other types, or a count that does not match the placeholders (which
            // the driver refuses), are left to the driver.
            if (prepared != nullptr && sqlite3_bind_parameter_count(prepared) == params.size() &&
                bindSqliteRow(prepared, params, texts)) {
                line = 40;
                readSqliteRows(prepared, names, rows, db);
                return Recordset(std::move(names), std::move(rows));
            }
        }
        runStatement(tipo, db, query, sql, params);
        line = 40;
        readDriverRows(query, names, rows);
        if (query.lastError().isValid())
            throw driverError(query.lastError(), db);
        return Recordset(std::move(names), std::move(rows));
    });
}

} // namespace modDA
