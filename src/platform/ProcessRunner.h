#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace corvelix {

struct ProcessResult {
    bool started = false; // false: the program could not be started (nothing ran)
    bool crashed = false; // ended by a signal; exitCode is then meaningless
    int exitCode = 0;
    QString error; // the reason, when it could not be started
};

// Runs another program the way the old process calls did: one command line whose first token
// is the program, a working folder, and a wait that keeps the windows alive.
class ProcessRunner {
public:
    // Program and arguments of a command line, split as the Windows C runtime splits them.
    static QStringList splitCommandLine(const QString& commandLine);

    // Starts the command in `workingFolder` (empty: the current folder). False when the
    // program could not be started; error() then tells why.
    bool start(const QString& commandLine, const QString& workingFolder);
    // Waits for the end, letting window events run every 100 ms. Returns the exit code.
    int waitForEnd();
    // The outcome so far (after waitForEnd: the final one).
    ProcessResult result() const;

    // start + waitForEnd.
    static ProcessResult run(const QString& commandLine, const QString& workingFolder);

private:
    QProcess process_;
    bool started_ = false;
    QString error_;
};

} // namespace corvelix
