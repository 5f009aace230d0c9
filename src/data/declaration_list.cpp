#include "data/modDA.h"

#include "runtime/VbError.h"

namespace modDA {

namespace {
const Sql kWithoutSimi = "(CHARINDEX('SIMI',IDDT ,1) = 0  and CHARINDEX('SIRA',IDDT ,1) = 0 and "
                         "CHARINDEX('SEDI',IDDT ,1) = 0)";

// The list query with `columns` in its select list.
Recordset declarationList(const Sql& columns, const QString& filtro, bool mostrarSIMI) {
    int line = 0;
    return corvelix::chainedNumbered(QStringLiteral("Corvelix.modDA.getDDT"), line, [&] {
        line = 10;
        Sql sql = "select " + columns + " from DDT ";
        QVariantList params;
        line = 20;
        if (!filtro.isEmpty()) {
            // The search text is a LIKE pattern: '%' and '_' in it stay wildcards. A server
            // also reads '[' as the start of a set of characters; written "[[]" it is the
            // character itself, as on SQLite.
            QString texto = filtro;
            if (dialect() == Dialect::SqlServer)
                texto.replace(QLatin1Char('['), QStringLiteral("[[]"));
            const QString pattern = QLatin1Char('%') + texto + QLatin1Char('%');
            line = 30;
            sql += " where (IDDT like ? ";
            params << pattern;
            line = 40;
            sql += " or IEXT like ?) ";
            params << pattern;
            line = 50;
            if (!mostrarSIMI) {
                line = 60;
                sql += " and " + kWithoutSimi;
            }
        } else {
            line = 90;
            if (!mostrarSIMI) {
                line = 100;
                sql += " where " + kWithoutSimi;
            }
        }
        line = 130;
        sql += " order by iddt desc";
        line = 140;
        return getRs(kCatalog, sql, params);
    });
}

} // namespace

Recordset getDDT(const QString& filtro, bool mostrarSIMI) {
    return declarationList("*", filtro, mostrarSIMI);
}

Recordset getDDTList(const QString& filtro, bool mostrarSIMI) {
    return declarationList("IDDT, IEXT, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, DDDTOFICIA", filtro,
                           mostrarSIMI);
}

Recordset getDDTByNumber(const QString& iddt) {
    return corvelix::chained(QStringLiteral("Corvelix.modDA.getDDTByNumber"), [&] {
        return getRs(kCatalog, "select * from DDT where IDDT = ?", {iddt});
    });
}

} // namespace modDA
