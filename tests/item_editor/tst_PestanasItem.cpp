#include "ListTabsHost.h"

#include "data/modDA.h"
#include "shell/frmInputText.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using corvelix::MsgResult;
using corvelix::test::answerItemPicker;
using corvelix::test::answerLookup;
using corvelix::test::boxes;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::kListTabsDespacho;
using corvelix::test::kListTabsSeed;
using corvelix::test::ListTabsHost;
using corvelix::test::ScriptedUi;

namespace {

const QString D = kListTabsDespacho;

QStringList filas(const QTreeWidget* lista) {
    QStringList out;
    for (int i = 0; i < lista->topLevelItemCount(); ++i) {
        QStringList celdas;
        for (int c = 0; c < lista->columnCount(); ++c)
            celdas << lista->topLevelItem(i)->text(c);
        out << celdas.join(QLatin1Char('|'));
    }
    return out;
}

QStringList rows(const QString& sql) {
    return catalogRows(sql, {D});
}

QStringList marcas() {
    return rows(QStringLiteral("SELECT NART, CARTETA FROM ART WHERE IDDT = ? ORDER BY NART"));
}

void enter(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
}

void seleccionar(QTreeWidget* lista, int fila) {
    lista->setCurrentItem(lista->topLevelItem(fila));
    lista->topLevelItem(fila)->setSelected(true);
}

void answer(const QList<MsgResult>& a) {
    ScriptedUi::current().answerBoxes(a);
}

} // namespace

class tst_PestanasItem : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(kListTabsSeed); }
    void cleanupTest() override { fixture_.reset(); }

private slots:
    void loadsBothScopes() {
        ListTabsHost item(QStringLiteral("0001"));
        item.cargar();
        QCOMPARE(filas(item.info->lstInfAdItem), (QStringList{"ALL3|a|D", "SIMQ|s|S"}));
        // NOVEN has no VEN row: listed with an empty label.
        QCOMPARE(filas(item.ventajas->lstVentajas), (QStringList{"NOVEN|", "V1|Ventaja uno"}));
        QCOMPARE(filas(item.documentos->lstvDocumentos), QStringList{"LIC|L"});
        QCOMPARE(filas(item.ccpac->lstCCPAC), QStringList());
        QCOMPARE(item.liquidationChecks, 1);

        ListTabsHost global(QStringLiteral("0000"));
        global.cargar();
        QCOMPARE(filas(global.info->lstInfAdItem), QStringList{"ALL3|a|"});
        QCOMPARE(filas(global.ventajas->lstVentajas), QStringList{"V1|Ventaja uno"});
        QCOMPARE(filas(global.documentos->lstvDocumentos), QStringList{"LIC|L"});
        QCOMPARE(filas(global.ccpac->lstCCPAC), QStringList{"2|DCEXP|OLD|2"});
        QVERIFY(boxes().isEmpty());
    }

    // Every code and text box takes any text: bound, never pasted; codes trimmed, quotes in
    // complementary-information values and document references become blanks.
    void anyTextInTheBoxes_data() {
        QTest::addColumn<QString>("texto");
        QTest::newRow("quotes") << "O'Brien \"x\"";
        QTest::newRow("semicolon") << "A; DROP TABLE CPL; --";
        QTest::newRow("percent") << "100% _x";
        QTest::newRow("300 characters") << QString(300, QLatin1Char('Z'));
        QTest::newRow("non-Latin") << "Ωμέγα 漢字 ñ";
    }
    void anyTextInTheBoxes() {
        QFETCH(QString, texto);
        ListTabsHost h(QStringLiteral("0003"));
        h.cargar();
        QString sinComillas = texto;
        sinComillas.replace(QLatin1Char('\''), QLatin1Char(' '));

        h.info->txtInfAdicional->setText(QStringLiteral("  ") + texto + QStringLiteral(" "));
        h.info->txtInfAdicionalValor->setText(texto);
        enter(h.info->txtInfAdicionalValor);
        h.ventajas->txtVentajas->setText(texto);
        enter(h.ventajas->txtVentajas);
        h.documentos->txtDocumento->setText(texto);
        h.documentos->txtDocumentoValor->setText(texto);
        enter(h.documentos->txtDocumentoValor);
        h.ccpac->txtDCExpValor->setText(texto);
        h.ccpac->txtItemDocExportacion->setText(QStringLiteral("12"));
        answer({MsgResult::Ok});
        enter(h.ccpac->txtItemDocExportacion);

        QCOMPARE(boxes(), QStringList{"64|fin del proceso"});
        const QVariantList p{D, texto.trimmed()};
        QCOMPARE(
            catalogRows("SELECT MCPL FROM CPL WHERE ICPL = ? AND NART = '0003' AND CCPL = ?", p),
            QStringList{sinComillas});
        QCOMPARE(
            catalogRows("SELECT CSRG FROM SRG WHERE ISRG = ? AND NART = '0003' AND CSRG = ?", p),
            QStringList{texto.trimmed()});
        QCOMPARE(catalogRows("SELECT LDVDREFDOC FROM DVD WHERE IDVD = ? AND NART = '0003' AND "
                             "CDVDDOC = ?",
                             p),
                 QStringList{sinComillas});
        QCOMPARE(rows("SELECT MCCM, CCCMNART FROM CCM WHERE IDDT = ? AND NART = 3"),
                 QStringList{texto + QStringLiteral("|0012")});
        QCOMPARE(filas(h.info->lstInfAdItem).size(), 2);
        QVERIFY(h.info->txtInfAdicional->text().isEmpty());
        QCOMPARE(marcas().at(2), QStringLiteral("0003|I"));
    }

    // A code of blanks is no code, in either scope; nothing is written.
    void blankCodeRefused_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("box");
        const QString info = QStringLiteral(
            "48|Debe seleccionar la Información Adicional a Ingresar\n\nCorvelix.frmItemDetalle."
            "AgregarInformacionAdicional (0)::Validar");
        const QString infoGlobal = QStringLiteral(
            "0|Debe seleccionar la Información Adicional a Ingresar\n\nCorvelix.frmItemDetalle."
            "AgregarInformacionAd_ALL_ITEMS (0)::Validar");
        const QString ventaja =
            QStringLiteral("48|Debe seleccionar una Ventaja, presione F6 para ver el listado.");
        const QString doc = QStringLiteral("48|Debe seleccionar un documento");
        for (const QString& item : {QStringLiteral("0001"), QStringLiteral("0000")}) {
            const bool g = item == QLatin1String("0000");
            QTest::addRow("info %s", qPrintable(item)) << item << 0 << (g ? infoGlobal : info);
            QTest::addRow("advantage %s", qPrintable(item)) << item << 1 << ventaja;
            QTest::addRow("document %s", qPrintable(item)) << item << 2 << doc;
        }
    }
    void blankCodeRefused() {
        QFETCH(QString, item);
        QFETCH(int, tab);
        QFETCH(QString, box);
        ListTabsHost h(item);
        const QStringList before = catalogSnapshot();
        answer({MsgResult::Ok});
        if (tab == 0) {
            h.info->txtInfAdicional->setText(QStringLiteral("   "));
            h.info->txtInfAdicionalValor->setText(QStringLiteral("v"));
            enter(h.info->txtInfAdicionalValor);
        } else if (tab == 1) {
            h.ventajas->txtVentajas->setText(QStringLiteral("  "));
            enter(h.ventajas->txtVentajas);
        } else {
            h.documentos->txtDocumento->setText(QStringLiteral(" "));
            h.documentos->txtDocumentoValor->setText(QStringLiteral("r"));
            enter(h.documentos->txtDocumentoValor);
        }
        QCOMPARE(boxes(), QStringList{box});
        QCOMPARE(catalogSnapshot(), before);
    }

    void infoDuplicateKeepsBoxes() {
        ListTabsHost h(QStringLiteral("0001"));
        h.cargar();
        h.info->txtInfAdicional->setText(QStringLiteral("ALL3"));
        h.info->txtInfAdicionalValor->setText(QStringLiteral("z"));
        answer({MsgResult::Ok});
        enter(h.info->txtInfAdicionalValor);
        QCOMPARE(boxes(),
                 QStringList{"48|La información adicional ALL3 ya esta cargada para este item"});
        QCOMPARE(h.info->txtInfAdicionalValor->text(), QStringLiteral("z"));
        QCOMPARE(marcas().at(0), QStringLiteral("0001|V"));
    }

    // F6 gives a "D" code, F7 (or the button) an "S" code with the question's default answer.
    void codePicksAndMarks() {
        ListTabsHost h(QStringLiteral("0003"));
        answerLookup(QStringLiteral("PREG1"), QStringLiteral("SI"));
        QTest::keyClick(h.info->txtInfAdicional, Qt::Key_F7);
        QCOMPARE(h.info->txtInfAdicional->text(), QStringLiteral("PREG1"));
        QCOMPARE(h.info->txtInfAdicionalValor->text(), QStringLiteral("SI"));
        QCOMPARE(h.info->marca(), QStringLiteral("S"));
        enter(h.info->txtInfAdicionalValor);
        QCOMPARE(rows("SELECT MCPL, ICPLDIF FROM CPL WHERE ICPL = ? AND CCPL = 'PREG1'"),
                 QStringList{"SI|S"});
        answerLookup(QStringLiteral("MARCA"));
        QTest::keyClick(h.info->txtInfAdicional, Qt::Key_F6);
        QCOMPARE(h.info->marca(), QStringLiteral("D"));
        QTest::keyClick(h.info->txtInfAdicional, Qt::Key_Delete);
        QVERIFY(h.info->txtInfAdicional->text().isEmpty());
        QVERIFY(h.info->marca().isEmpty());
        QVERIFY(boxes().isEmpty());
    }

    // ITEM GLOBAL add of complementary information and of documents: Yes replaces the
    // picked items' values, No adds only where the code is missing.
    void infoGlobalAdd_data() {
        QTest::addColumn<bool>("documento");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("yes, all") << false << "TODO" << int(MsgResult::Yes)
                                  << QStringList{"0000|a", "0001|n", "0002|n", "0003|n"}
                                  << QStringList{"ALL3|n|"};
        QTest::newRow("no, all: every item has it")
            << false << "TODO" << int(MsgResult::No)
            << QStringList{"0000|a", "0001|a", "0002|a", "0003|a"} << QStringList{"ALL3|a|"};
        QTest::newRow("yes, picked")
            << false << "'0002'" << int(MsgResult::Yes)
            << QStringList{"0000|a", "0001|a", "0002|n", "0003|a"} << QStringList();
        QTest::newRow("document, yes, all")
            << true << "TODO" << int(MsgResult::Yes) << QStringList{"0001|n", "0002|n", "0003|n"}
            << QStringList{"LIC|n"};
        QTest::newRow("document, no, all: every item has it")
            << true << "TODO" << int(MsgResult::No) << QStringList{"0001|L", "0002|L", "0003|L"}
            << QStringList{"LIC|L"};
    }
    void infoGlobalAdd() {
        QFETCH(bool, documento);
        QFETCH(QString, picked);
        QFETCH(int, answer);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, listed);
        ListTabsHost h(QStringLiteral("0000"));
        h.cargar();
        QLineEdit* codigo = documento ? h.documentos->txtDocumento : h.info->txtInfAdicional;
        QLineEdit* valor =
            documento ? h.documentos->txtDocumentoValor : h.info->txtInfAdicionalValor;
        codigo->setText(documento ? QStringLiteral("LIC") : QStringLiteral("ALL3"));
        valor->setText(QStringLiteral("n"));
        answerItemPicker(picked);
        ::answer({MsgResult(answer), MsgResult::Ok});
        enter(valor);
        const QString pregunta =
            documento ? QStringLiteral("¿Desea agregar el documento LIC = n en los items?")
                      : QStringLiteral("¿Desea establecer la informacion adicional ALL3 = n en "
                                       "los items?");
        QCOMPARE(ScriptedUi::current().boxes.first().text,
                 pregunta +
                     QStringLiteral("\r\n\r\nSi selecciona:\r\n[SI] Se establecerá este "
                                    "valor en los items, se perderá los valores "
                                    "existentes\r\n[NO] Solo se establecerá este valor en "
                                    "los items que NO tengan cargado ") +
                     (documento ? QStringLiteral("LIC") : QStringLiteral("ALL3")));
        QCOMPARE(ScriptedUi::current().boxes.first().title, QStringLiteral("Confirmación"));
        QCOMPARE(ScriptedUi::current().boxes.first().defaultButton, corvelix::MsgDefault::Third);
        QCOMPARE(boxes().last(), QStringLiteral("64|fin del proceso"));
        QCOMPARE(rows(documento ? QStringLiteral("SELECT NART, LDVDREFDOC FROM DVD WHERE IDVD = ? "
                                                 "AND CDVDDOC = 'LIC' ORDER BY NART")
                                : QStringLiteral("SELECT NART, MCPL FROM CPL WHERE ICPL = ? AND "
                                                 "CCPL = 'ALL3' ORDER BY NART")),
                 stored);
        QCOMPARE(filas(documento ? h.documentos->lstvDocumentos : h.info->lstInfAdItem), listed);
    }

    // ITEM GLOBAL delete of a document: Yes takes it from every item, No leaves all as it was.
    void documentGlobalDelete_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("yes") << int(MsgResult::Yes) << QStringList() << QStringList();
        QTest::newRow("no") << int(MsgResult::No) << QStringList{"0001", "0002", "0003"}
                            << QStringList{"LIC|L"};
    }
    void documentGlobalDelete() {
        QFETCH(int, answer);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, listed);
        ListTabsHost h(QStringLiteral("0000"));
        h.cargar();
        const QStringList marksBefore = marcas();
        seleccionar(h.documentos->lstvDocumentos, 0);
        ::answer({MsgResult(answer)});
        QTest::keyClick(h.documentos->lstvDocumentos, Qt::Key_Delete);
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        QCOMPARE(ScriptedUi::current().boxes.first().text,
                 QStringLiteral("¿Confirma eliminar el documento LIC en los items?\r\n\r\n"
                                "Advertencia: Estas eliminando desde ITEM GLOBAL\r\n"
                                "Seleccionando [SI] se eliminará LIC en los items del despacho."));
        QCOMPARE(ScriptedUi::current().boxes.first().defaultButton, corvelix::MsgDefault::Second);
        QCOMPARE(rows("SELECT NART FROM DVD WHERE IDVD = ? AND CDVDDOC = 'LIC' ORDER BY NART"),
                 stored);
        QCOMPARE(filas(h.documentos->lstvDocumentos), listed);
        QCOMPARE(marcas(), marksBefore);
    }

    // A one-item write and the item's mark go together: a failing mark leaves the catalog as
    // it was and is reported.
    void oneItemWriteAndMarkTogether_data() {
        QTest::addColumn<int>("accion");
        QTest::newRow("information add") << 0;
        QTest::newRow("advantage add") << 1;
        QTest::newRow("advantage delete") << 2;
        QTest::newRow("document add") << 3;
    }
    void oneItemWriteAndMarkTogether() {
        QFETCH(int, accion);
        modDA::execSQL(modDA::kCatalog,
                       testSql("CREATE TRIGGER f BEFORE UPDATE OF CARTETA ON ART BEGIN "
                               "SELECT RAISE(ABORT, 'injected'); END"));
        ListTabsHost h(QStringLiteral("0001"));
        h.cargar();
        const QStringList before = catalogSnapshot();
        if (accion == 0) {
            h.info->txtInfAdicional->setText(QStringLiteral("NEW"));
            h.info->txtInfAdicionalValor->setText(QStringLiteral("n"));
            answer({MsgResult::Ok});
            enter(h.info->txtInfAdicionalValor);
        } else if (accion == 1) {
            h.ventajas->txtVentajas->setText(QStringLiteral("NEW"));
            answer({MsgResult::Ok});
            enter(h.ventajas->txtVentajas);
        } else if (accion == 2) {
            seleccionar(h.ventajas->lstVentajas, 0);
            answer({MsgResult::Yes, MsgResult::Ok});
            QTest::keyClick(h.ventajas->lstVentajas, Qt::Key_Delete);
        } else {
            h.documentos->txtDocumento->setText(QStringLiteral("LIC2"));
            h.documentos->txtDocumentoValor->setText(QStringLiteral("n"));
            answer({MsgResult::Ok});
            enter(h.documentos->txtDocumentoValor);
        }
        QVERIFY2(boxes().last().contains(QStringLiteral("injected")), qPrintable(boxes().last()));
        QCOMPARE(catalogSnapshot(), before);
    }

    void globalAddCancelledOrNotPicked() {
        ListTabsHost h(QStringLiteral("0000"));
        const QStringList before = catalogSnapshot();
        h.info->txtInfAdicional->setText(QStringLiteral("X"));
        h.info->txtInfAdicionalValor->setText(QStringLiteral("n"));
        answerItemPicker(QString());
        answer({MsgResult::Ok});
        enter(h.info->txtInfAdicionalValor);
        answerItemPicker(QStringLiteral("TODO"));
        answer({MsgResult::Cancel});
        enter(h.info->txtInfAdicionalValor);
        QCOMPARE(boxes().first(), QStringLiteral("48|Debe seleccionar como minimo un item"));
        QCOMPARE(boxes().size(), 2);
        QCOMPARE(catalogSnapshot(), before);
        QCOMPARE(h.info->txtInfAdicional->text(), QStringLiteral("X"));
    }

    // A bulk add failing part-way: the catalog as it was, the error shown, the tab reloaded.
    void globalAddFailureLeavesCatalogAndReloads_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("info") << 0;
        QTest::newRow("advantage") << 1;
        QTest::newRow("document") << 2;
        QTest::newRow("ccpac") << 3;
    }
    void globalAddFailureLeavesCatalogAndReloads() {
        QFETCH(int, tab);
        const char* tablas[] = {"CPL", "SRG", "DVD", "CCM"};
        const QString nart = tab == 3 ? QStringLiteral("3") : QStringLiteral("'0003'");
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("CREATE TRIGGER f BEFORE INSERT ON ") +
                               QLatin1String(tablas[tab]) + QStringLiteral(" WHEN NEW.NART = ") +
                               nart +
                               QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'injected'); END")));
        ListTabsHost h(QStringLiteral("0000"));
        h.cargar();
        const QStringList before = catalogSnapshot();
        QTreeWidget* lista = nullptr;
        if (tab == 0) {
            lista = h.info->lstInfAdItem;
            lista->clear();
            h.info->txtInfAdicional->setText(QStringLiteral("NEW"));
            h.info->txtInfAdicionalValor->setText(QStringLiteral("n"));
            answerItemPicker(QStringLiteral("TODO"));
            answer({MsgResult::Yes, MsgResult::Ok});
            enter(h.info->txtInfAdicionalValor);
        } else if (tab == 1) {
            lista = h.ventajas->lstVentajas;
            lista->clear();
            h.ventajas->txtVentajas->setText(QStringLiteral("NEW"));
            answerItemPicker(QStringLiteral("TODO"));
            answer({MsgResult::Yes, MsgResult::Ok});
            enter(h.ventajas->txtVentajas);
        } else if (tab == 2) {
            lista = h.documentos->lstvDocumentos;
            lista->clear();
            h.documentos->txtDocumento->setText(QStringLiteral("LIC"));
            h.documentos->txtDocumentoValor->setText(QStringLiteral("n"));
            answerItemPicker(QStringLiteral("TODO"));
            answer({MsgResult::Yes, MsgResult::Ok});
            enter(h.documentos->txtDocumentoValor);
        } else {
            lista = h.ccpac->lstCCPAC;
            lista->clear();
            h.ccpac->txtDCExpValor->setText(QStringLiteral("NEW"));
            answer({MsgResult::Yes, MsgResult::Ok});
            enter(h.ccpac->txtItemDocExportacion);
        }
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY2(boxes().last().contains(QStringLiteral("injected")), qPrintable(boxes().last()));
        QCOMPARE(lista->topLevelItemCount(), 1); // reloaded from the catalog
        QVERIFY(!ScriptedUi::current().busy);
    }

    // Delete and Enter on a list with rows but none selected do nothing; an empty one neither.
    void listKeysWithoutSelection_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("item") << "0001";
        QTest::newRow("global") << "0000";
    }
    void listKeysWithoutSelection() {
        QFETCH(QString, item);
        ListTabsHost h(item);
        h.cargar();
        if (item == QLatin1String("0001"))
            new QTreeWidgetItem(h.ccpac->lstCCPAC, {"1", "DCEXP", "X", "1"});
        const QStringList before = catalogSnapshot();
        for (QTreeWidget* l : {h.info->lstInfAdItem, h.ventajas->lstVentajas,
                               h.documentos->lstvDocumentos, h.ccpac->lstCCPAC}) {
            QVERIFY(l->topLevelItemCount() > 0);
            l->clearSelection();
            QTest::keyClick(l, Qt::Key_Delete);
            QTest::keyClick(l, Qt::Key_Return);
        }
        QVERIFY(boxes().isEmpty());
        QCOMPARE(catalogSnapshot(), before);
    }

    void deleteOnOneItem() {
        ListTabsHost h(QStringLiteral("0001"));
        h.cargar();
        seleccionar(h.info->lstInfAdItem, 1);
        seleccionar(h.ventajas->lstVentajas, 0);
        seleccionar(h.documentos->lstvDocumentos, 0);
        answer({MsgResult::Yes, MsgResult::Yes, MsgResult::Yes});
        QTest::keyClick(h.info->lstInfAdItem, Qt::Key_Delete);
        QTest::keyClick(h.ventajas->lstVentajas, Qt::Key_Delete);
        QTest::keyClick(h.documentos->lstvDocumentos, Qt::Key_Delete);
        QCOMPARE(boxes(),
                 (QStringList{"32|Confirma eliminar SIMQ", "32|Confirma eliminar la ventaja NOVEN",
                              "32|Confirma eliminar el documento LIC"}));
        QCOMPARE(filas(h.info->lstInfAdItem), QStringList{"ALL3|a|D"});
        QCOMPARE(filas(h.ventajas->lstVentajas), QStringList{"V1|Ventaja uno"});
        QCOMPARE(filas(h.documentos->lstvDocumentos), QStringList());
        QCOMPARE(rows("SELECT NART, CSRG FROM SRG WHERE ISRG = ? AND NART = '0001'"),
                 QStringList{"0001|V1"});
        // Only the advantage delete marks the item, and re-checks the liquidation tab (once
        // after the load's own check).
        QCOMPARE(marcas().at(0), QStringLiteral("0001|I"));
        QCOMPARE(h.liquidationChecks, 2);
    }

    void deleteFromItemGlobal() {
        modDA::execSQL(modDA::kCatalog, testSql("INSERT INTO SRG (ISRG, NART, CSRG) VALUES "
                                                "('26001IC04000123A', '0000', 'V1')"));
        ListTabsHost h(QStringLiteral("0000"));
        h.cargar();
        answer({MsgResult::Yes, MsgResult::Yes, MsgResult::No});
        // The complementary-information delete reloads the whole view: select each in turn.
        seleccionar(h.info->lstInfAdItem, 0);
        QTest::keyClick(h.info->lstInfAdItem, Qt::Key_Delete);
        seleccionar(h.ventajas->lstVentajas, 0);
        QTest::keyClick(h.ventajas->lstVentajas, Qt::Key_Delete);
        seleccionar(h.documentos->lstvDocumentos, 0);
        QTest::keyClick(h.documentos->lstvDocumentos, Qt::Key_Delete);
        const auto& b = ScriptedUi::current().boxes;
        QCOMPARE(b.at(1).text, QStringLiteral("¿Confirma eliminar la ventaja V1 en los "
                                              "items?\r\n\r\nAdvertencia: Estas eliminando desde "
                                              "ITEM GLOBAL\r\nSeleccionando [SI] se eliminará V1 "
                                              "en los items del despacho."));
        QCOMPARE(b.at(1).defaultButton, corvelix::MsgDefault::Second);
        QCOMPARE(b.at(0).defaultButton, corvelix::MsgDefault::Third);
        QCOMPARE(h.globalReloads, 1);
        QCOMPARE(rows("SELECT NART FROM CPL WHERE ICPL = ? AND CCPL = 'ALL3'"),
                 QStringList{"0000"});
        QCOMPARE(rows("SELECT NART FROM SRG WHERE ISRG = ? AND CSRG = 'V1'"), QStringList{"0000"});
        QCOMPARE(rows("SELECT COUNT(*) FROM DVD WHERE IDVD = ?"), QStringList{"3"});
        QCOMPARE(marcas().at(0), QStringLiteral("0001|V"));
    }

    void editValue_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("D row, upper-cased") << 0 << "nuevo valor"
                                            << "NUEVO VALOR";
        QTest::newRow("blank answer changes nothing") << 0 << "   "
                                                      << "a";
        QTest::newRow("cut to what is kept")
            << 0 << QString(25, QLatin1Char('q')) << QString(20, QLatin1Char('Q'));
    }
    void editValue() {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        ListTabsHost h(QStringLiteral("0001"));
        h.cargar();
        ScriptedUi::current().onForm(QStringLiteral("frmInputText"), [typed](QDialog& d) {
            auto& frm = static_cast<frmInputText&>(d);
            QCOMPARE(frm.m_Texto, QStringLiteral("Valor de ALL3"));
            d.findChild<QLineEdit*>(QStringLiteral("txtValor"))->setText(typed);
            d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        });
        seleccionar(h.info->lstInfAdItem, row);
        enter(h.info->lstInfAdItem);
        QCOMPARE(h.info->lstInfAdItem->topLevelItem(row)->text(1), shown);
        QCOMPARE(rows("SELECT MCPL FROM CPL WHERE ICPL = ? AND NART = '0001' AND CCPL = 'ALL3'"),
                 QStringList{shown});
    }

    // An "S" row outside the editable codes is not offered for editing.
    void simRowNotEditable() {
        QVERIFY(!PestanaInfoAdicional::InfoAdHabilitados("S", "SIMQ"));
        QVERIFY(PestanaInfoAdicional::InfoAdHabilitados("S", "X-ONCCA-1"));
        QVERIFY(PestanaInfoAdicional::InfoAdHabilitados("S", "RES90/17-OPC"));
        QVERIFY(PestanaInfoAdicional::InfoAdHabilitados("D", "ANY"));
        ListTabsHost h(QStringLiteral("0001"));
        h.cargar();
        seleccionar(h.info->lstInfAdItem, 1);
        enter(h.info->lstInfAdItem);
        QVERIFY(ScriptedUi::current().shownForms.isEmpty());
    }

    void advantageGlobalAddAndVaciar() {
        ListTabsHost h(QStringLiteral("0000"));
        h.cargar();
        h.ventajas->txtVentajas->setText(QStringLiteral(" V9 "));
        answerItemPicker(QStringLiteral("'0001','0003'"));
        answer({MsgResult::Yes, MsgResult::Ok});
        enter(h.ventajas->txtVentajas);
        QCOMPARE(boxes(), (QStringList{"32|¿Desea agregar la ventaja V9 en los items?\r\n\r\n",
                                       "64|fin del proceso"}));
        QCOMPARE(rows("SELECT NART FROM SRG WHERE ISRG = ? AND CSRG = 'V9' ORDER BY NART"),
                 (QStringList{"0001", "0003"}));
        QCOMPARE(marcas(), (QStringList{"0001|I", "0002|V", "0003|I"}));

        ScriptedUi::current().boxes.clear();
        answerItemPicker(QStringLiteral("TODO"));
        answer({MsgResult::Yes});
        h.ventajas->cmdVaciarVentajas->click();
        QCOMPARE(rows("SELECT COUNT(*) FROM SRG WHERE ISRG = ?"), QStringList{"0"});
        QCOMPARE(h.ventajas->lstVentajas->topLevelItemCount(), 0);
        QVERIFY(!ScriptedUi::current().busy);
    }

    void ccpacOneItem() {
        ListTabsHost h(QStringLiteral("0001"));
        h.cargar();
        h.ccpac->txtDCExpValor->setText(QStringLiteral("C-1"));
        answer({MsgResult::Yes, MsgResult::Ok});
        enter(h.ccpac->txtItemDocExportacion);
        QCOMPARE(h.ccpac->txtItemDocExportacion->text(), QStringLiteral("0001"));
        QCOMPARE(filas(h.ccpac->lstCCPAC), QStringList{"1|DCEXP|C-1|0001"});
        // A second one is refused; "fin del proceso" all the same.
        answer({MsgResult::Ok, MsgResult::Ok});
        enter(h.ccpac->txtItemDocExportacion);
        QCOMPARE(boxes().mid(2), (QStringList{"48|El CCPAC ya esta cargado para el item 0001",
                                              "64|fin del proceso"}));
        seleccionar(h.ccpac->lstCCPAC, 0);
        answer({MsgResult::Yes});
        QTest::keyClick(h.ccpac->lstCCPAC, Qt::Key_Delete);
        QCOMPARE(boxes().last(),
                 QStringLiteral("32|Confirma eliminar el CCPAC del item 0001 con valor C-1 ?"));
        QCOMPARE(filas(h.ccpac->lstCCPAC), QStringList());
        QCOMPARE(marcas().at(0), QStringLiteral("0001|V"));
    }

    // Emptying that fails is reported and changes nothing.
    void ccpacVaciarFailureReported() {
        modDA::execSQL(modDA::kCatalog, testSql("CREATE TRIGGER f BEFORE DELETE ON CCM BEGIN "
                                                "SELECT RAISE(ABORT, 'injected'); END"));
        ListTabsHost h(QStringLiteral("0000"));
        h.cargar();
        answer({MsgResult::Yes, MsgResult::Ok});
        h.ccpac->cmdVaciarCCPAC->click();
        QCOMPARE(ScriptedUi::current().boxes.first().icon, corvelix::MsgIcon::Exclamation);
        QCOMPARE(ScriptedUi::current().boxes.first().defaultButton, corvelix::MsgDefault::Second);
        QVERIFY(boxes().last().startsWith(
            QStringLiteral("0|injected\n\nCorvelix.frmItemDetalle.cmdVaciarCCPAC_Click (0)::")));
        QCOMPARE(filas(h.ccpac->lstCCPAC), QStringList{"2|DCEXP|OLD|2"});
        QVERIFY(!ScriptedUi::current().busy);
    }
};

CORVELIX_TEST(tst_PestanasItem)
#include "tst_PestanasItem.moc"
