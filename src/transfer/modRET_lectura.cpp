#include "transfer/modRET_lectura.h"

#include "platform/ErrorReasons.h"
#include "platform/TextFileReader.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "transfer/modRET.h"
#include "transfer/modRET_elementos.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNode>
#include <QLocale>
#include <QXmlStreamReader>

#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

using corvelix::VbError;

namespace modRET {

namespace {

// The old runtime's numbers: "Object variable not set" (a missing node) and "Overflow".
constexpr qint32 kErrMissingNode = 91;
constexpr qint32 kErrOverflow = 6;

// Find and replacement, in the order they were always applied. Every find is one character
// and no replacement is itself a find, so one pass gives the same text.
constexpr std::array<std::pair<char16_t, char16_t>, 42> kAcentos = {{
    {u'á', u'a'}, {u'é', u'e'}, {u'í', u'i'}, {u'ó', u'o'},  {u'ú', u'u'}, {u'ü', u'u'},
    {u'Ü', u'U'}, {u'ñ', u'n'}, {u'Ñ', u'N'}, {u'Á', u'A'},  {u'É', u'E'}, {u'Í', u'I'},
    {u'Ó', u'O'}, {u'Ú', u'U'}, {u'|', u' '}, {u'â', u'a'},  {u'ä', u'a'}, {u'à', u'a'},
    {u'å', u'a'}, {u'ê', u'e'}, {u'ë', u'e'}, {u'è', u'e'},  {u'ï', u'i'}, {u'î', u'i'},
    {u'ì', u'i'}, {u'Ä', u'A'}, {u'Å', u'A'}, {u'À', u'A'},  {u'Â', u'A'}, {u'Ê', u'E'},
    {u'Ë', u'E'}, {u'È', u'E'}, {u'Î', u'I'}, {u'Ì', u'I'},  {u'Ï', u'I'}, {u'Ô', u'O'},
    {u'Ò', u'O'}, {u'Û', u'U'}, {u'Ù', u'U'}, {u'\'', u' '}, {u'`', u' '}, {u'´', u' '},
}};

QString recortarEspacios(const QString& texto) {
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto.at(inicio) == QLatin1Char(' '))
        ++inicio;
    while (fin > inicio && texto.at(fin - 1) == QLatin1Char(' '))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

// The child elements of `nodo` with that name, in document order.
std::vector<QDomElement> hijos(const QDomNode& nodo, const QString& nombre) {
    std::vector<QDomElement> lista;
    for (QDomElement e = nodo.firstChildElement(nombre); !e.isNull();
         e = e.nextSiblingElement(nombre))
        lista.push_back(e);
    return lista;
}

[[noreturn]] void faltaNodo(const QString& descripcion) {
    throw VbError(kErrMissingNode, QStringLiteral("Corvelix"), descripcion);
}

// The attribute lookups of a node of the loaded header and of an element of the items file.
bool tieneAtributo(const QDomNode& nodo, const QString& nombre) {
    const QDomElement e = nodo.toElement();
    return !e.isNull() && e.hasAttribute(nombre);
}
QString valorAtributo(const QDomNode& nodo, const QString& nombre) {
    return nodo.toElement().attribute(nombre);
}
QString nombreDe(const QDomNode& nodo) {
    return nodo.nodeName();
}
bool tieneAtributo(const ElementoRET& e, const QString& nombre) {
    return e.atributos.hasAttribute(nombre);
}
QString valorAtributo(const ElementoRET& e, const QString& nombre) {
    return e.atributos.value(nombre).toString();
}
QString nombreDe(const ElementoRET& e) {
    return e.nombre;
}

// The text of a required attribute.
template <class Nodo> QString atributo(const Nodo& nodo, const QString& nombre) {
    if (!tieneAtributo(nodo, nombre))
        faltaNodo(QStringLiteral("No se encuentra el atributo %1 del elemento %2")
                      .arg(nombre, nombreDe(nodo)));
    return valorAtributo(nodo, nombre);
}

// An optional attribute: false (and `destino` untouched) when missing.
template <class Nodo>
bool atributoOpcional(const Nodo& nodo, const QString& nombre, QString& destino) {
    if (!tieneAtributo(nodo, nombre))
        return false;
    destino = valorAtributo(nodo, nombre);
    return true;
}

template <class Nodo>
bool atributoOpcional(const Nodo& nodo, const QString& nombre, double& destino) {
    QString texto;
    if (!atributoOpcional(nodo, nombre, texto))
        return false;
    destino = convertTexto_to_Double(texto);
    return true;
}

// The item number with the mask "0000": 7 gives "0007"; a text that is not a number stays.
QString formatoItem(const QString& nart) {
    const QLocale locale;
    if (!corvelix::isNumeric(nart, locale))
        return nart;
    return corvelix::formatNumber(corvelix::toNumber(nart, locale), QStringLiteral("0000"), locale);
}

// A required attribute read as a number under the user's locale (the old CDbl); a text that
// is not a number is an error that names the attribute.
double numeroLocal(const ElementoRET& e, const QString& nombre) {
    const QString texto = atributo(e, nombre);
    if (!corvelix::isNumeric(texto, QLocale()))
        throw VbError(13, QStringLiteral("Corvelix"),
                      QStringLiteral("No coinciden los tipos: el atributo %1 del item %2 no es un "
                                     "número (\"%3\")")
                          .arg(nombre, valorAtributo(e, QStringLiteral("NRO_ITEM")), texto));
    return corvelix::toNumber(texto, QLocale());
}

// The old CInt: the locale's number, rounded half to even, within 16 bits.
qint16 aEntero16(const ElementoRET& e, const QString& nombre) {
    const double valor = std::nearbyint(numeroLocal(e, nombre));
    if (!(valor >= -32768.0 && valor <= 32767.0))
        throw VbError(kErrOverflow, QStringLiteral("Corvelix"), QStringLiteral("Desbordamiento"));
    return static_cast<qint16>(valor);
}

[[noreturn]] void faltaRaiz(const QString& nombre) {
    faltaNodo(QStringLiteral("No se encuentra el elemento %1: no es un archivo RET del tipo "
                             "esperado")
                  .arg(nombre));
}

// The loaded document's child element `nombre`, or a clear error.
QDomElement raiz(const QDomDocument& documento, const QString& nombre) {
    const QDomElement e = documento.firstChildElement(nombre);
    if (e.isNull())
        faltaRaiz(nombre);
    return e;
}

} // namespace

namespace {

// The replacements made in `texto` itself: a file's text, megabytes long, is not copied.
void quitarAcentosEn(QString& texto) {
    corvelix::chained(QStringLiteral("Corvelix.modRET.quitarAcentos"), [&] {
        for (QChar& c : texto) {
            const char16_t u = c.unicode();
            if (u < 0x60 && u != u'\'')
                continue;
            for (const auto& [buscar, reemplazo] : kAcentos)
                if (u == buscar) {
                    c = QChar(reemplazo);
                    break;
                }
        }
    });
}

} // namespace

QString quitarAcentos(const QString& texto) {
    QString out = texto;
    quitarAcentosEn(out);
    return out;
}

QString prepararTextoRET(const QString& texto) {
    return recortarEspacios(quitarAcentos(texto));
}

QString AbrirArchivoXML(const QString& ruta) {
    int line = 0;
    return corvelix::chained(
        QStringLiteral("Corvelix.modRET.AbrirArchivoXML"),
        [&] {
            line = 40;
            QString texto = corvelix::readTextFile(ruta);
            line = 70;
            quitarAcentosEn(texto);
            line = 90;
            return recortarEspacios(texto);
        },
        line);
}

void cargarDocumento(QDomDocument& documento, const QString& texto) {
    int linea = 0;
    int columna = 0;
    documento.clear();
    if (!documento.setContent(texto, nullptr, &linea, &columna)) {
        // The parser's own reason is English; its kind, read again by the stream reader the
        // parser is built on, gives ours. The place is the parser's.
        QXmlStreamReader lector(texto);
        while (!lector.atEnd())
            lector.readNext();
        throw VbError(kErrXmlParser, QStringLiteral("XML Parser"),
                      QStringLiteral("El texto no es XML válido: %1 (línea %2, columna %3)")
                          .arg(corvelix::xmlErrorReason(lector.error()))
                          .arg(linea)
                          .arg(columna));
    }
}

void getInformacionComplementaria(RegistroDespacho& registro, const QDomNode& nodo,
                                  const QString& item) {
    corvelix::chained(QStringLiteral("Corvelix.modRET.getInformacionComplementaria"), [&] {
        registro.cantidadCPL = 0;
        const std::vector<QDomElement> lista =
            hijos(nodo, QStringLiteral("INFORMACION_COMPLEMENTARIA"));
        const auto n = static_cast<qint32>(lista.size());
        if (n > 0) {
            registro.CPL.resize(n);
            registro.cantidadCPL = n;
        }
        const QString nart = formatoItem(item);
        for (qint32 i = 0; i < n; ++i) {
            RegistroCPL& cpl = registro.CPL[i];
            cpl.CCPL = atributo(lista[i], QStringLiteral("CODIGO"));
            cpl.MCPL = atributo(lista[i], QStringLiteral("VALOR"));
            cpl.ICPLDIF = atributo(lista[i], QStringLiteral("SUFIJO_DATO_COMP"));
            cpl.NART = nart;
        }
    });
}

void getDocumentos(RegistroDespacho& registro, const QDomNode& nodo) {
    corvelix::chained(QStringLiteral("Corvelix.modRET.getDocumentos"), [&] {
        registro.cantidadDVD = 0;
        const std::vector<QDomElement> lista = hijos(nodo, QStringLiteral("DOCUMENTO"));
        const auto n = static_cast<qint32>(lista.size());
        if (n > 0) {
            registro.DVD.resize(n);
            registro.cantidadDVD = n;
        }
        for (qint32 i = 0; i < n; ++i) {
            // Documents not presented keep an empty slot, which the writer passes over.
            if (atributo(lista[i], QStringLiteral("PRESENCIA")) != QLatin1String("S"))
                continue;
            RegistroDocumento& dvd = registro.DVD[i];
            dvd.CDVDDOC = atributo(lista[i], QStringLiteral("CODIGO"));
            dvd.LDVDREFDOC = atributo(lista[i], QStringLiteral("REFERENCIA"));
            dvd.NART = QStringLiteral("0000");
        }
    });
}

RegistroDespacho getCaratula(const QString& texto, bool omitirCPL) {
    return corvelix::chained(QStringLiteral("Corvelix.modRET.getCaratula"), [&] {
        QDomDocument documento;
        cargarDocumento(documento, texto);
        const QDomNode caratula = raiz(documento, QStringLiteral("DESPACHO_CARATULA")).firstChild();

        // Every header attribute may be missing: its field keeps its initial value.
        RegistroDespacho r;
        atributoOpcional(caratula, QStringLiteral("CUIT_DESPACHANTE"), r.CDDTAGR);
        atributoOpcional(caratula, QStringLiteral("CUIT_IMPO_EXPO"), r.NDDTIMMIOE);
        atributoOpcional(caratula, QStringLiteral("COD_ADUANA"), r.CDDTBUR);
        atributoOpcional(caratula, QStringLiteral("DIVISA_FOB"), r.CDDTDEVFOB);
        atributoOpcional(caratula, QStringLiteral("DIVISA_FLETE"), r.CDDTDEVFLE);
        atributoOpcional(caratula, QStringLiteral("DIVISA_SEGURO"), r.CDDTDEVASS);
        atributoOpcional(caratula, QStringLiteral("MONTO_FOB"), r.MDDTFOB);
        atributoOpcional(caratula, QStringLiteral("MONTO_FLETE"), r.MDDTFLE);
        atributoOpcional(caratula, QStringLiteral("MONTO_SEGURO"), r.MDDTASS);
        atributoOpcional(caratula, QStringLiteral("CONDICION_VENTA"), r.CDDTINCOTE);
        atributoOpcional(caratula, QStringLiteral("INSCRIPTO_EN_IVA"), r.CDDTIVA);
        atributoOpcional(caratula, QStringLiteral("DESTINACION"), r.ISTA);
        atributoOpcional(caratula, QStringLiteral("IDENTIFICADOR_PROPIO"), r.IEXT);
        atributoOpcional(caratula, QStringLiteral("COMPRADOR_VENDEDOR"), r.LDDTNOMFOD);

        if (caratula.isNull())
            faltaNodo(QStringLiteral("El elemento DESPACHO_CARATULA está vacío: no hay datos de "
                                     "la carátula"));
        for (QDomNode hijo = caratula.firstChild(); !hijo.isNull(); hijo = hijo.nextSibling()) {
            const QString nombre = hijo.nodeName();
            if (nombre == QLatin1String("INFORMACION_COMPLEMENTARIAS") && !omitirCPL)
                getInformacionComplementaria(r, hijo, QStringLiteral("0000"));
            if (nombre == QLatin1String("DOCUMENTOS"))
                getDocumentos(r, hijo);
        }
        return r;
    });
}

void getSubitemsRET(RegistroItem& item, const ElementoRET& nodo, const QString& nart) {
    // Subitem attributes are all optional and never an error.
    const std::vector<const ElementoRET*> lista = nodo.hijosLlamados(QStringLiteral("SUBITEM"));
    const auto n = static_cast<qint32>(lista.size());
    if (n > 0) {
        item.Subitems.resize(n);
        item.cantidadSubitems = n;
    }
    const QString nartItem = formatoItem(nart);
    for (qint32 i = 0; i < n; ++i) {
        RegistroSubitem& s = item.Subitems[i];
        const ElementoRET& e = *lista[i];
        atributoOpcional(e, QStringLiteral("SUFIJOS_DE_VALOR"), s.CSBTSVL);
        atributoOpcional(e, QStringLiteral("NRO_SUBITEM"), s.ISBT);
        s.NART = nartItem;
        atributoOpcional(e, QStringLiteral("MONTO_FOB"), s.MSBTFOB);
        atributoOpcional(e, QStringLiteral("CANTIDAD_DECLARADA"), s.QSBTUNTDCL);
        atributoOpcional(e, QStringLiteral("CANTIDAD_ESTADISTICA"), s.QSBTUNTEST);
        atributoOpcional(e, QStringLiteral("PRECIO_UNITARIO"), s.MSBTUNITAR);
        atributoOpcional(e, QStringLiteral("INDICADOR_PROPIO"), s.IEXT);
    }
}

void getVentajas(RegistroItem& item, const ElementoRET& nodo, const QString& nart) {
    int line = 0;
    corvelix::chained(
        QStringLiteral("Corvelix.modRET.getVentajas"),
        [&] {
            line = 10;
            const std::vector<const ElementoRET*> lista =
                nodo.hijosLlamados(QStringLiteral("LINEAS_VENTAJAS"));
            const auto n = static_cast<qint32>(lista.size());
            line = 30;
            if (n > 0) {
                item.Ventajas.resize(n);
                item.cantidadVentajas = n;
            }
            const QString nartItem = formatoItem(nart);
            for (qint32 i = 0; i < n; ++i) {
                line = 80;
                item.Ventajas[i].CSRG = atributo(*lista[i], QStringLiteral("CODIGO"));
                line = 90;
                item.Ventajas[i].NART = nartItem;
            }
            line = 120;
        },
        line);
}

void getInformacionComplementaria_Item(RegistroItem& item, const ElementoRET& nodo,
                                       const QString& nart) {
    int line = 0;
    corvelix::chained(
        QStringLiteral("Corvelix.modRET.getInformacionComplementaria_Item"),
        [&] {
            line = 10;
            const std::vector<const ElementoRET*> lista =
                nodo.hijosLlamados(QStringLiteral("INFORMACION_COMPLEMENTARIA"));
            const auto n = static_cast<qint32>(lista.size());
            line = 30;
            if (n > 0) {
                item.CPL.resize(n);
                item.cantidadCPL = n;
            }
            const QString nartItem = formatoItem(nart);
            for (qint32 i = 0; i < n; ++i) {
                RegistroCPL& cpl = item.CPL[i];
                line = 80;
                cpl.CCPL = atributo(*lista[i], QStringLiteral("CODIGO"));
                line = 90;
                cpl.MCPL = atributo(*lista[i], QStringLiteral("VALOR"));
                line = 100;
                cpl.ICPLDIF = atributo(*lista[i], QStringLiteral("SUFIJO_DATO_COMP"));
                line = 110;
                cpl.NART = nartItem;
            }
            line = 140;
        },
        line);
}

void getitems(const QString& texto, RegistroDespacho& registro, bool omitirCPL) {
    corvelix::chained(QStringLiteral("Corvelix.modRET.getitems"), [&] {
        // The items file may carry unit separators (code 31); they are not XML.
        QString preparado = recortarEspacios(texto);
        if (preparado.contains(QChar(0x1F)))
            preparado.remove(QChar(0x1F));
        // The items, their lists and the lists' entries: three levels below the document's.
        std::optional<ElementoRET> documento = leerElementos(preparado, 3);
        if (!documento) {
            QDomDocument cargado;
            cargarDocumento(cargado, preparado);
            documento = elementoDe(raiz(cargado, QStringLiteral("DESPACHO_ITEMS")), 3);
        } else if (documento->nombre != QLatin1String("DESPACHO_ITEMS")) {
            faltaRaiz(QStringLiteral("DESPACHO_ITEMS"));
        }
        const std::vector<const ElementoRET*> articulos =
            documento->hijosLlamados(QStringLiteral("ARTICULOS"));
        const auto n = static_cast<qint32>(articulos.size());
        if (n > 0)
            registro.Items.resize(n);

        for (qint32 i = 0; i < n; ++i) {
            const ElementoRET& a = *articulos[i];
            RegistroItem& it = registro.Items[i];
            it.CARTPAYORI = atributo(a, QStringLiteral("PAIS_ORIGEN"));
            it.CARTPAYPRC = atributo(a, QStringLiteral("PAIS_PROCEDENCIA"));
            it.CARTSBITEM = atributo(a, QStringLiteral("EXISTENCIA_SUBITEM"));
            it.CARTTYP = atributo(a, QStringLiteral("TIPO_ITEM"));
            it.CARTUNTDCL = numeroLocal(a, QStringLiteral("UNIDAD_DECLARADA"));
            it.CARTUSO = aEntero16(a, QStringLiteral("ESTADO_MERCADERIA"));
            it.IESPNCE = atributo(a, QStringLiteral("POSICION_ARANCELARIA"));
            it.NART = atributo(a, QStringLiteral("NRO_ITEM"));
            it.MARTASS = convertTexto_to_Double(atributo(a, QStringLiteral("MONTO_SEGURO")));
            it.MARTFLE = convertTexto_to_Double(atributo(a, QStringLiteral("MONTO_FLETE")));
            it.MARTFOB = convertTexto_to_Double(atributo(a, QStringLiteral("MONTO_FOB_DIV")));
            it.MARTUNITAR = convertTexto_to_Double(atributo(a, QStringLiteral("PRECIO_UNITARIO")));
            it.QARTKGRNET = convertTexto_to_Double(atributo(a, QStringLiteral("PESO_NETO_KGR")));
            it.QARTUNTDCL =
                convertTexto_to_Double(atributo(a, QStringLiteral("CANTIDAD_DECLARADA")));
            it.QARTUNTEST =
                convertTexto_to_Double(atributo(a, QStringLiteral("CANTIDAD_ESTADISTICA")));
            atributoOpcional(a, QStringLiteral("CALIDAD_DISTINTA_STANDAR"), it.CARTCALDST);
            atributoOpcional(a, QStringLiteral("PAGO_REGALIAS"), it.CARTPAGREG);

            for (const ElementoRET& hijo : a.hijos) {
                const QString& nombre = hijo.nombre;
                if (nombre == QLatin1String("INFORMACION_COMPLEMENTARIAS") && !omitirCPL)
                    getInformacionComplementaria_Item(it, hijo, it.NART);
                if (nombre == QLatin1String("SUBITEMS"))
                    getSubitemsRET(it, hijo, it.NART);
                if (nombre == QLatin1String("VENTAJAS"))
                    getVentajas(it, hijo, it.NART);
            }
        }
    });
}

} // namespace modRET
