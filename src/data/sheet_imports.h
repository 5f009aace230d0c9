#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The sheet imports' replacements of a declaration's lines, each one operation: the old lines
// go, every new line goes in and the declaration is marked for validation again, or, when any
// step fails, nothing changes.
namespace modDA {

// One cancellation line as the cancellation sheet gives it.
struct LineaCancelacionHoja {
    int itemDestino = 0; // the item as shown (NARTEXT)
    QString despachoApu;
    int itemApu = 0;
    int subitemApu = 0;
    QString ncm;
    double cantidad = 0;
    QString certificado;
    QString factor; // the resolution text
};

// Deletes every cancellation line of `despacho`, adds `lineas`, marks the header and all items.
void reemplazarCancelaciones(const QString& despacho,
                             const std::vector<LineaCancelacionHoja>& lineas);

// One liquidation line as the liquidation sheet gives it.
struct LineaLiquidacionHoja {
    QString item; // the item's key (NART)
    QString codigo;
    QString tipo;
    double base = 0;
    double coeficiente = 0;
    double total = 0;
};

// Deletes the liquidation lines of each item in `items` (keys), adds `lineas`, marks the header
// and all items.
void reemplazarLiquidaciones(const QString& despacho, const QStringList& items,
                             const std::vector<LineaLiquidacionHoja>& lineas);

} // namespace modDA
