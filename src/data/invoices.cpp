#include "data/invoices.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

const Sql kInvoiceRows = "IDVD = ? AND NART = '0000' AND CDVDDOC = 'FACTURACOMERCIAL'";

// An invoice number compared with the stored ones: typed, so that a long one compares too.
Sql referenceIs() {
    return " AND LDVDREFDOC = " + sql::boundText(dialect());
}

} // namespace

Recordset getDocumentosCaratula(const QString& iddt, bool soloFacturas) {
    return corvelix::chained(location("getDocumentosCaratula"), [&] {
        Sql sql = "SELECT * FROM DVD WHERE IDVD = ? ";
        if (soloFacturas)
            sql += " AND CDVDDOC = 'FACTURACOMERCIAL' ";
        sql += " AND NART = '0000' ";
        return getRs(kCatalog, sql, {iddt});
    });
}

Recordset getDVD(const QString& iddt, const QString& nart) {
    return corvelix::chained(location("getDVD"), [&] {
        return getRs(kCatalog, "SELECT * FROM DVD WHERE IDVD = ? AND NART = ?", {iddt, nart});
    });
}

bool facturasAgregar(const QString& iddt, bool presencia, const QString& factura) {
    return corvelix::chained(location("facturasAgregar"), [&] {
        Transaction transaction;
        if (presencia)
            execSQL(kCatalog, "DELETE FROM DVD WHERE " + kInvoiceRows + " AND CDVDPRSDOC = 'N'",
                    {iddt});
        const int added =
            execSQL(kCatalog,
                    "INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                    "VALUES (?, '0000', 'FACTURACOMERCIAL', ?, ?)",
                    {iddt, presencia ? QStringLiteral("S") : QStringLiteral("N"), factura});
        transaction.commit();
        return added > 0;
    });
}

bool existeFactura(const QString& iddt, const QString& factura) {
    return corvelix::chained(location("existeFactura"), [&] {
        const Recordset rs =
            getRs(kCatalog, "SELECT LDVDREFDOC FROM DVD WHERE " + kInvoiceRows + referenceIs(),
                  {iddt, factura});
        return rs.recordCount() > 0;
    });
}

bool facturasEliminar(const QString& iddt, const QString& factura) {
    return corvelix::chained(location("facturasEliminar"), [&] {
        return execSQL(kCatalog,
                       "DELETE FROM DVD WHERE " + kInvoiceRows + " AND CDVDPRSDOC = 'S'" +
                           referenceIs(),
                       {iddt, factura}) > 0;
    });
}

bool facturasModificar(const QString& iddt, const QString& anterior, const QString& nueva) {
    return corvelix::chained(location("facturasModificar"), [&] {
        return execSQL(kCatalog,
                       "UPDATE DVD SET LDVDREFDOC = ? WHERE " + kInvoiceRows +
                           " AND CDVDPRSDOC = 'S'" + referenceIs(),
                       {nueva, iddt, anterior}) > 0;
    });
}

int addNewInvoices(const QString& iddt, const QStringList& facturas) {
    return corvelix::chained(location("addNewInvoices"), [&] {
        Transaction transaction;
        // Markers first, so that every number is tested against invoices only, as it would be
        // once the first one went in.
        execSQL(kCatalog, "DELETE FROM DVD WHERE " + kInvoiceRows + " AND CDVDPRSDOC = 'N'",
                {iddt});
        // One statement per number tests and adds it, so the catalog's own comparison decides
        // what is a repeat, also among the numbers of the list.
        const Sql addIfMissing =
            "INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
            "SELECT ?, '0000', 'FACTURACOMERCIAL', 'S', ? WHERE NOT EXISTS (SELECT 1 FROM DVD "
            "WHERE " +
            kInvoiceRows + referenceIs() + ")";
        QList<QVariantList> values;
        values.reserve(facturas.size());
        for (const QString& factura : facturas)
            values.append({iddt, factura, iddt, factura});
        int added = 0;
        for (const int rows : execSQLEach(kCatalog, addIfMissing, values))
            added += rows > 0 ? 1 : 0;
        if (added > 0)
            transaction.commit();
        return added;
    });
}

void SinPresenciafacturas(const QString& iddt) {
    corvelix::chained(location("SinPresenciafacturas"), [&] {
        Transaction transaction;
        execSQL(kCatalog, "DELETE FROM DVD WHERE " + kInvoiceRows, {iddt});
        facturasAgregar(iddt, false, QString());
        transaction.commit();
    });
}

bool getPresenciaFactura(const QString& iddt) {
    return corvelix::chained(location("getPresenciaFactura"), [&] {
        const Recordset rs = getRs(kCatalog,
                                   "SELECT COUNT(*) AS total FROM DVD WHERE " + kInvoiceRows +
                                       " AND CDVDPRSDOC = 'N'",
                                   {iddt});
        return !(rs.field(QStringLiteral("total")).toInt() > 0);
    });
}

bool modificarCaratula_IEXT(const QString& iext, const QString& iddt) {
    return corvelix::chained(location("modificarCaratula_IEXT"), [&] {
        return execSQL(kCatalog, "UPDATE DDT SET IEXT = ? WHERE IDDT = ?", {iext, iddt}) > 0;
    });
}

bool modificarCaratula_Vendedor(const QString& nombre, const QString& iddt) {
    return corvelix::chained(location("modificarCaratula_Vendedor"), [&] {
        return execSQL(kCatalog, "UPDATE DDT SET LDDTNOMFOD = ? WHERE IDDT = ?", {nombre, iddt}) >
               0;
    });
}

Recordset getResumenCantidades(const QString& iddt) {
    return corvelix::chained(location("getResumenCantidades"), [&] {
        return getRs(kCatalog,
                     "SELECT CARTUNTDCL, LUMMUNTMSR, SUM(QARTUNTDCL) AS CANTIDAD FROM ART "
                     "INNER JOIN UMM ON (CARTUNTDCL = CUMMUNTMSR) WHERE IDDT = ? "
                     "AND GETDATE() BETWEEN DUMMEFF AND DUMMFIN GROUP BY CARTUNTDCL, LUMMUNTMSR",
                     {iddt});
    });
}

Recordset getResumenNCM(const QString& iddt) {
    return corvelix::chained(location("getResumenNCM"), [&] {
        return getRs(kCatalog,
                     "SELECT IESPNCE, COUNT(IESPNCE) AS cantidad, CARTUNTDCL, SUM(QARTUNTDCL) AS "
                     "totaldeclarada, CARTUNTEST, SUM(QARTUNTEST) AS totalestadistica FROM ART "
                     "WHERE IDDT = ? GROUP BY IESPNCE, CARTUNTDCL, CARTUNTEST "
                     "ORDER BY IESPNCE, CARTUNTDCL, CARTUNTEST",
                     {iddt});
    });
}

void getTotales_Item(const QString& iddt, double& ajusteIncluir, double& ajusteDeducir,
                     double& kilos) {
    corvelix::chained(location("getTotales_Item"), [&] {
        ajusteIncluir = 0;
        ajusteDeducir = 0;
        kilos = 0;
        const Recordset rs = getRs(kCatalog,
                                   "SELECT SUM(MARTAJUDED) AS AJDED, SUM(MARTAJUINC) AS AJINC, "
                                   "SUM(QARTKGRNET) AS KILOS FROM ART WHERE IDDT = ?",
                                   {iddt});
        const auto take = [&](const char* name, double& out) {
            const QVariant value = rs.field(QLatin1String(name));
            if (!value.isNull())
                out = value.toDouble();
        };
        take("AJINC", ajusteIncluir);
        take("AJDED", ajusteDeducir);
        take("KILOS", kilos);
    });
}

} // namespace modDA
