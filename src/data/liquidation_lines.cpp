#include "data/liquidation_lines.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// A number text written with a mask ("7" and "0007" give "0007" for "0000"); any other text
// goes unchanged, as the mask leaves it.
QString masked(const QString& text, const QString& mask) {
    if (!corvelix::isNumeric(text))
        return text;
    return corvelix::formatNumber(corvelix::toNumber(text), mask);
}

// The value a box keeps: two decimals, say, rounded half away from zero.
double rounded(double value, int decimals) {
    return corvelix::roundedAsShown(value, decimals);
}

} // namespace

Recordset getLiquidacion(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getLiquidacion"), [&] {
        return getRs(kCatalog,
                     "SELECT CLQATAX, LTAXABR, MLQABAS, QLQACOEFIC, MLQA, CLQATYP, CLQAMOTGAR "
                     " FROM LQA "
                     " INNER JOIN TAX ON (CLQATAX = CTAX) "
                     " WHERE ILIQ = ? AND NART = ? "
                     " AND GETDATE() BETWEEN DTAXEFF AND DTAXFIN order by CLQATAX",
                     {despacho, item});
    });
}

Recordset getLiquidacionItems(const QString& despacho) {
    return corvelix::chained(location("getLiquidacionItems"), [&] {
        const Dialect d = dialect();
        // A missing description leaves "code - " rather than hiding the code.
        const Sql sql = "SELECT NART, " +
                        sql::concat(d, {"CLQATAX", "' - '", "COALESCE(LTAXABR, '')"}) +
                        " AS CLQATAX, QLQACOEFIC, MLQABAS, " +
                        sql::concat(d, {"CLQATYP", "' - '", "COALESCE(LPTRNAT, '')"}) +
                        " AS CLQATYP, CLQAMOTGAR, MLQA, CLQATAX AS Codigo, CLQATYP AS Tipo "
                        " From LQA"
                        " LEFT JOIN TAX ON (CLQATAX = CTAX)"
                        " LEFT JOIN PTR ON (CLQATYP = CPTRNAT)"
                        " WHERE DTAXFIN > GETDATE() AND CTPT = 'TIPTAX'"
                        " AND ILIQ = ?"
                        " ORDER BY NART, CLQATAX";
        return getRs(kCatalog, sql, {despacho});
    });
}

Recordset getLiquidacionFULL(const QString& despacho) {
    return corvelix::chained(location("getLiquidacionFULL"), [&] {
        return getRs(kCatalog,
                     "SELECT IDDT, ART.NART, NARTEXT, IESPNCE, MARTFOBDOL, MARTASS, MARTFLE, "
                     "MARTAJUINC, MARTAJUDED, LISTA, "
                     " CLQATAX, LTAXABR, CLQATYP, MLQABAS, QLQACOEFIC, MLQA"
                     " From ART"
                     " LEFT JOIN LQA ON (ART.IDDT = ILIQ AND ART.NART = LQA.NART)"
                     " INNER JOIN TAX ON (CLQATAX = CTAX)"
                     " WHERE ILIQ = ? AND DTAXFIN >= GETDATE()"
                     " ORDER BY ART.NART, CLQATAX",
                     {despacho});
    });
}

int agregarLiquidacion(const QString& despacho, const QString& item, const QString& concepto,
                       const QString& tipo, double base, double coeficiente, double monto,
                       const QString& motivoGarantia) {
    return corvelix::chained(location("agregarLiquidacion"), [&] {
        const QString motivo =
            motivoGarantia.trimmed().isEmpty() ? QStringLiteral("NULO") : motivoGarantia;
        return execSQL(kCatalog,
                       "insert into LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, "
                       "QLQACOEFIC, MLQABOC , CLQA_) values (?, ?, ?, ?, ?, ?, ?, ?, 0, NULL)",
                       {despacho, masked(item, QStringLiteral("0000")),
                        masked(concepto, QStringLiteral("000")), tipo, motivo,
                        rounded(monto, 2), rounded(base, 2),
                        rounded(coeficiente, 6)});
    });
}

int eliminarLiquidacion(const QString& despacho, const QString& item) {
    return corvelix::chained(location("eliminarLiquidacion"), [&] {
        return execSQL(kCatalog, "delete from LQA where ILIQ = ? and NART = ? ",
                       {despacho, masked(item, QStringLiteral("0000"))});
    });
}

bool tieneAutoLiquidacion(const QString& despacho) {
    int line = 0;
    return corvelix::chained(
        location("tieneAutoLiquidacion"),
        [&] {
            line = 10;
            const Sql sql = "SELECT COUNT(*) AS TOTAL FROM SRG WHERE ISRG= ? AND CSRG IN "
                            "('AUTOLIQCONTRIMP','AUTOLIQLIBREEXP','AUTOLIQLIBREIMP',"
                            "'AUTOLIQLIBRETR')";
            line = 20;
            const Recordset rs = getRs(kCatalog, sql, {despacho});
            line = 30;
            const int total = rs.field(QStringLiteral("total")).toInt();
            line = 40;
            return total > 0;
        },
        line);
}

} // namespace modDA
