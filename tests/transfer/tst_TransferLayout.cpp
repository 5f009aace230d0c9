#include "support/CatalogFixture.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "transfer/frmImportarRET.h"
#include "transfer/frmRET2TXT.h"

#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;
using corvelix::test::controlsOutside;
using corvelix::test::cutCaptions;

class tst_TransferLayout : public corvelix::test::TestCase {
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
        QTest::newRow("frmImportarRET") << "frmImportarRET";
        QTest::newRow("frmRET2TXT") << "frmRET2TXT";
    }
    void windows() {
        QFETCH(QString, form);
        std::unique_ptr<QDialog> dialog;
        if (form == QLatin1String("frmImportarRET"))
            dialog = std::make_unique<frmImportarRET>();
        else
            dialog = std::make_unique<frmRET2TXT>();
        dialog->show();
        QVERIFY(!dialog->windowTitle().isEmpty());
        CORVELIX_VERIFY_NO_FAULTS(controlsOutside(*dialog) + cutCaptions(*dialog));
        dialog->hide();
    }
};

CORVELIX_TEST(tst_TransferLayout)
#include "tst_TransferLayout.moc"
