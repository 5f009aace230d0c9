#include "data/connection.h"

#include "data/connection_internal.h"
#include "data/modDA.h"

#include <QHash>
#include <QSqlQuery>

namespace modDA {

namespace {

// Open transactions per connection (selector 1 or 2).
QHash<int, int>& transactionDepths() {
    static QHash<int, int> depths;
    return depths;
}

int connectionKey(int tipo) {
    return tipo == kLocal ? kLocal : kCatalog;
}

// Why the open transaction of a connection can go no further; none: it can.
QHash<int, QString>& brokenTransactions() {
    static QHash<int, QString> reasons;
    return reasons;
}

QString savepointName(int level) {
    return QStringLiteral("corvelix_sp%1").arg(level);
}

} // namespace

// The transaction of a connection is gone while Transaction objects still stand for it:
// whatever they would run next would no longer belong to it.
void breakTransaction(int tipo, const QString& reason) {
    const int key = connectionKey(tipo);
    if (transactionDepths().value(key) > 0 && !brokenTransactions().contains(key))
        brokenTransactions().insert(key, reason);
}

const QString& connectionLost() {
    static const QString reason =
        QStringLiteral("Se perdió la conexión con la base de datos durante una transacción y "
                       "sus cambios se deshicieron.");
    return reason;
}

// A connection (re)opened: a transaction begun on the previous link is lost.
void connectionOpened(int tipo) {
    breakTransaction(tipo, connectionLost());
}

const QString& transactionUndone() {
    static const QString reason =
        QStringLiteral("La transacción se deshizo por un error anterior.");
    return reason;
}

bool inTransaction(int tipo) {
    return transactionDepths().value(connectionKey(tipo)) > 0;
}

void failTransaction(int tipo, QSqlDatabase& db) {
    if (!inTransaction(tipo))
        return;
    QSqlQuery query = plainQuery(db);
    query.exec(QStringLiteral("ROLLBACK"));
    breakTransaction(tipo, transactionUndone());
}

void checkTransactionUsable(int tipo) {
    const auto it = brokenTransactions().constFind(connectionKey(tipo));
    if (it != brokenTransactions().constEnd())
        throw corvelix::VbError(kErrProvider, QStringLiteral("Corvelix.modDA"),
                                it.value() +
                                    QStringLiteral(" No se ejecutan más instrucciones en ella."));
}

Transaction::Transaction(int tipo) : tipo_(tipo) {
    QSqlDatabase db = getConnection(tipo_);
    checkTransactionUsable(tipo_);
    int& depth = transactionDepths()[connectionKey(tipo_)];
    if (depth == 0) {
        // On SQLite the write lock is taken at once, waiting for it as any statement does: a
        // transaction begun deferred that reads first cannot wait later, when another
        // program has written meanwhile, and fails at its first write.
        if (db.driverName() == QLatin1String("QSQLITE"))
            execPlain(db, QStringLiteral("BEGIN IMMEDIATE"));
        else if (!db.transaction())
            throw driverError(db.lastError(), db);
    } else {
        // Inside another transaction: a savepoint, so that this part alone can be undone.
        const QString name = savepointName(depth + 1);
        execPlain(db, db.driverName() == QLatin1String("QSQLITE")
                          ? QStringLiteral("SAVEPOINT ") + name
                          : QStringLiteral("SAVE TRANSACTION ") + name);
    }
    level_ = ++depth;
}

Transaction::~Transaction() {
    if (done_)
        return;
    try {
        QSqlDatabase db = cachedConnection(tipo_);
        const int key = connectionKey(tipo_);
        int& depth = transactionDepths()[key];
        if (brokenTransactions().contains(key)) {
            // Already undone (or lost with its link): nothing left to roll back.
            depth = std::max(level_ - 1, 0);
            if (depth == 0)
                brokenTransactions().remove(key);
            return;
        }
        if (level_ == 1) {
            db.rollback();
        } else {
            const QString name = savepointName(level_);
            QSqlQuery query = plainQuery(db);
            if (db.driverName() == QLatin1String("QSQLITE")) {
                query.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
                query.exec(QStringLiteral("RELEASE SAVEPOINT ") + name);
            } else {
                query.exec(QStringLiteral("ROLLBACK TRANSACTION ") + name);
            }
        }
        depth = std::max(level_ - 1, 0);
    } catch (...) {
        // Nothing may leave a destructor; an unreachable connection has nothing to undo.
    }
}

void Transaction::commit() {
    if (done_)
        return;
    const auto broken = brokenTransactions().constFind(connectionKey(tipo_));
    if (broken != brokenTransactions().constEnd())
        throw corvelix::VbError(kErrProvider, QStringLiteral("Corvelix.modDA"),
                                broken.value() + QStringLiteral(" No se puede confirmar."));
    int& depth = transactionDepths()[connectionKey(tipo_)];
    if (depth != level_)
        throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix.modDA"),
                                QStringLiteral("Hay una transacción interna sin terminar."));
    QSqlDatabase db = cachedConnection(tipo_);
    if (level_ == 1) {
        // On SQLite the COMMIT runs as a statement of its own: the driver's commit drops the
        // engine's code, and a WAL catalog whose disk is full fails only here.
        if (db.driverName() == QLatin1String("QSQLITE"))
            execPlain(db, QStringLiteral("COMMIT"));
        else if (!db.commit())
            throw driverError(db.lastError(), db);
    } else if (db.driverName() == QLatin1String("QSQLITE")) {
        execPlain(db, QStringLiteral("RELEASE SAVEPOINT ") + savepointName(level_));
    }
    done_ = true;
    depth = level_ - 1;
}

void resetTransactionsForTests() {
    transactionDepths().clear();
    brokenTransactions().clear();
}

} // namespace modDA
