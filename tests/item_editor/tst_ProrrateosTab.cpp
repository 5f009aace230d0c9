#include "data/demo_catalog.h"
#include "data/global_items.h"
#include "data/modDA.h"
#include "item_editor/ProrrateosTab.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

Q_DECLARE_METATYPE(corvelix::MsgIcon)
Q_DECLARE_METATYPE(corvelix::MsgResult)

namespace {

const QString G = QStringLiteral("26001IC04000500G");
// No items, a header FOB to divide by.
const QString E = QStringLiteral("26001IC04000501E");
// One item whose declared quantity is 0: its unit price cannot be recomputed.
const QString Z = QStringLiteral("26001IC04000502Z");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, MDDTFOB, MDDTASS, MDDTFLE, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001IC04000500G', 1000, 0, 0, 'V', 'V', 'V');
INSERT INTO DDT (IDDT, MDDTFOB, CDDTSTUSGG) VALUES ('26001IC04000501E', 100, 'V');
INSERT INTO DDT (IDDT, MDDTFOB, CDDTSTUSGG) VALUES ('26001IC04000502Z', 100, 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTUNTDCL, CARTUNTEST, QARTUNTDCL, MARTFOB, MARTUNITAR, MARTASS, MARTAJUINC, QARTKGRNET, CARTETA, CARTSTUDEV, CARTSBITEM) VALUES
 ('26001IC04000500G', '0001', '0001', '07', '07', 10, 600, 60, 0, 0, 0, 'V', 'V', 'S'),
 ('26001IC04000500G', '0002', '0002', '07', '07', 3, 300, 100, 0, 0, 0, 'V', 'V', 'N'),
 ('26001IC04000500G', '0003', '0003', '07', '07', 4, 100, 25, 0, 0, 0, 'V', 'V', 'N'),
 ('26001IC04000502Z', '0001', '0001', '07', '07', 0, 100, 0, 0, 0, 0, 'V', 'V', 'N');
INSERT INTO SBT (IDDT, NART, ISBT, QSBTUNTDCL, MSBTFOB, MSBTUNITAR) VALUES
 ('26001IC04000500G', '0001', '0001', 4, 400, 100),
 ('26001IC04000500G', '0001', '0002', 2, 200, 100);
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES
 ('26001IC04000500G', '0000', 'IVAADICIONAL1', 'S', 'IVAAD2'),
 ('26001IC04000500G', '0001', 'IVAADICIONAL1', 'S', 'X'),
 ('26001IC04000500G', '0002', 'GANANCIASOP3', 'S', 'COMERC');
)");

struct Host {
    QWidget form;
    QWidget* page;
    QString operacion;
    std::unique_ptr<ProrrateosTab> tab;
    explicit Host(const QString& despacho = G) : operacion(despacho) {
        form.setObjectName(QStringLiteral("frmItemDetalle"));
        page = new QWidget(&form);
        tab = std::make_unique<ProrrateosTab>(form, *page, operacion);
        form.show();
    }
    QLineEdit& box(const QString& name) { return *page->findChild<QLineEdit*>(name); }
    void click(const QString& name) { page->findChild<QPushButton*>(name)->click(); }
    QComboBox& combo(const QString& name) { return *page->findChild<QComboBox*>(name); }
};

QStringList items(const QString& columns, const QString& despacho = G) {
    return catalogRows(QStringLiteral("SELECT NART, ") + columns +
                           QStringLiteral(" FROM ART WHERE IDDT = ? ORDER BY NART"),
                       {despacho});
}

QStringList header(const QString& columns) {
    return catalogRows(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM DDT WHERE IDDT = ?"),
                       {G});
}

// The demo catalog with a declaration of 3,000 items (democat --large 3000), built once.
QString largeCatalog() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("large.db"));
        const QString name = QStringLiteral("prorrateos_large");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file);
            if (!db.open())
                qFatal("large catalog");
            modDA::buildDemoCatalog(db, 3000);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return file;
    }();
    return path;
}

// Cents of NART|value rows, by item.
QMap<QString, double> byItem(const QStringList& rows) {
    QMap<QString, double> out;
    for (const QString& row : rows) {
        const QStringList f = row.split(QLatin1Char('|'));
        out.insert(f[0], f[1].toDouble());
    }
    return out;
}

const ScriptedUi::Box& onlyBox() {
    const auto& boxes = ScriptedUi::current().boxes;
    if (boxes.size() != 1)
        qWarning() << "boxes:" << boxes.size();
    return boxes.first();
}

} // namespace

class tst_ProrrateosTab : public corvelix::test::TestCase {
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
    void design() {
        Host host;
        for (const char* name : {"cmdProrratear_Seguro", "cmdProrratear_Flete", "cmdProrratearAjInc",
                                 "cmdProrratearAjDed", "cmdProrrKGNETO"}) {
            auto* button = host.page->findChild<QPushButton*>(QLatin1String(name));
            QVERIFY2(button != nullptr, name);
            QCOMPARE(button->text(), QStringLiteral("Prorratear"));
            QVERIFY(!button->autoDefault() && !button->isDefault());
        }
        QCOMPARE(host.page->findChild<QPushButton*>(QStringLiteral("cmdAjusteAFOB"))->text(),
                 QStringLiteral("Recalcular FOB"));
        QStringList iva;
        for (int i = 0; i < host.combo(QStringLiteral("cboOpcionesIVA")).count(); ++i)
            iva << host.combo(QStringLiteral("cboOpcionesIVA")).itemText(i);
        QCOMPARE(iva, (QStringList{"Ninguno", "Uso o Consumo Particular",
                                   "Importación definitiva de cosas muebles"}));
        QCOMPARE(host.combo(QStringLiteral("cboOpcionesGanancias")).count(), 4);
    }

    // Amounts that are refused: the row's message, the box as typed, nothing written.
    void amountRefused_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");

        const QString seguro = QStringLiteral("En Seguro debe ingresar un valor númerico");
        const QString seguroCero = QStringLiteral("El campo Seguro debe ser mayor a 0");
        QTest::newRow("zero") << "cmdProrratear_Seguro" << "txtSeguroTotal" << "0" << seguroCero;
        QTest::newRow("negative")
            << "cmdProrratear_Seguro" << "txtSeguroTotal" << "-5" << seguroCero;
        QTest::newRow("letters") << "cmdProrratear_Seguro" << "txtSeguroTotal" << "abc" << seguro;
        QTest::newRow("empty") << "cmdProrratear_Seguro" << "txtSeguroTotal" << "" << seguro;
        QTest::newRow("point form under a comma locale")
            << "cmdProrratear_Flete" << "txtFleteTotal" << "1234.5"
            << "En flete debe ingresar un valor numerico";
        QTest::newRow("flete zero")
            << "cmdProrratear_Flete" << "txtFleteTotal" << "0,00" << "El campo flete debe ser mayor a 0";
        QTest::newRow("huge") << "cmdProrratearAjInc" << "txtAjusteIncTotal" << "99999999999999"
                              << "En Ajusge a Incluir debe ingresar un valor númerico";
        QTest::newRow("aj inc negative")
            << "cmdProrratearAjInc" << "txtAjusteIncTotal" << "-1"
            << "El campo Ajuste a Incluir debe ser mayor a 0";
        QTest::newRow("exponent") << "cmdProrratearAjDed" << "txtAjusteDedTotal" << "1E+300"
                                  << "En Ajusge a Deducir debe ingresar un valor númerico";
        QTest::newRow("quote") << "cmdProrratearAjDed" << "txtAjusteDedTotal" << "1'0"
                               << "En Ajusge a Deducir debe ingresar un valor númerico";
        QTest::newRow("aj ded zero") << "cmdProrratearAjDed" << "txtAjusteDedTotal" << "0"
                                     << "El campo Ajuste a Deducir debe ser mayor a 0";
        QTest::newRow("kilos letters")
            << "cmdProrrKGNETO" << "txtKgNetoTotal" << "abc" << "Debe ingresa un valor numerico";
        QTest::newRow("kilos other locale")
            << "cmdProrrKGNETO" << "txtKgNetoTotal" << "1,234.5" << "Debe ingresa un valor numerico";
        QTest::newRow("kilos zero") << "cmdProrrKGNETO" << "txtKgNetoTotal" << "0"
                                    << "El Kilogramos Neto a prorratear debe ser mayor a 0";
        QTest::newRow("kilos negative") << "cmdProrrKGNETO" << "txtKgNetoTotal" << "-3"
                                        << "El Kilogramos Neto a prorratear debe ser mayor a 0";
    }

    void amountRefused() {
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Host host;
        host.box(box).setText(text);
        const QStringList before = catalogSnapshot();
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        host.click(button);
        QCOMPARE(onlyBox().text, message);
        QCOMPARE(onlyBox().icon, MsgIcon::Exclamation);
        QCOMPARE(host.box(box).text(), text);
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY(!ScriptedUi::current().busy);
    }

    // 1.234,5 spread by FOB share (600, 300, 100 of 1000); insurance and freight recompute
    // the header, the adjustments leave it alone.
    void amountSpread_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("headerAfter");

        QTest::newRow("seguro") << "cmdProrratear_Seguro" << "txtSeguroTotal" << "MARTASS"
                                << "1000|1234.5|0|I|I|I";
        QTest::newRow("flete") << "cmdProrratear_Flete" << "txtFleteTotal" << "MARTFLE"
                               << "1000|0|1234.5|I|I|I";
        QTest::newRow("ajuste a incluir") << "cmdProrratearAjInc" << "txtAjusteIncTotal"
                                          << "MARTAJUINC" << "1000|0|0|V|V|V";
        QTest::newRow("ajuste a deducir") << "cmdProrratearAjDed" << "txtAjusteDedTotal"
                                          << "MARTAJUDED" << "1000|0|0|V|V|V";
    }

    void amountSpread() {
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(QString, column);
        QFETCH(QString, headerAfter);
        Host host;
        host.box(box).setText(QStringLiteral("1.234,5"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        host.click(button);
        QCOMPARE(onlyBox().text, QStringLiteral("El proceso termino correctamente."));
        QCOMPARE(onlyBox().icon, MsgIcon::Information);
        QCOMPARE(host.box(box).text(), QStringLiteral("1234,50"));
        QCOMPARE(items(column + QStringLiteral(", CARTETA, CARTSTUDEV")),
                 (QStringList{"0001|740.7|I|I", "0002|370.35|I|I", "0003|123.45|I|I"}));
        QCOMPARE(header(QStringLiteral("MDDTFOB, MDDTASS, MDDTFLE, CDDTSTUSGG, CDDTSTUBUL, "
                                       "CDDTSTUDEV")),
                 QStringList{headerAfter});
        QVERIFY(!ScriptedUi::current().busy);
    }

    // A failing spread shows the chain without icon and leaves everything as it was.
    void amountOnDeclarationWithoutItems() {
        Host host(E);
        host.box(QStringLiteral("txtSeguroTotal")).setText(QStringLiteral("10"));
        const QStringList before = catalogSnapshot();
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        host.click(QStringLiteral("cmdProrratear_Seguro"));
        QVERIFY2(onlyBox().text.startsWith(
                     QStringLiteral("Error no puedo actualizar el fob de los items\n\n"
                                    "Corvelix.frmItemDetalle.cmdProrratear_Seguro_Click")),
                 qPrintable(onlyBox().text));
        QCOMPARE(onlyBox().icon, MsgIcon::None);
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY(!ScriptedUi::current().busy);
    }

    void netKilos() {
        Host host;
        host.box(QStringLiteral("txtKgNetoTotal")).setText(QStringLiteral("100"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        host.click(QStringLiteral("cmdProrrKGNETO"));
        QCOMPARE(onlyBox().text, QStringLiteral("Termino el proceso de prorrateo"));
        QCOMPARE(onlyBox().icon, MsgIcon::Information);
        QCOMPARE(items(QStringLiteral("QARTKGRNET, CARTETA")),
                 (QStringList{"0001|60|I", "0002|30|I", "0003|10|I"}));
        QCOMPARE(header(QStringLiteral("CDDTSTUSGG")), QStringList{"V"});
        QCOMPARE(host.box(QStringLiteral("txtKgNetoTotal")).text(), QStringLiteral("100"));
    }

    // The FOB adjustment's question, refusals and error box; nothing written unless confirmed.
    void fobAdjustmentNotDone_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("boxAfter");

        QTest::newRow("percent 4 answered No")
            << "%4" << "El FOB final sera de 1039,90 confirma iniciar el proceso?"
            << MsgIcon::Question << "" << "%4";
        QTest::newRow("amount answered No")
            << "1.000" << "El FOB final sera de 2000,00 confirma iniciar el proceso?"
            << MsgIcon::Question << "" << "1000,00";
        QTest::newRow("negative to zero")
            << "-1000"
            << "El valor a ajustar es invalido, ya que da como resultado un FOB Negavito: 0"
            << MsgIcon::Exclamation << "" << "-1000,00";
        QTest::newRow("percent -100")
            << "%-100"
            << "El valor a ajustar es invalido, ya que da como resultado un FOB Negavito: 0"
            << MsgIcon::Exclamation << "" << "%-100";
        QTest::newRow("percent letters") << "%abc" << "No coinciden los tipos" << MsgIcon::Critical
                                         << "Error al procesar Ajustes a FOB " << "%abc";
        QTest::newRow("letters") << "abc" << "Debe ingresar un valor numerico en el campo Ajuste a FOB"
                                 << MsgIcon::Exclamation << "" << "abc";
        QTest::newRow("other locale")
            << "12.5" << "Debe ingresar un valor numerico en el campo Ajuste a FOB"
            << MsgIcon::Exclamation << "" << "12.5";
        QTest::newRow("huge") << "1E+300" << "Debe ingresar un valor numerico en el campo Ajuste a FOB"
                              << MsgIcon::Exclamation << "" << "1E+300";
    }

    void fobAdjustmentNotDone() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(MsgIcon, icon);
        QFETCH(QString, title);
        QFETCH(QString, boxAfter);
        Host host;
        host.box(QStringLiteral("txtAjusteFOB")).setText(text);
        const QStringList before = catalogSnapshot();
        ScriptedUi::current().answerBoxes(
            {icon == MsgIcon::Question ? MsgResult::No : MsgResult::Ok});
        host.click(QStringLiteral("cmdAjusteAFOB"));
        QCOMPARE(onlyBox().text, message);
        QCOMPARE(onlyBox().icon, icon);
        QCOMPARE(onlyBox().title, title);
        if (icon == MsgIcon::Question) {
            QCOMPARE(onlyBox().buttons, MsgButtons::YesNo);
            QCOMPARE(onlyBox().defaultButton, MsgDefault::Second);
        }
        QCOMPARE(host.box(QStringLiteral("txtAjusteFOB")).text(), boxAfter);
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY(!ScriptedUi::current().busy);
    }

    void fobAdjustment() {
        Host host;
        host.box(QStringLiteral("txtAjusteFOB")).setText(QStringLiteral("%10"));
        ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
        host.click(QStringLiteral("cmdAjusteAFOB"));
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text,
                 QStringLiteral("El FOB final sera de 1100,00 confirma iniciar el proceso?"));
        QCOMPARE(boxes[1].text, QStringLiteral("Proceso de ajuste a fob terminado"));
        QCOMPARE(items(QStringLiteral("MARTFOB, MARTUNITAR, CARTETA")),
                 (QStringList{"0001|660|66|I", "0002|330|110|I", "0003|110|27.5|I"}));
        QCOMPARE(catalogRows(QStringLiteral("SELECT ISBT, MSBTFOB FROM SBT WHERE IDDT = ? "
                                            "ORDER BY ISBT"),
                             {G}),
                 (QStringList{"0001|440", "0002|220"}));
        QCOMPARE(header(QStringLiteral("MDDTFOB, CDDTSTUSGG")), QStringList{"1100|I"});
        QVERIFY(host.box(QStringLiteral("txtAjusteFOB")).text().isEmpty());
        QVERIFY(!ScriptedUi::current().busy);
    }

    // A unit price that cannot be computed stops the adjustment with nothing written, the new
    // item FOB included.
    void fobAdjustmentAtomic() {
        Host host(Z);
        host.box(QStringLiteral("txtAjusteFOB")).setText(QStringLiteral("50"));
        const QStringList before = catalogSnapshot();
        ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
        host.click(QStringLiteral("cmdAjusteAFOB"));
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[1].text.startsWith(QStringLiteral("División por cero")),
                 qPrintable(boxes[1].text));
        QCOMPARE(boxes[1].icon, MsgIcon::Critical);
        QCOMPARE(boxes[1].title, QStringLiteral("Error al procesar Ajustes a FOB "));
        QCOMPARE(catalogSnapshot(), before);
        QCOMPARE(host.box(QStringLiteral("txtAjusteFOB")).text(), QStringLiteral("50,00"));
        QVERIFY(!ScriptedUi::current().busy);
    }

    // On 3,000 items the rounding rest is spread a cent (a hundredth of a kilo) at a time:
    // every item within a cent of its exact share, none below 0, the sum exact.
    void largeDeclaration_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("done");
        for (const QString& locale : {QStringLiteral("es_AR"), QStringLiteral("en_US")}) {
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(locale + QLatin1Char(' ') + QLatin1String(name)));
            };
            row("insurance 30") << locale << "txtSeguroTotal"
                                << "cmdProrratear_Seguro"
                                << "30"
                                << "MARTASS"
                                << "El proceso termino correctamente.";
            row("net kilos 60") << locale << "txtKgNetoTotal"
                                << "cmdProrrKGNETO"
                                << "60"
                                << "QARTKGRNET"
                                << "Termino el proceso de prorrateo";
            row("FOB -99.9 %") << locale << "txtAjusteFOB"
                               << "cmdAjusteAFOB"
                               << (locale == QLatin1String("es_AR") ? "%-99,9" : "%-99.9")
                               << "MARTFOB"
                               << "Proceso de ajuste a fob terminado";
        }
    }

    void largeDeclaration() {
        QFETCH(QString, locale);
        QFETCH(QString, box);
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(QString, column);
        QFETCH(QString, done);
        const QString d = modDA::kLargeDeclaration;
        modDA::resetConnectionsForTests();
        QFile::remove(catalog_->catalogPath());
        QVERIFY(QFile::copy(largeCatalog(), catalog_->catalogPath()));
        modDA::resetConnectionsForTests();
        QLocale::setDefault(QLocale(locale));

        const QMap<QString, double> fob = byItem(items(QStringLiteral("MARTFOB"), d));
        QCOMPARE(fob.size(), 3000);
        double base = 0;
        for (const double f : fob)
            base += f;
        // What is spread: the amount, or the new FOB total the adjustment asks to confirm.
        double amount = QLocale().toDouble(text);
        if (column == QLatin1String("MARTFOB"))
            amount = base + std::round(base * -99.9) / 100;

        Host host(d);
        host.box(box).setText(text);
        // The adjustment asks to confirm the new total first.
        if (column == QLatin1String("MARTFOB"))
            ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
        else
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
        host.click(button);
        QCOMPARE(ScriptedUi::current().boxes.last().text, done);

        const QMap<QString, double> spread = byItem(items(column, d));
        qint64 cents = 0;
        for (auto it = spread.cbegin(); it != spread.cend(); ++it) {
            const double exact = amount * fob.value(it.key()) / base;
            QVERIFY2(it.value() >= 0.01, qPrintable(it.key() + " " + QString::number(it.value())));
            QVERIFY2(std::abs(it.value() - exact) < 0.01 + 1e-9,
                     qPrintable(it.key() + " " + QString::number(it.value()) + " exact " +
                                QString::number(exact)));
            cents += std::llround(it.value() * 100);
        }
        QCOMPARE(cents, std::llround(amount * 100));
        QCOMPARE(catalogRows(QStringLiteral("SELECT COUNT(*) FROM SBT WHERE IDDT = ? AND "
                                            "(MSBTFOB < 0 OR QSBTUNTEST < 0)"),
                             {d}),
                 QStringList{"0"});
    }

    // Answering an option replaces that code on every item and nowhere else.
    void options_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("IVA Ninguno")
            << "cmdOpcionesIVA" << "cboOpcionesIVA" << 0
            << "Confirma establecer Opcion IVA en Ninguno"
            << QStringList{"0001|IVAADICIONAL1|S|NO_VALIDA", "0002|GANANCIASOP3|S|COMERC",
                           "0002|IVAADICIONAL1|S|NO_VALIDA", "0003|IVAADICIONAL1|S|NO_VALIDA"};
        QTest::newRow("IVA importacion")
            << "cmdOpcionesIVA" << "cboOpcionesIVA" << 2
            << "Confirma establecer Opcion IVA en Importación definitiva de cosas muebles"
            << QStringList{"0001|IVAADICIONAL1|S|IVAAD2", "0002|GANANCIASOP3|S|COMERC",
                           "0002|IVAADICIONAL1|S|IVAAD2", "0003|IVAADICIONAL1|S|IVAAD2"};
        QTest::newRow("Ganancias bien de uso")
            << "cmdOpcionesGanancias" << "cboOpcionesGanancias" << 2
            << "Confirma establecer Opcion Ganancias en Bien de Uso"
            << QStringList{"0000|IVAADICIONAL1|S|IVAAD2", "0001|GANANCIASOP3|S|BDEUSO",
                           "0001|IVAADICIONAL1|S|X", "0002|GANANCIASOP3|S|BDEUSO",
                           "0003|GANANCIASOP3|S|BDEUSO"};
    }

    void options() {
        QFETCH(QString, button);
        QFETCH(QString, combo);
        QFETCH(int, index);
        QFETCH(QString, question);
        QFETCH(QStringList, rows);
        Host host;
        host.combo(combo).setCurrentIndex(index);
        ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
        host.click(button);
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, question);
        QCOMPARE(boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(boxes[0].defaultButton, MsgDefault::First);
        QCOMPARE(boxes[1].text, QStringLiteral("Respuesta enviada correstamente"));
        QCOMPARE(catalogRows(QStringLiteral("SELECT NART, CCPL, ICPLDIF, MCPL FROM CPL WHERE "
                                            "ICPL = ? ORDER BY NART, CCPL"),
                             {G}),
                 rows);
        QCOMPARE(items(QStringLiteral("CARTETA")), (QStringList{"0001|I", "0002|I", "0003|I"}));
        QCOMPARE(header(QStringLiteral("CDDTSTUSGG")), QStringList{"V"});
    }

    void optionsNotAnswered_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("index");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("no IVA chosen") << "cmdOpcionesIVA" << "cboOpcionesIVA" << -1
                                       << MsgResult::Ok << "Debe seleccionar una Opcion IVA";
        QTest::newRow("no Ganancias chosen")
            << "cmdOpcionesGanancias" << "cboOpcionesGanancias" << -1 << MsgResult::Ok
            << "Debe seleccionar una Opcion Ganancias";
        QTest::newRow("answered No") << "cmdOpcionesGanancias" << "cboOpcionesGanancias" << 3
                                     << MsgResult::No
                                     << "Confirma establecer Opcion Ganancias en Uso Particular";
    }

    void optionsNotAnswered() {
        QFETCH(QString, button);
        QFETCH(QString, combo);
        QFETCH(int, index);
        QFETCH(MsgResult, answer);
        QFETCH(QString, message);
        Host host;
        host.combo(combo).setCurrentIndex(index);
        const QStringList before = catalogSnapshot();
        ScriptedUi::current().answerBoxes({answer});
        host.click(button);
        QCOMPARE(onlyBox().text, message);
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY(!ScriptedUi::current().busy);
    }

    void optionCodes() {
        QCOMPARE(ProrrateosTab::GetCodigoIVAByIndex(1), QStringLiteral("IVAAD1"));
        QCOMPARE(ProrrateosTab::GetCodigoIVAByIndex(3), QString());
        QCOMPARE(ProrrateosTab::GetCodigoGananciasByIndex(1), QStringLiteral("COMERC"));
        QCOMPARE(ProrrateosTab::GetCodigoGananciasByIndex(3), QStringLiteral("USOPAR"));
        QCOMPARE(ProrrateosTab::GetCodigoGananciasByIndex(4), QString());
    }

    // A declaration without items ends with no row of the code, and the answer is reported.
    void optionWithoutItems() {
        Host host(E);
        host.combo(QStringLiteral("cboOpcionesIVA")).setCurrentIndex(1);
        ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
        host.click(QStringLiteral("cmdOpcionesIVA"));
        QCOMPARE(ScriptedUi::current().boxes.last().text,
                 QStringLiteral("Respuesta enviada correstamente"));
        QCOMPARE(catalogRows(QStringLiteral("SELECT COUNT(*) FROM CPL WHERE ICPL = ?"), {E}),
                 QStringList{"0"});
    }

    // The statements the server gets: the unit price rounded there, the answer as one set
    // insert over the items.
    void serverStatements() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        modDA::RecalcularUnitariosItems(G);
        modDA::contestarOpcionItems(G, QStringLiteral("GANANCIASOP3"), QStringLiteral("COMERC"));
        QCOMPARE(capture.texts(),
                 (QStringList{
                     "SELECT TOP 1 NART FROM ART WHERE IDDT = ? AND (QARTUNTDCL = 0 OR "
                     "QARTUNTDCL IS NULL)",
                     "UPDATE ART SET MARTUNITAR = CONVERT(numeric(20,5), (MARTFOB / QARTUNTDCL)) "
                     "WHERE IDDT = ?",
                     "delete from CPL where ICPL = ? and CCPL = CAST(? AS nvarchar(max))",
                     "insert into CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) select IDDT, NART, ?, 'S', "
                     "? from ART where IDDT = ?",
                     "UPDATE ART SET CARTETA = 'I', CARTSTUDEV = 'I' WHERE IDDT = ? "}));
    }

    // A declaration without items has no FOB total: the error names the procedure.
    void fobTotalWithoutItems() {
        try {
            (void)modDA::getFOBTotalItems(E);
            QFAIL("no error");
        } catch (const corvelix::VbError& e) {
            QCOMPARE(e.number, static_cast<qint32>(0x800C763Au));
            QCOMPARE(e.source, QStringLiteral("getFOBTotalItems"));
        }
    }
};

CORVELIX_TEST(tst_ProrrateosTab)
#include "tst_ProrrateosTab.moc"
