#include "data/modDA.h"
#include "item_editor/frmCancelaciones.h"
#include "support/CatalogFixture.h"
#include "support/CatalogSnapshot.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::ScriptedUi;

namespace {

const QString D = QStringLiteral("26001IC06000123A");
const QString APU = QStringLiteral("25001IC04000777B");

// Item keys and shown numbers differ: key 0007 is shown as 0003, key 0003 as 0009.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT) VALUES ('26001IC06000123A');
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC06000123A', '0001', '0001');
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC06000123A', '0003', '0009');
INSERT INTO ART (IDDT, NART, NARTEXT) VALUES ('26001IC06000123A', '0007', '0003');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 7, '25001IC04000777B', 2, 0, '8471.30.12.10A', 5, 'C1', 0, '100.00');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL)
  VALUES ('26001IC06000123A', 7, '25001IC04000777B', 4, 1, 'N4', 1, NULL, 0, '50.00');
)");

QStringList lines() {
    return catalogRows(QStringLiteral(
        "SELECT NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, "
        "NDCNORDEN, CDCNRESOL, CDCNETA, DDCNETA FROM DCN ORDER BY NDCNART, IDCNAPU, NDCNARTAPU, "
        "NDCNSBTAPU"));
}

QLineEdit& campo(QWidget& dialog, const char* name) {
    return *dialog.findChild<QLineEdit*>(QLatin1String(name));
}

struct Campos {
    QString destinacion;
    QString item;
    QString subitem;
    QString ncm;
    QString cantidad;
    QString factor; // null: leave the text shown
    QString certificado;
};

void llenar(QWidget& dialog, const Campos& c) {
    campo(dialog, "txtDestinacionSusp").setText(c.destinacion);
    campo(dialog, "txtItem").setText(c.item);
    campo(dialog, "txtSubIT").setText(c.subitem);
    campo(dialog, "txtNCM").setText(c.ncm);
    campo(dialog, "txtCantidad").setText(c.cantidad);
    if (!c.factor.isNull())
        campo(dialog, "txtFactorPonderacion").setText(c.factor);
    campo(dialog, "txtCertProcProd").setText(c.certificado);
}

void aceptar(QWidget& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
}

const Campos kValidos{QStringLiteral("25001IC04000777B"), QStringLiteral("3"),
                      QStringLiteral("0"), QStringLiteral("8471.30.12.10A"),
                      QStringLiteral("2,5"), QString(), QStringLiteral("CERT")};

} // namespace

Q_DECLARE_METATYPE(Campos)

class tst_frmCancelaciones : public corvelix::test::TestCase {
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
        frmCancelaciones frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Cancelaciones"));
        QCOMPARE(campo(frm, "txtFactorPonderacion").text(), QStringLiteral("100"));
        QCOMPARE(campo(frm, "txtCertProcProd").text(), QStringLiteral("0"));
        QStringList labels;
        for (auto* label : frm.findChildren<QLabel*>())
            labels << label->text();
        for (const char* caption :
             {"Destinacion", "Item", "Subitem", "NCM", "Cantidad", "Factor P", "Cert.Proc.Prod"})
            QVERIFY2(labels.contains(QLatin1String(caption)), caption);
        const auto buttons = frm.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 2);
        for (auto* button : buttons)
            QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    // Adding writes the line against the item's own key, whatever number the list shows, and
    // proposes its NCM and certificate for the next addition.
    void addByItemKey() {
        const QStringList before = lines();
        frmCancelaciones frm;
        QString ncmShown;
        QString certShown;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            ncmShown = campo(dialog, "txtNCM").text();
            certShown = campo(dialog, "txtCertProcProd").text();
            llenar(dialog, kValidos);
            aceptar(dialog);
            QVERIFY(!dialog.isVisible());
        });
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0003");
        ui().exec(frm);
        QCOMPARE(ncmShown, QString());
        QCOMPARE(certShown, QString());
        QVERIFY(frm.m_Grabo);
        QVERIFY(!frm.cargado());
        QStringList expected = before;
        expected.prepend(QStringLiteral(
            "3|25001IC04000777B|3|0|8471.30.12.10A|2.5|CERT|0|100,00|<null>|<null>"));
        QCOMPARE(lines(), expected);

        // The next addition proposes them; the design texts are back otherwise.
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            ncmShown = campo(dialog, "txtNCM").text();
            certShown = campo(dialog, "txtCertProcProd").text();
            QCOMPARE(campo(dialog, "txtFactorPonderacion").text(), QStringLiteral("100"));
            QCOMPARE(campo(dialog, "txtDestinacionSusp").text(), QString());
        });
        ui().exec(frm);
        QCOMPARE(ncmShown, QStringLiteral("8471.30.12.10A"));
        QCOMPARE(certShown, QStringLiteral("CERT"));
        QVERIFY(!frm.m_Grabo);
    }

    // Refusals: the Part's messages for the checked fields, a clear box for values that do not
    // fit or a line that exists; nothing written, the dialog left open with its texts.
    void refused_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");

        const int excl = static_cast<int>(MsgIcon::Exclamation);
        const QString despacho = QStringLiteral("Debe ingresar un numero de despacho válido");
        QTest::newRow("destination of 15") << "txtDestinacionSusp" << "25001IC04000777"
                                           << "0001" << despacho << excl;
        QTest::newRow("destination of 17") << "txtDestinacionSusp" << "25001IC04000777BB"
                                           << "0001" << despacho << excl;
        QTest::newRow("empty destination") << "txtDestinacionSusp" << "" << "0001" << despacho
                                           << excl;
        const QString item = QStringLiteral("El campo item debe tener un calor numerico");
        QTest::newRow("item letters") << "txtItem" << "3a" << "0001" << item << excl;
        QTest::newRow("item quote") << "txtItem" << "3'" << "0001" << item << excl;
        QTest::newRow("item empty") << "txtItem" << "" << "0001" << item << excl;
        QTest::newRow("subitem letters")
            << "txtSubIT" << "x" << "0001"
            << "El campo subitem debe tener un calor numerico" << excl;
        QTest::newRow("quantity empty")
            << "txtCantidad" << "" << "0001" << "El campo cantidad debe tener un calor numerico"
            << excl;
        QTest::newRow("quantity letters")
            << "txtCantidad" << "abc" << "0001"
            << "El campo cantidad debe tener un calor numerico" << excl;
        QTest::newRow("factor letters")
            << "txtFactorPonderacion" << "cien" << "0001"
            << "El campo Factor de Ponderacion debe tener un calor numerico" << excl;
        // The keyboard's point under a comma locale is no group mark: not 45, not 955.
        QTest::newRow("quantity with the keyboard point")
            << "txtCantidad"
            << "4.5"
            << "0001"
            << "El campo cantidad debe tener un calor numerico" << excl;
        QTest::newRow("factor with the keyboard point")
            << "txtFactorPonderacion"
            << "95.5"
            << "0001"
            << "El campo Factor de Ponderacion debe tener un calor numerico" << excl;
        QTest::newRow("item 70000")
            << "txtItem" << "70000" << "0001"
            << "Desbordamiento\n\nCorvelix.frmCancelaciones.addCancelacion (0)::" << excl;
        QTest::newRow("subitem -40000")
            << "txtSubIT" << "-40000" << "0001"
            << "Desbordamiento\n\nCorvelix.frmCancelaciones.addCancelacion (0)::" << excl;
        // Numbers the catalog cannot hold at the decimals they are kept with.
        QTest::newRow("quantity twenty nines")
            << "txtCantidad" << QString(20, QLatin1Char('9')) << "0001"
            << "Desbordamiento\n\nCorvelix.frmCancelaciones.validarDatos (0)::" << excl;
        QTest::newRow("factor 1E+13")
            << "txtFactorPonderacion"
            << "1E+13"
            << "0001"
            << "Desbordamiento\n\nCorvelix.frmCancelaciones.validarDatos (0)::" << excl;
        // Just under the limit, past it once rounded to the decimals they are kept with.
        QTest::newRow("quantity rounds to 1E+9")
            << "txtCantidad"
            << "999999999,9999996"
            << "0001"
            << "Desbordamiento\n\nCorvelix.frmCancelaciones.validarDatos (0)::" << excl;
        QTest::newRow("factor rounds to 1E+13")
            << "txtFactorPonderacion"
            << "9999999999999,996"
            << "0001"
            << "Desbordamiento\n\nCorvelix.frmCancelaciones.validarDatos (0)::" << excl;
        QTest::newRow("same five key values")
            << "txtItem" << "2" << "0007"
            << "Ya existe una cancelación del item 7 contra el despacho 25001IC04000777B, item 2, "
               "subitem 0; no se agregó la cancelación."
            << excl;
        QTest::newRow("item not in the declaration")
            << "txtItem" << "3" << "0005"
            << "No se encuentra el item 5 en el provisorio 26001IC06000123A" << excl;
    }

    void refused() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, item);
        QFETCH(QString, message);
        QFETCH(int, icon);

        const QStringList before = catalogSnapshot();
        frmCancelaciones frm;
        bool stayedOpen = false;
        QString kept;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            llenar(dialog, kValidos);
            campo(dialog, qPrintable(field)).setText(text);
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            aceptar(dialog);
            stayedOpen = dialog.isVisible();
            kept = campo(dialog, qPrintable(field)).text();
        });
        frm.m_Operacion = D;
        frm.m_Item = item;
        ui().exec(frm);
        QVERIFY(stayedOpen);
        QCOMPARE(kept, text);
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        const auto& box = ScriptedUi::current().boxes.first();
        QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
        QCOMPARE(static_cast<int>(box.icon), icon);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QVERIFY(!frm.m_Grabo);
        QCOMPARE(catalogSnapshot(), before);
    }

    // What the fields become on the way in: quotes bound as typed, the factor normalised,
    // item numbers rounded as the old conversion did.
    void storedAsTransformed_data() {
        QTest::addColumn<Campos>("campos");
        QTest::addColumn<QString>("row");

        QTest::newRow("quotes in the texts")
            << Campos{"25001IC04'00777B", "1", "0", "84'71", "1", "1,5", "C'1); DROP TABLE DCN;--"}
            << "1|25001IC04'00777B|1|0|84'71|1|C'1); DROP TABLE DCN;--|0|01,50|<null>|<null>";
        QTest::newRow("factor left at 100, empty certificate")
            << Campos{"25001IC04000777C", "1", "0", "", "1.000,25", QString(), ""}
            << "1|25001IC04000777C|1|0||1000.25|<null>|0|100,00|<null>|<null>";
        QTest::newRow("item 2,5 rounds to even")
            << Campos{"25001IC04000777D", "2,5", "3,5", "N", "0", "0", "0"}
            << "1|25001IC04000777D|2|4|N|0|0|0|00,00|<null>|<null>";
        QTest::newRow("NCM comma")
            << Campos{"25001IC04000777E", "1", "0", "8471,30", "1", "100", "0"}
            << "1|25001IC04000777E|1|0|8471.30|1|0|0|100,00|<null>|<null>";
    }

    void storedAsTransformed() {
        QFETCH(Campos, campos);
        QFETCH(QString, row);
        frmCancelaciones frm;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            llenar(dialog, campos);
            aceptar(dialog);
        });
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0001");
        ui().exec(frm);
        QVERIFY(frm.m_Grabo);
        QStringList added = lines();
        added.removeAt(added.size() - 1);
        added.removeAt(added.size() - 1);
        QCOMPARE(added, QStringList{row});
    }

    void ncmOnLeaving_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("twelve characters") << "8471301210ab" << "8471.30.12.10AB";
        QTest::newRow("comma") << "8471,30" << "8471.30";
        QTest::newRow("eleven") << "8471301210a" << "8471301210A";
        QTest::newRow("thirteen") << "8471301210abc" << "8471301210ABC";
        QTest::newRow("twelve with a point") << "8471.301210a" << "8471.301210A";
    }

    void ncmOnLeaving() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        frmCancelaciones frm;
        QString result;
        QString destination;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            dialog.activateWindow();
            QLineEdit& ncm = campo(dialog, "txtNCM");
            ncm.setFocus();
            ncm.setText(typed);
            campo(dialog, "txtCantidad").setFocus();
            result = ncm.text();
            QTest::keyClicks(&campo(dialog, "txtDestinacionSusp"), QStringLiteral("25001ic"));
            destination = campo(dialog, "txtDestinacionSusp").text();
        });
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0001");
        ui().exec(frm);
        QCOMPARE(result, shown);
        QCOMPARE(destination, QStringLiteral("25001IC"));
    }

    // Modifying: the fields come from the line; a changed key moves the line, a key another
    // line holds is refused.
    void modify_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("newItem");
        QTest::addColumn<QString>("newQuantity");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("after");

        QTest::newRow("quantity only")
            << "es_AR"
            << "2"
            << "7,5" << true
            << QStringList{"7|25001IC04000777B|2|0|8471.30.12.10A|7.5|C1|0|100,00|<null>|<null>",
                           "7|25001IC04000777B|4|1|N4|1|<null>|0|50.00|<null>|<null>"};
        QTest::newRow("key changed")
            << "es_AR"
            << "9"
            << "05,000000" << true
            << QStringList{"7|25001IC04000777B|4|1|N4|1|<null>|0|50.00|<null>|<null>",
                           "7|25001IC04000777B|9|0|8471.30.12.10A|5|C1|0|100,00|<null>|<null>"};
        // The factor is shown and read back with the user's decimal mark, and written in the
        // catalog's form: 100.00 (an older line) becomes 100,00.
        QTest::newRow("en_US: factor in the catalog's form")
            << "en_US"
            << "2"
            << "7.5" << true
            << QStringList{"7|25001IC04000777B|2|0|8471.30.12.10A|7.5|C1|0|100,00|<null>|<null>",
                           "7|25001IC04000777B|4|1|N4|1|<null>|0|50.00|<null>|<null>"};
    }

    void modify() {
        QFETCH(QString, locale);
        QFETCH(QString, newItem);
        QFETCH(QString, newQuantity);
        QFETCH(bool, saved);
        QFETCH(QStringList, after);

        QLocale::setDefault(QLocale(locale));
        frmCancelaciones frm;
        QStringList shown;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            for (const char* name : {"txtDestinacionSusp", "txtItem", "txtSubIT", "txtNCM",
                                     "txtCantidad", "txtFactorPonderacion", "txtCertProcProd"})
                shown << campo(dialog, name).text();
            campo(dialog, "txtItem").setText(newItem);
            campo(dialog, "txtCantidad").setText(newQuantity);
            aceptar(dialog);
        });
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0007");
        frm.m_DIT_Numero = APU;
        frm.m_DIT_Item = QStringLiteral("2");
        frm.m_DIT_SbIt = QStringLiteral("0");
        ui().exec(frm);
        const QString mark = QLocale().decimalPoint();
        QCOMPARE(shown, (QStringList{APU, "2", "0", "8471.30.12.10A", "05" + mark + "000000",
                                     "100" + mark + "00", "C1"}));
        QCOMPARE(frm.m_Grabo, saved);
        QCOMPARE(lines(), after);
    }

    // The demo catalog's line holds its factor as "100,00", as the outside system writes it;
    // an older version of this dialog wrote "100.00". Either is shown with the user's mark and
    // Aceptar without a change writes the catalog's form: the demo's text stays byte for byte.
    void factorOfTheDemoLine_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("es_AR, comma") << "es_AR"
                                      << "100,00"
                                      << "100,00"
                                      << "100,00";
        QTest::newRow("es_AR, point") << "es_AR"
                                      << "100.00"
                                      << "100,00"
                                      << "100,00";
        QTest::newRow("en_US, comma") << "en_US"
                                      << "100,00"
                                      << "100.00"
                                      << "100,00";
        QTest::newRow("en_US, point") << "en_US"
                                      << "100.00"
                                      << "100.00"
                                      << "100,00";
        QTest::newRow("en_US, comma, a fraction") << "en_US"
                                                  << "12,50"
                                                  << "12.50"
                                                  << "12,50";
        QTest::newRow("es_AR, comma, a fraction") << "es_AR"
                                                  << "12,50"
                                                  << "12,50"
                                                  << "12,50";
        QTest::newRow("es_AR, point, a fraction") << "es_AR"
                                                  << "37.50"
                                                  << "37,50"
                                                  << "37,50";
    }

    void factorOfTheDemoLine() {
        QFETCH(QString, locale);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        catalog_->loadDemoSeed();
        const QString demo = QStringLiteral("24073IC06000215M");
        const QString line = QStringLiteral(
            "SELECT CDCNRESOL FROM DCN WHERE IDCN = '24073IC06000215M' AND NDCNART = 1");
        QCOMPARE(catalogRows(line), QStringList{"100,00"});
        if (stored != QLatin1String("100,00"))
            modDA::execSQL(modDA::kCatalog,
                           "UPDATE DCN SET CDCNRESOL = ? WHERE IDCN = ? AND NDCNART = 1",
                           {stored, demo});
        const QStringList others = catalogRows(QStringLiteral(
            "SELECT IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU FROM DCN "
            "WHERE IDCN = '24073IC06000215M' AND NDCNART = 1"));

        QLocale::setDefault(QLocale(locale));
        frmCancelaciones frm;
        QString factor;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            factor = campo(dialog, "txtFactorPonderacion").text();
            aceptar(dialog);
        });
        frm.m_Operacion = demo;
        frm.m_Item = QStringLiteral("0001");
        frm.m_DIT_Numero = QStringLiteral("23073IT04000480H");
        frm.m_DIT_Item = QStringLiteral("1");
        frm.m_DIT_SbIt = QStringLiteral("0");
        ui().exec(frm);
        QCOMPARE(factor, shown);
        QVERIFY(frm.m_Grabo);
        QCOMPARE(catalogRows(line), QStringList{saved});
        QCOMPARE(catalogRows(QStringLiteral(
                     "SELECT IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU "
                     "FROM DCN WHERE IDCN = '24073IC06000215M' AND NDCNART = 1")),
                 others);
    }

    void modifyOntoAnotherLine() {
        const QStringList before = catalogSnapshot();
        frmCancelaciones frm;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            campo(dialog, "txtItem").setText(QStringLiteral("4"));
            campo(dialog, "txtSubIT").setText(QStringLiteral("1"));
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            aceptar(dialog);
            QVERIFY(dialog.isVisible());
        });
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0007");
        frm.m_DIT_Numero = APU;
        frm.m_DIT_Item = QStringLiteral("2");
        frm.m_DIT_SbIt = QStringLiteral("0");
        ui().exec(frm);
        QVERIFY(!frm.m_Grabo);
        const auto& box = ScriptedUi::current().boxes.first();
        QVERIFY2(box.text.startsWith(QStringLiteral("Ya existe una cancelación del item 7")),
                 qPrintable(box.text));
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(catalogSnapshot(), before);
    }

    // A line gone since the list was read: one box, the dialog stays open.
    void modifyMissingLine() {
        frmCancelaciones frm;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        bool open = false;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"),
                                     [&](QDialog& dialog) { open = dialog.isVisible(); });
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0007");
        frm.m_DIT_Numero = APU;
        frm.m_DIT_Item = QStringLiteral("8");
        frm.m_DIT_SbIt = QStringLiteral("0");
        ui().exec(frm);
        QVERIFY(open);
        const auto& box = ScriptedUi::current().boxes.first();
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QVERIFY2(box.text.contains(QStringLiteral("Corvelix.frmCancelaciones.cargarDatos (20)::")),
                 qPrintable(box.text));
    }

    // Every way out but a save leaves m_Grabo false and the next showing loads again.
    void closingPaths_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancelar") << "cancelar";
        QTest::newRow("close box") << "close";
        QTest::newRow("Esc") << "esc";
    }

    void closingPaths() {
        QFETCH(QString, how);
        frmCancelaciones frm;
        frm.m_Grabo = true;
        frm.m_Operacion = D;
        frm.m_Item = QStringLiteral("0007");
        frm.m_DIT_Numero = APU;
        frm.m_DIT_Item = QStringLiteral("2");
        frm.m_DIT_SbIt = QStringLiteral("0");
        int loads = 0;
        ScriptedUi::current().onForm(QStringLiteral("frmCancelaciones"), [&](QDialog& dialog) {
            if (campo(dialog, "txtDestinacionSusp").text() == APU)
                ++loads;
            if (how == QLatin1String("cancelar"))
                dialog.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
            else if (how == QLatin1String("close"))
                dialog.close();
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        ui().exec(frm);
        QCOMPARE(loads, 1);
        QVERIFY(!frm.m_Grabo);
        QVERIFY(!frm.cargado());
        QVERIFY(frm.m_DIT_Numero.isEmpty() && frm.m_DIT_Item.isEmpty() &&
                frm.m_DIT_SbIt.isEmpty());
        // Opened again on the line, it loads it again.
        frm.m_DIT_Numero = APU;
        frm.m_DIT_Item = QStringLiteral("2");
        frm.m_DIT_SbIt = QStringLiteral("0");
        ui().exec(frm);
        QCOMPARE(loads, 2);
    }
};

CORVELIX_TEST(tst_frmCancelaciones)
#include "tst_frmCancelaciones.moc"
