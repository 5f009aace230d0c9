#include "platform/ProcessRunner.h"

#include "platform/ErrorReasons.h"
#include "runtime/Ui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

namespace corvelix {

namespace {
constexpr int kPollMs = 100;

// Why a program did not start, in Spanish: the commonest causes are looked at first, the
// library's code gives the rest.
QString notStartedReason(const QString& program, const QString& workingFolder,
                         QProcess::ProcessError error) {
    if (!workingFolder.isEmpty() && !QFileInfo(workingFolder).isDir())
        return QStringLiteral("la carpeta de trabajo %1 no existe")
            .arg(QDir::toNativeSeparators(workingFolder));
    if (error == QProcess::FailedToStart) {
        const bool withPath = program.contains(QLatin1Char('/'));
        const QFileInfo info(withPath ? program : QStandardPaths::findExecutable(program));
        if ((withPath && !info.exists()) || (!withPath && info.filePath().isEmpty()))
            return QStringLiteral("el programa no existe");
        if (info.isDir() || !info.isExecutable())
            return QStringLiteral("no es un programa ejecutable o no tiene permiso para "
                                  "ejecutarlo");
    }
    return processErrorReason(error);
}
} // namespace

// The rules of the Windows C runtime: blanks outside double quotes separate arguments, quotes
// group and are dropped ("" is an empty argument), 2n backslashes before a quote give n
// backslashes, 2n+1 give n and a literal quote; other backslashes are kept.
QStringList ProcessRunner::splitCommandLine(const QString& commandLine) {
    QStringList args;
    QString current;
    bool inToken = false;
    bool quoted = false;
    const qsizetype n = commandLine.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = commandLine.at(i);
        if (c == QLatin1Char('\\')) {
            qsizetype slashes = 0;
            while (i < n && commandLine.at(i) == QLatin1Char('\\')) {
                ++slashes;
                ++i;
            }
            inToken = true;
            if (i < n && commandLine.at(i) == QLatin1Char('"')) {
                current += QString(slashes / 2, QLatin1Char('\\'));
                if (slashes % 2 == 1)
                    current += QLatin1Char('"');
                else
                    quoted = !quoted;
            } else {
                current += QString(slashes, QLatin1Char('\\'));
                --i;
            }
        } else if (c == QLatin1Char('"')) {
            inToken = true;
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (inToken)
                args << current;
            current.clear();
            inToken = false;
        } else {
            inToken = true;
            current += c;
        }
    }
    if (inToken)
        args << current;
    return args;
}

bool ProcessRunner::start(const QString& program, const QStringList& arguments,
                          const QString& workingFolder) {
    started_ = false;
    error_.clear();
    if (program.isEmpty()) {
        error_ = QStringLiteral("No se indico el programa a ejecutar");
        return false;
    }
    // The program's output goes where ours goes: nobody reads it, and a full pipe would
    // stall the program forever.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    if (!workingFolder.isEmpty())
        process_.setWorkingDirectory(workingFolder);
    process_.start(program, arguments);
    if (!process_.waitForStarted(-1)) {
        error_ = notStartedReason(program, workingFolder, process_.error());
        return false;
    }
    process_.closeWriteChannel();
    started_ = true;
    return true;
}

bool ProcessRunner::startCommandLine(const QString& commandLine, const QString& workingFolder) {
    QStringList parts = splitCommandLine(commandLine);
    const QString program = parts.isEmpty() ? QString() : parts.takeFirst();
    return start(program, parts, workingFolder);
}

int ProcessRunner::waitForEnd() {
    while (started_ && process_.state() != QProcess::NotRunning) {
        ui().processEvents();
        process_.waitForFinished(kPollMs);
    }
    return result().exitCode;
}

bool ProcessRunner::waitForEnd(int patienceMs, const std::function<bool()>& keepWaiting) {
    QElapsedTimer clock;
    clock.start();
    while (started_ && process_.state() != QProcess::NotRunning) {
        ui().processEvents();
        process_.waitForFinished(kPollMs);
        if (process_.state() == QProcess::NotRunning || clock.elapsed() < patienceMs)
            continue;
        if (!keepWaiting()) {
            process_.kill();
            process_.waitForFinished(-1);
            return false;
        }
        clock.restart();
    }
    return true;
}

ProcessResult ProcessRunner::result() const {
    ProcessResult r;
    r.started = started_;
    r.error = error_;
    if (started_ && process_.state() == QProcess::NotRunning) {
        r.crashed = process_.exitStatus() == QProcess::CrashExit;
        r.exitCode = r.crashed ? -1 : process_.exitCode();
    }
    return r;
}

ProcessResult ProcessRunner::run(const QString& program, const QStringList& arguments,
                                 const QString& workingFolder) {
    ProcessRunner runner;
    if (runner.start(program, arguments, workingFolder))
        runner.waitForEnd();
    return runner.result();
}

ProcessResult ProcessRunner::runCommandLine(const QString& commandLine,
                                            const QString& workingFolder) {
    ProcessRunner runner;
    if (runner.startCommandLine(commandLine, workingFolder))
        runner.waitForEnd();
    return runner.result();
}

} // namespace corvelix
