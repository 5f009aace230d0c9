#include "transfer/modRET_elementos.h"

#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QXmlStreamReader>

namespace modRET {

std::vector<const ElementoRET*> ElementoRET::hijosLlamados(const QString& buscado) const {
    std::vector<const ElementoRET*> lista;
    for (const ElementoRET& hijo : hijos)
        if (hijo.nombre == buscado)
            lista.push_back(&hijo);
    return lista;
}

std::optional<ElementoRET> leerElementos(const QString& texto, int niveles) {
    QXmlStreamReader lector(texto);
    // Names as written, prefixes included, as the DOM loads them.
    lector.setNamespaceProcessing(false);
    std::optional<ElementoRET> raiz;
    // The open elements that are kept; an element stays where it is in its parent's list
    // while it is open, since its later siblings come only after it closes.
    std::vector<ElementoRET*> abiertos;
    int profundidad = 0;
    while (!lector.atEnd()) {
        switch (lector.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (profundidad++ > niveles)
                break;
            ElementoRET* nuevo = nullptr;
            if (abiertos.empty()) {
                nuevo = &raiz.emplace();
            } else {
                nuevo = &abiertos.back()->hijos.emplace_back();
            }
            nuevo->nombre = lector.qualifiedName().toString();
            nuevo->atributos = lector.attributes();
            abiertos.push_back(nuevo);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (--profundidad <= niveles)
                abiertos.pop_back();
            break;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return std::nullopt;
        default:
            break;
        }
    }
    if (lector.hasError() || !raiz)
        return std::nullopt;
    return raiz;
}

ElementoRET elementoDe(const QDomElement& elemento, int niveles) {
    ElementoRET e;
    e.nombre = elemento.tagName();
    const QDomNamedNodeMap atributos = elemento.attributes();
    for (int i = 0; i < atributos.count(); ++i) {
        const QDomNode a = atributos.item(i);
        e.atributos.append(a.nodeName(), a.nodeValue());
    }
    if (niveles > 0)
        for (QDomElement hijo = elemento.firstChildElement(); !hijo.isNull();
             hijo = hijo.nextSiblingElement())
            e.hijos.push_back(elementoDe(hijo, niveles - 1));
    return e;
}

} // namespace modRET
