#include "data/declaration_reads.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

#include <array>

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

const Sql kItemColumns =
    "select art.nart, nartext, iespnce as ncm, lista, cartpayori as paisorigen, "
    "cartpayprc as paisproc, CARTUSO as estado, cartuntdcl as unidad_dec, "
    "qartuntdcl as cantidad_dec, cartuntest as unidad_est, "
    "qartuntest as cantidasd_est, QARTKGRNET as KiloNeto, martfob as fob, "
    "martfle as flete, martass as seguro, MARTAJUDED as ajuste_ded, "
    "MARTAJUINC as ajuste_inc, ventajas";
const Sql kJoinVentajas = " from art left join item_ventajas on (art.iddt = item_ventajas.iddt and "
                          "art.nart = item_ventajas.nart) ";
const Sql kJoinInfoAdDocs =
    " left join ITEM_INFOAD on (art.iddt = ITEM_INFOAD.iddt and art.nart = ITEM_INFOAD.nart) "
    " left join ITEM_DOCS on (art.iddt = ITEM_DOCS.iddt and art.nart = ITEM_DOCS.nart) ";
const Sql kWhereDeclaration = " where art.iddt = ? ";

Recordset itemGrid(const char* procedure, const Sql& sql, const QString& despacho) {
    return corvelix::chained(location(procedure), [&] { return getRs(kCatalog, sql, {despacho}); });
}

// The item number as the item's shown number is stored: four digits when numeric.
QString fourDigits(const QString& item) {
    if (!corvelix::isNumeric(item))
        return item;
    return corvelix::formatNumber(corvelix::toNumber(item), QStringLiteral("0000"));
}

const std::array<const char*, 59> kCancellationCodes{
    "EC02", "EC03", "EC04", "EC06", "EC07", "EC08", "EC09", "ECR1", "ECR2", "EG02", "EG03", "EG07",
    "ET01", "ET02", "ETA1", "ETE1", "ETE2", "DIR6", "IC06", "IC21", "IC26", "IC31", "IC33", "IC34",
    "IC35", "IC41", "IC44", "IC45", "IC83", "ICR1", "ICR2", "ICR3", "ICR4", "ICRF", "IDT4", "IG06",
    "IG34", "IG35", "IG36", "IG83", "IT06", "IT16", "MARE", "RE06", "RR01", "TG06", "TG16", "TR06",
    "TRM6", "ZFE1", "ZFE2", "ZFE3", "ZFE4", "ZFE5", "ZFE6", "ZFER", "ZFET", "ZFRE", "ZFTR"};

// The description statement of a code table, its code bound to the one placeholder.
Sql descriptionStatement(int tablaCodigo, Dialect d) {
    switch (tablaCodigo) {
    case 1:
        return "select CVEN as id, LVENLBL as descripcion from ven where getdate() between "
               "DVENEFF and DVENFIN and " +
               sql::sameCode(d, "CVEN");
    case 2:
        return "select CODLISTA as id, DESCLISTA as descripcion from lst where " +
               sql::sameCode(d, "CODLISTA");
    case 3:
        return "select CZCP as id, LZCPDESC as descripcion from ZCP where getdate() between "
               "DZCPINI and DZCPFIN and " +
               sql::sameCode(d, "CZCP");
    case 4:
        return "select CDOC as id, LDOCDESC as descripcion from DOC where getdate() between "
               "DDOCINI and DDOCFIN and " +
               sql::sameCode(d, "CDOC");
    case 5:
        return "SELECT CESTCOD AS ID , LDESCRI AS DESCRIPCION FROM EST where " +
               sql::sameCode(d, "CESTCOD");
    case 6:
        return "SELECT CPAY AS ID, LPAYABR AS DESCRIPCION FROM PAY WHERE DPAYFIN > GETDATE() "
               "and " +
               sql::sameCode(d, "CPAY");
    case 7:
        return "SELECT CPRV AS ID , LPRV AS DESCRIPCION FROM PRV WHERE DPRVFIN > GETDATE() "
               "and " +
               sql::sameCode(d, "CPRV");
    default:
        throw corvelix::VbError(static_cast<qint32>(0x80045B9Du), QStringLiteral("getSQL"),
                                QStringLiteral("parametro invalido: ") +
                                    QString::number(tablaCodigo));
    }
}

} // namespace

Recordset getITEMsByDespacho(const QString& despacho) {
    return itemGrid("getITEMsByDespacho",
                    kItemColumns + ", NARTAPU, IDDTAPU" + kJoinVentajas + kWhereDeclaration,
                    despacho);
}

Recordset getITEMs_Solodatos_ByDespacho(const QString& despacho) {
    return itemGrid("getITEMs_Solodatos_ByDespacho",
                    "select art.nart, nartext, iespnce as ncm, lista, cartpayori as paisorigen, "
                    "cartpayprc as paisproc, cartuntdcl as unidad_dec, qartuntdcl as cantidad_dec, "
                    "martfob as fob, ventajas, INFOAD, DOCS" +
                        kJoinVentajas + kJoinInfoAdDocs + kWhereDeclaration,
                    despacho);
}

Recordset getITEMsByDespacho_FULL(const QString& despacho) {
    return itemGrid("getITEMsByDespacho_FULL",
                    kItemColumns + ", INFOAD, DOCS" + kJoinVentajas + kJoinInfoAdDocs +
                        kWhereDeclaration,
                    despacho);
}

Recordset getArticulosByDespacho(const QString& despacho, const QString& sufijo) {
    return corvelix::chained(location("getArticulosByDespacho"), [&] {
        Sql sql = "SELECT SBT.IEXT, SBT.IDDT, SBT.NART, NARTEXT,ISBT, ART.IESPNCE,CSBTSVL,"
                  "CARTUNTDCL, "
                  "CASE WHEN ISBT = '0000' THEN QARTUNTDCL ELSE QSBTUNTDCL END AS CANTIDAD, "
                  "CARTUNTEST, "
                  "CASE WHEN ISBT = '0000' THEN QARTUNTEST ELSE QSBTUNTEST END "
                  "AS CANTIDAD_ESTADISTICA, "
                  "CASE WHEN ISBT = '0000' THEN MARTUNITAR ELSE MSBTUNITAR END AS FOB_UNITARIO, "
                  "CASE WHEN ISBT = '0000' THEN MARTFOB ELSE MSBTFOB END AS FOB_TOTAL, "
                  " Lista, CARTPAYORI, CARTPAYPRC "
                  "From SBT "
                  "INNER JOIN ART ON (SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART) "
                  "where SBT.IDDT = ? ";
        QVariantList params{despacho};
        if (!sufijo.isEmpty()) {
            // The text is looked for as typed: the pattern's own characters (and the server's
            // "[") are escaped.
            QString literal;
            for (const QChar c : sufijo) {
                if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_') ||
                    c == QLatin1Char('['))
                    literal += QLatin1Char('\\');
                literal += c;
            }
            sql += " and CSBTSVL like ? ESCAPE '\\'";
            params << QLatin1Char('%') + literal + QLatin1Char('%');
        }
        return getRs(kCatalog, sql, params);
    });
}

Recordset getRsITEM(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getRsITEM"), [&] {
        return getRs(kCatalog, "select * from ART where IDDT = ? and NART = ?", {despacho, item});
    });
}

Recordset getRsITEMs(const QString& despacho) {
    return corvelix::chained(location("getRsITEMs"), [&] {
        return getRs(kCatalog, "select * from ART where IDDT = ?", {despacho});
    });
}

Recordset getSIMIGlobal(const QString& despacho) {
    const int line = 0;
    return corvelix::chainedNumbered(location("getSIMIGlobal"), line, [&] {
        return getRs(kCatalog,
                     "select art.IDDT as despacho, IESPNCE as ncm, NARTEXT as item, "
                     "QARTUNTDCL as cantidad, MARTUNITAR as unitario, MARTFOB as total, "
                     "CSBTSVL as sufijos, CARTPAYORI as origen, SBT.IEXT as iext from ART "
                     " inner join SBT on (art.iddt = sbt.iddt and art.nart = sbt.nart) "
                     " WHERE art.IDDT = ?",
                     {despacho});
    });
}

SIMItemCampos getCamposSIM(const QString& despacho, const QString& item) {
    int line = 0;
    return corvelix::chained(
        location("getCamposSIM"),
        [&] {
            line = 10;
            const Sql sql = "select CARTUNTDCL , QARTUNTDCL , CARTUNTEST , QARTUNTEST , CARTUNDE , "
                            "QARTDE, CARTPAYORI, IEXT from ART where IDDT = ? and NARTEXT = ?";
            line = 20;
            const Recordset rs = getRs(kCatalog, sql, {despacho, fourDigits(item)});
            line = 30;
            if (rs.eof())
                throw corvelix::VbError(static_cast<qint32>(0x8005E235u), QStringLiteral("getITEM"),
                                        QStringLiteral("No se encuentra el item ") + item +
                                            QStringLiteral(" en la operacion ") + despacho);
            line = 40;
            // The declared unit and both quantities must be there: a Null is an error, as
            // assigning it to the record always was.
            const auto required = [&rs](const char* column) {
                const QVariant value = rs.field(QLatin1String(column));
                if (value.isNull())
                    throw corvelix::VbError(94, QStringLiteral("Corvelix"),
                                            QStringLiteral("Uso no válido de Null"));
                return value;
            };
            SIMItemCampos campos;
            campos.declaredUnit = required("CARTUNTDCL").toString();
            line = 50;
            campos.declaredQuantity = required("QARTUNTDCL").toDouble();
            line = 60;
            campos.statisticalUnit = rs.text(QStringLiteral("CARTUNTEST"));
            line = 70;
            campos.statisticalQuantity = required("QARTUNTEST").toDouble();
            line = 80;
            campos.originCountry = rs.text(QStringLiteral("CARTPAYORI"));
            line = 90;
            campos.externalReference = rs.text(QStringLiteral("IEXT"));
            return campos;
        },
        line);
}

QHash<QString, QString> getClavesPorNumeroMostrado(const QString& despacho) {
    return corvelix::chained(location("getClavesPorNumeroMostrado"), [&] {
        const Recordset rs =
            getRs(kCatalog, "select NARTEXT, NART from ART where IDDT = ? order by NART desc",
                  {despacho});
        QHash<QString, QString> claves;
        claves.reserve(rs.recordCount());
        for (const QVariantList& r : rs.rows())
            claves.insert(r.at(0).toString().trimmed(), r.at(1).toString());
        return claves;
    });
}

QString getDescripcionTabla(const QString& codigo, int tablaCodigo) {
    int line = 0;
    return corvelix::chained(
        location("getDescripcionTabla"),
        [&] {
            line = 10;
            const Sql sql = descriptionStatement(tablaCodigo, dialect());
            line = 20;
            const Recordset rs = getRs(kCatalog, sql, {codigo});
            line = 30;
            if (rs.eof())
                throw corvelix::VbError(static_cast<qint32>(0x8003FFF6u),
                                        QStringLiteral("Codigo inválido"),
                                        QStringLiteral("No se encontró descripcion para el "
                                                       "codigo [ ") +
                                            codigo + QStringLiteral(" ]"));
            line = 40;
            return rs.text(QStringLiteral("descripcion")).trimmed();
        },
        line);
}

QString extraerSubRegimen(const QString& despacho) {
    return despacho.mid(5, 4);
}

bool admiteCancelaciones(const QString& subRegimen) {
    for (const char* code : kCancellationCodes) {
        if (subRegimen == QLatin1String(code))
            return true;
    }
    return false;
}

Recordset getSubRegimen() {
    return corvelix::chained(location("getSubRegimen"), [] {
        return getRs(kCatalog, "select ISTA from sta where getdate() between DSTAEFF and DSTAFIN "
                               " order by ISTA");
    });
}

Recordset getCondicionVenta() {
    return corvelix::chained(location("getCondicionVenta"), [] {
        return getRs(kCatalog,
                     "SELECT CINC ,LINC FROM INC WHERE DINCFIN > GETDATE() ORDER BY CINC");
    });
}

} // namespace modDA
