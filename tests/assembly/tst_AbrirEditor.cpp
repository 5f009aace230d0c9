#include "assembly/frmArmadoITEM.h"
#include "item_editor/frmItemDetalle.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTableView>
#include <QTest>

using corvelix::FlexGrid;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kDespacho = QStringLiteral("24001IC04000101K");

const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT) VALUES ('24001IC04000101K', 'R1');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST,
  MARTUNITAR, MARTFOB, QARTKGRNET, MARTAJUINC, MARTAJUDED, MARTASS, MARTFLE) VALUES
 ('24001IC04000101K', '0001', '0001', '1111.11.11.111A', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0),
 ('24001IC04000101K', '0002', '0002', '2222.22.22.222B', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0),
 ('24001IC04000101K', '0003', '0003', '3333.33.33.333C', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES
 ('24001IC04000101K', '0001', '0000', ''), ('24001IC04000101K', '0002', '0000', ''),
 ('24001IC04000101K', '0003', '0000', '');
)sql");

} // namespace

// The item view opens the item editor on the current row (the totals row: ITEM GLOBAL) and
// comes back to that row after reloading.
class tst_AbrirEditor : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void abre_data() {
        QTest::addColumn<int>("modo"); // key of the mode
        QTest::addColumn<QString>("como");
        QTest::addColumn<int>("fila");
        QTest::addColumn<QString>("item"); // empty: the editor does not open
        QTest::newRow("double-click item") << int(Qt::Key_F1) << "dbl" << 3 << "0002";
        QTest::newRow("Enter item") << int(Qt::Key_F1) << "enter" << 4 << "0003";
        QTest::newRow("totals row") << int(Qt::Key_F1) << "dbl" << 1 << "0000";
        QTest::newRow("data mode") << int(Qt::Key_F3) << "enter" << 2 << "0001";
        QTest::newRow("liquidation mode") << int(Qt::Key_F4) << "dbl" << 1 << "";
        QTest::newRow("no current row") << int(Qt::Key_F1) << "none" << -1 << "";
    }

    void abre() {
        QFETCH(int, modo);
        QFETCH(QString, como);
        QFETCH(int, fila);
        QFETCH(QString, item);
        CatalogFixture catalog(kSeed);
        ScriptedUi& seam = ScriptedUi::current();
        QStringList abiertos;
        // No item, no editor: then it must not open at all.
        if (!item.isEmpty())
            seam.onForm(QStringLiteral("frmItemDetalle"),
                        [&](QDialog& d) { abiertos << static_cast<frmItemDetalle&>(d).m_Item; });
        seam.onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& d) {
            auto& vista = static_cast<frmArmadoITEM&>(d);
            FlexGrid& grid = *vista.findChild<FlexGrid*>(QStringLiteral("grdITEMS"));
            QTest::keyClick(grid.bodyView(), Qt::Key(modo));
            if (como == QLatin1String("none")) {
                grid.bodyView()->selectionModel()->clear();
                grid.bodyView()->setCurrentIndex(QModelIndex());
                QTest::keyClick(grid.bodyView(), Qt::Key_Return);
                emit grid.dblClick();
            } else {
                grid.setCurrentCell(fila, 1);
                if (como == QLatin1String("dbl"))
                    emit grid.dblClick();
                else
                    QTest::keyClick(grid.bodyView(), Qt::Key_Return);
            }
            if (!item.isEmpty()) {
                QCOMPARE(vista.filaRecordada, fila);
                QCOMPARE(grid.row(), fila);
            }
        });
        frmArmadoITEM vista;
        vista.m_Operacion = kDespacho;
        ui().exec(vista);
        QCOMPARE(seam.shownForms.count(QStringLiteral("frmItemDetalle")), item.isEmpty() ? 0 : 1);
        QCOMPARE(abiertos, item.isEmpty() ? QStringList() : QStringList{item});
    }
};

CORVELIX_TEST(tst_AbrirEditor)
#include "tst_AbrirEditor.moc"
