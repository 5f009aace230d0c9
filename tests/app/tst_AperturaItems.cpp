#include "app/frmMain.h"
#include "assembly/frmArmadoITEM.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"
#include "support/TestXServer.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;
using corvelix::test::TestDisplay;
using corvelix::test::TestWindow;

namespace {

const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT) VALUES
 ('24010IC04000001A', 'REF 01'),
 ('24010IC04000007G', 'X Y');
)sql");

const QString kAbierto = QStringLiteral("24010IC04000001A");

QTreeWidget& lista(frmMain& frm) {
    return *frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
}

// What the item view was given when it was shown.
struct Apertura {
    QString operacion;
    QString referencia;
};

} // namespace

// The main list opens the item view of the selected declaration: by double-click, Enter or
// "ver Item's", after asking the window watch.
class tst_AperturaItems : public corvelix::test::TestCase {
    Q_OBJECT

    TestDisplay display_;
    QList<Apertura> aperturas_;

private slots:
    void initTestCase() { display_.start(); }
    void cleanupTestCase() { display_.stop(); }

protected:
    void initTest() override { aperturas_.clear(); }

    // Records what the item view is given; an opening that never comes fails the test.
    void esperarApertura() {
        ScriptedUi::current().onForm(QStringLiteral("frmArmadoITEM"), [this](QDialog& dialog) {
            auto& vista = static_cast<frmArmadoITEM&>(dialog);
            aperturas_.append({vista.m_Operacion, vista.m_IdentificadorPropio});
        });
    }

    void cleanupTest() override {
        if (display_.server())
            display_.server()->closeAll();
    }
private slots:

    void opens_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("double-click") << "double-click";
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("ver Item's") << "menu";
    }

    void opens() {
        QFETCH(QString, trigger);
        CatalogFixture catalog(kSeed);
        esperarApertura();
        frmMain frm;
        frm.cargarGrilla(QString());
        QTreeWidget& list = lista(frm);
        QCOMPARE(list.topLevelItemCount(), 2);
        QTreeWidgetItem* second = list.topLevelItem(1);
        list.setCurrentItem(second);
        if (trigger == QLatin1String("double-click"))
            emit list.itemDoubleClicked(second, 0);
        else if (trigger == QLatin1String("Enter"))
            QTest::keyClick(&list, Qt::Key_Return);
        else
            frm.findChild<QAction*>(QStringLiteral("mnuItem"))->trigger();
        QCOMPARE(aperturas_.size(), 1);
        QCOMPARE(aperturas_.at(0).operacion, second->text(0));
        QCOMPARE(aperturas_.at(0).referencia, second->text(1));
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void emptyListOpensNothing() {
        CatalogFixture catalog(kSeed);
        frmMain frm;
        frm.cargarItemsView();
        QTest::keyClick(&lista(frm), Qt::Key_Return);
        QVERIFY(!ScriptedUi::current().shownForms.contains(QStringLiteral("frmArmadoITEM")));
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void openInClient_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("opens");
        const QString client = QStringLiteral("SIM Version 4.1.2 - Usuario: ana - ");
        QTest::newRow("open, No") << client + kAbierto << true << MsgResult::No << false;
        QTest::newRow("open, Yes") << client + kAbierto << true << MsgResult::Yes << true;
        QTest::newRow("client shows another")
            << client + QStringLiteral("24010IC04000007G") << false << MsgResult::Ok << true;
        QTest::newRow("no client") << QString() << false << MsgResult::Ok << true;
    }

    void openInClient() {
        QFETCH(QString, title);
        QFETCH(bool, asks);
        QFETCH(MsgResult, answer);
        QFETCH(bool, opens);
        if (!display_.server())
            CORVELIX_WITHOUT_DISPLAY(QStringLiteral("Xvfb could not be started: ") +
                                     display_.why());
        if (!title.isEmpty())
            display_.server()->open({{title, QString(), false}});
        CatalogFixture catalog(kSeed);
        ScriptedUi& seam = ScriptedUi::current();
        frmMain frm;
        frm.cargarGrilla(QString());
        QTreeWidget& list = lista(frm);
        QTreeWidgetItem* fila = list.findItems(kAbierto, Qt::MatchExactly).value(0);
        QVERIFY(fila != nullptr);
        list.setCurrentItem(fila);
        if (asks)
            seam.answerBoxes({answer});
        if (opens)
            esperarApertura();
        emit list.itemDoubleClicked(fila, 0);
        QCOMPARE(seam.boxes.size(), asks ? 1 : 0);
        if (asks) {
            const auto& box = seam.boxes.at(0);
            QCOMPARE(box.text, QStringLiteral("ADVERTENCIA: El provisorio ") + kAbierto +
                                   QStringLiteral(" esta abierto en el KIT, si va a realizar "
                                                  "alguna modificación debe terminar "
                                                  "tratamiento, ¿desea continuar?"));
            QCOMPARE(box.buttons, MsgButtons::YesNo);
            QCOMPARE(box.icon, MsgIcon::Exclamation);
            QCOMPARE(box.title, QString());
            QCOMPARE(box.defaultButton, corvelix::MsgDefault::First);
        }
        QCOMPARE(seam.shownForms.count(QStringLiteral("frmArmadoITEM")), opens ? 1 : 0);
        QCOMPARE(aperturas_.size(), opens ? 1 : 0);
    }

    // In the articles mode every key of the grid asks first: while the client shows the
    // declaration, F6 is refused and the search dialog is not shown.
    void articleKeysRefusedWhileOpen() {
        if (!display_.server())
            CORVELIX_WITHOUT_DISPLAY(QStringLiteral("Xvfb could not be started: ") +
                                     display_.why());
        display_.server()->open(
            {{QStringLiteral("SIM Version 4.1.2 - ") + kAbierto, QString(), false}});
        CatalogFixture catalog(kSeed);
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& dialog) {
            QTableView* grid = dialog.findChild<corvelix::FlexGrid*>()->bodyView();
            QTest::keyClick(grid, Qt::Key_F2);
            QVERIFY(seam.boxes.isEmpty());
            seam.answerBoxes({MsgResult::Ok});
            QTest::keyClick(grid, Qt::Key_F6);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("El provisorio ") + kAbierto +
                         QStringLiteral(" esta abierto en el KIT, debe Terminar Tratamiento para "
                                        "poder continuar"));
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Exclamation);
            // Modifier keys alone ask nothing.
            QTest::keyPress(grid, Qt::Key_Shift);
            QCOMPARE(seam.boxes.size(), 1);
        });
        frmArmadoITEM vista;
        vista.m_Operacion = kAbierto;
        ui().exec(vista);
        QVERIFY(!seam.shownForms.contains(QStringLiteral("frmBusquedaArticulo")));
    }

    // While the client shows the declaration, every action of the item view that writes is
    // refused once, with nothing deleted or shown: Delete in both modes, Enter and the
    // double-click on an article, and the two menu entries.
    void actionsRefusedWhileOpen() {
        if (!display_.server())
            CORVELIX_WITHOUT_DISPLAY(QStringLiteral("Xvfb could not be started: ") +
                                     display_.why());
        display_.server()->open(
            {{QStringLiteral("SIM Version 4.1.2 - ") + kAbierto, QString(), false}});
        CatalogFixture catalog(kSeed + QStringLiteral(R"sql(
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE) VALUES ('24010IC04000001A', '0001', '0001', '1111.11.11.111A');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES
 ('24010IC04000001A', '0001', '0000', 'AA(X)-'), ('24010IC04000001A', '0001', '0001', 'AA(Y)-'),
 ('24010IC04000001A', '0001', '0002', 'AA(Z)-');
)sql"));
        ScriptedUi& seam = ScriptedUi::current();
        const QString refusal = QStringLiteral("El provisorio ") + kAbierto +
                                QStringLiteral(" esta abierto en el KIT, debe Terminar "
                                               "Tratamiento para poder continuar");
        seam.onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& dialog) {
            auto* flex = dialog.findChild<corvelix::FlexGrid*>();
            QTableView* grid = flex->bodyView();
            const auto refusedOnce = [&](const std::function<void()>& action) {
                seam.boxes.clear();
                seam.answerBoxes({MsgResult::Ok});
                action();
                QCOMPARE(seam.boxes.size(), 1);
                QCOMPARE(seam.boxes.at(0).text, refusal);
            };
            flex->select(2, 0, 2, flex->cols() - 1);
            refusedOnce([&] { QTest::keyClick(grid, Qt::Key_Delete); });
            refusedOnce(
                [&] { dialog.findChild<QAction*>(QStringLiteral("mnuReemplazarncm"))->trigger(); });
            QTest::keyClick(grid, Qt::Key_F2);
            flex->select(3, 0, 3, flex->cols() - 1);
            refusedOnce([&] { QTest::keyClick(grid, Qt::Key_Delete); });
            refusedOnce([&] { QTest::keyClick(grid, Qt::Key_Return); });
            refusedOnce([&] { emit flex->dblClick(); });
            refusedOnce([&] {
                dialog.findChild<QAction*>(QStringLiteral("mnuEstablecerSufijo"))->trigger();
            });
            seam.boxes.clear();
        });
        frmArmadoITEM vista;
        vista.m_Operacion = kAbierto;
        ui().exec(vista);
        QVERIFY(seam.shownForms.filter(QStringLiteral("frm")).size() == 1);
        const modDA::Recordset rs =
            modDA::getRs(modDA::kCatalog, testSql(QStringLiteral("SELECT count(*) AS n FROM SBT")));
        QCOMPARE(rs.field(QStringLiteral("n")).toInt(), 3);
    }
};

CORVELIX_TEST(tst_AperturaItems)
#include "tst_AperturaItems.moc"
