#include "data/Dialect.h"

namespace modDA::sql {

Sql concat(Dialect dialect, const QList<Sql>& parts) {
    return Sql::join(parts, dialect == Dialect::SqlServer ? Sql(" + ") : Sql(" || "));
}

Sql boundText(Dialect dialect) {
    return dialect == Dialect::SqlServer ? Sql("CAST(? AS nvarchar(max))") : Sql("?");
}

Sql sameCode(Dialect dialect, const Sql& column) {
    if (dialect == Dialect::SqlServer)
        return column + " = " + boundText(dialect);
    return column + " COLLATE " + Sql::identifier(QLatin1String(kCodeCollation)) + " = ?";
}

Sql sameCodes(Dialect dialect, const Sql& column, const Sql& other) {
    if (dialect == Dialect::SqlServer)
        return column + " = " + other;
    return column + " COLLATE " + Sql::identifier(QLatin1String(kCodeCollation)) + " = " + other;
}

Sql textOf(Dialect dialect, const Sql& expr) {
    if (dialect == Dialect::SqlServer)
        return "CAST(" + expr + " AS varchar(60))";
    return "CAST(" + expr + " AS TEXT)";
}

Sql selectFirst(Dialect dialect, const Sql& selectList, const Sql& rest) {
    if (dialect == Dialect::SqlServer) {
        // TOP goes after DISTINCT: "SELECT TOP 1 DISTINCT" is no valid T-SQL.
        static const QString distinct = QStringLiteral("DISTINCT ");
        if (selectList.text().trimmed().startsWith(distinct, Qt::CaseInsensitive))
            return "SELECT DISTINCT TOP 1 " + selectList.withoutPrefix(distinct) + " " + rest;
        return "SELECT TOP 1 " + selectList + " " + rest;
    }
    return "SELECT " + selectList + " " + rest + " LIMIT 1";
}

Sql roundTo(Dialect dialect, const Sql& expr, int scale) {
    if (dialect == Dialect::SqlServer)
        return "CONVERT(numeric(20," + Sql::integer(scale) + "), " + expr + ")";
    return "ROUND(" + expr + ", " + Sql::integer(scale) + ")";
}

Sql todayYmd(Dialect dialect) {
    if (dialect == Dialect::SqlServer)
        return "CONVERT(varchar, GETDATE(), 112)";
    return "strftime('%Y%m%d', GETDATE())";
}

Sql left(Dialect dialect, const Sql& expr, int count) {
    if (dialect == Dialect::SqlServer)
        return "LEFT(" + expr + ", " + Sql::integer(count) + ")";
    return "substr(" + expr + ", 1, " + Sql::integer(count) + ")";
}

Sql right(Dialect dialect, const Sql& expr, int count) {
    if (dialect == Dialect::SqlServer)
        return "RIGHT(" + expr + ", " + Sql::integer(count) + ")";
    // substr with a negative start counts from the end; 0 characters must stay empty.
    if (count <= 0)
        return "substr(" + expr + ", 1, 0)";
    return "substr(" + expr + ", -" + Sql::integer(count) + ")";
}

Sql updateFrom(Dialect dialect, const Sql& table, const Sql& setList, const Sql& source,
               const Sql& joinCondition, const Sql& where) {
    if (dialect == Dialect::SqlServer) {
        Sql text = "UPDATE " + table + " SET " + setList + " FROM " + table + " INNER JOIN " +
                   source + " ON " + joinCondition;
        if (!where.isEmpty())
            text += " WHERE " + where;
        return text;
    }
    Sql text = "UPDATE " + table + " SET " + setList + " FROM " + source + " WHERE (" +
               joinCondition + ")";
    if (!where.isEmpty())
        text += " AND (" + where + ")";
    return text;
}

} // namespace modDA::sql
