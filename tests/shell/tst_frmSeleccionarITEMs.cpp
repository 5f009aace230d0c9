#include "data/ItemList.h"
#include "data/modDA.h"
#include "shell/frmSeleccionarITEMs.h"
#include "shell/utiles.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kD1 = QStringLiteral("26001IC06000001A");

// Three items of D1 (FOB texts sort 1000,00 < 300,00 < 50,50); D2 has an item of its own and
// D3 none.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC06000001A'), ('26001IC06000002B'), ('26001IC06000003C');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTUNTDCL, QARTUNTDCL, MARTFOB)
  VALUES ('26001IC06000001A', '0001', '0001', '8471.30.00', 'ACE18', '203', '07', 10, 300),
         ('26001IC06000001A', '0002', '0002', '8471.41.00', NULL, '310', '07', 2.5, 50.5),
         ('26001IC06000001A', '0003', '0003', '8471.50.00', 'NAC', '203', '01', NULL, 1000),
         ('26001IC06000002B', '0001', '0001', '9999.99.99', NULL, '203', '07', 1, 1);
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC06000001A', '0001', 'ACE18'),
                                          ('26001IC06000001A', '0001', 'BK-RES256');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC06000001A', '0002', 'MARCA', 'D', 'ACME');
)");

QTreeWidget& lista(QDialog& frm) {
    return *frm.findChild<QTreeWidget*>(QStringLiteral("lstItem"));
}

void click(QDialog& frm, const char* button) {
    frm.findChild<QPushButton*>(QLatin1String(button))->click();
}

void uncheck(QDialog& frm, const QString& nart) {
    QTreeWidget& list = lista(frm);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(1) == nart)
            list.topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

QStringList checkedNarts(QDialog& frm) {
    QStringList result;
    QTreeWidget& list = lista(frm);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->checkState(0) == Qt::Checked)
            result << list.topLevelItem(i)->text(1);
    return result;
}

} // namespace

class tst_frmSeleccionarITEMs : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override { fixture.reset(); }
private slots:

    void design() {
        frmSeleccionarITEMs frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Seleccionar ITEM's"));
        QTreeWidget& list = lista(frm);
        QStringList headers;
        for (int i = 0; i < list.columnCount(); ++i)
            headers << list.headerItem()->text(i);
        QCOMPARE(headers, (QStringList{"Item", "Item", "NCM", "Unidad", "Cantidad", "FOB", "Lista",
                                       "Origen", "Ventajas", "Info Ad"}));
        QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
        const QList<QPair<const char*, QString>> buttons = {
            {"cmdTildarSeleccionados", QStringLiteral("Tildar/Destildar seleccionados")},
            {"cmdSeleccionarDeseleccionar", QStringLiteral("Invertir Selección")},
            {"cmdSeleccionar", QStringLiteral("Aceptar")},
            {"cmdCancelar", QStringLiteral("Cancelar")}};
        for (const auto& [name, caption] : buttons) {
            auto* b = frm.findChild<QPushButton*>(QLatin1String(name));
            QCOMPARE(b->text(), caption);
            QVERIFY(!b->autoDefault() && !b->isDefault());
        }
    }

    void rowsShown() {
        QList<QStringList> shown;
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [&](QDialog& dialog) {
            QTreeWidget& list = lista(dialog);
            for (int i = 0; i < list.topLevelItemCount(); ++i) {
                QStringList row;
                for (int c = 0; c < list.columnCount(); ++c)
                    row << list.topLevelItem(i)->text(c);
                QCOMPARE(list.topLevelItem(i)->checkState(0), Qt::Checked);
                shown << row;
            }
        });
        utiles::getSeleccionarITEMS(kD1);
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0], (QStringList{"0001", "0001", "8471.30.00", "07", "10,00", "300,00",
                                        "ACE18", "203", "ACE18 - BK-RES256", ""}));
        QCOMPARE(shown[1].mid(4), (QStringList{"02,50", "50,50", "", "310", "", "MARCA=ACME"}));
        QCOMPARE(shown[2].at(4), QString()); // a Null quantity shows empty
    }

    // What "Aceptar" hands back after the user's changes.
    void choice_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("unchanged") << QString() << QStringLiteral("TODO");
        QTest::newRow("one unchecked")
            << QStringLiteral("uncheck 0002") << QStringLiteral("'0001','0003'");
        QTest::newRow("sorted by FOB")
            << QStringLiteral("sort fob, uncheck 0003") << QStringLiteral("'0002','0001'");
        QTest::newRow("two highlighted flipped")
            << QStringLiteral("highlight 0001 0003") << QStringLiteral("'0002'");
        QTest::newRow("inverted twice")
            << QStringLiteral("invert invert") << QStringLiteral("TODO");
    }
    void choice() {
        QFETCH(QString, action);
        QFETCH(QString, resultado);
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [&](QDialog& dialog) {
            QTreeWidget& list = lista(dialog);
            if (action.startsWith(QLatin1String("uncheck")))
                uncheck(dialog, action.section(QLatin1Char(' '), 1));
            if (action.startsWith(QLatin1String("sort fob"))) {
                emit list.header()->sectionClicked(5); // descending texts: 50,50 300,00 1000,00
                uncheck(dialog, QStringLiteral("0003"));
            }
            if (action.startsWith(QLatin1String("highlight"))) {
                list.topLevelItem(0)->setSelected(true);
                list.topLevelItem(2)->setSelected(true);
                click(dialog, "cmdTildarSeleccionados");
            }
            if (action.startsWith(QLatin1String("invert"))) {
                click(dialog, "cmdSeleccionarDeseleccionar");
                click(dialog, "cmdSeleccionarDeseleccionar");
            }
            click(dialog, "cmdSeleccionar");
            QVERIFY(!dialog.isVisible());
        });
        const QString result = utiles::getSeleccionarITEMS(kD1);
        QCOMPARE(result, resultado);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        // The callers read it as their item list.
        const modDA::ItemList items = modDA::ItemList::parse(result);
        QCOMPARE(items.all, resultado == QLatin1String("TODO"));
    }

    // Nothing checked: a warning, the form stays, nothing is handed back.
    void noneChecked_data() {
        QTest::addColumn<QString>("despacho");
        QTest::newRow("all inverted") << kD1;
        QTest::newRow("declaration without items") << QStringLiteral("26001IC06000003C");
    }
    void noneChecked() {
        QFETCH(QString, despacho);
        bool stayed = false;
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [&](QDialog& dialog) {
            click(dialog, "cmdSeleccionarDeseleccionar");
            QVERIFY(checkedNarts(dialog).isEmpty());
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            click(dialog, "cmdSeleccionar");
            stayed = dialog.isVisible();
            click(dialog, "cmdCancelar");
        });
        QCOMPARE(utiles::getSeleccionarITEMS(despacho), QString());
        QVERIFY(stayed);
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Tiene que seleccionar algun item."));
        QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
    }

    void leaving_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancelar") << QStringLiteral("cancelar");
        QTest::newRow("Esc on the list") << QStringLiteral("esc");
        QTest::newRow("close box") << QStringLiteral("close");
    }
    void leaving() {
        QFETCH(QString, how);
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [&](QDialog& dialog) {
            uncheck(dialog, QStringLiteral("0001"));
            if (how == QLatin1String("cancelar"))
                click(dialog, "cmdCancelar");
            else if (how == QLatin1String("esc"))
                QTest::keyClick(&lista(dialog), Qt::Key_Escape);
            else
                dialog.close();
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(utiles::getSeleccionarITEMS(kD1), QString());
    }

    // Each showing loads the declaration anew, with every item checked again.
    void reloadedPerShowing() {
        frmSeleccionarITEMs frm;
        QList<QStringList> checked;
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [&](QDialog& dialog) {
            checked << checkedNarts(dialog);
            uncheck(dialog, QStringLiteral("0002"));
            dialog.close();
        });
        frm.m_Operacion = kD1;
        ui().exec(frm);
        ui().exec(frm);
        QCOMPARE(checked.size(), 2);
        QCOMPARE(checked[1], (QStringList{"0001", "0002", "0003"}));
    }

    void loadFailure() {
        modDA::execSQL(modDA::kCatalog, testSql(QStringLiteral("DROP TABLE ART")));
        ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [](QDialog& dialog) {
            QCOMPARE(lista(dialog).topLevelItemCount(), 0);
        });
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        QCOMPARE(utiles::getSeleccionarITEMS(kD1), QString());
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(
                     QLatin1String("\n\nCorvelix.frmSeleccionarITEMs.Form_Activate (0)::Corvelix."
                                   "frmSeleccionarITEMs.cargarITEMs (0)::")),
                 qPrintable(boxes[0].text));
    }
};

CORVELIX_TEST(tst_frmSeleccionarITEMs)
#include "tst_frmSeleccionarITEMs.moc"
