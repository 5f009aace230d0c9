#include "data/item_editor_reads.h"

#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

} // namespace

std::optional<QString> getListaComun(const QString& despacho) {
    return corvelix::chained(location("getListaComun"), [&] {
        const Recordset rs =
            getRs(kCatalog,
                  "select LISTA, COUNT(*) AS cuantos from ART where IDDT = ? group by LISTA "
                  "having COUNT(*) = (select COUNT(NART) from ART where IDDT = ?) ",
                  {despacho, despacho});
        if (rs.eof())
            return std::optional<QString>();
        return std::optional<QString>(rs.text(QStringLiteral("LISTA")).trimmed());
    });
}

Recordset getSubItemsDetalle(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getSubItemsDetalle"), [&] {
        return getRs(kCatalog,
                     "SELECT ISBT, CARTUNTDCL, QSBTUNTDCL, MSBTUNITAR, MSBTFOB, CARTUNTEST, "
                     "QSBTUNTEST, SBT.IEXT AS IEXT, CSBTSVL FROM SBT "
                     "INNER JOIN ART ON (SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART) "
                     "WHERE SBT.IDDT = ? AND SBT.NART = ? ORDER BY ISBT",
                     {despacho, item});
    });
}

} // namespace modDA
