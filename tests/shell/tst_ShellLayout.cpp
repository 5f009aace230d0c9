#include "shell/frmInputText.h"
#include "shell/frmListado.h"
#include "shell/frmSeleccionarITEMs.h"
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
using corvelix::test::FormMaker;
using corvelix::test::maker;
using corvelix::test::openingFaults;
using corvelix::test::cutCaptions;
using corvelix::test::elidedCells;
using corvelix::test::ScriptedUi;

namespace {

const QString kD = QStringLiteral("26001EW06MWMWMWM");

// Items with an NCM, a quantity and an amount as wide as they get.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001EW06MWMWMWM');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTUNTDCL, QARTUNTDCL, MARTFOB)
  VALUES ('26001EW06MWMWMWM', '0001', '0001', '8471.30.12.900W', 'MWMWM', '203', '07', 250000, 9876543.21),
         ('26001EW06MWMWMWM', '0002', '0002', '8471.41.00.100M', NULL, '310', '07', 2.5, 50.5);
)");

} // namespace

class tst_ShellLayout : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

private slots:
    // The item picker loaded: every control inside, no caption cut, the numbers, codes and
    // amounts of its list whole.
    void itemPicker() {
        QStringList faults;
        int filas = 0;
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [&](QDialog& dialog) {
            auto& lista = *dialog.findChild<QTreeWidget*>(QStringLiteral("lstItem"));
            filas = lista.topLevelItemCount();
            faults = controlsOutside(dialog) + cutCaptions(dialog) +
                     elidedCells(lista, {1, 2, 3, 4, 5, 6, 7});
        });
        frmSeleccionarITEMs frm;
        frm.m_Operacion = kD;
        ui().exec(frm);
        QCOMPARE(filas, 2);
        CORVELIX_VERIFY_NO_FAULTS(faults);
    }

    void dialogs_data() {
        QTest::addColumn<FormMaker>("make");
        QTest::newRow("frmListado") << maker<frmListado>();
        QTest::newRow("frmInputText") << maker<frmInputText>();
    }
    void dialogs() {
        QFETCH(FormMaker, make);
        CORVELIX_VERIFY_NO_FAULTS(openingFaults(*make()));
    }
};

CORVELIX_TEST(tst_ShellLayout)
#include "tst_ShellLayout.moc"
