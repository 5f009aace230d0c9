#pragma once

#include "transfer/RegistroDespacho.h"

#include <QString>

// The transfer file: the INI-like text the outside system imports, built from one record.
namespace modRET {

// Builds the whole text and writes it with generarArchivo (Windows-1252, one piece). A record
// without items cannot be written (error 9, nothing written).
void generarTXT(const QString& ruta, const RegistroDespacho& registro);

// The header part: [DDT], then the header's [CPL] and [DVD] entries.
QString convertCaratula_to_TXT(const RegistroDespacho& registro);
// Every item's text, in list order.
QString convertItem_to_TXT(const RegistroDespacho& registro);
// One item: [ART], its [CPL], [DVD], [SRG] and [SBT] entries.
QString getItemformTYP(qint32 indice, const RegistroDespacho& registro);

} // namespace modRET
