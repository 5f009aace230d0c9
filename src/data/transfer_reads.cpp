#include "data/transfer_reads.h"

#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

Recordset read(const char* procedure, const Sql& sql, const QVariantList& params) {
    return corvelix::chained(QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure),
                             [&] { return getRs(kCatalog, sql, params); });
}

} // namespace

Recordset getDVDItem(const QString& despacho, const QString& item) {
    return read("getDVD", "SELECT * FROM DVD WHERE IDVD = ? AND NART = ?", {despacho, item});
}

Recordset getSBTDespacho(const QString& despacho) {
    return read("getSBTDespacho", "SELECT * FROM SBT WHERE IDDT = ? ORDER BY NART, ISBT",
                {despacho});
}

Recordset getCPLDespacho(const QString& despacho) {
    return read("getCPLDespacho", "SELECT * FROM CPL WHERE ICPL = ? ORDER BY NART, CCPL",
                {despacho});
}

Recordset getSRGDespacho(const QString& despacho) {
    return read("getSRGDespacho", "SELECT * FROM SRG WHERE ISRG = ? ORDER BY NART, CSRG",
                {despacho});
}

Recordset getDVDDespacho(const QString& despacho) {
    return read("getDVDDespacho", "SELECT * FROM DVD WHERE IDVD = ? ORDER BY NART, CDVDDOC",
                {despacho});
}

} // namespace modDA
