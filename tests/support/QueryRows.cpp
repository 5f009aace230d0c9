#include "support/QueryRows.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace corvelix::test {

QStringList queryRows(const QSqlDatabase& db, const QString& sql, const QVariantList& params) {
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& p : params)
        q.addBindValue(p);
    if (!q.exec())
        return {QStringLiteral("error: ") + q.lastError().text()};
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList recordsetRows(const modDA::Recordset& rs) {
    QStringList out;
    for (const QVariantList& row : rs.rows()) {
        QStringList cells;
        for (const QVariant& cell : row)
            cells << (cell.isNull() ? QStringLiteral("<null>") : cell.toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace corvelix::test
