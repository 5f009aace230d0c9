#include "data/item_values.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "data/recalculation.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// A number as the statements wrote it: its general text form (15 significant digits).
QVariant number(double value) {
    return corvelix::machineNumber(value).toDouble();
}

constexpr qint32 kErrInvalidArgument = 5;
constexpr qint32 kErrUnsupported = static_cast<qint32>(0x800740DFu);

[[noreturn]] void malformedSuffixes(const QString& codigo, const QString& item,
                                    const QString& subitem) {
    throw corvelix::VbError(kErrInvalidArgument, QStringLiteral("Corvelix"),
                            QStringLiteral("Llamada a procedimiento o argumento no válidos: el "
                                           "sufijo %1 no termina en \")-\" (item %2, subitem %3)")
                                .arg(codigo, item, subitem));
}

// The replaced string into `result` (empty when the code is absent); false when the entry is
// not closed by ")-".
bool replaceSuffix(const QString& sufijos, const QString& codigo, const QString& valor,
                   QString& result) {
    result.clear();
    const qsizetype found = sufijos.indexOf(codigo + QLatin1Char('('), 0, Qt::CaseSensitive);
    if (found < 0)
        return true;
    // Positions made for a two-character code: the head ends with its "(".
    const qsizetype close = sufijos.indexOf(QStringLiteral(")-"), found + 3);
    if (close < 0)
        return false;
    QString value = valor;
    value.remove(QLatin1Char('\''));
    result = sufijos.left(found + 3) + value + sufijos.mid(close);
    return true;
}

// The replacement, with a malformed entry reported for the subitem it belongs to.
QString replaced(const QString& sufijos, const QString& codigo, const QString& valor,
                 const QString& item, const QString& subitem) {
    QString result;
    if (!replaceSuffix(sufijos, codigo, valor, result))
        malformedSuffixes(codigo, item, subitem);
    return result;
}

void writeSuffixes(const QString& despacho, const QString& item, const QString& subitem,
                   const QString& sufijos) {
    execSQL(kCatalog, "update SBT set CSBTSVL = ? where IDDT = ? and NART = ? and ISBT = ?",
            {sufijos, despacho, item, subitem});
}

// The "AA" replacement done by the engine on every row at once. `position` finds "AA(" with
// letter case counting, as ReemplazarSufijo does; `tail` is where the value's closing ")-"
// starts (0 when there is none); `rewritten` is head, bound value, tail.
struct AaStatements {
    Sql position;
    Sql tail;
    Sql rewritten;
};

AaStatements aaStatements(Dialect dialect) {
    if (dialect == Dialect::SqlServer) {
        const Sql position = "CHARINDEX('AA(', CSBTSVL COLLATE Latin1_General_BIN)";
        const Sql tail = "CHARINDEX(')-', CSBTSVL, " + position + " + 3)";
        return {position, tail,
                "SUBSTRING(CSBTSVL, 1, " + position + " + 2) + " + sql::boundText(dialect) +
                    " + SUBSTRING(CSBTSVL, " + tail + ", 8000)"};
    }
    const Sql position = "instr(CSBTSVL, 'AA(')";
    const Sql relative = "instr(substr(CSBTSVL, " + position + " + 3), ')-')";
    const Sql tail =
        "(CASE WHEN " + relative + " = 0 THEN 0 ELSE " + position + " + 2 + " + relative + " END)";
    return {position, tail,
            "substr(CSBTSVL, 1, " + position + " + 2) || ? || substr(CSBTSVL, " + tail + ")"};
}

} // namespace

void Invalidar_ITEM(const QString& despacho, const QString& item, bool todos) {
    corvelix::chained(location("Invalidar_ITEM"), [&] {
        if (todos) {
            execSQL(kCatalog, "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = ? ",
                    {despacho});
        } else {
            execSQL(kCatalog,
                    "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = ? AND NART = ? ",
                    {despacho, item});
        }
    });
}

namespace {

// The item columns the field setters write; any other name is refused before SQL is built.
Sql campoDeItem(const QString& columna) {
    static const char* const kCampos[] = {"LISTA", "CARTUSO", "CARTPAYORI", "CARTPAYPRC"};
    for (const char* campo : kCampos) {
        if (columna.compare(QLatin1String(campo), Qt::CaseInsensitive) == 0)
            return Sql::identifier(QLatin1String(campo));
    }
    throw corvelix::VbError(kErrInvalidArgument, QStringLiteral("Corvelix"),
                            QStringLiteral("Llamada a procedimiento o argumento no válidos: "
                                           "columna ") +
                                columna);
}

} // namespace

void setCampoByItem(const QString& despacho, const QString& item, const QString& columna,
                    const QString& valor) {
    corvelix::chained(location("setCampoByItem"), [&] {
        execSQL(kCatalog,
                "update ART set " + campoDeItem(columna) + " = ? where IDDT = ? and NART = ? ",
                {valor, despacho, item});
    });
}

int setCampo_ALLITEMS(const QString& despacho, const QString& columna, const QString& valor,
                      const ItemList& items, bool soloVacios) {
    return corvelix::chained(location("setCampo_ALLITEMS"), [&] {
        const Sql campo = campoDeItem(columna);
        Sql sql =
            "update ART set " + campo + " = ?, CARTETA = 'I', CARTSTUDEV = 'I' where IDDT = ? ";
        QVariantList params{valor, despacho};
        if (soloVacios)
            sql += " and (" + campo + " = '' OR " + campo + " IS NULL) ";
        sql += " and " + items.condition("NART") + " ";
        params += items.params();
        // One statement over every chosen item: all of them or none.
        Transaction transaccion;
        const int filas = execSQL(kCatalog, sql, params);
        transaccion.commit();
        return filas;
    });
}

Recordset getValoresItem(const QString& despacho, const QString& item) {
    return corvelix::chained(location("getValoresItem"), [&] {
        return getRs(kCatalog,
                     "select CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, MARTUNITAR,"
                     "MARTFOB , QARTKGRNET, MARTAJUDED, MARTAJUINC, MARTASS, MARTFLE from ART "
                     "where IDDT = ? and NART = ?",
                     {despacho, item});
    });
}

void actualizarValoresITEM(const QString& despacho, const QString& item,
                           const QString& unidadDeclarada, double cantidadDeclarada,
                           const QString& unidadEstadistica, double cantidadEstadistica,
                           double precioUnitario, double fob) {
    corvelix::chained(location("actualizarValoresITEM"), [&] {
        Sql sql = "UPDATE ART SET QARTUNTDCL = ?, MARTUNITAR = ?, QARTUNTEST = ?, ";
        QVariantList params{number(cantidadDeclarada), number(precioUnitario),
                            number(cantidadEstadistica)};
        // The kilo unit makes that quantity the net kilos; the statistical one wins.
        if (unidadEstadistica == QLatin1String("01")) {
            sql += "QARTKGRNET = ?, ";
            params << number(cantidadEstadistica);
        } else if (unidadDeclarada == QLatin1String("01")) {
            sql += "QARTKGRNET = ?, ";
            params << number(cantidadDeclarada);
        }
        sql += "MARTFOB = ? WHERE IDDT = ? AND NART = ? ";
        params << number(fob) << despacho << item;
        execSQL(kCatalog, sql, params);
    });
}

void actualizarValoresITEM_FULL(const QString& despacho, const QString& item,
                                double cantidadDeclarada, double cantidadEstadistica,
                                double precioUnitario, double fob, double kiloNeto,
                                double ajusteIncluir, double ajusteDeducir, double seguro,
                                double flete) {
    corvelix::chained(location("actualizarValoresITEM_FULL"), [&] {
        execSQL(kCatalog,
                "UPDATE ART SET QARTUNTDCL = ?, MARTUNITAR = ?, QARTUNTEST = ?, MARTFOB = ?, "
                "QARTKGRNET = ?, MARTAJUDED = ?, MARTAJUINC = ?, MARTASS = ?, MARTFLE = ? "
                "WHERE IDDT = ? AND NART = ? ",
                {number(cantidadDeclarada), number(precioUnitario), number(cantidadEstadistica),
                 number(fob), number(kiloNeto), number(ajusteDeducir), number(ajusteIncluir),
                 number(seguro), number(flete), despacho, item});
    });
}

bool actualizarSufijos(const QString& despacho, const QString& item, const QString& subitem,
                       const QString& sufijos) {
    return corvelix::chained(location("actualizarSufijos"), [&] {
        if (sufijos.trimmed().isEmpty())
            throw corvelix::Refusal(QStringLiteral("Error no se puede grabar sufijos vacios"));
        Transaction transaction;
        const int rows =
            execSQL(kCatalog, "UPDATE SBT SET CSBTSVL = ? WHERE IDDT = ? AND NART = ? AND ISBT = ?",
                    {sufijos, despacho, item, subitem});
        Invalidar_ITEM(despacho, item, false);
        transaction.commit();
        return rows > 0;
    });
}

void actualizarSubItem(const QString& despacho, const QString& item, const QString& subitem,
                       double cantidadDeclarada, double cantidadEstadistica, double precioUnitario,
                       double fob) {
    corvelix::chained(location("actualizarSubItem"), [&] {
        Transaction transaction;
        const int rows =
            execSQL(kCatalog,
                    "UPDATE SBT SET QSBTUNTDCL = ?, MSBTUNITAR = ?, QSBTUNTEST = ?, "
                    "MSBTFOB = ? WHERE IDDT = ? AND NART = ? AND ISBT = ? ",
                    {number(cantidadDeclarada), number(precioUnitario), number(cantidadEstadistica),
                     number(fob), despacho, item, subitem});
        if (rows >= 1)
            recalcularITEM(despacho, item);
        transaction.commit();
    });
}

void EliminarSBT(const QString& despacho, const QString& item, const QString& subitem) {
    corvelix::chained(location("EliminarSBT"), [&] {
        // The renumbering reads the subitem as a number: anything else is refused first.
        bool numeric = false;
        (void)subitem.toInt(&numeric);
        if (!numeric || subitem.trimmed() != subitem)
            throw corvelix::VbError(13, QStringLiteral("Corvelix"),
                                    QStringLiteral("No coinciden los tipos"));
        Transaction transaction;
        const Recordset count =
            getRs(kCatalog, "select count(*) as total FROM SBT WHERE IDDT = ? AND NART = ?",
                  {despacho, item});
        if (count.field(QStringLiteral("total")).toLongLong() <= 2)
            throw corvelix::VbError(
                kErrUnsupported, QStringLiteral("funcionalidad no soportada"),
                QStringLiteral(
                    "El sistema puede eliminar cuando hay mas de 2 subitems en el item, "));
        execSQL(kCatalog, "DELETE FROM SBT WHERE IDDT = ? AND NART = ? AND ISBT = ?",
                {despacho, item, subitem});
        const Dialect d = dialect();
        execSQL(kCatalog,
                "UPDATE SBT SET ISBT = " +
                    sql::right(
                        d, sql::concat(d, {"'0000'", sql::textOf(d, "CAST(ISBT AS int) - 1")}), 4) +
                    " WHERE IDDT = ? AND NART = ? AND CAST(ISBT AS int) > CAST(? AS int)",
                {despacho, item, subitem});
        transaction.commit();
    });
}

QString ReemplazarSufijo(const QString& sufijos, const QString& codigo, const QString& valor) {
    return corvelix::chained(location("ReemplazarSufijo"), [&] {
        QString result;
        if (!replaceSuffix(sufijos, codigo, valor, result))
            throw corvelix::VbError(
                kErrInvalidArgument, QStringLiteral("Corvelix"),
                QStringLiteral("Llamada a procedimiento o argumento no válidos"));
        return result;
    });
}

void EstablecerSufijo(const QString& despacho, const QString& item, const QString& subitem,
                      const QString& sufijos, const QString& codigo, const QString& valor) {
    int line = 0;
    corvelix::chained(
        location("EstablecerSufijo"),
        [&] {
            line = 10;
            const QString nuevo = replaced(sufijos, codigo, valor, item, subitem);
            line = 20;
            if (nuevo.isEmpty())
                return;
            line = 30;
            writeSuffixes(despacho, item, subitem, nuevo);
            line = 80;
        },
        line);
}

void EstablecerSufijo(const QList<SubitemSufijos>& subitems, const QString& codigo,
                      const QString& valor) {
    corvelix::chained(location("EstablecerSufijo"), [&] {
        // Every new string first, so that a malformed one stops the change before any write.
        QList<QPair<const SubitemSufijos*, QString>> writes;
        for (const SubitemSufijos& row : subitems) {
            QString nuevo = replaced(row.sufijos, codigo, valor, row.item, row.subitem);
            if (!nuevo.isEmpty())
                writes.append({&row, std::move(nuevo)});
        }
        // One statement prepared once for every subitem.
        QList<QVariantList> rows;
        rows.reserve(writes.size());
        for (const auto& [row, nuevo] : writes)
            rows.append({nuevo, row->despacho, row->item, row->subitem});
        Transaction transaction;
        execSQLEach(kCatalog, "update SBT set CSBTSVL = ? where IDDT = ? and NART = ? and ISBT = ?",
                    rows);
        transaction.commit();
    });
}

void EstablecerSufijoAA(const QString& despacho, const QString& valor) {
    corvelix::chained(location("EstablecerSufijoAA"), [&] {
        const AaStatements aa = aaStatements(dialect());
        QString value = valor;
        value.remove(QLatin1Char('\''));
        Transaction transaction;
        // One malformed string refuses the whole change, naming its subitem.
        const Recordset malformed =
            getRs(kCatalog,
                  sql::selectFirst(dialect(), "NART, ISBT",
                                   "FROM SBT WHERE IDDT = ? AND " + aa.position + " > 0 AND " +
                                       aa.tail + " = 0 ORDER BY NART, ISBT"),
                  {despacho});
        if (!malformed.eof())
            malformedSuffixes(QStringLiteral("AA"), malformed.text(QStringLiteral("NART")),
                              malformed.text(QStringLiteral("ISBT")));
        execSQL(kCatalog,
                "UPDATE SBT SET CSBTSVL = " + aa.rewritten + " WHERE IDDT = ? AND " + aa.position +
                    " > 0",
                {value, despacho});
        Invalidar_ITEM(despacho, QString(), true);
        transaction.commit();
    });
}

void eliminarITEM(const QString& despacho, const QString& item) {
    int line = 0;
    corvelix::chained(
        location("eliminarITEM"),
        [&] {
            line = 80;
            runProcedure(QStringLiteral("sp_delete_ART"), {item, despacho});
        },
        line);
}

} // namespace modDA
