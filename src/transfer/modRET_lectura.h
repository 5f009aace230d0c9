#pragma once

#include "transfer/RegistroDespacho.h"
#include "transfer/modRET_elementos.h"

#include <QString>

class QDomDocument;
class QDomNode;

// Reading a declaration from the outside system's pair of RET files (XML): the header file
// "C*.ret" and the items file "I*.ret".
namespace modRET {

// Number of the parse failure; its source is "XML Parser" and its description the reason.
inline constexpr qint32 kErrXmlParser = static_cast<qint32>(0x800C7B70u);

// The text of a RET file, ready for the readers: decoded, accents removed, blanks trimmed.
QString AbrirArchivoXML(const QString& ruta);
// The 42 replacements of accented letters, apostrophes and the vertical bar.
QString quitarAcentos(const QString& texto);
// What AbrirArchivoXML does to the text once read: accents removed, spaces trimmed at both ends.
QString prepararTextoRET(const QString& texto);

// Loads `texto` into `documento`; a text that is not well-formed XML raises "XML Parser".
void cargarDocumento(QDomDocument& documento, const QString& texto);

// The header file: the fourteen header fields, the header's complementary information (left
// out when `omitirCPL`) and documents. Items stay empty.
RegistroDespacho getCaratula(const QString& texto, bool omitirCPL);
void getInformacionComplementaria(RegistroDespacho& registro, const QDomNode& nodo,
                                  const QString& item);
void getDocumentos(RegistroDespacho& registro, const QDomNode& nodo);

// The items file: one item per ARTICULOS element, with its subitems, advantages and
// complementary information (left out when `omitirCPL`).
void getitems(const QString& texto, RegistroDespacho& registro, bool omitirCPL);
void getSubitemsRET(RegistroItem& item, const ElementoRET& nodo, const QString& nart);
void getVentajas(RegistroItem& item, const ElementoRET& nodo, const QString& nart);
void getInformacionComplementaria_Item(RegistroItem& item, const ElementoRET& nodo,
                                       const QString& nart);

} // namespace modRET
