#include "platform/ProcessRunner.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace corvelix;
using corvelix::test::ScriptedUi;

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromUtf8(f.readAll()).trimmed();
}

// The processes whose parent is this one, zombies included.
QList<int> childProcesses() {
    QList<int> children;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(entry));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("PPid:") && line.mid(5).trimmed() == self.toLatin1())
                children << entry.toInt();
    }
    std::sort(children.begin(), children.end());
    return children;
}

bool writeScript(const QString& path, const QByteArray& body) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("#!/bin/sh\n" + body);
    f.close();
    return f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class tst_ProcessRunner : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void runsInTheWorkingFolder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto r =
            ProcessRunner::runCommandLine(QStringLiteral("sh -c \"pwd > out.txt\""), dir.path());
        QVERIFY(r.started);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QDir(readText(dir.filePath(QStringLiteral("out.txt")))).canonicalPath(),
                 QDir(dir.path()).canonicalPath());
    }

    void reportsTheExitCode_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("success") << "sh -c \"exit 0\"" << 0;
        QTest::newRow("failure") << "sh -c \"exit 3\"" << 3;
    }

    void reportsTheExitCode() {
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        const auto r = ProcessRunner::runCommandLine(command, QString());
        QVERIFY(r.started);
        QVERIFY(!r.crashed);
        QCOMPARE(r.exitCode, exitCode);
    }

    void reportsACrash() {
        const auto r =
            ProcessRunner::runCommandLine(QStringLiteral("sh -c \"kill -9 $$\""), QString());
        QVERIFY(r.started);
        QVERIFY(r.crashed);
    }

    void splitsCommandLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("plain") << "prog a  b" << QStringList{"prog", "a", "b"};
        QTest::newRow("quoted program")
            << "\"/opt/my prog/run\" -x" << QStringList{"/opt/my prog/run", "-x"};
        QTest::newRow("quotes inside a token") << "a\"b c\"d" << QStringList{"ab cd"};
        QTest::newRow("empty argument") << "prog \"\" x" << QStringList{"prog", "", "x"};
        QTest::newRow("escaped quote") << "prog \\\"x" << QStringList{"prog", "\"x"};
        QTest::newRow("backslashes kept") << "prog C:\\dir\\" << QStringList{"prog", "C:\\dir\\"};
        QTest::newRow("even backslashes before quote")
            << "prog \"a\\\\\" b" << QStringList{"prog", "a\\", "b"};
        QTest::newRow("blanks only") << "   " << QStringList{};
    }

    void splitsCommandLines() {
        QFETCH(QString, line);
        QFETCH(QStringList, args);
        QCOMPARE(ProcessRunner::splitCommandLine(line), args);
    }

    void splitsArgumentsAtBlanksOutsideQuotes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("with blank"));
        QVERIFY(QDir().mkpath(folder));
        const QString script = folder + QStringLiteral("/args.sh");
        QVERIFY(writeScript(script, "for a in \"$@\"; do printf '[%s]' \"$a\"; done > out.txt\n"));
        const auto r = ProcessRunner::runCommandLine(
            QStringLiteral("\"%1\" \"two words\" plain \"\"").arg(script), dir.path());
        QVERIFY(r.started);
        QCOMPARE(readText(dir.filePath(QStringLiteral("out.txt"))),
                 QStringLiteral("[two words][plain][]"));
    }

    // Arguments given apart reach the program as they are: no blanks split, no quotes removed.
    void argumentsGoAsGiven() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto r = ProcessRunner::run(QStringLiteral("sh"),
                                          {QStringLiteral("-c"),
                                           QStringLiteral("printf '[%s]' \"$@\" > out.txt"),
                                           QStringLiteral("sh"), QStringLiteral("two words"),
                                           QStringLiteral("\"quoted\""), QString()},
                                          dir.path());
        QVERIFY(r.started);
        QCOMPARE(readText(dir.filePath(QStringLiteral("out.txt"))),
                 QStringLiteral("[two words][\"quoted\"][]"));
    }

    void windowEventsRunDuringTheWait() {
        bool fired = false;
        QTimer::singleShot(50, [&] { fired = true; });
        const auto r = ProcessRunner::runCommandLine(QStringLiteral("sleep 0.4"), QString());
        QVERIFY(r.started);
        QVERIFY(fired);
        QVERIFY(ScriptedUi::current().processEventsCalls >= 2);
    }

    void aMissingProgramIsReportedAtOnce_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such program")
            << "/nonexistent/corvelix-nothing -x" << QString()
            << QStringLiteral("el programa no existe");
        QTest::newRow("not on the path")
            << "corvelix-nothing-anywhere" << QString() << QStringLiteral("el programa no existe");
        const QString plainFile = test::sandboxFolder() + QStringLiteral("/no-ejecutable.txt");
        QFile file(plainFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("texto\n");
        QTest::newRow("not executable") << plainFile << QString()
                                        << QStringLiteral("no es un programa ejecutable");
        QTest::newRow("no such folder")
            << "sh -c \"exit 0\"" << "/nonexistent/folder"
            << QStringLiteral("la carpeta de trabajo /nonexistent/folder no existe");
        QTest::newRow("empty command") << "" << QString()
                                       << QStringLiteral("No se indico el programa a ejecutar");
    }
    // The program given apart: an empty name starts nothing either.
    void anEmptyProgramIsRefused() {
        const auto r = ProcessRunner::run(QString(), {QStringLiteral("x")}, QString());
        QVERIFY(!r.started);
        QCOMPARE(r.error, QStringLiteral("No se indico el programa a ejecutar"));
    }

    // The failure comes back without any wait, with its reason, and leaves no child behind.
    void aMissingProgramIsReportedAtOnce() {
        QFETCH(QString, command);
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        const QList<int> before = childProcesses();
        const auto r = ProcessRunner::runCommandLine(command, folder);
        QVERIFY(!r.started);
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(ScriptedUi::current().processEventsCalls, 0);
        QCOMPARE(childProcesses(), before);
    }
};

CORVELIX_TEST(tst_ProcessRunner)
#include "tst_ProcessRunner.moc"
