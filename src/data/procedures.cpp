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

} // namespace

void runProcedure(const QString& name, const QStringList& args) {
    corvelix::chained(QStringLiteral("Corvelix.modDA.runProcedure"), [&] {
        const ProcedureSignature& procedure = checkedProcedure(name, args);
        if (dialect(kCatalog) == Dialect::Sqlite) {
            sqlite::run(getConnection(kCatalog), procedure, args);
            return;
        }
        QStringList markers;
        QVariantList params;
        for (const QString& arg : args) {
            markers << QStringLiteral("?");
            params << arg;
        }
        execSQL(kCatalog,
                QStringLiteral("EXEC ") + procedure.name + QLatin1Char(' ') +
                    markers.join(QStringLiteral(", ")),
                params);
    });
}

} // namespace modDA
