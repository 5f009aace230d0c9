#include "InvoiceFixture.h"

#include "assembly/frmCaratula.h"
#include "assembly/frmFacturas.h"
#include "data/connection.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/FormUnderFailure.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <memory>

using corvelix::FlexGrid;
using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;
using namespace invoice_test;

namespace {

QString label(QWidget& form, const char* name) {
    return child<QLabel>(form, name).text();
}

void choose(QComboBox& combo, const QString& text) {
    combo.setCurrentIndex(combo.findText(text));
    emit combo.activated(combo.currentIndex());
}

const QStringList kImportInvoices{"F-1", "F-2", "F-3"};

// The invoice grid and its edit box, on their tab brought to the front.
FlexGrid& invoiceGrid(QWidget& form) {
    child<QTabWidget>(form, "sstabCaratula").setCurrentIndex(1);
    return child<FlexGrid>(form, "grdFacturas");
}

} // namespace

class tst_frmCaratula : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> catalog_;

protected:
    void initTest() override {
        catalog_ = std::make_unique<CatalogFixture>(seed());
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
    }
    void cleanupTest() override {
        QLocale::setDefault(QLocale::c());
        catalog_.reset();
    }

private slots:
    void design() {
        frmCaratula form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Caratula"));
        auto& tabs = child<QTabWidget>(form, "sstabCaratula");
        QCOMPARE(tabs.count(), 3);
        QCOMPARE(tabs.tabText(0), QStringLiteral("Totales"));
        QCOMPARE(tabs.tabText(1), QStringLiteral("Facturas"));
        QCOMPARE(tabs.tabText(2), QStringLiteral("Documentos"));
        QVERIFY(tabs.isTabEnabled(1));
        QVERIFY(!tabs.isTabEnabled(2));
        QVERIFY(child<QLineEdit>(form, "txtFactura").isHidden());
        QCOMPARE(child<QLineEdit>(form, "txtFactura").alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        const QList<QPair<const char*, QString>> buttons{
            {"cmdEstablecerIEXT", "Establecer"},
            {"cmdEstablecerCompradorVendedor", "Establecer"},
            {"cmdAgregar", "Agregar [INS]"},
            {"cmdAddMasivos", "Pegar Facturas"}};
        for (const auto& [name, caption] : buttons) {
            auto& button = child<QPushButton>(form, name);
            QCOMPARE(button.text(), caption);
            QVERIFY(!button.isDefault() && !button.autoDefault());
        }
        QStringList texts;
        for (QLabel* l : form.findChildren<QLabel*>())
            texts << l->text();
        for (const char* text :
             {"Importador / Exportador", "Cuit Despachante:", "Identificador Propio",
              "Comprador/Vendedor", "FOB", "Flete", "Seguro", "Ajuste Inc", "Ajuste Ded", "KgNetos",
              "Cantidades", "Presencia de Facturas", " - Modificar [Enter] - Delete [DEL]",
              "[ESC] Salir"})
            QVERIFY2(texts.contains(QLatin1String(text)), text);
    }

    // Everything shown for a declaration with items, invoices and other documents.
    void loadsTheHeader() {
        QVERIFY(withCaratula(kImport, [](frmCaratula& form) {
            QCOMPARE(label(form, "lbImpoExpo"), QStringLiteral("IMPORTADORA SUR SA"));
            QCOMPARE(label(form, "lbCuitDespachante"), QStringLiteral("20-11111111-1"));
            QCOMPARE(child<QLineEdit>(form, "txtIdentificadorPropio").text(),
                     QStringLiteral("REF-1"));
            QCOMPARE(child<QLineEdit>(form, "txtVendedorComprador").text(),
                     QStringLiteral("VENDEDOR LTD"));
            // "###,000.00" under es_AR: grouping point, decimal comma, three integer digits.
            QCOMPARE(label(form, "lbFOBTotal"), QStringLiteral("1.234,50"));
            QCOMPARE(label(form, "lbFleteTotal"), QStringLiteral("005,00"));
            QCOMPARE(label(form, "lbSeguroTotal"), QString()); // Null
            QCOMPARE(label(form, "lbTotalAjusteINC"), QStringLiteral("000,00"));
            QCOMPARE(label(form, "lbAjuesteDED"), QStringLiteral("003,50"));
            QCOMPARE(label(form, "lbTotalKilos"), QStringLiteral("009,00"));

            auto& combo = child<QComboBox>(form, "cboPresenciaFacturas");
            QCOMPARE(combo.count(), 2);
            QCOMPARE(combo.itemText(0), QStringLiteral("S"));
            QCOMPARE(combo.itemText(1), QStringLiteral("N"));
            QCOMPARE(combo.currentText(), QStringLiteral("S"));

            auto& facturas = child<FlexGrid>(form, "grdFacturas");
            QCOMPARE(gridRows(facturas), QStringList{"Facturas"} + kImportInvoices);
            QCOMPARE(facturas.bodyView()->columnWidth(0), 533); // 8000 twips

            // The unit no longer valid is left out of the quantities, counted per NCM.
            QCOMPARE(gridRows(child<FlexGrid>(form, "grdCantidades")), QStringList{"UNIDAD|15"});
            QCOMPARE(gridRows(child<FlexGrid>(form, "grdResumenNCM")),
                     (QStringList{"NCM|Cant|DEC|Declarada|EST|Estadistica", "7318.15|1|98|3|07|3",
                                  "8467.21|1|07|5|01|2,5", "8467.21|1|07|10|07|10"}));
        }));
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // Invoices not presented: "N" and no rows. Choosing "S" stores nothing.
    void notPresented() {
        for (int showing = 0; showing < 2; ++showing) {
            QVERIFY(withCaratula(kNotPresented, [](frmCaratula& form) {
                auto& combo = child<QComboBox>(form, "cboPresenciaFacturas");
                QCOMPARE(combo.currentText(), QStringLiteral("N"));
                QCOMPARE(shownInvoices(form), QStringList());
                choose(combo, QStringLiteral("S"));
            }));
        }
        QCOMPARE(storedInvoices(kNotPresented), QStringList{"N:"});
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void switchToNotPresented_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("Yes") << MsgResult::Yes << QStringList{"N:"} << QStringList();
        QTest::newRow("No") << MsgResult::No << QStringList{"S:F-1", "S:F-2", "S:F-3"}
                            << kImportInvoices;
    }
    void switchToNotPresented() {
        QFETCH(MsgResult, answer);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shown);
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({answer});
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            auto& combo = child<QComboBox>(form, "cboPresenciaFacturas");
            choose(combo, QStringLiteral("N"));
            QCOMPARE(shownInvoices(form), shown);
            QCOMPARE(combo.currentText(), QStringLiteral("N"));
        }));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text,
                 QStringLiteral("Confirma poner en N la opción presencia de facturas?, se "
                                "eliminaran todas las facturas?"));
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Question);
        QCOMPARE(seam.boxes[0].defaultButton, MsgDefault::Second);
        QCOMPARE(storedInvoices(), stored);
    }

    // Both "Establecer": quotes become blanks in the box and in the catalog; nothing trimmed.
    void establecer_data() {
        QTest::addColumn<QByteArray>("textBox");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const QByteArray iext = "txtIdentificadorPropio";
        const QByteArray vendedor = "txtVendedorComprador";
        QTest::newRow("own reference with quotes")
            << iext << QByteArray("cmdEstablecerIEXT") << "IEXT"
            << " O'REF 'X' "
            << " O REF  X  ";
        QTest::newRow("own reference empty") << iext << QByteArray("cmdEstablecerIEXT") << "IEXT"
                                             << ""
                                             << "";
        QTest::newRow("seller with a statement")
            << vendedor << QByteArray("cmdEstablecerCompradorVendedor") << "LDDTNOMFOD"
            << "X'; DELETE FROM DDT; --"
            << "X ; DELETE FROM DDT; --";
        QTest::newRow("seller of 300 characters")
            << vendedor << QByteArray("cmdEstablecerCompradorVendedor") << "LDDTNOMFOD"
            << QString(300, QLatin1Char('v')) << QString(300, QLatin1Char('v'));
    }
    void establecer() {
        QFETCH(QByteArray, textBox);
        QFETCH(QByteArray, button);
        QFETCH(QString, column);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            auto& text = child<QLineEdit>(form, textBox.constData());
            text.setText(typed);
            child<QPushButton>(form, button.constData()).click();
            QCOMPARE(text.text(), stored);
        }));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("Valor establecido"));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Information);
        QCOMPARE(corvelix::test::queryRows(
                     modDA::getConnection(modDA::kCatalog),
                     QStringLiteral("SELECT %1, CDDTSTUSGG FROM DDT WHERE IDDT = ?").arg(column),
                     {kImport}),
                 QStringList{stored + QStringLiteral("|V")});
        QCOMPARE(corvelix::test::queryRows(modDA::getConnection(modDA::kCatalog),
                                           QStringLiteral("SELECT COUNT(*) FROM DDT")),
                 QStringList{"3"});
    }

    // No header row: the load fails before anything is shown, the form stays open, and a
    // write from it changes nothing and says nothing.
    void missingHeader() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        QVERIFY(withCaratula(QStringLiteral("26001IC04999999Z"), [&](frmCaratula& form) {
            QVERIFY(form.isVisible());
            QCOMPARE(label(form, "lbCuitDespachante"), QString());
            QCOMPARE(child<QComboBox>(form, "cboPresenciaFacturas").count(), 0);
            child<QLineEdit>(form, "txtIdentificadorPropio").setText(QStringLiteral("X"));
            child<QPushButton>(form, "cmdEstablecerIEXT").click();
        }));
        QCOMPARE(seam.boxes.size(), 1);
        QVERIFY(seam.boxes[0].text.startsWith(
            QStringLiteral("BOF o EOF es True, o el registro actual se eliminó.\n\n"
                           "Corvelix.frmCaratula.cargarDatos (0)::")));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::None);
    }

    // One invoice through its dialog, by the button or Insert; the list is read again only
    // when the dialog stored one.
    void addOne_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("accept");
        QTest::newRow("Agregar, stored") << false << true;
        QTest::newRow("Insert, stored") << true << true;
        QTest::newRow("Insert, cancelled") << true << false;
    }
    void addOne() {
        QFETCH(bool, byKey);
        QFETCH(bool, accept);
        ScriptedUi& seam = ScriptedUi::current();
        QString given;
        seam.onForm(QStringLiteral("frmFacturas"), [&](QDialog& dialog) {
            given = static_cast<frmFacturas&>(dialog).m_Operacion;
            // Written meanwhile by someone else: shows only if the list is read again.
            modDA::execSQL(modDA::kCatalog,
                           testSql(QStringLiteral(
                               "INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                               "VALUES ('26001IC04000600A', '0000', 'FACTURACOMERCIAL', 'S', "
                               "'OTRO')")));
            child<QLineEdit>(dialog, "txtFactura").setText(QStringLiteral("F-9"));
            child<QPushButton>(dialog, accept ? "cmdAgregar" : "cmdCancelar").click();
        });
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            if (byKey)
                QTest::keyClick(child<FlexGrid>(form, "grdFacturas").bodyView(), Qt::Key_Insert);
            else
                child<QPushButton>(form, "cmdAgregar").click();
            const QStringList expected =
                accept ? kImportInvoices + QStringList{"OTRO", "F-9"} : kImportInvoices;
            QCOMPARE(shownInvoices(form), expected);
        }));
        QCOMPARE(seam.shownForms, (QStringList{"frmCaratula", "frmFacturas"}));
        QCOMPARE(given, kImport);
    }

    // Pasted lists: lines end in CR LF, LF or CR; blanks around are dropped, a line is cut
    // to 39 characters, a quote becomes a blank; what is already there is skipped.
    void paste_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("CR LF, repeats and blanks")
            << kImport << "A-1\r\n  A-1  \r\n\r\nA-1\r\nA-2" << QStringList{"A-1", "A-2"};
        QTest::newRow("LF alone") << kImport << "A-1\nA-2\nA-3\n"
                                  << QStringList{"A-1", "A-2", "A-3"};
        QTest::newRow("CR alone") << kImport << "A-1\rA-2" << QStringList{"A-1", "A-2"};
        QTest::newRow("mixed ends")
            << kImport << "A-1\r\nA-2\nA-3\rA-4" << QStringList{"A-1", "A-2", "A-3", "A-4"};
        QTest::newRow("stored ones and letter case skipped")
            << kImport << "F-1\nf-2\nA-1\na-1" << QStringList{"A-1"};
        QTest::newRow("50 characters cut to 39") << kImport << QString(50, QLatin1Char('x'))
                                                 << QStringList{QString(39, QLatin1Char('x'))};
        QTest::newRow("quote becomes a blank") << kImport << "O'BRIEN-1\n'\n"
                                               << QStringList{"O BRIEN-1"};
        QTest::newRow("marker goes with the first number")
            << kNotPresented << "B-1\nB-2" << QStringList{"B-1", "B-2"};
    }
    void paste() {
        QFETCH(QString, despacho);
        QFETCH(QString, text);
        QFETCH(QStringList, added);
        const QStringList before = despacho == kImport ? kImportInvoices : QStringList();
        QVERIFY(withCaratula(despacho, [&](frmCaratula& form) {
            pasteThroughClipboard(form, text);
            QCOMPARE(shownInvoices(form), before + added);
            QCOMPARE(child<QComboBox>(form, "cboPresenciaFacturas").currentText(),
                     QStringLiteral("S"));
        }));
        QStringList stored;
        for (const QString& n : before + added)
            stored << QStringLiteral("S:") + n;
        QCOMPARE(storedInvoices(despacho), stored);
        QCOMPARE(ScriptedUi::current().clipboardReads, 1);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        QVERIFY(!ScriptedUi::current().busy);
    }

    // Beyond the old 16-bit line counter: every line is added.
    void pasteHasNoLineLimit() {
        QStringList lines;
        for (int i = 1; i <= 40000; ++i)
            lines << QStringLiteral("N-%1").arg(i);
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            pasteThroughClipboard(form, lines.join(QLatin1Char('\n')));
            const QStringList shown = shownInvoices(form);
            QCOMPARE(shown.size(), 40003);
            QCOMPARE(shown.last(), QStringLiteral("N-40000"));
        }));
        QCOMPARE(storedInvoices().size(), 40003);
    }

    // A failure in the middle of a paste adds nothing: one transaction, one box.
    void pasteFailureAddsNothing() {
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral(
                           "CREATE TRIGGER injected BEFORE INSERT ON DVD WHEN NEW.LDVDREFDOC = "
                           "'BOOM' BEGIN SELECT RAISE(ABORT, 'fallo inyectado'); END")));
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        QVERIFY(withCaratula(kNotPresented, [&](frmCaratula& form) {
            pasteThroughClipboard(form, QStringLiteral("A-1\nA-2\nBOOM\nA-3"));
            QCOMPARE(shownInvoices(form), QStringList());
            QVERIFY(form.isEnabled());
        }));
        QCOMPARE(storedInvoices(kNotPresented), QStringList{"N:"});
        QCOMPARE(seam.boxes.size(), 1);
        QVERIFY(seam.boxes[0].text.startsWith(
            QStringLiteral("fallo inyectado\n\nCorvelix.frmCaratula.procesarFacturas (0)::")));
        QVERIFY(!seam.busy);
    }

    // A cancelled paste dialog, or a blank text, adds nothing and asks nothing.
    void pasteCancelled() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmFacturasPegar"),
                    [](QDialog& dialog) { child<QPushButton>(dialog, "cmdCancelar").click(); });
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            child<QPushButton>(form, "cmdAddMasivos").click();
            form.procesarFacturas(kImport, QStringLiteral("   "));
            QCOMPARE(shownInvoices(form), kImportInvoices);
        }));
        QCOMPARE(storedInvoices().size(), 3);
        QVERIFY(seam.boxes.isEmpty());
    }

    // Enter edits the current invoice in place; Enter stores it, Esc leaves it.
    void editInPlace() {
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            auto& grid = invoiceGrid(form);
            auto& edit = child<QLineEdit>(form, "txtFactura");
            grid.setCurrentCell(2, 0);
            QTest::keyClick(grid.bodyView(), Qt::Key_Return);
            QVERIFY(edit.isVisible());
            QVERIFY(!grid.isEnabled());
            QCOMPARE(edit.text(), QStringLiteral("F-2"));
            const QRect cell = grid.cellRect(2, 0);
            QCOMPARE(edit.geometry(), QRect(grid.pos() + cell.topLeft(), cell.size()));

            // Esc belongs to the edit while it is open: the form stays.
            edit.setText(QStringLiteral("NO"));
            QTest::keyClick(&edit, Qt::Key_Escape);
            QVERIFY(form.isVisible());
            QVERIFY(edit.isHidden());
            QVERIFY(grid.isEnabled());
            QCOMPARE(shownInvoices(form), kImportInvoices);

            // Blank: nothing happens, the edit stays open.
            QTest::keyClick(grid.bodyView(), Qt::Key_Enter);
            edit.setText(QStringLiteral("   "));
            QTest::keyClick(&edit, Qt::Key_Return);
            QVERIFY(edit.isVisible());

            // Stored as typed but with the quote as a blank; blanks around kept.
            edit.setText(QStringLiteral(" F-2'B "));
            QTest::keyClick(&edit, Qt::Key_Return);
            QVERIFY(edit.isHidden());
            QVERIFY(grid.isEnabled());
            QCOMPARE(grid.row(), 2);
            QCOMPARE(shownInvoices(form), (QStringList{"F-1", " F-2 B ", "F-3"}));

            // Row 0 is never edited.
            grid.setRows(1);
            QTest::keyClick(grid.bodyView(), Qt::Key_Return);
            QVERIFY(edit.isHidden());
        }));
        QCOMPARE(storedInvoices(), (QStringList{"S:F-1", "S: F-2 B ", "S:F-3"}));
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // "Agregar [INS]" while an invoice edit is open: the edit is closed unstored before the
    // grid is read again, so the grid shows what the catalog holds and Delete acts on it.
    void addWhileEditing() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmFacturas"), [&](QDialog& dialog) {
            child<QLineEdit>(dialog, "txtFactura").setText(QStringLiteral("F-9"));
            child<QPushButton>(dialog, "cmdAgregar").click();
        });
        seam.answerBoxes({MsgResult::Yes});
        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            auto& grid = invoiceGrid(form);
            auto& edit = child<QLineEdit>(form, "txtFactura");
            grid.setCurrentCell(3, 0);
            QTest::keyClick(grid.bodyView(), Qt::Key_Return);
            edit.setText(QStringLiteral("F-33"));
            child<QPushButton>(form, "cmdAgregar").click();
            QVERIFY(edit.isHidden());
            QVERIFY(grid.isEnabled());
            QCOMPARE(shownInvoices(form), kImportInvoices + QStringList{"F-9"});
            grid.setCurrentCell(1, 0);
            QTest::keyClick(grid.bodyView(), Qt::Key_Delete);
            QCOMPARE(shownInvoices(form), (QStringList{"F-2", "F-3", "F-9"}));
        }));
        QCOMPARE(storedInvoices(), (QStringList{"S:F-2", "S:F-3", "S:F-9"}));
        QCOMPARE(seam.boxes.size(), 1);
    }

    // Export declarations take only 00000-00000000 in an edit.
    void editOnExport() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        QVERIFY(withCaratula(kExport, [&](frmCaratula& form) {
            auto& grid = invoiceGrid(form);
            auto& edit = child<QLineEdit>(form, "txtFactura");
            QTest::keyClick(grid.bodyView(), Qt::Key_Return);
            edit.setText(QStringLiteral("001-00000002"));
            QTest::keyClick(&edit, Qt::Key_Return);
            QVERIFY(edit.isVisible());
            edit.setText(QStringLiteral("00001-00000002"));
            QTest::keyClick(&edit, Qt::Key_Return);
            QVERIFY(edit.isHidden());
        }));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text,
                 QStringLiteral("Formato de Factura Expo Inávlida\nDebe ser 00000-00000000"));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(storedInvoices(kExport), QStringList{"S:00001-00000002"});
    }

    void deleteInvoice_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<int>("row");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("one of three")
            << kImport << 2 << MsgResult::Yes << QStringList{"F-1", "F-3"};
        QTest::newRow("answered No") << kImport << 2 << MsgResult::No << kImportInvoices;
        QTest::newRow("the only one") << kExport << 1 << MsgResult::Yes << QStringList();
    }
    void deleteInvoice() {
        QFETCH(QString, despacho);
        QFETCH(int, row);
        QFETCH(MsgResult, answer);
        QFETCH(QStringList, shown);
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({answer});
        QString number;
        QVERIFY(withCaratula(despacho, [&](frmCaratula& form) {
            auto& grid = child<FlexGrid>(form, "grdFacturas");
            grid.setCurrentCell(row, 0);
            number = grid.textMatrix(row, 0);
            QTest::keyClick(grid.bodyView(), Qt::Key_Delete);
            QCOMPARE(shownInvoices(form), shown);
            QCOMPARE(grid.rows(), shown.size() + 1);
        }));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("confirma eliminar la factura ") + number);
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Question);
        QCOMPARE(seam.boxes[0].defaultButton, MsgDefault::Second);
        QCOMPARE(storedInvoices(despacho).size(), shown.size());
    }

    // Delete and Enter on a grid without invoices do nothing.
    void emptyGridKeys() {
        QVERIFY(withCaratula(kNotPresented, [&](frmCaratula& form) {
            auto& grid = child<FlexGrid>(form, "grdFacturas");
            QTest::keyClick(grid.bodyView(), Qt::Key_Delete);
            QTest::keyClick(grid.bodyView(), Qt::Key_Return);
            QVERIFY(child<QLineEdit>(form, "txtFactura").isHidden());
        }));
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // However the window closed, the next showing of the same form loads the declaration it
    // is given; a dialog closing over it does not load again.
    void loadedOncePerShowing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
        QTest::newRow("closed by its opener") << "reject";
    }
    void loadedOncePerShowing() {
        QFETCH(QString, how);
        ScriptedUi::current().onForm(QStringLiteral("frmFacturas"),
                                     [](QDialog& dialog) { dialog.reject(); });
        frmCaratula form;
        QVERIFY(withCaratula(form, kImport, [&](frmCaratula& f) {
            auto& reference = child<QLineEdit>(f, "txtIdentificadorPropio");
            reference.setText(QStringLiteral("typed"));
            child<QPushButton>(f, "cmdAgregar").click();
            QCOMPARE(reference.text(), QStringLiteral("typed"));
            if (how == QLatin1String("esc"))
                QTest::keyClick(child<FlexGrid>(f, "grdFacturas").bodyView(), Qt::Key_Escape);
            else if (how == QLatin1String("close"))
                f.close();
            else
                f.reject();
            QVERIFY(!f.isVisible());
        }));
        QVERIFY(withCaratula(form, kExport, [&](frmCaratula& f) {
            QCOMPARE(child<QLineEdit>(f, "txtIdentificadorPropio").text(),
                     QStringLiteral("EXPO-1"));
            QCOMPARE(shownInvoices(f), QStringList{"00001-00000001"});
            QCOMPARE(child<QComboBox>(f, "cboPresenciaFacturas").count(), 2);
        }));
    }

    // Every button and key with the data layer failing: a box at most, never a broken form.
    void everyActionWithFailingData() {
        frmCaratula form;
        form.m_Operacion = kImport;
        corvelix::test::pressEverythingWithFailingData(form);
    }
};

CORVELIX_TEST(tst_frmCaratula)
#include "tst_frmCaratula.moc"
