#include "platform/SingleInstance.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <memory>

using corvelix::test::CatalogFixture;

namespace {

const QString kSeed = QStringLiteral(
    "INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('24010IC04000001A', 'REF 01', 10);");

// The program as a user starts it, on the test's catalog and data folder.
std::unique_ptr<QProcess> startProgram(const CatalogFixture& catalog) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), catalog.folder() + QStringLiteral("/config"));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(CORVELIX_PROGRAM), {});
    return process;
}

void stop(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace

class tst_SingleInstance : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void secondProcessEndsWhileFirstRuns() {
        CatalogFixture catalog(kSeed);
        const QString lock = corvelix::instanceLockPath();
        QVERIFY(lock.startsWith(catalog.folder()));

        auto first = startProgram(catalog);
        QVERIFY(first->waitForStarted(10000));
        const auto cleanup = qScopeGuard([&] { stop(*first); });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 15000);

        auto second = startProgram(catalog);
        QVERIFY(second->waitForStarted(10000));
        QVERIFY2(second->waitForFinished(15000), "the second instance kept running");
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        // A first instance that died leaves its lock behind; the next start takes it over.
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(QFile::exists(lock));
        auto third = startProgram(catalog);
        QVERIFY(third->waitForStarted(10000));
        const auto stopThird = qScopeGuard([&] { stop(*third); });
        QVERIFY2(!third->waitForFinished(3000), "a dead instance's lock stopped the program");
    }

    // A data folder where no lock can be made: the lock goes to the runtime folder, so a
    // second copy is still refused there; with no folder at all the program says so and runs.
    void lockWithoutAWritableDataFolder_data() {
        QTest::addColumn<bool>("runtimeFolder");
        QTest::newRow("runtime folder") << true;
        QTest::newRow("no folder at all") << false;
    }

    // Past a file-size limit (ulimit -f, a quota) a write must fail with its error, which the
    // save reports; the signal the system sends would otherwise end the program unseen.
    void fileSizeLimitSignalIgnored() {
        CatalogFixture catalog(kSeed);
        auto program = startProgram(catalog);
        QVERIFY(program->waitForStarted(10000));
        const auto cleanup = qScopeGuard([&] { stop(*program); });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(corvelix::instanceLockPath()), 15000);
        QFile status(QStringLiteral("/proc/%1/status").arg(program->processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        quint64 ignored = 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("SigIgn:"))
                ignored = line.mid(7).trimmed().toULongLong(nullptr, 16);
        QVERIFY2(ignored & (quint64(1) << (SIGXFSZ - 1)), "SIGXFSZ still ends the program");
    }

    void lockWithoutAWritableDataFolder() {
        QFETCH(bool, runtimeFolder);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Below a plain file no folder can be made, whoever runs the test.
        QFile blocker(dir.filePath(QStringLiteral("archivo")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QByteArray savedHome = qgetenv("CORVELIX_HOME");
        const auto restore = qScopeGuard([&] {
            corvelix::releaseInstanceLockForTests();
            corvelix::setRuntimeFolderForTests({});
            qputenv("CORVELIX_HOME", savedHome);
        });
        corvelix::releaseInstanceLockForTests();
        qputenv("CORVELIX_HOME", blocker.fileName().toUtf8() + "/home");
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        corvelix::setRuntimeFolderForTests(
            runtimeFolder ? runtime.path() : blocker.fileName() + QStringLiteral("/run"));

        QString problem;
        const corvelix::InstanceLock state = corvelix::takeInstanceLock(&problem);
        if (runtimeFolder) {
            QCOMPARE(state, corvelix::InstanceLock::Taken);
            QVERIFY(corvelix::fallbackInstanceLockPath().startsWith(runtime.path()));
            QLockFile second(corvelix::fallbackInstanceLockPath());
            QVERIFY(!second.tryLock(0));
            QCOMPARE(second.error(), QLockFile::LockFailedError);
            QVERIFY(problem.isEmpty());
        } else {
            QCOMPARE(state, corvelix::InstanceLock::Unavailable);
            QVERIFY2(problem.startsWith(QStringLiteral(
                         "No se puede comprobar si el programa ya está abierto")),
                     qPrintable(problem));
            QVERIFY2(problem.contains(blocker.fileName()), qPrintable(problem));
        }
    }
};

CORVELIX_TEST(tst_SingleInstance)
#include "tst_SingleInstance.moc"
