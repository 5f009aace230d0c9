#include "item_editor/frmCancelaciones.h"
#include "item_editor/frmItemDetalle.h"
#include "item_editor/frmSufijos2InfoAd.h"
#include "support/CatalogFixture.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QTreeWidget>

#include <memory>

using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::controlsOutside;
using corvelix::test::cutCaptions;
using corvelix::test::elidedCells;
using corvelix::test::ScriptedUi;

namespace {

const QString kIC = QStringLiteral("24001IC06000101K");

// One item that carries cancellations of declarations with wide characters, with an amount
// and an NCM as long as they get.
const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT) VALUES ('24001IC06000101K', 'R1');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTTYP, CARTUNTDCL, QARTUNTDCL, CARTUNTEST,
  QARTUNTEST, MARTUNITAR, MARTFOB) VALUES
 ('24001IC06000101K', '0001', '0001', '8467.21.00.900W', 'N', '07', 250000, '07', 250000, 1, 250000);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES
 ('24001IC06000101K', '0001', '0001', 'AA(MWMWMW)-', 250000, 250000, 1, 250000);
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('24001IC06000101K', 1, '25001EW04MWMWMWM', 2, 0, '8471.30.12.900W', 250000, 'C1', 0, '100.00'),
         ('24001IC06000101K', 1, '25001IC04111111I', 3, 0, '1111.11.11.111I', 1, 'C1', 0, '100.00');
)sql");

} // namespace

class tst_ItemEditorLayout : public corvelix::test::TestCase {
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
    // The editor on an item with cancellations: every control of every tab inside the window,
    // no caption cut, the cancellation lines whole, and a title.
    void itemEditor() {
        QStringList outside;
        QStringList cut;
        QStringList cells;
        QString title;
        ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            title = dialog.windowTitle();
            outside = controlsOutside(dialog);
            cut = cutCaptions(dialog);
            auto& cancelaciones =
                *dialog.findChild<QTreeWidget*>(QStringLiteral("lstCancelaciones"));
            QCOMPARE(cancelaciones.topLevelItemCount(), 2);
            cells = elidedCells(cancelaciones, {0, 3, 4});
        });
        frmItemDetalle frm;
        frm.m_Operacion = kIC;
        frm.m_Item = QStringLiteral("0001");
        ui().exec(frm);
        QVERIFY(!title.isEmpty());
        CORVELIX_VERIFY_NO_FAULTS(outside);
        CORVELIX_VERIFY_NO_FAULTS(cut);
        CORVELIX_VERIFY_NO_FAULTS(cells);
    }

    // Every list of the editor on the demo catalog's items: codes, references, certificates,
    // concepts and amounts whole.
    void demoLists_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("list");
        const QString exportacion = QStringLiteral("24033EC01000088P");
        QTest::newRow("advantages") << exportacion << "lstVentajas";
        QTest::newRow("documents") << QStringLiteral("24001IC04000102L") << "lstvDocumentos";
        QTest::newRow("additional information") << exportacion << "lstInfAdItem";
        QTest::newRow("CCPAC") << exportacion << "lstCCPAC";
        QTest::newRow("liquidation") << exportacion << "lstLiquidacion";
        QTest::newRow("subitems") << exportacion << "lstSubitems";
        QTest::newRow("cancellations") << QStringLiteral("25073EC06000031F") << "lstCancelaciones";
    }
    void demoLists() {
        QFETCH(QString, despacho);
        QFETCH(QString, list);
        catalog_.reset();
        catalog_ = std::make_unique<CatalogFixture>();
        catalog_->loadDemoSeed();
        int rows = 0;
        QStringList cells;
        ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            auto& lista = *dialog.findChild<QTreeWidget*>(list);
            rows = lista.topLevelItemCount();
            QList<int> columns;
            for (int c = 0; c < lista.columnCount(); ++c)
                columns << c;
            cells = elidedCells(lista, columns);
        });
        frmItemDetalle frm;
        frm.m_Operacion = despacho;
        frm.m_Item = QStringLiteral("0001");
        ui().exec(frm);
        QVERIFY(rows > 0);
        CORVELIX_VERIFY_NO_FAULTS(cells);
    }

    void dialogs_data() {
        QTest::addColumn<QString>("form");
        QTest::newRow("frmCancelaciones") << "frmCancelaciones";
        QTest::newRow("frmSufijos2InfoAd") << "frmSufijos2InfoAd";
    }
    void dialogs() {
        QFETCH(QString, form);
        QStringList faults;
        QString title;
        ScriptedUi::current().onForm(form, [&](QDialog& dialog) {
            title = dialog.windowTitle();
            faults = controlsOutside(dialog) + cutCaptions(dialog);
        });
        std::unique_ptr<QDialog> dialog;
        if (form == QLatin1String("frmCancelaciones")) {
            auto frm = std::make_unique<frmCancelaciones>();
            frm->m_Operacion = kIC;
            frm->m_Item = QStringLiteral("0001");
            dialog = std::move(frm);
        } else {
            auto frm = std::make_unique<frmSufijos2InfoAd>();
            frm->m_Despacho = kIC;
            dialog = std::move(frm);
        }
        ui().exec(*dialog);
        QVERIFY(!title.isEmpty());
        CORVELIX_VERIFY_NO_FAULTS(faults);
    }
};

CORVELIX_TEST(tst_ItemEditorLayout)
#include "tst_ItemEditorLayout.moc"
