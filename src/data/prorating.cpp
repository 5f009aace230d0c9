#include "data/prorating.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace modDA {

namespace {

constexpr qint32 kErrCampoInvalido = static_cast<qint32>(0x8004B314u);
constexpr qint32 kErrNormalizar = static_cast<qint32>(0x8005DD70u);
constexpr qint32 kErrDivisionPorCero = 11;
constexpr qint32 kErrDesbordamiento = 6;
const QString kMontos = QStringLiteral("#,##0.00");

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// A value read back through a mask ("0.00", "0.000"): the old way of rounding a field. Null
// reads as 0.
double rounded(const QVariant& value, int decimals) {
    if (value.isNull())
        return 0;
    return corvelix::roundedAsShown(value.toDouble(), decimals);
}

[[noreturn]] void divisionByZero(const QString& what) {
    throw corvelix::VbError(kErrDivisionPorCero, QStringLiteral("Corvelix"),
                            QStringLiteral("División por cero: ") + what);
}

// The work is refused: nothing is written, and the form shows why.
[[noreturn]] void refuse(const QString& text) {
    throw corvelix::Refusal(text);
}

// The busy pointer for the length of a spread, back to the arrow however it ends.
class BusyPointer {
public:
    BusyPointer() { corvelix::ui().setBusy(true); }
    ~BusyPointer() { corvelix::ui().setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// Items a spread works on: a parenthesised query giving NART and the item's figures (FOB,
// KILOS), with its bound values.
struct Items {
    Sql query;
    QVariantList params;
};

// Writes `amount` spread over the items of ART (IDDT and `filter`) in proportion to their FOB
// over `base`, at two decimals, adding up to the amount: each share is rounded, then the rest
// goes a cent at a time to the items the rounding moved furthest from their exact share (a
// positive rest to items rounded down, a negative one from items rounded up), so that every
// share stays within a cent of the exact one and none is pushed below 0. Items that would
// otherwise stay at 0, or fall to it, come last for a taken cent and first for a given one.
// With the items' FOB as base the rest is a rounding rest, which the items can always take a cent
// at a time; anything larger is refused before anything is written. One statement writes every
// share; its row count.
int spreadByFob(Dialect d, const Sql& column, const Sql& filter, const QString& iddt, double amount,
                double base) {
    const Sql exact = "(MARTFOB * ?) / ?";
    const Sql shares = "(SELECT NART, " + sql::roundTo(d, exact, 2) + " AS S, " + exact +
                       " AS E FROM ART WHERE IDDT = ?" + filter + ")";
    const QVariantList shareParams{amount, base, amount, base, iddt};
    const Recordset sums = getRs(kCatalog,
                                 "SELECT SUM(x.S) AS total, SUM(CASE WHEN x.S < x.E THEN 1 ELSE 0 "
                                 "END) AS downs, SUM(CASE WHEN x.S > x.E THEN 1 ELSE 0 END) AS "
                                 "ups FROM " +
                                     shares + " AS x",
                                 shareParams);
    // No items, or a statement capture (which answers no read): no rest.
    const QVariant total = sums.eof() ? QVariant() : sums.field(QStringLiteral("total"));
    const qint64 rest = total.isNull() ? 0 : std::llround((amount - total.toDouble()) * 100);
    const qint64 takers =
        rest == 0
            ? 0
            : sums.field(rest > 0 ? QStringLiteral("downs") : QStringLiteral("ups")).toLongLong();
    if (std::llabs(rest) > takers)
        throw corvelix::VbError(
            kErrNormalizar, QStringLiteral("Prorrateo DATOS"),
            QStringLiteral("No se puede prorratear %1: el resto del redondeo (%2) no se puede "
                           "repartir de a un centavo entre los items. No se modifico ningun "
                           "item.")
                .arg(corvelix::formatNumber(amount, kMontos),
                     corvelix::formatNumber(double(rest) / 100, kMontos)));
    const Sql order =
        rest > 0 ? Sql("CASE WHEN x.S < x.E THEN 0 ELSE 1 END, CASE WHEN x.S = 0 THEN 0 ELSE 1 "
                       "END, x.E - x.S DESC")
                 : Sql("CASE WHEN x.S > x.E THEN 0 ELSE 1 END, CASE WHEN x.S = 0.01 THEN 1 "
                       "ELSE 0 END, x.S - x.E DESC");
    const Sql cent = rest > 0 ? Sql("0.01") : Sql("-0.01");
    const Sql adjusted = "(SELECT x.NART, x.S, CASE WHEN ROW_NUMBER() OVER (ORDER BY " + order +
                         ", x.NART) <= ? THEN " + cent + " ELSE 0 END AS ADJ FROM " + shares +
                         " AS x)";
    return execSQL(kCatalog,
                   sql::updateFrom(d, "ART", column + " = " + sql::roundTo(d, "r.S + r.ADJ", 2),
                                   adjusted + " AS r", "ART.NART = r.NART", "ART.IDDT = ?"),
                   QVariantList{std::llabs(rest)} + shareParams + QVariantList{iddt});
}

// No item may stay at 0: each gets 0.01, taken together from the item with the largest value,
// which must hold more than that.
void fillZeros(Dialect d, const Sql& column, const Sql& filter, const QString& iddt, int scale) {
    const int zeros = getRs(kCatalog,
                            "SELECT COUNT(*) AS total FROM ART WHERE IDDT = ?" + filter + " AND " +
                                column + " = 0",
                            {iddt})
                          .field(0)
                          .toInt();
    if (zeros == 0)
        return;
    const double taken = zeros / 100.0;
    Recordset giver = getRs(kCatalog,
                            sql::selectFirst(d, "NART",
                                             "FROM ART WHERE IDDT = ?" + filter + " AND " + column +
                                                 " > ? ORDER BY " + column + " DESC, NART"),
                            {iddt, taken});
    if (giver.eof())
        throw corvelix::VbError(kErrNormalizar, QStringLiteral("Prorrateo DATOS"),
                                QStringLiteral("No se puede normalizar el prorrateo de valores, "
                                               "hay algunos items que tienen 0."));
    execSQL(kCatalog,
            "UPDATE ART SET " + column + " = " + sql::roundTo(d, column + " - ?", scale) +
                " WHERE IDDT = ? AND NART = ?",
            {taken, iddt, giver.field(QStringLiteral("NART"))});
    execSQL(kCatalog,
            "UPDATE ART SET " + column + " = 0.01 WHERE IDDT = ?" + filter + " AND " + column +
                " = 0",
            {iddt});
}

// Each item's KILOS over its subitems (not the row "0000") by their share of the item's FOB.
// A positive rest goes to subitem "0001"; a negative one is taken from the subitems from the
// largest down, each at most down to 0, so one subitem gives it all when it holds enough.
void spreadStatistical(Dialect d, const QString& iddt, const Items& items) {
    execSQL(kCatalog,
            sql::updateFrom(
                d, "SBT", "QSBTUNTEST = " + sql::roundTo(d, "(MSBTFOB * w.KILOS) / w.FOB", 2),
                items.query + " AS w", "SBT.NART = w.NART", "SBT.IDDT = ? AND SBT.ISBT <> '0000'"),
            items.params + QVariantList{iddt});

    const Sql rests = "(SELECT w.NART, " + sql::roundTo(d, "w.KILOS - SUM(s.QSBTUNTEST)", 2) +
                      " AS RESTO FROM " + items.query +
                      " AS w INNER JOIN SBT s ON s.NART = w.NART WHERE s.IDDT = ? AND "
                      "s.ISBT <> '0000' GROUP BY w.NART, w.KILOS)";
    const QVariantList restParams = items.params + QVariantList{iddt};

    execSQL(kCatalog,
            sql::updateFrom(d, "SBT", "QSBTUNTEST = " + sql::roundTo(d, "QSBTUNTEST + r.RESTO", 2),
                            rests + " AS r", "SBT.NART = r.NART",
                            "SBT.IDDT = ? AND SBT.ISBT = '0001' AND r.RESTO > 0"),
            restParams + QVariantList{iddt});

    // What each subitem gives: the rest still open after the larger ones gave theirs.
    const Sql takes =
        "(SELECT s.NART, s.ISBT, " +
        sql::roundTo(d,
                     "-r.RESTO - (SUM(s.QSBTUNTEST) OVER (PARTITION BY s.NART ORDER BY "
                     "s.QSBTUNTEST DESC, s.ISBT ROWS UNBOUNDED PRECEDING) - s.QSBTUNTEST)",
                     2) +
        " AS TAKE FROM SBT s INNER JOIN " + rests +
        " AS r ON r.NART = s.NART WHERE s.IDDT = ? AND s.ISBT <> '0000' AND r.RESTO < 0)";
    execSQL(kCatalog,
            sql::updateFrom(d, "SBT",
                            "QSBTUNTEST = CASE WHEN c.TAKE >= QSBTUNTEST THEN 0 ELSE " +
                                sql::roundTo(d, "QSBTUNTEST - c.TAKE", 2) + " END",
                            takes + " AS c", "SBT.NART = c.NART AND SBT.ISBT = c.ISBT",
                            "SBT.IDDT = ? AND c.TAKE > 0"),
            restParams + QVariantList{iddt, iddt});
}

// Refuses, before anything is written, the items whose subitems cannot take the spread: a
// subitem of declared quantity 0 (no unit price) or subitems without FOB (no share).
void checkSubitemFob(Dialect d, const QString& iddt, const Items& items) {
    Recordset zero =
        getRs(kCatalog,
              sql::selectFirst(d, "s.NART, s.ISBT",
                               "FROM SBT s INNER JOIN " + items.query +
                                   " AS w ON w.NART = s.NART WHERE s.IDDT = ? AND s.QSBTUNTDCL = 0 "
                                   "ORDER BY s.NART, s.ISBT"),
              items.params + QVariantList{iddt});
    if (!zero.eof())
        throw corvelix::VbError(
            corvelix::kErrInternal, QStringLiteral("Corvelix"),
            QStringLiteral("El subitem %1 del item %2 tiene cantidad declarada 0: no se puede "
                           "calcular su precio unitario. No se prorrateo el FOB.")
                .arg(zero.text(QStringLiteral("ISBT")), zero.text(QStringLiteral("NART"))));
    Recordset empty = getRs(
        kCatalog,
        sql::selectFirst(d, "w.NART",
                         "FROM " + items.query +
                             " AS w LEFT JOIN SBT s ON s.IDDT = ? AND s.NART = w.NART GROUP BY "
                             "w.NART HAVING SUM(s.MSBTFOB) IS NULL OR SUM(s.MSBTFOB) = 0 "
                             "ORDER BY w.NART"),
        items.params + QVariantList{iddt});
    if (!empty.eof())
        divisionByZero(QStringLiteral("el FOB de los subitems del item %1 es 0.")
                           .arg(empty.text(QStringLiteral("NART"))));
}

// Each item's FOB over all its subitem rows by their share of the rows' FOB sum; a row left at
// 0 gets 0.01; the rest goes to the row with the smallest FOB (positive) or the largest
// (negative); then every row's unit price.
void spreadSubitemFob(Dialect d, const QString& iddt, const Items& items) {
    const Sql sums = "(SELECT w.NART, w.FOB, SUM(s.MSBTFOB) AS TOTALSUB FROM " + items.query +
                     " AS w INNER JOIN SBT s ON s.NART = w.NART WHERE s.IDDT = ? GROUP BY w.NART, "
                     "w.FOB)";
    execSQL(kCatalog,
            sql::updateFrom(d, "SBT",
                            "MSBTFOB = " + sql::roundTo(d, "(t.FOB * MSBTFOB) / t.TOTALSUB", 2),
                            sums + " AS t", "SBT.NART = t.NART", "SBT.IDDT = ?"),
            items.params + QVariantList{iddt, iddt});

    const Sql ofItems = " AND NART IN (SELECT w.NART FROM " + items.query + " AS w)";
    execSQL(kCatalog, "UPDATE SBT SET MSBTFOB = 0.01 WHERE IDDT = ? AND MSBTFOB = 0" + ofItems,
            QVariantList{iddt} + items.params);

    const Sql receivers =
        "(SELECT s.NART, s.ISBT, r.RESTO, ROW_NUMBER() OVER (PARTITION BY s.NART ORDER BY "
        "s.MSBTFOB ASC, s.ISBT) AS UP, ROW_NUMBER() OVER (PARTITION BY s.NART ORDER BY "
        "s.MSBTFOB DESC, s.ISBT) AS DOWN FROM SBT s INNER JOIN (SELECT w.NART, w.FOB - "
        "SUM(t.MSBTFOB) AS RESTO FROM " +
        items.query +
        " AS w INNER JOIN SBT t ON t.NART = w.NART WHERE t.IDDT = ? GROUP BY w.NART, w.FOB) AS r "
        "ON r.NART = s.NART WHERE s.IDDT = ?)";
    execSQL(kCatalog,
            sql::updateFrom(d, "SBT", "MSBTFOB = " + sql::roundTo(d, "MSBTFOB + c.RESTO", 2),
                            receivers + " AS c", "SBT.NART = c.NART AND SBT.ISBT = c.ISBT",
                            "SBT.IDDT = ? AND ((c.RESTO > 0 AND c.UP = 1) OR (c.RESTO < 0 AND "
                            "c.DOWN = 1))"),
            items.params + QVariantList{iddt, iddt, iddt});

    execSQL(kCatalog,
            "UPDATE SBT SET MSBTUNITAR = " + sql::roundTo(d, "MSBTFOB / QSBTUNTDCL", 5) +
                " WHERE IDDT = ?" + ofItems,
            QVariantList{iddt} + items.params);
}

QString itemNumber(const QString& nart) {
    if (!corvelix::isNumeric(nart, QLocale::c()))
        return nart;
    return corvelix::formatNumber(corvelix::toNumber(nart, QLocale::c()), QStringLiteral("0000"),
                                  QLocale::c());
}

const Sql kMarkHeader = "CDDTSTUSGG = 'I', CDDTSTUBUL = 'I', CDDTSTUDEV = 'I'";
const Sql kNotKilos = " AND CARTUNTDCL <> '01'";

} // namespace

void recalcularCaratula(const QString& iddt) {
    corvelix::chained(location("recalcularCaratula"), [&] {
        const Dialect d = dialect();
        // Items that each fit can add up past what the header's columns hold: refused before
        // anything is written.
        const Recordset sums = getRs(kCatalog,
                                     "SELECT SUM(MARTFOB) AS fob, SUM(MARTASS) AS seguro, "
                                     "SUM(MARTFLE) AS flete FROM ART WHERE IDDT = ?",
                                     {iddt});
        // (A statement capture answers no read: nothing to check then.)
        for (const auto& [field, name] :
             {std::pair{"fob", "del FOB"}, std::pair{"seguro", "del seguro"},
              std::pair{"flete", "del flete"}}) {
            if (sums.eof())
                break;
            const double sum = sums.field(QLatin1String(field)).toDouble();
            if (!corvelix::fitsCatalog(sum, 2))
                throw corvelix::VbError(
                    kErrDesbordamiento, QStringLiteral("Corvelix"),
                    QStringLiteral("La suma %1 de los items de la declaración %2 (%3) supera el "
                                   "máximo que admite su total (%4): no se graba.")
                        .arg(QLatin1String(name), iddt, corvelix::formatNumber(sum, kMontos),
                             corvelix::formatNumber(9999999999999.99, kMontos)));
        }
        // One statement: the totals and the mark go together.
        const auto total = [&](const Sql& column) {
            return "COALESCE(" +
                   sql::roundTo(d, "(SELECT SUM(" + column + ") FROM ART WHERE ART.IDDT = ?)", 2) +
                   ", 0)";
        };
        execSQL(kCatalog,
                "UPDATE DDT SET MDDTFOB = " + total("MARTFOB") + ", MDDTASS = " + total("MARTASS") +
                    ", MDDTFLE = " + total("MARTFLE") + ", " + kMarkHeader + " WHERE IDDT = ?",
                {iddt, iddt, iddt, iddt});
    });
}

void Invalidar_Caratula(const QString& iddt) {
    corvelix::chained(location("Invalidar_Caratula_Error"), [&] {
        execSQL(kCatalog, "UPDATE DDT SET " + kMarkHeader + " WHERE IDDT = ?", {iddt});
    });
}

void getTotalCaratula_Item(const QString& iddt, const QString& nart, double& fobCaratula,
                           double& fobItem) {
    corvelix::chained(location("getTotalCaratula_Item"), [&] {
        Recordset rs = getRs(kCatalog,
                             "SELECT MDDTFOB, MARTFOB FROM DDT INNER JOIN ART ON (DDT.IDDT = "
                             "ART.IDDT) WHERE DDT.IDDT = ? AND NART = ?",
                             {iddt, nart});
        fobCaratula = rounded(rs.field(QStringLiteral("MDDTFOB")), 2);
        fobItem = rounded(rs.field(QStringLiteral("MARTFOB")), 2);
    });
}

QString getCampo(int campo) {
    return corvelix::chained(location("getCampo"), [&] {
        switch (campo) {
        case kCampoSeguro:
            return QStringLiteral("MARTASS");
        case kCampoFlete:
            return QStringLiteral("MARTFLE");
        case kCampoAjusteIncluir:
            return QStringLiteral("MARTAJUINC");
        case kCampoAjusteDeducir:
            return QStringLiteral("MARTAJUDED");
        case kCampoFob:
            return QStringLiteral("MARTFOB");
        default:
            throw corvelix::VbError(kErrCampoInvalido, QStringLiteral("getCampo"),
                                    QStringLiteral("Campo Invalido"));
        }
    });
}

void prorratear_DatosCaratula(const QString& iddt, int campo, double monto) {
    corvelix::chained(location("prorratear_DatosCaratula"), [&] {
        const Dialect d = dialect();
        const QVariant fob = getRs(kCatalog, "SELECT MDDTFOB FROM DDT WHERE IDDT = ?", {iddt})
                                 .field(QStringLiteral("MDDTFOB"));
        const Sql column = Sql::identifier(getCampo(campo));
        if (fob.isNull() || fob.toDouble() == 0)
            divisionByZero(QStringLiteral("el FOB de la caratula es 0, no se puede prorratear."));
        // The shares go over the items' own FOB: where the header was edited after the items,
        // its FOB is not their sum, and the difference would otherwise land on one item.
        const QVariant itemsFob =
            getRs(kCatalog, "SELECT SUM(MARTFOB) AS fob FROM ART WHERE IDDT = ?", {iddt})
                .field(QStringLiteral("fob"));
        if (!itemsFob.isNull() && itemsFob.toDouble() == 0)
            refuse(QStringLiteral("No se puede prorratear: el FOB de los item's es 0"));

        Transaction transaction;
        const int items = spreadByFob(d, column, {}, iddt, monto,
                                      itemsFob.isNull() ? fob.toDouble() : itemsFob.toDouble());
        if (items < 1)
            throw corvelix::VbError(
                corvelix::kErrChained, QStringLiteral("Corvelix.modDA.prorratear_DatosCaratula "),
                QStringLiteral("Error no puedo actualizar el fob de los items"));
        rellenarProrrateo(iddt, campo);
        transaction.commit();
    });
}

void rellenarProrrateo(const QString& iddt, int campo) {
    corvelix::chained(location("rellenarProrrateo"), [&] {
        const Sql column = Sql::identifier(getCampo(campo));
        Transaction transaction;
        fillZeros(dialect(), column, {}, iddt, 2);
        transaction.commit();
    });
}

void ProrratearKilos(const QString& iddt, double kilos) {
    corvelix::chained(location("ProrratearKilos"), [&] {
        BusyPointer busy;
        if (!(kilos > 0)) {
            refuse(QStringLiteral("El Kilogramos Neto a prorratear debe ser mayor a 0"));
        }
        const Dialect d = dialect();
        const int count = getRs(kCatalog,
                                "SELECT COUNT(NART) AS total FROM ART WHERE CARTUNTDCL <> '01' "
                                "AND ART.IDDT = ?",
                                {iddt})
                              .field(QStringLiteral("total"))
                              .toInt();
        if (count <= 0) {
            refuse(
                QStringLiteral("No hay Item's para prorratear, \r\n\r\nRecuerde que el sistema "
                               "solo prorratea item's cuya Unidad Declarada sea diferente a 01"));
        }
        const double fixed = rounded(getRs(kCatalog,
                                           "SELECT SUM(QARTKGRNET) AS KiloFijos FROM ART WHERE "
                                           "CARTUNTDCL = '01' AND IDDT = ?",
                                           {iddt})
                                         .field(QStringLiteral("KiloFijos")),
                                     2);
        if (fixed >= kilos) {
            refuse(QStringLiteral("El KiloGramoNeto a prorratear tiene que ser mayor a ") +
                   corvelix::generalNumber(fixed) +
                   QStringLiteral(" (son item's que ya tienen KgNeto fijo porque la Unidad "
                                  "Declarada)"));
        }
        const double spread = rounded(kilos - fixed, 2);

        // The kilos to spread go over the FOB of the items that take them, so the fixed items'
        // FOB leaves nothing unassigned.
        const double base =
            getRs(kCatalog, "SELECT SUM(MARTFOB) AS fob FROM ART WHERE IDDT = ?" + kNotKilos,
                  {iddt})
                .field(QStringLiteral("fob"))
                .toDouble();
        if (base == 0) {
            refuse(QStringLiteral("No se puede prorratear: el FOB de los item's cuya Unidad "
                                  "Declarada es diferente a 01 es 0"));
        }
        const Items statistical{"(SELECT NART, MARTFOB AS FOB, QARTKGRNET AS KILOS FROM ART "
                                "WHERE IDDT = ? AND CARTUNTEST = '01' AND CARTSBITEM = 'S')",
                                {iddt}};
        Recordset noFob = getRs(
            kCatalog,
            sql::selectFirst(d, "w.NART",
                             "FROM " + statistical.query +
                                 " AS w WHERE (w.FOB = 0 OR w.FOB IS NULL) AND EXISTS (SELECT 1 "
                                 "FROM SBT s WHERE s.IDDT = ? AND s.NART = w.NART AND s.ISBT <> "
                                 "'0000') ORDER BY w.NART"),
            statistical.params + QVariantList{iddt});
        if (!noFob.eof()) {
            refuse(QStringLiteral("El item %1 tiene FOB 0: no se pueden prorratear sus kilos entre "
                                  "sus subitems")
                       .arg(noFob.text(QStringLiteral("NART"))));
        }

        Transaction transaction;
        spreadByFob(d, "QARTKGRNET", kNotKilos, iddt, spread, base);
        rellenarProrrateo_Kilos(iddt);
        spreadStatistical(d, iddt, statistical);
        transaction.commit();
    });
}

void rellenarProrrateo_Kilos(const QString& iddt) {
    corvelix::chained(location("rellenarProrrateo_Kilos"), [&] {
        Transaction transaction;
        fillZeros(dialect(), "QARTKGRNET", kNotKilos, iddt, 3);
        execSQL(kCatalog,
                "UPDATE ART SET QARTUNTEST = QARTKGRNET WHERE IDDT = ?" + kNotKilos +
                    " AND CARTUNTEST = '01'",
                {iddt});
        transaction.commit();
    });
}

void ProrratearEstadisticaSubitem(const QString& iddt, const QString& nart, double fobItem,
                                  double kilosItem) {
    corvelix::chained(location("ProrratearEstadisticaSubitem"), [&] {
        if (fobItem == 0)
            divisionByZero(QStringLiteral("el FOB del item %1 es 0.").arg(nart));
        Transaction transaction;
        spreadStatistical(dialect(), iddt,
                          {"(SELECT ? AS NART, ? AS FOB, ? AS KILOS)", {nart, fobItem, kilosItem}});
        transaction.commit();
    });
}

void prorratearSubItems(const QString& iddt) {
    corvelix::chained(location("prorratearSubItems_Error"), [&] {
        const Dialect d = dialect();
        const Items items{
            "(SELECT NART, MARTFOB AS FOB FROM ART WHERE IDDT = ? AND CARTSBITEM = 'S')", {iddt}};
        checkSubitemFob(d, iddt, items);
        Transaction transaction;
        spreadSubitemFob(d, iddt, items);
        transaction.commit();
    });
}

void prorratearItemSubItems(const QString& iddt, const QString& nart, double fobItem) {
    corvelix::chained(location("prorratearItemSubItems"), [&] {
        const Dialect d = dialect();
        const Items item{"(SELECT ? AS NART, ? AS FOB)", {itemNumber(nart), fobItem}};
        checkSubitemFob(d, iddt, item);
        Transaction transaction;
        spreadSubitemFob(d, iddt, item);
        transaction.commit();
    });
}

} // namespace modDA
