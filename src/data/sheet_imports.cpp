#include "data/sheet_imports.h"

#include "data/attached_rows.h"
#include "data/cancellations.h"
#include "data/item_values.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

void invalidarCaratula(const QString& despacho) {
    execSQL(kCatalog,
            "update DDT set CDDTSTUSGG = 'I', CDDTSTUBUL = 'I', CDDTSTUDEV = 'I' where IDDT = ? ",
            {despacho});
}

} // namespace

void reemplazarCancelaciones(const QString& despacho,
                             const std::vector<LineaCancelacionHoja>& lineas) {
    corvelix::chained(location("reemplazarCancelaciones"), [&] {
        Transaction transaction;
        ResetDCN(despacho);
        for (const LineaCancelacionHoja& l : lineas)
            agregarCancelacion(despacho, l.itemDestino, l.despachoApu, l.itemApu, l.subitemApu,
                               l.ncm, l.cantidad, l.certificado, QStringLiteral("0"), l.factor,
                               QString());
        invalidarCaratula(despacho);
        Invalidar_ITEM(despacho, QString(), true);
        transaction.commit();
    });
}

void reemplazarLiquidaciones(const QString& despacho, const QStringList& items,
                             const std::vector<LineaLiquidacionHoja>& lineas) {
    corvelix::chained(location("reemplazarLiquidaciones"), [&] {
        Transaction transaction;
        for (const QString& item : items)
            eliminarLiquidacion(despacho, item);
        for (const LineaLiquidacionHoja& l : lineas)
            agregarLiquidacion(despacho, l.item, l.codigo, l.tipo, l.base, l.coeficiente, l.total,
                               QString());
        invalidarCaratula(despacho);
        Invalidar_ITEM(despacho, QString(), true);
        transaction.commit();
    });
}

} // namespace modDA
