#include "data/connection.h"

#include "data/connection_internal.h"

#include <QHash>
#include <QObject>
#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

namespace modDA {

namespace {

// The statements kept prepared on one SQLite connection. A child of its driver: gone with the
// driver, and the driver finalizes them itself when it closes the connection.
class PreparedStatements : public QObject {
public:
    explicit PreparedStatements(QObject* driver) : QObject(driver) {}
    QHash<QString, QSqlQuery> queries;
};

} // namespace

void runPreparedSqlite(const QSqlDatabase& db, const QString& sql, const QVariantList& params) {
    QSqlDriver* driver = db.driver();
    auto* kept = driver->findChild<PreparedStatements*>(QString(), Qt::FindDirectChildrenOnly);
    if (kept == nullptr)
        kept = new PreparedStatements(driver);
    auto it = kept->queries.find(sql);
    // A statement the driver finalized when the connection closed is prepared again.
    if (it == kept->queries.end() || sqliteStatement(*it) == nullptr) {
        QSqlQuery query(db);
        if (!query.prepare(sql))
            throw driverError(query.lastError(), QString(), {}, sqliteFileOf(db));
        it = kept->queries.insert(sql, std::move(query));
    }
    QSqlQuery& query = *it;
    sqlite3_stmt* statement = sqliteStatement(query);
    std::vector<QByteArray> texts;
    if (bindSqliteRow(statement, params, texts)) {
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            throw driverError(sqliteStepError(statement), QString(), {}, sqliteFileOf(db));
        sqlite3_reset(statement);
        return;
    }
    bindThroughDriver(query, params);
    if (!query.exec())
        throw driverError(query.lastError(), QString(), {}, sqliteFileOf(db));
    // Done with: the statement keeps no read open on the file.
    query.finish();
}

} // namespace modDA
