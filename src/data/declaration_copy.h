#pragma once

#include <QString>

#include <functional>

// Copying one declaration (the origin) into another that already exists (the destination).
// Each procedure copies one table and returns true when its last statement affected rows;
// each runs in one transaction, or as a savepoint inside the caller's. A copy onto itself
// (numbers equal but for letter case and trailing blanks) is refused before anything changes.
namespace modDA {

// The destination's header takes the origin's values (93 columns: links to other rows cleared,
// SGG and BUL status marked 'I', DEV status taken from the origin); false when either header
// row is missing.
bool copiarCaratula(const QString& origen, const QString& destino);
// Delete the destination's rows of one table, insert copies of the origin's under its number.
bool copiarITEM(const QString& origen, const QString& destino);
bool copiarSubItems(const QString& origen, const QString& destino);
bool copiarVentajas(const QString& origen, const QString& destino);
bool copiarCancelaciones(const QString& origen, const QString& destino);
bool copiaInfoCompl(const QString& origen, const QString& destino);
bool copiarDocumentos(const QString& origen, const QString& destino);

struct CopyOptions {
    bool infoCompl = false;  // complementary information
    bool documentos = false; // documents (the destination's invoices included)
};

// The whole copy in one transaction: header, items, subitems, advantages and cancellations,
// then `afterCore` (the caller's own steps, for example clearing SIMI links, run inside the
// same transaction), then complementary information and documents when asked. Both header
// rows must exist. Any failure, in `afterCore` too, leaves the destination as it was.
// Callers that need more control open a modDA::Transaction themselves and call the procedures
// above: they nest as savepoints.
void copiarDeclaracion(const QString& origen, const QString& destino, const CopyOptions& options,
                       const std::function<void()>& afterCore = {});

} // namespace modDA
