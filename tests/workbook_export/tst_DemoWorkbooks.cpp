#include "WorkbookXml.h"
#include "data/modDA.h"
#include "data/schema.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "workbook_export/Reporte.h"
#include "workbook_export/main_workbook.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QTest>

#include <functional>
#include <memory>

using corvelix::test::CatalogFixture;
using corvelix::test::parseWorkbook;
using corvelix::test::ScriptedUi;

namespace {} // namespace

// Every declaration of the demo catalog through the three drivers: each file is written,
// reads back as well-formed XML, and each sheet's rows are as wide as its header.
class tst_DemoWorkbooks : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() {
        fixture_ = std::make_unique<CatalogFixture>();
        fixture_->loadDemoSeed();
    }
    void cleanupTestCase() { fixture_.reset(); }

protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    void everyDeclaration() {
        modDA::Recordset ddt = modDA::getDDT(QString(), true);
        QVERIFY(ddt.recordCount() > 0);
        const QList<std::pair<QString, std::function<void(const QString&, const QString&)>>>
            drivers{{QStringLiteral("v2"), mainModule::GenerarArchivoDespacho},
                    {QStringLiteral("liq"), mainModule::GenerarArchivoLiquidacion},
                    {QStringLiteral("v1"), Reporte::GenerarArchivoDespacho}};
        int sheets = 0;
        for (; !ddt.eof(); ddt.moveNext()) {
            const QString iddt = ddt.text(QStringLiteral("IDDT"));
            for (const auto& [name, driver] : drivers) {
                ScriptedUi& ui = ScriptedUi::current();
                ui.reset();
                ui.answerBoxes({corvelix::MsgResult::Ok});
                const QString path =
                    QDir(fixture_->folder()).filePath(iddt + QLatin1Char('_') + name + ".xls");
                ui.answerSaveDialog(path);
                driver(iddt, ddt.text(QStringLiteral("IEXT")));
                const QString what = iddt + QLatin1Char(' ') + name;
                QVERIFY2(ui.boxes.size() == 1, qPrintable(what));
                if (ui.boxes.at(0).text.startsWith(QLatin1String("El provisorio "))) {
                    // The five-sheet workbook of a declaration with nothing to list.
                    QCOMPARE(name, QStringLiteral("v1"));
                    QVERIFY(!QFile::exists(path));
                    continue;
                }
                QCOMPARE(ui.boxes.at(0).text, QStringLiteral("Se genero el archivo ") + path);
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                const auto book = parseWorkbook(file.readAll());
                QVERIFY2(book.error.isEmpty(),
                         qPrintable(what + QStringLiteral(": ") + book.error));
                QVERIFY2(!book.sheets.isEmpty(), qPrintable(what));
                for (const auto& sheet : book.sheets) {
                    ++sheets;
                    if (sheet.name == QLatin1String("Caratula"))
                        continue;
                    for (const auto& row : sheet.rows)
                        QVERIFY2(row.size() == sheet.rows.at(0).size(),
                                 qPrintable(what + QLatin1Char(' ') + sheet.name));
                }
            }
        }
        QVERIFY(sheets > 10);
    }
};

CORVELIX_TEST(tst_DemoWorkbooks)
#include "tst_DemoWorkbooks.moc"
