#include "runtime/Paths.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTest>

using namespace corvelix;

class tst_Paths : public corvelix::test::TestCase {
    Q_OBJECT

private:
    QByteArray savedHome_;
    bool hadHome_ = false;

protected:
    void cleanupTest() override {
        if (hadHome_)
            qputenv("CORVELIX_HOME", savedHome_);
        else
            qunsetenv("CORVELIX_HOME");
    }

private slots:
    void initTestCase() {
        hadHome_ = qEnvironmentVariableIsSet("CORVELIX_HOME");
        savedHome_ = qgetenv("CORVELIX_HOME");
    }

    void folders_data() {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("folder"); // empty: the platform's own folders
        QTest::newRow("unset") << QString() << QString();
        QTest::newRow("set") << "/srv/corvelix"
                             << "/srv/corvelix";
        QTest::newRow("trailing slash") << "/srv/corvelix/"
                                        << "/srv/corvelix";
        QTest::newRow("untidy path") << "/srv//corvelix/./bin/.."
                                     << "/srv/corvelix";
    }

    void folders() {
        QFETCH(QString, home);
        QFETCH(QString, folder);
        if (home.isNull())
            qunsetenv("CORVELIX_HOME");
        else
            qputenv("CORVELIX_HOME", home.toLocal8Bit());

        const QString program = folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
        const QString data =
            folder.isEmpty()
                ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                : folder;
        QCOMPARE(programFolder(), program);
        QCOMPARE(dataFolder(), data);
        QCOMPARE(localDatabasePath(), data + QStringLiteral("/db/corvelix.db"));
    }

    // An empty variable is no override: the files must not land in the current folder.
    void emptyHomeIsIgnored() {
        qputenv("CORVELIX_HOME", QByteArray());
        QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
        QCOMPARE(dataFolder(),
                 QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    }
};

CORVELIX_TEST(tst_Paths)
#include "tst_Paths.moc"
