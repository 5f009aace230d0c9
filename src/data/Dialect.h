#pragma once

#include "data/modDA.h"

#include <QString>
#include <QStringList>

// SQL fragments that differ between the two engines. Statements are written once in SQL both
// accept and take these pieces where they must differ.
namespace modDA::sql {

// a + b + c (SQL Server) / a || b || c (SQLite); either gives Null when a part is Null.
QString concat(Dialect dialect, const QStringList& parts);

// The first row only: "SELECT TOP 1 <list> <rest>" / "SELECT <list> <rest> LIMIT 1".
// `rest` is everything after the select list (FROM, WHERE, ORDER BY).
QString selectFirst(Dialect dialect, const QString& selectList, const QString& rest);

// `expr` rounded to `scale` decimals: CONVERT(numeric(20,s), x) / ROUND(x, s).
QString roundTo(Dialect dialect, const QString& expr, int scale);

// Today's date as the text yyyymmdd, from the server's clock.
QString todayYmd(Dialect dialect);

// The first / last `count` characters of `expr`.
QString left(Dialect dialect, const QString& expr, int count);
QString right(Dialect dialect, const QString& expr, int count);

// UPDATE of `table` with values taken from a joined `source` ("SBT", "SBT AS s", a
// parenthesised subquery with an alias). `setList` names `table`'s columns unqualified; the
// join condition and `where` refer to the target by its table name.
//   SQL Server: UPDATE t SET ... FROM t INNER JOIN s ON <join> [WHERE <where>]
//   SQLite:     UPDATE t SET ... FROM s WHERE (<join>) [AND (<where>)]
QString updateFrom(Dialect dialect, const QString& table, const QString& setList,
                   const QString& source, const QString& joinCondition, const QString& where = {});

} // namespace modDA::sql
