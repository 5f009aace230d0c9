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
using corvelix::test::controlsOutside;
using corvelix::test::cutCaptions;

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
        QTest::addColumn<QString>("form");
        for (const char* form :
             {"frmXLS2Cancelaciones", "frmXLS2Liquidaciones", "frmGenerarCancelaciones", "frmIC",
              "frmMenuIC", "frmSIMIGlobal", "frmCampos", "frmSelectCamposCancelaciones",
              "frmSelectCamposLiquidacion"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }
    void windows() {
        QFETCH(QString, form);
        std::unique_ptr<QDialog> dialog;
        if (form == QLatin1String("frmXLS2Cancelaciones"))
            dialog = std::make_unique<frmXLS2Cancelaciones>();
        else if (form == QLatin1String("frmXLS2Liquidaciones"))
            dialog = std::make_unique<frmXLS2Liquidaciones>();
        else if (form == QLatin1String("frmGenerarCancelaciones"))
            dialog = std::make_unique<frmGenerarCancelaciones>();
        else if (form == QLatin1String("frmIC"))
            dialog = std::make_unique<frmIC>();
        else if (form == QLatin1String("frmMenuIC"))
            dialog = std::make_unique<frmMenuIC>();
        else if (form == QLatin1String("frmSIMIGlobal"))
            dialog = std::make_unique<frmSIMIGlobal>();
        else if (form == QLatin1String("frmCampos"))
            dialog = std::make_unique<frmCampos>();
        else if (form == QLatin1String("frmSelectCamposCancelaciones"))
            dialog = std::make_unique<frmSelectCamposCancelaciones>();
        else
            dialog = std::make_unique<frmSelectCamposLiquidacion>();
        dialog->show();
        QVERIFY(!dialog->windowTitle().isEmpty());
        CORVELIX_VERIFY_NO_FAULTS(controlsOutside(*dialog) + cutCaptions(*dialog));
        dialog->hide();
    }
};

CORVELIX_TEST(tst_ImportsLayout)
#include "tst_ImportsLayout.moc"
