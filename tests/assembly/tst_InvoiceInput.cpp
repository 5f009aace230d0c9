#include "InvoiceFixture.h"

#include "assembly/frmCaratula.h"
#include "assembly/frmFacturas.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <memory>

using corvelix::FlexGrid;
using corvelix::MsgResult;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;
using namespace invoice_test;

// Hostile invoice numbers on every road a number takes into the catalog: typed in the invoice
// dialog, pasted as a list, and typed over an invoice in the header editor's grid. Each is
// bound as a value; what reaches the catalog is the road's own cleaning and no more.
class tst_InvoiceInput : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> catalog_;

protected:
    void initTest() override { catalog_ = std::make_unique<CatalogFixture>(seed()); }
    void cleanupTest() override { catalog_.reset(); }

private slots:
    void badInput_data() {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("input");
        // The declaration's presented invoices afterwards (it starts with F-1, F-2, F-3).
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("box");

        const QString sql = QStringLiteral("F-1'; DELETE FROM DVD; --");
        const QString long300 = QString(300, QLatin1Char('9'));
        const QString foreign = QStringLiteral("請求書-7 Счёт فاتورة");
        const QStringList base{"F-1", "F-2", "F-3"};
        const auto with = [&](const QStringList& more) { return base + more; };
        const auto edited = [&](const QString& second) {
            return QStringList{"F-1", second, "F-3"};
        };

        QTest::newRow("typed: quotes") << "typed"
                                       << "O'BRIEN'S" << with({"O BRIEN S"}) << "";
        QTest::newRow("typed: statement, cut at 20")
            << "typed" << sql << with({"F-1 ; DELETE FROM DV"}) << "";
        QTest::newRow("typed: tab") << "typed"
                                    << "F\t9" << with({"F\t9"}) << "";
        QTest::newRow("typed: 300 characters")
            << "typed" << long300 << with({QString(20, QLatin1Char('9'))}) << "";
        QTest::newRow("typed: other scripts")
            << "typed" << foreign << with({foreign.left(20)}) << "";
        QTest::newRow("typed: empty") << "typed"
                                      << "" << base << "";
        QTest::newRow("typed: duplicate") << "typed"
                                          << "F-2" << base << "La factura F-2 ya esta cargada.";

        QTest::newRow("pasted: quotes") << "pasted"
                                        << "O'BRIEN'S" << with({"O BRIEN S"}) << "";
        QTest::newRow("pasted: statement")
            << "pasted" << sql << with({"F-1 ; DELETE FROM DVD; --"}) << "";
        QTest::newRow("pasted: tabs and semicolons")
            << "pasted"
            << "F\t9;\nG;9\t" << with({"F\t9;", "G;9\t"}) << "";
        QTest::newRow("pasted: 300 characters, cut at 39")
            << "pasted" << long300 << with({QString(39, QLatin1Char('9'))}) << "";
        QTest::newRow("pasted: other scripts") << "pasted" << foreign << with({foreign}) << "";
        QTest::newRow("pasted: empty lines") << "pasted"
                                             << "\n\n  \r\n\r" << base << "";
        QTest::newRow("pasted: duplicates") << "pasted"
                                            << "F-2\nX-1\nx-1\n X-1 \nF-3" << with({"X-1"}) << "";

        QTest::newRow("edited: quotes") << "edited"
                                        << "O'BRIEN'S" << edited("O BRIEN S") << "";
        QTest::newRow("edited: statement")
            << "edited" << sql << edited("F-1 ; DELETE FROM DVD; --") << "";
        QTest::newRow("edited: tab") << "edited"
                                     << "F\t9" << edited("F\t9") << "";
        QTest::newRow("edited: 300 characters, as typed")
            << "edited" << long300 << edited(long300) << "";
        QTest::newRow("edited: other scripts") << "edited" << foreign << edited(foreign) << "";
        QTest::newRow("edited: empty, edit stays open") << "edited"
                                                        << "" << base << "";
        // No existence test on this road: the number is stored twice.
        QTest::newRow("edited: duplicate") << "edited"
                                           << "F-1" << edited("F-1") << "";
    }

    void badInput() {
        QFETCH(QString, road);
        QFETCH(QString, input);
        QFETCH(QStringList, stored);
        QFETCH(QString, box);
        ScriptedUi& seam = ScriptedUi::current();
        if (!box.isEmpty())
            seam.answerBoxes({MsgResult::Ok});

        QVERIFY(withCaratula(kImport, [&](frmCaratula& form) {
            if (road == QLatin1String("typed")) {
                seam.onForm(QStringLiteral("frmFacturas"), [&](QDialog& dialog) {
                    child<QLineEdit>(dialog, "txtFactura").setText(input);
                    child<QPushButton>(dialog, "cmdAgregar").click();
                });
                child<QPushButton>(form, "cmdAgregar").click();
            } else if (road == QLatin1String("pasted")) {
                pasteThroughClipboard(form, input);
            } else {
                child<QTabWidget>(form, "sstabCaratula").setCurrentIndex(1);
                auto& grid = child<FlexGrid>(form, "grdFacturas");
                grid.setCurrentCell(2, 0);
                QTest::keyClick(grid.bodyView(), Qt::Key_Return);
                auto& edit = child<QLineEdit>(form, "txtFactura");
                edit.setText(input);
                QTest::keyClick(&edit, Qt::Key_Return);
                QCOMPARE(edit.isVisible(), input.isEmpty());
            }
            QCOMPARE(shownInvoices(form), stored);
        }));

        QStringList rows;
        for (const QString& n : stored)
            rows << QStringLiteral("S:") + n;
        QCOMPARE(storedInvoices(), rows);
        // Nothing else in the catalog moved.
        QCOMPARE(storedInvoices(kExport), QStringList{"S:00001-00000001"});
        QCOMPARE(seam.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty())
            QCOMPARE(seam.boxes[0].text, box);
    }
};

CORVELIX_TEST(tst_InvoiceInput)
#include "tst_InvoiceInput.moc"
