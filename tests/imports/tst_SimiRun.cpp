#include "assembly/frmArmadoITEM.h"
#include "data/modDA.h"
#include "data/simi_work.h"
#include "imports/frmMenuIC.h"
#include "imports/frmSIMIGlobal.h"
#include "platform/Settings.h"
#include "runtime/Paths.h"
#include "shell/MainWindowOpener.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kDespacho = QStringLiteral("26001IC04000001A");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000001A', 'REF');
INSERT INTO ART (IDDT, NART, NARTEXT, LISTA, MARTFOB) VALUES
  ('26001IC04000001A', '0001', '0001', 'VIEJA', 10),
  ('26001IC04000001A', '0002', '0002', NULL, 20),
  ('26001IC04000001A', '0003', '0003', NULL, 30),
  ('26001IC04000001A', '0004', '0004', NULL, 40),
  ('26001IC04000001A', '0005', '0005', NULL, 50);
INSERT INTO DVD (IDVD, NART, CDVDDOC, LDVDREFDOC) VALUES
  ('26001IC04000001A', '0001', 'COD-MERCOSUR', 'ANTERIOR'),
  ('26001IC04000001A', '0001', 'FACTURA', 'F1');
INSERT INTO CPL (ICPL, NART, CCPL) VALUES
  ('26001IC04000001A', '0001', 'CERTORIGMERCOSUR'),
  ('26001IC04000001A', '0002', 'SIMI-DESC-MERC01'),
  ('26001IC04000001A', '0002', 'OTRA');
INSERT INTO CCM (IDDT, NART, CCCM, MCCM) VALUES ('26001IC04000001A', 5, 'DCEXP', 'VIEJO');
)");

// Keys and shown numbers differ: the item shown 0001 is kept under 0003, 0002 under 0001 and
// 0003 under 0002.
const QString kSeedClaves = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000001A', 'REF');
INSERT INTO ART (IDDT, NART, NARTEXT, MARTFOB) VALUES
  ('26001IC04000001A', '0003', '0001', 10),
  ('26001IC04000001A', '0001', '0002', 20),
  ('26001IC04000001A', '0002', '0003', 30);
INSERT INTO DVD (IDVD, NART, CDVDDOC, LDVDREFDOC) VALUES
  ('26001IC04000001A', '0003', 'COD-MERCOSUR', 'ANTERIOR');
)");

QString consulta(const QString& sql, int tipo = modDA::kCatalog) {
    const modDA::Recordset rs = modDA::getRs(tipo, testSql(sql));
    QStringList filas;
    for (const QVariantList& r : rs.rows()) {
        QStringList campos;
        for (const QVariant& v : r)
            campos << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        filas << campos.join(QLatin1Char('|'));
    }
    return filas.join(QLatin1Char(';'));
}

modDA::SimiFila fila(int item, const QString& lista, const QString& cert, const QString& cc,
                     const QString& pais, double cantidad, double fob) {
    modDA::SimiFila f;
    f.operacion = kDespacho;
    f.item = item;
    f.lista = lista;
    f.certificado = cert;
    f.ccTexto = cc;
    f.paisOrigen = pais;
    f.cantidad = cantidad;
    f.fob = fob;
    return f;
}

QList<modDA::SimiFila> filasDeLaHoja() {
    return {fila(1, QStringLiteral("L'1"), QStringLiteral("C'1"), QStringLiteral("CC'1"),
                 QStringLiteral("225"), 5, 10),
            fila(2, QString(), QString(), QStringLiteral("CC2"), QStringLiteral("999"), 1, 20),
            fila(3, QString(), QString(), QString(), QString(), 0, 0),
            fila(4, QString(), QString(), QString(), QString(), 0, 0)};
}

// A stand-in sibling program: records its argument and folder, fails when asked to.
QString instalarHermano() {
    QDir().mkpath(programFolder());
    const QString ruta = QDir(programFolder()).filePath(QStringLiteral("pernatex"));
    QFile file(ruta);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\necho \"$1|$(pwd)\" >> \"$0.log\"\n"
               "if [ -f \"$0.falla\" ]; then exit 3; fi\nexit 0\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return ruta;
}

QString registroHermano() {
    QFile file(QDir(programFolder()).filePath(QStringLiteral("pernatex.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

QPushButton& boton(frmMenuIC& menu, const char* name) {
    return *menu.findChild<QPushButton*>(QLatin1String(name));
}

// How many main windows the menu asked for on closing.
int& ventanasPedidas() {
    static int count = 0;
    return count;
}

} // namespace

// The SIMI run and its single steps on a small catalog, with a stand-in sibling program.
class tst_SimiRun : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        ventanasPedidas() = 0;
        corvelix::setMainWindowOpener([] { ++ventanasPedidas(); });
    }
    void cleanupTest() override { corvelix::setMainWindowOpener({}); }

private slots:
    // Lists, certificates, CCPAC rows, clean-up, marking, the sibling, deletion; a second run
    // passes nothing to the deletion again.
    void wholeRun() {
        CatalogFixture catalog(kSeed);
        instalarHermano();
        modDA::simiReemplazarFilas(kDespacho, filasDeLaHoja());
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        menu.cargarDatos();
        QCOMPARE(boton(menu, "cmdIniciarProceso").text(), QStringLiteral("Enviar todo (4)"));

        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        // Seen from the first events the run lets through: no button can start anything.
        QStringList usables;
        QTimer::singleShot(0, &menu, [&] {
            for (QPushButton* b : menu.findChildren<QPushButton*>())
                if (b->isEnabled())
                    usables << b->objectName();
            menu.cmdIniciarProceso_Click();
            menu.close();
        });
        boton(menu, "cmdIniciarProceso").click();
        QCOMPARE(usables, QStringList());
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        QCOMPARE(ScriptedUi::current().boxes[0].text,
                 QStringLiteral("Fin de proceso ") + kDespacho);
        QVERIFY(ScriptedUi::current().modelessForms.isEmpty());

        QCOMPARE(consulta(QStringLiteral("SELECT NART, LISTA FROM ART ORDER BY NART")),
                 QStringLiteral("0001|L'1;0002|<null>;0005|<null>"));
        QCOMPARE(consulta(QStringLiteral("SELECT CDVDDOC, CDVDPRSDOC, LDVDREFDOC FROM DVD WHERE "
                                         "NART = '0001' ORDER BY CDVDDOC")),
                 QStringLiteral("CERT.ORIGEN/L|S|C 1;CERTORIGMERCOSUR|S|C 1;COD-MERCOSUR|S|C 1;"
                                "FACTURA|<null>|F1"));
        QCOMPARE(consulta(QStringLiteral("SELECT CCPL FROM CPL ORDER BY NART, CCPL")),
                 QStringLiteral("OTRA"));
        QCOMPARE(consulta(QStringLiteral("SELECT NART, MCCM, DESARROLLO, CCCMNART FROM CCM "
                                         "WHERE CCCM = 'DCEXP' ORDER BY NART")),
                 QStringLiteral("1|CC 1|1|0001;2|CC2|1|000000000002"));
        QCOMPARE(
            consulta(QStringLiteral("SELECT Item, procesado FROM SIMIGlobalItem ORDER BY Item"),
                     modDA::kLocal),
            QStringLiteral("1|0;2|0;3|2;4|2"));
        QCOMPARE(registroHermano(), kDespacho + QLatin1Char('|') + programFolder());
        QCOMPARE(consulta(QStringLiteral("SELECT MDDTFOB FROM DDT")), QStringLiteral("80"));
        QVERIFY(boton(menu, "cmdIniciarProceso").isEnabled());
        QCOMPARE(boton(menu, "cmdIniciarProceso").text(), QStringLiteral("Enviar todo (4)"));

        // Rows in state 2 are neither marked nor deleted again.
        QCOMPARE(modDA::marcarART_Eliminar(kDespacho), 0);
        QVERIFY(modDA::getSimiMarcados(kDespacho).isEmpty());
    }

    // The same item on several sheet lines: it is deleted only when none of its lines carries
    // a quantity or an FOB; a zero line beside one with values keeps it and what it was sent.
    void repeatedItems_data() {
        QTest::addColumn<QStringList>("lines"); // item|quantity|FOB|certificate
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("certificates");
        QTest::addColumn<QString>("states");
        const QString todos = QStringLiteral("0001;0002;0003;0004;0005");
        QTest::newRow("zero line after one with values")
            << QStringList{"1|5|50|C1", "1|0|0|", "2|1|1|"} << todos << QStringLiteral("0001:C1")
            << QStringLiteral("1|0;1|0;2|0");
        QTest::newRow("zero line before one with values")
            << QStringList{"1|0|0|", "1|5|50|C1", "2|1|1|"} << todos << QStringLiteral("0001:C1")
            << QStringLiteral("1|0;1|0;2|0");
        QTest::newRow("quantity alone keeps it")
            << QStringList{"1|0|0|", "1|3|0|"} << todos << QString() << QStringLiteral("1|0;1|0");
        QTest::newRow("FOB alone keeps it")
            << QStringList{"1|0|7|", "1|0|0|"} << todos << QString() << QStringLiteral("1|0;1|0");
        QTest::newRow("every line zero")
            << QStringList{"1|0|0|C1", "1|0|0|", "2|1|1|"} << QStringLiteral("0002;0003;0004;0005")
            << QString() << QStringLiteral("1|2;1|2;2|0");
        QTest::newRow("one item kept, another deleted")
            << QStringList{"3|0|0|", "1|0|0|", "3|2|0|", "1|0|0|"}
            << QStringLiteral("0002;0003;0004;0005") << QString()
            << QStringLiteral("1|2;1|2;3|0;3|0");
    }
    void repeatedItems() {
        QFETCH(QStringList, lines);
        QFETCH(QString, items);
        QFETCH(QString, certificates);
        QFETCH(QString, states);
        CatalogFixture catalog(kSeed);
        instalarHermano();
        QList<modDA::SimiFila> filas;
        for (const QString& line : lines) {
            const QStringList c = line.split(QLatin1Char('|'));
            filas << fila(c[0].toInt(), QString(), c[3], QString(), QStringLiteral("225"),
                          c[1].toDouble(), c[2].toDouble());
        }
        modDA::simiReemplazarFilas(kDespacho, filas);
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(menu, "cmdIniciarProceso").click();
        QCOMPARE(ScriptedUi::current().boxes.value(0).text,
                 QStringLiteral("Fin de proceso ") + kDespacho);
        QCOMPARE(consulta(QStringLiteral("SELECT NART FROM ART ORDER BY NART")), items);
        QCOMPARE(consulta(QStringLiteral("SELECT NART || ':' || LDVDREFDOC FROM DVD WHERE "
                                         "CDVDDOC = 'CERT.ORIGEN/L' ORDER BY NART")),
                 certificates);
        QCOMPARE(consulta(QStringLiteral("SELECT Item, procesado FROM SIMIGlobalItem ORDER BY "
                                         "Item, rowid"),
                          modDA::kLocal),
                 states);
    }

    // Sheet rows of one item that repeat its values write them once: one CCPAC row for the
    // item, its certificate documents once.
    void identicalRepeatsWrittenOnce_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("run") << QStringLiteral("cmdIniciarProceso");
        QTest::newRow("ccpack") << QStringLiteral("cmdCCPACK");
    }
    void identicalRepeatsWrittenOnce() {
        QFETCH(QString, button);
        CatalogFixture catalog(kSeed);
        instalarHermano();
        const modDA::SimiFila repetida = fila(2, QStringLiteral("L2"), QStringLiteral("C2"),
                                              QStringLiteral("CC2"), QStringLiteral("225"), 1, 10);
        modDA::simiReemplazarFilas(kDespacho, {repetida, repetida, filasDeLaHoja().at(0)});
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(menu, qPrintable(button)).click();
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        QCOMPARE(ScriptedUi::current().boxes[0].icon, MsgIcon::Information);
        QCOMPARE(consulta(QStringLiteral("SELECT NART || ':' || MCCM FROM CCM WHERE NART = 2")),
                 QStringLiteral("2:CC2"));
        if (button == QLatin1String("cmdIniciarProceso"))
            QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM DVD WHERE NART = '0002'")),
                     QStringLiteral("3"));
    }

    // After a run has deleted an item, neither a second run nor a single step writes anything
    // for it again.
    void deletedItemsGetNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("second run") << QStringLiteral("cmdIniciarProceso");
        QTest::newRow("lista") << QStringLiteral("cmdSoloLista");
        QTest::newRow("certificado") << QStringLiteral("cmdsoloCEO");
        QTest::newRow("ccpack") << QStringLiteral("cmdCCPACK");
    }
    void deletedItemsGetNothing() {
        QFETCH(QString, button);
        CatalogFixture catalog(kSeed);
        instalarHermano();
        QList<modDA::SimiFila> filas = filasDeLaHoja();
        // Item 4 is left out of the sheet's amounts but carries every value.
        filas[3] = fila(4, QStringLiteral("L4"), QStringLiteral("C4"), QStringLiteral("CC4"),
                        QStringLiteral("225"), 0, 0);
        modDA::simiReemplazarFilas(kDespacho, filas);
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok});
        boton(menu, "cmdIniciarProceso").click();
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM ART WHERE NART = '0004'")),
                 QStringLiteral("0"));
        boton(menu, qPrintable(button)).click();
        QCOMPARE(ScriptedUi::current().boxes.size(), 2);
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM DVD WHERE NART = '0004'")),
                 QStringLiteral("0"));
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM CCM WHERE NART = 4")),
                 QStringLiteral("0"));
        QCOMPARE(consulta(QStringLiteral("SELECT NART FROM CCM ORDER BY NART")),
                 QStringLiteral("1;2"));
    }

    // The rows name items by their shown number; lists, documents, CCPAC rows and deletions go
    // to the item's key.
    void itemsByShownNumber_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("checks");
        QTest::addColumn<QStringList>("expected");
        const QStringList todo{
            QStringLiteral("SELECT NART || ':' || NARTEXT || ':' || COALESCE(LISTA, '') FROM ART "
                           "ORDER BY NART"),
            QStringLiteral("SELECT NART || ':' || LDVDREFDOC FROM DVD ORDER BY NART, CDVDDOC"),
            QStringLiteral("SELECT NART || ':' || CCCMNART FROM CCM ORDER BY NART"),
            QStringLiteral("SELECT MDDTFOB FROM DDT")};
        QTest::newRow("run") << QStringLiteral("cmdIniciarProceso") << todo
                             << QStringList{QStringLiteral("0002:0003:;0003:0001:L1"),
                                            QStringLiteral("0003:C1;0003:C1;0003:C1"),
                                            QStringLiteral("3:0001"), QStringLiteral("40")};
        QTest::newRow("lista") << QStringLiteral("cmdSoloLista") << todo.mid(0, 1)
                               << QStringList{QStringLiteral("0001:0002:;0002:0003:;0003:0001:L1")};
        QTest::newRow("certificado") << QStringLiteral("cmdsoloCEO") << todo.mid(1, 1)
                                     << QStringList{QStringLiteral("0003:C1;0003:C1;0003:C1")};
        QTest::newRow("ccpack") << QStringLiteral("cmdCCPACK") << todo.mid(2, 1)
                                << QStringList{QStringLiteral("3:0001")};
    }
    void itemsByShownNumber() {
        QFETCH(QString, button);
        QFETCH(QStringList, checks);
        QFETCH(QStringList, expected);
        CatalogFixture catalog(kSeedClaves);
        instalarHermano();
        modDA::simiReemplazarFilas(kDespacho,
                                   {fila(1, QStringLiteral("L1"), QStringLiteral("C1"),
                                         QStringLiteral("CC1"), QStringLiteral("225"), 5, 10),
                                    fila(2, QString(), QString(), QString(), QString(), 0, 0),
                                    fila(3, QString(), QString(), QString(), QString(), 1, 30)});
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(menu, qPrintable(button)).click();
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        QCOMPARE(ScriptedUi::current().boxes[0].icon, MsgIcon::Information);
        for (int i = 0; i < checks.size(); ++i)
            QCOMPARE(consulta(checks.at(i)), expected.at(i));
    }

    // A row that sends something to a number no item shows stops the run or the step before
    // anything changes, naming the item.
    void unknownShownNumberRefused_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("run") << QStringLiteral("cmdIniciarProceso");
        QTest::newRow("lista") << QStringLiteral("cmdSoloLista");
        QTest::newRow("certificado") << QStringLiteral("cmdsoloCEO");
        QTest::newRow("ccpack") << QStringLiteral("cmdCCPACK");
    }
    void unknownShownNumberRefused() {
        QFETCH(QString, button);
        CatalogFixture catalog(kSeedClaves);
        instalarHermano();
        // No item shows 0009.
        modDA::simiReemplazarFilas(kDespacho,
                                   {fila(1, QStringLiteral("L1"), QStringLiteral("C1"),
                                         QStringLiteral("CC1"), QStringLiteral("225"), 5, 10),
                                    fila(9, QStringLiteral("L9"), QStringLiteral("C9"),
                                         QStringLiteral("CC9"), QStringLiteral("225"), 1, 1),
                                    fila(2, QString(), QString(), QString(), QString(), 0, 0)});
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(menu, qPrintable(button)).click();
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        const QString texto = ScriptedUi::current().boxes[0].text;
        QVERIFY2(texto.startsWith(QStringLiteral("No se encuentra el item 0009 en la operacion ") +
                                  kDespacho),
                 qPrintable(texto));
        QCOMPARE(consulta(QStringLiteral("SELECT NART || ':' || COALESCE(LISTA, '') FROM ART "
                                         "ORDER BY NART")),
                 QStringLiteral("0001:;0002:;0003:"));
        QCOMPARE(consulta(QStringLiteral("SELECT NART || ':' || LDVDREFDOC FROM DVD")),
                 QStringLiteral("0003:ANTERIOR"));
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM CCM")), QStringLiteral("0"));
        QVERIFY(registroHermano().isEmpty());
    }

    // A sibling program that cannot be started stops the run before it changes anything, and
    // names the program.
    void siblingMissing_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("not executable") << true;
    }
    void siblingMissing() {
        QFETCH(bool, present);
        CatalogFixture catalog(kSeed);
        settings::saveSetting(QStringLiteral("config"), QStringLiteral("programaSIMI"),
                              QStringLiteral("no_esta"));
        const QString programa = QDir(programFolder()).filePath(QStringLiteral("no_esta"));
        if (present) {
            QDir().mkpath(programFolder());
            QFile file(programa);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\nexit 0\n");
        }
        modDA::simiReemplazarFilas(kDespacho, filasDeLaHoja());
        const QStringList antes = test::catalogSnapshot();
        const QString filasAntes =
            consulta(QStringLiteral("SELECT Item, procesado FROM SIMIGlobalItem"), modDA::kLocal);
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(menu, "cmdIniciarProceso").click();
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        const QString texto = ScriptedUi::current().boxes[0].text;
        QVERIFY2(texto.contains(QStringLiteral("No se pudo ejecutar el programa ") + programa),
                 qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("Corvelix.frmMenuIC.cmdIniciarProceso_Click.::")));
        QCOMPARE(test::catalogSnapshot(), antes);
        QCOMPARE(
            consulta(QStringLiteral("SELECT Item, procesado FROM SIMIGlobalItem"), modDA::kLocal),
            filasAntes);
        for (const char* name : {"cmdIniciarProceso", "cmdSoloLista", "cmdsoloCEO", "cmdCCPACK",
                                 "cmdLimpiarInfoAd", "cmdArticulos", "cmdCerrar"})
            QVERIFY2(boton(menu, name).isEnabled(), name);
    }

    // A sibling that never ends: the user is asked, again and again, whether to keep waiting;
    // stopping ends the run as a failed sibling does, before any deletion, and ends the
    // sibling.
    void siblingThatNeverEnds() {
        CatalogFixture catalog(kSeed);
        settings::saveSetting(QStringLiteral("config"), QStringLiteral("programaSIMI"),
                              QStringLiteral("colgado"));
        QDir().mkpath(programFolder());
        const QString programa = QDir(programFolder()).filePath(QStringLiteral("colgado"));
        QFile file(programa);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 600\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        frmMenuIC::esperaHermanoMs() = 0;
        modDA::simiReemplazarFilas(kDespacho, filasDeLaHoja());
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::No, MsgResult::Ok});
        boton(menu, "cmdIniciarProceso").click();

        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 3);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(boxes[i].text, QStringLiteral("El programa ") + programa +
                                        QStringLiteral(" todavía no terminó.\r\n\r\n¿Desea "
                                                       "seguir esperando?"));
            QCOMPARE(boxes[i].buttons, MsgButtons::YesNo);
        }
        QVERIFY2(boxes[2].text.startsWith(QStringLiteral("No se pudo ejecutar el programa ") +
                                          programa +
                                          QStringLiteral(": no terminó y se dejó de esperar")),
                 qPrintable(boxes[2].text));
        QVERIFY(boxes[2].text.contains(
            QStringLiteral("Corvelix.frmMenuIC.cmdIniciarProceso_Click.::")));
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM ART")), QStringLiteral("5"));
        QCOMPARE(
            consulta(QStringLiteral("SELECT Item, procesado FROM SIMIGlobalItem ORDER BY Item"),
                     modDA::kLocal),
            QStringLiteral("1|0;2|0;3|1;4|1"));
        for (const char* name : {"cmdIniciarProceso", "cmdSoloLista", "cmdCerrar"})
            QVERIFY2(boton(menu, name).isEnabled(), name);
        QFile pid(programa + QStringLiteral(".pid"));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        const QString proceso = QString::fromLatin1(pid.readAll()).trimmed();
        QVERIFY(!proceso.isEmpty());
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + proceso));
    }

    // A failing row undoes its step and is named; nothing later runs.
    void failedRowUndoesTheStep() {
        CatalogFixture catalog(kSeed);
        instalarHermano();
        modDA::execSQL(
            modDA::kCatalog,
            testSql(QStringLiteral("CREATE TRIGGER falla BEFORE INSERT ON CCM WHEN NEW.NART = 2 "
                                   "BEGIN SELECT RAISE(ABORT, 'sin lugar'); END")));
        modDA::simiReemplazarFilas(kDespacho, filasDeLaHoja());
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(menu, "cmdIniciarProceso").click();
        const QString texto = ScriptedUi::current().boxes.value(0).text;
        QVERIFY2(texto.contains(QStringLiteral("(item 0002)")), qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("Corvelix.frmMenuIC.SetCCPack.::")));
        QCOMPARE(consulta(QStringLiteral("SELECT NART, LISTA FROM ART WHERE NART = '0001'")),
                 QStringLiteral("0001|VIEJA"));
        QCOMPARE(consulta(QStringLiteral("SELECT NART, MCCM FROM CCM")), QStringLiteral("5|VIEJO"));
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM ART")), QStringLiteral("5"));
        QVERIFY(registroHermano().isEmpty());
    }

    // No work rows: the warning, then the end of the run; the count button disabled.
    void noRows() {
        CatalogFixture catalog(kSeed);
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        menu.cargarDatos();
        QCOMPARE(boton(menu, "cmdIniciarProceso").text(), QStringLiteral("Enviar todo"));
        QVERIFY(!boton(menu, "cmdIniciarProceso").isEnabled());
        QVERIFY(!boton(menu, "cmdIniciarProceso").font().bold());
        ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok});
        menu.cmdIniciarProceso_Click();
        QCOMPARE(ScriptedUi::current().boxes[0].text,
                 QStringLiteral("No hay Articulos registrados para la operación ") + kDespacho);
        QCOMPARE(ScriptedUi::current().boxes[1].text,
                 QStringLiteral("Fin de proceso ") + kDespacho);
    }

    void singleSteps_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lista") << QStringLiteral("cmdSoloLista")
                               << QStringLiteral("Se envió las Listas a los items del despacho")
                               << QStringLiteral("SELECT LISTA FROM ART WHERE NART = '0001'")
                               << QStringLiteral("L'1");
        QTest::newRow("certificado")
            << QStringLiteral("cmdsoloCEO")
            << QStringLiteral("Se envió los Certificados de Origen a los items del despacho")
            << QStringLiteral("SELECT COUNT(*) FROM DVD WHERE LDVDREFDOC = 'C 1'")
            << QStringLiteral("3");
        QTest::newRow("ccpack") << QStringLiteral("cmdCCPACK")
                                << QStringLiteral("Se envió CCPACK a los items del despacho")
                                << QStringLiteral("SELECT NART FROM CCM ORDER BY NART")
                                << QStringLiteral("1;2");
    }
    void singleSteps() {
        QFETCH(QString, button);
        QFETCH(QString, message);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        CatalogFixture catalog(kSeed);
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        // Without rows: the warning only.
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        menu.findChild<QPushButton*>(button)->click();
        QCOMPARE(ScriptedUi::current().boxes.value(0).text,
                 QStringLiteral("No hay Articulos registrados para la operación ") + kDespacho);
        modDA::simiReemplazarFilas(kDespacho, filasDeLaHoja());
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        menu.findChild<QPushButton*>(button)->click();
        QCOMPARE(ScriptedUi::current().boxes.value(1).text, message);
        QCOMPARE(consulta(check), expected);
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM ART")), QStringLiteral("5"));
    }

    // "Cargar XLS" and "Ver Articulos" open their windows on the menu's declaration; the count
    // is read again when the sheet window closes.
    void opensItsWindows() {
        CatalogFixture catalog(kSeed);
        QStringList abiertos;
        ScriptedUi::current().onForm(QStringLiteral("frmSIMIGlobal"), [&](QDialog& d) {
            abiertos << static_cast<frmSIMIGlobal&>(d).m_Despacho;
            modDA::simiReemplazarFilas(kDespacho, filasDeLaHoja());
        });
        ScriptedUi::current().onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& d) {
            abiertos << static_cast<frmArmadoITEM&>(d).m_Operacion +
                            static_cast<frmArmadoITEM&>(d).m_IdentificadorPropio;
        });
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        menu.Form_Activate();
        QCOMPARE(boton(menu, "cmdIniciarProceso").text(), QStringLiteral("Enviar todo"));
        boton(menu, "cmdCargar").click();
        QCOMPARE(boton(menu, "cmdIniciarProceso").text(), QStringLiteral("Enviar todo (4)"));
        QVERIFY(boton(menu, "cmdIniciarProceso").font().bold());
        boton(menu, "cmdArticulos").click();
        QCOMPARE(abiertos, (QStringList{kDespacho, kDespacho}));
        QVERIFY(menu.windowTitle().startsWith(QStringLiteral("DESPACHO - Version ")));
    }

    // A count that cannot be read is shown, with its chain, and the window stays.
    void activationFailureShown() {
        CatalogFixture catalog(kSeed);
        modDA::execSQL(modDA::kLocal, testSql(QStringLiteral("DROP TABLE SIMIGlobalItem")));
        frmMenuIC menu;
        menu.m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        menu.Form_Activate();
        const QString texto = ScriptedUi::current().boxes.value(0).text;
        QVERIFY2(texto.contains(QStringLiteral("Corvelix.frmMenuIC.Form_Activate (0)::"
                                               "Corvelix.frmMenuIC.CargarDatos.::"
                                               "Corvelix.frmMenuIC.getItemSIMI.::")),
                 qPrintable(texto));
    }

    // The clear button asks nothing and reports; closing brings the main window back.
    void clearAndClose() {
        CatalogFixture catalog(kSeed);
        auto* menu = new frmMenuIC;
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->m_Despacho = kDespacho;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        boton(*menu, "cmdLimpiarInfoAd").click();
        QCOMPARE(
            ScriptedUi::current().boxes.value(0).text,
            QStringLiteral("Se limpio las informaciones adicionales correspondiente a la SIMI"));
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM CPL WHERE CCPL LIKE 'SIMI%'")),
                 QStringLiteral("0"));
        QTest::keyClick(menu, Qt::Key_Escape);
        QCOMPARE(ventanasPedidas(), 1);
    }
};

CORVELIX_TEST(tst_SimiRun)
#include "tst_SimiRun.moc"
