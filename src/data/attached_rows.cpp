#include "data/attached_rows.h"

#include "data/Dialect.h"
#include "data/ItemList.h"
#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// Codes and references are typed by the user: a long one must compare as a short one does.
Sql typedText() {
    return sql::boundText(dialect());
}

// `column` equal to a bound code, as the server compares codes.
Sql code(const Sql& column) {
    return sql::sameCode(dialect(), column);
}

// The work is refused: nothing is written, and the form shows why.
[[noreturn]] void refuse(const QString& text) {
    throw corvelix::Refusal(text);
}

// CCM keeps the item as a number: a text that is none is refused before a statement runs.
int itemNumber(const QString& item) {
    bool ok = false;
    const int value = item.trimmed().toInt(&ok);
    if (!ok)
        throw corvelix::VbError(13, QStringLiteral("Corvelix"),
                                QStringLiteral("No coinciden los tipos"));
    return value;
}

} // namespace

bool agregarInformacionAdicional(const QString& despacho, const QString& item,
                                 const QString& codigo, const QString& valor,
                                 const QString& icpldif, bool reemplazar) {
    return corvelix::chained(location("agregarInformacionAdicional"), [&] {
        Transaction transaction;
        const bool found = !getRs(kCatalog,
                                  "SELECT CCPL, MCPL FROM CPL WHERE ICPL = ? AND NART = ? "
                                  "AND " +
                                      code("CCPL"),
                                  {despacho, item, codigo})
                                .eof();
        if (found && !reemplazar) {
            refuse(QStringLiteral("La información adicional ") + codigo +
                   QStringLiteral(" ya esta cargada para este item"));
        }
        if (found)
            execSQL(kCatalog, "DELETE FROM CPL WHERE ICPL = ? AND NART = ? AND " + code("CCPL"),
                    {despacho, item, codigo});
        const int rows = execSQL(
            kCatalog,
            "INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) "
            "VALUES (?, ?, ?, ?, ?)",
            {despacho, item, codigo, valor, icpldif.isEmpty() ? QStringLiteral("D") : icpldif});
        transaction.commit();
        return rows > 0;
    });
}

bool eliminarInfoAd(const QString& despacho, const QString& item, const QString& codigo) {
    return corvelix::chained(location("eliminarInfoAd"), [&] {
        return execSQL(kCatalog, "DELETE FROM CPL WHERE ICPL = ? AND NART = ? AND " + code("CCPL"),
                       {despacho, item, codigo}) > 0;
    });
}

bool vaciarInformacionAdicional(const QString& despacho, const QString& items) {
    int line = 0;
    return corvelix::chained(
        location("vaciarInformacionAdicional"),
        [&] {
            line = 10;
            const ItemList lista = ItemList::parse(items);
            line = 110;
            return execSQL(kCatalog,
                           "DELETE FROM CPL WHERE ICPL = ? AND " + lista.condition("NART"),
                           QVariantList{despacho} + lista.params()) > 0;
        },
        line);
}

void resetInfoAD_ByID(const QString& despacho, const QString& codigo, const QString& items) {
    corvelix::chained(location("resetInfoAD_ByID"), [&] {
        const ItemList lista = ItemList::parse(items);
        execSQL(kCatalog,
                "DELETE FROM CPL WHERE ICPL = ? AND " + code("CCPL") + " AND " +
                    lista.condition("NART"),
                QVariantList{despacho, codigo} + lista.params());
    });
}

bool setInfoAdicional(const QString& despacho, const QString& item, const QString& codigo,
                      const QString& valor) {
    return corvelix::chained(location("setInfoAdicional"), [&] {
        // The outside system's column may be no wider than this.
        return execSQL(kCatalog,
                       "UPDATE CPL SET MCPL = ? WHERE ICPL = ? and NART = ? and " + code("CCPL"),
                       {valor.left(20), despacho, item, codigo}) > 0;
    });
}

void CleanInfoAdicionalSIMI(const QString& despacho) {
    int line = 0;
    corvelix::chained(
        location("CleanInfoAdicionalSIMI"),
        [&] {
            line = 90;
            execSQL(kCatalog,
                    "delete from CPL where ICPL = ? and (CCPL like 'SIMI-DESC-MERC%' "
                    "or CCPL = 'SIMI-FECHA-ARRIB' or CCPL = 'SIMI-FECHA-EMBAR')",
                    {despacho});
        },
        line);
}

bool AgregarVentajas(const QString& despacho, const QString& item, const QString& codigo) {
    return corvelix::chained(location("AgregarVentajas"), [&] {
        Transaction transaction;
        if (!getRs(kCatalog, "SELECT CSRG FROM SRG WHERE ISRG = ? AND NART = ? AND " + code("CSRG"),
                   {despacho, item, codigo})
                 .eof()) {
            refuse(QStringLiteral("La Ventaja ") + codigo +
                   QStringLiteral(" ya esta cargada para este item"));
        }
        const int rows = execSQL(kCatalog, "INSERT INTO SRG (ISRG, NART, CSRG) VALUES (?, ?, ?)",
                                 {despacho, item, codigo});
        transaction.commit();
        return rows > 0;
    });
}

bool eliminarVentajas(const QString& despacho, const QString& item, const QString& codigo) {
    return corvelix::chained(location("eliminarVentajas"), [&] {
        return execSQL(kCatalog, "DELETE FROM SRG WHERE ISRG = ? AND NART = ? AND " + code("CSRG"),
                       {despacho, item, codigo}) > 0;
    });
}

bool vaciarVentajas(const QString& despacho, const QString& items) {
    return corvelix::chained(location("vaciarVentajas"), [&] {
        const ItemList lista = ItemList::parse(items);
        return execSQL(kCatalog, "DELETE FROM SRG WHERE ISRG = ? AND " + lista.condition("NART"),
                       QVariantList{despacho} + lista.params()) > 0;
    });
}

void resetVentajas_ID(const QString& despacho, const QString& codigo) {
    corvelix::chained(location("resetVentajas_ID"), [&] {
        execSQL(kCatalog,
                "DELETE FROM SRG WHERE ISRG = ? AND " + code("CSRG") + " AND NART <> '0000'",
                {despacho, codigo});
    });
}

bool agregarDocumento(const QString& despacho, const QString& item, const QString& codigo,
                      const QString& referencia) {
    return corvelix::chained(location("agregarDocumento"), [&] {
        Transaction transaction;
        if (!getRs(kCatalog,
                   "SELECT CDVDDOC FROM DVD WHERE IDVD = ? AND NART = ? AND " + code("CDVDDOC"),
                   {despacho, item, codigo})
                 .eof()) {
            refuse(QStringLiteral("El documento ") + codigo +
                   QStringLiteral(" ya esta cargado en este item"));
        }
        QString ref = referencia;
        ref.replace(QLatin1Char('\''), QLatin1Char(' '));
        const int rows = execSQL(kCatalog,
                                 "INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                                 "VALUES (?, ?, ?, 'S', ?)",
                                 {despacho, item, codigo, ref});
        transaction.commit();
        return rows > 0;
    });
}

bool eliminarDocumento(const QString& despacho, const QString& item, const QString& codigo) {
    return corvelix::chained(location("eliminarDocumento"), [&] {
        return execSQL(kCatalog,
                       "DELETE FROM DVD WHERE IDVD = ? AND NART = ? AND " + code("CDVDDOC"),
                       {despacho, item, codigo}) > 0;
    });
}

void ResetDocumento(const QString& despacho, const QString& codigo, const QString& items) {
    corvelix::chained(location("ResetDocumento"), [&] {
        const ItemList lista = ItemList::parse(items);
        execSQL(kCatalog,
                "DELETE FROM DVD WHERE IDVD = ? AND " + lista.condition("NART") + " AND " +
                    code("CDVDDOC"),
                QVariantList{despacho} + lista.params() + QVariantList{codigo});
    });
}

bool agregarCCPAC(const QString& despacho, const QString& item, const QString& valor,
                  const QVariant& itemDocumento) {
    return corvelix::chained(location("agregarCCPAC"), [&] {
        const int numero = itemNumber(item);
        Transaction transaction;
        if (!getRs(kCatalog, "select MCCM from CCM WHERE IDDT = ? and NART = ?", {despacho, numero})
                 .eof()) {
            refuse(QStringLiteral("El CCPAC ya esta cargado para el item ") + item);
        }
        const int rows = execSQL(kCatalog,
                                 "INSERT INTO CCM (IDDT, NART, CCCM, MCCM, DESARROLLO, CCCMNART) "
                                 "VALUES (?, ?, 'DCEXP', ?, 1, ?)",
                                 {despacho, numero, valor,
                                  itemDocumento.isNull() ? QString() : itemDocumento.toString()});
        transaction.commit();
        return rows > 0;
    });
}

bool eliminarCCPAC(const QString& despacho, const QString& item, const QString& valor) {
    return corvelix::chained(location("eliminarCCPAC"), [&] {
        const int numero = itemNumber(item);
        return execSQL(kCatalog,
                       "delete from CCM where IDDT = ? and NART = ? and MCCM = " + typedText(),
                       {despacho, numero, valor}) > 0;
    });
}

bool resetCCPAC(const QString& despacho) {
    return corvelix::chained(location("resetCCPAC"), [&] {
        return execSQL(kCatalog, "delete from CCM where IDDT = ?", {despacho}) > 0;
    });
}

void ResetDCN(const QString& despacho) {
    corvelix::chained(location("ResetDCN"),
                      [&] { execSQL(kCatalog, "DELETE FROM DCN WHERE IDCN = ? ", {despacho}); });
}

} // namespace modDA
