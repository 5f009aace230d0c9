#include "InvoiceFixture.h"

#include "assembly/frmFacturas.h"
#include "assembly/frmFacturasPegar.h"
#include "support/CatalogFixture.h"
#include "support/FormUnderFailure.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;
using namespace invoice_test;

class tst_InvoiceDialogs : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> catalog_;

protected:
    void initTest() override { catalog_ = std::make_unique<CatalogFixture>(seed()); }
    void cleanupTest() override { catalog_.reset(); }

private slots:
    void designOfOneInvoice() {
        frmFacturas form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Nueva Factura"));
        auto& text = child<QLineEdit>(form, "txtFactura");
        QCOMPARE(text.maxLength(), 20);
        QCOMPARE(text.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        auto& agregar = child<QPushButton>(form, "cmdAgregar");
        auto& cancelar = child<QPushButton>(form, "cmdCancelar");
        QCOMPARE(agregar.text(), QStringLiteral("Agregar"));
        QCOMPARE(cancelar.text(), QStringLiteral("Cancelar"));
        QVERIFY(agregar.isDefault() && !agregar.autoDefault());
        QVERIFY(!cancelar.isDefault() && !cancelar.autoDefault());
    }

    // "Agregar" (or Enter) on one invoice number: what is refused, what is stored.
    void oneInvoice_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("shownAfter");
        QTest::addColumn<bool>("resultado");
        QTest::addColumn<QStringList>("stored");
        const QStringList before{"S:F-1", "S:F-2", "S:F-3"};
        const QString format =
            QStringLiteral("Formato de Factura Expo Inávlida\nDebe ser 00000-00000000");
        QTest::newRow("blanks only")
            << kImport << "    " << false << QString() << "" << false << before;
        QTest::newRow("quotes become blanks") << kImport << "  A'B'  " << false << QString()
                                              << "A B " << true << before + QStringList{"S:A B "};
        QTest::newRow("Enter presses Agregar") << kImport << "F-4" << true << QString() << "F-4"
                                               << true << before + QStringList{"S:F-4"};
        QTest::newRow("already stored, other letter case")
            << kImport << "f-2" << false << "La factura f-2 ya esta cargada."
            << "f-2" << false << before;
        QTest::newRow("not-presented marker goes") << kNotPresented << "G-1" << false << QString()
                                                   << "G-1" << true << QStringList{"S:G-1"};
        QTest::newRow("export, bad format before the stored test")
            << kExport << "00001-0000000" << false << format << "00001-0000000" << false
            << QStringList{"S:00001-00000001"};
        QTest::newRow("export, stored number in its format")
            << kExport << "00001-00000001" << false << "La factura 00001-00000001 ya esta cargada."
            << "00001-00000001" << false << QStringList{"S:00001-00000001"};
        QTest::newRow("export, new number")
            << kExport << "00002-00000001" << false << QString() << "00002-00000001" << true
            << QStringList{"S:00001-00000001", "S:00002-00000001"};
        QTest::newRow("import, any form")
            << kImport << "*** 12 ***" << false << QString() << "*** 12 ***" << true
            << before + QStringList{"S:*** 12 ***"};
    }
    void oneInvoice() {
        QFETCH(QString, despacho);
        QFETCH(QString, typed);
        QFETCH(bool, byEnter);
        QFETCH(QString, box);
        QFETCH(QString, shownAfter);
        QFETCH(bool, resultado);
        QFETCH(QStringList, stored);
        ScriptedUi& seam = ScriptedUi::current();
        if (!box.isEmpty())
            seam.answerBoxes({MsgResult::Ok});
        bool closed = false;
        seam.onForm(QStringLiteral("frmFacturas"), [&](QDialog& dialog) {
            auto& text = child<QLineEdit>(dialog, "txtFactura");
            text.setText(typed);
            if (byEnter)
                QTest::keyClick(&text, Qt::Key_Return);
            else
                child<QPushButton>(dialog, "cmdAgregar").click();
            closed = !dialog.isVisible();
            QCOMPARE(text.text(), shownAfter);
        });
        frmFacturas form;
        form.m_Operacion = despacho;
        form.m_Resultado = true; // stale from an earlier showing
        ui().exec(form);
        QCOMPARE(closed, resultado);
        QCOMPARE(form.m_Resultado, resultado);
        QCOMPARE(storedInvoices(despacho), stored);
        QCOMPARE(seam.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(seam.boxes[0].text, box);
            QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        }
    }

    // Esc after a refused attempt: nothing stored, no result.
    void escapeAfterRefusal() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        seam.onForm(QStringLiteral("frmFacturas"), [](QDialog& dialog) {
            auto& text = child<QLineEdit>(dialog, "txtFactura");
            text.setText(QStringLiteral("F-1"));
            child<QPushButton>(dialog, "cmdAgregar").click();
            QVERIFY(dialog.isVisible());
            QTest::keyClick(&text, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        frmFacturas form;
        form.m_Operacion = kImport;
        ui().exec(form);
        QVERIFY(!form.m_Resultado);
        QCOMPARE(storedInvoices().size(), 3);
    }

    void designOfThePasteDialog() {
        frmFacturasPegar form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Pegar Facturas"));
        QCOMPARE(child<QPlainTextEdit>(form, "txtFacturas").font().family(),
                 QStringLiteral("Courier New"));
        const QList<QPair<const char*, QString>> buttons{
            {"cmdPaste", "Pegar"}, {"cmdAgregar", "Agregar FCs"}, {"cmdCancelar", "Cancelar"}};
        for (const auto& [name, caption] : buttons) {
            auto& button = child<QPushButton>(form, name);
            QCOMPARE(button.text(), caption);
            QVERIFY(!button.isDefault() && !button.autoDefault());
        }
    }

    // The clipboard through the seam: plain text replaces the box; nothing (an image, an
    // empty clipboard) empties it.
    void pasteDialog_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("typedFirst");
        QTest::addColumn<QString>("facturas");
        QTest::addColumn<bool>("refused");
        QTest::newRow("text with LF") << "A-1\nA-2\n"
                                      << "old"
                                      << "A-1\nA-2\n"
                                      << false;
        QTest::newRow("blanks kept") << "  A-1  \n"
                                     << ""
                                     << "  A-1  \n"
                                     << false;
        QTest::newRow("nothing on the clipboard") << ""
                                                  << "old"
                                                  << "" << true;
        QTest::newRow("blank text") << "   "
                                    << ""
                                    << "" << true;
    }
    void pasteDialog() {
        QFETCH(QString, clipboard);
        QFETCH(QString, typedFirst);
        QFETCH(QString, facturas);
        QFETCH(bool, refused);
        ScriptedUi& seam = ScriptedUi::current();
        seam.setClipboard(clipboard);
        if (refused)
            seam.answerBoxes({MsgResult::Ok});
        seam.onForm(QStringLiteral("frmFacturasPegar"), [&](QDialog& dialog) {
            auto& text = child<QPlainTextEdit>(dialog, "txtFacturas");
            QCOMPARE(text.toPlainText(), QString());
            text.setPlainText(typedFirst);
            child<QPushButton>(dialog, "cmdPaste").click();
            QCOMPARE(text.toPlainText(), clipboard);
            child<QPushButton>(dialog, "cmdAgregar").click();
            QCOMPARE(dialog.isVisible(), refused);
        });
        frmFacturasPegar form;
        ui().exec(form);
        QCOMPARE(form.Facturas, facturas);
        QCOMPARE(seam.clipboardReads, 1);
        QCOMPARE(seam.boxes.size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(seam.boxes[0].text,
                     QStringLiteral("Debe pegar el listado de factuas en el cuadro de texto"));
            QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        }
    }

    // Enter makes a new line; a later showing cancelled hands back nothing.
    void pasteDialogShowings() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmFacturasPegar"), [](QDialog& dialog) {
            auto& text = child<QPlainTextEdit>(dialog, "txtFacturas");
            text.setFocus();
            QTest::keyClicks(&text, QStringLiteral("A-1"));
            QTest::keyClick(&text, Qt::Key_Return);
            QTest::keyClicks(&text, QStringLiteral("A-2"));
            QVERIFY(dialog.isVisible());
            child<QPushButton>(dialog, "cmdAgregar").click();
        });
        frmFacturasPegar form;
        ui().exec(form);
        QCOMPARE(form.Facturas, QStringLiteral("A-1\nA-2"));
        seam.onForm(QStringLiteral("frmFacturasPegar"), [](QDialog& dialog) {
            QCOMPARE(child<QPlainTextEdit>(dialog, "txtFacturas").toPlainText(), QString());
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        ui().exec(form);
        QCOMPARE(form.Facturas, QString());
    }

    // The paste dialog reads no data; its one refusal is a box of its own.
    void everyActionWithFailingData() {
        frmFacturas one;
        one.m_Operacion = kImport;
        corvelix::test::pressEverythingWithFailingData(one);
    }
};

CORVELIX_TEST(tst_InvoiceDialogs)
#include "tst_InvoiceDialogs.moc"
