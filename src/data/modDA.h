#pragma once

#include "data/Recordset.h"
#include "data/Sql.h"

#include <QDateTime>
#include <QString>
#include <QVariantList>

#include <functional>

// The only way into the two databases: the local file (selector 1) and the declaration
// catalog (any other selector; callers pass 2).
namespace modDA {

inline constexpr int kLocal = 1;
inline constexpr int kCatalog = 2;

enum class Dialect { SqlServer, Sqlite };

// Closes the local file's connection (the sibling program needs the file); the next use
// opens it again.
void closeLocalConnection();
// The connection string the stored profile selects (selector 2), or the local file's.
QString getConnectionString(int tipo);

// Dialect of the connection behind a selector (opens it when needed).
Dialect dialect(int tipo = kCatalog);

// A read: every value bound to a '?' placeholder, never pasted into the text. An empty
// QString binds as the empty text; a QVariant() binds as Null.
Recordset getRs(int tipo, const Sql& sql, const QVariantList& params = {});
// A write: rows affected.
int execSQL(int tipo, const Sql& sql, const QVariantList& params = {});

// The same write once per list of values, the statement prepared once (bulk writes): the rows
// affected by each. Fails as execSQL does, at the first list that fails.
QList<int> execSQLEach(int tipo, const Sql& sql, const QList<QVariantList>& paramRows);

// Runs one of the catalog's procedures (the program's six and sp_delete_ART) by name with
// its text arguments: built in on SQLite, EXEC on SQL Server. A failure carries execSQL's
// location, as when the procedures were sent as command texts.
void runProcedure(const QString& name, const QStringList& args);

// The declaration list: every column of DDT, highest number first, filtered on IDDT or IEXT
// containing `filtro` (a LIKE pattern: callers blank out quotes first), without SIMI, SIRA and
// SEDI declarations unless `mostrarSIMI`.
Recordset getDDT(const QString& filtro, bool mostrarSIMI);
// The same rows with only the columns a list of declarations shows, in this order: IDDT,
// IEXT, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, DDDTOFICIA. Failures carry getDDT's location.
Recordset getDDTList(const QString& filtro, bool mostrarSIMI);
// One declaration by its number: the DDT row whose IDDT equals `iddt` (empty when none).
Recordset getDDTByNumber(const QString& iddt);

// Installs the program's procedures that the catalog lacks (SQL Server); on SQLite they are
// built in.
void updateStore();

// One transaction on a selector's connection: rolled back unless commit() was called. Inside
// another one on the same connection it is a savepoint: undone alone unless committed, and
// kept only when the outer one commits too. Commit the inner one before the outer one.
class Transaction {
public:
    explicit Transaction(int tipo = kCatalog);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    int tipo_;
    int level_ = 0;
    bool done_ = false;
};

// Building the "interno" profile's string calls this (the main window appends " version
// Interna" to its title label), once per build.
void setInternalProfileListener(std::function<void()> listener);

// The clock behind GETDATE() on SQLite catalogs; an empty function is the system clock.
void setClock(std::function<QDateTime()> clock);

// Test seams: opens the catalog connection in place of QSqlDatabase::open() (true = opened),
// and drops both cached connections (and the opener) so that the next use opens them anew.
void resetConnectionsForTests();

// Test seam: while one is alive, dialect() answers `dialect` and getRs, execSQL and
// runProcedure record their statements instead of running them (getRs gives the queued
// recordsets in order, then empty ones; execSQL gives 0). Shows the server's text of a query
// on a machine without a server.
class StatementCapture {
public:
    struct Statement {
        QString text;
        QVariantList params;
    };
    explicit StatementCapture(Dialect dialect);
    ~StatementCapture();
    StatementCapture(const StatementCapture&) = delete;
    StatementCapture& operator=(const StatementCapture&) = delete;

    // Answers for the reads, in order; writes take none.
    void queue(Recordset rs) { results_ << std::move(rs); }
    // What every captured write reports as its count of rows changed (0 unless set).
    void answerWritesWith(int rows) { writeRows_ = rows; }
    [[nodiscard]] const QList<Statement>& statements() const { return statements_; }
    [[nodiscard]] QStringList texts() const;

    // Used by the data layer.
    static StatementCapture* active();
    [[nodiscard]] Dialect dialect() const { return dialect_; }
    Recordset record(const QString& text, const QVariantList& params);
    int recordWrite(const QString& text, const QVariantList& params);

private:
    Dialect dialect_;
    QList<Statement> statements_;
    QList<Recordset> results_;
    int writeRows_ = 0;
    StatementCapture* previous_;
};

} // namespace modDA
