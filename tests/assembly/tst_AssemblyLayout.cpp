#include "assembly/frmArmadoITEM.h"
#include "assembly/frmBusquedaArticulo.h"
#include "assembly/frmCambiarNCM.h"
#include "assembly/frmCaratula.h"
#include "assembly/frmFacturas.h"
#include "assembly/frmFacturasPegar.h"
#include "assembly/frmSetSufijos.h"
#include "assembly/frmSubitemDetalle.h"
#include "assembly/frmSufijoValor.h"
#include "assembly/frmSufijos.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

using corvelix::FlexGrid;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::controlsOutside;
using corvelix::test::cutCaptions;
using corvelix::test::elidedCells;
using corvelix::test::FormMaker;
using corvelix::test::maker;
using corvelix::test::offScreen;
using corvelix::test::openingFaults;
using corvelix::test::ScriptedUi;

namespace {

const QString kDemo = QStringLiteral("24001IC04000101K");
const QString kAncho = QStringLiteral("99001EW04MWMWMWM");

// Beside the demo: a declaration whose item carries amounts and an NCM as wide as they get.
const QString kExtra = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT, CDDTAGR, NDDTIMMIOE, LDDTNOMIOE) VALUES
 ('99001EW04MWMWMWM', 'REF-W', '20-11111111-1', '30-22222222-2', 'IMPORTADORA W');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUNTDCL,
  QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS,
  MARTAJUINC, MARTAJUDED) VALUES
 ('99001EW04MWMWMWM', '0001', '0001', '8471.30.12.900W', 'MWMWM', '310', '310', '07', 250000,
  '07', 250000, 9876543.215, 39.50617, 9876543.21, 9876543.21, 9876543.21, 9876543.21, 9876543.21);
INSERT INTO SBT (IDDT, NART, ISBT, IEXT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES
 ('99001EW04MWMWMWM', '0001', '0000', 'WWMMWWMM', 'AA(MW)-', 250000, 250000, 39.50617, 9876543.21);
)sql");

struct Modo {
    int key;
    QList<int> columnas;
};

} // namespace

class tst_AssemblyLayout : public corvelix::test::TestCase {
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

private slots:
    // The item view in each mode: on the screen, every control inside it, the hints whole,
    // and the declaration numbers, codes and amounts of the grid whole.
    void itemView_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<int>>("columns");
        const QList<int> items{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        const QList<int> articulos{2, 3, 4, 5, 7, 8, 9, 10, 11, 12};
        const QList<int> liquidacion{2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15};
        QTest::newRow("items") << kAncho << int(Qt::Key_F1) << items;
        QTest::newRow("articles") << kAncho << int(Qt::Key_F2) << articulos;
        QTest::newRow("liquidation") << kDemo << int(Qt::Key_F4) << liquidacion;
        QTest::newRow("data") << kAncho << int(Qt::Key_F3) << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("demo items") << kDemo << int(Qt::Key_F1) << items;
        QTest::newRow("demo articles") << kDemo << int(Qt::Key_F2) << articulos;
    }
    void itemView() {
        QFETCH(QString, despacho);
        QFETCH(int, key);
        QFETCH(QList<int>, columns);
        QStringList faults;
        int filas = 0;
        ScriptedUi::current().onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& dialog) {
            auto& grid = *dialog.findChild<FlexGrid*>(QStringLiteral("grdITEMS"));
            QTest::keyClick(grid.bodyView(), Qt::Key(key));
            filas = grid.rows();
            faults = offScreen(dialog) + controlsOutside(dialog) + cutCaptions(dialog) +
                     elidedCells(*grid.bodyView(), columns) +
                     elidedCells(*grid.fixedView(), columns);
        });
        frmArmadoITEM frm;
        frm.m_Operacion = despacho;
        ui().exec(frm);
        QVERIFY(filas > 1);
        CORVELIX_VERIFY_NO_FAULTS(faults);
    }

    // The header editor's summaries: titles, NCM codes, units and totals whole.
    void headerSummaries_data() {
        QTest::addColumn<QString>("despacho");
        QTest::newRow("demo import") << kDemo;
        QTest::newRow("demo export") << QStringLiteral("24033EC01000088P");
        QTest::newRow("wide characters") << kAncho;
    }
    void headerSummaries() {
        QFETCH(QString, despacho);
        QStringList faults;
        int filas = 0;
        ScriptedUi::current().onForm(QStringLiteral("frmCaratula"), [&](QDialog& dialog) {
            for (const char* name : {"grdResumenNCM", "grdCantidades"}) {
                auto& grid = *dialog.findChild<FlexGrid*>(QLatin1String(name));
                filas += grid.rows();
                QList<int> columns;
                for (int c = 0; c < grid.cols(); ++c)
                    columns << c;
                faults += elidedCells(*grid.bodyView(), columns) +
                          elidedCells(*grid.fixedView(), columns);
            }
        });
        frmCaratula frm;
        frm.m_Operacion = despacho;
        ui().exec(frm);
        QVERIFY(filas > 2);
        CORVELIX_VERIFY_NO_FAULTS(faults);
    }

    // The dialogs of the item view: a title, every control inside, no caption cut.
    void dialogs_data() {
        QTest::addColumn<FormMaker>("make");
        QTest::newRow("frmSubitemDetalle") << maker<frmSubitemDetalle>();
        QTest::newRow("frmSufijoValor") << maker<frmSufijoValor>();
        QTest::newRow("frmCaratula") << maker<frmCaratula>();
        QTest::newRow("frmSufijos") << maker<frmSufijos>();
        QTest::newRow("frmSetSufijos") << maker<frmSetSufijos>();
        QTest::newRow("frmCambiarNCM") << maker<frmCambiarNCM>();
        QTest::newRow("frmBusquedaArticulo") << maker<frmBusquedaArticulo>();
        QTest::newRow("frmFacturas") << maker<frmFacturas>();
        QTest::newRow("frmFacturasPegar") << maker<frmFacturasPegar>();
    }
    void dialogs() {
        QFETCH(FormMaker, make);
        CORVELIX_VERIFY_NO_FAULTS(openingFaults(*make()));
    }
};

CORVELIX_TEST(tst_AssemblyLayout)
#include "tst_AssemblyLayout.moc"
