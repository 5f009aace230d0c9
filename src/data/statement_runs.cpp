#include "data/connection.h"

#include "data/connection_internal.h"
#include "data/modDA.h"

#include <QSqlQuery>

#include <sqlite3.h>

namespace modDA {

// A failed statement on a server connection may mean the link dropped: then close it, so
// that the next use opens it again. Some failures also undo the open transaction on the
// server (any failure inside a procedure that aborts on error): then it is over here too.
void checkAfterFailure(int tipo, QSqlDatabase& db) {
    if (!db.isOpen() || db.driverName() == QLatin1String("QSQLITE"))
        return;
    QSqlQuery probe = plainQuery(db);
    if (!probe.exec(QStringLiteral("SELECT @@TRANCOUNT")) || !probe.next()) {
        db.close();
        breakTransaction(tipo, connectionLost());
    } else if (probe.value(0).toInt() == 0) {
        breakTransaction(tipo, transactionUndone());
    }
}

// Runs one statement of getRs/execSQL: the driver's name as the error's source, and a
// dropped server link closed so that the next use reopens it.
void runStatement(int tipo, QSqlDatabase& db, QSqlQuery& query, const QString& sql,
                  const QVariantList& params) {
    query.setForwardOnly(true);
    try {
        runQuery(query, sql, params, sqliteFileOf(db));
    } catch (corvelix::VbError& error) {
        error.source = db.driverName();
        checkAfterFailure(tipo, db);
        throw;
    }
}

int execStatement(int tipo, const QString& sql, const QVariantList& params, int& line) {
    line = 10;
    QSqlDatabase db = getConnection(tipo);
    checkTransactionUsable(tipo);
    line = 20;
    QSqlQuery query(db);
    runStatement(tipo, db, query, sql, params);
    // Counts beyond the old 16-bit range come back whole.
    const int affected = rowsAffected(query, sql);
    // A procedure or batch may hold further results: read them all, so that it runs to its end
    // (closing the statement early cancels the rest) and a later failure is reported.
    while (query.nextResult()) {
    }
    if (query.lastError().isValid())
        throw driverError(query.lastError(), db);
    line = 30;
    query.finish();
    return affected;
}

int execSQL(int tipo, const Sql& sql, const QVariantList& params) {
    if (StatementCapture* capture = StatementCapture::active())
        return capture->recordWrite(sql.text(), params);
    int line = 0;
    return corvelix::chained(
        QStringLiteral("Corvelix.modDA.execSQL"),
        [&] { return execStatement(tipo, sql.text(), params, line); }, line);
}

QList<int> execSQLEach(int tipo, const Sql& sql, const QList<QVariantList>& paramRows) {
    QList<int> affected;
    affected.reserve(paramRows.size());
    if (StatementCapture* capture = StatementCapture::active()) {
        for (const QVariantList& params : paramRows)
            affected << capture->recordWrite(sql.text(), params);
        return affected;
    }
    if (paramRows.isEmpty())
        return affected;
    int line = 0;
    return corvelix::chained(
        QStringLiteral("Corvelix.modDA.execSQL"),
        [&] {
            line = 10;
            QSqlDatabase db = getConnection(tipo);
            checkTransactionUsable(tipo);
            line = 20;
            QSqlQuery query(db);
            query.setForwardOnly(true);
            const auto fail = [&] {
                corvelix::VbError error =
                    driverError(query.lastError(), db, odbcState(query));
                checkAfterFailure(tipo, db);
                throw error;
            };
            if (!query.prepare(sql.text()))
                fail();
            // On SQLite the rows are bound and run on the statement itself: the driver spends
            // more on naming each bound value than the engine spends on the row.
            if (sqlite3_stmt* statement = sqliteStatement(query)) {
                const bool writes = changesRows(sql.text(), statement);
                sqlite3* handle = sqlite3_db_handle(statement);
                std::vector<QByteArray> texts;
                for (const QVariantList& params : paramRows) {
                    if (!bindSqliteRow(statement, params, texts)) {
                        bindThroughDriver(query, params);
                        if (!query.exec())
                            fail();
                        affected << rowsAffected(query, sql.text());
                        continue;
                    }
                    const int rc = sqlite3_step(statement);
                    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
                        corvelix::VbError error =
                            driverError(sqliteStepError(statement), db);
                        checkAfterFailure(tipo, db);
                        throw error;
                    }
                    affected << (writes ? sqlite3_changes(handle) : -1);
                }
                sqlite3_reset(statement);
                line = 30;
                query.finish();
                return affected;
            }
            for (const QVariantList& params : paramRows) {
                bindThroughDriver(query, params);
                if (!query.exec())
                    fail();
                affected << rowsAffected(query, sql.text());
            }
            line = 30;
            query.finish();
            return affected;
        },
        line);
}

} // namespace modDA
