#include "data/ItemList.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestRegistry.h"

#include <QTest>

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
)");

} // namespace

class tst_ItemList : public QObject {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTestCase() { fixture_.reset(); }
    void init() { corvelix::test::ScriptedUi::current().reset(); }

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
};

CORVELIX_TEST(tst_ItemList)
#include "tst_ItemList.moc"
