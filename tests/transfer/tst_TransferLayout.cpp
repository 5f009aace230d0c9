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
using corvelix::test::FormMaker;
using corvelix::test::maker;
using corvelix::test::openingFaults;

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
        QTest::addColumn<FormMaker>("make");
        QTest::newRow("frmImportarRET") << maker<frmImportarRET>();
        QTest::newRow("frmRET2TXT") << maker<frmRET2TXT>();
    }
    void windows() {
        QFETCH(FormMaker, make);
        CORVELIX_VERIFY_NO_FAULTS(openingFaults(*make()));
    }
};

CORVELIX_TEST(tst_TransferLayout)
#include "tst_TransferLayout.moc"
