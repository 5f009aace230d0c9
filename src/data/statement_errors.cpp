#include "data/connection.h"

#include "data/connection_internal.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>

#include "platform/ErrorReasons.h"

#include <sql.h>
#include <sqlext.h>

namespace modDA {

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

} // namespace modDA
