#include "data/export_reads.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// "code - description"; a missing description leaves only the code and the separator, so the
// code does not vanish from the sheet. A missing code stays Null.
Sql coded(Dialect d, const Sql& code, const Sql& description) {
    return sql::concat(d, {code, "' - '", "COALESCE(" + description + ", '')"});
}

// The statement is built inside the handler: finding the dialect may open the connection.
template <class Build>
Recordset plainRead(const char* procedure, Build build, const QVariantList& params) {
    return corvelix::chained(location(procedure),
                             [&] { return getRs(kCatalog, build(dialect()), params); });
}

template <class Build>
Recordset numberedRead(const char* procedure, Build build, const QVariantList& params) {
    const int line = 0;
    return corvelix::chainedNumbered(location(procedure), line,
                                     [&] { return getRs(kCatalog, build(dialect()), params); });
}

// The item's value on its own row ("0000"), the subitem's on the others.
Sql itemOrSubitem(const Sql& itemColumn, const Sql& subitemColumn, const Sql& alias) {
    return "CASE WHEN SBT.ISBT = '0000' THEN ART." + itemColumn + " ELSE SBT." + subitemColumn +
           " END AS " + alias;
}

} // namespace

Recordset getCPL(const QString& despacho, const QString& item) {
    return plainRead(
        "getCPL", [](Dialect) -> Sql { return "SELECT * FROM CPL WHERE ICPL = ? AND NART = ? "; },
        {despacho, item});
}

Recordset getSRG(const QString& despacho, const QString& item) {
    return plainRead(
        "getSRG", [](Dialect) -> Sql { return "SELECT * FROM SRG WHERE ISRG = ? AND NART = ? "; },
        {despacho, item});
}

Recordset getSBT(const QString& despacho, const QString& item) {
    return plainRead(
        "getSBT", [](Dialect) -> Sql { return "SELECT * FROM SBT WHERE IDDT = ? AND NART = ? "; },
        {despacho, item});
}

Recordset getITEMsPIVOT(const QString& despacho, bool conCPL, bool conSRG, bool conDVD) {
    return corvelix::chained(location("getITEMsPIVOT"), [&] {
        const Dialect d = dialect();
        Sql sql = "SELECT ART.NARTEXT, ART.IESPNCE, " +
                  coded(d, "ART.CARTPAYORI", "PAYPORI.LPAYABR") + " AS CARTPAYORI, " +
                  coded(d, "ART.CARTPAYPRC", "PAYPRC.LPAYABR") + " AS CARTPAYPRC, " +
                  coded(d, "ART.CARTUSO", "EST.LDESCRI") +
                  " AS CARTUSO, ART.LISTA, ART.QARTUNTDCL, ART.MARTFOB, ART.MARTFLE, ART.MARTASS, "
                  "ART.MARTAJUDED, ART.MARTAJUINC, ART.MARTINSCON, ART.MARTINSTMP";
        Sql joins;
        if (conCPL) {
            sql += ", CPLPIVOT.*";
            joins +=
                " LEFT JOIN CPLPIVOT ON (ART.IDDT = CPLPIVOT.ICPL AND ART.NART = CPLPIVOT.NART) ";
        }
        if (conSRG) {
            sql += ", SRGPIVOT.*";
            joins +=
                " LEFT JOIN SRGPIVOT ON (ART.IDDT = SRGPIVOT.ISRG AND ART.NART = SRGPIVOT.NART) ";
        }
        if (conDVD) {
            sql += ", DVDPIVOT.*";
            joins +=
                " LEFT JOIN DVDPIVOT ON (ART.IDDT = DVDPIVOT.IDVD AND ART.NART = DVDPIVOT.NART) ";
        }
        // The validity tests stand in the joins: an item whose country row expired keeps its
        // row, with the code alone.
        sql += " FROM ART " + joins +
               " LEFT JOIN PAY AS PAYPORI ON (ART.CARTPAYORI = PAYPORI.CPAY "
               "AND PAYPORI.DPAYFIN > GETDATE())"
               " LEFT JOIN PAY AS PAYPRC ON (ART.CARTPAYPRC = PAYPRC.CPAY "
               "AND PAYPRC.DPAYFIN > GETDATE())"
               " LEFT JOIN EST ON (ART.CARTUSO = EST.CESTCOD)"
               " WHERE ART.IDDT = ? ORDER BY ART.NARTEXT";
        return getRs(kCatalog, sql, {despacho});
    });
}

Recordset getArticulosByDespacho_FULL(const QString& despacho, const QString& sufijo) {
    return corvelix::chained(location("getArticulosByDespacho_FULL"), [&] {
        const Dialect d = dialect();
        Sql sql = "SELECT SBT.IEXT, SBT.IDDT, SBT.NART, ART.NARTEXT, SBT.ISBT, ART.IESPNCE, "
                  "SBT.CSBTSVL, " +
                  coded(d, "ART.CARTUNTDCL", "UMDEC.LUMMUNTMSR") + " AS CARTUNTDCL, " +
                  itemOrSubitem("QARTUNTDCL", "QSBTUNTDCL", "CANTIDAD") + ", " +
                  coded(d, "ART.CARTUNTEST", "UMEST.LUMMUNTMSR") + " AS CARTUNTEST, " +
                  itemOrSubitem("QARTUNTEST", "QSBTUNTEST", "CANTIDAD_ESTADISTICA") + ", " +
                  itemOrSubitem("MARTUNITAR", "MSBTUNITAR", "FOB_UNITARIO") + ", " +
                  itemOrSubitem("MARTFOB", "MSBTFOB", "FOB_TOTAL") + ", ART.Lista, " +
                  coded(d, "ART.CARTPAYORI", "PAY.LPAYABR") +
                  " AS CARTPAYORI, ART.CARTPAYPRC, ART.QARTKGRNET, SBT.CSBTCODEAN, ART.CARTUSO "
                  "From SBT "
                  "INNER JOIN ART ON (SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART) "
                  // Validity in the joins: a subitem whose unit or country row expired stays.
                  "LEFT JOIN UMM AS UMDEC ON (ART.CARTUNTDCL = UMDEC.CUMMUNTMSR "
                  "AND UMDEC.DUMMFIN > GETDATE()) "
                  "LEFT JOIN UMM AS UMEST ON (ART.CARTUNTEST = UMEST.CUMMUNTMSR "
                  "AND UMEST.DUMMFIN > GETDATE()) "
                  "LEFT JOIN PAY ON (ART.CARTPAYORI = PAY.CPAY AND PAY.DPAYFIN > GETDATE()) "
                  "where SBT.IDDT = ? ";
        QVariantList params{despacho};
        if (!sufijo.isEmpty()) {
            sql += " and SBT.CSBTSVL like ?";
            params << QLatin1Char('%') + sufijo + QLatin1Char('%');
        }
        return getRs(kCatalog, sql, params);
    });
}

QString getValorPrimerSufijo(const QString& sufijos, const QString& codigos) {
    for (const QString& part : codigos.split(QLatin1Char(','))) {
        const QString code = part.trimmed();
        const qsizetype p = sufijos.indexOf(code + QLatin1Char('('));
        if (p < 0)
            continue;
        const qsizetype start = p + 3;
        const qsizetype end = sufijos.indexOf(QLatin1String(")-"), start);
        if (end >= 0)
            return sufijos.mid(start, end - start);
        // Last entry stored without its closing ")-": its value runs to the end.
        QString value = sufijos.mid(start);
        if (value.endsWith(QLatin1Char(')')))
            value.chop(1);
        return value;
    }
    return {};
}

Recordset getBultos(const QString& despacho) {
    return numberedRead("getBultos",
                        [](Dialect d) {
                            return "SELECT DDT.IDDT, NDDTIMMTRN, " +
                                   coded(d, "CDDTMDETRN", "PTR.LPTRNAT") + " AS CDDTMDETRN, " +
                                   coded(d, "CDDTPAYTRN", "LPAYABR") +
                                   " AS CDDTPAYTRN, CDDTDEP, LBULNUMCLS, " +
                                   coded(d, "CBULNATEMB", "LNEBNATEMB") + " AS CBULNATEMB, " +
                                   coded(d, "CBULEXT", "TIPOE.LPTRNAT") +
                                   " AS CBULEXT, QBULDECLAR, QBULUMMBRT "
                                   "From DDT "
                                   "LEFT JOIN PAY ON (CDDTPAYTRN = CPAY) "
                                   "LEFT JOIN BUL ON (DDT.IDDT = BUL.IDDT) "
                                   "LEFT JOIN PTR ON (CDDTMDETRN = PTR.CPTRNAT) "
                                   "LEFT JOIN PTR AS TIPOE ON (CBULEXT = TIPOE.CPTRNAT) "
                                   "INNER JOIN NEB ON (CBULNATEMB = TNEBNATEMB) "
                                   "WHERE PTR.CTPT = 'MODTRN' "
                                   "AND TIPOE.CTPT = 'TIPEMB' "
                                   "AND DNEBFIN > GETDATE() "
                                   "AND DPAYFIN > GETDATE() "
                                   "AND DDT.IDDT = ?";
                        },
                        {despacho});
}

Recordset getDCEXP(const QString& despacho) {
    return numberedRead(
        "getDCEXP",
        [](Dialect) -> Sql { return "SELECT NART, CCCM, MCCM, CCCMNART FROM CCM WHERE IDDT = ?"; },
        {despacho});
}

Recordset getPACROM(const QString& despacho) {
    return numberedRead(
        "getPACROM",
        [](Dialect) -> Sql {
            return "SELECT NART, CIDCM, CDCMNART, CDCMPAYPAC, CDCMUNTEST, QDCMUNTEST FROM DCM "
                   "WHERE IDDT = ?";
        },
        {despacho});
}

Recordset getLiquidacionTOTAL(const QString& despacho) {
    return plainRead("getLiquidacionTOTAL",
                     [](Dialect d) {
                         return "SELECT " + coded(d, "CLITTAX", "LTAXABR") + " AS CLITTAX, MLIT, " +
                                coded(d, "CLITTYP", "LPTRNAT") +
                                " AS CLITTYP FROM LIT"
                                " LEFT JOIN TAX ON (CTAX = CLITTAX)"
                                " LEFT JOIN PTR ON (CLITTYP = CPTRNAT)"
                                " WHERE ILIQ = ?"
                                " AND DTAXFIN > GETDATE()"
                                " AND CTPT = 'TIPTAX' ORDER BY CLITTAX";
                     },
                     {despacho});
}

double getTipoCotiz(const QString& despacho) {
    return corvelix::chained(location("getTipoCotiz"), [&] {
        const Recordset rs = getRs(kCatalog,
                                   "SELECT MTPRCOTIZ FROM TPR Where MTPRCOTIZ Is Not Null "
                                   "AND IDDT = ?",
                                   {despacho});
        if (rs.eof())
            return 1.0;
        return rs.field(QStringLiteral("MTPRCOTIZ")).toDouble();
    });
}

Recordset getCIB(const QString& despacho) {
    return plainRead("getCIB",
                     [](Dialect d) {
                         const Sql jurisdiction = sql::left(d, "CCIBNUMINS", 3);
                         return "SELECT " + coded(d, jurisdiction, "LJRDDESC") +
                                " AS CCIBNUMINS, CCIBEXENTO, CCIBINSCON"
                                " From CIB"
                                " INNER JOIN JRD ON (" +
                                jurisdiction +
                                " = CJRD)"
                                " WHERE IDDT = ?"
                                " AND DJRDFIN > GETDATE()";
                     },
                     {despacho});
}

Recordset getJurisdicciones(const QString& despacho) {
    return plainRead(
        "getJurisdicciones",
        [](Dialect d) {
            return "SELECT IDDT, " +
                   sql::concat(d,
                               {"CDIBJURIS", "' ('", "CJRDTAX", "') '", "COALESCE(LTAXABR, '')"}) +
                   " AS CDIBJURIS, QDIBCOEFIC, QJRDALILOC, QDIBCOEFIC * QJRDALILOC AS FACTOR "
                   " From DIB"
                   " INNER JOIN JRD ON CJRD = CDIBJURIS"
                   " INNER JOIN TAX ON (CJRDTAX = CTAX)"
                   " Where DJRDFIN > GETDATE()"
                   " AND DTAXFIN > GETDATE()"
                   " AND IDDT = ?";
        },
        {despacho});
}

} // namespace modDA
