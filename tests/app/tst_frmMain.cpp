#include "app/frmMain.h"
#include "app/mainModule.h"
#include "data/modDA.h"
#include "platform/Settings.h"
#include "runtime/VbError.h"
#include "shell/main_documentos.h"
#include "support/CatalogFixture.h"
#include "support/EventWait.h"
#include "support/FormUnderFailure.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include "version.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::EventCounter;
using corvelix::test::runQueuedWork;
using corvelix::test::ScriptedUi;

namespace {

// Numbers sort as texts, highest first: SIRA, SIMI, SEDI, then 07G, 05E, 01A, 06F.
const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, DDDTOFICIA) VALUES
 ('24010IC04000001A', 'REF 01', 'Importadora Sur', 'Proveedor Uno', 1234.5, '2024-03-15 00:00:00'),
 ('24010SIMI000002B', 'O BRIEN', 'Importadora Sur', 'Proveedor Dos', 20, '2024-03-16 00:00:00'),
 ('24010SIRA000003C', 'SIRA ref', 'Importadora Norte', 'Proveedor Tres', 100, '2024-03-17 00:00:00'),
 ('24010SEDI000004D', 'SEDI ref', 'Importadora Norte', 'Proveedor Tres', 100, '2024-03-18 00:00:00'),
 ('24010IC04000005E', 'SIN FOB', NULL, NULL, NULL, NULL),
 ('24010EC01000006F', 'CHICO', 'Exportadora Oeste', 'Comprador Uno', 5.5, '2024-03-20 14:30:00'),
 ('24010IC04000007G', 'X Y', 'Importadora Sur', 'Proveedor Uno', 0.004, '2024-03-21 00:00:00');
)sql");

QTreeWidget& lista(frmMain& frm) {
    return *frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
}

QStringList numeros(frmMain& frm) {
    QStringList result;
    QTreeWidget& list = lista(frm);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        result << list.topLevelItem(i)->text(0);
    return result;
}

QString captionEsperado() {
    return QStringLiteral("CORVELIX - Version %1.%2.%3 - Generado %4")
        .arg(build::versionMajor)
        .arg(build::versionMinor)
        .arg(build::versionRevision)
        .arg(QLatin1String(build::buildDate));
}

void activar(QWidget& w) {
    w.activateWindow();
    QTRY_VERIFY(w.isActiveWindow());
}

void soltarBoton(QWidget& target, Qt::MouseButton button) {
    const QPointF pos(5, 5);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, target.mapToGlobal(pos), button,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &release);
}

// What the platform sends for a right click.
void pedirMenuContextual(QWidget& target) {
    const QPoint pos(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target.mapToGlobal(pos));
    QCoreApplication::sendEvent(&target, &event);
}

} // namespace

class tst_frmMain : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void designState() {
        frmMain frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("CORVELIX"));
        QCOMPARE(frm.font().family(), QStringLiteral("Verdana"));

        // Design order is the tab order.
        const QStringList design{QStringLiteral("cmdExportarProvisorio"),
                                 QStringLiteral("cmdBultos"),
                                 QStringLiteral("cmdRatificacion"),
                                 QStringLiteral("cmdMasOpciones"),
                                 QStringLiteral("cmdConvertRET_2_TXT"),
                                 QStringLiteral("chkMostrarSIMI"),
                                 QStringLiteral("lstDespachos"),
                                 QStringLiteral("cmdBuscar"),
                                 QStringLiteral("txtDespacho"),
                                 QStringLiteral("imgLogo"),
                                 QStringLiteral("lbTitulo"),
                                 QStringLiteral("Shape")};
        QStringList chain;
        for (QWidget* w = frm.nextInFocusChain(); w != &frm; w = w->nextInFocusChain())
            if (design.contains(w->objectName()))
                chain << w->objectName();
        QCOMPARE(chain, design);

        const QList<QPair<QString, QString>> captions{
            {QStringLiteral("cmdExportarProvisorio"),
             QStringLiteral("Copiar provisorio a otra PC")},
            {QStringLiteral("cmdBultos"), QStringLiteral("Alerta SubCuenta Maria")},
            {QStringLiteral("cmdRatificacion"), QStringLiteral("Ratificar desp")},
            {QStringLiteral("cmdMasOpciones"), QStringLiteral("Compartir token ARCA")},
            {QStringLiteral("cmdConvertRET_2_TXT"), QStringLiteral("Convertir RET a TXT")},
            {QStringLiteral("cmdBuscar"), QStringLiteral("Buscar")}};
        for (const auto& [name, caption] : captions)
            QCOMPARE(frm.findChild<QPushButton*>(name)->text(), caption);
        auto* chk = frm.findChild<QCheckBox*>(QStringLiteral("chkMostrarSIMI"));
        QCOMPARE(chk->text(), QStringLiteral("Mostrar SIMI"));
        QCOMPARE(chk->checkState(), Qt::Unchecked);
        QVERIFY(frm.findChild<QLineEdit*>(QStringLiteral("txtDespacho"))->text().isEmpty());
        QCOMPARE(frm.findChild<QLabel*>(QStringLiteral("lbTitulo"))->text(),
                 QStringLiteral("CORVELIX"));

        QTreeWidget& list = lista(frm);
        QCOMPARE(list.topLevelItemCount(), 0);
        const QStringList headers{
            QStringLiteral("Despacho"), QStringLiteral("Referencia"),
            QStringLiteral("ImpoExpo"), QStringLiteral("Vendedor / Comprador"),
            QStringLiteral("Fob"),      QStringLiteral("Fecha")};
        QCOMPARE(list.columnCount(), headers.size());
        for (int i = 0; i < headers.size(); ++i) {
            QCOMPARE(list.headerItem()->text(i), headers[i]);
            const Qt::Alignment expected = i == 4 ? Qt::AlignRight : Qt::AlignLeft;
            QCOMPARE(Qt::Alignment(list.headerItem()->textAlignment(i)) & Qt::AlignHorizontal_Mask,
                     expected);
        }
    }

    void contextMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("Archivo") << QStringLiteral("mnuArchivo")
                                 << QStringList{QStringLiteral("mnuCaratula"),
                                                QStringLiteral("mnuCopiarOperacion"),
                                                QStringLiteral("mnuCargarLiquidaciones"),
                                                QStringLiteral("mnuExportarATXT"),
                                                QStringLiteral("mnuItem"),
                                                QStringLiteral("mnuSIMIFIX4"),
                                                QStringLiteral("mnuprorratearIDA4"),
                                                QStringLiteral("mnuCargarCancelaciones"),
                                                QStringLiteral("mnuExportarExcelLgy"),
                                                QStringLiteral("mnuExportarExcel")}
                                 << QStringList{
                                        QStringLiteral("Caratula"),
                                        QStringLiteral("Copiar Operacion"),
                                        QStringLiteral("Cargar Liquidaciones (AUTOLIQUIDACION)"),
                                        QStringLiteral("Exportar a TXT"),
                                        QStringLiteral("ver Item's"),
                                        QStringLiteral("SIMI FIX"),
                                        QStringLiteral("Generar Descarga / Cancelaciones"),
                                        QStringLiteral("Cargar Cancelaciones"),
                                        QStringLiteral("Exportar a Excel v1"),
                                        QStringLiteral("Exportar a Excel v2")};
        QTest::newRow("Actualizacion") << QStringLiteral("mnuActualizacion")
                                       << QStringList{QStringLiteral("mnuComprobarActualizacion")}
                                       << QStringList{QStringLiteral("Comprobar Actualizacion")};
    }

    void contextMenus() {
        QFETCH(QString, menu);
        QFETCH(QStringList, names);
        QFETCH(QStringList, captions);
        // Not shown: a shown window would start the program's work outside a test catalog.
        frmMain frm;
        auto* popup = frm.findChild<QMenu*>(menu);
        QVERIFY(popup != nullptr);
        QStringList shownNames;
        QStringList shownCaptions;
        for (QAction* action : popup->actions()) {
            shownNames << action->objectName();
            shownCaptions << action->text();
            // Every entry of the menu leads to a built operation.
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        }
        QCOMPARE(shownNames, names);
        QCOMPARE(shownCaptions, captions);

        // Shown on the platform's request for a context menu, over the list (even empty) or
        // over the logo; a left click opens nothing.
        QWidget* over = menu == QLatin1String("mnuArchivo")
                            ? lista(frm).viewport()
                            : frm.findChild<QLabel*>(QStringLiteral("imgLogo"));
        soltarBoton(*over, Qt::LeftButton);
        QVERIFY(!popup->isVisible());
        pedirMenuContextual(*over);
        QTRY_VERIFY(popup->isVisible());
        popup->close();
    }

    // The start-up work runs once per process; one that failed runs again at the next
    // activation, but closing a message box is no activation.
    void firstActivation() {
        auto& seam = ScriptedUi::current();
        CatalogFixture catalog(kSeed);
        // A catalog without the object list the procedure check reads.
        const QString objectList =
            modDA::getRs(modDA::kCatalog, "SELECT sql FROM sqlite_master WHERE name = ?",
                         {"sysobjects"})
                .text(QStringLiteral("sql"));
        QVERIFY(!objectList.isEmpty());
        modDA::execSQL(modDA::kCatalog, "DROP VIEW sysobjects");

        seam.answerBoxes({MsgResult::Ok});
        frmMain frm;
        frm.show();
        QTRY_COMPARE(seam.boxes.size(), 1);
        const auto box = seam.boxes[0];
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(box.icon, MsgIcon::None);
        QVERIFY2(box.text.section(QStringLiteral("\n\n"), 1)
                     .startsWith(QStringLiteral(
                         "Corvelix.frmMain.Form_Activate (0)::Corvelix.modDA.updateStore (0)::")),
                 qPrintable(box.text));
        QVERIFY(!box.text.section(QStringLiteral("\n\n"), 0, 0).isEmpty());
        QVERIFY(!frmMain::firstActivationDone());
        QCOMPARE(frm.windowTitle(), QStringLiteral("CORVELIX"));
        QCOMPARE(lista(frm).topLevelItemCount(), 0);

        // Back from a box: the window saw its activation, and what that queued has run.
        EventCounter activations(frm, QEvent::ActivationChange);
        QMessageBox messageBox;
        messageBox.show();
        activar(messageBox);
        messageBox.close();
        int seen = activations.count();
        activar(frm);
        QVERIFY(activations.count() > seen);
        QVERIFY(runQueuedWork());
        QCOMPARE(seam.boxes.size(), 1);

        // Back from another form: the work runs again, now on a catalog that works.
        modDA::execSQL(modDA::kCatalog, testSql(objectList));
        QDialog otherForm;
        otherForm.show();
        activar(otherForm);
        otherForm.close();
        activar(frm);
        QTRY_VERIFY(frmMain::firstActivationDone());
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(frm.windowTitle(), captionEsperado());
        QCOMPARE(
            numeros(frm),
            (QStringList{QStringLiteral("24010IC04000007G"), QStringLiteral("24010IC04000005E"),
                         QStringLiteral("24010IC04000001A"), QStringLiteral("24010EC01000006F")}));
        QCOMPARE(frm.focusWidget(), &lista(frm));

        // Done for the process: later activations change nothing.
        lista(frm).clear();
        otherForm.show();
        activar(otherForm);
        otherForm.close();
        seen = activations.count();
        activar(frm);
        QVERIFY(activations.count() > seen);
        QVERIFY(runQueuedWork());
        QCOMPARE(lista(frm).topLevelItemCount(), 0);
    }

    // A window loaded again (after the SIMI menu) loads its own list, without the start-up
    // checks of the process.
    void reloadedWindow() {
        CatalogFixture catalog(kSeed);
        if (!frmMain::firstActivationDone()) {
            frmMain first;
            first.show();
            QTRY_VERIFY(frmMain::firstActivationDone());
        }
        auto& seam = ScriptedUi::current();
        seam.reset();
        frmMain frm;
        frm.show();
        QCoreApplication::processEvents();
        QCOMPARE(frm.windowTitle(), captionEsperado());
        QCOMPARE(lista(frm).topLevelItemCount(), 4);
        QVERIFY(seam.boxes.isEmpty());
    }

    void search_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("mostrarSIMI");
        QTest::addColumn<QStringList>("expected");
        const QString simi = QStringLiteral("24010SIMI000002B");
        const QString sira = QStringLiteral("24010SIRA000003C");
        const QString sedi = QStringLiteral("24010SEDI000004D");
        const QStringList others{
            QStringLiteral("24010IC04000007G"), QStringLiteral("24010IC04000005E"),
            QStringLiteral("24010IC04000001A"), QStringLiteral("24010EC01000006F")};
        QTest::newRow("empty") << QString() << false << others;
        QTest::newRow("empty, SIMI shown")
            << QString() << true << (QStringList{sira, simi, sedi} + others);
        QTest::newRow("digits") << QStringLiteral("000") << false << others;
        QTest::newRow("quote becomes a blank")
            << QStringLiteral("o'brien") << true << QStringList{simi};
        QTest::newRow("quote, SIMI hidden") << QStringLiteral("o'brien") << false << QStringList{};
        QTest::newRow("semicolon becomes a blank")
            << QStringLiteral("x;y") << false << QStringList{QStringLiteral("24010IC04000007G")};
        QTest::newRow("leading blank kept")
            << QStringLiteral(" ref") << true << QStringList{sira, sedi};
        QTest::newRow("trailing blank kept")
            << QStringLiteral("ref ") << true << QStringList{QStringLiteral("24010IC04000001A")};
        QTest::newRow("number part")
            << QStringLiteral("EC01") << true << QStringList{QStringLiteral("24010EC01000006F")};
    }

    void search() {
        QFETCH(QString, typed);
        QFETCH(bool, mostrarSIMI);
        QFETCH(QStringList, expected);
        CatalogFixture catalog(kSeed);
        frmMain frm;
        frm.findChild<QCheckBox*>(QStringLiteral("chkMostrarSIMI"))->setChecked(mostrarSIMI);
        frm.findChild<QLineEdit*>(QStringLiteral("txtDespacho"))->setText(typed);
        frm.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        QCOMPARE(numeros(frm), expected);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // "Caratula" opens the header editor on the selected declaration; on an empty list it
    // does nothing.
    void caratulaEntry() {
        CatalogFixture catalog(kSeed);
        frmMain frm;
        QAction* entry = frm.findChild<QMenu*>(QStringLiteral("mnuArchivo"))
                             ->findChild<QAction*>(QStringLiteral("mnuCaratula"));
        entry->trigger();
        QVERIFY(ScriptedUi::current().shownForms.isEmpty());

        frm.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        lista(frm).setCurrentItem(lista(frm).topLevelItem(1));
        QString shownReference;
        ScriptedUi::current().onForm(QStringLiteral("frmCaratula"), [&](QDialog& dialog) {
            shownReference =
                dialog.findChild<QLineEdit*>(QStringLiteral("txtIdentificadorPropio"))->text();
        });
        entry->trigger();
        QCOMPARE(ScriptedUi::current().shownForms, QStringList{QStringLiteral("frmCaratula")});
        QCOMPARE(shownReference, QStringLiteral("SIN FOB"));
    }

    void searchTriggers() {
        CatalogFixture catalog(kSeed);
        frmMain frm;
        auto* text = frm.findChild<QLineEdit*>(QStringLiteral("txtDespacho"));
        auto* chk = frm.findChild<QCheckBox*>(QStringLiteral("chkMostrarSIMI"));
        text->setText(QStringLiteral("ref"));
        QTest::keyClick(text, Qt::Key_A);
        QCOMPARE(lista(frm).topLevelItemCount(), 0); // other keys only edit the text
        QTest::keyClick(text, Qt::Key_Backspace);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(numeros(frm), QStringList{QStringLiteral("24010IC04000001A")});
        chk->click();
        QCOMPARE(numeros(frm).size(), 3);
        chk->click();
        QCOMPARE(numeros(frm), QStringList{QStringLiteral("24010IC04000001A")});
    }

    void rowCells_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("iddt");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("fob below ten")
            << QStringLiteral("es_AR") << QStringLiteral("24010EC01000006F")
            << QStringList{QStringLiteral("24010EC01000006F"),
                           QStringLiteral("CHICO"),
                           QStringLiteral("Exportadora Oeste"),
                           QStringLiteral("Comprador Uno"),
                           QStringLiteral("05,50"),
                           QStringLiteral("20/03/2024 14:30:00")};
        QTest::newRow("fob below ten, en_US")
            << QStringLiteral("en_US") << QStringLiteral("24010EC01000006F")
            << QStringList{QStringLiteral("24010EC01000006F"),
                           QStringLiteral("CHICO"),
                           QStringLiteral("Exportadora Oeste"),
                           QStringLiteral("Comprador Uno"),
                           QStringLiteral("05.50"),
                           QStringLiteral("03/20/2024 14:30:00")};
        QTest::newRow("no grouping")
            << QStringLiteral("es_AR") << QStringLiteral("24010IC04000001A")
            << QStringList{QStringLiteral("24010IC04000001A"), QStringLiteral("REF 01"),
                           QStringLiteral("Importadora Sur"),  QStringLiteral("Proveedor Uno"),
                           QStringLiteral("1234,50"),          QStringLiteral("15/03/2024")};
        QTest::newRow("nulls are empty cells")
            << QStringLiteral("es_AR") << QStringLiteral("24010IC04000005E")
            << QStringList{QStringLiteral("24010IC04000005E"),
                           QStringLiteral("SIN FOB"),
                           QString(),
                           QString(),
                           QString(),
                           QString()};
        QTest::newRow("tiny fob") << QStringLiteral("es_AR") << QStringLiteral("24010IC04000007G")
                                  << QStringList{QStringLiteral("24010IC04000007G"),
                                                 QStringLiteral("X Y"),
                                                 QStringLiteral("Importadora Sur"),
                                                 QStringLiteral("Proveedor Uno"),
                                                 QStringLiteral("00,00"),
                                                 QStringLiteral("21/03/2024")};
    }

    void rowCells() {
        QFETCH(QString, locale);
        QFETCH(QString, iddt);
        QFETCH(QStringList, cells);
        CatalogFixture catalog(kSeed);
        QLocale::setDefault(QLocale(locale));
        const auto restore =
            qScopeGuard([] { QLocale::setDefault(QLocale(QStringLiteral("es_AR"))); });
        frmMain frm;
        frm.cargarGrilla(iddt);
        QTreeWidget& list = lista(frm);
        QCOMPARE(list.topLevelItemCount(), 1);
        QTreeWidgetItem* row = list.topLevelItem(0);
        QStringList shown;
        for (int i = 0; i < list.columnCount(); ++i)
            shown << row->text(i);
        QCOMPARE(shown, cells);
        QCOMPARE(Qt::Alignment(row->textAlignment(4)) & Qt::AlignHorizontal_Mask,
                 Qt::Alignment(Qt::AlignRight));
    }

    void columnsFitContentAndHeader() {
        CatalogFixture catalog(kSeed);
        frmMain frm;
        frm.show();
        frm.cargarGrilla(QString());
        QTreeWidget& list = lista(frm);
        const QFontMetrics metrics(list.font());
        // "Vendedor / Comprador" is wider than any seller; "Despacho" narrower than the numbers.
        QVERIFY(list.columnWidth(3) >= list.header()->fontMetrics().horizontalAdvance(
                                           QStringLiteral("Vendedor / Comprador")));
        QVERIFY(list.columnWidth(0) >=
                metrics.horizontalAdvance(QStringLiteral("24010IC04000007G")));
        QVERIFY(list.columnWidth(5) >= metrics.horizontalAdvance(QStringLiteral("21/03/2024")));
    }

    // A long list: the widest entry sits in its last row, far below what is on screen.
    void columnsFitTheLastRowOfALongList() {
        CatalogFixture catalog;
        modDA::execSQL(modDA::kCatalog, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                        "FROM n WHERE i < 1500) INSERT INTO DDT (IDDT, IEXT) "
                                        "SELECT printf('24010IC04%07d', i), 'R' FROM n");
        const QString larga = QStringLiteral("REFERENCIA PROPIA MUY LARGA DEL ULTIMO DESPACHO");
        modDA::execSQL(modDA::kCatalog, "INSERT INTO DDT (IDDT, IEXT) VALUES (?, ?)",
                       {"24010IC040000000", larga});
        frmMain frm;
        frm.cargarGrilla(QString());
        QTreeWidget& list = lista(frm);
        QCOMPARE(list.topLevelItemCount(), 1501);
        QCOMPARE(list.topLevelItem(1500)->text(1), larga);
        QVERIFY(list.columnWidth(1) >= QFontMetrics(list.font()).horizontalAdvance(larga));
    }

    void listFailure() {
        auto& seam = ScriptedUi::current();
        CatalogFixture catalog(kSeed);
        frmMain frm;
        frm.cargarGrilla(QString());
        QCOMPARE(lista(frm).topLevelItemCount(), 4);
        modDA::execSQL(modDA::kCatalog, "DROP TABLE DDT");
        seam.answerBoxes({MsgResult::Ok});
        frm.cargarGrilla(QString());
        QCOMPARE(seam.boxes.size(), 1);
        const QString text = seam.boxes[0].text;
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::Ok);
        QVERIFY2(text.section(QStringLiteral("\n\n"), 1)
                     .startsWith(QStringLiteral(
                         "Corvelix.frmMain.cargarGrilla.::Corvelix.modDA.getDDT.::")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral(" linea 30")), qPrintable(text));
        QCOMPARE(lista(frm).topLevelItemCount(), 0);
    }

    void resize() {
        frmMain frm;
        auto* shape = frm.findChild<QFrame*>(QStringLiteral("Shape"));
        QTreeWidget& list = lista(frm);
        frm.show();
        frm.resize(800, 600);
        QCOMPARE(list.width(), 800 - list.x() - 10);
        QCOMPARE(list.height(), 600 - list.y() - 10);
        QCOMPARE(shape->width(), 800);
        frm.resize(1200, 700);
        QCOMPARE(list.width(), 1200 - list.x() - 10);
        QCOMPARE(shape->width(), 1200);
        // Too small for the list: it shrinks to nothing, the band still follows.
        frm.resize(5, 5);
        QCOMPARE(list.width(), 0);
        QCOMPARE(shape->width(), 5);
    }

    void internalProfileMarksTitle() {
        CatalogFixture catalog;
        settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                              QStringLiteral("interno"));
        {
            frmMain frm;
            auto* title = frm.findChild<QLabel*>(QStringLiteral("lbTitulo"));
            modDA::getConnectionString(modDA::kCatalog);
            QCOMPARE(title->text(), QStringLiteral("CORVELIX version Interna"));
            modDA::getConnectionString(modDA::kCatalog);
            QCOMPARE(title->text(), QStringLiteral("CORVELIX version Interna version Interna"));
        }
        // Without a main window nothing is marked.
        modDA::getConnectionString(modDA::kCatalog);
    }

    void versionNumber_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("1.4.29") << 1 << 4 << 29 << qint64(1429);
        QTest::newRow("2.10.3") << 2 << 10 << 3 << qint64(2103);
        QTest::newRow("1.0.0") << 1 << 0 << 0 << qint64(100);
        QTest::newRow("3.2.767") << 3 << 2 << 767 << qint64(32767);
    }

    void versionNumber() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(qint64, expected);
        QCOMPARE(mainModule::joinVersionDigits(major, minor, revision), expected);
    }

    void loadingSetsVersion() {
        mainModule::VersionAplicacion = 0;
        frmMain frm;
        QCOMPARE(qint64(mainModule::VersionAplicacion),
                 mainModule::joinVersionDigits(build::versionMajor, build::versionMinor,
                                               build::versionRevision));
        QCOMPARE(mainModule::getVersionBaseDatos(), QStringLiteral("1"));
    }

    void exportDocumentMask_data() {
        QTest::addColumn<QString>("pais");
        QTest::addColumn<QString>("mask");
        const QString twelve = QStringLiteral("000000000000");
        QTest::newRow("221") << QStringLiteral("221") << QStringLiteral("0000");
        QTest::newRow("225") << QStringLiteral("225") << QStringLiteral("0000");
        QTest::newRow("222") << QStringLiteral("222") << twelve;
        QTest::newRow("leading blank") << QStringLiteral(" 225") << twelve;
        QTest::newRow("trailing blank") << QStringLiteral("221 ") << twelve;
        QTest::newRow("leading zero") << QStringLiteral("0225") << twelve;
        QTest::newRow("empty") << QString() << twelve;
    }

    void exportDocumentMask() {
        QFETCH(QString, pais);
        QFETCH(QString, mask);
        QCOMPARE(mainModule::getFormatoItemDocExportacion(pais), mask);
    }

    // Every button and key with the data layer failing: a box at most, never a broken form.
    void everyActionWithFailingData() {
        frmMain form;
        corvelix::test::pressEverythingWithFailingData(form);
    }
};

CORVELIX_TEST(tst_frmMain)
#include "tst_frmMain.moc"
