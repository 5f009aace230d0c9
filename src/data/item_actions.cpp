#include "data/item_actions.h"

#include "data/Dialect.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "data/recalculation.h"
#include "runtime/VbError.h"

#include <QMap>

#include <algorithm>

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

const QString kDeclarationRow = QStringLiteral("0000");

} // namespace

int eliminarITEMS(const QString& despacho, const QStringList& items) {
    return corvelix::chained(location("eliminarITEMS"), [&] {
        int deleted = 0;
        Transaction transaction;
        for (const QString& item : items) {
            // The declaration-level row is not an item of the outside system.
            if (item == kDeclarationRow)
                continue;
            eliminarITEM(despacho, item);
            ++deleted;
        }
        recalcularCaratula(despacho);
        transaction.commit();
        return deleted;
    });
}

void eliminarSBTS(const QString& despacho, const QList<QPair<QString, QString>>& subitems) {
    corvelix::chained(location("eliminarSBTS"), [&] {
        QMap<QString, QStringList> porItem;
        for (const auto& [item, subitem] : subitems)
            porItem[item].append(subitem);
        Transaction transaction;
        for (auto it = porItem.begin(); it != porItem.end(); ++it) {
            QStringList numeros = it.value();
            // Highest first: each deletion moves the later rows down by one.
            std::sort(numeros.begin(), numeros.end(),
                      [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
            for (const QString& subitem : numeros)
                EliminarSBT(despacho, it.key(), subitem);
        }
        for (auto it = porItem.begin(); it != porItem.end(); ++it)
            recalcularITEM(despacho, it.key());
        recalcularCaratula(despacho);
        transaction.commit();
    });
}

Recordset getNCMDespacho(const QString& despacho) {
    return corvelix::chained(location("getNCMDespacho"), [&] {
        return getRs(kCatalog, "select DISTINCT IESPNCE from ART WHERE IDDT = ? order by IESPNCE",
                     {despacho});
    });
}

int reemplazarNCM(const QString& despacho, const QString& actual, const QString& nuevo) {
    return corvelix::chained(location("reemplazarNCM"), [&] {
        return execSQL(kCatalog,
                       "update ART set IESPNCE = ?, CARTETA = 'I', CARTSTUDEV = 'I' "
                       "where IDDT = ? and IESPNCE = " +
                           sql::boundText(dialect()),
                       {nuevo, despacho, actual});
    });
}

} // namespace modDA
