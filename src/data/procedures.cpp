#include "data/connection.h"
#include "data/modDA.h"
#include "data/procedures_sqlite.h"

#include "runtime/VbError.h"

#include <QVariantList>

namespace modDA {

namespace {

[[noreturn]] void refuse(const QString& description) {
    throw corvelix::VbError(kErrProvider, QStringLiteral("Corvelix"), description);
}

// Only the known procedures are run, with as many arguments as they take: the name goes into
// the statement text, so nothing else may reach it.
const ProcedureSignature& checkedProcedure(const QString& name, const QStringList& args) {
    const ProcedureSignature* procedure = findProcedure(name);
    if (!procedure)
        refuse(QStringLiteral("No se encontró el procedimiento almacenado '") + name +
               QStringLiteral("'."));
    if (args.size() > procedure->parameters.size())
        refuse(QStringLiteral("El procedimiento o la función ") + procedure->name +
               QStringLiteral(" tiene demasiados argumentos especificados."));
    if (args.size() < procedure->parameters.size())
        refuse(QStringLiteral("El procedimiento o la función '") + procedure->name +
               QStringLiteral("' espera el parámetro '") + procedure->parameters.at(args.size()) +
               QStringLiteral("', que no se ha proporcionado."));
    return *procedure;
}

// "EXEC name ?, ?" with the arguments as its values.
Sql execText(const ProcedureSignature& procedure, const QStringList& args, QVariantList& params) {
    for (const QString& arg : args)
        params << arg;
    Sql statement = "EXEC " + Sql::identifier(procedure.name);
    if (!params.isEmpty())
        statement += " " + Sql::placeholders(params.size());
    return statement;
}

} // namespace

// Callers used to send these as command texts through execSQL: a failure reads as one of
// execSQL's, whichever engine runs the procedure.
void runProcedure(const QString& name, const QStringList& args) {
    int line = 0;
    corvelix::chained(
        QStringLiteral("Corvelix.modDA.execSQL"),
        [&] {
            line = 10;
            if (StatementCapture* capture = StatementCapture::active()) {
                QVariantList params;
                const Sql statement = execText(checkedProcedure(name, args), args, params);
                (void)capture->recordWrite(statement.text(), params);
                return;
            }
            if (dialect(kCatalog) == Dialect::Sqlite) {
                QSqlDatabase db = getConnection(kCatalog);
                checkTransactionUsable(kCatalog);
                line = 20;
                const ProcedureSignature& procedure = checkedProcedure(name, args);
                try {
                    sqlite::run(db, procedure, args);
                } catch (corvelix::VbError& error) {
                    if (error.source.isEmpty())
                        error.source = db.driverName();
                    // On the server a failing procedure undoes the caller's transaction too
                    // (it aborts on error): the same here, so that a caller cannot go on and
                    // commit half of its work.
                    failTransaction(kCatalog, db);
                    throw;
                }
                line = 30;
                return;
            }
            line = 20;
            const ProcedureSignature& procedure = checkedProcedure(name, args);
            QVariantList params;
            execStatement(kCatalog, execText(procedure, args, params).text(), params, line);
        },
        line);
}

} // namespace modDA
