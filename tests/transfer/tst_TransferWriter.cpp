#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "transfer/modKitSQL.h"
#include "transfer/modRET_lectura.h"
#include "transfer/modRET_transferencia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using corvelix::VbError;

namespace {

QString lineas(const QStringList& l) {
    return l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

RegistroItem itemSimple(const QString& nart) {
    RegistroItem it;
    it.CARTPAYORI = QStringLiteral("310");
    it.CARTPAYPRC = QStringLiteral("310");
    it.CARTTYP = QStringLiteral("N");
    it.CARTUNTDCL = 7;
    it.CARTUSO = 1;
    it.IESPNCE = QStringLiteral("8471.30.12.000A");
    it.MARTFOB = 1234.5;
    it.MARTUNITAR = 12.345;
    it.QARTKGRNET = 10;
    it.QARTUNTDCL = 100;
    it.QARTUNTEST = 100;
    it.NART = nart;
    return it;
}

const QStringList kItemLineas = {QStringLiteral("[ART]"),
                                 QStringLiteral("CARTPAYORI=310"),
                                 QStringLiteral("CARTPAYPRC=310"),
                                 QStringLiteral("CARTTYP=N"),
                                 QStringLiteral("CARTUNTDCL=07"),
                                 QStringLiteral("CARTUSO=1"),
                                 QStringLiteral("IESPNCE=8471.30.12.000A"),
                                 QStringLiteral("MARTFOB=1234.5"),
                                 QStringLiteral("MARTUNITAR=12.345"),
                                 QStringLiteral("QARTKGRNET=10"),
                                 QStringLiteral("QARTUNTDCL=100"),
                                 QStringLiteral("QARTUNTEST=100")};

} // namespace

class tst_TransferWriter : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); }
private slots:

    // Which header lines appear, under a decimal-comma locale.
    void header_data() {
        QTest::addColumn<double>("flete");
        QTest::addColumn<double>("seguro");
        QTest::addColumn<QString>("incoterm");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("iext");
        QTest::addColumn<double>("fob");
        QTest::addColumn<QString>("esperado");

        const QString base = QStringLiteral("[DDT]\r\nNDDTIMMIOE=30712345678\r\nCDDTAGR=2012345678"
                                            "9\r\nCDDTBUR=001\r\n");
        QTest::newRow("all lines")
            << 800.25 << 20.5 << "FOB"
            << "ACME"
            << "REF-1" << 1234.5
            << base + lineas({"CDDTDEVFLE=DOL", "CDDTDEVASS=EUR", "CDDTDEVFOB=USD", "MDDTASS=20.5",
                              "MDDTFLE=800.25", "MDDTFOB=1234.5", "CDDTINCOTE=FOB", "CDDTIVA=S",
                              "ISTA=IC04", "LDDTNOMFOD=ACME", "IEXT=REF-1", ""});
        QTest::newRow("zero and negative amounts, FOB always")
            << 0.0 << -5.0 << ""
            << ""
            << "REF-1" << 0.0
            << base + lineas({"CDDTDEVFOB=USD", "MDDTFOB=0", "CDDTIVA=S", "ISTA=IC04", "IEXT=REF-1",
                              ""});
        // Without IEXT the header has no closing empty line.
        QTest::newRow("blank reference")
            << 0.0 << 0.0 << ""
            << ""
            << "   " << 100.0
            << base + lineas({"CDDTDEVFOB=USD", "MDDTFOB=100", "CDDTIVA=S", "ISTA=IC04"});
        QTest::newRow("untrimmed reference and tiny FOB")
            << 0.0 << 0.0 << ""
            << ""
            << " R 1 " << 0.00005
            << base + lineas({"CDDTDEVFOB=USD", "MDDTFOB=5E-05", "CDDTIVA=S", "ISTA=IC04",
                              "IEXT= R 1 ", ""});
    }

    void header() {
        QFETCH(double, flete);
        QFETCH(double, seguro);
        QFETCH(QString, incoterm);
        QFETCH(QString, nombre);
        QFETCH(QString, iext);
        QFETCH(double, fob);
        QFETCH(QString, esperado);
        RegistroDespacho r;
        r.CDDTAGR = QStringLiteral("20123456789");
        r.NDDTIMMIOE = QStringLiteral("30712345678");
        r.CDDTBUR = QStringLiteral("001");
        r.CDDTDEVFOB = QStringLiteral("USD");
        r.CDDTDEVFLE = QStringLiteral("DOL");
        r.CDDTDEVASS = QStringLiteral("EUR");
        r.MDDTFLE = flete;
        r.MDDTASS = seguro;
        r.MDDTFOB = fob;
        r.CDDTINCOTE = incoterm;
        r.CDDTIVA = QStringLiteral("S");
        r.ISTA = QStringLiteral("IC04");
        r.LDDTNOMFOD = nombre;
        r.IEXT = iext;
        QCOMPARE(modRET::convertCaratula_to_TXT(r), esperado);
    }

    // A line break or another control character inside a value goes out as a blank, from
    // the catalog and from a RET pair alike: no value starts a line of its own.
    void controlCharactersInValues_data() {
        QTest::addColumn<bool>("ret");
        QTest::newRow("catalog") << false;
        QTest::newRow("RET") << true;
    }
    void controlCharactersInValues() {
        QFETCH(bool, ret);
        RegistroDespacho r;
        if (ret) {
            QTemporaryDir dir;
            const QString ruta = dir.filePath(QStringLiteral("C.ret"));
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                    "<DESPACHO_CARATULA><CARATULA CUIT_DESPACHANTE=\"1\" CUIT_IMPO_EXPO=\"2\" "
                    "COD_ADUANA=\"001\" DIVISA_FOB=\"DOL\" MONTO_FOB=\"1\" MONTO_FLETE=\"0\" "
                    "MONTO_SEGURO=\"0\" INSCRIPTO_EN_IVA=\"S\" DESTINACION=\"IC04\" "
                    "IDENTIFICADOR_PROPIO=\"R\" COMPRADOR_VENDEDOR=\"ACME&#13;&#10;[ART]&#9;X\">"
                    "<INFORMACION_COMPLEMENTARIAS><INFORMACION_COMPLEMENTARIA CODIGO=\"NOTA\" "
                    "VALOR=\"A&#13;&#10;NARTEXT=9999&#10;B\" SUFIJO_DATO_COMP=\"\"/>"
                    "</INFORMACION_COMPLEMENTARIAS></CARATULA></DESPACHO_CARATULA>");
            f.close();
            r = modRET::getCaratula(modRET::AbrirArchivoXML(ruta), false);
        } else {
            corvelix::test::CatalogFixture catalog(QStringLiteral(
                "INSERT INTO DDT (IDDT, CDDTAGR, NDDTIMMIOE, CDDTBUR, CDDTDEVFOB, MDDTFOB, "
                "MDDTFLE, MDDTASS, CDDTIVA, ISTA, IEXT, LDDTNOMFOD) VALUES ('26001IC04000001A', "
                "'1', '2', '001', 'DOL', 1, 0, 0, 'S', 'IC04', 'R', "
                "'ACME' || char(13, 10) || '[ART]' || char(9) || 'X');\n"
                "INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', "
                "'0000', 'NOTA', '', 'A' || char(13, 10) || 'NARTEXT=9999' || char(10) || 'B');"));
            r = modKitSQL::getCaratulaKitSQL(QStringLiteral("26001IC04000001A"));
        }
        const QStringList lines = modRET::convertCaratula_to_TXT(r).split(QStringLiteral("\r\n"));
        QVERIFY2(lines.contains(QStringLiteral("LDDTNOMFOD=ACME  [ART] X")),
                 qPrintable(lines.join(QLatin1Char('|'))));
        QVERIFY2(lines.contains(QStringLiteral("MCPL=A  NARTEXT=9999 B")),
                 qPrintable(lines.join(QLatin1Char('|'))));
        QVERIFY(!lines.contains(QStringLiteral("[ART]")));
        QVERIFY(!lines.contains(QStringLiteral("NARTEXT=9999")));
    }

    // Header lists: complementary information in key order CCPL, ICPLDIF, MCPL; documents
    // without a code are skipped; a count of 0 hides the list.
    void headerLists() {
        RegistroDespacho r;
        r.IEXT = QStringLiteral("X");
        r.CPL = {{QStringLiteral("C1"), QStringLiteral("V1"), QStringLiteral("D"),
                  QStringLiteral("0000")}};
        r.cantidadCPL = 1;
        r.DVD = {{QStringLiteral("FACTURACOMERCIAL"), QStringLiteral("0001-1"), QStringLiteral("S"),
                  QStringLiteral("0000")},
                 {},
                 {QStringLiteral("LISTA"), QString(), QString(), QStringLiteral("0000")}};
        r.cantidadDVD = 3;
        const QString texto = modRET::convertCaratula_to_TXT(r);
        const QString listas =
            lineas({"[CPL]", "CCPL=C1", "ICPLDIF=D", "MCPL=V1", "NART=0000", "", "[DVD]",
                    "CDVDDOC=FACTURACOMERCIAL", "LDVDREFDOC=0001-1", "NART=0000", "", "[DVD]",
                    "CDVDDOC=LISTA", "LDVDREFDOC=", "NART=0000", ""});
        QVERIFY2(texto.endsWith(QStringLiteral("IEXT=X\r\n\r\n") + listas), qPrintable(texto));

        r.cantidadCPL = 0;
        r.cantidadDVD = 0;
        QVERIFY(modRET::convertCaratula_to_TXT(r).endsWith(QStringLiteral("IEXT=X\r\n\r\n")));
    }

    // One item with every list: the order is item, CPL, DVD, SRG, SBT.
    void itemText() {
        RegistroDespacho r;
        RegistroItem it = itemSimple(QStringLiteral("12"));
        it.MARTASS = 3.5;
        it.MARTFLE = -1;
        it.CARTCALDST = QStringLiteral("  ");
        it.CARTPAGREG = QStringLiteral(" N");
        it.CARTSBITEM = QStringLiteral("S");
        it.CPL = {
            {QStringLiteral("MARCA"), QStringLiteral("ACME"), QString(), QStringLiteral("9999")}};
        it.cantidadCPL = 1;
        it.DVD = {{QString(), QString(), QString(), QStringLiteral("12")}};
        it.cantidadDVD = 1;
        it.Ventajas = {{QStringLiteral("ACE18"), QStringLiteral("0012")}};
        it.cantidadVentajas = 1;
        it.Subitems = {{QString(), QStringLiteral("0000"), QStringLiteral("0012"), 9, 9, 9, 9, {}},
                       {QStringLiteral("AA(X)-"),
                        QStringLiteral("0000"),
                        QStringLiteral("0012"),
                        0,
                        0,
                        0,
                        0,
                        {}},
                       {QString(), QStringLiteral("0001"), QStringLiteral("0012"), 1000.25, 5, 6,
                        200.05, QStringLiteral("no escrito")}};
        it.cantidadSubitems = 3;
        r.Items = {it};

        QStringList esperado = kItemLineas;
        esperado.insert(7, QStringLiteral("MARTASS=3.5"));
        esperado << "CARTPAGREG= N"
                 << "CARTSBITEM=S"
                 << "NARTEXT=12"
                 << ""
                 // the item's number, not the element's
                 << "[CPL]"
                 << "CCPL=MARCA"
                 << "ICPLDIF="
                 << "MCPL=ACME"
                 << "NART=12"
                 << ""
                 << "[DVD]"
                 << "CDVDDOC = "
                 << "LDVDREFDOC = "
                 << "CDVDPRSDOC = "
                 << "NART = 12"
                 << ""
                 << "[SRG]"
                 << "CSRG=ACE18"
                 << "NART=0012"
                 << ""
                 // subitem 0000 without suffixes: no section line, no amounts
                 << "ISBT=0000"
                 << "NART=0012"
                 << ""
                 << "[SBT]"
                 << "CSBTSVL=AA(X)-"
                 << "ISBT=0000"
                 << "NART=0012"
                 << ""
                 << "[SBT]"
                 << "MSBTFOB=1000.25"
                 << "QSBTUNTDCL=5"
                 << "QSBTUNTEST=6"
                 << "ISBT=0001"
                 << "NART=0012"
                 << "";
        QCOMPARE(modRET::convertItem_to_TXT(r), lineas(esperado));
    }

    // The whole file: Windows-1252 bytes, one more CR LF at the end, items in list order.
    void fileBytes() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("carpeta con blancos y ñ/salida.txt"));
        QVERIFY(QDir().mkpath(QFileInfo(ruta).path()));
        RegistroDespacho r;
        r.LDDTNOMFOD = QStringLiteral("PEÑA €");
        r.Items = {itemSimple(QStringLiteral("1")), itemSimple(QStringLiteral("2"))};
        modRET::generarTXT(ruta, r);
        QFile file(ruta);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("ISTA=\r\nLDDTNOMFOD=PE\xD1"
                               "A \x80\r\n[ART]"));
        QVERIFY(bytes.indexOf("NARTEXT=1\r\n") < bytes.indexOf("NARTEXT=2\r\n"));
        QVERIFY(bytes.endsWith("NARTEXT=2\r\n\r\n\r\n"));
    }

    // A record without items is refused before anything is written.
    void noItems() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("vacio.txt"));
        try {
            modRET::generarTXT(ruta, RegistroDespacho{});
            QFAIL("a record without items was written");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QCOMPARE(e.source, QStringLiteral("Corvelix.modRET.generarTXT (20)::"
                                              "Corvelix.modRET.convertItem_to_TXT (10)::Corvelix"));
            QCOMPARE(e.description, QStringLiteral("El subíndice está fuera del intervalo"));
        }
        QVERIFY(!QFileInfo::exists(ruta));
    }

    // A folder that cannot be written (a missing one fails for root too): a clear message.
    void unwritableFolder() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("no existe/salida.txt"));
        RegistroDespacho r;
        r.Items = {itemSimple(QStringLiteral("1"))};
        try {
            modRET::generarTXT(ruta, r);
            QFAIL("written into a missing folder");
        } catch (const VbError& e) {
            QVERIFY2(e.source.startsWith(QStringLiteral(
                         "Corvelix.modRET.generarTXT (30)::Corvelix.modAPITools.generarArchivo")),
                     qPrintable(e.source));
            QVERIFY2(e.description.contains(QStringLiteral("la carpeta no existe")),
                     qPrintable(e.description));
        }
        QVERIFY(!QFileInfo::exists(ruta));
    }
};

CORVELIX_TEST(tst_TransferWriter)
#include "tst_TransferWriter.moc"
