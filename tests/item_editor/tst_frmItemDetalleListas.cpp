#include "ListTabsHost.h"

#include "item_editor/frmItemDetalle.h"
#include "item_editor/frmSufijos2InfoAd.h"
#include "runtime/Ui.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using corvelix::MsgResult;
using corvelix::test::answerItemPicker;
using corvelix::test::boxes;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::kListTabsDespacho;
using corvelix::test::kListTabsSeed;
using corvelix::test::ScriptedUi;

namespace {

const QString D = kListTabsDespacho;

int filas(frmItemDetalle& frm, const char* lista) {
    return frm.findChild<QTreeWidget*>(QLatin1String(lista))->topLevelItemCount();
}

template <class T> T* control(frmItemDetalle& frm, const char* nombre) {
    return frm.findChild<T*>(QLatin1String(nombre));
}

void abrir(const QString& item, const std::function<void(frmItemDetalle&)>& body) {
    bool corrio = false;
    ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& d) {
        corrio = true;
        body(static_cast<frmItemDetalle&>(d));
    });
    frmItemDetalle frm;
    frm.m_Operacion = D;
    frm.m_Item = item;
    corvelix::ui().exec(frm);
    QVERIFY(corrio);
}

} // namespace

class tst_frmItemDetalleListas : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(kListTabsSeed); }
    void cleanupTest() override { fixture_.reset(); }

private slots:
    // The window's load fills the four tabs; Enter in a value box adds even with the window's
    // input-control objects on the boxes.
    void oneItem() {
        abrir(QStringLiteral("0001"), [](frmItemDetalle& frm) {
            QCOMPARE(filas(frm, "lstInfAdItem"), 2);
            QCOMPARE(filas(frm, "lstVentajas"), 2);
            QCOMPARE(filas(frm, "lstvDocumentos"), 1);
            QCOMPARE(filas(frm, "lstCCPAC"), 0);
            QVERIFY(!control<QPushButton>(frm, "cmdVaciarInfoAD")->isEnabled());
            control<QLineEdit>(frm, "txtInfAdicional")->setText(QStringLiteral("NUEVO"));
            auto* valor = control<QLineEdit>(frm, "txtInfAdicionalValor");
            valor->setText(QStringLiteral("v"));
            QTest::keyClick(valor, Qt::Key_Return);
            QCOMPARE(filas(frm, "lstInfAdItem"), 3);
            QVERIFY(valor->text().isEmpty());
        });
        QCOMPARE(catalogRows(QStringLiteral("SELECT NART, MCPL FROM CPL WHERE ICPL = ? AND "
                                            "CCPL = 'NUEVO'"),
                             {D}),
                 QStringList{"0001|v"});
        QVERIFY(boxes().isEmpty());
    }

    void itemGlobal() {
        abrir(QStringLiteral("0000"), [](frmItemDetalle& frm) {
            QCOMPARE(filas(frm, "lstInfAdItem"), 1);
            QCOMPARE(filas(frm, "lstVentajas"), 1);
            QCOMPARE(filas(frm, "lstvDocumentos"), 1);
            QCOMPARE(filas(frm, "lstCCPAC"), 1);
            QVERIFY(control<QPushButton>(frm, "cmdVaciarInfoAD")->isEnabled());
            QVERIFY(control<QPushButton>(frm, "cmdFob2InfoAd") != nullptr);
            auto* ventaja = control<QLineEdit>(frm, "txtVentajas");
            ventaja->setText(QStringLiteral("V9"));
            answerItemPicker(QStringLiteral("TODO"));
            ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
            QTest::keyClick(ventaja, Qt::Key_Return);
            QCOMPARE(filas(frm, "lstVentajas"), 2);

            QString despacho;
            ScriptedUi::current().onForm(QStringLiteral("frmSufijos2InfoAd"), [&](QDialog& d) {
                despacho = static_cast<frmSufijos2InfoAd&>(d).lbDespacho->text();
            });
            control<QPushButton>(frm, "cmdSufInfoAd")->click();
            QCOMPARE(despacho, D);
        });
        QCOMPARE(boxes().last(), QStringLiteral("64|fin del proceso"));
        QCOMPARE(catalogRows(QStringLiteral("SELECT COUNT(*) FROM SRG WHERE ISRG = ? AND "
                                            "CSRG = 'V9'"),
                             {D}),
                 QStringList{"3"});
    }
};

CORVELIX_TEST(tst_frmItemDetalleListas)
#include "tst_frmItemDetalleListas.moc"
