// corvelix_bench [case ...]: runs the benchmark cases (all when none is named) and prints each
// figure beside the sqlite3 shell doing the same work on the same file.

#include "bench.h"

#include "data/connection.h"
#include "data/demo_catalog.h"
#include "data/modDA.h"
#include "platform/HeapKeeping.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <sched.h>
#include <string>

namespace corvelix::bench {

namespace {

std::map<std::string, Case>& cases() {
    static std::map<std::string, Case> all;
    return all;
}

std::map<std::string, FirstRound>& firstRounds() {
    static std::map<std::string, FirstRound> all;
    return all;
}

std::map<std::string, FreshWork>& freshWorks() {
    static std::map<std::string, FreshWork> all;
    return all;
}

QTemporaryDir& tempDir() {
    static QTemporaryDir dir;
    return dir;
}

[[noreturn]] void fail(const QString& text) {
    std::fprintf(stderr, "bench: %s\n", qPrintable(text));
    std::exit(1);
}

// No window in a benchmark: a box is a failure, shown on the terminal.
class BenchUi : public Ui {
public:
    MsgResult msgBox(const QString& text, MsgButtons, MsgIcon, const QString&,
                     MsgDefault) override {
        fail(QStringLiteral("unexpected box: ") + text);
    }
    int exec(QDialog&) override { fail(QStringLiteral("unexpected dialog")); }
    void show(QWidget&) override {}
    QString saveFileName(const FileDialogRequest&) override { return {}; }
    QString openFileName(const FileDialogRequest&) override { return {}; }
    QString clipboardText() override { return {}; }
    bool openUrl(const QUrl&) override { return false; }
    void setBusy(bool) override {}
    void processEvents() override {}
    [[noreturn]] void quit(int code) override { std::exit(code); }
};

} // namespace

QString shellStatement(const QString& text, const QVariantList& params) {
    QString out;
    qsizetype next = 0;
    for (const QChar c : text) {
        if (c != QLatin1Char('?')) {
            out += c;
            continue;
        }
        const QVariant value = params.value(next++);
        if (value.isNull())
            out += QStringLiteral("NULL");
        else if (value.typeId() == QMetaType::QString)
            out += QLatin1Char('\'') +
                   value.toString().replace(QLatin1Char('\''), QStringLiteral("''")) +
                   QLatin1Char('\'');
        else
            out += corvelix::machineNumber(value.toDouble());
    }
    // The catalog's GETDATE() is the program's own function; the shell has its clock.
    static const QRegularExpression clock(QStringLiteral("GETDATE\\(\\)"),
                                          QRegularExpression::CaseInsensitiveOption);
    out.replace(clock, QStringLiteral("datetime('now','localtime')"));
    // CODIGO is a collation the program registers on its own connections; the shell does not
    // know it. NOCASE does the same work for the catalog's ASCII codes.
    static const QRegularExpression codigo(QStringLiteral("\\bCOLLATE\\s+CODIGO\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    out.replace(codigo, QStringLiteral("COLLATE NOCASE"));
    return out + QLatin1Char(';');
}

QString statementsOf(const std::function<void()>& work, const QList<modDA::Recordset>& answers,
                     int writeRows) {
    modDA::StatementCapture capture(modDA::Dialect::Sqlite);
    capture.answerWritesWith(writeRows);
    for (const modDA::Recordset& answer : answers)
        capture.queue(answer);
    try {
        work();
    } catch (const corvelix::VbError& error) {
        // The shell would do less than the program: the comparison means nothing.
        fail(QStringLiteral("the statements stop early: ") + error.description);
    }
    QStringList script;
    for (const auto& statement : capture.statements())
        script << shellStatement(statement.text, statement.params);
    return script.join(QLatin1Char('\n'));
}

modDA::Recordset one(const char* field, const QVariant& value) {
    return {QStringList{QLatin1String(field)}, {{value}}};
}

bool registerCase(const char* name, Case fn) {
    cases()[name] = std::move(fn);
    return true;
}

bool registerFirstRound(const char* name, FirstRound fn) {
    firstRounds()[name] = std::move(fn);
    return true;
}

bool registerFresh(const char* name, FreshWork fn) {
    freshWorks()[name] = std::move(fn);
    return true;
}

QString Run::folder() const {
    return tempDir().path();
}

QString Run::makeCatalog(int largeItems, const QString& name) {
    const QString path = QDir(folder()).filePath(name);
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench_build"));
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError().text());
        try {
            modDA::buildDemoCatalog(db, largeItems);
        } catch (const VbError& error) {
            fail(error.description);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench_build"));
    return path;
}

QString Run::copyCatalog(const QString& path, const QString& name) {
    const QString copy = QDir(folder()).filePath(name);
    QFile::remove(copy);
    // A checkpointed file is whole without its -wal companion.
    QProcess checkpoint;
    checkpoint.setStandardOutputFile(QProcess::nullDevice());
    checkpoint.start(QStringLiteral("sqlite3"),
                     {path, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);")});
    checkpoint.waitForFinished(-1);
    if (!QFile::copy(path, copy))
        fail(QStringLiteral("cannot copy ") + path);
    return copy;
}

void Run::useCatalog(const QString& path) {
    modDA::resetConnectionsForTests();
    qputenv("CORVELIX_KITSQL", path.toUtf8());
}

double Run::time(const std::function<void()>& work, int repeat) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < repeat; ++i)
        best = std::min(best, timeOnce(work));
    return best;
}

double Run::timeOnCopy(const QString& path, const std::function<void()>& work, int inner) {
    // The previous copy's connection goes first, so that nothing of it (its -wal file)
    // reaches the new copy.
    modDA::resetConnectionsForTests();
    const QString copy = copyCatalog(path, QStringLiteral("ours_copy.db"));
    for (const char* suffix : {"-wal", "-shm"})
        QFile::remove(copy + QLatin1String(suffix));
    useCatalog(copy);
    (void)modDA::dialect();
    return timeOnce(work, inner);
}

double Run::timeOnce(const std::function<void()>& work, int inner) {
    QElapsedTimer timer;
    timer.start();
    try {
        for (int i = 0; i < inner; ++i)
            work();
    } catch (const VbError& error) {
        fail(error.description + QStringLiteral(" / ") + error.source);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

namespace {

// Feeds the shell `text` and waits until its standard output holds `marker`.
void feedUntil(QProcess& shell, const QByteArray& text, const QByteArray& marker,
               QByteArray& output) {
    shell.write(text);
    while (!output.contains(marker)) {
        if (shell.state() == QProcess::NotRunning)
            fail(QStringLiteral("sqlite3 stopped: ") +
                 QString::fromUtf8(output + shell.readAllStandardError()).left(400));
        shell.waitForReadyRead(1000);
        output += shell.readAllStandardOutput();
    }
}

// The journal mode and synchronous level the program's own connection commits with on the
// file at `path`, as pragmas for the shell.
QString commitPragmas(const QString& path) {
    const QString name = QStringLiteral("bench_settings");
    QString pragmas;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError().text());
        try {
            modDA::applyCommitSettings(db);
        } catch (const VbError& error) {
            fail(error.description);
        }
        QSqlQuery query(db);
        for (const char* pragma : {"journal_mode", "synchronous"}) {
            if (!query.exec(QStringLiteral("PRAGMA ") + QLatin1String(pragma)) || !query.next())
                fail(query.lastError().text());
            pragmas += QStringLiteral("PRAGMA %1=%2;\n")
                           .arg(QLatin1String(pragma), query.value(0).toString());
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return pragmas;
}

} // namespace

double Run::shellOnce(const QString& path, const QString& sql, bool onCopy, int inner) {
    const QString target = onCopy ? copyCatalog(path, QStringLiteral("shell_copy.db")) : path;
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), target});
    if (!shell.waitForStarted())
        fail(QStringLiteral("the sqlite3 shell is not installed"));
    QByteArray output;
    // Untimed: the shell started, the file opened and its schema read, committing as the
    // program's connection does on that file.
    feedUntil(shell,
              (QStringLiteral(".output /dev/null\n") + commitPragmas(target) +
               QStringLiteral("SELECT count(*) FROM sqlite_schema;\n.output stdout\n"
                              ".print bench-ready\n"))
                  .toUtf8(),
              "bench-ready", output);
    // Timed: the work as one transaction, output to nowhere (unless the script sends it
    // somewhere itself), until the shell prints that it is done.
    // Each repetition is one transaction, as each run of the program's work is.
    const QString script = sql.trimmed();
    const bool ownTransaction = script.startsWith(QLatin1String("BEGIN;"));
    QString repeated;
    for (int i = 0; i < inner; ++i)
        repeated += ownTransaction
                        ? script + QLatin1Char('\n')
                        : QStringLiteral("BEGIN;\n") + script + QStringLiteral("\nCOMMIT;\n");
    const QByteArray work = (QStringLiteral(".output /dev/null\n") + repeated +
                             QStringLiteral(".output stdout\n.print bench-done\n"))
                                .toUtf8();
    // The round trip of a script that does nothing, the least of three, is taken off.
    double idle = std::numeric_limits<double>::max();
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray marker = "bench-idle-" + QByteArray::number(i);
        feedUntil(shell, ".output /dev/null\n.output stdout\n.print " + marker + "\n", marker,
                  output);
        idle = std::min(idle, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    QElapsedTimer timer;
    timer.start();
    feedUntil(shell, work, "bench-done", output);
    const double ms = std::max(0.0, static_cast<double>(timer.nsecsElapsed()) / 1e6 - idle);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const QByteArray errors = shell.readAllStandardError();
    if (!errors.trimmed().isEmpty())
        fail(QStringLiteral("sqlite3: ") + QString::fromUtf8(errors).left(400));
    return ms;
}

namespace {

struct Figures {
    double median;
    double min;
    double max;
};

Figures figuresOf(QList<double> times) {
    std::sort(times.begin(), times.end());
    const qsizetype n = times.size();
    const double median = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return {median, times.front(), times.back()};
}

QStringList& overList() {
    static QStringList over;
    return over;
}

} // namespace

namespace {

// One line of figures: "<label>: ours median (min-max), <reference> median (min-max), ratio
// of the medians (goal)". A reference median of 0 is no measure, not a ratio of 0.
void report(const QString& label, const QList<double>& oursTimes, const QList<double>& shellTimes,
            double goal, const char* indent = "", const char* reference = "sqlite3") {
    const Figures o = figuresOf(oursTimes);
    const Figures s = figuresOf(shellTimes);
    const QString goalText = goal <= 0 ? QStringLiteral("(no goal)")
                                       : QStringLiteral("(goal <= %1)").arg(goal, 0, 'f', 1);
    if (s.median <= 0) {
        std::printf("%s%-*s ours %8.2f ms (%.2f-%.2f)  %s %8.2f ms: NOT MEASURED\n", indent,
                    50 - int(qstrlen(indent)), qPrintable(label), o.median, o.min, o.max, reference,
                    s.median);
        overList() << QStringLiteral("not measured: ") + label;
        std::fflush(stdout);
        return;
    }
    const double ratio = o.median / s.median;
    const bool over = goal > 0 && ratio > goal;
    if (over)
        overList() << label;
    std::printf("%s%-*s ours %8.2f ms (%.2f-%.2f)  %s %8.2f ms (%.2f-%.2f)  ratio %5.2f "
                "%s%s\n",
                indent, 50 - int(qstrlen(indent)), qPrintable(label), o.median, o.min, o.max,
                reference, s.median, s.min, s.max, ratio, qPrintable(goalText),
                over ? "  OVER" : "");
    std::fflush(stdout);
}

// MB of one line of /proc/self/status ("VmRSS:", "VmHWM:"), which counts in kB.
double statusMb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

} // namespace

void Run::compare(const QString& label, const Side& ours, const Side& shell, double goal,
                  int rounds, const char* reference) {
    QList<double> oursTimes;
    QList<double> shellTimes;
    for (int i = 0; i < rounds; ++i) {
        oursTimes << ours();
        shellTimes << shell();
    }
    report(label, oursTimes, shellTimes, goal, "", reference);
}

void Run::compareFirst(const QString& label, const char* name, const QString& path, double goal) {
    const QString shown =
        QStringLiteral("%1 first round (%2 fresh processes)").arg(label).arg(kFreshProcesses);
    QList<double> oursTimes;
    QList<double> shellTimes;
    for (int i = 0; i < kFreshProcesses; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--first"), QLatin1String(name), path});
        child.waitForFinished(-1);
        // The last line it prints: "first <ours ms> <shell ms>".
        const QList<QByteArray> words =
            child.readAllStandardOutput().trimmed().split('\n').last().split(' ');
        bool oursOk = false;
        bool shellOk = false;
        const double oursMs = words.value(1).toDouble(&oursOk);
        const double shellMs = words.value(2).toDouble(&shellOk);
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 ||
            words.value(0) != "first" || !oursOk || !shellOk) {
            std::printf("  %-48s NOT MEASURED: %s\n", qPrintable(shown),
                        qPrintable(QString::fromUtf8(child.readAllStandardError()).trimmed()));
            std::fflush(stdout);
            notMeasured(shown);
            return;
        }
        oursTimes << oursMs;
        shellTimes << shellMs;
    }
    report(shown, oursTimes, shellTimes, goal, "  ");
}

void Run::inFreshProcess(const char* name, const QString& path) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--fresh"), QLatin1String(name), path});
    child.waitForFinished(-1);
    // Its figures as it printed them; "over: LABEL" lines are what it counted over.
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("over: "))
            overList() << QString::fromUtf8(line.mid(6));
        else if (!line.isEmpty())
            std::printf("%s\n", line.constData());
    }
    std::fflush(stdout);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::printf("%-50s NOT MEASURED: %s\n", name,
                    qPrintable(QString::fromUtf8(child.readAllStandardError()).trimmed()));
        notMeasured(QLatin1String(name));
    }
}

void Run::memory(const QString& label, const std::function<void()>& work, double goalMb) {
    // The peak from here on: the high-water mark goes back to what is resident now.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const double before = statusMb("VmRSS:");
    try {
        work();
    } catch (const VbError& error) {
        fail(error.description + QStringLiteral(" / ") + error.source);
    }
    const double peak = statusMb("VmHWM:");
    const double after = statusMb("VmRSS:");
    const bool over = peak > goalMb;
    std::printf("%-50s resident %.1f MB before, peak %.1f MB, %.1f MB after  (goal: peak <= "
                "%.0f MB)%s\n",
                qPrintable(label), before, peak, after, goalMb, over ? "  OVER" : "");
    std::fflush(stdout);
    if (over)
        noteOver(label);
}

void Run::compare(const QString& label, const std::function<void()>& ours, const QString& path,
                  const QString& sql, double goal, int inner) {
    compare(
        label, [&] { return timeOnce(ours, inner); },
        [&] { return shellOnce(path, sql, false, inner); }, goal);
}

void Run::noteOver(const QString& label) {
    overList() << label;
}

void Run::notMeasured(const QString& label) {
    overList() << QStringLiteral("not measured: ") + label;
}

QStringList Run::overGoal() const {
    return overList();
}

} // namespace corvelix::bench

namespace {

// Keeps the run, and the programs it starts (the sqlite3 shell among them), on the processor
// it began on. On a virtual machine one processor can run far slower than the others while
// a neighbour is busy: left free, the program stayed on one processor for the whole run and
// each shell started on any, so a run's ratios came out a half higher or not at all.
void stayOnOneProcessor() {
    const int cpu = sched_getcpu();
    if (cpu < 0)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    if (sched_setaffinity(0, sizeof set, &set) == 0)
        std::printf("bench: on processor %d, with every program it starts\n", cpu);
}

} // namespace

// corvelix_bench --first NAME PATH: one first round in this fresh process; prints
// "first <ours ms> <shell ms>".
int firstRound(const QString& name, const QString& path) {
    const auto& all = corvelix::bench::firstRounds();
    const auto it = all.find(name.toStdString());
    if (it == all.end())
        corvelix::bench::fail(QStringLiteral("no first round named ") + name);
    corvelix::bench::Run run;
    const corvelix::bench::FirstTimes times = it->second(run, path);
    std::printf("first %.3f %.3f\n", times.ours, times.shell);
    return 0;
}

// corvelix_bench --fresh NAME PATH: the work alone in this fresh process; prints its figures,
// then "over: LABEL" for each it counted over.
int freshWork(const QString& name, const QString& path) {
    const auto& all = corvelix::bench::freshWorks();
    const auto it = all.find(name.toStdString());
    if (it == all.end())
        corvelix::bench::fail(QStringLiteral("no work named ") + name);
    corvelix::bench::Run run;
    it->second(run, path);
    for (const QString& label : run.overGoal())
        std::printf("over: %s\n", qPrintable(label));
    return 0;
}

int main(int argc, char** argv) {
    const bool first = argc == 4 && qstrcmp(argv[1], "--first") == 0;
    const bool fresh = argc == 4 && qstrcmp(argv[1], "--fresh") == 0;
    // A fresh process stays where its parent put it.
    if (!first && !fresh)
        stayOnOneProcessor();
    // The program's own heap settings: the figures are those of the program as it runs.
    corvelix::keepFreedHeap();
    // Cases that fill forms need widgets, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    corvelix::bench::BenchUi seam;
    corvelix::setUi(&seam);
    if (!corvelix::bench::tempDir().isValid())
        corvelix::bench::fail(QStringLiteral("no temporary folder"));
    qputenv("CORVELIX_HOME", corvelix::bench::tempDir().filePath(QStringLiteral("home")).toUtf8());
    if (first)
        return firstRound(app.arguments().at(2), app.arguments().at(3));
    if (fresh)
        return freshWork(app.arguments().at(2), app.arguments().at(3));
    const QStringList wanted = app.arguments().mid(1);
    corvelix::bench::Run run;
    for (const auto& [name, fn] : corvelix::bench::cases()) {
        if (!wanted.isEmpty() && !wanted.contains(QString::fromStdString(name)))
            continue;
        fn(run);
    }
    const QStringList over = run.overGoal();
    std::printf("over goal: %lld%s\n", static_cast<long long>(over.size()),
                over.isEmpty() ? ""
                               : qPrintable(QStringLiteral(" (") + over.join(QStringLiteral("; ")) +
                                            QLatin1Char(')')));
    return 0;
}
