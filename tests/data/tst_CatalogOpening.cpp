#include "app/CatalogTroubleBoxes.h"
#include "data/CatalogTrouble.h"
#include "data/connection.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ProgramExit;
using corvelix::test::ScriptedUi;

namespace {

enum class Target { Missing, Folder, NotSqlite, Empty, OtherTables };

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

// Runs a first query on the configured catalog; the exit code when the program ended.
std::optional<int> firstQuery() {
    try {
        modDA::getRs(modDA::kCatalog, "SELECT count(*) FROM DDT");
    } catch (const ProgramExit& exit) {
        return exit.code;
    }
    return std::nullopt;
}

// A second connection of its own that holds the catalog locked.
class Locker {
public:
    explicit Locker(const QString& path) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db_.setDatabaseName(path);
        db_.open();
        QSqlQuery(db_).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~Locker() {
        release();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(kName);
    }
    void release() {
        if (db_.isOpen()) {
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
            db_.close();
        }
    }

private:
    static inline const QString kName = QStringLiteral("test_locker");
    QSqlDatabase db_;
};

} // namespace

Q_DECLARE_METATYPE(Target)

class tst_CatalogOpening : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    // As the program sets it at start.
    void initTest() override { modDA::setCatalogTroubleHandler(&showCatalogTrouble); }
    void cleanupTest() override { modDA::setCatalogTroubleHandler({}); }

private slots:
    // A catalog named by CORVELIX_KITSQL that is no catalog: one box that names the file and
    // the reason, the program ends, no profile dialog, and the file is left as it was.
    void variableNamingNoCatalog_data() {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << Target::Missing << QStringLiteral("el archivo no existe");
        QTest::newRow("folder") << Target::Folder << QStringLiteral("no es un archivo");
        QTest::newRow("not SQLite")
            << Target::NotSqlite << QStringLiteral("no es una base de datos SQLite");
        QTest::newRow("empty file")
            << Target::Empty << QStringLiteral("no tiene las tablas del catálogo (DDT, ART)");
        QTest::newRow("other tables")
            << Target::OtherTables << QStringLiteral("no tiene las tablas del catálogo (DDT, ART)");
    }

    void variableNamingNoCatalog() {
        QFETCH(Target, target);
        QFETCH(QString, reason);
        CatalogFixture world;
        const QString path = world.folder() + QStringLiteral("/otro.db");
        switch (target) {
        case Target::Missing:
            break;
        case Target::Folder:
            QVERIFY(QDir().mkpath(path));
            break;
        case Target::NotSqlite:
        case Target::Empty: {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (target == Target::NotSqlite)
                file.write(QByteArray(4096, 'x'));
            break;
        }
        case Target::OtherTables: {
            {
                QSqlDatabase db =
                    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE clientes (id INTEGER)")));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
            break;
        }
        }
        const QByteArray before = fileHash(path);
        qputenv("CORVELIX_KITSQL", path.toUtf8());
        auto& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Ok});

        QCOMPARE(firstQuery(), std::optional<int>(1));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text,
                 QStringLiteral("No se puede abrir el catálogo ") + QDir::toNativeSeparators(path) +
                     QStringLiteral(": ") + reason +
                     QStringLiteral(".\n\nEl catálogo lo indica la variable de entorno "
                                    "CORVELIX_KITSQL; corríjala o quítela."));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Critical);
        QVERIFY(seam.shownForms.isEmpty());
        QCOMPARE(fileHash(path), before);
        QCOMPARE(QFileInfo::exists(path), target != Target::Missing);
        for (const char* suffix : {"-wal", "-shm", "-journal"})
            QVERIFY(!QFileInfo::exists(path + QLatin1String(suffix)));
    }

    // The data layer itself neither shows a box nor ends the program: without the program's
    // handler the trouble comes back as an error, with what the box would have said.
    void troubleWithoutTheProgramIsAnError_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("named catalog missing") << false;
        QTest::newRow("catalog locked") << true;
    }
    void troubleWithoutTheProgramIsAnError() {
        QFETCH(bool, locked);
        CatalogFixture world;
        const QString path =
            locked ? world.catalogPath() : world.folder() + QStringLiteral("/no.db");
        qputenv("CORVELIX_KITSQL", path.toUtf8());
        modDA::setCatalogTroubleHandler({});
        modDA::setBusyWaitForTests(30);
        std::optional<Locker> locker;
        if (locked)
            locker.emplace(path);
        QString description;
        try {
            (void)firstQuery();
        } catch (const corvelix::VbError& error) {
            description = error.description;
        }
        QVERIFY2(description.contains(QDir::toNativeSeparators(path)), qPrintable(description));
        auto& seam = ScriptedUi::current();
        QVERIFY(seam.boxes.isEmpty());
        QVERIFY(seam.quits.isEmpty());
    }

    // An existing catalog keeps its journal mode; only the demo catalog starts in WAL, which
    // commits with synchronous NORMAL (1), any other mode with the engine's FULL (2).
    void journalModeIsKept_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("synchronous");
        QTest::newRow("delete") << QStringLiteral("delete") << 2;
        QTest::newRow("wal") << QStringLiteral("wal") << 1;
    }

    void journalModeIsKept() {
        QFETCH(QString, mode);
        QFETCH(int, synchronous);
        CatalogFixture world;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mode"));
            db.setDatabaseName(world.catalogPath());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=") + mode));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("mode"));
        QCOMPARE(modDA::getRs(modDA::kCatalog, "SELECT count(*) FROM DDT").field(0).toInt(), 0);
        QCOMPARE(modDA::getRs(modDA::kCatalog, "PRAGMA journal_mode").field(0).toString(), mode);
        QCOMPARE(modDA::getRs(modDA::kCatalog, "PRAGMA synchronous").field(0).toInt(), synchronous);
        QCOMPARE(QFileInfo::exists(world.catalogPath() + QStringLiteral("-wal")),
                 mode == QLatin1String("wal"));
    }

    // Locked by another program: waited for with the busy pointer, then the user may retry
    // or end.
    void lockedCatalogAsksToRetry() {
        CatalogFixture world;
        modDA::setBusyWaitForTests(30);
        Locker locker(world.catalogPath());
        auto& seam = ScriptedUi::current();
        seam.answerBoxes({MsgResult::Retry, MsgResult::Cancel});
        QCOMPARE(firstQuery(), std::optional<int>(0));
        QCOMPARE(seam.boxes.size(), 2);
        const QString text = QStringLiteral("El catálogo ") +
                             QDir::toNativeSeparators(world.catalogPath()) +
                             QStringLiteral(" está ocupado: otro programa lo tiene bloqueado.\n\n"
                                            "¿Desea reintentar?");
        for (const auto& box : seam.boxes) {
            QCOMPARE(box.text, text);
            QCOMPARE(box.buttons, MsgButtons::RetryCancel);
            QCOMPARE(box.icon, MsgIcon::Exclamation);
        }
        QVERIFY(seam.busyChanges.contains(true));
        QVERIFY(!seam.busy);
        QVERIFY(seam.shownForms.isEmpty());
    }

    void catalogFreedWhileWaitingOpens() {
        CatalogFixture world(QStringLiteral("INSERT INTO DDT (IDDT) VALUES ('26001IC04000001A');"));
        modDA::setBusyWaitForTests(60000);
        Locker locker(world.catalogPath());
        QTimer::singleShot(50, [&] { locker.release(); });
        QCOMPARE(modDA::getRs(modDA::kCatalog, "SELECT count(*) FROM DDT").field(0).toInt(), 1);
        auto& seam = ScriptedUi::current();
        QVERIFY(seam.boxes.isEmpty());
        QVERIFY(seam.processEventsCalls > 0);
        QVERIFY(!seam.busy);
    }
};

CORVELIX_TEST(tst_CatalogOpening)
#include "tst_CatalogOpening.moc"
