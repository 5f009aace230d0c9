#include "imports/HojaExcel.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "platform/FlexGrid.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace corvelix;
using corvelix::test::ScriptedUi;

namespace {

QString sample(const QString& name) {
    return QStringLiteral(CORVELIX_TEST_DATA "/sheets/") + name;
}

// A sheet from tab-separated lines ('|' stands for a tab, ';' for a line end).
Sheet hoja(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('|'), QLatin1Char('\t')).replace(QLatin1Char(';'), QLatin1Char('\n'));
    return readFirstSheetFromData(t.toUtf8(), QStringLiteral("prueba.txt"));
}

// The kept rows' first cells.
QString primeras(const LecturaHoja& l) {
    QStringList out;
    for (const QStringList& f : l.filas)
        out << f.value(0);
    return out.join(QLatin1Char(','));
}

} // namespace

class tst_HojaExcel : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    void header_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<int>("width");
        QTest::newRow("three headers read eight columns wide")
            << "A|B|C;1" << QStringList{"A", "B", "C"} << 8;
        QTest::newRow("a gap of four keeps what follows")
            << "A|||||F;1" << QStringList{"A", "", "", "", "", "F"} << 11;
        QTest::newRow("a gap of five ends the header") << "A||||||G;1" << QStringList{"A"} << 6;
        QTest::newRow("empty header") << ";1" << QStringList{} << 5;
    }
    void header() {
        QFETCH(QString, sheet);
        QFETCH(QStringList, headers);
        QFETCH(int, width);
        const LecturaHoja l = leerHoja(hoja(sheet));
        QCOMPARE(l.encabezados, headers);
        QCOMPARE(l.ancho, width);
        for (const QStringList& f : l.filas)
            QCOMPARE(f.size(), width);
    }

    // The kept rows, and the sheet row each came from.
    void rows_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("sheetRows");
        QTest::newRow("blanks and zeros are dropped, other digits and signs kept")
            << "H|X;a;0|00;  | 0 ;0,00;0.5;-0;100;|||||z"
            << "a,0,00,0.5,-0,100,"
            << "2,5,6,7,8,9";
        QTest::newRow("a value past the last header column keeps its row") << "H;|||q;b"
                                                                           << ",b"
                                                                           << "2,3";
        // Blank separator rows no longer end the sheet: only three in a row do.
        QTest::newRow("dropped rows apart do not add up") << "H;1;;2;;3;;4;;5"
                                                          << "1,2,3,4,5"
                                                          << "2,4,6,8,10";
        QTest::newRow("two blank rows in a row and more data") << "H;1;;;2;0;0;3"
                                                               << "1,2,3"
                                                               << "2,5,8";
        QTest::newRow("three dropped rows in a row end the reading") << "H;1;;0;;2"
                                                                     << "1"
                                                                     << "2";
        QTest::newRow("the end of the sheet ends the reading") << "H;1;2"
                                                               << "1,2"
                                                               << "2,3";
        QTest::newRow("no data") << "H"
                                 << ""
                                 << "";
    }
    void rows() {
        QFETCH(QString, sheet);
        QFETCH(QString, kept);
        QFETCH(QString, sheetRows);
        const LecturaHoja l = leerHoja(hoja(sheet));
        QCOMPARE(primeras(l), kept);
        QStringList numeros;
        for (const int n : l.numeros)
            numeros << QString::number(n);
        QCOMPARE(numeros.join(QLatin1Char(',')), sheetRows);
    }

    // The old rule's own example: it stopped at row 23 with 19 rows; every kept row now stays.
    void separatedBlocksAllKept() {
        QStringList lines{QStringLiteral("H")};
        for (int r = 2; r <= 30; ++r)
            lines << (r == 11 || r == 21 || r == 23 ? QString() : QString::number(r));
        const LecturaHoja l = leerHoja(hoja(lines.join(QLatin1Char(';'))));
        QCOMPARE(int(l.filas.size()), 26);
        QCOMPARE(l.filas.back().value(0), QStringLiteral("30"));
    }

    // The grid after a load: headers, the empty assignment row in its colour, data from row
    // 2, both rows frozen, the kept-row count shown, the progress left in the opener's caption.
    void loadsIntoTheGrid() {
        QWidget principal;
        frmXLS2Cancelaciones form(&principal);
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.xlsx")));
        FlexGrid* grid = form.findChild<FlexGrid*>(QStringLiteral("grdCanc"));
        QCOMPARE(grid->cols(), 7);
        QCOMPARE(grid->rows(), 7);
        QCOMPARE(grid->fixedRows(), 2);
        QCOMPARE(grid->textMatrix(0, 0), QStringLiteral("Destino"));
        QCOMPARE(grid->textMatrix(0, 6), QStringLiteral("Certificado"));
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(grid->textMatrix(1, c), QString());
            QCOMPARE(grid->cellForeColor(1, c), HojaExcelImport::colorCampos());
        }
        QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("24001IC04000001A"));
        QCOMPARE(grid->textMatrix(6, 1), QStringLiteral("24001IC04000003C"));
        QCOMPARE(form.filasLeidas(), 5);
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("lbFilas"))->text(),
                 QStringLiteral("Filas a cargar: 5"));
        QVERIFY(principal.windowTitle().startsWith(
            QStringLiteral("Proceso EXCEL        [Leyendo Excel Fila: ")));
        QVERIFY(!ScriptedUi::current().busy);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // F1 writes the picked field into the current column's assignment cell, "Cancelar" in
    // the picker leaves it, Delete clears only that cell.
    void assignmentKeys() {
        frmXLS2Cancelaciones form;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.ods")));
        FlexGrid* grid = form.findChild<FlexGrid*>(QStringLiteral("grdCanc"));
        grid->setCurrentCell(3, 2);
        auto& ui = ScriptedUi::current();
        ui.onForm(QStringLiteral("frmSelectCamposCancelaciones"), [](QDialog& d) {
            auto* combo = d.findChild<QComboBox*>(QStringLiteral("cboCampos"));
            QCOMPARE(combo->count(), 8);
            QCOMPARE(combo->currentIndex(), -1);
            combo->setCurrentIndex(2);
            d.findChild<QPushButton*>(QStringLiteral("cmdSeleccionar"))->click();
        });
        QTest::keyClick(grid->bodyView(), Qt::Key_F1);
        QCOMPARE(grid->textMatrix(1, 2), QStringLiteral("Item"));
        ui.onForm(QStringLiteral("frmSelectCamposCancelaciones"), [](QDialog& d) {
            d.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
        });
        QTest::keyClick(grid->bodyView(), Qt::Key_F1);
        QCOMPARE(grid->textMatrix(1, 2), QStringLiteral("Item"));
        QTest::keyClick(grid->bodyView(), Qt::Key_Delete);
        QCOMPARE(grid->textMatrix(1, 2), QString());
        QCOMPARE(grid->textMatrix(3, 2), QStringLiteral("2"));
    }

    void pickerWithoutSelection() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        QVERIFY(form.lf_LevantarExcel(sample("cancelaciones.csv")));
        FlexGrid* grid = form.findChild<FlexGrid*>(QStringLiteral("grdCanc"));
        grid->setCurrentCell(2, 0);
        ui.onForm(QStringLiteral("frmSelectCamposCancelaciones"), [](QDialog& d) {
            d.findChild<QPushButton*>(QStringLiteral("cmdSeleccionar"))->click();
            QVERIFY(d.isVisible() || d.result() == 0);
        });
        ui.answerBoxes({MsgResult::Ok});
        QTest::keyClick(grid->bodyView(), Qt::Key_F1);
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, QStringLiteral("Debe seleccionar un campo"));
        QCOMPARE(ui.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(grid->textMatrix(1, 0), QString());
    }

    void chooser() {
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        ui.answerOpenDialog(QString());
        QVERIFY(!form.Seleccionar_Archivo_XLS());
        ui.answerOpenDialog(sample("cancelaciones.xlsx"));
        QVERIFY(form.Seleccionar_Archivo_XLS());
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("lbArchivo"))->text(),
                 sample("cancelaciones.xlsx"));
        QCOMPARE(ui.fileDialogs.size(), 2);
        QCOMPARE(ui.fileDialogs[0].request.title, QStringLiteral("Abrir archivo EXCEL"));
        QCOMPARE(ui.fileDialogs[0].request.filters.value(0).description,
                 QStringLiteral("Despacho en EXCEL"));
        // The cancellation sheet is looked for from the user's own folder.
        QCOMPARE(ui.fileDialogs[0].request.directory, QDir::homePath());
    }

    void loadFailures_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("missing file")
            << sample("no_existe.xlsx")
            << "No se encuentra el archivo seleccionado \r\n" + sample("no_existe.xlsx")
            << int(MsgIcon::Exclamation);
        QTest::newRow("not a spreadsheet")
            << sample("imagen.xls")
            << "-2147221494 - El archivo \"" + sample("imagen.xls") +
                   "\" no se puede leer como hoja de cálculo: no es una hoja de cálculo "
                   "reconocida.\r\n\r\nSeccion [Merdano.frmCFGExcel.lf_LevantarExcel] linea 0"
            << int(MsgIcon::Critical);
        QTest::newRow("corrupt zip")
            << sample("truncado.xlsx")
            << "-2147221494 - El archivo \"" + sample("truncado.xlsx") +
                   "\" no se puede leer como hoja de cálculo: el archivo comprimido está dañado "
                   "o incompleto.\r\n\r\nSeccion [Merdano.frmCFGExcel.lf_LevantarExcel] linea 0"
            << int(MsgIcon::Critical);
    }
    void loadFailures() {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QFETCH(int, icon);
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        ui.answerBoxes({MsgResult::Ok});
        QVERIFY(!form.lf_LevantarExcel(path));
        QCOMPARE(ui.boxes.size(), 1);
        QCOMPARE(ui.boxes[0].text, text);
        QCOMPARE(int(ui.boxes[0].icon), icon);
        QVERIFY(!ui.busy);
        QVERIFY(!form.lf_LevantarExcel(QStringLiteral("  ")));
        QCOMPARE(ui.boxes.size(), 1);
    }

    // A sheet with headers and no data leaves the header row alone, says why and is no load.
    void headerOnly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("solo_titulos.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Destino,Despacho\r\n,\r\n0,0\r\n");
        f.close();
        auto& ui = ScriptedUi::current();
        frmXLS2Cancelaciones form;
        ui.answerBoxes({MsgResult::Ok});
        QVERIFY(!form.lf_LevantarExcel(path));
        FlexGrid* grid = form.findChild<FlexGrid*>(QStringLiteral("grdCanc"));
        QCOMPARE(grid->rows(), 1);
        QCOMPARE(grid->textMatrix(0, 1), QStringLiteral("Despacho"));
        QCOMPARE(ui.boxes.size(), 1);
        QVERIFY(ui.boxes[0].text.contains(QStringLiteral("no tiene filas con datos")));
        QCOMPARE(form.filasLeidas(), 0);
    }
};

CORVELIX_TEST(tst_HojaExcel)
#include "tst_HojaExcel.moc"
