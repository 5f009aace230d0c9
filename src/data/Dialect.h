#pragma once

#include "data/Sql.h"
#include "data/modDA.h"

// SQL fragments that differ between the two engines. Statements are written once in SQL both
// accept and take these pieces where they must differ.
namespace modDA::sql {

// a + b + c (SQL Server) / a || b || c (SQLite); either gives Null when a part is Null. The
// server adds numbers instead of joining them: pass a number through textOf first.
Sql concat(Dialect dialect, const QList<Sql>& parts);

// The placeholder of a bound text that a comparison, a concatenation or a string function
// takes: "CAST(? AS nvarchar(max))" / "?". The server's ODBC road sends a text of 128
// characters or more as ntext, which none of them accepts; typed, a long value works as a
// short one does.
Sql boundText(Dialect dialect);

// `column` equal to a bound code as the server's collation compares codes: every letter's
// case folded, accents kept ("año" is "AÑO", not "ANO"). The server's column collation does it
// ("column = CAST(? AS nvarchar(max))"); on SQLite the column's NOCASE folds ASCII only, so the
// comparison takes our own collation, which no index uses ("column COLLATE CODIGO = ?").
// Every look-up, duplicate check and delete by a code goes through it.
Sql sameCode(Dialect dialect, const Sql& column);

// Two code columns equal in the same way (a row's code and a code table's).
Sql sameCodes(Dialect dialect, const Sql& column, const Sql& other);

// The name of that collation on SQLite connections.
inline constexpr char kCodeCollation[] = "CODIGO";

// A number (or any non-text expression) as text, for concatenation. Null stays Null.
Sql textOf(Dialect dialect, const Sql& expr);

// The first row only: "SELECT [DISTINCT] TOP 1 <list> <rest>" / "SELECT <list> <rest> LIMIT 1".
// `selectList` may start with DISTINCT; `rest` is everything after the select list (FROM,
// WHERE, ORDER BY).
Sql selectFirst(Dialect dialect, const Sql& selectList, const Sql& rest);

// `expr` rounded to `scale` decimals: CONVERT(numeric(20,s), x) / ROUND(x, s).
Sql roundTo(Dialect dialect, const Sql& expr, int scale);

// Today's date as the text yyyymmdd, from the server's clock.
Sql todayYmd(Dialect dialect);

// The first / last `count` characters of `expr`.
Sql left(Dialect dialect, const Sql& expr, int count);
Sql right(Dialect dialect, const Sql& expr, int count);

// UPDATE of `table` with values taken from a joined `source` ("SBT", "SBT AS s", a
// parenthesised subquery with an alias). `setList` names `table`'s columns unqualified; the
// join condition and `where` refer to the target by its table name.
//   SQL Server: UPDATE t SET ... FROM t INNER JOIN s ON <join> [WHERE <where>]
//   SQLite:     UPDATE t SET ... FROM s WHERE (<join>) [AND (<where>)]
Sql updateFrom(Dialect dialect, const Sql& table, const Sql& setList, const Sql& source,
               const Sql& joinCondition, const Sql& where = {});

} // namespace modDA::sql
