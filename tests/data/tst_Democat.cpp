#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

int democat(const QStringList& args) {
    QProcess tool;
    tool.start(QStringLiteral(CORVELIX_DEMOCAT), args);
    if (!tool.waitForFinished(120000))
        return -1;
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

QString scalar(const QString& path, const QString& sql) {
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dc"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                value = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dc"));
    return value;
}

} // namespace

class tst_Democat : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    // --declarations adds header rows, some of the kinds the list hides; --force replaces an
    // existing file whole, leaving nothing of the old one and no temporary file behind.
    void declarationsAndForce() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(democat({path}), 0);
        const int seed = scalar(path, QStringLiteral("SELECT count(*) FROM DDT")).toInt();
        QVERIFY(seed > 0);

        // Without --force an existing file stays as it is.
        QCOMPARE(democat({path, QStringLiteral("--declarations"), QStringLiteral("40")}), 1);
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM DDT")).toInt(), seed);

        // A leftover -wal of the old file must not be read as part of the new one.
        QFile stale(path + QStringLiteral("-wal"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray(100, 'x'));
        stale.close();
        QCOMPARE(democat({path, QStringLiteral("--force"), QStringLiteral("--declarations"),
                          QStringLiteral("40")}),
                 0);
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM DDT")).toInt(), seed + 40);
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM DDT WHERE IDDT LIKE "
                                             "'25001SIMI%' AND IEXT LIKE 'REF-%'"))
                     .toInt(),
                 5);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("demo.db")});
    }
};

CORVELIX_TEST(tst_Democat)
#include "tst_Democat.moc"
