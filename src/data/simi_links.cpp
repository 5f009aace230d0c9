#include "data/simi_links.h"

#include "data/modDA.h"

namespace modDA {

void clearSimiLinks(const QString& despacho) {
    Transaction transaction;
    execSQL(kCatalog, "update ART set NARTAPU = null, IDDTAPU = null where iddt = ?", {despacho});
    execSQL(kCatalog, "update SBT set ISBTREF = null where iddt = ?", {despacho});
    transaction.commit();
}

} // namespace modDA
