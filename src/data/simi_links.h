#pragma once

#include <QString>

namespace modDA {

// The items and subitems of a declaration lose their references to the declaration, item and
// subitem they were drawn from (ART.NARTAPU and IDDTAPU, SBT.ISBTREF). Both in one transaction,
// or as a savepoint inside the caller's.
void clearSimiLinks(const QString& despacho);

} // namespace modDA
