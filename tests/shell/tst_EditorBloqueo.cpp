#include "item_editor/frmItemDetalle.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestXServer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::ScriptedUi;
using corvelix::test::TestDisplay;

namespace {

const QString kAbierto = QStringLiteral("24010IC04000001A");

const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT) VALUES ('24010IC04000001A', 'REF 01');
INSERT INTO lst (CODLISTA, DESCLISTA) VALUES ('NAC', 'SIN ACUERDO');
INSERT INTO ART (IDDT, NART, NARTEXT, LISTA, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST,
  MARTUNITAR, MARTFOB, QARTKGRNET, MARTAJUINC, MARTAJUDED, MARTASS, MARTFLE) VALUES
 ('24010IC04000001A', '0001', '0001', 'ACE18', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0);
)sql");

// Both items of the declaration share an information code, an advantage and a document, so
// ITEM GLOBAL lists them.
const QString kShared = QStringLiteral(R"sql(
INSERT INTO ART (IDDT, NART, NARTEXT, LISTA, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST,
  MARTUNITAR, MARTFOB, QARTKGRNET, MARTAJUINC, MARTAJUDED, MARTASS, MARTFLE) VALUES
 ('24010IC04000001A', '0002', '0002', 'ACE18', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('24010IC04000001A', '0001', 'MARCA', 'X', 'D');
INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES ('24010IC04000001A', '0002', 'MARCA', 'X', 'D');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('24010IC04000001A', '0001', 'ACE18');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('24010IC04000001A', '0002', 'ACE18');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('24010IC04000001A', '0001', 'LIC', 'S', 'L1');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('24010IC04000001A', '0002', 'LIC', 'S', 'L1');
)sql");

const QString kAvisoAbierto = QStringLiteral("El provisorio ") + kAbierto +
                              QStringLiteral(" esta abierto en el KIT, debe Terminar Tratamiento "
                                             "para poder continuar");

} // namespace

// The item editor while the declaration is open in the outside client: every button off at
// activation, in both scopes, and the writers refuse.
class tst_EditorBloqueo : public corvelix::test::TestCase {
    Q_OBJECT

    TestDisplay display_;

private slots:
    void initTestCase() { display_.start(); }
    void cleanupTestCase() { display_.stop(); }

protected:
    void cleanupTest() override {
        if (display_.server())
            display_.server()->closeAll();
    }

private slots:
    void botonesApagados_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("one item") << "0001";
        QTest::newRow("ITEM GLOBAL") << "0000";
    }

    void botonesApagados() {
        QFETCH(QString, item);
        if (!display_.server())
            CORVELIX_WITHOUT_DISPLAY(QStringLiteral("Xvfb could not be started: ") +
                                     display_.why());
        display_.server()->open(
            {{QStringLiteral("SIM Version 4.1.2 - ") + kAbierto, QString(), false}});
        CatalogFixture catalog(kSeed);
        ScriptedUi& seam = ScriptedUi::current();
        frmItemDetalle frm;
        frm.m_Operacion = kAbierto;
        frm.m_Item = item;
        auto* vaciar = new QPushButton(frm.tabInfAdicional());
        vaciar->setObjectName(QStringLiteral("cmdVaciarInfoAD"));
        seam.onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            const auto botones = dialog.findChildren<QPushButton*>();
            QVERIFY(botones.size() >= 8);
            for (QPushButton* b : botones)
                QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
            // The setters ask again before writing.
            seam.answerBoxes({MsgResult::Ok});
            frm.cmdSetLista_Click();
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("El provisorio ") + kAbierto +
                         QStringLiteral(" esta abierto en el KIT, debe Terminar Tratamiento para "
                                        "poder continuar"));
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Exclamation);
        });
        ui().exec(frm);
    }

    // Delete on a list of ITEM GLOBAL would remove the code from every item: refused, as an
    // add is, and nothing is asked or removed.
    void borrarEnLosItemsRechazado_data() {
        QTest::addColumn<QString>("lista");
        QTest::addColumn<QString>("consulta");
        QTest::newRow("information") << "lstInfAdItem"
                                     << "SELECT NART FROM CPL WHERE ICPL = ? AND CCPL = 'MARCA'";
        QTest::newRow("advantages") << "lstVentajas"
                                    << "SELECT NART FROM SRG WHERE ISRG = ? AND CSRG = 'ACE18'";
        QTest::newRow("documents") << "lstvDocumentos"
                                   << "SELECT NART FROM DVD WHERE IDVD = ? AND CDVDDOC = 'LIC'";
    }

    void borrarEnLosItemsRechazado() {
        QFETCH(QString, lista);
        QFETCH(QString, consulta);
        if (!display_.server())
            CORVELIX_WITHOUT_DISPLAY(QStringLiteral("Xvfb could not be started: ") +
                                     display_.why());
        display_.server()->open(
            {{QStringLiteral("SIM Version 4.1.2 - ") + kAbierto, QString(), false}});
        CatalogFixture catalog(kSeed + kShared);
        ScriptedUi& seam = ScriptedUi::current();
        frmItemDetalle frm;
        frm.m_Operacion = kAbierto;
        frm.m_Item = QStringLiteral("0000");
        bool corrio = false;
        seam.onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            auto* tree = dialog.findChild<QTreeWidget*>(lista);
            QVERIFY(tree != nullptr);
            QCOMPARE(tree->topLevelItemCount(), 1);
            tree->setCurrentItem(tree->topLevelItem(0));
            seam.answerBoxes({MsgResult::Ok});
            QTest::keyClick(tree, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text, kAvisoAbierto);
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Exclamation);
            corrio = true;
        });
        ui().exec(frm);
        QVERIFY(corrio);
        QCOMPARE(catalogRows(consulta, {kAbierto}), (QStringList{"0001", "0002"}));
    }
};

CORVELIX_TEST(tst_EditorBloqueo)
#include "tst_EditorBloqueo.moc"
