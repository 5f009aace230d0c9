#include "data/cancellations.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

[[noreturn]] void typeMismatch() {
    throw corvelix::VbError(13, QStringLiteral("Corvelix"),
                            QStringLiteral("No coinciden los tipos"));
}

// A whole number given as text (an item number, an order number); anything else is refused
// before a statement runs.
int wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        typeMismatch();
    return value;
}

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

constexpr qint32 kErrItemNotFound = static_cast<qint32>(0x8004000Au);
constexpr qint32 kErrDuplicateLine = static_cast<qint32>(0x80040201u);

const Sql kLineKey = " where IDCN = ? and NDCNART = ? and IDCNAPU = ? and NDCNARTAPU = ? "
                     "and NDCNSBTAPU = ?";

} // namespace

QString factorCatalogo(double factor) {
    return corvelix::formatNumber(corvelix::catalogNumber(factor, 2), QStringLiteral("00.00"),
                                  QLocale::c())
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

void Distribuir_IDA4_En_IC06(const QString& despacho, const QString& despachoCancelado,
                             const QString& certificado) {
    int line = 0;
    corvelix::chained(
        location("Distribuir_IDA4_En_IC06"),
        [&] {
            const Dialect d = dialect();
            const QString codigo =
                certificado.trimmed().isEmpty() ? QStringLiteral("0") : certificado;
            const QString factor = factorCatalogo(100);
            const Sql columns = "INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, "
                                "IDCNESPNCE, QDCNAPU, CDCNETA, DDCNETA, CDCNNCM, CDCNEXPAPU, "
                                "NDCNORDEN, CDCNRESOL) ";
            Transaction transaction;
            line = 30;
            execSQL(kCatalog, "delete from DCN WHERE IDCN = ?", {despacho});
            line = 120;
            execSQL(kCatalog,
                    columns +
                        "SELECT SBT.IDDT, SBT.NART, ?, SBT.NART, ISBT, IESPNCE, "
                        "CASE ISBT WHEN '0000' THEN QARTUNTDCL ELSE QSBTUNTDCL END, 'ENC', " +
                        sql::todayYmd(d) +
                        ", 'N', ?, 0, ? FROM SBT "
                        "INNER JOIN ART ON (ART.IDDT = SBT.IDDT AND ART.NART = SBT.NART) "
                        "WHERE ART.IDDT = ? ",
                    {despachoCancelado, codigo, factor, despacho});
            line = 220;
            execSQL(kCatalog,
                    columns + "SELECT IDDT, NART, ?, NART, '0000', IESPNCE, QARTUNTDCL, 'ENC', " +
                        sql::todayYmd(d) +
                        ", 'N', ?, 0, ? FROM ART WHERE ART.IDDT = ? AND NOT EXISTS( "
                        "SELECT ISBT FROM SBT WHERE SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART ) ",
                    {despachoCancelado, codigo, factor, despacho});
            transaction.commit();
        },
        line);
}

Recordset getDescarga(const QString& despacho, const QString& item) {
    int line = 0;
    return corvelix::chained(
        location("getDescarga"),
        [&] {
            const int numero = wholeNumber(item);
            line = 40;
            return getRs(kCatalog,
                         "SELECT IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU,CDCNEXPAPU, "
                         "NDCNORDEN, CDCNRESOL FROM DCN WHERE IDCN = ? AND NDCNART = ?",
                         {despacho, numero});
        },
        line);
}

QString getNART_from_NARTTEXT(const QString& despacho, const QString& itemMostrado) {
    return corvelix::chained(location("getNART_from_NARTTEXT"), [&] {
        // The shown number as the item list shows it: "3" is looked up as "0003".
        const QString mostrado =
            corvelix::isNumeric(itemMostrado, QLocale::c())
                ? corvelix::formatNumber(corvelix::toNumber(itemMostrado, QLocale::c()),
                                         QStringLiteral("0000"), QLocale::c())
                : itemMostrado;
        const Recordset rs = getRs(kCatalog, "select nart from art where iddt = ? and nartext = ?",
                                   {despacho, mostrado});
        if (rs.eof())
            throw corvelix::VbError(kErrItemNotFound, QStringLiteral("ITEM's"),
                                    QStringLiteral("No se encuentra el item ") + itemMostrado +
                                        QStringLiteral(" en el provisorio ") + despacho);
        return QString::number(wholeNumber(rs.text(QStringLiteral("nart"))));
    });
}

bool agregarCancelacion(const QString& despacho, int itemMostrado, const QString& despachoApu,
                        int itemApu, int subitemApu, const QString& ncm, double cantidad,
                        const QString& certificado, const QString& orden, const QString& resolucion,
                        const QString& etapa) {
    int line = 0;
    return corvelix::chained(
        location("agregarCancelacion"),
        [&] {
            const QVariant numeroOrden =
                orden.isEmpty() ? QVariant() : QVariant(wholeNumber(orden));
            line = 40;
            const int item = getNART_from_NARTTEXT(despacho, QString::number(itemMostrado)).toInt();
            line = 310;
            const Sql fecha = etapa.isEmpty() ? Sql("NULL") : sql::todayYmd(dialect());
            return execSQL(kCatalog,
                           "insert into DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, "
                           "IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL, CDCNETA, "
                           "DDCNETA) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, " +
                               fecha + ")",
                           {despacho, item, despachoApu, itemApu, subitemApu, ncm,
                            corvelix::machineNumber(cantidad).toDouble(), textOrNull(certificado),
                            numeroOrden, resolucion, textOrNull(etapa)}) > 0;
        },
        line);
}

bool agregarCancelacionItem(const QString& despacho, const QString& item,
                            const QString& despachoApu, int itemApu, int subitemApu,
                            const QString& ncm, double cantidad, const QString& certificado,
                            const QString& resolucion) {
    int line = 0;
    return corvelix::chained(
        location("agregarCancelacionItem"),
        [&] {
            const int numero = wholeNumber(item);
            line = 20;
            Transaction transaction;
            // The item by its key: NART is four digits, whatever number the list shows.
            const QString clave = QStringLiteral("%1").arg(numero, 4, 10, QLatin1Char('0'));
            if (getRs(kCatalog, "select NART from ART where IDDT = ? and NART = ?",
                      {despacho, clave})
                    .eof())
                throw corvelix::VbError(kErrItemNotFound, QStringLiteral("ITEM's"),
                                        QStringLiteral("No se encuentra el item ") +
                                            QString::number(numero) +
                                            QStringLiteral(" en el provisorio ") + despacho);
            line = 40;
            if (!getRs(kCatalog, "select IDCN from DCN" + kLineKey,
                       {despacho, numero, despachoApu, itemApu, subitemApu})
                     .eof())
                throw corvelix::VbError(
                    kErrDuplicateLine, QStringLiteral("Cancelaciones"),
                    QStringLiteral("Ya existe una cancelación del item %1 contra el despacho %2, "
                                   "item %3, subitem %4; no se agregó la cancelación.")
                        .arg(numero)
                        .arg(despachoApu)
                        .arg(itemApu)
                        .arg(subitemApu));
            line = 310;
            const int rows = execSQL(
                kCatalog,
                "insert into DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, "
                "QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL, CDCNETA, DDCNETA) "
                "values (?, ?, ?, ?, ?, ?, ?, ?, 0, ?, NULL, NULL)",
                {despacho, numero, despachoApu, itemApu, subitemApu, ncm,
                 corvelix::machineNumber(cantidad).toDouble(), textOrNull(certificado),
                 resolucion});
            transaction.commit();
            return rows > 0;
        },
        line);
}

bool modificarCancelacion(const QString& despacho, int item, const QString& despachoApu,
                          int itemApu, int subitemApu, const QString& ncm, double cantidad,
                          const QString& certificado, const QString& resolucion,
                          const std::optional<ClaveCancelacion>& anterior) {
    int line = 0;
    return corvelix::chained(
        location("modificarCancelacion"),
        [&] {
            const ClaveCancelacion nueva{despachoApu, itemApu, subitemApu};
            const ClaveCancelacion clave = anterior.value_or(nueva);
            Transaction transaction;
            line = 140;
            const bool moved =
                clave.despachoApu.compare(nueva.despachoApu, Qt::CaseInsensitive) != 0 ||
                clave.itemApu != nueva.itemApu || clave.subitemApu != nueva.subitemApu;
            // Moving the line onto a key another line of the item holds would make two lines
            // one.
            if (moved &&
                !getRs(kCatalog, "select IDCN from DCN" + kLineKey,
                       {despacho, item, nueva.despachoApu, nueva.itemApu, nueva.subitemApu})
                     .eof())
                throw corvelix::VbError(
                    kErrDuplicateLine, QStringLiteral("Cancelaciones"),
                    QStringLiteral("Ya existe una cancelación del item %1 contra el despacho %2, "
                                   "item %3, subitem %4; no se modificó la cancelación.")
                        .arg(item)
                        .arg(nueva.despachoApu)
                        .arg(nueva.itemApu)
                        .arg(nueva.subitemApu));
            const int rows = execSQL(
                kCatalog,
                "update DCN set IDCNAPU = ?, NDCNARTAPU = ?, NDCNSBTAPU = ?, IDCNESPNCE = ?, "
                "QDCNAPU = ?, CDCNEXPAPU = ?, CDCNRESOL = ?" +
                    kLineKey,
                {nueva.despachoApu, nueva.itemApu, nueva.subitemApu, ncm,
                 corvelix::machineNumber(cantidad).toDouble(), certificado, resolucion, despacho,
                 item, clave.despachoApu, clave.itemApu, clave.subitemApu});
            transaction.commit();
            return rows > 0;
        },
        line);
}

bool eliminarCancelacion(const QString& despacho, int item, const QString& despachoApu, int itemApu,
                         int subitemApu) {
    int line = 0;
    return corvelix::chained(
        location("eliminarCancelacion"),
        [&] {
            line = 80;
            return execSQL(kCatalog, "delete from DCN" + kLineKey,
                           {despacho, item, despachoApu, itemApu, subitemApu}) != 0;
        },
        line);
}

Recordset getCancelacion(const QString& despacho, int item, const QString& despachoApu, int itemApu,
                         int subitemApu) {
    int line = 0;
    return corvelix::chained(
        location("getCancelacion"),
        [&] {
            line = 70;
            return getRs(kCatalog, "select * from DCN" + kLineKey,
                         {despacho, item, despachoApu, itemApu, subitemApu});
        },
        line);
}

Recordset getDescargas(const QString& despacho) {
    int line = 0;
    return corvelix::chained(
        location("getDescargas"),
        [&] {
            line = 40;
            return getRs(kCatalog,
                         "SELECT NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU,"
                         "CDCNEXPAPU, NDCNORDEN, CDCNRESOL FROM DCN WHERE IDCN = ?",
                         {despacho});
        },
        line);
}

} // namespace modDA
