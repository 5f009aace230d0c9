#pragma once

#include "data/Recordset.h"

#include <QString>

// A declaration's liquidation lines (LQA, keyed by ILIQ = the declaration number): one row per
// item and tax code. The three readers test the tax's validity differently, on purpose.
namespace modDA {

// The item's lines whose tax is valid today (between its start and end dates), by tax code.
Recordset getLiquidacion(const QString& despacho, const QString& item);
// Every line of the declaration in display form ("code - description" columns plus the bare
// Codigo and Tipo), taxes ending after now and kinds among the TIPTAX rows, by item and tax.
Recordset getLiquidacionItems(const QString& despacho);
// Items with their lines, taxes ending now or later, by item and tax; items without such a
// line do not appear.
Recordset getLiquidacionFULL(const QString& despacho);

// Adds one line: item written with four digits, tax concept with three, amounts to two
// decimals and the coefficient to six; an empty or blank reason is stored "NULO". Note the
// argument order (base, coefficient, amount). Returns the rows inserted.
int agregarLiquidacion(const QString& despacho, const QString& item, const QString& concepto,
                       const QString& tipo, double base, double coeficiente, double monto,
                       const QString& motivoGarantia);
// Deletes every line of one item (written with four digits). Returns the rows deleted.
int eliminarLiquidacion(const QString& despacho, const QString& item);

// True when any row of the declaration, its own "0000" row included, carries one of the
// self-liquidation advantages.
bool tieneAutoLiquidacion(const QString& despacho);

} // namespace modDA
