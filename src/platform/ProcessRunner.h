#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace corvelix {

struct ProcessResult {
    bool started = false; // false: the program could not be started (nothing ran)
    bool crashed = false; // ended by a signal; exitCode is then meaningless
    int exitCode = 0;
    QString error; // the reason, when it could not be started
};

// Runs another program the way the old process calls did: a program with its arguments, a
// working folder, and a wait that keeps the windows alive.
class ProcessRunner {
public:
    // Program and arguments of a command line, split as the Windows C runtime splits them.
    // The one place where a command line is taken apart.
    static QStringList splitCommandLine(const QString& commandLine);

    // Starts `program` with `arguments` (passed as they are, no parsing) in `workingFolder`
    // (empty: the current folder). False when the program could not be started; the result
    // then tells why.
    bool start(const QString& program, const QStringList& arguments, const QString& workingFolder);
    // The same for a command line whose first token is the program.
    bool startCommandLine(const QString& commandLine, const QString& workingFolder);
    // Waits for the end, letting window events run every 100 ms. Returns the exit code.
    int waitForEnd();
    // The same wait, but each time `patienceMs` pass without the end, `keepWaiting` is asked;
    // when it answers false the program is ended and the result is false (true: it ended).
    bool waitForEnd(int patienceMs, const std::function<bool()>& keepWaiting);
    // The outcome so far (after waitForEnd: the final one).
    ProcessResult result() const;

    // start + waitForEnd.
    static ProcessResult run(const QString& program, const QStringList& arguments,
                             const QString& workingFolder);
    static ProcessResult runCommandLine(const QString& commandLine, const QString& workingFolder);

private:
    QProcess process_;
    bool started_ = false;
    QString error_;
};

} // namespace corvelix
