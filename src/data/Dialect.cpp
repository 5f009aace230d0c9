#include "data/Dialect.h"

namespace modDA::sql {

QString concat(Dialect dialect, const QStringList& parts) {
    return parts.join(dialect == Dialect::SqlServer ? QStringLiteral(" + ")
                                                    : QStringLiteral(" || "));
}

QString selectFirst(Dialect dialect, const QString& selectList, const QString& rest) {
    if (dialect == Dialect::SqlServer)
        return QStringLiteral("SELECT TOP 1 %1 %2").arg(selectList, rest);
    return QStringLiteral("SELECT %1 %2 LIMIT 1").arg(selectList, rest);
}

QString roundTo(Dialect dialect, const QString& expr, int scale) {
    if (dialect == Dialect::SqlServer)
        return QStringLiteral("CONVERT(numeric(20,%1), %2)").arg(QString::number(scale), expr);
    return QStringLiteral("ROUND(%1, %2)").arg(expr, QString::number(scale));
}

QString todayYmd(Dialect dialect) {
    if (dialect == Dialect::SqlServer)
        return QStringLiteral("CONVERT(varchar, GETDATE(), 112)");
    return QStringLiteral("strftime('%Y%m%d', GETDATE())");
}

QString left(Dialect dialect, const QString& expr, int count) {
    if (dialect == Dialect::SqlServer)
        return QStringLiteral("LEFT(%1, %2)").arg(expr, QString::number(count));
    return QStringLiteral("substr(%1, 1, %2)").arg(expr, QString::number(count));
}

QString right(Dialect dialect, const QString& expr, int count) {
    if (dialect == Dialect::SqlServer)
        return QStringLiteral("RIGHT(%1, %2)").arg(expr, QString::number(count));
    // substr with a negative start counts from the end; 0 characters must stay empty.
    if (count <= 0)
        return QStringLiteral("substr(%1, 1, 0)").arg(expr);
    return QStringLiteral("substr(%1, -%2)").arg(expr, QString::number(count));
}

QString updateFrom(Dialect dialect, const QString& table, const QString& setList,
                   const QString& source, const QString& joinCondition, const QString& where) {
    if (dialect == Dialect::SqlServer) {
        QString text = QStringLiteral("UPDATE %1 SET %2 FROM %1 INNER JOIN %3 ON %4")
                           .arg(table, setList, source, joinCondition);
        if (!where.isEmpty())
            text += QStringLiteral(" WHERE ") + where;
        return text;
    }
    QString text = QStringLiteral("UPDATE %1 SET %2 FROM %3 WHERE (%4)")
                       .arg(table, setList, source, joinCondition);
    if (!where.isEmpty())
        text += QStringLiteral(" AND (") + where + QLatin1Char(')');
    return text;
}

} // namespace modDA::sql
