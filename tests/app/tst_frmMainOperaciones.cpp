#include "app/frmMain.h"
#include "data/modDA.h"
#include "imports/frmGenerarCancelaciones.h"
#include "platform/Settings.h"
#include "shell/MainWindowOpener.h"
#include "shell/frmInputText.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"
#include "support/WithoutPermissionOverride.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;
using corvelix::test::WithoutPermissionOverride;

namespace {

// IC06 admits cancellations, IC04 does not.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC06000123A', 'UNO'), ('26001IC04000009Z', 'DOS'),
  ('26001SIMI000001A', 'TRES');
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC06000123A', '0001', '0001');
INSERT INTO SBT (IDDT, NART, ISBT) VALUES ('26001IC06000123A', '0001', '0001');
INSERT INTO CPL (ICPL, NART, CCPL) VALUES ('26001IC06000123A', '0001', 'SIMI-FECHA-ARRIB'),
  ('26001SIMI000001A', '0001', 'SIMI-FECHA-ARRIB');
)");

QAction& entry(frmMain& frm, const char* name) {
    return *frm.findChild<QAction*>(QLatin1String(name));
}

void seleccionar(frmMain& frm, const QString& numero) {
    frm.findChild<QCheckBox*>(QStringLiteral("chkMostrarSIMI"))->setChecked(true);
    frm.cargarGrilla(QString());
    auto& lista = *frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
    const auto encontrados = lista.findItems(numero, Qt::MatchExactly, 0);
    QVERIFY(!encontrados.isEmpty());
    lista.setCurrentItem(encontrados.first());
}

QString consulta(const QString& sql) {
    const modDA::Recordset rs = modDA::getRs(modDA::kCatalog, testSql(sql));
    QStringList filas;
    for (const QVariantList& r : rs.rows()) {
        QStringList campos;
        for (const QVariant& v : r)
            campos << v.toString();
        filas << campos.join(QLatin1Char('|'));
    }
    return filas.join(QLatin1Char(';'));
}

void responderDestino(const QString& dit, const QString& ctit, bool generar = true) {
    ScriptedUi::current().onForm(QStringLiteral("frmGenerarCancelaciones"), [=](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("txtDIT"))->setText(dit);
        d.findChild<QLineEdit*>(QStringLiteral("txtCTIT"))->setText(ctit);
        d.findChild<QPushButton*>(generar ? QStringLiteral("cmdGenerar")
                                          : QStringLiteral("cmdCancelar"))
            ->click();
    });
}

} // namespace

// Cancellation generation, SIMI FIX, the SIMI menu key and the profile reset key.
class tst_frmMainOperaciones : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { ScriptedUi::current().reset(); }

private slots:
    void generarDescarga_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("dit");
        QTest::addColumn<bool>("generar");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<bool>("asks"); // whether the destination dialog opens
        QTest::newRow("refused sub-regime")
            << QStringLiteral("26001IC04000009Z") << QString() << true
            << QStringList{QStringLiteral("No se puede distribuir en una IC04")} << QString()
            << false;
        QTest::newRow("cancelled")
            << QStringLiteral("26001IC06000123A") << QStringLiteral("x") << false
            << QStringList{QStringLiteral("Numero de despacho inválido")} << QString() << true;
        QTest::newRow("short") << QStringLiteral("26001IC06000123A")
                               << QStringLiteral("25001IC0400001") << true
                               << QStringList{QStringLiteral("Numero de despacho inválido")}
                               << QString() << true;
        QTest::newRow("lower case")
            << QStringLiteral("26001IC06000123A") << QStringLiteral("25001ic04000001x") << true
            << QStringList{QStringLiteral("Confirma generar la descarga de 25001IC04000001X en "
                                          "todos los item's del despacho seleccionado "
                                          "(26001IC06000123A)?"),
                           QStringLiteral("Fin de proceso.")}
            << QStringLiteral("25001IC04000001X|1|1") << true;
    }
    void generarDescarga() {
        QFETCH(QString, despacho);
        QFETCH(QString, dit);
        QFETCH(bool, generar);
        QFETCH(QStringList, boxes);
        QFETCH(QString, lines);
        QFETCH(bool, asks);
        CatalogFixture catalog(kSeed);
        if (asks)
            responderDestino(dit, QStringLiteral(" CERT "), generar);
        frmMain frm;
        frm.cargarGrilla(QString());
        seleccionar(frm, despacho);
        QList<MsgResult> answers(boxes.size(), MsgResult::Ok);
        if (boxes.size() == 2)
            answers[0] = MsgResult::Yes;
        ScriptedUi::current().answerBoxes(answers);
        entry(frm, "mnuprorratearIDA4").trigger();
        QStringList shown;
        for (const auto& box : ScriptedUi::current().boxes)
            shown << box.text;
        QCOMPARE(shown, boxes);
        QCOMPARE(
            ScriptedUi::current().shownForms.contains(QStringLiteral("frmGenerarCancelaciones")),
            asks);
        if (boxes.size() == 2)
            QCOMPARE(ScriptedUi::current().boxes[0].defaultButton, MsgDefault::Second);
        QCOMPARE(consulta(QStringLiteral("SELECT IDCNAPU, NDCNARTAPU, NDCNSBTAPU FROM DCN")),
                 lines);
        QVERIFY(!ScriptedUi::current().busy);
    }

    // The opener trims both answers and turns the number to upper case.
    void destinoRecortado() {
        CatalogFixture catalog(kSeed);
        ScriptedUi::current().onForm(QStringLiteral("frmGenerarCancelaciones"), [](QDialog& d) {
            auto& dialogo = static_cast<frmGenerarCancelaciones&>(d);
            dialogo.m_DIT = QStringLiteral("  25001ic04000001x ");
            dialogo.m_CTIT = QStringLiteral(" cert ");
            d.accept();
        });
        frmMain frm;
        seleccionar(frm, QStringLiteral("26001IC06000123A"));
        ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
        entry(frm, "mnuprorratearIDA4").trigger();
        QCOMPARE(consulta(QStringLiteral("SELECT IDCNAPU, CDCNEXPAPU FROM DCN")),
                 QStringLiteral("25001IC04000001X|cert"));
    }

    // The dialog hands back what was typed; it takes no seventeenth character.
    void dialogo() {
        frmGenerarCancelaciones d;
        auto* dit = d.findChild<QLineEdit*>(QStringLiteral("txtDIT"));
        QTest::keyClicks(dit, QStringLiteral(" 26001ic04000001ab"));
        QCOMPARE(dit->text(), QStringLiteral(" 26001ic04000001"));
        d.findChild<QPushButton*>(QStringLiteral("cmdGenerar"))->click();
        QCOMPARE(d.m_DIT, QStringLiteral(" 26001ic04000001"));
        QCOMPARE(d.m_CTIT, QString());
        d.m_DIT = QStringLiteral("a");
        d.m_CTIT = QStringLiteral("b");
        d.reject();
        QCOMPARE(d.m_DIT, QStringLiteral("a"));
        d.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
        QCOMPARE(d.m_DIT, QString());
        QCOMPARE(d.m_CTIT, QString());
    }

    void simiFix_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<QString>("left");
        QTest::newRow("SIMI refused") << QStringLiteral("26001SIMI000001A") << MsgResult::Ok
                                      << QStringLiteral("2");
        QTest::newRow("No") << QStringLiteral("26001IC06000123A") << MsgResult::No
                            << QStringLiteral("2");
        QTest::newRow("Yes") << QStringLiteral("26001IC06000123A") << MsgResult::Yes
                             << QStringLiteral("1");
    }
    void simiFix() {
        QFETCH(QString, despacho);
        QFETCH(MsgResult, answer);
        QFETCH(QString, left);
        CatalogFixture catalog(kSeed);
        frmMain frm;
        frm.cargarGrilla(QString());
        seleccionar(frm, despacho);
        ScriptedUi::current().answerBoxes({answer});
        entry(frm, "mnuSIMIFIX4").trigger();
        const auto& box = ScriptedUi::current().boxes.value(0);
        if (answer == MsgResult::Ok) {
            QCOMPARE(box.text, QStringLiteral("No se puede aplicar SIMI FIX a una SIRA, tiene que "
                                              "ser en una definitiva"));
        } else {
            QCOMPARE(box.text, QStringLiteral("Confirma eliminar en todos los items, las "
                                              "informaciones adicionales SIMI-DESC-MERCXX, "
                                              "SIMI-FECHA-ARRIB, SIMI-FECHA-EMBAR\n\nOperación: ") +
                                   despacho);
            QCOMPARE(box.defaultButton, MsgDefault::Second);
        }
        QCOMPARE(consulta(QStringLiteral("SELECT COUNT(*) FROM CPL")), left);
    }

    // F6 opens the SIMI menu of the selected declaration in place of the main window.
    void simiMenuKey() {
        CatalogFixture catalog(kSeed);
        frmMain frm;
        frm.show();
        frm.cargarGrilla(QString());
        seleccionar(frm, QStringLiteral("26001IC04000009Z"));
        QTest::keyClick(frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos")), Qt::Key_F6);
        QCOMPARE(ScriptedUi::current().modelessForms, QStringList{QStringLiteral("frmMenuIC")});
        QVERIFY(!frm.isVisible());
        QWidget* menu = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmMenuIC"))
                menu = w;
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->findChild<QLabel*>(QStringLiteral("lbOperacion"))->text(),
                 QStringLiteral("26001IC04000009Z"));
        delete menu;
    }

    // Closing the SIMI menu, pressed twice before it is gone, gives back one main window,
    // which loads its list.
    void simiMenuClose_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cerrar") << false;
        QTest::newRow("Esc") << true;
    }

    void simiMenuClose() {
        QFETCH(bool, escape);
        CatalogFixture catalog(kSeed);
        corvelix::setMainWindowOpener(&frmMain::abrirNueva);
        const auto sinApertura = qScopeGuard([] { corvelix::setMainWindowOpener({}); });
        frmMain frm;
        frm.show();
        QCoreApplication::processEvents();
        QVERIFY(frmMain::firstActivationDone());
        seleccionar(frm, QStringLiteral("26001IC04000009Z"));
        QTest::keyClick(frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos")), Qt::Key_F6);
        QPointer<QWidget> menu;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmMenuIC"))
                menu = w;
        QVERIFY(menu && menu->isVisible());

        for (int vez = 0; vez < 2 && menu; ++vez) {
            if (escape)
                QTest::keyClick(menu.data(), Qt::Key_Escape);
            else
                menu->findChild<QPushButton*>(QStringLiteral("cmdCerrar"))->click();
        }
        QVERIFY(!menu || !menu->isVisible());
        QCOMPARE(ScriptedUi::current().modelessForms,
                 (QStringList{QStringLiteral("frmMenuIC"), QStringLiteral("frmMain")}));
        QList<frmMain*> nuevas;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* ventana = qobject_cast<frmMain*>(w); ventana != nullptr && ventana != &frm)
                nuevas << ventana;
        QCOMPARE(nuevas.size(), 1);
        const std::unique_ptr<frmMain> nueva(nuevas.first());
        QVERIFY(nueva->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(nueva->findChild<QTreeWidget*>(QStringLiteral("lstDespachos"))->topLevelItemCount(),
                 2);
        delete menu.data();
    }

    void profileReset_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("reset");
        const auto ctrlAlt = Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier);
        QTest::newRow("password with blanks")
            << QStringLiteral("  Morvel4718 ") << ctrlAlt << true << true;
        QTest::newRow("other case") << QStringLiteral("morvel4718") << ctrlAlt << true << false;
        QTest::newRow("with shift")
            << QStringLiteral("Morvel4718")
            << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)
            << true << false;
        // The settings file cannot be written: said so, never "perfil reseteado".
        QTest::newRow("read-only settings file")
            << QStringLiteral("Morvel4718") << ctrlAlt << false << false;
    }
    void profileReset() {
        QFETCH(QString, typed);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, writable);
        QFETCH(bool, reset);
        CatalogFixture catalog(kSeed);
        settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                              QStringLiteral("interno"));
        const QString file = settings::userStore()->fileName();
        if (!writable)
            QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
        bool masked = false;
        // Only Ctrl+Alt+R asks for the password.
        const bool asks = modifiers == (Qt::ControlModifier | Qt::AltModifier);
        if (asks)
            ScriptedUi::current().onForm(QStringLiteral("frmInputText"), [&](QDialog& d) {
                auto& input = static_cast<frmInputText&>(d);
                input.Form_Activate();
                auto* box = d.findChild<QLineEdit*>(QStringLiteral("txtValor"));
                masked = box->echoMode() == QLineEdit::Password;
                box->setText(typed);
                d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
            });
        if (reset || !writable)
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frmMain frm;
        {
            const WithoutPermissionOverride asUser;
            QTest::keyClick(frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos")), Qt::Key_R,
                            modifiers);
        }
        const bool asked = ScriptedUi::current().shownForms.contains(QStringLiteral("frmInputText"));
        QCOMPARE(asked, asks);
        if (asked)
            QVERIFY(masked);
        QCOMPARE(settings::getSetting(QStringLiteral("config"), QStringLiteral("perfil")),
                 reset ? QString() : QStringLiteral("interno"));
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().contains("perfil=interno"), !reset);
        if (reset)
            QCOMPARE(ScriptedUi::current().boxes.value(0).text, QStringLiteral("perfil reseteado"));
        if (!writable) {
            QCOMPARE(ScriptedUi::current().boxes.size(), 1);
            const auto& box = ScriptedUi::current().boxes.first();
            QVERIFY2(box.text.startsWith(
                         QStringLiteral("No se pudo guardar la configuración: no se puede "
                                        "escribir el archivo %1")
                             .arg(file)),
                     qPrintable(box.text));
        }
    }

    // Every entry of both menus and every button is usable, but the header editor's entry.
    void nothingDisabled() {
        frmMain frm;
        for (QAction* action : frm.findChildren<QAction*>()) {
            if (action->objectName().isEmpty() ||
                action->objectName() == QLatin1String("mnuCaratula"))
                continue;
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        }
        for (QPushButton* button : frm.findChildren<QPushButton*>())
            QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    }
};

CORVELIX_TEST(tst_frmMainOperaciones)
#include "tst_frmMainOperaciones.moc"
