#include "assembly/frmArmadoITEM.h"
#include "assembly/frmCaratula.h"
#include "data/modDA.h"
#include "data/schema.h"
#include "platform/FlexGrid.h"
#include "runtime/Twips.h"
#include "support/CatalogFixture.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTableView>
#include <QTest>
#include <QtMath>

#include <functional>
#include <memory>

using corvelix::FlexAlign;
using corvelix::FlexGrid;
using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::elidedCells;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kDemo = QStringLiteral("24001IC04000101K");
// Added to the demo: values that round when shown, Nulls, three advantages on one item.
const QString kRedondeo = QStringLiteral("99001IC04000001X");
const QString kVacio = QStringLiteral("99001IC04000002Y");

const QString kExtra = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT, CDDTAGR, NDDTIMMIOE, LDDTNOMIOE) VALUES
 ('99001IC04000001X', 'REF-X', '20-11111111-1', '30-22222222-2', 'IMPORTADORA X');
INSERT INTO DDT (IDDT, IEXT) VALUES ('99001IC04000002Y', 'REF-Y');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, QARTKGRNET, MARTFOB, MARTFLE, MARTASS, MARTAJUINC, MARTAJUDED) VALUES
 ('99001IC04000001X', '0001', '0001', '1111.11.11.111A', 1.0005, 1.005, 0.004, 2.345, NULL, 0.5),
 ('99001IC04000001X', '0002', '0002', '2222.22.22.222B', 1.0005, 2.005, 0.004, NULL, 1, NULL),
 ('99001IC04000001X', '0003', '0003', '3333.33.33.333C', NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO SRG (ISRG, NART, CSRG) VALUES
 ('99001IC04000001X', '0001', 'ACE18-MERCOSUR'),
 ('99001IC04000001X', '0001', 'BK-RES256'),
 ('99001IC04000001X', '0001', 'DI-EXENTO');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES
 ('99001IC04000001X', '0002', 'MARCA', 'D', 'X');
)sql");

FlexGrid& grilla(frmArmadoITEM& frm) {
    return *frm.findChild<FlexGrid*>(QStringLiteral("grdITEMS"));
}

QStringList fila(FlexGrid& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.cols(); ++c)
        cells << grid.textMatrix(row, c);
    return cells;
}

QLabel& etiqueta(frmArmadoITEM& frm, const char* name) {
    return *frm.findChild<QLabel*>(QLatin1String(name));
}

QAction& entrada(frmArmadoITEM& frm, const char* name) {
    return *frm.findChild<QAction*>(QLatin1String(name));
}

void tecla(frmArmadoITEM& frm, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(grilla(frm).bodyView(), Qt::Key(key), mods);
}

// Shows the item view of `despacho` modally through the scripted seam and runs `body` while
// it is open.
void abrir(const QString& despacho, const std::function<void(frmArmadoITEM&)>& body) {
    bool corrio = false;
    ScriptedUi::current().onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& dialog) {
        corrio = true;
        body(static_cast<frmArmadoITEM&>(dialog));
    });
    frmArmadoITEM frm;
    frm.m_Operacion = despacho;
    frm.m_IdentificadorPropio = QStringLiteral("REF");
    ui().exec(frm);
    QVERIFY(corrio);
}

QColor vb(quint32 bgr) {
    return corvelix::vbColor(bgr);
}

} // namespace

class tst_frmArmadoITEM : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        fixture_ = std::make_unique<CatalogFixture>(kExtra);
        fixture_->loadDemoSeed();
    }
    void cleanupTestCase() {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

protected:
    void cleanupTest() override {
        // Every box a test causes is checked by the test itself.
        QVERIFY2(ScriptedUi::current().boxes.isEmpty(),
                 qPrintable(ScriptedUi::current().boxes.value(0).text));
    }
private slots:

    void itemsMode() {
        abrir(kDemo, [](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            QCOMPARE(frm.windowTitle(), QStringLiteral("Listado de ITEMS de ") + kDemo);
            QCOMPARE(etiqueta(frm, "lbDespachante").text(), QStringLiteral("20-22334455-6"));
            QCOMPARE(etiqueta(frm, "lbIdentificadorPropio").text(), QStringLiteral("OC-4471"));
            QCOMPARE(etiqueta(frm, "lbImportador").text(),
                     QStringLiteral("30-70845123-9 - FERRETERIA INDUSTRIAL DEL SUR S.A."));
            QCOMPARE(frm.modo(), QString());
            QCOMPARE(fila(grid, 0),
                     QStringList({"nart", "Item", "NCM", "Lista", "Origen", "Proceden", "Unidad",
                                  "Cantidad", "Estadistica", "Cantidasd Est", "KiloNeto", "FOB",
                                  "FLETE", "SEGURO", "Aj Inc", "Aj Ded", "Ventajas"}));
            QCOMPARE(grid.rows(), 5);
            QCOMPARE(fila(grid, 1), QStringList({"0000", "0000", "-", "-", "-", "-", "-", "-", "-",
                                                 "-", "1.582,000", "8.967,50", "1.850,00", "95,40",
                                                 "0,00", "0,00", "-"}));
            QCOMPARE(fila(grid, 2),
                     QStringList({"0001", "0001", "8467.21.00.900X", "NAC", "310", "310", "07",
                                  "120,00", "07", "120,00", "312,000", "4.620,00", "953,11",
                                  "49,15", "0,00", "0,00", ""}));
            // Totals row painted, twice as high, current; items banded from the first.
            QCOMPARE(grid.cellBackColor(1, 5), QColor(40, 84, 102));
            QCOMPARE(grid.cellForeColor(1, 16), QColor(Qt::white));
            QCOMPARE(grid.rowHeight(1), grid.rowHeight(2) * 2);
            QCOMPARE(grid.cellAlignment(1, 3), FlexAlign::RightCenter);
            QCOMPARE(grid.cellAlignment(2, 3), FlexAlign::RightTop);
            QCOMPARE(grid.cellBackColor(2, 0), vb(0xEAEAEA));
            QCOMPARE(grid.cellBackColor(2, 16), vb(0xEAEAEA));
            QVERIFY(!grid.cellBackColor(3, 4).isValid());
            QCOMPARE(grid.cellBackColor(4, 4), vb(0xEAEAEA));
            QCOMPARE(grid.row(), 1);
            QCOMPARE(grid.rowSel(), 1);
            QVERIFY(grid.colHidden(0));
            QCOMPARE(grid.colWidth(2), 1945);
            QCOMPARE(grid.colWidth(16), FlexGrid::defaultColWidth());
            QVERIFY(grid.isVisible());
            QCOMPARE(frm.filaRecordada, -1);
        });
    }

    // Each value is summed as it is shown; Nulls add nothing and show nothing.
    void itemsModeTotals() {
        abrir(kRedondeo, [](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            QCOMPARE(grid.rows(), 5);
            QCOMPARE(fila(grid, 1).mid(10),
                     QStringList({"2,002", "3,02", "0,00", "2,35", "1,00", "0,50", "-"}));
            QCOMPARE(fila(grid, 2).mid(10),
                     QStringList({"1,001", "1,01", "0,00", "2,35", "", "0,50",
                                  "ACE18-MERCOSUR - BK-RES256 - DI-EXENTO"}));
            QCOMPARE(fila(grid, 4).mid(10), QStringList({"", "", "", "", "", "", ""}));
        });
    }

    void emptyDeclaration_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("rows"); // column 1 of every row after the header
        QTest::newRow("items") << int(Qt::Key_F1) << QStringList{"0000"};
        QTest::newRow("data") << int(Qt::Key_F3) << QStringList{"0000"};
        QTest::newRow("articles") << int(Qt::Key_F2) << QStringList{};
        QTest::newRow("liquidation") << int(Qt::Key_F4) << QStringList{};
    }

    void emptyDeclaration() {
        QFETCH(int, key);
        QFETCH(QStringList, rows);
        abrir(kVacio, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, key);
            QStringList shown;
            for (int r = 1; r < grid.rows(); ++r)
                shown << grid.textMatrix(r, 1);
            QCOMPARE(shown, rows);
            if (key == Qt::Key_F1)
                QCOMPARE(fila(grid, 1).mid(10),
                         QStringList({"0,000", "0,00", "0,00", "0,00", "0,00", "0,00", "-"}));
            if (!rows.isEmpty()) {
                QCOMPARE(grid.row(), 1);
                QCOMPARE(grid.cellBackColor(1, 1), QColor(40, 84, 102));
            }
        });
    }

    // No number: the items loader's own box. A number without a header row: the header
    // read's box, as in the header editor, and empty labels.
    void noDeclaration_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<MsgIcon>("icono");
        QTest::newRow("no number")
            << QString() << QStringLiteral("no hay operacion seleccionada") << MsgIcon::Exclamation;
        QTest::newRow("no header row")
            << QStringLiteral("26001IC04999999Z")
            << QStringLiteral("BOF o EOF es True, o el registro actual se eliminó.\n\n"
                              "Corvelix.frmArmadoITEM.cargarDatosCaratula (0)::")
            << MsgIcon::None;
    }

    void noDeclaration() {
        QFETCH(QString, despacho);
        QFETCH(QString, texto);
        QFETCH(MsgIcon, icono);
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        abrir(despacho, [&](frmArmadoITEM& frm) {
            QCOMPARE(seam.boxes.size(), 1);
            QVERIFY2(seam.boxes.at(0).text.startsWith(texto), qPrintable(seam.boxes.at(0).text));
            QCOMPARE(seam.boxes.at(0).icon, icono);
            for (const char* name : {"lbDespachante", "lbIdentificadorPropio", "lbImportador"})
                QCOMPARE(etiqueta(frm, name).text(), QString());
            QCOMPARE(grilla(frm).rows(), despacho.isEmpty() ? 1 : 2);
            QVERIFY(grilla(frm).isVisible());
        });
        seam.boxes.clear();
    }

    void dataMode() {
        abrir(kRedondeo, [](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F3);
            QCOMPARE(frm.modo(), QStringLiteral("datos"));
            QCOMPARE(fila(grid, 0),
                     QStringList({"nart", "Item", "NCM", "Lista", "Origen", "Proceden", "Ventajas",
                                  "Info Adic", "Documentos"}));
            QCOMPARE(fila(grid, 1),
                     QStringList({"0000", "0000", "-", "-", "-", "-", "-", "-", "-"}));
            QCOMPARE(fila(grid, 2),
                     QStringList({"0001", "0001", "1111.11.11.111A", "", "", "",
                                  "ACE18-MERCOSUR\r\nBK-RES256\r\nDI-EXENTO", "", ""}));
            QCOMPARE(grid.textMatrix(3, 7), QStringLiteral("MARCA=X"));
            QVERIFY(grid.wordWrap());
            QCOMPARE(grid.colAlignment(2), FlexAlign::CenterCenter);
            QCOMPARE(grid.colAlignment(7), FlexAlign::LeftCenter);
            QCOMPARE(grid.cellBackColor(1, 8), QColor(40, 84, 102));
            QCOMPARE(grid.cellForeColor(1, 0), QColor(Qt::white));
            QCOMPARE(grid.cellBackColor(2, 8), vb(0xEAEAEA));
            QVERIFY(!grid.cellBackColor(3, 8).isValid());
            QCOMPARE(grid.row(), 1);
            QVERIFY(grid.colHidden(0));
            // Three advantages: three lines; each column as wide as its own widest cell.
            const int linea = corvelix::pixelsToTwips(QFontMetrics(grid.font()).height());
            QCOMPARE(grid.rowHeight(2), 3 * linea + 100);
            QCOMPARE(grid.rowHeight(3), linea + 100);
            // Widths as the grid needs them: fractional advances rounded up.
            const QFontMetricsF m(grid.font());
            const auto pixels = [&m](const char* text) {
                return qCeil(m.horizontalAdvance(QLatin1String(text)));
            };
            QCOMPARE(grid.colWidth(7),
                     corvelix::pixelsToTwips(std::max(pixels("Info Adic"), pixels("MARCA=X"))) +
                         150);
            QCOMPARE(grid.colWidth(6), corvelix::pixelsToTwips(pixels("ACE18-MERCOSUR")) + 150);
        });
    }

    void dataModeDemo() {
        abrir(kDemo, [](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F3);
            QCOMPARE(grid.rows(), 5);
            QCOMPARE(fila(grid, 2).mid(1),
                     QStringList({"0001", "8467.21.00.900X", "NAC", "310", "310", "",
                                  "COND-MERC=NUEVO\r\nMARCA=LONGXIN", ""}));
        });
    }

    void liquidationMode() {
        abrir(kDemo, [](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F4);
            QCOMPARE(frm.modo(), QStringLiteral("liquidacion"));
            QCOMPARE(fila(grid, 0), QStringList({"IDDT", "NART", "ITEM", "NCM", "FOB Dol", "Seguro",
                                                 "Flete", "Aj Inc", "Aj Ded", "Lista", "Codigo",
                                                 "Descripcion", "Tipo", "Base", "Coef", "Total"}));
            // Three items of five lines each; the line of the expired tax is left out.
            QCOMPARE(grid.rows(), 16);
            QCOMPARE(fila(grid, 1),
                     QStringList({kDemo, "0001", "0001", "8467.21.00.900X", "4620,00", "49,15",
                                  "953,11", "00,00", "00,00", "NAC", "010", "DERECHO IMPORTACION",
                                  "1", "5622,26", "14,00", "787,12"}));
            QStringList codigos;
            for (int r = 1; r <= 5; ++r)
                codigos << grid.textMatrix(r, 10);
            QCOMPARE(codigos, QStringList({"010", "011", "040", "041", "055"}));
            QCOMPARE(grid.textMatrix(6, 2), QStringLiteral("0002"));
            QVERIFY(grid.colHidden(0));
            QVERIFY(grid.colHidden(1));
            QCOMPARE(grid.colWidth(11), 2400);
            QCOMPARE(grid.colAlignment(4), FlexAlign::General);
            QVERIFY(!grid.cellBackColor(2, 4).isValid());
            QVERIFY(!grid.wordWrap());
        });
    }

    void articlesMode() {
        abrir(kDemo, [](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            QCOMPARE(frm.modo(), QStringLiteral("articulos"));
            QCOMPARE(fila(grid, 0),
                     QStringList({"IDDT", "NART", "Codigo", "Item", "SubIt", "NCM", "Sufijos",
                                  "Unidad", "Cantidad", "Estad", "Cantidad", "Unitario", "Total"}));
            QCOMPARE(grid.rows(), 6);
            QCOMPARE(fila(grid, 1), QStringList({kDemo, "0001", "", "0001", "0000",
                                                 "8467.21.00.900X", "AA(LONGXIN)-AB(LX-700)-", "07",
                                                 "120,00", "07", "120,00", "38,50000", "4620,00"}));
            // A subitem row shows the subitem's own amounts.
            QCOMPARE(fila(grid, 3).mid(4),
                     QStringList({"0002", "8205.20.00.000F", "AA(LONGXIN)-AB(H20)-", "07", "250,00",
                                  "07", "250,00", "4,25000", "1062,50"}));
            QVERIFY(grid.colHidden(0));
            QCOMPARE(grid.colWidth(6), 4200);
            QVERIFY(!grid.wordWrap());
        });
    }

    void keysAndMenus_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("ayudaArticulos");
        QTest::addColumn<bool>("eliminar");
        QTest::addColumn<bool>("sufijo");
        QTest::newRow("opened") << QList<int>{} << "" << false << true << false;
        QTest::newRow("F2") << QList<int>{Qt::Key_F2} << "articulos" << true << false << true;
        QTest::newRow("F2 F3") << QList<int>{Qt::Key_F2, Qt::Key_F3} << "datos" << false << true
                               << false;
        QTest::newRow("F2 F4") << QList<int>{Qt::Key_F2, Qt::Key_F4} << "liquidacion" << false
                               << true << false;
        QTest::newRow("F2 F1") << QList<int>{Qt::Key_F2, Qt::Key_F1} << "" << false << true
                               << false;
        QTest::newRow("F4 F2") << QList<int>{Qt::Key_F4, Qt::Key_F2} << "articulos" << true << false
                               << true;
        QTest::newRow("shift F2 is no key")
            << QList<int>{int(Qt::ShiftModifier) | int(Qt::Key_F2)} << "" << false << true << false;
    }

    void keysAndMenus() {
        QFETCH(QList<int>, keys);
        QFETCH(QString, modo);
        QFETCH(bool, ayudaArticulos);
        QFETCH(bool, eliminar);
        QFETCH(bool, sufijo);
        abrir(kDemo, [&](frmArmadoITEM& frm) {
            for (int key : keys)
                tecla(frm, key & ~Qt::KeyboardModifierMask,
                      Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
            QCOMPARE(frm.modo(), modo);
            QCOMPARE(etiqueta(frm, "lbMensaje").text(), ayudaArticulos
                                                            ? frmArmadoITEM::kAyudaArticulos
                                                            : frmArmadoITEM::kAyudaGeneral);
            QCOMPARE(entrada(frm, "mnuEliminarItem").isEnabled(), eliminar);
            QCOMPARE(entrada(frm, "mnuEstablecerSufijo").isEnabled(), sufijo);
            QVERIFY(entrada(frm, "mnuReemplazarncm").isEnabled());
            // The popup opens on the right button in every mode but the liquidation one.
            auto* menu = frm.findChild<QMenu*>(QStringLiteral("mnuContextual"));
            QTest::mousePress(grilla(frm).bodyView()->viewport(), Qt::RightButton);
            QCOMPARE(menu->isVisible(), modo != QLatin1String("liquidacion"));
            QCOMPARE(menu->defaultAction(), &entrada(frm, "mnuEliminarItem"));
            menu->hide();
        });
    }

    void escapeAndAltKeys() {
        ScriptedUi& seam = ScriptedUi::current();
        frmArmadoITEM* vista = nullptr;
        seam.answerBoxes({MsgResult::Ok});
        abrir(kDemo, [&](frmArmadoITEM& frm) {
            vista = &frm;
            tecla(frm, Qt::Key_I, Qt::AltModifier);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text, QStringLiteral("Modulo en desarrollo"));
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Information);
            seam.boxes.clear();
            // Alt+C: the header editor of this declaration, over the view.
            QString caratula;
            seam.onForm(QStringLiteral("frmCaratula"), [&](QDialog& dialog) {
                caratula = static_cast<frmCaratula&>(dialog).m_Operacion;
            });
            tecla(frm, Qt::Key_C, Qt::AltModifier);
            QCOMPARE(caratula, kDemo);
            QCOMPARE(seam.shownForms.last(), QStringLiteral("frmCaratula"));
            QVERIFY(frm.isVisible());
            tecla(frm, Qt::Key_Escape);
            QVERIFY(!frm.isVisible());
            QCOMPARE(frm.m_Operacion, QString());
        });
    }

    void articleSearch() {
        ScriptedUi& seam = ScriptedUi::current();
        QString texto = QStringLiteral("  h20 ");
        bool cancelar = false;
        seam.onForm(QStringLiteral("frmBusquedaArticulo"), [&](QDialog& dialog) {
            auto* caja = dialog.findChild<QLineEdit*>(QStringLiteral("txtArticulo"));
            auto* buscar = dialog.findChild<QPushButton*>(QStringLiteral("cmdBuscar"));
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Buscar Articulo"));
            QCOMPARE(caja->text(), QString());
            QTest::keyClicks(caja, QStringLiteral("ab"));
            QVERIFY(!buscar->isEnabled());
            caja->setText(texto);
            QVERIFY(buscar->isEnabled());
            QTest::keyClick(caja, cancelar ? Qt::Key_Escape : Qt::Key_Return);
        });
        abrir(kDemo, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            QLabel& aviso = etiqueta(frm, "lbFiltroActivo");
            // F6 belongs to the articles mode.
            tecla(frm, Qt::Key_F6);
            QCOMPARE(seam.shownForms.count(QStringLiteral("frmBusquedaArticulo")), 0);
            tecla(frm, Qt::Key_F2);
            QVERIFY(!aviso.isVisible());
            tecla(frm, Qt::Key_F6);
            QCOMPARE(frm.filtroArticulos(), QStringLiteral("h20"));
            QVERIFY(aviso.isVisible());
            QCOMPARE(grid.rows(), 2);
            QCOMPARE(grid.textMatrix(1, 6), QStringLiteral("AA(LONGXIN)-AB(H20)-"));

            // Other modes ignore the filter and keep it.
            tecla(frm, Qt::Key_F3);
            tecla(frm, Qt::Key_F2);
            QCOMPARE(grid.rows(), 2);

            // No keeps the filter; Yes takes it away.
            seam.answerBoxes({MsgResult::No});
            tecla(frm, Qt::Key_F6);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text, QStringLiteral("Desea quitar el filtro de busqueda?"));
            QCOMPARE(seam.boxes.at(0).buttons, MsgButtons::YesNo);
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Question);
            QCOMPARE(grid.rows(), 2);
            seam.answerBoxes({MsgResult::Yes});
            tecla(frm, Qt::Key_F6);
            QCOMPARE(seam.boxes.size(), 2);
            QCOMPARE(grid.rows(), 6);
            QCOMPARE(frm.filtroArticulos(), QString());
            QVERIFY(!aviso.isVisible());
            seam.boxes.clear();

            // A filter matching nothing: header only, notice shown.
            texto = QStringLiteral("NADA-ASI");
            tecla(frm, Qt::Key_F6);
            QCOMPARE(grid.rows(), 1);
            QVERIFY(aviso.isVisible());
            // F1 clears it: back in the articles mode every row shows, the notice is hidden.
            tecla(frm, Qt::Key_F1);
            QVERIFY(!aviso.isVisible());
            tecla(frm, Qt::Key_F2);
            QCOMPARE(grid.rows(), 6);

            // Cancelling the dialog changes nothing and loads nothing.
            cancelar = true;
            texto = QStringLiteral("LONGXIN");
            grid.setTextMatrix(1, 2, QStringLiteral("sin recargar"));
            tecla(frm, Qt::Key_F6);
            QCOMPARE(frm.filtroArticulos(), QString());
            QVERIFY(!aviso.isVisible());
            QCOMPARE(grid.textMatrix(1, 2), QStringLiteral("sin recargar"));
        });
        QCOMPARE(seam.shownForms.count(QStringLiteral("frmBusquedaArticulo")), 3);
    }

    // A quote in the search text is a character like any other.
    void searchTextWithQuote() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmBusquedaArticulo"), [](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtArticulo"))
                ->setText(QStringLiteral("O'BRIEN"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        });
        abrir(kDemo, [](frmArmadoITEM& frm) {
            tecla(frm, Qt::Key_F2);
            tecla(frm, Qt::Key_F6);
            QCOMPARE(grilla(frm).rows(), 1);
        });
    }

    // A load that fails says so once and leaves the headers alone; the window goes on.
    void failedLoad_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("location");
        QTest::newRow("liquidation") << int(Qt::Key_F4) << "LQA"
                                     << "cargar_Liquidacion";
        QTest::newRow("articles") << int(Qt::Key_F2) << "SBT"
                                  << "cargar_Articulos";
        QTest::newRow("data") << int(Qt::Key_F3) << "CPL"
                              << "cargarItems_SoloDatos";
        QTest::newRow("items") << int(Qt::Key_F1) << "SRG"
                               << "cargarItems";
    }

    void failedLoad() {
        QFETCH(int, key);
        QFETCH(QString, table);
        QFETCH(QString, location);
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        abrir(kDemo, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            if (key == Qt::Key_F1)
                tecla(frm, Qt::Key_F2);
            modDA::execSQL(modDA::kCatalog,
                           testSql(QStringLiteral("ALTER TABLE %1 RENAME TO %1_fuera").arg(table)));
            tecla(frm, key);
            modDA::execSQL(modDA::kCatalog,
                           testSql(QStringLiteral("ALTER TABLE %1_fuera RENAME TO %1").arg(table)));
            QCOMPARE(seam.boxes.size(), 1);
            QVERIFY2(seam.boxes.at(0).text.contains(
                         QStringLiteral("Corvelix.frmArmadoITEM.do_cargarItems (0)::") +
                         QStringLiteral("Corvelix.frmArmadoITEM.") + location),
                     qPrintable(seam.boxes.at(0).text));
            QCOMPARE(grid.rows(), 1);
            QList<int> shown;
            for (int c = 0; c < grid.cols(); ++c)
                if (!grid.colHidden(c))
                    shown << c;
            CORVELIX_VERIFY_NO_FAULTS(elidedCells(*grid.fixedView(), shown));
            QVERIFY(grid.isVisible());
            QVERIFY(grid.redraw());
            QVERIFY(!seam.busy);
            QVERIFY(frm.isVisible());
            seam.boxes.clear();
            tecla(frm, Qt::Key_F1);
            QCOMPARE(grid.rows(), 5);
        });
    }
};

CORVELIX_TEST(tst_frmArmadoITEM)
#include "tst_frmArmadoITEM.moc"
