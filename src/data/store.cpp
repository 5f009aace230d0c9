#include "data/store.h"

#include "data/item_list_procedures.h"
#include "data/modDA.h"
#include "data/procedures_sqlite.h"

#include "runtime/TextCodec.h"
#include "runtime/VbError.h"

#include <QFile>

namespace modDA {

namespace detail {

Sql procedureScript(const QString& name) {
    if (const ItemListProcedure* list = findItemListProcedure(name))
        return serverScript(*list);
    const QList<ProcedureSignature>& procedures = programProcedures();
    for (int i = 0; i < procedures.size(); ++i) {
        if (procedures.at(i).name == name)
            return Sql::fromResource(
                QStringLiteral(":/sql/procedures/%1_%2.sql").arg(101 + i).arg(name));
    }
    return Sql::fromResource(QStringLiteral(":/sql/procedures/") + name);
}

void installMissingProcedures(const CatalogRead& read, const CatalogWrite& write) {
    for (const ProcedureSignature& procedure : programProcedures()) {
        const QString& name = procedure.name;
        const Recordset found = read("SELECT name FROM sysobjects WHERE name= ?", {name});
        if (!found.eof())
            continue; // an existing procedure is never replaced
        write(procedureScript(name));
    }
}

} // namespace detail

void updateStore() {
    corvelix::chained(QStringLiteral("Corvelix.modDA.updateStore"), [] {
        // SQLite catalogs have the procedures built in: the look-up still runs (it is the
        // start-up's first look at the catalog) but there is nothing to install.
        const bool builtIn = dialect(kCatalog) == Dialect::Sqlite;
        detail::installMissingProcedures(
            [](const Sql& sql, const QVariantList& params) { return getRs(kCatalog, sql, params); },
            [builtIn](const Sql& sql) { return builtIn ? 0 : execSQL(kCatalog, sql); });
    });
}

} // namespace modDA
