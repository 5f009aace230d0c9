#include "data/connection.h"

#include "data/CatalogTrouble.h"
#include "data/ProfileAsker.h"
#include "data/connection_internal.h"
#include "data/modDA.h"
#include "data/schema.h"
#include "data/sqlite_functions.h"
#include "runtime/Ui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include <sqlite3.h>

namespace modDA {

namespace {

const QString kCatalogName = QStringLiteral("corvelix_catalog");

std::function<bool(QSqlDatabase&)>& catalogOpener() {
    static std::function<bool(QSqlDatabase&)> fn;
    return fn;
}

// What the catalog connection opens: a SQLite file, or an ODBC connection string.
struct CatalogTarget {
    QString driver;
    QString name;
    // Named by CORVELIX_KITSQL: the profile plays no part, so the profile dialog cannot help.
    bool fromVariable = false;
};

QString& profileCatalogForTests() {
    static QString path;
    return path;
}

CatalogTarget catalogTarget(const QString& profileString) {
    const QString configured = qEnvironmentVariable("CORVELIX_KITSQL");
    if (configured.isEmpty()) {
        if (!profileCatalogForTests().isEmpty())
            return {QStringLiteral("QSQLITE"), profileCatalogForTests()};
        return {QStringLiteral("QODBC"), odbcConnectionString(profileString)};
    }
    if (configured.contains(QLatin1Char('=')))
        return {QStringLiteral("QODBC"), configured, true};
    return {QStringLiteral("QSQLITE"), configured, true};
}

// How long a catalog locked by another program is waited for before the user is asked.
int& busyWaitMs() {
    static int ms = 10000;
    return ms;
}

// How long a statement waits for a lock that another program holds on a SQLite file.
int& lockWaitMs() {
    static int ms = kLockWaitMs;
    return ms;
}

// SQLite's busy handler on our connections: while another program holds the file, the
// statement waits in short steps, up to the lock wait, under the busy pointer, and the windows
// are painted again meanwhile, a box just closed giving way to what it covered (the wait runs
// inside the statement, so nothing else may run).
int waitForLock(void*, int count) {
    // Statements run on the main thread only, one at a time.
    static QElapsedTimer waited;
    static qint64 painted = 0;
    if (count == 0) {
        waited.start();
        painted = 0;
        // The pointer says so for the wait; put back once the program is idle again.
        if (!corvelix::ui().isBusy()) {
            corvelix::ui().setBusy(true);
            QTimer::singleShot(0, [] { corvelix::ui().setBusy(false); });
        }
    }
    if (waited.elapsed() >= lockWaitMs())
        return 0;
    QThread::msleep(count < 10 ? 5 : 20);
    if (waited.elapsed() - painted >= 100) {
        painted = waited.elapsed();
        corvelix::ui().repaintWindows();
    }
    return 1;
}

void installLockWait(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        if (sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData()))
            sqlite3_busy_handler(sqlite, waitForLock, nullptr);
}

// The named connection with the wanted driver; an old one of another driver is dropped.
QSqlDatabase namedConnection(const QString& name, const QString& driver) {
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.driverName() == driver)
            return db;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    return QSqlDatabase::addDatabase(driver, name);
}

} // namespace

// A forward-only query: on a server any other kind asks for a server-side cursor, which
// statements that are no plain SELECT do not get.
QSqlQuery plainQuery(const QSqlDatabase& db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    return query;
}

void execPlain(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query = plainQuery(db);
    if (!query.exec(sql))
        throw driverError(query.lastError(), db);
}

namespace {

struct OpenOutcome {
    enum Status { Opened, Failed, Busy } status = Failed;
    CatalogTarget target;
    // Why it failed, in Spanish, for the user.
    QString reason;
};

bool isBusy(const QSqlError& error) {
    // SQLITE_BUSY and SQLITE_LOCKED: another program holds the file.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

// Checks, without writing anything, that an open SQLite file is the catalog: a database that
// holds the outside system's tables. Empty when it is.
QString catalogProblem(QSqlDatabase& db, bool& busy) {
    QSqlQuery query = plainQuery(db);
    // Wait here, not in the driver: the caller waits with the window responsive.
    query.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                   "name IN ('DDT', 'ART')")) ||
        !query.next()) {
        busy = isBusy(query.lastError());
        if (busy)
            return QStringLiteral("otro programa lo tiene bloqueado");
        if (query.lastError().nativeErrorCode() == QLatin1String("26"))
            return QStringLiteral("no es una base de datos SQLite");
        // A catalog in WAL mode in a folder the user cannot write cannot even be read: the
        // engine's reason says so ("solo lectura").
        return driverError(query.lastError(), db).description;
    }
    if (query.value(0).toInt() < 2)
        return QStringLiteral("no tiene las tablas del catálogo (DDT, ART)");
    return {};
}

// Opens the catalog once; any failure counts as a failed open, with its reason.
OpenOutcome tryOpenCatalog() {
    OpenOutcome outcome;
    try {
        outcome.target = catalogTarget(getConnectionString(kCatalog));
        const CatalogTarget& target = outcome.target;
        const bool sqlite = target.driver == QLatin1String("QSQLITE");
        if (sqlite) {
            // Opening a missing path would create an empty file without the catalog's tables.
            const QFileInfo file(target.name);
            if (!file.exists()) {
                outcome.reason = QStringLiteral("el archivo no existe");
                return outcome;
            }
            if (!file.isFile()) {
                outcome.reason = QStringLiteral("no es un archivo");
                return outcome;
            }
            if (!file.isReadable()) {
                outcome.reason = QStringLiteral("no hay permiso para leerlo");
                return outcome;
            }
        }
        QSqlDatabase db = namedConnection(kCatalogName, target.driver);
        db.close();
        db.setDatabaseName(target.name);
        db.setConnectOptions(sqlite ? QString() : QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
        const bool opened = catalogOpener() ? catalogOpener()(db) : db.open();
        if (!opened || !db.isOpen()) {
            outcome.reason = driverError(db.lastError(), target.driver).description;
            return outcome;
        }
        if (sqlite) {
            bool busy = false;
            const QString problem = catalogProblem(db, busy);
            if (!problem.isEmpty()) {
                // Left open, it would pass for a working catalog on the next use.
                db.close();
                outcome.status = busy ? OpenOutcome::Busy : OpenOutcome::Failed;
                outcome.reason = problem;
                return outcome;
            }
            try {
                applyCommitSettings(db);
                registerSqliteFunctions(db);
                installLockWait(db);
            } catch (...) {
                db.close();
                throw;
            }
        }
        connectionOpened(kCatalog);
        outcome.status = OpenOutcome::Opened;
        return outcome;
    } catch (const corvelix::VbError& error) {
        outcome.reason = error.description;
        return outcome;
    } catch (const std::exception& error) {
        outcome.reason = QString::fromLocal8Bit(error.what());
        return outcome;
    }
}

// The program did not end where it should have (no one set the trouble handler: a tool):
// the failure goes up as an error, never on to a catalog that is not open.
[[noreturn]] void giveUp(const QString& why) {
    throw corvelix::VbError(kErrProvider, QStringLiteral("Corvelix"), why);
}

// A catalog locked by another program: tried again for a while with the busy pointer and the
// window responsive, then the user chooses to wait again or to end.
OpenOutcome waitWhileBusy(OpenOutcome outcome) {
    while (outcome.status == OpenOutcome::Busy) {
        QElapsedTimer waited;
        waited.start();
        corvelix::ui().setBusy(true);
        while (outcome.status == OpenOutcome::Busy && waited.elapsed() < busyWaitMs()) {
            corvelix::ui().processEvents();
            QThread::msleep(50);
            outcome = tryOpenCatalog();
        }
        corvelix::ui().setBusy(false);
        if (outcome.status != OpenOutcome::Busy)
            break;
        const QString text = QStringLiteral("El catálogo ") +
                             QDir::toNativeSeparators(outcome.target.name) +
                             QStringLiteral(" está ocupado: otro programa lo tiene bloqueado.\n\n"
                                            "¿Desea reintentar?");
        if (!reportCatalogTrouble({CatalogTrouble::Busy, text}))
            giveUp(text);
        outcome = tryOpenCatalog();
    }
    return outcome;
}

// The catalog named by CORVELIX_KITSQL cannot be used: say which and why; the program ends.
[[noreturn]] void endForVariable(const OpenOutcome& outcome) {
    const bool sqlite = outcome.target.driver == QLatin1String("QSQLITE");
    const QString what = sqlite ? QStringLiteral("No se puede abrir el catálogo ") +
                                      QDir::toNativeSeparators(outcome.target.name)
                                : QStringLiteral("No se puede conectar con el catálogo");
    const QString text = what + QStringLiteral(": ") + outcome.reason +
                         QStringLiteral(".\n\nEl catálogo lo indica la variable de "
                                        "entorno CORVELIX_KITSQL; corríjala o quítela.");
    reportCatalogTrouble({CatalogTrouble::Unusable, text});
    giveUp(text);
}

QSqlDatabase openLocal() {
    QSqlDatabase db = namedConnection(kLocalConnectionName, QStringLiteral("QSQLITE"));
    if (db.isOpen())
        return db;
    const QString path = getConnectionString(kLocal);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw corvelix::VbError(kErrProvider, QStringLiteral("QSQLITE"),
                                QStringLiteral("No se puede crear la carpeta ") + folder);
    db.setDatabaseName(path);
    if (!db.open())
        throw driverError(db.lastError(), db);
    connectionOpened(kLocal);
    try {
        registerSqliteFunctions(db);
        installLockWait(db);
        if (db.tables().isEmpty())
            createLocalSchema(db);
    } catch (...) {
        db.close();
        throw;
    }
    return db;
}

} // namespace

// The connection of a selector as it is, without opening it.
QSqlDatabase cachedConnection(int tipo) {
    const QString& name = tipo == kLocal ? kLocalConnectionName : kCatalogName;
    return QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase();
}

QSqlDatabase getConnection(int tipo) {
    try {
        if (tipo == kLocal)
            return openLocal();
        if (QSqlDatabase::contains(kCatalogName)) {
            QSqlDatabase db = QSqlDatabase::database(kCatalogName, false);
            if (db.isOpen())
                return db;
        }
    } catch (...) {
        corvelix::VbError error = corvelix::currentError();
        error.description = QStringLiteral("Error de conexión, Comuníquese con soporte técnico. ");
        corvelix::reraise(error, QStringLiteral("Corvelix.modDA.getConnection"));
    }
    // Failures from here on never leave but through the program's trouble handler, which ends
    // the program: a catalog named by CORVELIX_KITSQL that cannot be used is told with the
    // reason; on the profile road they lead to the profile dialog, and each answer is tried
    // twice before the dialog comes back. Only cancelling it ends that loop.
    for (;;) {
        OpenOutcome outcome = waitWhileBusy(tryOpenCatalog());
        if (outcome.status == OpenOutcome::Failed && outcome.target.fromVariable)
            endForVariable(outcome);
        bool failed = outcome.status != OpenOutcome::Opened;
        if (failed) {
            if (askForProfile().isEmpty()) {
                reportCatalogTrouble({CatalogTrouble::Cancelled, {}});
                giveUp(QStringLiteral("Error de conexión, Comuníquese con soporte técnico. "));
            }
            outcome = waitWhileBusy(tryOpenCatalog());
            if (outcome.status == OpenOutcome::Failed && outcome.target.fromVariable)
                endForVariable(outcome);
            failed = outcome.status != OpenOutcome::Opened;
        }
        if (!failed)
            return QSqlDatabase::database(kCatalogName, false);
    }
}

void closeLocalConnection() {
    if (QSqlDatabase::contains(kLocalConnectionName))
        QSqlDatabase::database(kLocalConnectionName, false).close();
    breakTransaction(kLocal, connectionLost());
}

Dialect dialect(int tipo) {
    if (StatementCapture* capture = StatementCapture::active())
        return capture->dialect();
    if (tipo == kLocal)
        return Dialect::Sqlite;
    // The engine behind the open connection decides, whatever the configuration says now.
    return getConnection(tipo).driverName() == QLatin1String("QSQLITE") ? Dialect::Sqlite
                                                                        : Dialect::SqlServer;
}

void setCatalogOpenerForTests(std::function<bool(QSqlDatabase&)> opener) {
    catalogOpener() = std::move(opener);
}

void setProfileCatalogForTests(const QString& sqlitePath) {
    profileCatalogForTests() = sqlitePath;
}

void setBusyWaitForTests(int milliseconds) {
    busyWaitMs() = milliseconds < 0 ? 10000 : milliseconds;
}

void setLockWaitForTests(int milliseconds) {
    lockWaitMs() = milliseconds < 0 ? kLockWaitMs : milliseconds;
}

void resetConnectionsForTests() {
    for (const QString& name : {kLocalConnectionName, kCatalogName}) {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
    resetTransactionsForTests();
    catalogOpener() = {};
    profileCatalogForTests().clear();
    busyWaitMs() = 10000;
    lockWaitMs() = kLockWaitMs;
}

} // namespace modDA
