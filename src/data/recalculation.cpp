#include "data/recalculation.h"

#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"

#include <QLocale>

#include <cmath>

namespace modDA {

namespace {

// The value as a box shows it with `decimals` decimals, read back as a number.
double masked(double value, int decimals) {
    return corvelix::roundedAsShown(value, decimals);
}

} // namespace

void recalcularITEM(const QString& despacho, const QString& item) {
    corvelix::chained(QStringLiteral("Corvelix.modDA.recalcularITEM"), [&] {
        const Recordset art = getRs(kCatalog,
                                    "SELECT CARTUNTDCL, CARTUNTEST, QARTKGRNET FROM ART "
                                    "where IDDT = ? and NART = ? ",
                                    {despacho, item});
        // A missing item fails here with the recordset's no-current-record error.
        const QString unidadDeclarada = art.text(QStringLiteral("CARTUNTDCL"));
        const QString unidadEstadistica = art.text(QStringLiteral("CARTUNTEST"));
        const QVariant kilosLeidos = art.field(QStringLiteral("QARTKGRNET"));

        const Recordset sums = getRs(kCatalog,
                                     "select sum(QSBTUNTDCL) as cantidad_declarada, "
                                     "sum(QSBTUNTEST) as cantidad_estadistica, "
                                     "sum(MSBTFOB) as fob, count(*) as filas from sbt "
                                     "where iddt = ? and NART = ?",
                                     {despacho, item});
        // Without subitem rows there is nothing to add up: the item keeps its values rather
        // than taking zeros or failing halfway.
        if (sums.field(QStringLiteral("filas")).toLongLong() == 0)
            return;
        const QVariant declarada = sums.field(QStringLiteral("cantidad_declarada"));
        const QVariant estadistica = sums.field(QStringLiteral("cantidad_estadistica"));
        const QVariant fob = sums.field(QStringLiteral("fob"));
        if (declarada.isNull() || estadistica.isNull() || fob.isNull())
            throw corvelix::VbError(94, QStringLiteral("Corvelix"),
                                    QStringLiteral("Uso no válido de Null"));

        // Subitems that each fit can add up past what the item's columns hold: refused before
        // anything is written.
        const auto cabe = [&](const QVariant& value, int decimals, const char* name) {
            if (value.isNull() || corvelix::fitsCatalog(value.toDouble(), decimals))
                return;
            const QString mascara = QStringLiteral("#,##0.") + QString(decimals, u'0');
            throw corvelix::VbError(
                6, QStringLiteral("Corvelix"),
                QStringLiteral("La suma %1 de los subitems del item %2 (%3) supera el máximo "
                               "que admite el item (%4): no se graba.")
                    .arg(QString::fromUtf8(name), item,
                         corvelix::formatNumber(value.toDouble(), mascara),
                         corvelix::formatNumber(
                             std::pow(10.0, 15 - decimals) - std::pow(10.0, -decimals), mascara)));
        };
        cabe(declarada, 2, "de la cantidad declarada");
        cabe(estadistica, 2, "de la cantidad estadística");
        cabe(fob, 2, "del FOB");

        QVariant kilos = kilosLeidos.isNull()
                             ? QVariant()
                             : QVariant(masked(kilosLeidos.toDouble(), 3));
        if (unidadDeclarada == QLatin1String("01"))
            kilos = masked(declarada.toDouble(), 2);
        if (unidadEstadistica == QLatin1String("01"))
            kilos = masked(estadistica.toDouble(), 2);
        if (!kilos.isNull())
            kilos = masked(kilos.toDouble(), 3);
        cabe(kilos, 3, "de los kilos netos");

        execSQL(kCatalog,
                "UPDATE ART SET QARTUNTDCL = ?, QARTUNTEST = ?, QARTKGRNET = ?, MARTFOB = ? "
                "where IDDT = ? and NART = ? ",
                {masked(declarada.toDouble(), 2),
                 masked(estadistica.toDouble(), 2), kilos,
                 masked(fob.toDouble(), 2), despacho, item});
    });
}

} // namespace modDA
