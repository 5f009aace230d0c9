#include "app/frmActualizacion.h"
#include "app/frmCopiarOperacion.h"
#include "app/frmMain.h"
#include "app/frmmasOpciones.h"
#include "support/CatalogFixture.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using corvelix::test::CatalogFixture;
using corvelix::test::controlsOutside;
using corvelix::test::cutCaptions;
using corvelix::test::elidedCells;
using corvelix::test::ScriptedUi;

namespace {

// Declaration numbers of one length whose widths differ: the narrow one sorts first, so a
// list that sizes its columns by the number of characters takes it as the widest. The amounts
// are as long as an amount gets here.
const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT, CDDTAGR, LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, DDDTOFICIA) VALUES
 ('26001IC04111111I', 'R1', 'AGENTE', 'Importadora', 'Proveedor', 1.5, '2026-03-15 00:00:00'),
 ('26001EW04MWMWMWM', 'R2', 'AGENTE', 'Importadora', 'Proveedor', 250000, '2026-03-16 14:30:00'),
 ('26001EC04000001W', 'R3', 'AGENTE', 'Importadora', 'Proveedor', 9876543.21, '2026-03-17 00:00:00');
)sql");

using Check = std::function<QStringList()>;

} // namespace

class tst_Layout : public corvelix::test::TestCase {
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

    // The demo catalog alone in place of the seed above.
    void useDemoCatalog() {
        catalog_.reset();
        catalog_ = std::make_unique<CatalogFixture>();
        catalog_->loadDemoSeed();
    }

private slots:
    // Every control of each window inside it, no caption cut, at the size the window sets.
    void windows_data() {
        QTest::addColumn<QString>("form");
        QTest::newRow("frmMain") << "frmMain";
        QTest::newRow("frmCopiarOperacion") << "frmCopiarOperacion";
        QTest::newRow("frmmasOpciones") << "frmmasOpciones";
        QTest::newRow("frmActualizacion") << "frmActualizacion";
    }
    void windows() {
        QFETCH(QString, form);
        std::unique_ptr<QWidget> window;
        if (form == QLatin1String("frmMain"))
            window = std::make_unique<frmMain>();
        else if (form == QLatin1String("frmCopiarOperacion"))
            window = std::make_unique<frmCopiarOperacion>();
        else if (form == QLatin1String("frmmasOpciones"))
            window = std::make_unique<frmmasOpciones>();
        else
            window = std::make_unique<frmActualizacion>();
        QVERIFY(!window->windowTitle().isEmpty());
        CORVELIX_VERIFY_NO_FAULTS(controlsOutside(*window));
        CORVELIX_VERIFY_NO_FAULTS(cutCaptions(*window));
    }

    // The declaration numbers, references, amounts and dates of the main list and of the copy
    // dialog are whole, however wide their characters are, and on the demo catalog's rows.
    void mainList_data() {
        QTest::addColumn<bool>("demo");
        QTest::newRow("wide characters") << false;
        QTest::newRow("demo catalog") << true;
    }
    void mainList() {
        QFETCH(bool, demo);
        if (demo)
            useDemoCatalog();
        frmMain frm;
        frm.cargarGrilla(QString());
        auto& list = *frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
        QVERIFY(list.topLevelItemCount() >= 3);
        if (!demo)
            QCOMPARE(list.topLevelItem(1)->text(4), QStringLiteral("250000,00"));
        CORVELIX_VERIFY_NO_FAULTS(elidedCells(list, {0, 1, 2, 3, 4, 5}));
    }

    void copyDialogList_data() { mainList_data(); }
    void copyDialogList() {
        QFETCH(bool, demo);
        if (demo)
            useDemoCatalog();
        QStringList faults;
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            faults = elidedCells(*dialog.findChild<QTreeWidget*>(QStringLiteral("lstDestino")),
                                 {0, 1, 2});
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = QStringLiteral("26001IC04111111I");
        corvelix::ui().exec(frm);
        CORVELIX_VERIFY_NO_FAULTS(faults);
    }
};

CORVELIX_TEST(tst_Layout)
#include "tst_Layout.moc"
