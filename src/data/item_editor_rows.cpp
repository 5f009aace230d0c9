#include "data/item_editor_rows.h"

#include "data/Dialect.h"
#include "data/ItemList.h"
#include "data/attached_rows.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

#include <cmath>

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// CCM keeps the item as a number.
int itemNumber(const QString& item) {
    bool ok = false;
    const int value = item.trimmed().toInt(&ok);
    if (!ok)
        throw corvelix::VbError(13, QStringLiteral("Corvelix"),
                                QStringLiteral("No coinciden los tipos"));
    return value;
}

// The number of items of a declaration, declaration-level row left out.
const Sql kItemCount = "(SELECT COUNT(*) FROM ART WHERE IDDT = ? AND NART <> '0000')";

const Sql kMarkItems = "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = ? AND ";

// An advantage row's code table entry, its code compared as every other code is.
Sql advantageOfRow() {
    return sql::sameCodes(dialect(), "SRG.CSRG", "VEN.CVEN");
}

// A number as text with two decimals and "." ("1234.50").
Sql twoDecimalsText(Dialect dialect, const Sql& expr) {
    if (dialect == Dialect::SqlServer)
        return "CONVERT(varchar(40), " + sql::roundTo(dialect, expr, 2) + ")";
    return "printf('%.2f', " + sql::roundTo(dialect, expr, 2) + ")";
}

} // namespace

Recordset getInfoAdicionalItem(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getInfoAdicionalItem"), [&] {
        return getRs(
            kCatalog,
            "SELECT CCPL, MCPL, ICPLDIF FROM CPL WHERE ICPL = ? AND NART = ? ORDER BY CCPL",
            {despacho, item});
    });
}

Recordset getInfoAdicionalComun(const QString& despacho) {
    return corvelix::chained(location("getInfoAdicionalComun"), [&] {
        return getRs(kCatalog,
                     "SELECT CCPL, MCPL FROM CPL WHERE ICPL = ? AND NART <> '0000' "
                     "GROUP BY CCPL, MCPL HAVING COUNT(DISTINCT NART) = " +
                         kItemCount + " ORDER BY CCPL",
                     {despacho, despacho});
    });
}

Recordset getVentajasItem(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getVentajasItem"), [&] {
        return getRs(kCatalog,
                     "SELECT SRG.CSRG AS CSRG, VEN.LVENLBL AS LVENLBL FROM SRG LEFT JOIN VEN ON (" +
                         advantageOfRow() +
                         " AND VEN.DVENFIN > GETDATE()) "
                         "WHERE SRG.ISRG = ? AND SRG.NART = ? ORDER BY SRG.CSRG",
                     {despacho, item});
    });
}

Recordset getVentajasComunes(const QString& despacho) {
    return corvelix::chained(location("getVentajasComunes"), [&] {
        return getRs(kCatalog,
                     "SELECT SRG.CSRG AS CSRG, VEN.LVENLBL AS LVENLBL FROM SRG LEFT JOIN VEN ON (" +
                         advantageOfRow() +
                         " AND VEN.DVENFIN > GETDATE()) "
                         "WHERE SRG.ISRG = ? AND SRG.NART <> '0000' "
                         "GROUP BY SRG.CSRG, VEN.LVENLBL HAVING COUNT(DISTINCT SRG.NART) = " +
                         kItemCount + " ORDER BY SRG.CSRG",
                     {despacho, despacho});
    });
}

Recordset getDocumentosItem(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getDocumentosItem"), [&] {
        return getRs(kCatalog,
                     "SELECT CDVDDOC, LDVDREFDOC FROM DVD WHERE IDVD = ? AND NART = ? "
                     "ORDER BY CDVDDOC",
                     {despacho, item});
    });
}

Recordset getDocumentosComunes(const QString& despacho) {
    return corvelix::chained(location("getDocumentosComunes"), [&] {
        return getRs(kCatalog,
                     "SELECT CDVDDOC, LDVDREFDOC FROM DVD WHERE IDVD = ? AND NART <> '0000' "
                     "GROUP BY CDVDDOC, LDVDREFDOC HAVING COUNT(DISTINCT NART) = " +
                         kItemCount + " ORDER BY CDVDDOC",
                     {despacho, despacho});
    });
}

Recordset getCCPACItem(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getCCPACItem"), [&] {
        return getRs(kCatalog,
                     "select NART, CCCM, MCCM, CCCMNART from CCM where IDDT = ? and NART = ?",
                     {despacho, itemNumber(item)});
    });
}

Recordset getCCPACDespacho(const QString& despacho) {
    return corvelix::chained(location("getCCPACDespacho"), [&] {
        return getRs(kCatalog,
                     "select NART, CCCM, MCCM, CCCMNART from CCM where IDDT = ? order by NART",
                     {despacho});
    });
}

int agregarInformacionAdicional_ALLITEMS(const QString& despacho, const QString& items,
                                         const QString& codigo, const QString& valor,
                                         const QString& icpldif, bool reemplazar) {
    return corvelix::chained(location("agregarInformacionAdicional_ALLITEMS"), [&] {
        const ItemList lista = ItemList::parse(items);
        const Sql sinCodigo = lista.condition("NART") +
                              " AND NOT EXISTS (SELECT 1 FROM CPL WHERE CPL.ICPL = ART.IDDT "
                              "AND CPL.NART = ART.NART AND " +
                              sql::sameCode(dialect(), "CPL.CCPL") + ")";
        const QVariantList params = QVariantList{despacho} + lista.params() + QVariantList{codigo};
        Transaction transaction;
        if (reemplazar)
            resetInfoAD_ByID(despacho, codigo, items);
        execSQL(kCatalog, kMarkItems + sinCodigo, params);
        const int rows = execSQL(
            kCatalog,
            "INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT ?, NART, ?, ?, ? FROM ART "
            "WHERE IDDT = ? AND " +
                sinCodigo,
            QVariantList{despacho, codigo, valor,
                         icpldif.isEmpty() ? QStringLiteral("D") : icpldif} +
                params);
        transaction.commit();
        return rows;
    });
}

int agregarVentaja_ALLITEMS(const QString& despacho, const QString& items, const QString& codigo) {
    return corvelix::chained(location("agregarVentaja_ALLITEMS"), [&] {
        const ItemList lista = ItemList::parse(items);
        const Sql sinCodigo = lista.condition("NART") +
                              " AND NOT EXISTS (SELECT 1 FROM SRG WHERE SRG.ISRG = ART.IDDT "
                              "AND SRG.NART = ART.NART AND " +
                              sql::sameCode(dialect(), "SRG.CSRG") + ")";
        const QVariantList params = QVariantList{despacho} + lista.params() + QVariantList{codigo};
        Transaction transaction;
        execSQL(kCatalog, kMarkItems + sinCodigo, params);
        const int rows = execSQL(kCatalog,
                                 "INSERT INTO SRG (ISRG, NART, CSRG) SELECT ?, NART, ? FROM ART "
                                 "WHERE IDDT = ? AND " +
                                     sinCodigo,
                                 QVariantList{despacho, codigo} + params);
        transaction.commit();
        return rows;
    });
}

int agregarDocumento_ALLITEMS(const QString& despacho, const QString& items, const QString& codigo,
                              const QString& referencia, bool reemplazar) {
    return corvelix::chained(location("agregarDocumento_ALLITEMS"), [&] {
        const ItemList lista = ItemList::parse(items);
        QString ref = referencia;
        ref.replace(QLatin1Char('\''), QLatin1Char(' '));
        const Sql sinCodigo = lista.condition("NART") +
                              " AND NOT EXISTS (SELECT 1 FROM DVD WHERE DVD.IDVD = ART.IDDT "
                              "AND DVD.NART = ART.NART AND " +
                              sql::sameCode(dialect(), "DVD.CDVDDOC") + ")";
        const QVariantList params = QVariantList{despacho} + lista.params() + QVariantList{codigo};
        Transaction transaction;
        if (reemplazar)
            ResetDocumento(despacho, codigo, items);
        execSQL(kCatalog, kMarkItems + sinCodigo, params);
        const int rows = execSQL(kCatalog,
                                 "INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                                 "SELECT ?, NART, ?, 'S', ? FROM ART WHERE IDDT = ? AND " +
                                     sinCodigo,
                                 QVariantList{despacho, codigo, ref} + params);
        transaction.commit();
        return rows;
    });
}

int agregarCCPAC_ALLITEMS(const QString& despacho, const QString& valor, bool reemplazar) {
    return corvelix::chained(location("agregarCCPAC_ALLITEMS"), [&] {
        const Dialect d = dialect(kCatalog);
        Transaction transaction;
        if (reemplazar)
            execSQL(kCatalog, "delete from CCM where IDDT = ?", {despacho});
        const int rows = execSQL(kCatalog,
                                 "INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) "
                                 "SELECT ?, CAST(NART AS int), 'DCEXP', ?, 1, "
                                 "CASE WHEN CARTPAYORI IN ('225', '221') THEN NART ELSE " +
                                     sql::concat(d, {"'00000000'", "NART"}) +
                                     " END FROM ART WHERE IDDT = ? AND NART <> '0000' "
                                     "AND NOT EXISTS (SELECT 1 FROM CCM WHERE CCM.IDDT = ART.IDDT "
                                     "AND CCM.NART = CAST(ART.NART AS int))",
                                 {despacho, valor, despacho});
        transaction.commit();
        return rows;
    });
}

QStringList transferirFOB(const QString& despacho, const QString& items, const QString& codigo,
                          double tasa, const QString& separadorDecimal) {
    return corvelix::chained(location("transferirFOB"), [&] {
        if (!std::isfinite(tasa) || tasa <= 0)
            throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("transferirFOB"),
                                    QStringLiteral("El Tipo de Cambio debe ser mayor a 0."));
        const ItemList lista = ItemList::parse(items);
        const Sql delDespacho = " FROM ART WHERE IDDT = ? AND " + lista.condition("NART");
        const QVariantList params = QVariantList{despacho} + lista.params();
        const Dialect d = dialect(kCatalog);

        Transaction transaction;
        QStringList procesados;
        const Recordset rs =
            getRs(kCatalog, "SELECT NART, MARTFOB" + delDespacho + " ORDER BY NART", params);
        for (const QVariantList& row : rs.rows()) {
            // Every amount must fit the catalog before the first one is written.
            corvelix::catalogNumber(tasa * row.at(1).toDouble(), 2);
            procesados << row.at(0).toString().trimmed();
        }
        execSQL(kCatalog,
                "DELETE FROM CPL WHERE ICPL = ? AND " + sql::sameCode(d, "CCPL") +
                    " AND NART IN (SELECT NART" + delDespacho + ")",
                QVariantList{despacho, codigo} + params);
        execSQL(kCatalog,
                "INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) SELECT ?, NART, ?, REPLACE(" +
                    twoDecimalsText(d, "? * COALESCE(MARTFOB, 0)") + ", '.', ?), 'D'" + delDespacho,
                QVariantList{despacho, codigo, tasa, separadorDecimal} + params);
        execSQL(kCatalog, kMarkItems + lista.condition("NART"), params);
        transaction.commit();
        return procesados;
    });
}

Recordset getSufijosParaTransferir(const QString& despacho, const QString& items,
                                   const QString& sufijo) {
    return corvelix::chained(location("getSufijosParaTransferir"), [&] {
        const ItemList lista = ItemList::parse(items);
        return getRs(kCatalog,
                     "select NART, ISBT, CSBTSVL from SBT where IDDT = ? "
                     "and CHARINDEX(" +
                         sql::boundText(dialect()) +
                         ", CSBTSVL) > 0 and ISBT in ('0000', '0001') and " +
                         lista.condition("NART") + " order by NART, ISBT",
                     QVariantList{despacho, sufijo + QLatin1Char('(')} + lista.params());
    });
}

void escribirInfoAdicional(const QString& despacho, const QString& codigo,
                           const QList<ValorInfoAdicional>& valores, const QStringList& marcar) {
    corvelix::chained(location("escribirInfoAdicional"), [&] {
        const Sql borrar =
            "delete from CPL where ICPL = ? and NART = ? and " + sql::sameCode(dialect(), "CCPL");
        Transaction transaction;
        for (const ValorInfoAdicional& v : valores) {
            execSQL(kCatalog, borrar, {despacho, v.item, codigo});
            execSQL(kCatalog,
                    "insert into CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) values (?, ?, ?, 'D', ?)",
                    {despacho, v.item, codigo, v.valor});
        }
        // A few hundred items per statement keeps within the server's parameter limit.
        constexpr qsizetype kChunk = 500;
        for (qsizetype i = 0; i < marcar.size(); i += kChunk) {
            const QStringList parte = marcar.mid(i, kChunk);
            QVariantList params{despacho};
            for (const QString& n : parte)
                params << n;
            execSQL(kCatalog, kMarkItems + "NART IN (" + Sql::placeholders(parte.size()) + ")",
                    params);
        }
        transaction.commit();
    });
}

} // namespace modDA
