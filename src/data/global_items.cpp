#include "data/global_items.h"

#include "data/Dialect.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

constexpr qint32 kErrItemsGlobales = static_cast<qint32>(0x800C763Au);
constexpr qint32 kErrDivisionPorCero = 11;

// These two report under their own name, the description kept.
template <class F> decltype(auto) reportedAs(const char* procedure, F&& fn) {
    try {
        return fn();
    } catch (const corvelix::VbError& e) {
        throw corvelix::VbError(kErrItemsGlobales, QLatin1String(procedure), e.description);
    }
}

} // namespace

double getFOBTotalItems(const QString& iddt) {
    return reportedAs("getFOBTotalItems", [&] {
        const Recordset rs =
            getRs(kCatalog, "select  SUM(MARTFOB) as total from ART where iddt = ?", {iddt});
        if (rs.eof() || rs.isNull(QStringLiteral("total")))
            throw corvelix::VbError(94, QStringLiteral("Corvelix"),
                                    QStringLiteral("Uso no válido de Null"));
        return corvelix::formatNumber(rs.field(QStringLiteral("total")).toDouble(),
                                      QStringLiteral("00.00"), QLocale::c())
            .toDouble();
    });
}

void RecalcularUnitariosItems(const QString& iddt) {
    reportedAs("RecalcularUnitariosItems", [&] {
        // SQLite would write Null where the server refuses the division: check first.
        const Recordset zero = getRs(
            kCatalog,
            sql::selectFirst(dialect(), "NART",
                             "FROM ART WHERE IDDT = ? AND (QARTUNTDCL = 0 OR QARTUNTDCL IS NULL)"),
            {iddt});
        if (!zero.eof())
            throw corvelix::VbError(kErrDivisionPorCero, QStringLiteral("Corvelix"),
                                    QStringLiteral("División por cero: el item ") +
                                        zero.text(QStringLiteral("NART")) +
                                        QStringLiteral(" tiene cantidad declarada 0"));
        execSQL(kCatalog,
                "UPDATE ART SET MARTUNITAR = " +
                    sql::roundTo(dialect(), "(MARTFOB / QARTUNTDCL)", 5) + " WHERE IDDT = ?",
                {iddt});
    });
}

void contestarOpcionItems(const QString& iddt, const QString& codigo, const QString& valor) {
    corvelix::chained(QStringLiteral("Corvelix.modDA.contestarOpcionItems"), [&] {
        Transaction transaction;
        execSQL(kCatalog, "delete from CPL where ICPL = ? and " + sql::sameCode(dialect(), "CCPL"),
                {iddt, codigo});
        execSQL(kCatalog,
                "insert into CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) "
                "select IDDT, NART, ?, 'S', ? from ART where IDDT = ?",
                {codigo, valor, iddt});
        Invalidar_ITEM(iddt, QString(), true);
        transaction.commit();
    });
}

} // namespace modDA
