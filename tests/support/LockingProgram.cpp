#include "support/LockingProgram.h"

#include <QStandardPaths>

namespace corvelix::test {

LockingProgram::LockingProgram(const QString& path, int commitAfterMs, const QByteArray& write) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        errors_ = QStringLiteral("the sqlite3 shell is not installed (scripts/setup-deps)");
        return;
    }
    process_.start(shell, {QStringLiteral("-batch"), QStringLiteral("-bail"), path});
    if (!process_.waitForStarted()) {
        errors_ = QStringLiteral("the sqlite3 shell did not start");
        return;
    }
    process_.write("BEGIN IMMEDIATE;\n" + write + "\nSELECT 'bloqueado';\n");
    while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
    }
    holding_ = process_.readLine().trimmed() == "bloqueado";
    if (commitAfterMs >= 0) {
        process_.write(QStringLiteral(".system sleep %1\nCOMMIT;\n")
                           .arg(commitAfterMs / 1000.0, 0, 'f', 3)
                           .toUtf8());
        // Sent now: the caller goes on to wait for the lock without an event loop.
        process_.waitForBytesWritten();
        process_.closeWriteChannel();
        inputClosed_ = true;
    }
}

LockingProgram::~LockingProgram() {
    commit();
}

QString LockingProgram::commit() {
    if (process_.state() != QProcess::NotRunning) {
        if (!inputClosed_) {
            process_.write("COMMIT;\n");
            process_.closeWriteChannel();
            inputClosed_ = true;
        }
        if (!process_.waitForFinished(30000))
            process_.kill();
        errors_ += QString::fromUtf8(process_.readAllStandardError());
    }
    return errors_;
}

} // namespace corvelix::test
