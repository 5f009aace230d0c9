#include "WorkbookXml.h"
#include "app/frmMain.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"
#include "workbook_export/Reporte.h"
#include "workbook_export/main_workbook.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using corvelix::MsgIcon;
using corvelix::test::CatalogFixture;
using corvelix::test::ParsedSheet;
using corvelix::test::ParsedWorkbook;
using corvelix::test::parseWorkbook;
using corvelix::test::ScriptedUi;

namespace {

const QString kD1 = QStringLiteral("26001IC04000001A");
// Nothing but its header row.
const QString kEmpty = QStringLiteral("26001IC04000002B");
// Awkward texts everywhere, Null amounts, an item without subitems, no pivot codes.
const QString kAwkward = QStringLiteral("26001IC04000004D");

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT, LDDTNOMIOE, MDDTFOB, MDDTFLE, MDDTASS) VALUES ('26001IC04000001A', 'REF/1:A', 'Importadora', 100, 10, 1);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB, MDDTFLE, MDDTASS) VALUES ('26001IC04000002B', '', 0, 0, 0);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP, MARTFOBDOL)
  VALUES ('26001IC04000001A', '0001', '0001', '8471.30', 'ACE18', '203', '203', 'NUEVO', '07', 2, '07', 2, 1.2345, 50, 100, 10, 1, 0, 0, 0, 0, 100);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTINSCON, MARTINSTMP, MARTFOBDOL)
  VALUES ('26001IC04000001A', '0002', '0002', '8471.41', 'NAC', '203', '203', 'NUEVO', '07', 1, '07', 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0001', '0000', 'AA(X)-', 2, 2, 50, 100, 'S1');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB, IEXT) VALUES ('26001IC04000001A', '0002', '0000', '', 1, 1, 1, 1, 'S2');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0002', 'ACE18');
INSERT INTO SRG (ISRG, NART, CSRG) VALUES ('26001IC04000001A', '0002', 'BIT');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0002', 'MARCA', 'D', 'ACME');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0002', 'LIC', 'S', 'L-1');
INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, QLQACOEFIC) VALUES ('26001IC04000001A', '0001', '010', '1', 'NULO', 12.35, 100, 12.3456);
INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, QDCNAPU, CDCNEXPAPU, NDCNORDEN, CDCNRESOL) VALUES ('26001IC04000001A', 1, '25001IC04000118H', 3, 0, '8471.30', NULL, 'PP', 5, '100,00');
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('NUEVO', 'NUEVO SIN USO');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('203', 'BRASIL', '2099-12-31 00:00:00');
INSERT INTO UMM (CUMMUNTMSR, LUMMUNTMSR, DUMMEFF, DUMMFIN) VALUES ('07', 'UNIDAD', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('010', 'DERECHO IMPORTACION', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO TAX (CTAX, LTAXABR, DTAXEFF, DTAXFIN) VALUES ('060', 'INGRESOS BRUTOS', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPTAX', '1', 'PAGADO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('MODTRN', '1', 'MARITIMO');
INSERT INTO PTR (CTPT, CPTRNAT, LPTRNAT) VALUES ('TIPEMB', 'SUEL', 'CARGA SUELTA');
INSERT INTO NEB (TNEBNATEMB, LNEBNATEMB, DNEBFIN) VALUES ('CJ', 'CAJA', '2099-12-31 00:00:00');
INSERT INTO JRD (CJRD, LJRDDESC, CJRDTAX, QJRDALILOC, DJRDFIN) VALUES ('901', 'CAPITAL FEDERAL', '060', 3.5, '2099-12-31 00:00:00');
)");

// Every awkward kind of text at once, as the catalog may hold it.
QString awkward(const QString& tag) {
    return tag + QStringLiteral(" A&B <x> \"q\" 'a' Ñandú ç \U0001F4E6 \x01\x08\x1B") +
           QStringLiteral("\t\r\nfin");
}
QString awkwardRead(const QString& tag) {
    // What an XML reader finds: controls gone, the line break normalised.
    return tag + QStringLiteral(" A&B <x> \"q\" 'a' Ñandú ç \U0001F4E6 \t\nfin");
}
const QString kLong = QString(5000, QLatin1Char('x')) + QStringLiteral("&<");

void seedAwkward() {
    using modDA::execSQL;
    using modDA::kCatalog;
    const QString d = kAwkward;
    execSQL(kCatalog,
            testSql("INSERT INTO DDT (IDDT, IEXT, LDDTNOMIOE, NDDTIMMIOE, CDDTAGR, MDDTFOB, "
                    "MDDTFLE, MDDTASS, NDDTIMMTRN, CDDTMDETRN, CDDTPAYTRN, CDDTDEP) VALUES (?, ?, "
                    "?, ?, ?, NULL, NULL, NULL, ?, '1', '203', ?)"),
            {d, awkward(QStringLiteral("ref")), awkward(QStringLiteral("cliente")), kLong,
             QStringLiteral("<>"), awkward(QStringLiteral("trn")), QStringLiteral("D&P")});
    // Item 0001 with Null amounts and subitems; item 0002 without any subitem row.
    const auto item = [&](const char* nart) {
        execSQL(
            kCatalog,
            testSql("INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, "
                    "CARTPAYPRC, CARTUSO, CARTUNTDCL, CARTUNTEST) VALUES (?, ?, ?, ?, ?, "
                    "'203', '203', 'NUEVO', '07', '07')"),
            {d, QLatin1String(nart), QLatin1String(nart), awkward(QStringLiteral("ncm")), kLong});
    };
    item("0001");
    item("0002");
    execSQL(kCatalog,
            testSql("INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, CSBTCODEAN) VALUES (?, '0001', "
                    "'0000', ?, ?)"),
            {d, QStringLiteral("AA(") + awkward(QStringLiteral("marca")) + QStringLiteral(")-"),
             kLong});
    execSQL(kCatalog,
            testSql("INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES (?, '0001', '0001', ?)"),
            {d, QStringLiteral("AB(\x02<m>)-")});
    execSQL(kCatalog,
            testSql("INSERT INTO DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU, IDCNESPNCE, "
                    "QDCNAPU, CDCNRESOL) VALUES (?, 1, ?, 1, 0, ?, NULL, ?)"),
            {d, awkward(QStringLiteral("apu")), kLong, QStringLiteral("1\x03,5")});
    execSQL(kCatalog,
            testSql("INSERT INTO BUL (IDDT, LBULNUMCLS, CBULNATEMB, CBULEXT) VALUES (?, ?, 'CJ', "
                    "'SUEL')"),
            {d, awkward(QStringLiteral("bul"))});
    execSQL(kCatalog, testSql("INSERT INTO CCM (IDDT, NART, CCCM, MCCM) VALUES (?, 1, 'DCEXP', ?)"),
            {d, awkward(QStringLiteral("ccm"))});
    execSQL(kCatalog,
            testSql("INSERT INTO DCM (IDDT, NART, CIDCM, QDCMUNTEST) VALUES (?, '0001', ?, NULL)"),
            {d, awkward(QStringLiteral("dcm"))});
    execSQL(kCatalog,
            testSql("INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES (?, '010', '1', NULL)"),
            {d});
    execSQL(kCatalog,
            testSql("INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, "
                    "QLQACOEFIC) VALUES (?, '0001', '010', '1', NULL, NULL, NULL, NULL)"),
            {d});
    execSQL(kCatalog,
            testSql("INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, MLQABAS, "
                    "QLQACOEFIC) VALUES (?, '0002', '010', '1', ?, 1, 1, 1)"),
            {d, awkward(QStringLiteral("motivo"))});
    execSQL(kCatalog,
            testSql("INSERT INTO CIB (IDDT, CCIBNUMINS, CCIBEXENTO, CCIBINSCON) VALUES (?, "
                    "'901-1', ?, 'S')"),
            {d, awkward(QStringLiteral("exento"))});
    execSQL(kCatalog,
            testSql("INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES (?, '901', NULL)"), {d});
    execSQL(kCatalog,
            testSql("INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES (?, '901', 0.5)"), {d});
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

ParsedWorkbook parseFile(const QString& path) {
    return parseWorkbook(QString::fromUtf8(readFile(path)));
}

// Rows per sheet and cells per row, as "name: cells cells ...".
QStringList shape(const ParsedWorkbook& book) {
    QStringList out;
    for (const ParsedSheet& sheet : book.sheets) {
        QStringList counts;
        for (const auto& row : sheet.rows)
            counts << QString::number(row.size());
        out << sheet.name + QStringLiteral(": ") + counts.join(QLatin1Char(' '));
    }
    return out;
}

QStringList strings(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* text : texts)
        out << QString::fromUtf8(text);
    return out;
}

using Driver = std::function<void(const QString&, const QString&)>;

} // namespace

class tst_WorkbookDrivers : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

    ScriptedUi& ui() { return ScriptedUi::current(); }
    QString path(const QString& name) const { return QDir(fixture_->folder()).filePath(name); }

    static void addDrivers() {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("failingTable");
        QTest::newRow("ten sheets")
            << QStringLiteral("GenerarArchivoDespacho") << QStringLiteral("DCM");
        QTest::newRow("liquidation")
            << QStringLiteral("GenerarArchivoLiquidacion") << QStringLiteral("LQA");
        QTest::newRow("five sheets") << QStringLiteral("Reporte") << QStringLiteral("DCN");
    }
    static Driver driver(const QString& name) {
        if (name == QLatin1String("GenerarArchivoLiquidacion"))
            return mainModule::GenerarArchivoLiquidacion;
        if (name == QLatin1String("Reporte"))
            return Reporte::GenerarArchivoDespacho;
        return mainModule::GenerarArchivoDespacho;
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
        seedAwkward();
    }
    void cleanupTestCase() {
        fixture_.reset();
        QLocale::setDefault(QLocale::system());
    }

protected:
    void initTest() override { ui().reset(); }
private slots:

    void cancelledDialogWritesNothing_data() { addDrivers(); }
    void cancelledDialogWritesNothing() {
        QFETCH(QString, driver);
        ui().setBusy(true);
        tst_WorkbookDrivers::driver(driver)(kD1, QStringLiteral("R"));
        QCOMPARE(ui().fileDialogs.size(), 1);
        QVERIFY(ui().boxes.isEmpty());
        QVERIFY(QDir(fixture_->folder()).entryList({QStringLiteral("*.xls")}).isEmpty());
        if (driver != QLatin1String("Reporte"))
            QVERIFY(!ui().busy);
    }

    void dialogRequest() {
        ui().answerSaveDialog(QString());
        mainModule::GenerarArchivoDespacho(QStringLiteral("26001IC04@000001A"),
                                           QStringLiteral("REF/1:A"));
        ui().answerSaveDialog(QString());
        mainModule::GenerarArchivoLiquidacion(QStringLiteral("26001IC04@000001A"), QString());
        ui().answerSaveDialog(QString());
        Reporte::GenerarArchivoDespacho(kD1, QString());
        QCOMPARE(ui().fileDialogs.size(), 3);
        const auto& despacho = ui().fileDialogs.at(0).request;
        QCOMPARE(despacho.title, QStringLiteral("Exportar el provisorio a Excel"));
        QCOMPARE(despacho.proposedName, QStringLiteral("26001IC04000001A REF_1_A.xls"));
        QCOMPARE(despacho.filters.value(0).pattern, QStringLiteral("*.xls"));
        const auto& liquidacion = ui().fileDialogs.at(1).request;
        QCOMPARE(liquidacion.title,
                 QStringLiteral("Exportar Liquidacion de 26001IC04@000001A a Excel"));
        QCOMPARE(liquidacion.proposedName, QStringLiteral("26001IC04000001A.xls"));
        QCOMPARE(ui().fileDialogs.at(2).request.title,
                 QStringLiteral("Exportar el provisorio a Excel"));
    }

    // The written file: UTF-8, its first line, an empty line before the closing tag, the
    // writer's line break after it; the message names the path with ".xls" added.
    void writtenFile_data() { addDrivers(); }
    void writtenFile() {
        QFETCH(QString, driver);
        const QString chosen = path(driver + QStringLiteral("_informe"));
        ui().answerSaveDialog(chosen);
        ui().answerBoxes({corvelix::MsgResult::Ok});
        tst_WorkbookDrivers::driver(driver)(kD1, QStringLiteral("R"));
        const QString written = chosen + QStringLiteral(".xls");
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes.at(0).text, QStringLiteral("Se genero el archivo ") + written);
        QCOMPARE(ui().boxes.at(0).icon, MsgIcon::Information);
        const QByteArray bytes = readFile(written);
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook "));
        QVERIFY(bytes.endsWith("</Worksheet>\r\n\r\n</Workbook>\r\n"));
        const ParsedWorkbook book = parseWorkbook(QString::fromUtf8(bytes));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.hasStyles, driver != QLatin1String("Reporte"));
        if (driver != QLatin1String("Reporte"))
            QVERIFY(!ui().busy);
    }

    // The liquidation workbook of a small declaration, byte for byte.
    void liquidationFileBytes() {
        const QString chosen = path(QStringLiteral("liq.xls"));
        ui().answerSaveDialog(chosen);
        ui().answerBoxes({corvelix::MsgResult::Ok});
        mainModule::GenerarArchivoLiquidacion(kD1, QString());
        const QByteArray bytes = readFile(chosen);
        const qsizetype sheet = bytes.indexOf("<Worksheet");
        QCOMPARE(
            bytes.mid(sheet),
            QByteArray(
                "<Worksheet ss:Name=\"Liquidacion Items\">\r\n<Table>\r\n"
                "<Column ss:Index=\"1\" ss:Span=\"14\" ss:AutoFitWidth=\"1\" />\r\n"
                "<Row>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">ITEM</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">NCM</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">FOB Dol</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Seguro</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Flete</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Aj Inc</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Aj Ded</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Lista</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Codigo</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Descripcion</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Tipo</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Base</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Coef</Data></Cell>\r\n"
                "<Cell ss:StyleID=\"s63\"><Data ss:Type=\"String\">Total</Data></Cell>\r\n"
                "</Row>\r\n<Row>\r\n"
                "<Cell><Data ss:Type=\"String\">0001</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">8471.30</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">100</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">1</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">10</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">0</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">0</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">ACE18</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">010</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">DERECHO IMPORTACION</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"String\">1</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">100</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">12.35</Data></Cell>\r\n"
                "<Cell><Data ss:Type=\"Number\">12.35</Data></Cell>\r\n"
                "</Row>\r\n</Table>\r\n</Worksheet>\r\n\r\n</Workbook>\r\n"));
    }

    // A failing sheet: one warning naming the driver and the chain; the file is not written
    // and a file already at that path stays as it was.
    void failureWritesNothing_data() { addDrivers(); }
    void failureWritesNothing() {
        QFETCH(QString, driver);
        QFETCH(QString, failingTable);
        const QString chosen = path(driver + QStringLiteral("_fallo.xls"));
        {
            QFile old(chosen);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("previous");
        }
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("ALTER TABLE %1 RENAME TO X_%1").arg(failingTable)));
        ui().answerSaveDialog(chosen);
        ui().answerBoxes({corvelix::MsgResult::Ok});
        ui().setBusy(true);
        tst_WorkbookDrivers::driver(driver)(kD1, QString());
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("ALTER TABLE X_%1 RENAME TO %1").arg(failingTable)));
        QCOMPARE(ui().boxes.size(), 1);
        const auto& box = ui().boxes.at(0);
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        const QString name =
            driver == QLatin1String("Reporte") ? QStringLiteral("GenerarArchivoDespacho") : driver;
        QVERIFY2(box.text.startsWith(QStringLiteral("falta la tabla ")), qPrintable(box.text));
        QVERIFY2(box.text.contains(QStringLiteral(" - ") + name +
                                   QStringLiteral(":: Corvelix.frmArmadoITEM.generarNODO")),
                 qPrintable(box.text));
        QCOMPARE(readFile(chosen), QByteArray("previous"));
        if (driver != QLatin1String("Reporte"))
            QVERIFY(!ui().busy);
    }

    void fileWriterFailure() {
        const QString chosen = path(QStringLiteral("no/such/folder/libro.xls"));
        ui().answerSaveDialog(chosen);
        ui().answerBoxes({corvelix::MsgResult::Ok});
        mainModule::GenerarArchivoDespacho(kD1, QString());
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes.at(0).icon, MsgIcon::Exclamation);
        QVERIFY2(ui().boxes.at(0).text.contains(QLatin1String(
                     " - GenerarArchivoDespacho:: Corvelix.modAPITools.generarArchivo")),
                 qPrintable(ui().boxes.at(0).text));
        QVERIFY(!QFile::exists(chosen));
    }

    void fiveSheets() {
        const ParsedWorkbook book = parseWorkbook(Reporte::armarLibro(kD1));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QVERIFY(!book.hasStyles);
        QCOMPARE(book.names(),
                 strings({"Item", "Item Info", "Articulos", "Liquidacion", "Cancelaciones"}));
        for (const ParsedSheet& sheet : book.sheets) {
            for (const auto& cell : sheet.rows.at(0))
                QVERIFY(cell.style.isEmpty());
        }
        const ParsedSheet& item = book.sheet(QStringLiteral("Item"));
        QCOMPARE(item.texts(0),
                 strings({"Item", "NCM", "Lista", "Origen", "Proc", "Unidad", "Cantidad",
                          "Estadistica", "Cantidasd Est", "KiloNeto", "FOB", "FLETE", "SEGURO",
                          "Aj Inc", "Aj Ded", "Ventajas"}));
        int second = item.texts(1).value(0) == QLatin1String("0002") ? 1 : 2;
        QCOMPARE(item.at(second, QStringLiteral("Ventajas")), QStringLiteral("ACE18 - BIT"));
        QCOMPARE(item.at(3 - second, QStringLiteral("KiloNeto")), QStringLiteral("1.235"));

        const ParsedSheet& info = book.sheet(QStringLiteral("Item Info"));
        QCOMPARE(info.texts(0), strings({"Item", "NCM", "Lista", "Origen", "Proceden", "Ventajas",
                                         "Info Adic", "Documentos"}));
        second = info.texts(1).value(0) == QLatin1String("0002") ? 1 : 2;
        // One element per line inside the cell (a reader normalises CR LF to LF).
        QCOMPARE(info.at(second, QStringLiteral("Ventajas")), QStringLiteral("ACE18\nBIT"));
        QCOMPARE(info.at(second, QStringLiteral("Info Adic")), QStringLiteral("MARCA=ACME"));
        QCOMPARE(info.at(second, QStringLiteral("Documentos")), QStringLiteral("LIC=L-1"));

        const ParsedSheet& articulos = book.sheet(QStringLiteral("Articulos"));
        QCOMPARE(articulos.texts(0),
                 strings({"Codigo", "Item", "SubIt", "NCM", "Sufijos", "Unidad", "Cantidad",
                          "Estadistica", "Cantidad Est", "Unitario", "Total"}));
        QCOMPARE(articulos.rows.size(), 3);

        const ParsedSheet& liquidacion = book.sheet(QStringLiteral("Liquidacion"));
        QCOMPARE(liquidacion.texts(1),
                 strings({"0001", "8471.30", "100", "1", "10", "0", "0", "ACE18", "010",
                          "DERECHO IMPORTACION", "1", "100", "12.35", "12.35"}));

        const ParsedSheet& cancelaciones = book.sheet(QStringLiteral("Cancelaciones"));
        QCOMPARE(cancelaciones.texts(0),
                 strings({"Item Provisorio", "Declaracion", "Item", "SubIt", "NCM", "Cantidad",
                          "Cert Proc Prod", "Nro Orden", "Fact.Ponderacion"}));
        QCOMPARE(cancelaciones.texts(1), strings({"0001", "25001IC04000118H", "0003", "0000",
                                                  "8471.30", "0", "PP", "5", "100,00"}));
    }

    // Nothing to list: refused, never a workbook without worksheets reported as written.
    void fiveSheetsOfAnEmptyDeclaration() {
        QVERIFY(!Reporte::armarLibro(kEmpty).contains("<Worksheet"));
        const QString chosen = path(QStringLiteral("vacio.xls"));
        ui().answerSaveDialog(chosen);
        ui().answerBoxes({corvelix::MsgResult::Ok});
        Reporte::GenerarArchivoDespacho(kEmpty, QString());
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes.at(0).icon, MsgIcon::Exclamation);
        QCOMPARE(ui().boxes.at(0).text,
                 QStringLiteral("El provisorio 26001IC04000002B no tiene items, liquidaciones ni "
                                "cancelaciones para exportar: no se genero el archivo"));
        QVERIFY(!QFile::exists(chosen));
    }

    // Awkward texts, Null amounts, an item without subitems, no pivot codes: every workbook
    // is well-formed and keeps every row, each as wide as its header.
    void awkwardDeclaration_data() { addDrivers(); }
    void awkwardDeclaration() {
        QFETCH(QString, driver);
        const QString chosen = path(driver + QStringLiteral("_raro.xls"));
        ui().answerSaveDialog(chosen);
        ui().answerBoxes({corvelix::MsgResult::Ok});
        tst_WorkbookDrivers::driver(driver)(kAwkward, awkward(QStringLiteral("r")));
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes.at(0).icon, MsgIcon::Information);
        const ParsedWorkbook book = parseFile(chosen);
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QStringList expected;
        if (driver == QLatin1String("GenerarArchivoDespacho")) {
            expected =
                strings({"Caratula: 21 21 1", "Item: 14 14 14", "Subitem: 17 17 17",
                         "Cancelaciones: 8 8", "Bultos: 9 9", "DCEXP: 4 4", "PAC ROM: 6 6",
                         "Liquidacion total: 4 4", "Liquidacion Items: 7 7 7", "I.B.: 7 7 7"});
        } else if (driver == QLatin1String("GenerarArchivoLiquidacion")) {
            expected = strings({"Liquidacion Items: 14 14 14"});
        } else {
            expected = strings({"Item: 16 16 16", "Item Info: 8 8 8", "Articulos: 11 11 11",
                                "Liquidacion: 14 14 14", "Cancelaciones: 9 9"});
        }
        QCOMPARE(shape(book), expected);
        if (driver != QLatin1String("GenerarArchivoDespacho"))
            return;
        const ParsedSheet& caratula = book.sheet(QStringLiteral("Caratula"));
        QCOMPARE(caratula.at(1, QStringLiteral("REFERENCIA")), awkwardRead(QStringLiteral("ref")));
        QCOMPARE(caratula.at(1, QStringLiteral("CLIENTE")), awkwardRead(QStringLiteral("cliente")));
        QCOMPARE(caratula.at(1, QStringLiteral("CUIT IE")), kLong);
        // A Null amount is an empty cell, not a number.
        QCOMPARE(caratula.rows.at(1).at(9).text, QString());
        QCOMPARE(caratula.rows.at(1).at(9).type, QStringLiteral("String"));
        const ParsedSheet& subitem = book.sheet(QStringLiteral("Subitem"));
        QStringList marcas{subitem.at(1, QStringLiteral("MARCA")),
                           subitem.at(2, QStringLiteral("MARCA"))};
        QVERIFY(marcas.contains(awkwardRead(QStringLiteral("marca"))));
        QStringList modelos{subitem.at(1, QStringLiteral("MODELO")),
                            subitem.at(2, QStringLiteral("MODELO"))};
        QVERIFY(modelos.contains(QStringLiteral("<m>")));
        const ParsedSheet& ib = book.sheet(QStringLiteral("I.B."));
        QCOMPARE(ib.texts(1).value(1), awkwardRead(QStringLiteral("exento")));
    }

    void mainWindowEntries() {
        frmMain frm;
        frm.cargarGrilla(kD1);
        auto* menu = frm.findChild<QMenu*>(QStringLiteral("mnuArchivo"));
        auto* v2 = menu->findChild<QAction*>(QStringLiteral("mnuExportarExcel"));
        auto* v1 = menu->findChild<QAction*>(QStringLiteral("mnuExportarExcelLgy"));
        QVERIFY(v2->isEnabled());
        QVERIFY(v1->isEnabled());

        ui().answerSaveDialog(path(QStringLiteral("menu_v2.xls")));
        ui().answerBoxes({corvelix::MsgResult::Ok});
        v2->trigger();
        QCOMPARE(ui().fileDialogs.size(), 1);
        QCOMPARE(ui().fileDialogs.at(0).request.proposedName,
                 QStringLiteral("26001IC04000001A REF_1_A.xls"));
        QCOMPARE(parseFile(path(QStringLiteral("menu_v2.xls"))).sheets.size(), 10);

        ui().answerSaveDialog(path(QStringLiteral("menu_v1.xls")));
        ui().answerBoxes({corvelix::MsgResult::Ok});
        v1->trigger();
        QCOMPARE(parseFile(path(QStringLiteral("menu_v1.xls"))).sheets.size(), 5);
        QCOMPARE(ui().boxes.size(), 2);
        QVERIFY(!ui().busy);

        // An empty list: nothing at all.
        frm.cargarGrilla(QStringLiteral("no existe"));
        QCOMPARE(frm.findChild<QTreeWidget*>(QStringLiteral("lstDespachos"))->topLevelItemCount(),
                 0);
        ui().reset();
        v2->trigger();
        v1->trigger();
        QVERIFY(ui().fileDialogs.isEmpty());
        QVERIFY(ui().boxes.isEmpty());
        QVERIFY(!ui().busy);
    }
};

CORVELIX_TEST(tst_WorkbookDrivers)
#include "tst_WorkbookDrivers.moc"
