#include "data/modDA.h"
#include "item_editor/CancelacionesTab.h"
#include "item_editor/frmCancelaciones.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

Q_DECLARE_METATYPE(corvelix::MsgResult)

namespace {

const QString D = QStringLiteral("26001IC06000123A");
const QString APU = QStringLiteral("25001IC04000777B");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTSTUSGG) VALUES ('26001IC06000123A', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA) VALUES ('26001IC06000123A', '0001', '0001', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA) VALUES ('26001IC06000123A', '0007', '0003', 'V');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 7, '25001IC04000777B', 2, 0, 'N2', 5, 'C1', 0, '100.00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 7, '25001IC04000777B', 4, 1, NULL, NULL, NULL, NULL, '50.00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 7, '25001IC04000777B', 5, 0, 'N5', 0.25, 'C5', 0, '100.00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU) VALUES ('26001IC06000123A', 1, 'OTRO', 1, 0);
)");

QStringList rows(QTreeWidget& list) {
    QStringList out;
    for (int r = 0; r < list.topLevelItemCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells << list.topLevelItem(r)->text(c);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList marks() {
    return catalogRows(QStringLiteral("SELECT NART, CARTETA FROM ART ORDER BY NART"));
}

// The editor window as far as this page needs it: a named host, its members, one page.
struct Host {
    QWidget form;
    QWidget* page;
    QString operacion = D;
    QString item = QStringLiteral("0007");
    std::unique_ptr<CancelacionesTab> tab;
    Host() {
        form.setObjectName(QStringLiteral("frmItemDetalle"));
        page = new QWidget(&form);
        tab = std::make_unique<CancelacionesTab>(form, *page, operacion, item);
        form.show();
    }
    QTreeWidget& list() { return *tab->lista(); }
};

} // namespace

class tst_CancelacionesTab : public corvelix::test::TestCase {
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

private slots:
    void load() {
        Host host;
        host.tab->cargarCancelacionesMain();
        QTreeWidget& list = host.list();
        QCOMPARE(list.headerItem()->text(0), QStringLiteral("Declaración"));
        QCOMPARE(list.headerItem()->text(7), QStringLiteral("Fact.Ponderacion"));
        // What the user must see: every declaration number, NCM, quantity and certificate whole.
        CORVELIX_VERIFY_NO_FAULTS(corvelix::test::elidedCells(list, {0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(rows(list),
                 (QStringList{APU + "|2|0|N2|05,000000|C1|0|100.00", APU + "|4|1|||||50.00",
                              APU + "|5|0|N5|00,250000|C5|0|100.00"}));
        QVERIFY(list.topLevelItem(0)->textAlignment(4) & Qt::AlignRight);
        QCOMPARE(
            host.page->findChild<QPushButton*>(QStringLiteral("cmdCancelacionesAgregar"))->text(),
            QStringLiteral("Agregar [INS]"));
        QCOMPARE(
            host.page->findChild<QPushButton*>(QStringLiteral("cmdCancelacionesEliminar"))->text(),
            QStringLiteral("Eliminar [DEL]"));
    }

    // On an empty list, or one whose rows are all unselected, Insert opens the dialog to add;
    // Delete, Enter and a double click on the blank area do nothing.
    void withoutSelection_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<int>("count");
        QTest::newRow("empty list") << QStringLiteral("NADA") << 0;
        QTest::newRow("rows, none selected") << D << 1;
    }
    void withoutSelection() {
        QFETCH(QString, despacho);
        QFETCH(int, count);
        Host host;
        host.item = QStringLiteral("0001");
        host.tab->cargarCancelaciones(despacho, QStringLiteral("0001"));
        QCOMPARE(host.list().topLevelItemCount(), count);
        host.list().clearSelection();
        const QStringList before = catalogSnapshot();
        QTest::keyClick(&host.list(), Qt::Key_Delete);
        QTest::keyClick(&host.list(), Qt::Key_Return);
        QTest::mouseDClick(host.list().viewport(), Qt::LeftButton);
        QVERIFY(ScriptedUi::current().shownForms.isEmpty());
        QStringList dit;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            auto& frm = static_cast<frmCancelaciones&>(dialog);
            dit << frm.m_DIT_Numero << frm.m_DIT_Item << frm.m_DIT_SbIt << frm.m_Item;
        });
        QTest::keyClick(&host.list(), Qt::Key_Insert);
        QCOMPARE(ScriptedUi::current().shownForms, QStringList{"frmCancelaciones"});
        QCOMPARE(dit, (QStringList{"", "", "", "0001"}));
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // A saved addition marks the item alone and reloads the list.
    void add() {
        Host host;
        host.tab->cargarCancelacionesMain();
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtDestinacionSusp"))->setText(APU);
            dialog.findChild<QLineEdit*>(QStringLiteral("txtItem"))->setText(QStringLiteral("9"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtSubIT"))->setText(QStringLiteral("0"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCantidad"))
                ->setText(QStringLiteral("1"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        });
        host.page->findChild<QPushButton*>(QStringLiteral("cmdCancelacionesAgregar"))->click();
        QCOMPARE(host.list().topLevelItemCount(), 4);
        QCOMPARE(marks(), (QStringList{"0001|V", "0007|I"}));
    }

    void remove_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("left");
        QTest::newRow("yes") << 1 << MsgResult::Yes
                             << "confirma eliminar el cancelación " + APU + " item 4 subitem 1"
                             << 2;
        QTest::newRow("no") << 0 << MsgResult::No
                            << "confirma eliminar el cancelación " + APU + " item 2 subitem 0" << 3;
    }

    void remove() {
        QFETCH(int, row);
        QFETCH(MsgResult, answer);
        QFETCH(QString, question);
        QFETCH(int, left);
        Host host;
        host.tab->cargarCancelacionesMain();
        host.list().setCurrentItem(host.list().topLevelItem(row));
        const QStringList before = catalogSnapshot();
        ScriptedUi::current().answerBoxes({answer});
        QTest::keyClick(&host.list(), Qt::Key_Delete);
        const auto& box = ScriptedUi::current().boxes.first();
        QCOMPARE(box.text, question);
        QCOMPARE(box.buttons, MsgButtons::YesNo);
        QCOMPARE(box.icon, MsgIcon::Question);
        QCOMPARE(box.defaultButton, MsgDefault::First);
        QCOMPARE(host.list().topLevelItemCount(), left);
        if (answer == MsgResult::No)
            QCOMPARE(catalogSnapshot(), before);
        else
            QCOMPARE(marks(), (QStringList{"0001|V", "0007|I"}));
    }

    // Enter on the third row opens the dialog on its key; after a save the third row is
    // selected again.
    void modify() {
        Host host;
        host.tab->cargarCancelacionesMain();
        host.list().setCurrentItem(host.list().topLevelItem(2));
        QStringList dit;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            auto& frm = static_cast<frmCancelaciones&>(dialog);
            dit << frm.m_DIT_Numero << frm.m_DIT_Item << frm.m_DIT_SbIt;
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCantidad"))
                ->setText(QStringLiteral("8"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        });
        QTest::keyClick(&host.list(), Qt::Key_Return);
        QCOMPARE(dit, (QStringList{APU, "5", "0"}));
        QCOMPARE(host.list().indexOfTopLevelItem(host.list().currentItem()), 2);
        QCOMPARE(host.list().topLevelItem(2)->text(4), QStringLiteral("08,000000"));
        QCOMPARE(marks(), (QStringList{"0001|V", "0007|I"}));
    }

    // A line written and its item's mark go in one transaction: when the mark fails, the
    // addition, the modification or the deletion is undone and the failure shown.
    void writeAndMarkTogether_data() {
        QTest::addColumn<int>("accion");
        QTest::newRow("add") << 0;
        QTest::newRow("modify") << 1;
        QTest::newRow("delete") << 2;
    }
    void writeAndMarkTogether() {
        QFETCH(int, accion);
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("CREATE TRIGGER f BEFORE UPDATE OF CARTETA ON ART "
                                              "BEGIN SELECT RAISE(ABORT, 'injected'); END")));
        Host host;
        host.tab->cargarCancelacionesMain();
        host.list().setCurrentItem(host.list().topLevelItem(2));
        const QStringList before = catalogSnapshot();
        // Adding and modifying go through the line's dialog; deleting only asks.
        if (accion != 2)
            ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
                if (accion == 0) {
                    dialog.findChild<QLineEdit*>(QStringLiteral("txtDestinacionSusp"))
                        ->setText(APU);
                    dialog.findChild<QLineEdit*>(QStringLiteral("txtItem"))
                        ->setText(QStringLiteral("9"));
                    dialog.findChild<QLineEdit*>(QStringLiteral("txtSubIT"))
                        ->setText(QStringLiteral("0"));
                }
                dialog.findChild<QLineEdit*>(QStringLiteral("txtCantidad"))
                    ->setText(QStringLiteral("1"));
                dialog.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
            });
        if (accion == 0) {
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            host.page->findChild<QPushButton*>(QStringLiteral("cmdCancelacionesAgregar"))->click();
        } else if (accion == 1) {
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            QTest::keyClick(&host.list(), Qt::Key_Return);
        } else {
            ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
            QTest::keyClick(&host.list(), Qt::Key_Delete);
        }
        QCOMPARE(ScriptedUi::current().shownForms.size(), accion != 2 ? 1 : 0);
        const auto& boxes = ScriptedUi::current().boxes;
        QVERIFY(!boxes.isEmpty());
        QVERIFY2(boxes.last().text.startsWith(QStringLiteral("injected")),
                 qPrintable(boxes.last().text));
        QCOMPARE(catalogSnapshot(), before);
    }

    // Left without saving: nothing reloaded, nothing marked.
    void modifyCancelled() {
        Host host;
        host.tab->cargarCancelacionesMain();
        const QStringList before = catalogSnapshot();
        QTest::mouseDClick(host.list().viewport(), Qt::LeftButton, {},
                           host.list().visualItemRect(host.list().topLevelItem(1)).center());
        QCOMPARE(ScriptedUi::current().shownForms, QStringList{"frmCancelaciones"});
        QCOMPARE(catalogSnapshot(), before);
    }
};

CORVELIX_TEST(tst_CancelacionesTab)
#include "tst_CancelacionesTab.moc"
