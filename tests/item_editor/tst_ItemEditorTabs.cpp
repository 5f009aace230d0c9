#include "item_editor/frmCancelaciones.h"
#include "item_editor/frmItemDetalle.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::ScriptedUi;

namespace {

const QString D = QStringLiteral("26001IC06000123A");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, MDDTFOB, MDDTASS, MDDTFLE) VALUES ('26001IC06000123A', 1000, 0, 0);
INSERT INTO ART (IDDT, NART, NARTEXT, CARTUNTDCL, QARTUNTDCL, MARTFOB, MARTASS) VALUES
 ('26001IC06000123A', '0001', '0001', '07', 1, 750, 0),
 ('26001IC06000123A', '0007', '0003', '07', 1, 250, 0);
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 7, '25001IC04000777B', 2, 0, 'N2', 5, 'C1', 0, '100.00');
)");

} // namespace

// The two pages inside the editor window: installed on its tabs, loaded with the item.
class tst_ItemEditorTabs : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> catalog_;

protected:
    void initTest() override {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        catalog_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override {
        catalog_.reset();
        QLocale::setDefault(QLocale::c());
    }

private slots:
    void oneItemCancellations() {
        frmItemDetalle frm;
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0007");
        QStringList listed;
        bool prorrateosShown = true;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtDestinacionSusp"))
                ->setText(QStringLiteral("25001IC04000777B"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtItem"))->setText(QStringLiteral("3"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtSubIT"))->setText(QStringLiteral("0"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCantidad"))
                ->setText(QStringLiteral("1"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        });
        ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            auto& editor = static_cast<frmItemDetalle&>(dialog);
            QVERIFY(editor.pestanaVisible(frmItemDetalle::Cancelaciones));
            prorrateosShown = editor.pestanaVisible(frmItemDetalle::Prorrateos);
            auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("lstCancelaciones"));
            QCOMPARE(list->topLevelItemCount(), 1);
            // The dialog is no control of the editor: locking the editor's buttons leaves it be.
            QVERIFY(dialog.findChild<frmCancelaciones*>() == nullptr);
            QTest::keyClick(list, Qt::Key_Insert);
            for (int r = 0; r < list->topLevelItemCount(); ++r)
                listed << list->topLevelItem(r)->text(1);
        });
        ui().exec(frm);
        QVERIFY(!prorrateosShown);
        QCOMPARE(listed, (QStringList{"2", "3"}));
        QCOMPARE(catalogRows(QStringLiteral("SELECT NDCNART, NDCNARTAPU FROM DCN ORDER BY 2")),
                 (QStringList{"7|2", "7|3"}));
    }

    void itemGlobalProrrateos() {
        frmItemDetalle frm;
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0000");
        int ivaEntries = 0;
        bool cancelacionesShown = true;
        ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            auto& editor = static_cast<frmItemDetalle&>(dialog);
            QVERIFY(editor.pestanaVisible(frmItemDetalle::Prorrateos));
            cancelacionesShown = editor.pestanaVisible(frmItemDetalle::Cancelaciones);
            ivaEntries = dialog.findChild<QComboBox*>(QStringLiteral("cboOpcionesIVA"))->count();
            dialog.findChild<QLineEdit*>(QStringLiteral("txtSeguroTotal"))
                ->setText(QStringLiteral("100"));
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            dialog.findChild<QPushButton*>(QStringLiteral("cmdProrratear_Seguro"))->click();
        });
        ui().exec(frm);
        QVERIFY(!cancelacionesShown);
        QCOMPARE(ivaEntries, 3);
        QCOMPARE(ScriptedUi::current().boxes.last().text,
                 QStringLiteral("El proceso termino correctamente."));
        QCOMPARE(catalogRows(QStringLiteral("SELECT NART, MARTASS FROM ART ORDER BY NART")),
                 (QStringList{"0001|75", "0007|25"}));
        QCOMPARE(catalogRows(QStringLiteral("SELECT MDDTASS FROM DDT")), QStringList{"100"});
    }
};

CORVELIX_TEST(tst_ItemEditorTabs)
#include "tst_ItemEditorTabs.moc"
