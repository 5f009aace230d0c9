#include "app/frmMain.h"
#include "data/ReaderRows.h"
#include "data/modDA.h"
#include "imports/frmSIMIGlobal.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "imports/frmXLS2Liquidaciones.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kD = QStringLiteral("26001IC04000001A");
const QString kIc06 = QStringLiteral("26001ic06000009Z");

// Items shown as 0001..0004 under other keys (0011..0014), one earlier cancellation line and
// liquidation lines of the items shown 1 and 4.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001IC04000001A', 'V', 'V', 'V');
INSERT INTO DDT (IDDT, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV) VALUES ('26001ic06000009Z', 'V', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001IC04000001A', '0011', '0001', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001IC04000001A', '0012', '0002', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001IC04000001A', '0013', '0003', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001IC04000001A', '0014', '0004', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001ic06000009Z', '0001', '0001', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001ic06000009Z', '0002', '0002', 'V', 'V');
INSERT INTO ART (IDDT, NART, NARTEXT, CARTETA, CARTSTUDEV) VALUES ('26001ic06000009Z', '0003', '0003', 'V', 'V');
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, QDCNAPU, CDCNRESOL) VALUES ('26001IC04000001A', 11, '23001IC04000099X', 9, 0, 1, 'VIEJA');
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0011', '099', '1', 'NULO', 1, 1, 1, 0);
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC, MLQABOC) VALUES ('26001IC04000001A', '0014', '010', '1', 'NULO', 2, 2, 2, 0);
)");

QString sample(const QString& name) {
    return QStringLiteral(CORVELIX_TEST_DATA "/sheets/") + name;
}

QStringList rows(const char* sql, const QVariantList& params) {
    return corvelix::test::readerRows(
        modDA::getRs(modDA::kCatalog, testSql(QString::fromLatin1(sql)), params));
}

QStringList rows(const char* sql, const QString& despacho) {
    return rows(sql, QVariantList{despacho});
}

QStringList cancelaciones(const QString& d) {
    return rows("SELECT NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, "
                "NDCNORDEN, CDCNRESOL, CDCNETA FROM DCN WHERE IDCN = ? "
                "ORDER BY IDCNAPU, NDCNARTAPU",
                d);
}

QStringList liquidaciones(const QString& d) {
    return rows("SELECT NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC FROM LQA "
                "WHERE ILIQ = ? ORDER BY NART, CLQATAX",
                d);
}

QStringList marcas(const QString& d) {
    return rows("SELECT CDDTSTUSGG || CDDTSTUBUL || CDDTSTUDEV FROM DDT WHERE IDDT = ? "
                "UNION ALL SELECT CARTETA || CARTSTUDEV FROM ART WHERE IDDT = ?",
                QVariantList{d, d});
}

FlexGrid* grid(QWidget& form) {
    return form.findChild<FlexGrid*>(QStringLiteral("grdCanc"));
}

void assign(QWidget& form, const QStringList& fields) {
    for (int c = 0; c < fields.size(); ++c)
        grid(form)->setTextMatrix(1, c, fields.at(c));
}

const QStringList kCancFields = {"DestinacionItem", "DIT",        "Item", "Subitem", "NCM",
                                 "Cantidad",        "Certificado"};

// The lines the cancellation sample gives: its blank separator rows (two in a row among them)
// do not hide the last line, and the row without DIT adds none.
const QStringList kCancLines = {
    "11|24001IC04000001A|1|0|8471.30.12|12.5|EXP-1|0|100,00|<null>",
    "11|24001IC04000001A|2|1|8471.30.12|3|<null>|0|100,00|<null>",
    "12|24001IC04000002B|1|0||100|EXP-2|0|100,00|<null>",
    "13|24001IC04000003C|4|2|9403.20.00|0.75|<null>|0|100,00|<null>",
};

// A grid cell to change before an import.
struct Cell {
    int row;
    int col;
    QString value;
};
using Cells = QList<Cell>;

const QStringList kOldCanc = {"11|23001IC04000099X|9|0|<null>|1|<null>|<null>|VIEJA|<null>"};

} // namespace

class tst_SheetImports : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
protected:
    void initTest() override {
        ScriptedUi::current().reset();
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
private slots:
protected:
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }
private slots:

    void cancellationWindow() {
        frmXLS2Cancelaciones form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Importar Cancelaciones"));
        QCOMPARE(form.txtFactorPonderacion->text(), QStringLiteral("100"));
        QCOMPARE(form.cmdCargarCancelaciones->text(), QStringLiteral("Cargar Cancelaciones"));
        for (QPushButton* b : form.findChildren<QPushButton*>())
            QVERIFY(!b->autoDefault() && !b->isDefault());
    }

    // The whole road from every format: choose, load, assign, confirm; the old lines go, the
    // sheet's lines come in, header and items are marked, the window closes.
    void cancellationsFromEveryFormat_data() {
        QTest::addColumn<QString>("file");
        for (const char* f :
             {"cancelaciones.xlsx", "cancelaciones.ods", "cancelaciones.xls",
              "cancelaciones_2003.xls", "cancelaciones_tab.xls", "cancelaciones.csv"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void cancellationsFromEveryFormat() {
        QFETCH(QString, file);
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        form.Form_Activate();
        ui.answerOpenDialog(sample(file));
        form.cmdAbrirExcel->click();
        QCOMPARE(form.filasLeidas(), 5);
        assign(form, kCancFields);
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QCOMPARE(ui.boxes[0].text,
                 QStringLiteral("Esta operación eliminará las cancelaciones cargadas actualmente "
                                "de 26001IC04000001A, desea continuar?"));
        QCOMPARE(ui.boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(ui.boxes[0].icon, MsgIcon::Question);
        QCOMPARE(ui.boxes[1].text, QStringLiteral("Se proceso el archivo excel"));
        QCOMPARE(ui.boxes[1].icon, MsgIcon::Information);
        QCOMPARE(cancelaciones(kD), kCancLines);
        QCOMPARE(marcas(kD), QStringList({"III", "II", "II", "II", "II"}));
        QVERIFY(form.m_Despacho.isEmpty());
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    void cancellationAnsweredNo() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        assign(form, kCancFields);
        ui.answerBoxes({MsgResult::No});
        form.cmdCargarCancelaciones_Click();
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(cancelaciones(kD), kOldCanc);
        QCOMPARE(form.m_Despacho, kD);
    }

    // A destination item the declaration does not have is refused, naming the sheet row (the
    // blank rows above it counted), and a database failure part-way keeps every old line: the
    // replacement is one transaction. The window stays with its grid.
    void cancellationFailureKeepsOldLines() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        assign(form, kCancFields);
        grid(form)->setTextMatrix(6, 0, QStringLiteral("9"));
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QVERIFY2(ui.boxes[1].text.startsWith(
                     QStringLiteral("Fila 9 de la hoja: No se encuentra el item 9 en el provisorio "
                                    "26001IC04000001A\n")),
                 qPrintable(ui.boxes[1].text));
        QVERIFY(ui.boxes[1].text.contains(QStringLiteral(
            "Corvelix.frmXLS2Cancelaciones.cmdCargarCancelaciones_Click (0)::Corvelix."
            "frmXLS2Cancelaciones.cargarCancelaciones (0)::")));
        QCOMPARE(ui.boxes[1].icon, MsgIcon::Exclamation);
        QCOMPARE(cancelaciones(kD), kOldCanc);
        QCOMPARE(marcas(kD), QStringList({"VVV", "VV", "VV", "VV", "VV"}));
        QCOMPARE(form.m_Despacho, kD);

        grid(form)->setTextMatrix(6, 0, QStringLiteral("3"));
        modDA::execSQL(modDA::kCatalog,
                       testSql("CREATE TRIGGER falla BEFORE INSERT ON DCN WHEN NEW.NDCNARTAPU = 4 "
                               "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 4);
        QVERIFY2(ui.boxes[3].text.contains(QStringLiteral("disco lleno")),
                 qPrintable(ui.boxes[3].text));
        QCOMPARE(cancelaciones(kD), kOldCanc);
        QCOMPARE(marcas(kD), QStringList({"VVV", "VV", "VV", "VV", "VV"}));
        QCOMPARE(form.m_Despacho, kD);
    }

    // A row without DIT whose Item is not a number still stops the import, before anything.
    void cancellationConversionError() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.ods")));
        assign(form, kCancFields);
        grid(form)->setTextMatrix(5, 2, QStringLiteral("cinco"));
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QVERIFY2(ui.boxes[1].text.startsWith(
                     QStringLiteral("Fila 8 de la hoja: el item \"cinco\" no es un número\n")),
                 qPrintable(ui.boxes[1].text));
        QCOMPARE(cancelaciones(kD), kOldCanc);
    }

    void cancellationValidation_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("a field twice")
            << QStringList{"DestinacionItem", "DIT", "Item", "Subitem", "Subitem", "Cantidad"}
            << QStringLiteral("El campo SubItem fue seleccionado mas de una vez\n\n"
                              "Corvelix.frmXLS2Cancelaciones.cmdCargarCancelaciones_Click (0)::"
                              "Corvelix.frmXLS2Cancelaciones.ValidarCampos (0)::Validando Campos")
            << int(MsgIcon::Exclamation);
        QTest::newRow("destination missing")
            << QStringList{"", "DIT", "Item", "Subitem", "", "Cantidad"}
            << QStringLiteral("Debe seleccionar la columna DestinacionItem")
            << int(MsgIcon::Exclamation);
        QTest::newRow("only the first missing one is told")
            << QStringList{"DestinacionItem", "DIT", "item", "", "", ""}
            << QStringLiteral("Debe seleccionar la columna Item") << int(MsgIcon::Exclamation);
        QTest::newRow("quantity missing")
            << QStringList{"DestinacionItem", "DIT", "Item", "Subitem", "NCM", "Certificado"}
            << QStringLiteral("Debe seleccionar la columna Cantidad") << int(MsgIcon::Exclamation);
    }
    void cancellationValidation() {
        QFETCH(QStringList, fields);
        QFETCH(QString, text);
        QFETCH(int, icon);
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        assign(form, fields);
        ui.answerBoxes({MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, text);
        QCOMPARE(int(ui.boxes[0].icon), icon);
        QCOMPARE(cancelaciones(kD), kOldCanc);
    }

    // Factor: empty for IC06 declarations, else the column's cell, else the text box; written
    // as the catalog holds it (two decimals after a comma), whatever the user's locale.
    void cancellationFactor_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<bool>("factorColumn");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("factor");
        QTest::newRow("text box") << "es_AR" << kD << false << "55"
                                  << "55,00";
        QTest::newRow("text box, en_US") << "en_US" << kD << false << "12.5"
                                         << "12,50";
        QTest::newRow("empty text box") << "es_AR" << kD << false << ""
                                        << "";
        QTest::newRow("column") << "es_AR" << kD << true << "55"
                                << "12,50";
        QTest::newRow("IC06 in any case") << "es_AR" << kIc06 << true << "55"
                                          << "";
    }
    void cancellationFactor() {
        QFETCH(QString, locale);
        QFETCH(QString, despacho);
        QFETCH(bool, factorColumn);
        QFETCH(QString, box);
        QFETCH(QString, factor);
        QLocale::setDefault(QLocale(locale));
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = despacho;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        QStringList fields = kCancFields;
        if (factorColumn) {
            // The certificate column read as the factor, its cells made factors.
            fields[6] = QStringLiteral("Factor Ponderacion");
            grid(form)->setTextMatrix(2, 6, QLocale().toString(12.5));
            grid(form)->setTextMatrix(4, 6, QStringLiteral("95"));
        }
        assign(form, fields);
        form.txtFactorPonderacion->setText(box);
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        const QStringList lines =
            rows("SELECT IFNULL(CDCNRESOL, '<null>') FROM DCN WHERE IDCN = ? AND "
                 "NDCNARTAPU = 1 AND IDCNAPU = '24001IC04000001A'",
                 despacho);
        QCOMPARE(lines, QStringList{factor});
    }

    // Item numbers written with decimals that are zero are the whole numbers.
    void cancellationNumbers() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        assign(form, kCancFields);
        grid(form)->setTextMatrix(2, 2, QStringLiteral("2,0"));
        grid(form)->setTextMatrix(3, 2, QStringLiteral("4,00"));
        grid(form)->setTextMatrix(6, 0, QStringLiteral("3,0"));
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QCOMPARE(rows("SELECT NDCNART || '/' || NDCNARTAPU FROM DCN WHERE IDCN = ? ORDER BY "
                      "QDCNAPU",
                      kD),
                 QStringList({"13/4", "11/4", "11/2", "12/1"}));
    }

    // A row the catalog cannot take as it stands is refused before anything changes, naming
    // the row as the spreadsheet numbers it (the sample's blank rows counted): an item number
    // that is not whole would be rounded onto another item, a quantity beyond the column's
    // range would be stored as another number. Two rows cancelling the same line into the
    // same item are refused naming both: the catalog would hold one key twice, and the item
    // editor would change and delete both lines as one.
    void cancellationRowRefused_data() {
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QString>("text");
        QTest::newRow("item not whole")
            << Cells{{2, 2, "2,5"}} << "Fila 2 de la hoja: el item \"2,5\" no es un número entero";
        QTest::newRow("subitem not whole past a blank row")
            << Cells{{4, 3, "0,5"}}
            << "Fila 5 de la hoja: el subitem \"0,5\" no es un número entero";
        QTest::newRow("item not whole on a row without DIT")
            << Cells{{5, 2, "5,5"}}
            << "Fila 8 de la hoja: el item \"5,5\" no es un número entero";
        QTest::newRow("destination not whole")
            << Cells{{6, 0, "3,9"}}
            << "Fila 9 de la hoja: el item de destino \"3,9\" no es un número entero";
        QTest::newRow("item past 16 bits")
            << Cells{{2, 2, "40000"}}
            << "Fila 2 de la hoja: el item \"40000\" no está entre -32768 y 32767";
        QTest::newRow("quantity beyond the catalog")
            << Cells{{4, 5, "99999999999999999999"}}
            << "Fila 5 de la hoja: la cantidad \"99999999999999999999\" no cabe en el catálogo, "
               "que admite hasta 999999999,999999";
        QTest::newRow("quantity that rounds past the catalog")
            << Cells{{3, 5, "999999999,9999996"}}
            << "Fila 3 de la hoja: la cantidad \"999999999,9999996\" no cabe en el catálogo, "
               "que admite hasta 999999999,999999";
        // The second line of the sample made the same as the first.
        QTest::newRow("the same line twice")
            << Cells{{3, 1, "24001IC04000001A"}, {3, 2, "1"}, {3, 3, "0"}}
            << "Filas 2 y 3 de la hoja: repiten la cancelación del item 1 contra el despacho "
               "24001IC04000001A, item 1, subitem 0";
        QTest::newRow("the same line, declaration in small letters")
            << Cells{{3, 1, "24001ic04000001a"}, {3, 2, "1"}, {3, 3, "0"}}
            << "Filas 2 y 3 de la hoja: repiten la cancelación del item 1 contra el despacho "
               "24001ic04000001a, item 1, subitem 0";
    }
    void cancellationRowRefused() {
        QFETCH(Cells, cells);
        QFETCH(QString, text);
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        assign(form, kCancFields);
        for (const Cell& c : cells)
            grid(form)->setTextMatrix(c.row, c.col, c.value);
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QVERIFY2(ui.boxes[1].text.startsWith(text + QLatin1Char('\n')),
                 qPrintable(ui.boxes[1].text));
        QCOMPARE(ui.boxes[1].icon, MsgIcon::Exclamation);
        QCOMPARE(cancelaciones(kD), kOldCanc);
        QCOMPARE(marcas(kD), QStringList({"VVV", "VV", "VV", "VV", "VV"}));
        QCOMPARE(form.m_Despacho, kD);
    }

    // A factor is checked as the cancellation dialog checks it, before anything changes,
    // naming the sheet row: from the factor column or from the text box.
    void cancellationFactorRefused_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("factorColumn");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "es_AR" << true << "abc"
                                 << "Fila 5 de la hoja: el factor de ponderación \"abc\" no es un "
                                    "número";
        QTest::newRow("twenty nines")
            << "es_AR" << true << QString(20, QLatin1Char('9'))
            << "Fila 5 de la hoja: el factor de ponderación \"99999999999999999999\" no cabe en "
               "el catálogo, que admite hasta 9999999999999,99";
        QTest::newRow("comma form under en_US")
            << "en_US" << true << "1.000,5"
            << "Fila 5 de la hoja: el factor de ponderación \"1.000,5\" no es un número";
        QTest::newRow("keyboard point under es_AR")
            << "es_AR" << true << "95.5"
            << "Fila 5 de la hoja: el factor de ponderación \"95.5\" no es un número";
        QTest::newRow("text box") << "es_AR" << false << "abc"
                                  << "Fila 2 de la hoja: el factor de ponderación \"abc\" no es "
                                     "un número";
    }
    void cancellationFactorRefused() {
        QFETCH(QString, locale);
        QFETCH(bool, factorColumn);
        QFETCH(QString, factor);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        QStringList fields = kCancFields;
        if (factorColumn) {
            fields[6] = QStringLiteral("Factor Ponderacion");
            grid(form)->setTextMatrix(2, 6, QStringLiteral("100"));
            grid(form)->setTextMatrix(4, 6, factor); // sheet row 5
        } else {
            form.txtFactorPonderacion->setText(factor);
        }
        assign(form, fields);
        ui.answerBoxes({MsgResult::Yes, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QVERIFY2(ui.boxes[1].text.startsWith(text + QLatin1Char('\n')),
                 qPrintable(ui.boxes[1].text));
        QCOMPARE(cancelaciones(kD), kOldCanc);
        QCOMPARE(marcas(kD), QStringList({"VVV", "VV", "VV", "VV", "VV"}));
    }

    // A file that cannot be read deletes nothing.
    void unreadableFileDeletesNothing() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        ui.answerOpenDialog(sample("truncado.xlsx"));
        ui.answerBoxes({MsgResult::Ok, MsgResult::Ok});
        form.cmdAbrirExcel->click();
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QVERIFY(ui.boxes[0].text.contains(sample("truncado.xlsx")));
        QCOMPARE(ui.boxes[1].text, QStringLiteral("Debe seleccionar la columna DestinacionItem"));
        QCOMPARE(cancelaciones(kD), kOldCanc);
    }

    // A reload that fails leaves nothing of the previous sheet, though the label names the new
    // file: each window's save step then finds nothing to import and changes nothing.
    void failedReloadLeavesNothing_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("refusal");
        for (const char* bad : {"no_existe.xlsx", "truncado.xlsx"}) {
            QTest::addRow("cancelaciones, %s", bad)
                << "frmXLS2Cancelaciones" << sample(QLatin1String(bad))
                << "Debe seleccionar la columna DestinacionItem";
            QTest::addRow("liquidaciones, %s", bad)
                << "frmXLS2Liquidaciones" << sample(QLatin1String(bad))
                << "Debe seleccionar la columna Item";
            QTest::addRow("SIMI, %s", bad)
                << "frmSIMIGlobal" << sample(QLatin1String(bad))
                << QStringLiteral("La hoja no tiene filas para cargar: no se modificó nada.");
        }
    }
    void failedReloadLeavesNothing() {
        QFETCH(QString, window);
        QFETCH(QString, bad);
        QFETCH(QString, refusal);
        auto& ui = ScriptedUi::current();
        std::unique_ptr<HojaExcelImport> form;
        QPushButton* abrir = nullptr;
        QPushButton* cargar = nullptr;
        if (window == QLatin1String("frmXLS2Cancelaciones")) {
            auto f = std::make_unique<frmXLS2Cancelaciones>();
            f->m_Despacho = kD;
            abrir = f->cmdAbrirExcel;
            cargar = f->cmdCargarCancelaciones;
            form = std::move(f);
            ui.answerOpenDialog(sample("cancelaciones.xlsx"));
        } else if (window == QLatin1String("frmXLS2Liquidaciones")) {
            auto f = std::make_unique<frmXLS2Liquidaciones>();
            f->m_Despacho = kD;
            abrir = f->cmdAbrirExcel;
            cargar = f->cmdCargarCancelaciones;
            form = std::move(f);
            ui.answerOpenDialog(sample("liquidaciones.xlsx"));
        } else {
            auto f = std::make_unique<frmSIMIGlobal>();
            f->m_Despacho = kD;
            abrir = f->cmdAbrir;
            cargar = f->cmdGuardar;
            form = std::move(f);
            const QString hoja = QDir(fixture_->folder()).filePath(QStringLiteral("simi.csv"));
            QFile file(hoja);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Item,Cantidad,Total\r\n1,2,3\r\n2,1,1\r\n");
            file.close();
            ui.answerOpenDialog(hoja);
        }
        abrir->click();
        QVERIFY(form->filasLeidas() > 0);
        // Every field assigned, as the user would before pressing the window's load button.
        if (auto* simi = qobject_cast<frmSIMIGlobal*>(form.get()))
            simi->Seleccionarautomaticamente_dorsel();
        else if (qobject_cast<frmXLS2Cancelaciones*>(form.get()))
            assign(*form, kCancFields);
        const QStringList antesLiq = liquidaciones(kD);

        ui.answerOpenDialog(bad);
        ui.answerBoxes({MsgResult::Ok});
        abrir->click();
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("lbArchivo"))->text(), bad);
        QCOMPARE(form->filasLeidas(), 0);
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("lbFilas"))->text(), QString());
        QCOMPARE(form->findChild<FlexGrid*>()->rows(), 1);
        QCOMPARE(form->findChild<FlexGrid*>()->textMatrix(0, 0), QString());

        ui.answerBoxes({MsgResult::Ok});
        cargar->click();
        QCOMPARE(ui.boxes.last().text, refusal);
        QCOMPARE(cancelaciones(kD), kOldCanc);
        QCOMPARE(liquidaciones(kD), antesLiq);
        QCOMPARE(modDA::getRs(modDA::kLocal, testSql("SELECT COUNT(*) FROM SIMIGlobalItem"))
                     .field(0)
                     .toInt(),
                 0);
    }

    // Esc closes the cancellation window; the liquidation window has no keys of its own.
    void escape() {
        frmXLS2Cancelaciones form;
        form.m_Despacho = kD;
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.m_Despacho.isEmpty());
        frmXLS2Liquidaciones liq;
        liq.m_Despacho = kD;
        QTest::keyClick(&liq, Qt::Key_Escape);
        QCOMPARE(liq.m_Despacho, kD);
    }

    // The main window's entries open the imports on the selected declaration; cancellations
    // only where the sub-regime admits them.
    void mainWindowEntries() {
        auto& ui = ScriptedUi::current();
        frmMain frm;
        auto* lista = frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"));
        auto* menu = frm.findChild<QMenu*>(QStringLiteral("mnuArchivo"));
        QAction* canc = nullptr;
        QAction* liq = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->objectName() == QLatin1String("mnuCargarCancelaciones"))
                canc = a;
            if (a->objectName() == QLatin1String("mnuCargarLiquidaciones"))
                liq = a;
        }
        QVERIFY(canc && liq && canc->isEnabled() && liq->isEnabled());
        lista->clear();
        canc->trigger();
        liq->trigger();
        QVERIFY(ui.shownForms.isEmpty());
        QVERIFY(ui.boxes.isEmpty());

        lista->addTopLevelItem(new QTreeWidgetItem(QStringList{kD}));
        lista->setCurrentItem(lista->topLevelItem(0));
        ui.answerBoxes({MsgResult::Ok});
        canc->trigger();
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, QStringLiteral("No se puede distribuir en una IC04"));
        QCOMPARE(ui.boxes[0].icon, MsgIcon::Exclamation);
        QString recibido;
        ui.onForm(QStringLiteral("frmXLS2Liquidaciones"),
                  [&](QDialog& d) { recibido = static_cast<frmXLS2Liquidaciones&>(d).m_Despacho; });
        liq->trigger();
        QCOMPARE(recibido, kD);

        lista->addTopLevelItem(
            new QTreeWidgetItem(QStringList{QStringLiteral("26001IC06000008Y")}));
        lista->setCurrentItem(lista->topLevelItem(1));
        ui.onForm(QStringLiteral("frmXLS2Cancelaciones"), [&](QDialog& d) {
            auto& form = static_cast<frmXLS2Cancelaciones&>(d);
            QTRY_COMPARE(form.lbDespacho->text(), QStringLiteral("26001IC06000008Y"));
            recibido = form.m_Despacho;
        });
        canc->trigger();
        QCOMPARE(recibido, QStringLiteral("26001IC06000008Y"));
        QCOMPARE(ui.shownForms, QStringList({QStringLiteral("frmXLS2Liquidaciones"),
                                             QStringLiteral("frmXLS2Cancelaciones")}));
    }

    // ---------------------------------------------------------------- liquidations

    // Headers ITEM, Codigo, tipo, Base, COEF and Total assign all six fields by themselves.
    void liquidationsFromEveryFormat_data() {
        QTest::addColumn<QString>("file");
        for (const char* f :
             {"liquidaciones.xlsx", "liquidaciones.ods", "liquidaciones.xls",
              "liquidaciones_2003.xls", "liquidaciones_tab.xls", "liquidaciones.csv"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void liquidationsFromEveryFormat() {
        QFETCH(QString, file);
        auto& ui = ScriptedUi::current();
        frmXLS2Liquidaciones form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Importar Liquidaciones"));
        form.m_Despacho = kD;
        ui.answerOpenDialog(sample(file));
        form.cmdAbrirExcel->click();
        QCOMPARE(ui.fileDialogs.value(0).request.directory, QString());
        QCOMPARE(form.filasLeidas(), 4);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(grid(form)->textMatrix(1, c),
                     QStringList({"Item", "Codigo", "Tipo", "Base", "Coef", "Total"}).at(c));
        ui.answerBoxes({MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, QStringLiteral("Se proceso el archivo excel"));
        // The lines hang on the keys of the items the sheet names by their shown numbers.
        QCOMPARE(liquidaciones(kD), QStringList({
                                        "0011|010|1|NULO|210|1000|21",
                                        "0011|011|1|NULO|105|1000|10.5",
                                        "0012|010|1|NULO|105|500|21",
                                        "0013|020|2|NULO|7.52|250.5|3",
                                        "0014|010|1|NULO|2|2|2",
                                    }));
        QCOMPARE(marcas(kD), QStringList({"III", "II", "II", "II", "II"}));
        QVERIFY(form.m_Despacho.isEmpty());
    }

    // A failing row changes nothing: the lines of the items it names stay as they were.
    void liquidationRowChecks_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("item not numeric") << 3 << 0 << "x1"
                                          << "El valor item: x1 no es numerico. Linea 3";
        // Grid row 4 is the sheet's row 5, grid row 5 its row 8: blank rows come between.
        QTest::newRow("base not numeric") << 4 << 3 << ""
                                          << "El Base imponible:  no es numerico. Linea 5";
        QTest::newRow("rate not numeric")
            << 2 << 4 << "21%"
            << "El coeficiente o porcentaje: 21% no es numerico. Linea 2";
        QTest::newRow("total not numeric") << 5 << 5 << "a"
                                           << "El Valor total: a no es numerico. Linea 8";
        QTest::newRow("item zero") << 5 << 0 << "0"
                                   << "El valor item debe ser mayor a cero. Linea 8";
        QTest::newRow("negative base") << 2 << 3 << "-1"
                                       << "El Base imponible debe ser mayor a cero. Linea 2";
        QTest::newRow("rate zero") << 2 << 4 << "0"
                                   << "El coeficiente o porcentaje debe ser mayor a cero. Linea 2";
        QTest::newRow("total zero") << 2 << 5 << "0,00"
                                    << "El Valor total debe ser mayor a cero. Linea 2";
        // Stored with two decimals these are 0.00.
        QTest::newRow("base that rounds to zero")
            << 2 << 3 << "0,001"
            << "El Base imponible debe ser mayor a cero. Linea 2";
        QTest::newRow("total that rounds to zero")
            << 4 << 5 << "0,004"
            << "El Valor total debe ser mayor a cero. Linea 5";
        QTest::newRow("code of two") << 5 << 1 << "10"
                                     << "El codigo de concepto: 10 debe ser de 3 digitos. Linea 8";
        QTest::newRow("type of two") << 4 << 2 << "12"
                                     << "El Tipo: 12 debe ser de 1 digito. Linea 5";
        QTest::newRow("a number no item shows")
            << 3 << 0 << "11"
            << "El item: 11 no existe en el despacho 26001IC04000001A. Linea 3";
        QTest::newRow("a number no item shows, past a blank row")
            << 4 << 0 << "9"
            << "El item: 9 no existe en el despacho 26001IC04000001A. Linea 5";
        QTest::newRow("item not whole") << 3 << 0 << "1,5"
                                        << "El valor item: 1,5 no es un número entero. Linea 3";
        QTest::newRow("total of twenty nines")
            << 4 << 5 << "99999999999999999999"
            << "El Valor total: 99999999999999999999 no cabe en el catálogo, que admite hasta "
               "9999999999999,99. Linea 5";
        QTest::newRow("base that rounds past the catalog")
            << 5 << 3 << "9999999999999,996"
            << "El Base imponible: 9999999999999,996 no cabe en el catálogo, que admite hasta "
               "9999999999999,99. Linea 8";
        QTest::newRow("rate beyond the catalog")
            << 2 << 4 << "1000000000"
            << "El coeficiente o porcentaje: 1000000000 no cabe en el catálogo, que admite hasta "
               "999999999,999999. Linea 2";
        QTest::newRow("same item and code twice")
            << 3 << 1 << "010"
            << "El item 1 con el codigo de concepto 010 está repetido en las lineas 2 y 3";
        QTest::newRow("same item and code, the item written otherwise, past a blank row")
            << 4 << 0 << "01"
            << "El item 01 con el codigo de concepto 010 está repetido en las lineas 2 y 5";
    }
    void liquidationRowChecks() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, value);
        QFETCH(QString, text);
        auto& ui = ScriptedUi::current();
        const QStringList before = liquidaciones(kD);
        frmXLS2Liquidaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("liquidaciones.xlsx")));
        grid(form)->setTextMatrix(row, col, value);
        ui.answerBoxes({MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, text);
        QCOMPARE(ui.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(liquidaciones(kD), before);
        QCOMPARE(marcas(kD), QStringList({"VVV", "VV", "VV", "VV", "VV"}));
        QCOMPARE(form.m_Despacho, kD);
    }

    void liquidationValidation() {
        auto& ui = ScriptedUi::current();
        frmXLS2Liquidaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("liquidaciones.ods")));
        grid(form)->setTextMatrix(1, 2, QStringLiteral("Coef"));
        ui.answerBoxes({MsgResult::Ok, MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        grid(form)->setTextMatrix(1, 4, QString());
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 2);
        QCOMPARE(ui.boxes[0].text,
                 QStringLiteral("El campo Coeficiente fue seleccionado mas de una vez\n\n"
                                "Corvelix.frmXLS2Liquidaciones.cmdCargarCancelaciones_Click (0)::"
                                "Corvelix.frmXLS2Liquidaciones.ValidarCamposLiq (0)::Validando "
                                "Campos"));
        QCOMPARE(ui.boxes[1].text, QStringLiteral("Debe seleccionar la columna Tipo"));
    }

    // Items split by another item's rows keep all their lines; a database failure part-way
    // keeps every old line.
    void liquidationSplitItemsAndFailure() {
        auto& ui = ScriptedUi::current();
        frmXLS2Liquidaciones form;
        form.m_Despacho = kD;
        QVERIFY(form.lf_LevantarExcel(sample("liquidaciones.csv")));
        grid(form)->setTextMatrix(5, 0, QStringLiteral("1"));
        const QStringList before = liquidaciones(kD);
        modDA::execSQL(modDA::kCatalog,
                       testSql("CREATE TRIGGER falla BEFORE INSERT ON LQA WHEN NEW.CLQATAX = "
                               "'020' BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
        ui.answerBoxes({MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(ui.boxes.size(), 1);
        QVERIFY(ui.boxes[0].text.startsWith(QStringLiteral("disco lleno")));
        QVERIFY(ui.boxes[0].text.contains(
            QStringLiteral("Corvelix.frmXLS2Liquidaciones.cargarLiquidaciones (0)::")));
        QCOMPARE(ui.boxes[0].icon, MsgIcon::None);
        QCOMPARE(liquidaciones(kD), before);
        modDA::execSQL(modDA::kCatalog, testSql("DROP TRIGGER falla"));
        ui.answerBoxes({MsgResult::Ok});
        form.cmdCargarCancelaciones->click();
        QCOMPARE(rows("SELECT NART, COUNT(*) FROM LQA WHERE ILIQ = ? GROUP BY NART", kD),
                 QStringList({"0011|3", "0012|1", "0014|1"}));
    }
};

CORVELIX_TEST(tst_SheetImports)
#include "tst_SheetImports.moc"
