#include "imports/frmGenerarCancelaciones.h"
#include "imports/frmIC.h"
#include "imports/frmMenuIC.h"
#include "imports/frmSIMIGlobal.h"
#include "imports/frmSelectCampos.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "imports/frmXLS2Liquidaciones.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;
using corvelix::test::elidedCells;
using corvelix::test::FormMaker;
using corvelix::test::maker;
using corvelix::test::openingFaults;

class tst_ImportsLayout : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(); }
    void cleanupTest() override { fixture_.reset(); }

private slots:
    // Each window as it opens, before its activation: a title, every control inside it, no
    // caption cut.
    void windows_data() {
        QTest::addColumn<FormMaker>("make");
        QTest::newRow("frmXLS2Cancelaciones") << maker<frmXLS2Cancelaciones>();
        QTest::newRow("frmXLS2Liquidaciones") << maker<frmXLS2Liquidaciones>();
        QTest::newRow("frmGenerarCancelaciones") << maker<frmGenerarCancelaciones>();
        QTest::newRow("frmIC") << maker<frmIC>();
        QTest::newRow("frmMenuIC") << maker<frmMenuIC>();
        QTest::newRow("frmSIMIGlobal") << maker<frmSIMIGlobal>();
        QTest::newRow("frmCampos") << maker<frmCampos>();
        QTest::newRow("frmSelectCamposCancelaciones") << maker<frmSelectCamposCancelaciones>();
        QTest::newRow("frmSelectCamposLiquidacion") << maker<frmSelectCamposLiquidacion>();
    }
    void windows() {
        QFETCH(FormMaker, make);
        CORVELIX_VERIFY_NO_FAULTS(openingFaults(*make()));
    }

    // A cancellation sheet made of the demo catalog's cancellations, read into the grid:
    // declaration numbers, NCM codes, quantities and certificates whole.
    void cancellationSheetGrid() {
        fixture_->loadDemoSeed();
        const QStringList rows = corvelix::test::catalogRows(QStringLiteral(
            "SELECT 1, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU "
            "FROM DCN ORDER BY IDCN, NDCNART"));
        QVERIFY(rows.size() >= 3);
        QFile sheet(fixture_->folder() + QStringLiteral("/cancelaciones.csv"));
        QVERIFY(sheet.open(QIODevice::WriteOnly));
        sheet.write("Destino,Despacho,Item,Sub,NCM,Cant,Certificado\n");
        for (QString row : rows)
            sheet.write(row.replace(QStringLiteral("<null>"), QString())
                            .replace(QLatin1Char('|'), QLatin1Char(','))
                            .toUtf8() +
                        '\n');
        sheet.close();

        frmXLS2Cancelaciones form;
        form.resize(form.sizeHint());
        QVERIFY(form.lf_LevantarExcel(sheet.fileName()));
        auto& grid = *form.findChild<corvelix::FlexGrid*>(QStringLiteral("grdCanc"));
        QCOMPARE(grid.rows(), 2 + rows.size());
        const QList<int> columns{0, 1, 2, 3, 4, 5, 6};
        CORVELIX_VERIFY_NO_FAULTS(elidedCells(*grid.bodyView(), columns) +
                                  elidedCells(*grid.fixedView(), columns));

        // The longest field's name given to the narrowest column, by F1 and the picker.
        grid.setCurrentCell(2, 0);
        corvelix::test::ScriptedUi::current().onForm(
            QStringLiteral("frmSelectCamposCancelaciones"), [](QDialog& d) {
                d.findChild<QComboBox*>(QStringLiteral("cboCampos"))->setCurrentIndex(0);
                d.findChild<QPushButton*>(QStringLiteral("cmdSeleccionar"))->click();
            });
        QTest::keyClick(grid.bodyView(), Qt::Key_F1);
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("DestinacionItem"));
        CORVELIX_VERIFY_NO_FAULTS(elidedCells(*grid.fixedView(), {0}));
    }
};

CORVELIX_TEST(tst_ImportsLayout)
#include "tst_ImportsLayout.moc"
