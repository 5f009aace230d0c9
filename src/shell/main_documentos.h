#pragma once

#include <QString>

// The part of module main that the item editor and the SIMI run share: how an export
// document's item number is written.
namespace mainModule {

// Mask for the item number of an export document: "0000" for origin "225" or "221" exactly,
// twelve zeros for any other code.
QString getFormatoItemDocExportacion(const QString& pais);

} // namespace mainModule
