#include "data/connection.h"

#include "data/frmPerfil.h"
#include "data/modDA.h"
#include "data/schema.h"
#include "data/sqlite_functions.h"
#include "platform/Registro.h"
#include "platform/Settings.h"
#include "runtime/Paths.h"
#include "runtime/Ui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QThread>

#include <sqlite3.h>

namespace modDA {

namespace {

const QString kLocalName = QStringLiteral("corvelix_local");
const QString kCatalogName = QStringLiteral("corvelix_catalog");

// Connection strings of the profiles; the passwords belong to the outside system's logins.
constexpr char kLegacyString[] =
    R"cs(Provider=SQLOLEDB;Password=Tq83#mZ!pL0w[}r7Xv&c2^nB9%yK(e4)Hs_Ju6*Fd1~gR5{Ao8iW3=Ne$7bQ/Ck0!Ul]2Vx%t9wP,;Persist Security Info=True;User ID=kit;Initial Catalog=KitSQL;Data Source=.)cs";
constexpr char kLegacyLocalDbString[] =
    R"cs(Provider=SQLNCLI11;Server=(LocalDb)\MSSQLLocalDB;Password=Tq83#mZ!pL0w[}r7Xv&c2^nB9%yK(e4)Hs_Ju6*Fd1~gR5{Ao8iW3=Ne$7bQ/Ck0!Ul]2Vx%t9wP,;Persist Security Info=True;User ID=kit;Database=KitSQL;Initial Catalog=KitSQL)cs";
constexpr char kNuevoString[] =
    R"cs(Provider=SQLOLEDB;Server=(local);Password=Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=;Persist Security Info=True;User ID=Qit;Database=KitSQL;Initial Catalog=KitSQL)cs";
constexpr char kNuevoDbString[] =
    R"cs(Provider=SQLNCLI11;Server=(LocalDb)\MSSQLLocalDB;Password=Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=;Persist Security Info=True;User ID=Qit;Database=KitSQL;Initial Catalog=KitSQL)cs";
constexpr char kAfipV2String[] =
    R"cs(Provider=SQLNCLI11;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=KitSql;Server=.;)cs";
constexpr char kInternoString[] =
    R"cs(Provider=SQLOLEDB;Password=marlo7315;Persist Security Info=True;User ID=velquenw;Initial Catalog=KitSQL;Data Source=)cs";
// The database server of the office network that the internal profile reaches.
constexpr char kInternoServer[] = R"cs(192.168.0.10\sqlexpress)cs";

std::function<void()>& internalProfileListener() {
    static std::function<void()> fn;
    return fn;
}

std::function<bool(QSqlDatabase&)>& catalogOpener() {
    static std::function<bool(QSqlDatabase&)> fn;
    return fn;
}

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
        throw driverError(query.lastError(), db.driverName());
}

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
        return QStringLiteral("no se puede leer (") + query.lastError().databaseText().trimmed() +
               QLatin1Char(')');
    }
    if (query.value(0).toInt() < 2)
        return QStringLiteral("no tiene las tablas del catálogo (DDT, ART)");
    // The driver's usual wait for the statements of the session.
    query.exec(QStringLiteral("PRAGMA busy_timeout = 5000"));
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
                // The file keeps its journal mode: switching an existing catalog to WAL changes
                // its format for good and fails in a folder the user cannot write.
                bool wal = false;
                {
                    QSqlQuery mode = plainQuery(db);
                    wal = mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next() &&
                          mode.value(0).toString().compare(QLatin1String("wal"),
                                                           Qt::CaseInsensitive) == 0;
                    // Functions and collations cannot be registered while a statement is open.
                    mode.finish();
                }
                if (wal)
                    execPlain(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
                registerSqliteFunctions(db);
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
        const corvelix::MsgResult answer = corvelix::ui().msgBox(
            QStringLiteral("El catálogo ") + QDir::toNativeSeparators(outcome.target.name) +
                QStringLiteral(" está ocupado: otro programa lo tiene bloqueado.\n\n"
                               "¿Desea reintentar?"),
            corvelix::MsgButtons::RetryCancel, corvelix::MsgIcon::Exclamation);
        if (answer != corvelix::MsgResult::Retry)
            corvelix::ui().quit(0);
        outcome = tryOpenCatalog();
    }
    return outcome;
}

// The catalog named by CORVELIX_KITSQL cannot be used: say which and why, and end.
void endForVariable(const OpenOutcome& outcome) {
    const bool sqlite = outcome.target.driver == QLatin1String("QSQLITE");
    const QString what = sqlite ? QStringLiteral("No se puede abrir el catálogo ") +
                                      QDir::toNativeSeparators(outcome.target.name)
                                : QStringLiteral("No se puede conectar con el catálogo");
    corvelix::ui().msgBox(what + QStringLiteral(": ") + outcome.reason +
                              QStringLiteral(".\n\nEl catálogo lo indica la variable de "
                                             "entorno CORVELIX_KITSQL; corríjala o quítela."),
                          corvelix::MsgButtons::Ok, corvelix::MsgIcon::Critical);
    corvelix::ui().quit(1);
}

QSqlDatabase openLocal() {
    QSqlDatabase db = namedConnection(kLocalName, QStringLiteral("QSQLITE"));
    if (db.isOpen())
        return db;
    const QString path = getConnectionString(kLocal);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw corvelix::VbError(kErrProvider, QStringLiteral("QSQLITE"),
                                QStringLiteral("No se puede crear la carpeta ") + folder);
    db.setDatabaseName(path);
    if (!db.open())
        throw driverError(db.lastError(), db.driverName());
    connectionOpened(kLocal);
    try {
        registerSqliteFunctions(db);
        if (db.tables().isEmpty())
            createLocalSchema(db);
    } catch (...) {
        db.close();
        throw;
    }
    return db;
}

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
        runQuery(query, sql, params);
    } catch (corvelix::VbError& error) {
        error.source = db.driverName();
        checkAfterFailure(tipo, db);
        throw;
    }
}

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

// True for a SQLite statement that changes rows (INSERT, UPDATE, DELETE, REPLACE, or one of
// them led by a common table expression).
bool changesRows(const QString& sql, sqlite3_stmt* statement) {
    const QStringView word = firstWord(sql);
    for (const char* verb : {"INSERT", "UPDATE", "DELETE", "REPLACE"})
        if (word.compare(QLatin1String(verb), Qt::CaseInsensitive) == 0)
            return true;
    // A common table expression leads a SELECT or a change; only a change writes.
    return word.compare(QLatin1String("WITH"), Qt::CaseInsensitive) == 0 &&
           statement != nullptr && sqlite3_stmt_readonly(statement) == 0;
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

// The connection of a selector as it is, without opening it.
QSqlDatabase cachedConnection(int tipo) {
    const QString& name = tipo == kLocal ? kLocalName : kCatalogName;
    return QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase();
}

QString savepointName(int level) {
    return QStringLiteral("corvelix_sp%1").arg(level);
}

} // namespace

corvelix::VbError driverError(const QSqlError& error, const QString& driverName) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return {kErrProvider, driverName, text};
}

void runQuery(QSqlQuery& query, const QString& sql, const QVariantList& params) {
    // A text without values goes to a server as it stands, one plain batch (a creation script
    // must be sent so). SQLite still prepares it, so that a '?' left without a value fails.
    if (params.isEmpty() && query.driver() && query.driver()->dbmsType() != QSqlDriver::SQLite) {
        if (!query.exec(sql))
            throw driverError(query.lastError(), QString());
        return;
    }
    if (!query.prepare(sql))
        throw driverError(query.lastError(), QString());
    for (const QVariant& value : params) {
        // A null QString would go to the database as Null; an empty text is meant.
        if (value.metaType().id() == QMetaType::QString && value.toString().isNull())
            query.addBindValue(QString(QLatin1String("")));
        else
            query.addBindValue(value);
    }
    if (!query.exec())
        throw driverError(query.lastError(), QString());
}

namespace {

// The statements kept prepared on one SQLite connection. A child of its driver: gone with the
// driver, and the driver finalizes them itself when it closes the connection.
class PreparedStatements : public QObject {
public:
    explicit PreparedStatements(QObject* driver) : QObject(driver) {}
    QHash<QString, QSqlQuery> queries;
};

sqlite3_stmt* sqliteStatement(const QSqlQuery& query);

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
            throw driverError(query.lastError(), QString());
        it = kept->queries.insert(sql, std::move(query));
    }
    QSqlQuery& query = *it;
    sqlite3_stmt* statement = sqliteStatement(query);
    std::vector<QByteArray> texts;
    if (bindSqliteRow(statement, params, texts)) {
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            throw driverError(sqliteStepError(statement), QString());
        sqlite3_reset(statement);
        return;
    }
    bindThroughDriver(query, params);
    if (!query.exec())
        throw driverError(query.lastError(), QString());
    // Done with: the statement keeps no read open on the file.
    query.finish();
}

QString odbcConnectionString(const QString& profileString) {
    QHash<QString, QString> parts;
    for (const QString& piece : profileString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq > 0)
            parts.insert(piece.left(eq).trimmed().toLower(), piece.mid(eq + 1));
    }
    QString server =
        parts.value(QStringLiteral("data source"), parts.value(QStringLiteral("server"))).trimmed();
    QString instance;
    const qsizetype slash = server.indexOf(QLatin1Char('\\'));
    if (server.compare(QLatin1String("(LocalDb)\\MSSQLLocalDB"), Qt::CaseInsensitive) == 0) {
        server.clear();
    } else if (slash >= 0) {
        instance = server.mid(slash + 1);
        server = server.left(slash);
    }
    if (server.isEmpty() || server == QLatin1String(".") ||
        server.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        server = QStringLiteral("localhost");
    if (!instance.isEmpty())
        server += QLatin1Char('\\') + instance;

    // Values with ODBC's special characters go between braces, a closing brace doubled.
    const auto quoted = [](const QString& value) {
        static const QString special = QStringLiteral(";{}=");
        const bool needs =
            std::any_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); }) ||
            value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
        if (!needs)
            return value;
        QString escaped = value;
        escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
        return QLatin1Char('{') + escaped + QLatin1Char('}');
    };

    QStringList odbc{QStringLiteral("DRIVER={FreeTDS}"),
                     QStringLiteral("SERVER=") + quoted(server)};
    const QString database =
        parts.value(QStringLiteral("initial catalog"), parts.value(QStringLiteral("database")));
    if (!database.isEmpty())
        odbc << QStringLiteral("DATABASE=") + quoted(database);
    if (parts.value(QStringLiteral("integrated security"))
            .compare(QLatin1String("SSPI"), Qt::CaseInsensitive) == 0) {
        odbc << QStringLiteral("Trusted_Connection=Yes");
    } else {
        odbc << QStringLiteral("UID=") + quoted(parts.value(QStringLiteral("user id")));
        odbc << QStringLiteral("PWD=") + quoted(parts.value(QStringLiteral("password")));
    }
    odbc << QStringLiteral("ClientCharset=UTF-8");
    return odbc.join(QLatin1Char(';')) + QLatin1Char(';');
}

QString getConnectionString(int tipo) {
    try {
        if (tipo == kLocal)
            return corvelix::localDatabasePath();
        const QString word =
            corvelix::settings::getSetting(QStringLiteral("config"), QStringLiteral("perfil"));
        if (word == QLatin1String("legacy") || word.isEmpty()) {
            const QVariant srv = Registro::leerValorRegistro(
                Registro::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\SIF America\\KITMaria"),
                QStringLiteral("srv"));
            if (!srv.toString().trimmed().isEmpty())
                return QString::fromLatin1(kLegacyLocalDbString);
            return QString::fromLatin1(kLegacyString);
        }
        if (word == QLatin1String("nuevodb"))
            return QString::fromLatin1(kNuevoDbString);
        if (word == QLatin1String("afipv2"))
            return QString::fromLatin1(kAfipV2String);
        if (word != QLatin1String("interno"))
            return QString::fromLatin1(kNuevoString);
        if (internalProfileListener())
            internalProfileListener()();
        return QString::fromLatin1(kInternoString) + QString::fromLatin1(kInternoServer);
    } catch (...) {
        const corvelix::VbError error = corvelix::currentError();
        const QString location = QStringLiteral("Corvelix.modDA.getConnectionString (0)::");
        corvelix::ui().msgBox(error.description + QStringLiteral("\n\n") + location + error.source,
                              corvelix::MsgButtons::Ok);
        corvelix::reraise(error, QStringLiteral("Corvelix.modDA.getConnectionString"));
    }
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
    // Failures from here on never leave. A catalog named by CORVELIX_KITSQL that cannot be
    // used ends the program with the reason; on the profile road they lead to the profile
    // dialog, and each answer is tried twice before the dialog comes back. Only cancelling it
    // ends that loop.
    for (;;) {
        OpenOutcome outcome = waitWhileBusy(tryOpenCatalog());
        if (outcome.status == OpenOutcome::Failed && outcome.target.fromVariable)
            endForVariable(outcome);
        bool failed = outcome.status != OpenOutcome::Opened;
        if (failed) {
            frmPerfil dialog;
            dialog.sRespuesta.clear();
            corvelix::ui().exec(dialog);
            if (dialog.sRespuesta.isEmpty())
                corvelix::ui().quit(0);
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
    if (QSqlDatabase::contains(kLocalName))
        QSqlDatabase::database(kLocalName, false).close();
    breakTransaction(kLocal, connectionLost());
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

Dialect dialect(int tipo) {
    if (StatementCapture* capture = StatementCapture::active())
        return capture->dialect();
    if (tipo == kLocal)
        return Dialect::Sqlite;
    // The engine behind the open connection decides, whatever the configuration says now.
    return getConnection(tipo).driverName() == QLatin1String("QSQLITE") ? Dialect::Sqlite
                                                                        : Dialect::SqlServer;
}

namespace {

// The SQLite statement behind a query that has run, or null on other drivers.
sqlite3_stmt* sqliteStatement(const QSqlQuery& query) {
    if (!query.driver() || query.driver()->dbmsType() != QSqlDriver::SQLite || !query.result())
        return nullptr;
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

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
            throw driverError(
                QSqlError(QStringLiteral("Unable to fetch row"),
                          QString::fromUtf8(sqlite3_errmsg(handle)), QSqlError::StatementError,
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
        throw driverError(query.lastError(), db.driverName());
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
                corvelix::VbError error = driverError(query.lastError(), db.driverName());
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
                            driverError(sqliteStepError(statement), db.driverName());
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

namespace {
StatementCapture*& activeCapture() {
    static StatementCapture* capture = nullptr;
    return capture;
}
} // namespace

StatementCapture::StatementCapture(Dialect dialect)
    : dialect_(dialect), previous_(activeCapture()) {
    activeCapture() = this;
}

StatementCapture::~StatementCapture() {
    activeCapture() = previous_;
    // CORVELIX_SERVER_SQL names a file that collects every server text the tests capture, one
    // statement a line, for a reader with a server or a T-SQL parser (scripts/server-sql).
    const QString out = qEnvironmentVariable("CORVELIX_SERVER_SQL");
    if (dialect_ != Dialect::SqlServer || out.isEmpty() || statements_.isEmpty())
        return;
    QFile file(out);
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return;
    for (const Statement& statement : statements_) {
        // Line comments go (outside quotes), so that the statement still reads on one line.
        QStringList parts;
        for (const QString& textLine : statement.text.split(QLatin1Char('\n'))) {
            bool quoted = false;
            qsizetype end = textLine.size();
            for (qsizetype i = 0; i < textLine.size(); ++i) {
                if (textLine.at(i) == QLatin1Char('\'')) {
                    quoted = !quoted;
                } else if (!quoted && textLine.mid(i, 2) == QLatin1String("--")) {
                    end = i;
                    break;
                }
            }
            parts << textLine.left(end).trimmed();
        }
        parts.removeAll(QString());
        file.write(parts.join(QLatin1Char(' ')).toUtf8() + '\n');
    }
}

StatementCapture* StatementCapture::active() {
    return activeCapture();
}

QStringList StatementCapture::texts() const {
    QStringList out;
    for (const Statement& statement : statements_)
        out << statement.text;
    return out;
}

Recordset StatementCapture::record(const QString& text, const QVariantList& params) {
    statements_.append({text, params});
    return results_.isEmpty() ? Recordset() : results_.takeFirst();
}

int StatementCapture::recordWrite(const QString& text, const QVariantList& params) {
    statements_.append({text, params});
    return writeRows_;
}

Transaction::Transaction(int tipo) : tipo_(tipo) {
    QSqlDatabase db = getConnection(tipo_);
    checkTransactionUsable(tipo_);
    int& depth = transactionDepths()[connectionKey(tipo_)];
    if (depth == 0) {
        if (!db.transaction())
            throw driverError(db.lastError(), db.driverName());
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
        if (!db.commit())
            throw driverError(db.lastError(), db.driverName());
    } else if (db.driverName() == QLatin1String("QSQLITE")) {
        execPlain(db, QStringLiteral("RELEASE SAVEPOINT ") + savepointName(level_));
    }
    done_ = true;
    depth = level_ - 1;
}

void setInternalProfileListener(std::function<void()> listener) {
    internalProfileListener() = std::move(listener);
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

void resetConnectionsForTests() {
    for (const QString& name : {kLocalName, kCatalogName}) {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
    transactionDepths().clear();
    brokenTransactions().clear();
    catalogOpener() = {};
    profileCatalogForTests().clear();
    busyWaitMs() = 10000;
}

} // namespace modDA
