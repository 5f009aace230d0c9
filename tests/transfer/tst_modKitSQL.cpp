#include "runtime/VbError.h"
#include "data/declaration_reads.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "transfer/modKitSQL.h"
#include "transfer/modRET_transferencia.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using corvelix::MsgIcon;
using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kD = QStringLiteral("26001IC04000001A");
const QString kVacio = QStringLiteral("26001IC04000002B");

// Items 0001 and 0002 are shown as 0002 and 0001; 0003 has only its own subitem row.
// A second declaration whose number contains the first's holds nothing of it.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTAGR, NDDTIMMIOE, CDDTBUR, CDDTDEVFOB, CDDTDEVFLE, CDDTDEVASS, MDDTFOB, MDDTFLE, MDDTASS, CDDTINCOTE, CDDTIVA, ISTA, IEXT, LDDTNOMFOD)
  VALUES ('26001IC04000001A', '20123456789', '30712345678', '001', 'DOL', 'DOL', 'DOL', 1500.5, 30, 0, 'FOB', 'S', 'IC04', 'REF/1:A', 'ACME');
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000002B', '26001IC04000001A');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, CARTTYP, CARTSBITEM, CARTCALDST, CARTPAGREG)
  VALUES ('26001IC04000001A', '0001', '0002', '8471.30.12.000A', '310', '310', '1', '07', 10, 10, 5, 100, 1000, 20, 0, 'N', 'S', 'N', 'N');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, CARTTYP, CARTSBITEM, CARTCALDST, CARTPAGREG)
  VALUES ('26001IC04000001A', '0002', '0001', '3926.90.90.990K', '200', '203', '2', '01', 500, 500, 1.5, 0.00005, 0.025, 10, 0, 'N', '  ', NULL, NULL);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, CARTTYP)
  VALUES ('26001IC04000001A', '0003', '0003', '1', '310', '310', '1', '07', 1, 1, 1, NULL, 500.475, 0, 0, 'N');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0001', '0000', 'AA(ACME)-', 10, 10, 100, 1000, 'E0');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0001', '0001', '', 4, 4, 100, 400, 'E1');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0003', '0000', 'ZZ(X)-', 1, 1, 500.475, 500.475, 'E3');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0000', 'VAL-CRITERIO', 'D', 'VALOR DE TRANSACCION');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0001', 'MARCA', '', 'DE LA CLAVE 0001');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0002', 'ACE18');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0000', 'FACTURACOMERCIAL', 'S', '00001-00000001');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0000', 'CERTORIGEN', 's', 'NO SE VE');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0002', 'LICENCIA', 'S', 'L-2');
)");

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString lineas(const QStringList& l) {
    return l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

class tst_modKitSQL : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> catalog_;
    QTemporaryDir dir_;

protected:
    void initTest() override {
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
        ScriptedUi::current().reset();
        catalog_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override { catalog_.reset(); }
private slots:

    void header() {
        const RegistroDespacho r = modKitSQL::getCaratulaKitSQL(kD);
        QCOMPARE(r.IEXT, QStringLiteral("REF/1:A"));
        QCOMPARE(r.MDDTFOB, 1500.5);
        QCOMPARE(r.cantidadCPL, 1);
        QCOMPARE(r.CPL.at(0).NART, QStringLiteral("0000"));
        QCOMPARE(r.cantidadDVD, 2);
        // Only a presented document ("S" exactly) carries its reference.
        QCOMPARE(r.DVD.at(0).LDVDREFDOC, QString());
        QCOMPARE(r.DVD.at(1).LDVDREFDOC, QStringLiteral("00001-00000001"));
        QVERIFY(r.Items.isEmpty());
    }

    // The child rows are the item key's, whatever number the item shows.
    void childRowsByKey() {
        RegistroDespacho r = modKitSQL::getCaratulaKitSQL(kD);
        modKitSQL::getitemsKitS(kD, r);
        QCOMPARE(r.Items.size(), 3);
        const RegistroItem* clave1 = nullptr;
        const RegistroItem* clave2 = nullptr;
        for (const RegistroItem& it : r.Items) {
            if (it.IESPNCE == QLatin1String("8471.30.12.000A"))
                clave1 = &it;
            if (it.IESPNCE == QLatin1String("3926.90.90.990K"))
                clave2 = &it;
        }
        QVERIFY(clave1 && clave2);
        QCOMPARE(clave1->NART, QStringLiteral("0002"));
        QCOMPARE(clave1->cantidadSubitems, 2);
        QCOMPARE(clave1->Subitems.at(1).MSBTFOB, 400.0);
        QCOMPARE(clave1->Subitems.at(1).NART, QStringLiteral("0002"));
        QCOMPARE(clave1->CPL.at(0).MCPL, QStringLiteral("DE LA CLAVE 0001"));
        QCOMPARE(clave1->cantidadVentajas, 0);
        QCOMPARE(clave1->cantidadDVD, 0);
        QCOMPARE(clave2->NART, QStringLiteral("0001"));
        QCOMPARE(clave2->cantidadSubitems, 0);
        QCOMPARE(clave2->Ventajas.at(0).CSRG, QStringLiteral("ACE18"));
        QCOMPARE(clave2->Ventajas.at(0).NART, QStringLiteral("0001"));
        QCOMPARE(clave2->DVD.at(0).LDVDREFDOC, QStringLiteral("L-2"));
        QCOMPARE(clave2->DVD.at(0).NART, QStringLiteral("0001"));
        QVERIFY(clave2->CARTSBITEM.isEmpty());
        QCOMPARE(clave2->CARTUNTDCL, 1.0);
        QCOMPARE(clave2->CARTUSO, qint16(2));
    }

    // The main window's road: proposed name, ".txt" added, the file's item text.
    // Every declaration of the demo catalog with items goes out as a transfer file.
    void demoDeclarations() {
        catalog_.reset();
        catalog_ = std::make_unique<CatalogFixture>();
        catalog_->loadDemoSeed();
        auto& seam = ScriptedUi::current();
        int exported = 0;
        for (modDA::Recordset ddt = modDA::getDDT(QString(), true); !ddt.eof(); ddt.moveNext()) {
            const QString iddt = ddt.text(QStringLiteral("IDDT"));
            if (modDA::getRsITEMs(iddt).eof())
                continue;
            seam.reset();
            seam.answerBoxes({corvelix::MsgResult::Ok});
            const QString ruta = dir_.filePath(iddt);
            seam.answerSaveDialog(ruta);
            modKitSQL::ExportarProvisorio2TXT(iddt);
            QVERIFY2(seam.boxes.size() == 1, qPrintable(iddt));
            QVERIFY2(seam.boxes[0].icon == MsgIcon::Information,
                     qPrintable(iddt + QStringLiteral(": ") + seam.boxes[0].text));
            QVERIFY(leer(ruta + QStringLiteral(".txt")).startsWith("[DDT]"));
            ++exported;
        }
        QVERIFY(exported >= 5);
    }

    void exportToFile() {
        auto& seam = ScriptedUi::current();
        const QString ruta = dir_.filePath(QStringLiteral("export"));
        seam.answerBoxes({corvelix::MsgResult::Ok});
        seam.answerSaveDialog(ruta);
        modKitSQL::ExportarProvisorio2TXT(kD);
        QCOMPARE(seam.fileDialogs.size(), 1);
        QCOMPARE(seam.fileDialogs[0].request.proposedName,
                 QStringLiteral("26001IC04000001A - REF_1_A.txt"));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("Se generó el archivo de transferencia en \n") +
                                         ruta + QStringLiteral(".txt"));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Information);
        QVERIFY(!seam.busy);
        const QString texto = QString::fromLatin1(leer(ruta + QStringLiteral(".txt")));
        QVERIFY2(texto.startsWith(lineas({"[DDT]",
                                          "NDDTIMMIOE=30712345678",
                                          "CDDTAGR=20123456789",
                                          "CDDTBUR=001",
                                          "CDDTDEVFLE=DOL",
                                          "CDDTDEVFOB=DOL",
                                          "MDDTFLE=30",
                                          "MDDTFOB=1500.5",
                                          "CDDTINCOTE=FOB",
                                          "CDDTIVA=S",
                                          "ISTA=IC04",
                                          "LDDTNOMFOD=ACME",
                                          "IEXT=REF/1:A",
                                          "",
                                          "[CPL]",
                                          "CCPL=VAL-CRITERIO",
                                          "ICPLDIF=D",
                                          "MCPL=VALOR DE TRANSACCION",
                                          "NART=0000",
                                          "",
                                          "[DVD]",
                                          "CDVDDOC=CERTORIGEN",
                                          "LDVDREFDOC=",
                                          "NART=0000",
                                          "",
                                          "[DVD]",
                                          "CDVDDOC=FACTURACOMERCIAL",
                                          "LDVDREFDOC=00001-00000001",
                                          "NART=0000",
                                          ""})),
                 qPrintable(texto));
        // The item with only its own row: no amounts; a tiny price in exponent form.
        QVERIFY(texto.contains(
            lineas({"NARTEXT=0003", "", "[SBT]", "CSBTSVL=ZZ(X)-", "ISBT=0000", "NART=0003", ""})));
        QVERIFY(texto.contains(QStringLiteral("MARTUNITAR=5E-05\r\n")));
        QVERIFY(texto.contains(QStringLiteral("MARTFOB=500.475\r\nMARTUNITAR=0\r\n")));
        QVERIFY(texto.contains(lineas({"[DVD]", "CDVDDOC = LICENCIA", "LDVDREFDOC = L-2",
                                       "CDVDPRSDOC = S", "NART = 0001", ""})));
    }

    // Failures: one warning box, nothing written.
    void exportFailures_data() {
        QTest::addColumn<QString>("iddt");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("texto");
        QTest::newRow("no items")
            << kVacio << ""
            << "No hay items cargados en el provisorio 26001IC04000002B\n\n\n\n"
               "ExportarProvisorio2TXT (0)::Corvelix.modKitS.getitemsKitS (0)::Obteniendo "
               "Provisorio";
        QTest::newRow("state not a number")
            << kD << "UPDATE ART SET CARTUSO = 'NUEVO' WHERE NART = '0003'"
            << "No coinciden los tipos: CARTUSO del item 0003 no es un número (\"NUEVO\")\n\n\n\n"
               "ExportarProvisorio2TXT (0)::Corvelix.modKitS.getitemsKitS (0)::Corvelix";
        QTest::newRow("advantage without code")
            << kD << "UPDATE SRG SET CSRG = NULL"
            << "Uso no válido de Null\n\n\n\nExportarProvisorio2TXT (0)::Corvelix.modKitS."
               "getitemsKitS (0)::Corvelix.modRET.getVentajasKitSQL (0)::Corvelix";
    }
    void exportFailures() {
        QFETCH(QString, iddt);
        QFETCH(QString, sql);
        QFETCH(QString, texto);
        if (!sql.isEmpty()) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                        QStringLiteral("tst_modKitSQL"));
            db.setDatabaseName(catalog_->catalogPath());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(sql));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("tst_modKitSQL"));
        auto& seam = ScriptedUi::current();
        const QString ruta = dir_.filePath(QStringLiteral("fallo.txt"));
        seam.answerBoxes({corvelix::MsgResult::Ok});
        seam.answerSaveDialog(ruta);
        modKitSQL::ExportarProvisorio2TXT(iddt);
        QCOMPARE(seam.fileDialogs.size(), 1);
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, texto);
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(!seam.busy);
        QVERIFY(!QFileInfo::exists(ruta));
    }

    // The declaration is the one whose number is exactly the given one; none is an error
    // before any dialog.
    void unknownDeclaration() {
        auto& seam = ScriptedUi::current();
        seam.answerBoxes({corvelix::MsgResult::Ok});
        modKitSQL::ExportarProvisorio2TXT(QStringLiteral("26001IC04"));
        QVERIFY(seam.fileDialogs.isEmpty());
        QCOMPARE(seam.boxes.size(), 1);
        QVERIFY2(seam.boxes[0].text.startsWith(
                     QStringLiteral("No se encuentra el despacho 26001IC04\n\n\n\n")),
                 qPrintable(seam.boxes[0].text));
    }

    void cancelledSaveDialog() {
        auto& seam = ScriptedUi::current();
        seam.answerSaveDialog(QString());
        modKitSQL::ExportarProvisorio2TXT(kD);
        QVERIFY(seam.boxes.isEmpty());
        QVERIFY(!seam.busy);
    }
};

CORVELIX_TEST(tst_modKitSQL)
#include "tst_modKitSQL.moc"
