#include "platform/SingleInstance.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QProcess>
#include <QTest>

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
};

CORVELIX_TEST(tst_SingleInstance)
#include "tst_SingleInstance.moc"
