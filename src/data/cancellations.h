#pragma once

#include "data/Recordset.h"

#include <QString>

#include <optional>

// A declaration's cancellation lines (DCN): which item and subitem of an earlier declaration
// each of its items cancels.
namespace modDA {

// The weighting factor (CDCNRESOL) as the catalog holds it, whatever the user's locale: two
// decimals after a decimal comma, no grouping ("100,00", "12,50"). Every writer of the column
// takes its text from here. A factor the column's two decimals cannot hold raises VbError 6
// ("Desbordamiento").
QString factorCatalogo(double factor);

// Replaces every line of `despacho` by one line per subitem row of its items (and one per
// item without subitem rows), each cancelling the same item and subitem of
// `despachoCancelado`. A blank certificate code is written "0". All or nothing.
void Distribuir_IDA4_En_IC06(const QString& despacho, const QString& despachoCancelado,
                             const QString& certificado);

// The lines of one item; `item` is the item number as text ("0003" or "3").
Recordset getDescarga(const QString& despacho, const QString& item);

// Adds one line for the item shown as `itemMostrado`. Empty certificate, order and stage are
// written as Null; a stage given dates the line today.
bool agregarCancelacion(const QString& despacho, int itemMostrado, const QString& despachoApu,
                        int itemApu, int subitemApu, const QString& ncm, double cantidad,
                        const QString& certificado, const QString& orden, const QString& resolucion,
                        const QString& etapa);

// Adds one line for the item whose key is `item` ("0007" or "7"), written to NDCNART as that
// key; the item must be in the declaration. A line with the same declaration, item and
// cancelled declaration, item and subitem as an existing one is refused and nothing is
// written. The certificate is written Null when empty; order 0; no stage.
bool agregarCancelacionItem(const QString& despacho, const QString& item,
                            const QString& despachoApu, int itemApu, int subitemApu,
                            const QString& ncm, double cantidad, const QString& certificado,
                            const QString& resolucion);

// The cancelled declaration, item and subitem that identify a line of one item.
struct ClaveCancelacion {
    QString despachoApu;
    int itemApu = 0;
    int subitemApu = 0;
};

// Rewrites one line of the item. The line is found by `anterior` (its key before the change;
// the new key when not given) and takes the new key and values. A new key that another line
// of the item already has is refused and nothing changes. True when the line was there.
bool modificarCancelacion(const QString& despacho, int item, const QString& despachoApu,
                          int itemApu, int subitemApu, const QString& ncm, double cantidad,
                          const QString& certificado, const QString& resolucion,
                          const std::optional<ClaveCancelacion>& anterior = std::nullopt);

bool eliminarCancelacion(const QString& despacho, int item, const QString& despachoApu, int itemApu,
                         int subitemApu);

Recordset getCancelacion(const QString& despacho, int item, const QString& despachoApu, int itemApu,
                         int subitemApu);

Recordset getDescargas(const QString& despacho);

// The item key of the item shown as `itemMostrado`, as a whole number ("0005" gives "5").
QString getNART_from_NARTTEXT(const QString& despacho, const QString& itemMostrado);

} // namespace modDA
