#include "data/connection.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/TestCatalog.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QTest>

#include <optional>

using corvelix::VbError;
using corvelix::test::addEngineColumn;
using corvelix::test::catalogEngines;
using corvelix::test::Engine;
using corvelix::test::engineRow;
using corvelix::test::ScriptedUi;
using corvelix::test::TestCatalog;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('26001IC04000001A', 'REF-1', 100.5);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('26001IC04000002B', NULL, 20);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('26001IC04000003C', 'REF-3', NULL);
)");

const QString kLost = QStringLiteral("Se perdió la conexión con la base de datos durante una "
                                     "transacción y sus cambios se deshicieron.");

int count(const QString& sql) {
    return modDA::getRs(modDA::kCatalog, testSql(sql)).field(0).toInt();
}

} // namespace

class tst_Statements : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    // The rows that statement changed; -1 for one that changes no rows by nature, whatever
    // the statement before it changed (every case follows an update of all three rows).
    void execSqlCountsItsOwnRows_data() {
        addEngineColumn();
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("expected");
        for (const Engine e : catalogEngines()) {
            engineRow(e, "update, all rows") << QString() << "update DDT set MDDTFLE = 2" << 3;
            engineRow(e, "update, no row")
                << QString() << "update DDT set IEXT = 'x' where IDDT = 'none'" << 0;
            engineRow(e, "delete, one row")
                << QString() << "delete from DDT where IDDT = '26001IC04000002B'" << 1;
            engineRow(e, "insert") << QString() << "insert into DDT (IDDT) values ('X1')" << 1;
            engineRow(e, "comment before the update")
                << QString() << "-- all of them\nupdate DDT set MDDTFLE = 3" << 3;
            engineRow(e, "common table expression, update")
                << QString()
                << "with s as (select IDDT from DDT where MDDTFOB > 50) "
                   "update DDT set IEXT = 'w' where IDDT in (select IDDT from s)"
                << 1;
            engineRow(e, "common table expression, select")
                << QString() << "with s as (select IDDT from DDT) select IDDT from s" << -1;
            engineRow(e, "select") << QString() << "select * from DDT" << -1;
            engineRow(e, "create") << QString() << "create table EXTRA (a int)" << -1;
            engineRow(e, "drop") << "create table EXTRA (a int)"
                                 << "drop table EXTRA" << -1;
        }
    }
    void execSqlCountsItsOwnRows() {
        QFETCH(Engine, engine);
        QFETCH(QString, setup);
        QFETCH(QString, statement);
        QFETCH(int, expected);
        TestCatalog catalog(engine, kSeed);
        if (!setup.isEmpty())
            catalog.exec(setup);
        QCOMPARE(modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFLE = 1"), 3);
        QCOMPARE(modDA::execSQL(modDA::kCatalog, testSql(statement)), expected);
        if (engine == Engine::Server)
            catalog.exec(QStringLiteral("IF OBJECT_ID(N'dbo.EXTRA', N'U') IS NOT NULL "
                                        "DROP TABLE dbo.EXTRA"));
    }

    // A transaction whose connection closed underneath it (a dropped link) is gone with it:
    // the statements after would each stand alone on the new link, so they are refused, and so
    // is its commit; nothing of it is kept. The next transaction works as usual.
    void aTransactionLostWithItsLinkRefusesTheRest_data() {
        QTest::addColumn<bool>("nested");
        QTest::addColumn<bool>("read");
        QTest::newRow("write after the loss") << false << false;
        QTest::newRow("read after the loss") << false << true;
        QTest::newRow("inside an inner transaction") << true << false;
    }
    void aTransactionLostWithItsLinkRefusesTheRest() {
        QFETCH(bool, nested);
        QFETCH(bool, read);
        TestCatalog catalog(Engine::Sqlite, kSeed);
        {
            modDA::Transaction outer;
            modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFOB = 0");
            std::optional<modDA::Transaction> inner;
            if (nested)
                inner.emplace();
            modDA::getConnection(modDA::kCatalog).close();
            try {
                if (read)
                    (void)modDA::getRs(modDA::kCatalog, "select count(*) from DDT");
                else
                    modDA::execSQL(modDA::kCatalog, "delete from DDT");
                QFAIL("a statement ran after the transaction was lost");
            } catch (const VbError& e) {
                QVERIFY2(e.description.startsWith(kLost), qPrintable(e.description));
            }
            if (inner) {
                QVERIFY_THROWS_EXCEPTION(VbError, inner->commit());
                QVERIFY_THROWS_EXCEPTION(VbError, modDA::Transaction());
            }
            try {
                outer.commit();
                QFAIL("the lost transaction was committed");
            } catch (const VbError& e) {
                QCOMPARE(e.description, kLost + QStringLiteral(" No se puede confirmar."));
            }
        }
        QCOMPARE(count(QStringLiteral("select count(*) from DDT")), 3);
        QCOMPARE(count(QStringLiteral("select count(*) from DDT where MDDTFOB = 0")), 0);
        {
            modDA::Transaction again;
            modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFOB = 0");
            again.commit();
        }
        QCOMPARE(count(QStringLiteral("select count(*) from DDT where MDDTFOB = 0")), 3);
    }

    // The local file's connection is closed on purpose for the sibling program: a
    // transaction open on it then is lost in the same way.
    void aLocalTransactionLostWithItsConnection() {
        TestCatalog catalog(Engine::Sqlite, kSeed);
        {
            modDA::Transaction transaction(modDA::kLocal);
            modDA::execSQL(modDA::kLocal, "insert into INFOADICIONAL (ID) values (?)", {"A"});
            modDA::closeLocalConnection();
            QVERIFY_THROWS_EXCEPTION(
                VbError,
                modDA::execSQL(modDA::kLocal, "insert into INFOADICIONAL (ID) values (?)", {"B"}));
            QVERIFY_THROWS_EXCEPTION(VbError, transaction.commit());
        }
        QCOMPARE(corvelix::test::recordsetRows(
                     modDA::getRs(modDA::kLocal, "select ID from INFOADICIONAL")),
                 QStringList{});
    }
};

CORVELIX_TEST(tst_Statements)
#include "tst_Statements.moc"
