#include "data/ItemList.h"
#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <functional>
#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using modDA::ItemList;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO ART (IDDT, NART) VALUES ('D1', '0000');
INSERT INTO ART (IDDT, NART) VALUES ('D1', '0001');
INSERT INTO ART (IDDT, NART) VALUES ('D1', '0002');
INSERT INTO ART (IDDT, NART) VALUES ('D1', '0003');
INSERT INTO ART (IDDT, NART) VALUES ('D2', '0001');
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
INSERT INTO ART (IDDT, NART) SELECT 'D3', substr('000' || i, -4) FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
INSERT INTO SRG (ISRG, NART, CSRG) SELECT 'D3', substr('000' || i, -4), 'ACE' FROM n;
)");

// Every item of D3 but each seventh: a choice longer than a statement may bind one by one.
QStringList longChoice() {
    QStringList numbers;
    for (int i = 1; i <= 3000; ++i)
        if (i % 7 != 0)
            numbers << QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
    return numbers;
}

QString pickerText(const QStringList& numbers) {
    return QLatin1Char('\'') + numbers.join(QStringLiteral("','")) + QLatin1Char('\'');
}

QStringList column(modDA::Recordset rs) {
    QStringList values;
    for (; !rs.eof(); rs.moveNext())
        values << rs.text(QStringLiteral("NART"));
    return values;
}

} // namespace

class tst_ItemList : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTestCase() { fixture_.reset(); }

protected:
    void initTest() override { corvelix::test::ScriptedUi::current().reset(); }
private slots:

    // Accepted lists give their numbers; refused ones raise before anything runs.
    // `expected` is "TODO", the numbers joined by '/', or "refused".
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every item") << QStringLiteral("TODO") << QStringLiteral("TODO");
        QTest::newRow("one") << QStringLiteral("'0001'") << QStringLiteral("0001");
        QTest::newRow("several") << QStringLiteral("'0001','0003','0120'")
                                 << QStringLiteral("0001/0003/0120");
        QTest::newRow("blanks around entries")
            << QStringLiteral(" '0001', '0003' ") << QStringLiteral("0001/0003");
        QTest::newRow("empty") << QString() << QStringLiteral("refused");
        QTest::newRow("lower-case todo") << QStringLiteral("todo") << QStringLiteral("refused");
        QTest::newRow("TODO among numbers")
            << QStringLiteral("TODO,'0001'") << QStringLiteral("refused");
        QTest::newRow("unquoted") << QStringLiteral("0001") << QStringLiteral("refused");
        QTest::newRow("three digits") << QStringLiteral("'001'") << QStringLiteral("refused");
        QTest::newRow("five digits") << QStringLiteral("'00001'") << QStringLiteral("refused");
        QTest::newRow("letter") << QStringLiteral("'00A1'") << QStringLiteral("refused");
        QTest::newRow("double quotes") << QStringLiteral("\"0001\"") << QStringLiteral("refused");
        QTest::newRow("trailing comma") << QStringLiteral("'0001',") << QStringLiteral("refused");
        QTest::newRow("missing comma")
            << QStringLiteral("'0001''0002'") << QStringLiteral("refused");
        QTest::newRow("injection")
            << QStringLiteral("'0001') OR (1=1") << QStringLiteral("refused");
        QTest::newRow("statement")
            << QStringLiteral("'0001');DELETE FROM ART;--") << QStringLiteral("refused");
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        try {
            const ItemList list = ItemList::parse(text);
            QCOMPARE(list.all ? QStringLiteral("TODO") : list.numbers.join(QLatin1Char('/')),
                     expected);
        } catch (const VbError& error) {
            QCOMPARE(QStringLiteral("refused"), expected);
            QCOMPARE(error.source, QStringLiteral("Corvelix.modDA.ItemList"));
            QVERIFY2(
                error.description.startsWith(QStringLiteral("La lista de ítems no es válida: \"") +
                                             text + QLatin1Char('"')),
                qPrintable(error.description));
        }
    }

    // The condition on a real table: "TODO" leaves out the declaration-level row.
    void selects_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("rows");
        QTest::newRow("every item") << QStringLiteral("TODO") << QStringLiteral("NART <> '0000'")
                                    << QStringLiteral("0001 0002 0003");
        QTest::newRow("chosen") << QStringLiteral("'0003','0001'")
                                << QStringLiteral("NART IN (?, ?)") << QStringLiteral("0001 0003");
        QTest::newRow("unknown number")
            << QStringLiteral("'0009'") << QStringLiteral("NART IN (?)") << QString();
    }
    void selects() {
        QFETCH(QString, text);
        QFETCH(QString, condition);
        QFETCH(QString, rows);
        const ItemList list = ItemList::parse(text);
        QCOMPARE(list.condition("NART").text(), condition);
        QVariantList params{QStringLiteral("D1")};
        params += list.params();
        auto rs = modDA::getRs(modDA::kCatalog,
                               "SELECT NART FROM ART WHERE IDDT = ? AND " + list.condition("NART") +
                                   " ORDER BY NART",
                               params);
        QStringList found;
        for (; !rs.eof(); rs.moveNext())
            found << rs.text(QStringLiteral("NART"));
        QCOMPARE(found.join(QLatin1Char(' ')), rows);
    }

    // A long choice finds exactly its items, and a removal over it removes exactly theirs.
    void longChoiceOnTheCatalog() {
        const QStringList numbers = longChoice();
        QVERIFY(numbers.size() > 2100);
        const ItemList list = ItemList::parse(pickerText(numbers));
        QCOMPARE(column(modDA::getRs(modDA::kCatalog,
                                     "SELECT NART FROM ART WHERE IDDT = ? AND " +
                                         list.condition("NART") + " ORDER BY NART",
                                     QVariantList{QStringLiteral("D3")} + list.params())),
                 numbers);
        QVERIFY(modDA::vaciarVentajas(QStringLiteral("D3"), pickerText(numbers)));
        QStringList left;
        for (int i = 7; i <= 3000; i += 7)
            left << QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
        QCOMPARE(
            column(modDA::getRs(modDA::kCatalog,
                                testSql("SELECT NART FROM SRG WHERE ISRG = 'D3' ORDER BY NART"))),
            left);
    }

    // A server refuses a statement of more than 2,100 parameters: no statement that takes a
    // long choice comes near it.
    void longChoiceOnTheServer_data() {
        using Action = std::function<void(const QString&)>;
        QTest::addColumn<Action>("action");
        const QString d = QStringLiteral("D3");
        QTest::newRow("vaciarInformacionAdicional")
            << Action([d](const QString& items) { modDA::vaciarInformacionAdicional(d, items); });
        QTest::newRow("resetInfoAD_ByID") << Action([d](const QString& items) {
            modDA::resetInfoAD_ByID(d, QStringLiteral("MARCA"), items);
        });
        QTest::newRow("vaciarVentajas")
            << Action([d](const QString& items) { modDA::vaciarVentajas(d, items); });
        QTest::newRow("ResetDocumento") << Action(
            [d](const QString& items) { modDA::ResetDocumento(d, QStringLiteral("LIC"), items); });
        QTest::newRow("agregarInformacionAdicional_ALLITEMS") << Action([d](const QString& items) {
            modDA::agregarInformacionAdicional_ALLITEMS(
                d, items, QStringLiteral("MARCA"), QStringLiteral("X"), QStringLiteral("D"), true);
        });
        QTest::newRow("agregarVentaja_ALLITEMS") << Action([d](const QString& items) {
            modDA::agregarVentaja_ALLITEMS(d, items, QStringLiteral("ACE"));
        });
        QTest::newRow("agregarDocumento_ALLITEMS") << Action([d](const QString& items) {
            modDA::agregarDocumento_ALLITEMS(d, items, QStringLiteral("LIC"), QStringLiteral("1"),
                                             true);
        });
        QTest::newRow("transferirFOB") << Action([d](const QString& items) {
            modDA::transferirFOB(d, items, QStringLiteral("FOB"), 1.0, QStringLiteral(","));
        });
        QTest::newRow("getSufijosParaTransferir") << Action([d](const QString& items) {
            modDA::getSufijosParaTransferir(d, items, QStringLiteral("AA"));
        });
        QTest::newRow("setCampo_ALLITEMS") << Action([d](const QString& items) {
            modDA::setCampo_ALLITEMS(d, QStringLiteral("LISTA"), QStringLiteral("L"),
                                     ItemList::parse(items), false);
        });
    }
    void longChoiceOnTheServer() {
        QFETCH(std::function<void(const QString&)>, action);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        action(pickerText(longChoice()));
        QVERIFY(!capture.statements().isEmpty());
        for (const auto& statement : capture.statements()) {
            QVERIFY2(statement.text.count(QLatin1Char('?')) <= 2000,
                     qPrintable(statement.text.left(200)));
            QCOMPARE(statement.params.size(), statement.text.count(QLatin1Char('?')));
        }
    }
};

CORVELIX_TEST(tst_ItemList)
#include "tst_ItemList.moc"
