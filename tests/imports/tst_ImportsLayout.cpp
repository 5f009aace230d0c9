#include "imports/frmGenerarCancelaciones.h"
#include "imports/frmIC.h"
#include "imports/frmMenuIC.h"
#include "imports/frmSIMIGlobal.h"
#include "imports/frmSelectCampos.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "imports/frmXLS2Liquidaciones.h"
#include "support/CatalogFixture.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;
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
};

CORVELIX_TEST(tst_ImportsLayout)
#include "tst_ImportsLayout.moc"
