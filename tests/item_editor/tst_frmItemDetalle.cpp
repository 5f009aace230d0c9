#include "data/item_values.h"
#include "data/modDA.h"
#include "item_editor/frmItemDetalle.h"
#include "runtime/Twips.h"
#include "shell/frmListado.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

namespace {

const QString kIC = QStringLiteral("24001IC06000101K"); // carries cancellations
const QString kEC = QStringLiteral("24001EC01000202M"); // origin from provinces, no cancellations

const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT) VALUES ('24001IC06000101K', 'R1'), ('24001EC01000202M', 'R2');
INSERT INTO lst (CODLISTA, DESCLISTA) VALUES ('ACE18', 'ACE 18 MERCOSUR'), ('NAC', 'SIN ACUERDO');
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('NUEVO', 'NUEVO SIN USO'), ('USADO', 'USADO');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('203', 'BRASIL', '2099-12-31 00:00:00'),
 ('310', 'CHINA', '2099-12-31 00:00:00');
INSERT INTO PRV (CPRV, LPRV, DPRVFIN) VALUES ('901', 'BUENOS AIRES', '2099-12-31 00:00:00');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTTYP, LISTA, CARTUSO, CARTPAYORI, CARTPAYPRC,
  CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, MARTUNITAR, MARTFOB, QARTKGRNET, MARTAJUINC,
  MARTAJUDED, MARTASS, MARTFLE) VALUES
 ('24001IC06000101K', '0001', '0001', '8467.21.00.900X', 'N', 'ACE18', 'NUEVO', '310', '203',
  '07', 3, '07', 3, 2.5, 7.5, 12.25, 0, 0, 1, 2),
 ('24001IC06000101K', '0002', '0002', '1111.11.11.111A', 'N', 'ACE18', NULL, NULL, '999',
  '01', 4, '07', 2, 1, 4, 4, 0, 0, 0.5, 1),
 ('24001EC01000202M', '0001', '0001', '2222.22.22.222B', 'N', 'NAC', 'USADO', '901', '203',
  '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0),
 ('24001EC01000202M', '0002', '0002', '2222.22.22.222B', 'N', NULL, NULL, NULL, NULL,
  '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES
 ('24001IC06000101K', '0001', '0002', 'AA(OLD)-ZZ-', 1, 1, 2.5, 2.5, 'B'),
 ('24001IC06000101K', '0001', '0001', 'XY(1)-AA(OLD)-ZZ-', NULL, 2, 2.5, 5, 'A'),
 ('24001IC06000101K', '0002', '0000', 'XY(1)-', 4, 2, 1, 4, NULL),
 ('24001EC01000202M', '0001', '0000', 'ZZ-', 1, 1, 1, 1, NULL),
 ('24001EC01000202M', '0002', '0000', 'ZZ-', 1, 1, 1, 1, NULL);
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES
 ('010', 'DERECHOS', '2000-01-01 00:00:00', '2099-12-31 00:00:00'),
 ('011', 'VENCIDO', '2000-01-01 00:00:00', '2026-12-09 00:00:00');
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC) VALUES
 ('24001IC06000101K', '0001', '010', 'PAG', NULL, 1234.5, 1234.5, 0.21),
 ('24001IC06000101K', '0001', '011', 'PAG', NULL, 1, 1, 1);
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('24001IC06000101K', '0002', 'AUTOLIQLIBREIMP');
)sql");

template <class T> T& hijo(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no control %s", name);
    return *found;
}

QLineEdit& caja(QWidget& w, const char* name) {
    return hijo<QLineEdit>(w, name);
}

QString texto(QWidget& w, const char* name) {
    if (auto* l = w.findChild<QLabel*>(QLatin1String(name)))
        return l->text();
    return caja(w, name).text();
}

// Shows the editor on `item` through the seam and runs `body` while it is open.
void abrir(const QString& despacho, const QString& item,
           const std::function<void(frmItemDetalle&)>& body) {
    bool corrio = false;
    ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
        corrio = true;
        body(static_cast<frmItemDetalle&>(dialog));
    });
    frmItemDetalle frm;
    frm.m_Operacion = despacho;
    frm.m_Item = item;
    ui().exec(frm);
    QVERIFY(corrio);
}

QString columna(const QString& despacho, const QString& item, const QString& col) {
    const modDA::Recordset rs = modDA::getRs(
        modDA::kCatalog,
        testSql(QStringLiteral("select ") + col + QStringLiteral(" as v from ART where IDDT = '") +
                despacho + QStringLiteral("' and NART = '") + item + QStringLiteral("'")));
    return rs.isNull(QStringLiteral("v")) ? QStringLiteral("<null>") : rs.text(QStringLiteral("v"));
}

// The picker keeps only `items` ticked ("TODO": all) and accepts; empty: cancelled.
void picker(const QStringList& items) {
    ScriptedUi::current().onForm(QStringLiteral("frmSeleccionarITEMs"), [items](QDialog& d) {
        auto& lista = hijo<QTreeWidget>(d, "lstItem");
        if (items.isEmpty()) {
            hijo<QPushButton>(d, "cmdCancelar").click();
            return;
        }
        for (int i = 0; i < lista.topLevelItemCount(); ++i) {
            QTreeWidgetItem* fila = lista.topLevelItem(i);
            const bool queda = items == QStringList{"TODO"} || items.contains(fila->text(0));
            fila->setCheckState(0, queda ? Qt::Checked : Qt::Unchecked);
        }
        hijo<QPushButton>(d, "cmdSeleccionar").click();
    });
}

const QString kDesborde =
    QStringLiteral("Desbordamiento\n\nCorvelix.frmItemDetalle.GuardarValores (25)::Corvelix");

void restaurar(const QString& sql) {
    modDA::execSQL(modDA::kCatalog, testSql(sql));
}

} // namespace

class tst_frmItemDetalle : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

    void recargar() {
        fixture_.reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }

protected:
    void initTest() override {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        recargar();
    }
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

private slots:
    void unItem() {
        abrir(kIC, QStringLiteral("0001"), [](frmItemDetalle& frm) {
            QCOMPARE(texto(frm, "lbItemText"), QStringLiteral("0001"));
            QCOMPARE(texto(frm, "lbTipo"), QStringLiteral("Tipo: N"));
            QCOMPARE(texto(frm, "lbNCM"), QStringLiteral("NCM: 8467.21.00.900X"));
            QCOMPARE(texto(frm, "txtLista"), QStringLiteral("ACE18"));
            QCOMPARE(texto(frm, "txtEstadoMercaderia"), QStringLiteral("NUEVO"));
            QCOMPARE(texto(frm, "lbPaisOrigen"), QStringLiteral("CHINA"));
            QCOMPARE(texto(frm, "lbPaisDestino"), QStringLiteral("BRASIL"));
            QVERIFY(frm.pestanaVisible(frmItemDetalle::Montos));
            QVERIFY(!frm.pestanaVisible(frmItemDetalle::Prorrateos));
            QVERIFY(frm.pestanaVisible(frmItemDetalle::Cancelaciones));
            // Montos under es_AR masks.
            QCOMPARE(texto(frm, "lbUnidadDeclarada"), QStringLiteral("07"));
            QCOMPARE(texto(frm, "txtCantidadDeclarada"), QStringLiteral("03,00"));
            QCOMPARE(texto(frm, "txtPrecioUnitario"), QStringLiteral("02,50000"));
            QCOMPARE(texto(frm, "txtFobTotal"), QStringLiteral("07,50"));
            QCOMPARE(texto(frm, "txtKiloNeto"), QStringLiteral("12,250"));
            QCOMPARE(texto(frm, "txtFlete"), QStringLiteral("02,00"));
            // Subitems by number; real subitems lock the quantities and the FOB.
            QTreeWidget& sub = hijo<QTreeWidget>(frm, "lstSubitems");
            QCOMPARE(sub.topLevelItemCount(), 2);
            QStringList primera;
            for (int c = 0; c < 9; ++c)
                primera << sub.topLevelItem(0)->text(c);
            QCOMPARE(primera, QStringList({"0001", "07", "00,00", "02,50000", "05,00", "07",
                                           "02,00", "A", "XY(1)-AA(OLD)-ZZ-"}));
            QVERIFY(!caja(frm, "txtCantidadDeclarada").isEnabled());
            QVERIFY(!caja(frm, "txtCantidadEstadistica").isEnabled());
            QVERIFY(!caja(frm, "txtFobTotal").isEnabled());
            QVERIFY(caja(frm, "txtPrecioUnitario").isEnabled());
            // Liquidation: taxes valid today only; self-liquidation on another item enables.
            QTreeWidget& liq = hijo<QTreeWidget>(frm, "lstLiquidacion");
            QCOMPARE(liq.topLevelItemCount(), 1);
            QStringList linea;
            for (int c = 0; c < 7; ++c)
                linea << liq.topLevelItem(0)->text(c);
            QCOMPARE(linea,
                     QStringList({"010", "DERECHOS", "1234,5", "00,21", "1234,50", "PAG", ""}));
            QVERIFY(hijo<QPushButton>(frm, "cmdLiquidacionAgregar").isEnabled());
            QVERIFY(hijo<QLabel>(frm, "lbLiquidacionLabel").isEnabled());
        });
    }

    // An item made of its own row keeps its fields open; an unknown code leaves its label.
    void unItemSinSubitems() {
        abrir(kIC, QStringLiteral("0002"), [](frmItemDetalle& frm) {
            QCOMPARE(hijo<QTreeWidget>(frm, "lstSubitems").topLevelItemCount(), 1);
            QVERIFY(caja(frm, "txtCantidadDeclarada").isEnabled());
            QVERIFY(caja(frm, "txtFobTotal").isEnabled());
            QCOMPARE(texto(frm, "txtEstadoMercaderia"), QString());
            QCOMPARE(texto(frm, "lbPaisDestino"), QString());
            QCOMPARE(hijo<QTreeWidget>(frm, "lstLiquidacion").topLevelItemCount(), 0);
        });
    }

    void declaracionEC() {
        abrir(kEC, QStringLiteral("0001"), [](frmItemDetalle& frm) {
            QCOMPARE(frm.tablaOrigen(), 7);
            QCOMPARE(texto(frm, "lbPaisOrigen"), QStringLiteral("BUENOS AIRES"));
            QVERIFY(!frm.pestanaVisible(frmItemDetalle::Cancelaciones));
            QVERIFY(!hijo<QPushButton>(frm, "cmdLiquidacionAgregar").isEnabled());
        });
    }

    void itemGlobal_data() {
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<QString>("lista");
        QTest::newRow("shared") << kIC << "ACE18";
        QTest::newRow("differing") << kEC << "";
    }

    void itemGlobal() {
        QFETCH(QString, despacho);
        QFETCH(QString, lista);
        bool loaderRan = false;
        ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog& dialog) {
            auto& frm = static_cast<frmItemDetalle&>(dialog);
            QCOMPARE(texto(frm, "lbItemText"), QStringLiteral("0000"));
            QCOMPARE(texto(frm, "lbTipo"), QString());
            QCOMPARE(texto(frm, "lbNCM"), QStringLiteral("Datos Comunes a Todos los Items"));
            QCOMPARE(hijo<QLabel>(frm, "lbNCM").palette().color(QPalette::WindowText),
                     QColor(0, 0, 255));
            QCOMPARE(texto(frm, "txtLista"), lista);
            QCOMPARE(texto(frm, "txtPaisOrigen"), QString());
            QVERIFY(!frm.pestanaVisible(frmItemDetalle::Montos));
            QVERIFY(frm.pestanaVisible(frmItemDetalle::Prorrateos));
            QVERIFY(!frm.pestanaVisible(frmItemDetalle::Cancelaciones));
            QCOMPARE(hijo<QTreeWidget>(frm, "lstSubitems").topLevelItemCount(), 0);
            QVERIFY(loaderRan);
            // The IVA and income-tax answers open with nothing chosen: answering at once is
            // refused and writes nothing.
            QCOMPARE(hijo<QComboBox>(frm, "cboOpcionesIVA").currentIndex(), -1);
            QCOMPARE(hijo<QComboBox>(frm, "cboOpcionesGanancias").currentIndex(), -1);
            const QStringList antes = catalogSnapshot();
            ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdOpcionesIVA").click();
            hijo<QPushButton>(frm, "cmdOpcionesGanancias").click();
            const auto& boxes = ScriptedUi::current().boxes;
            QCOMPARE(boxes.size(), 2);
            QCOMPARE(boxes[0].text, QStringLiteral("Debe seleccionar una Opcion IVA"));
            QCOMPARE(boxes[1].text, QStringLiteral("Debe seleccionar una Opcion Ganancias"));
            QCOMPARE(catalogSnapshot(), antes);
        });
        frmItemDetalle frm;
        frm.m_Operacion = despacho;
        frm.m_Item = QStringLiteral("0000");
        // A tab's loader hears the scope.
        frm.agregarCargador(frmItemDetalle::PasoCarga::Ventajas,
                            [&](bool global) { loaderRan = global; });
        ui().exec(frm);
    }

    // The coupling of the value boxes (units "07" and "07", quantity 3): the box that changed
    // keeps its text, the others follow it.
    void acoplamiento_data() {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QStringList>("esperado"); // declared, statistical, unit price, FOB
        QTest::newRow("quantity") << "txtCantidadDeclarada"
                                  << "4" << QStringList{"4", "4", "01,00000", "04,00"};
        QTest::newRow("FOB") << "txtFobTotal"
                             << "1" << QStringList{"03,00", "03,00", "00,33333", "1"};
        QTest::newRow("unit price") << "txtPrecioUnitario"
                                    << "2" << QStringList{"03,00", "03,00", "2", "06,00"};
        QTest::newRow("zero quantity") << "txtCantidadDeclarada"
                                       << "0" << QStringList{"0", "0", "01,00000", "00,00"};
        QTest::newRow("not numeric") << "txtCantidadDeclarada"
                                     << "abc" << QStringList{"abc", "abc", "01,00000", "03,00"};
    }

    void acoplamiento() {
        QFETCH(QString, caja);
        QFETCH(QString, valor);
        QFETCH(QStringList, esperado);
        restaurar(QStringLiteral("update ART set QARTUNTDCL = 3, QARTUNTEST = 3, MARTUNITAR = 1, "
                                 "MARTFOB = 3, CARTUNTDCL = '07' where IDDT = '24001IC06000101K' "
                                 "and NART = '0002'"));
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            frm.findChild<QLineEdit*>(caja)->setText(valor);
            QCOMPARE(QStringList({texto(frm, "txtCantidadDeclarada"),
                                  texto(frm, "txtCantidadEstadistica"),
                                  texto(frm, "txtPrecioUnitario"), texto(frm, "txtFobTotal")}),
                     esperado);
        });
    }

    // Typed key by key (quantity 10), the unit price and the FOB recompute each other's box
    // only: what is typed stays as typed, and "Guardar Valores" saves it.
    void tecleo_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QStringList>("esperado"); // unit price, FOB
        QTest::addColumn<QString>("guardado");     // MARTUNITAR|MARTFOB
        QTest::newRow("es_AR, FOB") << "es_AR"
                                    << "txtFobTotal"
                                    << "125" << QStringList{"12,50000", "125"} << "12.5|125";
        QTest::newRow("es_AR, unit price") << "es_AR"
                                           << "txtPrecioUnitario"
                                           << "12,5" << QStringList{"12,5", "125,00"} << "12.5|125";
        QTest::newRow("en_US, FOB") << "en_US"
                                    << "txtFobTotal"
                                    << "125" << QStringList{"12.50000", "125"} << "12.5|125";
        QTest::newRow("en_US, unit price") << "en_US"
                                           << "txtPrecioUnitario"
                                           << "12.5" << QStringList{"12.5", "125.00"} << "12.5|125";
    }

    void tecleo() {
        QFETCH(QString, locale);
        QFETCH(QString, caja);
        QFETCH(QString, teclas);
        QFETCH(QStringList, esperado);
        QFETCH(QString, guardado);
        QLocale::setDefault(QLocale(locale));
        restaurar(QStringLiteral("update ART set QARTUNTDCL = 10, QARTUNTEST = 10, MARTUNITAR = 1, "
                                 "MARTFOB = 10, CARTUNTDCL = '07', CARTUNTEST = '07' where IDDT = "
                                 "'24001IC06000101K' and NART = '0002'"));
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            QLineEdit* tecleada = frm.findChild<QLineEdit*>(caja);
            tecleada->clear();
            QTest::keyClicks(tecleada, teclas);
            QCOMPARE(QStringList({texto(frm, "txtPrecioUnitario"), texto(frm, "txtFobTotal")}),
                     esperado);
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdEstablecerValoresItem").click();
            QCOMPARE(ScriptedUi::current().boxes.last().text, QStringLiteral("Datos actualizados"));
        });
        QCOMPARE(columna(kIC, QStringLiteral("0002"), QStringLiteral("MARTUNITAR")) + "|" +
                     columna(kIC, QStringLiteral("0002"), QStringLiteral("MARTFOB")),
                 guardado);
    }

    // A declared quantity in kilograms carries the net kilos along.
    void kilosSiguen() {
        abrir(kIC, QStringLiteral("0002"), [](frmItemDetalle& frm) {
            caja(frm, "txtCantidadDeclarada").setText(QStringLiteral("5"));
            QCOMPARE(texto(frm, "txtKiloNeto"), QStringLiteral("5"));
            QCOMPARE(texto(frm, "txtCantidadEstadistica"), QStringLiteral("02,00"));
        });
    }

    // Every value box refuses what is not a number in the user's locale, with its own
    // message, or a number beyond what the catalog holds, and nothing is written.
    void guardarRechaza_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("mensaje");
        const struct {
            const char* caja;
            const char* mensaje;
        } cajas[] = {
            {"txtCantidadDeclarada", "Cantidad Declarada tiene que tener un valor numerico"},
            {"txtFobTotal", "Fob Total tiene que tener un valor numerico"},
            {"txtCantidadEstadistica", "Cantidad Estadistica tiene que tener un valor numerico"},
            {"txtPrecioUnitario", "Precio Unitario tiene que tener un valor numerico"},
            {"txtKiloNeto", "Kilo Neto tiene que tener un valor numerico"},
            {"txtFlete", "Flete tiene que tener un valor numerico"},
            {"txtSeguro", "Seguro tiene que tener un valor numerico"},
            {"txtAjusteIncluir", "Ajuste a incluir tiene que tener un valor numerico"},
            {"txtAjusteDeducir", "Ajuste a Deducir tiene que tener un valor numerico"},
        };
        // "12.5": the keyboard point under a comma locale, no group mark (not 125).
        const char* const malos[] = {"'", "1;2", "%", "abc", "число", "1,234.5", "12.5"};
        for (const auto& c : cajas) {
            for (const char* m : malos)
                QTest::addRow("es_AR %s %s", c.caja, m)
                    << "es_AR" << c.caja << QString::fromUtf8(m) << QString::fromUtf8(c.mensaje);
            // A number the catalog cannot hold: the overflow, shown by the error guard.
            QTest::addRow("es_AR %s twenty nines", c.caja)
                << "es_AR" << c.caja << QString(20, QLatin1Char('9')) << kDesborde;
            // Just under the limit, but past it once rounded to the box's decimals.
            const QString caja = QLatin1String(c.caja);
            const QString limite =
                caja == QLatin1String("txtPrecioUnitario") ? QStringLiteral("9999999999,999996")
                : caja == QLatin1String("txtKiloNeto")     ? QStringLiteral("999999999999,9996")
                                                           : QStringLiteral("9999999999999,996");
            QTest::addRow("es_AR %s rounds past the limit", c.caja)
                << "es_AR" << c.caja << limite << kDesborde;
            QTest::addRow("en_US %s rounds past the limit", c.caja)
                << "en_US" << c.caja << QString(limite).replace(QLatin1Char(','), QLatin1Char('.'))
                << kDesborde;
        }
        QTest::newRow("en_US unit price beyond the catalog") << "en_US"
                                                             << "txtPrecioUnitario"
                                                             << "10,000,000,000" << kDesborde;
        QTest::newRow("en_US comma form") << "en_US"
                                          << "txtFlete"
                                          << "1.234,5"
                                          << "Flete tiene que tener un valor numerico";
        QTest::newRow("300 characters") << "es_AR"
                                        << "txtSeguro" << QString(300, QLatin1Char('9')) + "x"
                                        << "Seguro tiene que tener un valor numerico";
        QTest::newRow("empty") << "es_AR"
                               << "txtFlete"
                               << ""
                               << "Flete tiene que tener un valor numerico";
    }

    void guardarRechaza() {
        QFETCH(QString, locale);
        QFETCH(QString, caja);
        QFETCH(QString, valor);
        QFETCH(QString, mensaje);
        QLocale::setDefault(QLocale(locale));
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            frm.findChild<QLineEdit*>(caja)->setText(valor);
            seam.answerBoxes({MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdEstablecerValoresItem").click();
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text, mensaje);
            QCOMPARE(seam.boxes.at(0).icon,
                     mensaje == kDesborde ? MsgIcon::None : MsgIcon::Exclamation);
            QCOMPARE(frm.findChild<QLineEdit*>(caja)->text(), valor);
        });
        QCOMPARE(columna(kIC, QStringLiteral("0002"), QStringLiteral("CARTETA")),
                 QStringLiteral("<null>"));
        QCOMPARE(columna(kIC, QStringLiteral("0002"), QStringLiteral("MARTFLE")),
                 QStringLiteral("1"));
    }

    // Numbers in the user's locale are stored as numbers; nothing else of the item changes.
    void guardarAcepta_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<double>("guardado");
        QTest::newRow("es_AR grouped") << "es_AR"
                                       << "1.234,5" << 1234.5;
        QTest::newRow("en_US grouped") << "en_US"
                                       << "1,234.5" << 1234.5;
        QTest::newRow("negative") << "es_AR"
                                  << "-5" << -5.0;
        // With item 0001's freight of 2, the largest the header's total still holds.
        QTest::newRow("largest the header holds") << "es_AR"
                                                  << "9999999999997,99" << 9999999999997.99;
        QTest::newRow("rounds down to the largest") << "en_US"
                                                    << "9999999999997.994" << 9999999999997.99;
    }

    void guardarAcepta() {
        QFETCH(QString, locale);
        QFETCH(QString, valor);
        QFETCH(double, guardado);
        QLocale::setDefault(QLocale(locale));
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            caja(frm, "txtFlete").setText(valor);
            seam.answerBoxes({MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdEstablecerValoresItem").click();
            QCOMPARE(seam.boxes.at(0).text, QStringLiteral("Datos actualizados"));
        });
        const modDA::Recordset rs = modDA::getRs(
            modDA::kCatalog,
            testSql(QStringLiteral("select MARTFLE, MARTASS, QARTKGRNET from ART "
                                   "where IDDT = '24001IC06000101K' and NART = '0002'")));
        QCOMPARE(rs.field(QStringLiteral("MARTFLE")).toDouble(), guardado);
        QCOMPARE(rs.field(QStringLiteral("MARTASS")).toDouble(), 0.5);
        QCOMPARE(rs.field(QStringLiteral("QARTKGRNET")).toDouble(), 4.0);
    }

    // Items that each fit can add up past the header's total: refused, nothing written.
    void guardarSuperaElTotal_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("suma");
        QTest::addColumn<QString>("maximo");
        QTest::newRow("es_AR") << "es_AR"
                               << "9999999999999"
                               << "10.000.000.000.001,00"
                               << "9.999.999.999.999,99";
        QTest::newRow("en_US") << "en_US"
                               << "9,999,999,999,998.5"
                               << "10,000,000,000,000.50"
                               << "9,999,999,999,999.99";
    }
    void guardarSuperaElTotal() {
        QFETCH(QString, locale);
        QFETCH(QString, valor);
        QFETCH(QString, suma);
        QFETCH(QString, maximo);
        QLocale::setDefault(QLocale(locale));
        const QStringList antes = catalogSnapshot();
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            caja(frm, "txtFlete").setText(valor);
            seam.answerBoxes({MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdEstablecerValoresItem").click();
        });
        QCOMPARE(seam.boxes.size(), 1);
        QVERIFY2(seam.boxes.at(0).text.startsWith(
                     QStringLiteral("La suma del flete de los items de la declaración "
                                    "24001IC06000101K (%1) supera el máximo que admite su total "
                                    "(%2): no se graba.\n\nCorvelix.frmItemDetalle.GuardarValores "
                                    "(60)::")
                         .arg(suma, maximo)),
                 qPrintable(seam.boxes.at(0).text));
        QCOMPARE(catalogSnapshot(), antes);
    }

    // The range is checked on the values as they will be written: quantity 10000 and a FOB
    // that fits, whose rounded unit price rebuilds the FOB past the catalog's limit (the header
    // still fits, item 0001 holding a negative FOB). The coupling itself stays.
    void guardarAcoplado_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("fob");
        QTest::addColumn<QString>("guardado"); // MARTFOB; empty: refused
        QTest::newRow("es_AR past the limit") << "es_AR"
                                              << "9999999999999,99"
                                              << "";
        QTest::newRow("en_US past the limit") << "en_US"
                                              << "9999999999999.99"
                                              << "";
        QTest::newRow("es_AR coupled FOB") << "es_AR"
                                           << "1234,56"
                                           << "1234.6";
        QTest::newRow("en_US coupled FOB") << "en_US"
                                           << "1234.56"
                                           << "1234.6";
    }

    void guardarAcoplado() {
        QFETCH(QString, locale);
        QFETCH(QString, fob);
        QFETCH(QString, guardado);
        QLocale::setDefault(QLocale(locale));
        restaurar(QStringLiteral("update ART set CARTUNTDCL = '07', CARTUNTEST = '07' where IDDT "
                                 "= '24001IC06000101K' and NART = '0002'"));
        restaurar(QStringLiteral("update ART set MARTFOB = -5 where IDDT = '24001IC06000101K' "
                                 "and NART = '0001'"));
        const QStringList antes = catalogSnapshot();
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            caja(frm, "txtCantidadDeclarada").setText(QStringLiteral("10000"));
            caja(frm, "txtFobTotal").setText(fob);
            seam.answerBoxes({MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdEstablecerValoresItem").click();
        });
        QCOMPARE(seam.boxes.size(), 1);
        if (guardado.isEmpty()) {
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("Desbordamiento\n\nCorvelix.frmItemDetalle.GuardarValores "
                                    "(45)::Corvelix"));
            QCOMPARE(catalogSnapshot(), antes);
            return;
        }
        QCOMPARE(seam.boxes.at(0).text, QStringLiteral("Datos actualizados"));
        QCOMPARE(columna(kIC, QStringLiteral("0002"), QStringLiteral("MARTFOB")), guardado);
    }

    void reglasDeUnidad_data() {
        QTest::addColumn<QString>("unidades"); // declared/statistical
        QTest::addColumn<QString>("estadistica");
        QTest::addColumn<QString>("kilos");
        QTest::addColumn<QString>("mensaje"); // empty: saved
        QTest::newRow("same units, 10,00 passes") << "07/07"
                                                  << "4,00"
                                                  << "1"
                                                  << "";
        QTest::newRow("same units differ")
            << "07/07"
            << "4,001"
            << "1"
            << "Cantidad declarada debe ser igual Cantidad Estaditica";
        QTest::newRow("declared kilos") << "01/07"
                                        << "9"
                                        << "3"
                                        << "Kilo Neto debe ser igual a Cantidad Declarada";
        QTest::newRow("statistical kilos") << "07/01"
                                           << "9"
                                           << "3"
                                           << "Kilo Neto debe ser igual a Cantidad Estadistica";
        QTest::newRow("unrelated") << "07/08"
                                   << "9"
                                   << "123"
                                   << "";
    }

    // The item rule checks run on the texts as typed; a save writes, marks and totals.
    void reglasDeUnidad() {
        QFETCH(QString, unidades);
        QFETCH(QString, estadistica);
        QFETCH(QString, kilos);
        QFETCH(QString, mensaje);
        restaurar(QStringLiteral("update ART set CARTUNTDCL = '") + unidades.left(2) +
                  QStringLiteral("', CARTUNTEST = '") + unidades.right(2) +
                  QStringLiteral("' where IDDT = '24001IC06000101K' and NART = '0002'"));
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            caja(frm, "txtCantidadDeclarada").setText(QStringLiteral("4"));
            caja(frm, "txtCantidadEstadistica").setText(estadistica);
            caja(frm, "txtKiloNeto").setText(kilos);
            seam.answerBoxes({MsgResult::Ok});
            hijo<QPushButton>(frm, "cmdEstablecerValoresItem").click();
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text,
                     mensaje.isEmpty() ? QStringLiteral("Datos actualizados") : mensaje);
            QCOMPARE(seam.boxes.at(0).icon,
                     mensaje.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
            if (mensaje.isEmpty())
                QCOMPARE(texto(frm, "txtCantidadDeclarada"), QStringLiteral("04,00"));
        });
        const QString marca = columna(kIC, QStringLiteral("0002"), QStringLiteral("CARTETA"));
        QCOMPARE(marca, mensaje.isEmpty() ? QStringLiteral("I") : QStringLiteral("<null>"));
        if (mensaje.isEmpty()) {
            QCOMPARE(columna(kIC, QStringLiteral("0002"), QStringLiteral("QARTUNTDCL")),
                     QStringLiteral("4"));
            const modDA::Recordset ddt = modDA::getRs(
                modDA::kCatalog,
                testSql(QStringLiteral("select MDDTFOB, CDDTSTUDEV from DDT where IDDT = '") + kIC +
                        QStringLiteral("'")));
            QCOMPARE(ddt.text(QStringLiteral("CDDTSTUDEV")), QStringLiteral("I"));
            QCOMPARE(ddt.field(QStringLiteral("MDDTFOB")).toDouble(), 7.5 + 4);
        }
    }

    // The four setters on one item: codes trimmed and checked, blanks never stored.
    void setterUnItem_data() {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("columna");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QList<MsgResult>>("respuestas");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<QString>("guardado");
        QTest::addColumn<bool>("marcaFalla"); // marking the item fails
        const QString fin = QStringLiteral("fin del proceso");
        const QString noEncontrado =
            QStringLiteral("No se encontró descripcion para el codigo [ %1 ]");
        QTest::newRow("list lower-case, blanks")
            << "cmdSetLista"
            << "txtLista"
            << "LISTA"
            << "  nac " << QList<MsgResult>{MsgResult::Ok} << QStringList{fin} << "NAC" << false;
        QTest::newRow("list emptied, Yes")
            << "cmdSetLista"
            << "txtLista"
            << "LISTA"
            << "" << QList<MsgResult>{MsgResult::Yes, MsgResult::Ok}
            << QStringList{"¿Confirma sacar la lista?", fin} << "" << false;
        QTest::newRow("list blanks, No")
            << "cmdSetLista"
            << "txtLista"
            << "LISTA"
            << "   " << QList<MsgResult>{MsgResult::No} << QStringList{"¿Confirma sacar la lista?"}
            << "ACE18" << false;
        QTest::newRow("state blanks")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << "  " << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"No se puede vaciar el Estado de Mercaderia"} << "NUEVO" << false;
        QTest::newRow("state usado")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << "usado" << QList<MsgResult>{MsgResult::Ok} << QStringList{fin} << "USADO" << false;
        QTest::newRow("origin empty")
            << "cmdsetOrigen"
            << "txtPaisOrigen"
            << "CARTPAYORI"
            << "" << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"Debe seleccionar un PAIS ORIGEN"} << "310" << false;
        QTest::newRow("origin 203")
            << "cmdsetOrigen"
            << "txtPaisOrigen"
            << "CARTPAYORI"
            << " 203" << QList<MsgResult>{MsgResult::Ok} << QStringList{fin} << "203" << false;
        QTest::newRow("provenance empty")
            << "cmdSetProc"
            << "txtPaisProc"
            << "CARTPAYPRC"
            << " " << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"Debe seleccionar un PAIS PROC/ DESTINO"} << "203" << false;
        const char* const malos[] = {"20'3", "203;", "%", "Ω310"};
        for (const char* m : malos) {
            const QString v = QString::fromUtf8(m);
            QTest::addRow("provenance %s", m)
                << "cmdSetProc"
                << "txtPaisProc"
                << "CARTPAYPRC" << v << QList<MsgResult>{MsgResult::Ok}
                << QStringList{noEncontrado.arg(v)} << "203" << false;
        }
        const QString largo = QString(300, QLatin1Char('A'));
        QTest::newRow("list 300") << "cmdSetLista"
                                  << "txtLista"
                                  << "LISTA" << largo << QList<MsgResult>{MsgResult::Ok}
                                  << QStringList{noEncontrado.arg(largo)} << "ACE18" << false;
        QTest::newRow("state negative")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << "-1e308" << QList<MsgResult>{MsgResult::Ok}
            << QStringList{noEncontrado.arg("-1E308")} << "NUEVO" << false;
        // The value and the item's mark go in one transaction: a failing mark undoes both.
        QTest::newRow("state usado, mark fails") << "cmdSetEstadoM"
                                                 << "txtEstadoMercaderia"
                                                 << "CARTUSO"
                                                 << "usado" << QList<MsgResult>{MsgResult::Ok}
                                                 << QStringList{"injected"} << "NUEVO" << true;
    }

    void setterUnItem() {
        QFETCH(QString, boton);
        QFETCH(QString, caja);
        QFETCH(QString, columna);
        QFETCH(QString, valor);
        QFETCH(QList<MsgResult>, respuestas);
        QFETCH(QStringList, mensajes);
        QFETCH(QString, guardado);
        QFETCH(bool, marcaFalla);
        if (marcaFalla)
            restaurar(QStringLiteral("CREATE TRIGGER f BEFORE UPDATE OF CARTETA ON ART BEGIN "
                                     "SELECT RAISE(ABORT, 'injected'); END"));
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0001"), [&](frmItemDetalle& frm) {
            frm.findChild<QLineEdit*>(caja)->setText(valor);
            seam.answerBoxes(respuestas);
            frm.findChild<QPushButton*>(boton)->click();
            QStringList vistos;
            for (const auto& box : seam.boxes)
                vistos << box.text.section(QStringLiteral("\n"), 0, 0);
            QCOMPARE(vistos, mensajes);
            // The editor stays usable after a refused code.
            QVERIFY(frm.isVisible());
        });
        QCOMPARE(::columna(kIC, QStringLiteral("0001"), columna), guardado);
        const bool escrito = seam.boxes.last().text == QStringLiteral("fin del proceso");
        QCOMPARE(::columna(kIC, QStringLiteral("0001"), QStringLiteral("CARTETA")),
                 escrito ? QStringLiteral("I") : QStringLiteral("<null>"));
    }

    // ITEM GLOBAL: the picker chooses the items, Yes writes over, No fills the empty ones.
    void setterGlobal_data() {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("columna");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QList<MsgResult>>("respuestas");
        QTest::addColumn<QStringList>("guardado"); // items 0001, 0002
        QTest::newRow("state all, Yes")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << " USADO " << QStringList{"TODO"} << QList<MsgResult>{MsgResult::Yes, MsgResult::Ok}
            << QStringList{"USADO", "USADO"};
        QTest::newRow("state all, No")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << "USADO" << QStringList{"TODO"} << QList<MsgResult>{MsgResult::No, MsgResult::Ok}
            << QStringList{"NUEVO", "USADO"};
        QTest::newRow("state Cancel")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << "USADO" << QStringList{"TODO"} << QList<MsgResult>{MsgResult::Cancel}
            << QStringList{"NUEVO", "<null>"};
        QTest::newRow("origin one item")
            << "cmdsetOrigen"
            << "txtPaisOrigen"
            << "CARTPAYORI"
            << "203" << QStringList{"0002"} << QList<MsgResult>{MsgResult::Yes, MsgResult::Ok}
            << QStringList{"310", "203"};
        QTest::newRow("provenance, no end box")
            << "cmdSetProc"
            << "txtPaisProc"
            << "CARTPAYPRC"
            << "310" << QStringList{"TODO"} << QList<MsgResult>{MsgResult::Yes}
            << QStringList{"310", "310"};
        QTest::newRow("list emptied, Yes")
            << "cmdSetLista"
            << "txtLista"
            << "LISTA"
            << "  " << QStringList{"0001"} << QList<MsgResult>{MsgResult::Yes, MsgResult::Ok}
            << QStringList{"", "ACE18"};
        // Never emptied on many items without a word.
        QTest::newRow("state empty refused")
            << "cmdSetEstadoM"
            << "txtEstadoMercaderia"
            << "CARTUSO"
            << " " << QStringList{"TODO"} << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"NUEVO", "<null>"};
        QTest::newRow("origin empty refused")
            << "cmdsetOrigen"
            << "txtPaisOrigen"
            << "CARTPAYORI"
            << "" << QStringList{"TODO"} << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"310", "<null>"};
        QTest::newRow("picker cancelled")
            << "cmdSetLista"
            << "txtLista"
            << "LISTA"
            << "NAC" << QStringList{} << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"ACE18", "ACE18"};
        QTest::newRow("quote refused")
            << "cmdSetLista"
            << "txtLista"
            << "LISTA"
            << "NAC'--" << QStringList{"TODO"} << QList<MsgResult>{MsgResult::Ok}
            << QStringList{"ACE18", "ACE18"};
    }

    void setterGlobal() {
        QFETCH(QString, boton);
        QFETCH(QString, caja);
        QFETCH(QString, columna);
        QFETCH(QString, valor);
        QFETCH(QStringList, items);
        QFETCH(QList<MsgResult>, respuestas);
        QFETCH(QStringList, guardado);
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0000"), [&](frmItemDetalle& frm) {
            picker(items);
            frm.findChild<QLineEdit*>(caja)->setText(valor);
            seam.answerBoxes(respuestas);
            frm.findChild<QPushButton*>(boton)->click();
            if (!items.isEmpty())
                QCOMPARE(frm.findChild<QLineEdit*>(caja)->text(), valor.trimmed());
        });
        QCOMPARE(QStringList({::columna(kIC, QStringLiteral("0001"), columna),
                              ::columna(kIC, QStringLiteral("0002"), columna)}),
                 guardado);
    }

    void preguntaGlobal() {
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0000"), [&](frmItemDetalle& frm) {
            picker({QStringLiteral("TODO")});
            caja(frm, "txtLista").setText(QStringLiteral("NAC"));
            seam.answerBoxes({MsgResult::Cancel});
            hijo<QPushButton>(frm, "cmdSetLista").click();
        });
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(
            seam.boxes.at(0).text,
            QStringLiteral("¿Confirma establecer la Lista NAC en los items?\r\n\r\n"
                           "Advertencia: Estas en ITEM GLOBAL\r\n"
                           "Seleccionando [SI] se establecerá NAC en los items del despacho.\r\n"
                           "Seleccionando [NO] se establecerá NAC solo en los items que no "
                           "tienen LISTA"));
        QCOMPARE(seam.boxes.at(0).buttons, MsgButtons::YesNoCancel);
        QCOMPARE(seam.boxes.at(0).defaultButton, MsgDefault::Third);
    }

    // The server's text of the ITEM GLOBAL write: values bound, picked items one placeholder
    // each, the empty-only clause after No.
    void setterGlobalServidor() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::setCampo_ALLITEMS(kIC, QStringLiteral("CARTUSO"), QStringLiteral("USADO"),
                                 modDA::ItemList::parse(QStringLiteral("'0001','0003'")), true);
        QCOMPARE(
            capture.texts(),
            QStringList({"update ART set CARTUSO = ?, CARTETA = 'I', CARTSTUDEV = 'I' where "
                         "IDDT = ?  and (CARTUSO = '' OR CARTUSO IS NULL)  and NART IN (?, ?) "}));
        QCOMPARE(capture.statements().at(0).params, QVariantList({"USADO", kIC, "0001", "0003"}));
    }

    void columnaFija() {
        QVERIFY_THROWS_EXCEPTION(corvelix::VbError,
                                 modDA::setCampoByItem(kIC, QStringLiteral("0001"),
                                                       QStringLiteral("MARTFOB"),
                                                       QStringLiteral("0")));
        QVERIFY_THROWS_EXCEPTION(
            corvelix::VbError, modDA::setCampo_ALLITEMS(
                                   kIC, QStringLiteral("LISTA = 'X', MARTFOB"), QStringLiteral("0"),
                                   modDA::ItemList::parse(QStringLiteral("TODO")), false));
        QCOMPARE(columna(kIC, QStringLiteral("0001"), QStringLiteral("MARTFOB")),
                 QStringLiteral("7.5"));
    }

    // F6 fills a box from the lookup list (provinces for EC declarations), Delete empties it.
    void teclas() {
        ScriptedUi& seam = ScriptedUi::current();
        int tabla = 0;
        seam.onForm(QStringLiteral("frmListado"), [&](QDialog& d) {
            auto& listado = static_cast<frmListado&>(d);
            tabla = listado.m_Tabla;
            listado.m_Salida = QStringLiteral("901");
        });
        abrir(kEC, QStringLiteral("0002"), [&](frmItemDetalle& frm) {
            QLineEdit& origen = caja(frm, "txtPaisOrigen");
            origen.setFocus();
            QTest::keyClick(&origen, Qt::Key_F6);
            QCOMPARE(tabla, 7);
            QCOMPARE(origen.text(), QStringLiteral("901"));
            QCOMPARE(texto(frm, "lbPaisOrigen"), QStringLiteral("BUENOS AIRES"));
            QTest::keyClick(&origen, Qt::Key_Delete);
            QCOMPARE(origen.text(), QString());
            QCOMPARE(texto(frm, "lbPaisOrigen"), QStringLiteral("BUENOS AIRES"));
            QLineEdit& lista = caja(frm, "txtLista");
            lista.setText(QStringLiteral("ace18"));
            QTest::keyClick(&lista, Qt::Key_Return);
            QCOMPARE(lista.text(), QStringLiteral("ACE18"));
            // Keys in the read-only lists, with rows and no selection, do nothing.
            QTreeWidget& sub = hijo<QTreeWidget>(frm, "lstSubitems");
            sub.clearSelection();
            QTest::keyClick(&sub, Qt::Key_Delete);
            QTest::keyClick(&sub, Qt::Key_Return);
            QCOMPARE(sub.topLevelItemCount(), 1);
            // Esc closes the editor.
            QTest::keyClick(&frm, Qt::Key_Escape);
            QVERIFY(!frm.isVisible());
        });
    }

    void marca() {
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kIC, QStringLiteral("0000"), [&](frmItemDetalle& frm) {
            QPushButton& boton = hijo<QPushButton>(frm, "cmdEstablecerMARCA");
            boton.click(); // empty: nothing asked
            QVERIFY(seam.boxes.isEmpty());
            caja(frm, "txtMarca").setText(QStringLiteral("O'NEIL"));
            seam.answerBoxes({MsgResult::Yes});
            boton.click();
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("Confirmar establer el valor O'NEIL en el Sufijo MARCA, en "
                                    "todos los ITEM's?"));
            QVERIFY(!seam.busy);
        });
        const modDA::Recordset rs = modDA::getRs(
            modDA::kCatalog, testSql(QStringLiteral("select CSBTSVL from SBT where IDDT = '") +
                                     kIC + QStringLiteral("' order by NART, ISBT")));
        QStringList sufijos;
        for (modDA::Recordset r = rs; !r.eof(); r.moveNext())
            sufijos << r.text(QStringLiteral("CSBTSVL"));
        QCOMPARE(sufijos, QStringList({"XY(1)-AA(ONEIL)-ZZ-", "AA(ONEIL)-ZZ-", "XY(1)-"}));
        QCOMPARE(columna(kIC, QStringLiteral("0002"), QStringLiteral("CARTETA")),
                 QStringLiteral("I"));
    }

    // The scope is applied after the outside-client lock: on one item the "Vaciar" buttons of
    // the other tabs stay off even though the lock switches every button on.
    void vaciarPorAlcance_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("global");
        QTest::newRow("one item") << "0001" << false;
        QTest::newRow("ITEM GLOBAL") << "0000" << true;
    }

    void vaciarPorAlcance() {
        QFETCH(QString, item);
        QFETCH(bool, global);
        frmItemDetalle frm;
        frm.m_Operacion = kIC;
        frm.m_Item = item;
        // The tabs' own controls; made here as the tabs would when a tab is not installed.
        const auto control = [&frm]<class T>(QWidget* pagina, const char* nombre, T*) {
            T* w = frm.findChild<T*>(QLatin1String(nombre));
            if (w == nullptr) {
                w = new T(pagina);
                w->setObjectName(QLatin1String(nombre));
            }
            return w;
        };
        auto* info = control(frm.tabInfAdicional(), "cmdVaciarInfoAD", static_cast<QPushButton*>(nullptr));
        auto* ventajas = control(frm.tabVentajas(), "cmdVaciarVentajas", static_cast<QPushButton*>(nullptr));
        auto* ccpac = control(frm.tabCCPAC(), "cmdVaciarCCPAC", static_cast<QPushButton*>(nullptr));
        auto* lista = control(frm.tabInfAdicional(), "lstInfAdItem", static_cast<QTreeWidget*>(nullptr));
        ScriptedUi::current().onForm(QStringLiteral("frmItemDetalle"), [&](QDialog&) {
            QCOMPARE(info->isEnabled(), global);
            QCOMPARE(ventajas->isEnabled(), global);
            QVERIFY(ccpac->isEnabled());
            QCOMPARE(ccpac->isVisibleTo(frm.tabCCPAC()), global);
            QCOMPARE(lista->height() < corvelix::twipsToPixels(3795), global);
            QVERIFY(hijo<QPushButton>(frm, "cmdSetLista").isEnabled());
        });
        ui().exec(frm);
    }

    // A failing load shows its box and leaves the editor open.
    void itemInexistente() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});
        abrir(kIC, QStringLiteral("0009"), [&](frmItemDetalle& frm) { QVERIFY(frm.isVisible()); });
        QVERIFY(!seam.boxes.isEmpty());
        QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Exclamation);
    }
};

CORVELIX_TEST(tst_frmItemDetalle)
#include "tst_frmItemDetalle.moc"
