#include "platform/TextFileReader.h"
#include "runtime/VbError.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "transfer/modRET_lectura.h"
#include "transfer/modRET_transferencia.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using corvelix::VbError;

namespace {

QString muestra(const QString& nombre) {
    return QStringLiteral(CORVELIX_RET_DATA "/") + nombre;
}

RegistroDespacho leerPar(const QString& nombre, bool omitirCaratula = false,
                         bool omitirItems = false) {
    RegistroDespacho r = modRET::getCaratula(
        modRET::AbrirArchivoXML(muestra(QLatin1Char('C') + nombre + QStringLiteral(".ret"))),
        omitirCaratula);
    modRET::getitems(
        modRET::AbrirArchivoXML(muestra(QLatin1Char('I') + nombre + QStringLiteral(".ret"))), r,
        omitirItems);
    return r;
}

// The error a reader raises, or a null one when it read the text.
VbError errorDe(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const VbError& e) {
        return e;
    }
    return {0, {}, {}};
}

QString caratula(const QString& cuerpo) {
    return QStringLiteral("<DESPACHO_CARATULA><CARATULA DESTINACION=\"IC04\">") + cuerpo +
           QStringLiteral("</CARATULA></DESPACHO_CARATULA>");
}

QString articulo(const QString& atributosExtra, const QString& cuerpo = {},
                 const QString& sinAtributo = {}) {
    QStringList attrs = {"PAIS_ORIGEN=\"310\"",        "PAIS_PROCEDENCIA=\"310\"",
                         "EXISTENCIA_SUBITEM=\"N\"",   "TIPO_ITEM=\"N\"",
                         "UNIDAD_DECLARADA=\"07\"",    "ESTADO_MERCADERIA=\"1\"",
                         "POSICION_ARANCELARIA=\"1\"", "NRO_ITEM=\"7\"",
                         "MONTO_SEGURO=\"0\"",         "MONTO_FLETE=\"0\"",
                         "MONTO_FOB_DIV=\"12.5\"",     "PRECIO_UNITARIO=\"1\"",
                         "PESO_NETO_KGR=\"1\"",        "CANTIDAD_DECLARADA=\"1\"",
                         "CANTIDAD_ESTADISTICA=\"1\""};
    if (!sinAtributo.isEmpty())
        attrs.removeIf([&](const QString& a) { return a.startsWith(sinAtributo + "="); });
    for (const QString& extra : atributosExtra.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = extra.section(QLatin1Char('='), 0, 0);
        attrs.removeIf([&](const QString& a) { return a.startsWith(name + "="); });
        attrs << extra;
    }
    return QStringLiteral("<DESPACHO_ITEMS><ARTICULOS ") + attrs.join(QLatin1Char(' ')) +
           QStringLiteral(">") + cuerpo + QStringLiteral("</ARTICULOS></DESPACHO_ITEMS>");
}

// An element tree as text: names, attributes sorted by name, children in order.
QString arbol(const modRET::ElementoRET& e) {
    QStringList atributos;
    for (const QXmlStreamAttribute& a : e.atributos)
        atributos << a.qualifiedName().toString() + QStringLiteral("=") + a.value().toString();
    atributos.sort();
    QString texto = QStringLiteral("<") + e.nombre + QLatin1Char(' ') +
                    atributos.join(QLatin1Char(' ')) + QLatin1Char('>');
    for (const modRET::ElementoRET& hijo : e.hijos)
        texto += arbol(hijo);
    return texto + QStringLiteral("</>");
}

} // namespace

class tst_RetReading : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); }
private slots:

    // A pair becomes its transfer file byte for byte, in any locale: the plain pair the
    // hand-written one; the others (comments, CDATA, unknown elements, repeated lists, character
    // references, a DTD's entity and default) the file the reader wrote when they were added.
    void pairToFile_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("par");
        for (const char* locale : {"es_AR", "en_US"})
            for (const char* par : {"plano", "variado", "entidades"})
                QTest::addRow("%s %s", par, locale) << locale << par;
    }
    void pairToFile() {
        QFETCH(QString, locale);
        QFETCH(QString, par);
        QLocale::setDefault(QLocale(locale));
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("salida.txt"));
        modRET::generarTXT(ruta, leerPar(par));
        QFile hecho(ruta);
        QVERIFY(hecho.open(QIODevice::ReadOnly));
        const QByteArray bytes = hecho.readAll();
        QFile esperado(muestra(par + QStringLiteral(".txt")));
        QVERIFY(esperado.open(QIODevice::ReadOnly));
        QCOMPARE(bytes, esperado.readAll());
    }

    void plainPairRecord() {
        const RegistroDespacho r = leerPar(QStringLiteral("plano"));
        QCOMPARE(r.MDDTFOB, 12500.5);
        QCOMPARE(r.cantidadDVD, 3);
        QCOMPARE(r.DVD.size(), 3);
        QVERIFY(r.DVD.at(1).CDVDDOC.isEmpty() && r.DVD.at(1).NART.isEmpty());
        QVERIFY(r.DVD.at(0).CDVDPRSDOC.isEmpty());
        QCOMPARE(r.Items.size(), 2);
        QCOMPARE(r.Items.at(0).CARTUNTDCL, 7.0);
        QCOMPARE(r.Items.at(0).NART, QStringLiteral("1"));
        QCOMPARE(r.Items.at(0).CPL.at(0).NART, QStringLiteral("0001"));
        QCOMPARE(r.Items.at(0).Subitems.at(1).MSBTUNITAR, 100.005);
        QCOMPARE(r.Items.at(0).Subitems.at(1).IEXT, QStringLiteral("X1"));
        QCOMPARE(r.Items.at(1).MARTUNITAR, 0.00005);
        QCOMPARE(r.Items.at(1).cantidadCPL, 0);
        QVERIFY(r.Items.at(1).DVD.isEmpty());
    }

    // Windows-1252 and UTF-8 with a byte-order mark read the same; the accent table applies,
    // letters outside it stay.
    void accents_data() {
        QTest::addColumn<QString>("par");
        QTest::newRow("windows-1252") << "acentos";
        QTest::newRow("utf-8 with BOM") << "utf8bom";
    }
    void accents() {
        QFETCH(QString, par);
        const RegistroDespacho r = leerPar(par);
        QCOMPARE(r.IEXT, QStringLiteral("NANDU-2026"));
        QCOMPARE(r.LDDTNOMFOD, QStringLiteral("PENA Y CIA S.A. – Muller Export São Paulo ô"));
        QCOMPARE(r.CPL.at(0).MCPL, QStringLiteral("Pinon de acero, diseno «economico»"));
        QCOMPARE(r.MDDTFLE, 150.5);
        QCOMPARE(r.MDDTASS, 20.25);
        const RegistroItem& it = r.Items.at(0);
        QCOMPARE(it.CPL.at(0).MCPL, QStringLiteral("AEIOU aeiou Uu Nn çÇ ãõ"));
        QCOMPARE(it.Subitems.at(0).CSBTSVL, QStringLiteral("AA(PINON)-"));
    }

    // Apostrophes and grave and acute accents become blanks, so do vertical bars; entities
    // are read as their characters.
    void apostrophesAndAmpersands() {
        const RegistroDespacho r = leerPar(QStringLiteral("apostrofes"));
        QCOMPARE(r.IEXT, QStringLiteral("O BRIEN & CO"));
        QCOMPARE(r.LDDTNOMFOD, QStringLiteral("D ARTAGNAN & HIJOS   LOS  TRES  <SRL> \"AR\""));
        QCOMPARE(r.DVD.at(0).LDVDREFDOC, QStringLiteral("A&B 01"));
        QCOMPARE(r.Items.at(0).CPL.at(0).MCPL, QStringLiteral("TOM S & JERRY S   100% <ORIG>"));
        QVERIFY(r.CDDTDEVFLE.isEmpty() && r.MDDTFLE == 0);
    }

    void missingOptionalAttributes() {
        const RegistroDespacho r = leerPar(QStringLiteral("sinopcionales"));
        QVERIFY(r.CDDTAGR.isEmpty() && r.NDDTIMMIOE.isEmpty() && r.IEXT.isEmpty());
        QCOMPARE(r.MDDTFOB, 55.5);
        QCOMPARE(r.cantidadDVD, 0);
        QVERIFY(r.DVD.isEmpty());
        const RegistroItem& it = r.Items.at(0);
        QCOMPARE(it.NART, QStringLiteral("7"));
        QVERIFY(it.CARTCALDST.isEmpty() && it.CARTPAGREG.isEmpty());
        QCOMPARE(it.MARTASS, 0.0);
        QCOMPARE(it.cantidadSubitems, 1);
        QCOMPARE(it.Subitems.at(0).ISBT, QStringLiteral("1"));
        QCOMPARE(it.Subitems.at(0).NART, QStringLiteral("0007"));
        QCOMPARE(it.Subitems.at(0).MSBTFOB, 0.0);
        QCOMPARE(it.Subitems.at(0).QSBTUNTDCL, 10.0);
        QCOMPARE(it.Ventajas.at(0).NART, QStringLiteral("0007"));

        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("s.txt"));
        modRET::generarTXT(ruta, r);
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.contains("CARTCALDST") && !bytes.contains("CARTSBITEM") &&
                !bytes.contains("IEXT="));
        QVERIFY(bytes.contains("ISTA=IC04\r\n[ART]\r\n"));
        QVERIFY(bytes.contains("[SBT]\r\nMSBTFOB=0\r\nQSBTUNTDCL=10\r\nQSBTUNTEST=0\r\nISBT=1\r\n"
                               "NART=0007\r\n"));
    }

    // Both malformed files stop in their reader with the parser's reason.
    void malformedPair() {
        const VbError c = errorDe([] {
            (void)modRET::getCaratula(
                modRET::AbrirArchivoXML(muestra(QStringLiteral("Cmalformado.ret"))), false);
        });
        QCOMPARE(c.number, corvelix::kErrChained);
        QCOMPARE(c.source, QStringLiteral("Corvelix.modRET.getCaratula (0)::XML Parser"));
        QVERIFY2(c.description.contains(QStringLiteral("línea")), qPrintable(c.description));
        QVERIFY2(c.description.startsWith(QStringLiteral("El texto no es XML válido: el ")),
                 qPrintable(c.description));
        const VbError i = errorDe([] {
            RegistroDespacho r;
            modRET::getitems(modRET::AbrirArchivoXML(muestra(QStringLiteral("Imalformado.ret"))), r,
                             false);
        });
        QCOMPARE(i.source, QStringLiteral("Corvelix.modRET.getitems (0)::XML Parser"));
    }

    // The parser's reason in Spanish, by its kind, with the place it gives.
    void xmlReasons_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("description");
        const QString premature =
            QStringLiteral("el documento termina antes de tiempo (falta su final)");
        const QString malformed = QStringLiteral("el documento está mal formado");
        QTest::newRow("empty") << QString() << premature + " (línea 1, columna 0)";
        QTest::newRow("cut off") << "<DESPACHO_CARATULA>\n<C>"
                                 << premature + " (línea 2, columna 3)";
        QTest::newRow("tags that do not match")
            << "<A><B></A>" << malformed + " (línea 1, columna 10)";
        QTest::newRow("undeclared entity") << "<A>&x;</A>" << malformed + " (línea 1, columna 6)";
        QTest::newRow("a second root") << "<A/><B/>" << malformed + " (línea 1, columna 8)";
        QTest::newRow("two DOCTYPE")
            << "<?xml version='1.0'?><!DOCTYPE a><!DOCTYPE b><a/>"
            << QStringLiteral("la estructura del documento no es válida (línea 1, columna 45)");
    }
    void xmlReasons() {
        QFETCH(QString, texto);
        QFETCH(QString, description);
        QDomDocument documento;
        const VbError e = errorDe([&] { modRET::cargarDocumento(documento, texto); });
        QCOMPARE(e.number, modRET::kErrXmlParser);
        QCOMPARE(e.description, QStringLiteral("El texto no es XML válido: ") + description);
    }

    // Header texts that stop the reader, and where the chain says it stopped.
    void headerErrors_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("inDescription");
        const QString parser = QStringLiteral("Corvelix.modRET.getCaratula (0)::XML Parser");
        QTest::newRow("empty") << "" << parser << "";
        QTest::newRow("apostrophe-quoted attribute")
            << modRET::prepararTextoRET(
                   QStringLiteral("<DESPACHO_CARATULA><C CODIGO='X'/></DESPACHO_CARATULA>"))
            << parser << "";
        QTest::newRow("unit separator in header")
            << caratula(QStringLiteral("\x1F")) << parser << "";
        QTest::newRow("other root") << "<DESPACHO_ITEMS/>"
                                    << "Corvelix.modRET.getCaratula (0)::Corvelix"
                                    << "DESPACHO_CARATULA";
        QTest::newRow("no header element") << "<DESPACHO_CARATULA/>"
                                           << "Corvelix.modRET.getCaratula (0)::Corvelix"
                                           << "DESPACHO_CARATULA";
        QTest::newRow("information without VALOR")
            << caratula("<INFORMACION_COMPLEMENTARIAS><INFORMACION_COMPLEMENTARIA CODIGO=\"A\" "
                        "SUFIJO_DATO_COMP=\"\"/></INFORMACION_COMPLEMENTARIAS>")
            << "Corvelix.modRET.getCaratula (0)::Corvelix.modRET.getInformacionComplementaria "
               "(0)::Corvelix"
            << "VALOR";
        QTest::newRow("document without PRESENCIA")
            << caratula("<DOCUMENTOS><DOCUMENTO CODIGO=\"A\" REFERENCIA=\"1\"/></DOCUMENTOS>")
            << "Corvelix.modRET.getCaratula (0)::Corvelix.modRET.getDocumentos (0)::Corvelix"
            << "PRESENCIA";
    }
    void headerErrors() {
        QFETCH(QString, texto);
        QFETCH(QString, source);
        QFETCH(QString, inDescription);
        const VbError e = errorDe([&] { (void)modRET::getCaratula(texto, false); });
        QCOMPARE(e.number, corvelix::kErrChained);
        QCOMPARE(e.source, source);
        QVERIFY(!e.description.isEmpty());
        QVERIFY2(e.description.contains(inDescription), qPrintable(e.description));
    }

    void headerLists() {
        const QString texto = caratula(
            "<INFORMACION_COMPLEMENTARIAS><INFORMACION_COMPLEMENTARIA CODIGO=\"A\" VALOR=\"1\" "
            "SUFIJO_DATO_COMP=\"\"/></INFORMACION_COMPLEMENTARIAS><OTRO/><DOCUMENTOS>"
            "<DOCUMENTO CODIGO=\"A\" REFERENCIA=\"1\" PRESENCIA=\"s\"/>"
            "<DOCUMENTO CODIGO=\"B\" REFERENCIA=\"2\" PRESENCIA=\"S\"/></DOCUMENTOS>");
        RegistroDespacho r = modRET::getCaratula(texto, false);
        QCOMPARE(r.cantidadCPL, 1);
        QCOMPARE(r.CPL.at(0).NART, QStringLiteral("0000"));
        QCOMPARE(r.cantidadDVD, 2);
        QVERIFY(r.DVD.at(0).CDVDDOC.isEmpty()); // lower-case "s" is not presented
        QCOMPARE(r.DVD.at(1).LDVDREFDOC, QStringLiteral("2"));
        r = modRET::getCaratula(texto, true);
        QCOMPARE(r.cantidadCPL, 0);
        QVERIFY(r.CPL.isEmpty());
        QCOMPARE(r.cantidadDVD, 2);
        r = modRET::getCaratula(QStringLiteral("<DESPACHO_CARATULA><C/></DESPACHO_CARATULA>"),
                                false);
        QVERIFY(r.ISTA.isEmpty() && r.MDDTFOB == 0 && r.Items.isEmpty());
    }

    // Article texts that stop the items reader.
    void itemErrors_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("inDescription");
        const QString own = QStringLiteral("Corvelix.modRET.getitems (0)::Corvelix");
        QTest::newRow("no net kilos")
            << articulo({}, {}, "PESO_NETO_KGR") << own << "PESO_NETO_KGR";
        QTest::newRow("empty unit")
            << articulo("UNIDAD_DECLARADA=\"\"") << own << "UNIDAD_DECLARADA";
        QTest::newRow("state not a number")
            << articulo("ESTADO_MERCADERIA=\"X\"") << own << "ESTADO_MERCADERIA";
        QTest::newRow("state out of range")
            << articulo("ESTADO_MERCADERIA=\"40000\"") << own << "Desbordamiento";
        QTest::newRow("advantage without code")
            << articulo({}, "<VENTAJAS><LINEAS_VENTAJAS/></VENTAJAS>")
            << "Corvelix.modRET.getitems (0)::Corvelix.modRET.getVentajas (80)::Corvelix"
            << "CODIGO";
        QTest::newRow("information without suffix")
            << articulo({}, "<INFORMACION_COMPLEMENTARIAS><INFORMACION_COMPLEMENTARIA "
                            "CODIGO=\"A\" VALOR=\"B\"/></INFORMACION_COMPLEMENTARIAS>")
            << "Corvelix.modRET.getitems (0)::Corvelix.modRET.getInformacionComplementaria_Item "
               "(100)::Corvelix"
            << "SUFIJO_DATO_COMP";
        QTest::newRow("other root") << "<DESPACHO_CARATULA/>" << own << "DESPACHO_ITEMS";
        QTest::newRow("empty") << ""
                               << "Corvelix.modRET.getitems (0)::XML Parser"
                               << "";
    }
    void itemErrors() {
        QFETCH(QString, texto);
        QFETCH(QString, source);
        QFETCH(QString, inDescription);
        RegistroDespacho r;
        const VbError e = errorDe([&] { modRET::getitems(texto, r, false); });
        QCOMPARE(e.number, corvelix::kErrChained);
        QCOMPARE(e.source, source);
        QVERIFY2(e.description.contains(inDescription), qPrintable(e.description));
    }

    void itemDetails() {
        // The unit separator is dropped from the items file before parsing.
        const QString texto =
            articulo("UNIDAD_DECLARADA=\"0\x1F"
                     "7\"",
                     "<INFORMACION_COMPLEMENTARIAS><INFORMACION_COMPLEMENTARIA CODIGO=\"A\" "
                     "VALOR=\"B\" SUFIJO_DATO_COMP=\"\"/></INFORMACION_COMPLEMENTARIAS><X/>"
                     "<SUBITEMS><SUBITEM/></SUBITEMS>");
        RegistroDespacho r;
        modRET::getitems(texto, r, false);
        const RegistroItem& it = r.Items.at(0);
        QCOMPARE(it.CARTUNTDCL, 7.0);
        QCOMPARE(it.MARTFOB, 12.5); // a decimal point under a decimal-comma locale
        QCOMPARE(it.CPL.at(0).NART, QStringLiteral("0007"));
        QCOMPARE(it.cantidadSubitems, 1);
        QVERIFY(it.Subitems.at(0).ISBT.isEmpty());

        RegistroDespacho sinCpl;
        modRET::getitems(texto, sinCpl, true);
        QCOMPARE(sinCpl.Items.at(0).cantidadCPL, 0);
        QCOMPARE(sinCpl.Items.at(0).cantidadSubitems, 1);

        RegistroDespacho vacio;
        modRET::getitems(QStringLiteral("<DESPACHO_ITEMS><OTRO/></DESPACHO_ITEMS>"), vacio, false);
        QVERIFY(vacio.Items.isEmpty());
    }

    // The items file's streaming read keeps what the DOM keeps (names, attribute values after
    // references and blanks are resolved, child order), down to the levels asked for; a text
    // the DOM must read (a DTD) or refuses is left to it.
    void streamingReadMatchesDom_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("alDom");
        for (const QString& nombre : QDir(muestra(QString())).entryList({"*.ret"}, QDir::Files)) {
            // As the items reader takes it: unit separators are not XML.
            const QString texto = modRET::AbrirArchivoXML(muestra(nombre)).remove(QChar(0x1F));
            // The malformed pair, and the items file with a DTD.
            const bool alDom = nombre.contains(QLatin1String("malformado")) ||
                               nombre == QLatin1String("Ientidades.ret");
            QTest::newRow(qPrintable(nombre)) << texto << alDom;
        }
        QTest::newRow("prefixes and namespace declarations")
            << "<r:D xmlns:r=\"urn:a\" xmlns=\"urn:b\"><r:A r:X=\"1\" Y=\"2\"/><A/></r:D>" << false;
        QTest::newRow("blanks and references in values")
            << "<D><A X=\" a\tb\r\nc \" Y=\"&#x20;&lt;&amp;&quot;&apos;&#10;\"/></D>" << false;
        QTest::newRow("deeper than kept")
            << "<D><A><B><C><E X=\"1\"/></C></B></A><A Z=\"\"/></D>" << false;
        QTest::newRow("xml:space and CDATA")
            << "<D xml:space=\"preserve\"> <A><![CDATA[<B/>]]></A> </D>" << false;
        QTest::newRow("undeclared entity") << "<D><A X=\"&no;\"/></D>" << true;
        QTest::newRow("two roots") << "<D/><D/>" << true;
        QTest::newRow("empty") << "" << true;
    }
    void streamingReadMatchesDom() {
        QFETCH(QString, texto);
        QFETCH(bool, alDom);
        QDomDocument documento;
        const bool cargado = documento.setContent(texto);
        const std::optional<modRET::ElementoRET> leido = modRET::leerElementos(texto, 3);
        if (alDom) {
            QVERIFY(!leido);
            return;
        }
        QVERIFY(cargado && leido);
        QCOMPARE(arbol(*leido), arbol(modRET::elementoDe(documento.documentElement(), 3)));
        QCOMPARE(arbol(*modRET::leerElementos(texto, 1)),
                 arbol(modRET::elementoDe(documento.documentElement(), 1)));
    }

    void accentTable() {
        const QString buscar = QStringLiteral("áéíóúüÜñÑÁÉÍÓÚ|âäàåêëèïîìÄÅÀÂÊËÈÎÌÏÔÒÛÙ'`´");
        const QString reemplazo = QStringLiteral("aeiouuUnNAEIOU aaaaeeeiiiAAAAEEEIIIOOUU   ");
        QCOMPARE(buscar.size(), 42);
        QCOMPARE(modRET::quitarAcentos(buscar), reemplazo);
        const QString fuera = QStringLiteral("ôòöõûùÖÕçÇã~{}\"&<> abcXYZ019");
        QCOMPARE(modRET::quitarAcentos(fuera), fuera);
        // Spaces only are trimmed, line breaks stay.
        QCOMPARE(modRET::prepararTextoRET(QStringLiteral("  \n<A/>\t  ")),
                 QStringLiteral("\n<A/>\t"));
    }

    // Files that cannot be read: a clear message that names the file.
    void unreadableFiles() {
        QTemporaryDir dir;
        const QString falta = dir.filePath(QStringLiteral("Cno está.ret"));
        VbError e = errorDe([&] { (void)modRET::AbrirArchivoXML(falta); });
        QCOMPARE(e.source, QStringLiteral("Corvelix.modRET.AbrirArchivoXML (40)::Corvelix"));
        QVERIFY2(e.description.contains(QDir::toNativeSeparators(falta)) &&
                     e.description.contains(QStringLiteral("no existe")),
                 qPrintable(e.description));

        e = errorDe([&] { (void)modRET::AbrirArchivoXML(dir.path()); });
        QVERIFY2(e.description.contains(QStringLiteral("carpeta")), qPrintable(e.description));

        // Beyond the bound, refused before anything is read.
        const QString grande = dir.filePath(QStringLiteral("Cgrande.ret"));
        QFile f(grande);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(129LL * 1024 * 1024));
        f.close();
        e = errorDe([&] { (void)modRET::AbrirArchivoXML(grande); });
        QVERIFY2(e.description.contains(QStringLiteral("demasiado grande (129 MB; el máximo es "
                                                       "128 MB)")),
                 qPrintable(e.description));

        // A file that cannot be opened: the reason in Spanish.
        const QString cerrado = dir.filePath(QStringLiteral("Ccerrado.ret"));
        QFile c(cerrado);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write("<DESPACHO_CARATULA/>");
        c.close();
        QVERIFY(QFile::setPermissions(cerrado, QFileDevice::WriteOwner));
        if (QFileInfo(cerrado).isReadable())
            return; // the superuser reads it anyway
        e = errorDe([&] { (void)modRET::AbrirArchivoXML(cerrado); });
        QVERIFY2(e.description.endsWith(QStringLiteral(": no tiene permiso para leerlo")),
                 qPrintable(e.description));
    }

    // The largest declaration (9,999 items of 20 subitems) is near 38 MB: well within bound.
    void largeFile() {
        QTemporaryDir dir;
        const QString grande = dir.filePath(QStringLiteral("Cgrande.ret"));
        const QByteArray linea =
            "<SUBITEM NRO_SUBITEM=\"1\" CANTIDAD_UNIDADES=\"10\" MONTO_FOB=\"12.5\" "
            "DESCRIPCION=\"n\xC3\xBAmero de pieza\"/>\r\n";
        QFile f(grande);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<DESPACHO_ITEMS>\r\n");
        for (qint64 escrito = 0; escrito < 40LL * 1024 * 1024; escrito += linea.size())
            f.write(linea);
        f.write("</DESPACHO_ITEMS>");
        f.close();
        const QString texto = modRET::AbrirArchivoXML(grande);
        QVERIFY(texto.size() > 38LL * 1024 * 1024);
        QVERIFY(texto.endsWith(QLatin1String("</DESPACHO_ITEMS>")));
        // UTF-8 without a declaration, read as such (and its accents then taken away).
        QVERIFY(texto.contains(QLatin1String("DESCRIPCION=\"numero de pieza\"")));
    }

    // A pair in a folder with blanks and accents reads like any other.
    void pathWithBlanksAndAccents() {
        QTemporaryDir dir;
        const QString carpeta = dir.filePath(QStringLiteral("Año 2026 – Ñandú"));
        QVERIFY(QDir().mkpath(carpeta));
        QVERIFY(QFile::copy(muestra(QStringLiteral("Cplano.ret")), carpeta + "/C pl á.ret"));
        const RegistroDespacho r =
            modRET::getCaratula(modRET::AbrirArchivoXML(carpeta + "/C pl á.ret"), false);
        QCOMPARE(r.CDDTAGR, QStringLiteral("20123456789"));
    }

    void decoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("texto");
        QTest::newRow("no declaration, not UTF-8: Windows-1252")
            << QByteArray("<A B=\"\xD1\x80\xE9\"/>") << QStringLiteral("<A B=\"Ñ€é\"/>");
        QTest::newRow("no declaration, one accent: Windows-1252")
            << QByteArray("<A B=\"n\xFAmero\"/>") << QStringLiteral("<A B=\"número\"/>");
        QTest::newRow("no declaration, valid UTF-8: UTF-8")
            << QByteArray("<A B=\"n\xC3\xBAmero \xE2\x82\xAC\"/>")
            << QStringLiteral("<A B=\"número €\"/>");
        QTest::newRow("declaration without encoding, valid UTF-8: UTF-8")
            << QByteArray("<?xml version=\"1.0\"?><A B=\"a\xC3\xB1o\"/>")
            << QStringLiteral("<?xml version=\"1.0\"?><A B=\"año\"/>");
        QTest::newRow("no declaration, ASCII only")
            << QByteArray("<A B=\"numero\"/>") << QStringLiteral("<A B=\"numero\"/>");
        QTest::newRow("declared Windows-1252 wins over valid UTF-8")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><A B=\"\xC3\xB1\"/>")
            << QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1252\"?><A B=\"Ã±\"/>");
        QTest::newRow("declared UTF-8") << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                                      "<A B=\"\xC3\x91\"/>")
                                        << QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\""
                                                          "?><A B=\"Ñ\"/>");
        QTest::newRow("declared UTF-8, saved in the code page")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><A B=\"\xD1\"/>")
            << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><A B=\"Ñ\"/>");
        QTest::newRow("UTF-16 with BOM")
            << QByteArray("\xFF\xFE<\0A\0/\0>\0", 10) << QStringLiteral("<A/>");
        QTest::newRow("unknown encoding name")
            << QByteArray("<?xml version=\"1.0\" encoding=\"nada-99\"?><A B=\"\xE9\"/>")
            << QStringLiteral("<?xml version=\"1.0\" encoding=\"nada-99\"?><A B=\"é\"/>");
    }
    void decoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, texto);
        QCOMPARE(corvelix::decodeText(bytes), texto);
    }
};

CORVELIX_TEST(tst_RetReading)
#include "tst_RetReading.moc"
