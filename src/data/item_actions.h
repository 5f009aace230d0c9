#pragma once

#include "data/Recordset.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Bulk actions of the item view: item and subitem deletions with the totals they change, and
// the NCM replacement. Each runs in one transaction: a refusal or failure part-way leaves the
// catalog as it was.
namespace modDA {

// Deletes the given items (the declaration-level "0000" is never passed on), then recomputes
// the header totals and marks the header. Returns how many items were deleted.
int eliminarITEMS(const QString& despacho, const QStringList& items);

// Deletes the given (item, subitem) rows; within one item the highest subitem goes first, so
// each row still carries the number it was selected with. Then recomputes each touched item
// and the header.
void eliminarSBTS(const QString& despacho, const QList<QPair<QString, QString>>& subitems);

// The distinct NCM codes of the declaration's items, in order.
Recordset getNCMDespacho(const QString& despacho);

// Replaces NCM `actual` by `nuevo` on every item of the declaration that carries it and marks
// those items; returns the rows changed.
int reemplazarNCM(const QString& despacho, const QString& actual, const QString& nuevo);

} // namespace modDA
