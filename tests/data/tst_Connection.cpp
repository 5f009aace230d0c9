#include "data/ItemList.h"
#include "data/connection.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Paths.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/LockingProgram.h"
#include "support/QueryRows.h"
#include "support/ScriptedUi.h"
#include "support/SmallDisk.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::LockingProgram;
using corvelix::test::ScriptedUi;
using corvelix::test::SmallDisk;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('26001IC04000001A', 'REF-1', 100.5);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('26001IC04000002B', NULL, 20);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('26001IC04000003C', 'REF-3', NULL);
)");

int countRows(const QString& sql, const QVariantList& params = {}) {
    auto rs = modDA::getRs(modDA::kCatalog, testSql(sql), params);
    return rs.field(0).toInt();
}

} // namespace

class tst_Connection : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(kSeed); }
    void cleanupTest() override { fixture_.reset(); }

private slots:
    void readsBindValuesInsteadOfPastingThem_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("match") << QVariant(QStringLiteral("REF-1")) << 1;
        QTest::newRow("quote stays a quote") << QVariant(QStringLiteral("REF-1' OR '1'='1")) << 0;
        QTest::newRow("no row") << QVariant(QStringLiteral("REF-9")) << 0;
    }
    void readsBindValuesInsteadOfPastingThem() {
        QFETCH(QVariant, value);
        QFETCH(int, expected);
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where IEXT = ?"), {value}),
                 expected);
    }

    void emptyTextBindsAsEmptyAndNullAsNull_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("storedNull");
        QTest::newRow("null QString") << QVariant(QString()) << false;
        QTest::newRow("empty QString") << QVariant(QStringLiteral("")) << false;
        QTest::newRow("QVariant()") << QVariant() << true;
    }
    void emptyTextBindsAsEmptyAndNullAsNull() {
        QFETCH(QVariant, value);
        QFETCH(bool, storedNull);
        QCOMPARE(modDA::execSQL(modDA::kCatalog, "update DDT set IEXT = ? where IDDT = ?",
                                {value, "26001IC04000001A"}),
                 1);
        auto rs = modDA::getRs(modDA::kCatalog, "select IEXT from DDT where IDDT = ?",
                               {"26001IC04000001A"});
        QCOMPARE(rs.isNull(QStringLiteral("IEXT")), storedNull);
        QCOMPARE(rs.text(QStringLiteral("IEXT")), QString());
    }

    void execSqlCountsRowsAffected() {
        QCOMPARE(
            modDA::execSQL(modDA::kCatalog, "update DDT set IEXT = 'x' where IDDT = ?", {"none"}),
            0);
        QCOMPARE(modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFLE = 1"), 3);
    }

    // One statement over many rows of values: each row bound as execSQL binds it, its own
    // count of rows changed.
    void execSqlEachBindsEveryTypeAsExecSqlDoes_data() {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text") << QVariant(QStringLiteral("Año ñandú"));
        QTest::newRow("null QString") << QVariant(QString());
        QTest::newRow("QVariant()") << QVariant();
        QTest::newRow("int") << QVariant(7);
        QTest::newRow("long long") << QVariant(qlonglong(1) << 40);
        QTest::newRow("double") << QVariant(12.5);
        QTest::newRow("bool") << QVariant(true);
        QTest::newRow("date, left to the driver") << QVariant(QDate(2026, 1, 2));
    }
    void execSqlEachBindsEveryTypeAsExecSqlDoes() {
        QFETCH(QVariant, value);
        for (const char* column : {"IEXT", "MDDTFOB"}) {
            const modDA::Sql update = modDA::Sql("update DDT set ") +
                                      modDA::Sql::identifier(QLatin1String(column)) +
                                      " = ? where IDDT = ?";
            QCOMPARE(modDA::execSQL(modDA::kCatalog, update, {value, "26001IC04000001A"}), 1);
            const QList<int> counts = modDA::execSQLEach(
                modDA::kCatalog, update,
                {{value, "26001IC04000002B"}, {value, "none"}, {value, "26001IC04000003C"}});
            QCOMPARE(counts, QList<int>({1, 0, 1}));
            const QString read = QStringLiteral("select typeof(%1) || ':' || ifnull(%1, 'NULL') "
                                                "from DDT order by IDDT")
                                     .arg(QLatin1String(column));
            const QStringList stored =
                corvelix::test::recordsetRows(modDA::getRs(modDA::kCatalog, testSql(read)));
            QCOMPARE(stored.size(), 3);
            QCOMPARE(stored.at(1), stored.at(0));
            QCOMPARE(stored.at(2), stored.at(0));
        }
    }

    // A row with a value left to the driver still writes a null QString as the empty text.
    void execSqlEachRowThroughTheDriverKeepsEmptyText() {
        QCOMPARE(modDA::execSQLEach(modDA::kCatalog,
                                    "update DDT set IEXT = ? where IDDT = ? and ? is not null",
                                    {{QString(), "26001IC04000001A", QDate(2026, 1, 2)}}),
                 QList<int>({1}));
        const auto rs = modDA::getRs(modDA::kCatalog, "select IEXT from DDT where IDDT = ?",
                                     {"26001IC04000001A"});
        QVERIFY(!rs.isNull(QStringLiteral("IEXT")));
    }

    // A row the engine refuses stops the run with the engine's text; the rows before it stay
    // for the caller's transaction to keep or undo, and the connection stays usable.
    void execSqlEachStopsAtTheRefusedRow() {
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral(
                           "CREATE TRIGGER refuse BEFORE UPDATE OF IEXT ON DDT WHEN NEW.IEXT = "
                           "'NO' BEGIN SELECT RAISE(ABORT, 'rechazado por la prueba'); END")));
        try {
            modDA::Transaction transaction;
            (void)modDA::execSQLEach(modDA::kCatalog, "update DDT set IEXT = ? where IDDT = ?",
                                     {{"SI", "26001IC04000001A"},
                                      {"NO", "26001IC04000002B"},
                                      {"SI", "26001IC04000003C"}});
            transaction.commit();
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.source, QStringLiteral("Corvelix.modDA.execSQL (20)::QSQLITE"));
            QVERIFY2(e.description.startsWith(QStringLiteral("rechazado por la prueba")),
                     qPrintable(e.description));
        }
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where IEXT = 'SI'")), 0);
        QCOMPARE(modDA::execSQLEach(modDA::kCatalog, "update DDT set IEXT = ? where IDDT = ?",
                                    {{"SI", "26001IC04000003C"}}),
                 QList<int>({1}));
    }

    // The item deletion keeps its statements prepared between calls; a connection closed or
    // replaced in between gets them prepared again.
    void keptStatementsSurviveReconnecting() {
        const auto addItem = [](const QString& nart) {
            modDA::execSQL(modDA::kCatalog, "insert into ART (IDDT, NART) values (?, ?)",
                           {"26001IC04000001A", nart});
        };
        const auto items = [] { return countRows(QStringLiteral("select count(*) from ART")); };
        for (const char* nart : {"0001", "0002", "0003"})
            addItem(QLatin1String(nart));
        modDA::runProcedure(QStringLiteral("sp_delete_ART"), {"0001", "26001IC04000001A"});
        QCOMPARE(items(), 2);
        modDA::getConnection(modDA::kCatalog).close();
        modDA::runProcedure(QStringLiteral("sp_delete_ART"), {"0002", "26001IC04000001A"});
        QCOMPARE(items(), 1);
        fixture_.reset();
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
        addItem(QStringLiteral("0004"));
        modDA::runProcedure(QStringLiteral("sp_delete_ART"), {"0004", "26001IC04000001A"});
        QCOMPARE(items(), 0);
    }

    // The old count was 16 bits wide: 40000 rows came back negative.
    void execSqlCountsBeyondSixteenBits() {
        const QString insert = QStringLiteral(
            "insert into ART (IDDT, NART) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 40000) "
            "select '26001IC04000001A', substr('0000' || i, -5) from n");
        QCOMPARE(modDA::execSQL(modDA::kCatalog, testSql(insert)), 40000);
        QCOMPARE(modDA::execSQL(modDA::kCatalog, "update ART set MARTFOB = 1"), 40000);
    }

    void failuresCarryTheDriverTextAndTheLocation_data() {
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("descriptionEnd");
        QTest::newRow("getRs") << true << QStringLiteral("Corvelix.modDA.getRs.::QSQLITE")
                               << QStringLiteral(" linea 30");
        QTest::newRow("execSQL") << false << QStringLiteral("Corvelix.modDA.execSQL (20)::QSQLITE")
                                 << QString();
    }
    void failuresCarryTheDriverTextAndTheLocation() {
        QFETCH(bool, read);
        QFETCH(QString, source);
        QFETCH(QString, descriptionEnd);
        const QString sql = QStringLiteral("select * from NOSUCHTABLE");
        try {
            if (read)
                modDA::getRs(modDA::kCatalog, testSql(sql));
            else
                modDA::execSQL(modDA::kCatalog, testSql(sql));
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, corvelix::kErrChained);
            QCOMPARE(e.source, source);
            QVERIFY2(e.description.startsWith(
                         QStringLiteral("falta la tabla NOSUCHTABLE en el catálogo")),
                     qPrintable(e.description));
            QVERIFY(e.description.endsWith(descriptionEnd));
        }
        // The connection stays usable.
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT")), 3);
    }

    void closedConnectionsOpenAgainOnNextUse() {
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT")), 3);
        modDA::getConnection(modDA::kCatalog).close();
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT")), 3);

        modDA::execSQL(modDA::kLocal, "insert into INFOADICIONAL (ID) values (?)", {"A"});
        modDA::closeLocalConnection();
        auto rs = modDA::getRs(modDA::kLocal, "select ID from INFOADICIONAL");
        QCOMPARE(rs.text(QStringLiteral("id")), QStringLiteral("A"));
    }

    void localFileIsCreatedWithItsSchema() {
        QVERIFY(!QFile::exists(corvelix::localDatabasePath()));
        auto rs = modDA::getRs(modDA::kLocal, "select count(*) from SIMIGlobalItem");
        QCOMPARE(rs.field(0).toInt(), 0);
        QVERIFY(QFileInfo(corvelix::localDatabasePath()).isFile());
        QCOMPARE(modDA::dialect(modDA::kLocal), modDA::Dialect::Sqlite);
    }

    // Another program (the sibling program, say) holds the local database's write lock: the
    // failure names the local database, not the catalog.
    void localDatabaseHeldByAnotherProgram() {
        modDA::setLockWaitForTests(200);
        (void)modDA::getRs(modDA::kLocal, "select count(*) from INFOADICIONAL");
        LockingProgram other(corvelix::localDatabasePath(), -1,
                             "INSERT INTO INFOADICIONAL (ID) VALUES ('otro');");
        QVERIFY(other.holding());
        try {
            modDA::execSQL(modDA::kLocal, "insert into INFOADICIONAL (ID) values (?)", {"A"});
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description, QStringLiteral("otro programa está usando la base de datos "
                                                   "local; intente de nuevo en unos momentos"));
        }
        QCOMPARE(other.commit(), QString());
    }

    void localFileThatCannotBeOpenedIsAConnectionError() {
        // A file where the db folder should be.
        QFile blocker(fixture_->folder() + QStringLiteral("/home/db"));
        QVERIFY(QDir().mkpath(fixture_->folder() + QStringLiteral("/home")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            modDA::getRs(modDA::kLocal, "select 1");
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(
                e.description,
                QStringLiteral("Error de conexión, Comuníquese con soporte técnico.  linea 10"));
            QVERIFY2(e.source.startsWith(QStringLiteral(
                         "Corvelix.modDA.getRs.::Corvelix.modDA.getConnection (0)::")),
                     qPrintable(e.source));
        }
        QVERIFY(ScriptedUi::current().shownForms.isEmpty());
    }

    // The engine of the open connection decides the dialect, not the setting read later.
    void dialectFollowsTheOpenConnection() {
        QCOMPARE(modDA::dialect(modDA::kCatalog), modDA::Dialect::Sqlite);
        qputenv("CORVELIX_KITSQL", "DRIVER={FreeTDS};SERVER=h;DATABASE=KitSQL;");
        QCOMPARE(modDA::dialect(modDA::kCatalog), modDA::Dialect::Sqlite);
        qputenv("CORVELIX_KITSQL", fixture_->catalogPath().toUtf8());
    }

    void transactionRolledBackOnFailureLeavesTheCatalogUnchanged() {
        try {
            modDA::Transaction tx;
            modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFOB = 0");
            modDA::execSQL(modDA::kCatalog, "delete from DDT where IDDT = ?", {"26001IC04000002B"});
            modDA::execSQL(modDA::kCatalog, "update NOSUCHTABLE set x = 1");
            tx.commit();
            QFAIL("no error");
        } catch (const VbError&) {
        }
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT")), 3);
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where MDDTFOB = 0")), 0);
    }

    // Another program holds the catalog's write lock. A transaction that reads before it
    // writes waits for the lock, painting the windows meanwhile, and then writes; held past
    // the wait, it fails with nothing written.
    void writeTransactionWaitsForAnotherProgram_data() {
        QTest::addColumn<int>("otherCommitsAfterMs");
        QTest::addColumn<bool>("written");
        QTest::newRow("released within the wait") << 500 << true;
        QTest::newRow("held past the wait") << -1 << false;
    }
    void writeTransactionWaitsForAnotherProgram() {
        QFETCH(int, otherCommitsAfterMs);
        QFETCH(bool, written);
        ScriptedUi& seam = ScriptedUi::current();
        seam.reset();
        modDA::setLockWaitForTests(2500);
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT")), 3);
        LockingProgram other(fixture_->catalogPath(), otherCommitsAfterMs);
        QVERIFY(other.holding());
        bool failed = false;
        try {
            modDA::Transaction tx;
            const int large =
                countRows(QStringLiteral("select count(*) from DDT where MDDTFOB > 50"));
            modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFOB = ? where IDDT = ?",
                           {large, "26001IC04000002B"});
            tx.commit();
        } catch (const VbError&) {
            failed = true;
        }
        QCOMPARE(failed, !written);
        QVERIFY(seam.repaintCalls > 0);
        QCOMPARE(other.commit(), QString());
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where IEXT = 'otro programa'")),
                 1);
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where MDDTFOB = 1")),
                 written ? 1 : 0);
    }

    void committedTransactionKeepsItsWrites() {
        {
            modDA::Transaction tx;
            modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFOB = 0");
            tx.commit();
        }
        // A fresh connection sees the rows as written.
        modDA::resetConnectionsForTests();
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where MDDTFOB = 0")), 3);
    }

    // A WAL catalog on a disk with little room left: the writes of ORIGEN on every item go
    // through, and the disk fills only at COMMIT. The engine's own code names it.
    void fullDiskAtCommit() {
        const QString folder = fixture_->folder() + QStringLiteral("/disco");
        QVERIFY(QDir().mkdir(folder));
        modDA::resetConnectionsForTests();
        const SmallDisk disk(folder, 8 * 1024 * 1024);
        if (!disk.mounted())
            QSKIP("a small disk of its own needs a private mount namespace (root)");
        const QString path = folder + QStringLiteral("/kitsql.db");
        QVERIFY(QFile::copy(fixture_->catalogPath(), path));
        const QByteArray saved = qgetenv("CORVELIX_KITSQL");
        qputenv("CORVELIX_KITSQL", path.toUtf8());
        const auto restore = qScopeGuard([&] {
            modDA::resetConnectionsForTests();
            qputenv("CORVELIX_KITSQL", saved);
        });
        (void)modDA::getRs(modDA::kCatalog, testSql(QStringLiteral("PRAGMA journal_mode=WAL")));
        modDA::resetConnectionsForTests();
        modDA::execSQL(modDA::kCatalog,
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 3000) INSERT INTO ART (IDDT, NART, NARTEXT) SELECT "
                       "'26001IC04000001A', substr('000' || i, -4), substr('000' || i, -4) "
                       "FROM n");
        modDA::execSQL(modDA::kCatalog, testSql(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
        // Fill the disk, then give back a little: less than the change needs.
        QFile relleno(folder + QStringLiteral("/relleno"));
        QVERIFY(relleno.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray bloque(64 * 1024, 'x');
        while (relleno.write(bloque) > 0) {
        }
        relleno.close();
        QVERIFY(relleno.resize(std::max<qint64>(relleno.size() - 32 * 1024, 0)));

        try {
            modDA::setCampo_ALLITEMS(QStringLiteral("26001IC04000001A"),
                                     QStringLiteral("CARTPAYORI"), QStringLiteral("203"),
                                     modDA::ItemList::parse(QStringLiteral("TODO")), false);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description,
                     QStringLiteral("disco lleno: no hay lugar para guardar los cambios del "
                                    "catálogo"));
        }
        QVERIFY(relleno.remove());
        QCOMPARE(countRows(QStringLiteral("select count(*) from ART where CARTPAYORI = '203'")), 0);
        QCOMPARE(countRows(QStringLiteral("select count(*) from ART")), 3000);
    }

    void nestedTransactionUndoesOnlyItsOwnPart() {
        {
            modDA::Transaction outer;
            modDA::execSQL(modDA::kCatalog, "update DDT set IEXT = 'outer'");
            {
                modDA::Transaction inner;
                modDA::execSQL(modDA::kCatalog, "delete from DDT");
            }
            {
                modDA::Transaction inner;
                modDA::execSQL(modDA::kCatalog, "update DDT set MDDTFLE = 7");
                inner.commit();
            }
            outer.commit();
        }
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT where IEXT = 'outer' and "
                                          "MDDTFLE = 7")),
                 3);

        // The inner part's commit does not survive the outer one's rollback.
        {
            modDA::Transaction outer;
            modDA::Transaction inner;
            modDA::execSQL(modDA::kCatalog, "delete from DDT");
            inner.commit();
        }
        QCOMPARE(countRows(QStringLiteral("select count(*) from DDT")), 3);
    }

    void committingAroundAnOpenInnerTransactionIsRefused() {
        modDA::Transaction outer;
        modDA::Transaction inner;
        QVERIFY_THROWS_EXCEPTION(VbError, outer.commit());
    }

    void getdateAnswersThePinnedClock() {
        auto rs = modDA::getRs(modDA::kCatalog, "select GETDATE() as now, "
                                                "strftime('%Y%m%d', getdate()) as ymd");
        QCOMPARE(rs.text(QStringLiteral("now")), QStringLiteral("2026-12-10 10:00:00"));
        QCOMPARE(rs.text(QStringLiteral("ymd")), QStringLiteral("20261210"));
        modDA::setClock([] { return QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5)); });
        rs = modDA::getRs(modDA::kCatalog, "select getdate()");
        QCOMPARE(rs.field(0).toString(), QStringLiteral("2027-01-02 03:04:05"));
    }

    void charindexIgnoresLetterCase_data() {
        QTest::addColumn<QVariant>("needle");
        QTest::addColumn<QVariant>("haystack");
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QVariant>("expected");
        const QVariant none;
        QTest::newRow("found") << QVariant("SIMI") << QVariant("26001SIMI000001A") << none
                               << QVariant(6);
        QTest::newRow("other case")
            << QVariant("simi") << QVariant("26001SiMi000001A") << none << QVariant(6);
        QTest::newRow("absent") << QVariant("SIRA") << QVariant("26001SIMI000001A") << none
                                << QVariant(0);
        QTest::newRow("start past first")
            << QVariant("a") << QVariant("abca") << QVariant(2) << QVariant(4);
        QTest::newRow("start past end")
            << QVariant("a") << QVariant("abca") << QVariant(9) << QVariant(0);
        QTest::newRow("start below one")
            << QVariant("a") << QVariant("abca") << QVariant(0) << QVariant(1);
        QTest::newRow("empty needle") << QVariant("") << QVariant("abc") << none << QVariant(0);
        QTest::newRow("accented") << QVariant("ÑO") << QVariant("año") << none << QVariant(2);
        QTest::newRow("null haystack") << QVariant("a") << none << none << none;
        QTest::newRow("null needle") << none << QVariant("a") << none << none;
    }
    void charindexIgnoresLetterCase() {
        QFETCH(QVariant, needle);
        QFETCH(QVariant, haystack);
        QFETCH(QVariant, start);
        QFETCH(QVariant, expected);
        const bool withStart = start.isValid();
        auto rs = modDA::getRs(modDA::kCatalog,
                               withStart ? modDA::Sql("select CHARINDEX(?, ?, ?)")
                                         : modDA::Sql("select CHARINDEX(?, ?)"),
                               withStart ? QVariantList{needle, haystack, start}
                                         : QVariantList{needle, haystack});
        QCOMPARE(rs.field(0).isNull(), expected.isNull());
        if (!expected.isNull())
            QCOMPARE(rs.field(0).toInt(), expected.toInt());
    }
};

CORVELIX_TEST(tst_Connection)
#include "tst_Connection.moc"
