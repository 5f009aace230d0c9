#pragma once

#include <QString>
#include <QXmlStreamAttributes>

#include <optional>
#include <vector>

class QDomElement;

namespace modRET {

// An element of a RET file as the readers need it: its name, its attributes and its child
// elements, in document order. Text, comments and the like are left out: no reader looks at
// them.
struct ElementoRET {
    QString nombre;
    QXmlStreamAttributes atributos;
    std::vector<ElementoRET> hijos;

    // The child elements with that name, in document order.
    [[nodiscard]] std::vector<const ElementoRET*> hijosLlamados(const QString& buscado) const;
};

// The document element of `texto` and its descendants down to `niveles` levels below it
// (deeper elements are parsed, not kept), read in one streaming pass: a tree of ten thousand
// elements costs a fraction of the DOM's. Nothing when the text is not well-formed or has a
// DTD (its entities and default attributes are the DOM's to apply): the caller loads it into
// a QDomDocument, whose reasons for a refusal stand.
std::optional<ElementoRET> leerElementos(const QString& texto, int niveles);

// The same tree taken from a loaded document's element.
ElementoRET elementoDe(const QDomElement& elemento, int niveles);

} // namespace modRET
