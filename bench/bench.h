#pragma once

#include "data/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

// Benchmarks: each case does some work through the program's code and the same work through
// the sqlite3 shell on the same file, in the same run, and prints both and their ratio.
namespace corvelix::bench {

class Run {
public:
    // A fresh demo catalog in the run's temporary folder: the seed, plus one declaration of
    // `largeItems` items (kLargeDeclaration) when asked. Returns the file's path.
    QString makeCatalog(int largeItems, const QString& name = QStringLiteral("catalog.db"));
    // A copy of a catalog (for work that changes it), with its own name.
    QString copyCatalog(const QString& path, const QString& name);
    // Points the program's catalog connection at `path` (drops the previous connection).
    void useCatalog(const QString& path);

    // Milliseconds of `work`, the best of `repeat` runs (figures beside other programs).
    double time(const std::function<void()>& work, int repeat = 3);
    // Milliseconds of `work` on a fresh copy of `path`, its connection open, done `inner` times
    // in a row inside the timing (work that gives the same result when repeated).
    double timeOnCopy(const QString& path, const std::function<void()>& work, int inner = 1);
    // Milliseconds of one run of `work`, done `inner` times in a row inside the timing.
    double timeOnce(const std::function<void()>& work, int inner = 1);
    // Milliseconds of the sqlite3 shell running `sql` on `path`, `inner` times in a row (work
    // that gives the same result when repeated), each time in one transaction: the shell is started
    // and has read the file's schema before the clock starts, and the clock stops when it reports
    // the script done, less the round trip of an empty script, so that neither its start nor
    // its timer's whole milliseconds count. Statements that change the file run on a fresh
    // copy when `onCopy` is set.
    double shellOnce(const QString& path, const QString& sql, bool onCopy = false, int inner = 1);

    // One timed run of each side; both return milliseconds.
    using Side = std::function<double()>;
    // Runs both sides alternately `rounds` times and prints "<label>: ours median (min-max),
    // sqlite3 median (min-max), ratio of the medians (goal <= G)"; a goal <= 0 is none (a
    // figure shown beside the shell's for scale). Cases over their goal are counted for the
    // closing "over goal" line.
    // `reference` names the other side where it is not the shell.
    void compare(const QString& label, const Side& ours, const Side& shell, double goal,
                 int rounds = 7, const char* reference = "sqlite3");
    // Both sides doing the work `inner` times inside one timing (reads that alone take less
    // than the shell's timer can tell apart).
    void compare(const QString& label, const std::function<void()>& ours, const QString& path,
                 const QString& sql, double goal, int inner = 1);
    // The first round of each side in a fresh process, which is what a user meets first:
    // `kFreshProcesses` runs of this program's own executable each do the untimed setup of
    // the first round registered as `name` (CORVELIX_BENCH_FIRST) and time one round of each
    // side; prints their medians as `compare` does, held to the same goal.
    void compareFirst(const QString& label, const char* name, const QString& path, double goal);

    // Runs the work registered as `name` (CORVELIX_BENCH_FRESH) alone in a fresh process of
    // this program, on `path`: its lines are printed here, and what it counts over counts here.
    void inFreshProcess(const char* name, const QString& path);

    // Resident memory of the process around `work`, as the program leaves it (nothing given
    // back to the system first): before, the peak while it runs, and what stays after. A
    // peak over `goalMb` counts as over.
    void memory(const QString& label, const std::function<void()>& work, double goalMb);

    // A printed figure of its own (memory) over its goal counts as over too.
    void noteOver(const QString& label);
    // A comparison that could not run (its program missing or failing, or a time of 0)
    // meets no goal: it counts as over, named "not measured: <label>".
    void notMeasured(const QString& label);
    QStringList overGoal() const;

    QString folder() const;
};

// A captured statement as the sqlite3 shell runs it, ended by ';': its values written where
// its placeholders stand (Null as NULL, texts quoted, numbers in machine form) and the
// catalog's GETDATE() as the shell's clock.
QString shellStatement(const QString& text, const QVariantList& params);
// The statements `work` sends, one a line as shellStatement writes them: run once under
// statement capture, reads answered from `answers` in order, every write reporting
// `writeRows` rows changed (procedures that check it go on, as they do on the catalog).
QString statementsOf(const std::function<void()>& work, const QList<modDA::Recordset>& answers = {},
                     int writeRows = 1);
// A one-row, one-column recordset (an answer for statementsOf).
modDA::Recordset one(const char* field, const QVariant& value);

using Case = std::function<void(Run&)>;
bool registerCase(const char* name, Case fn);

// The first round of a case in a fresh process: the setup, untimed, then one timed run of
// each side on the catalog at `path`; returns {ours, shell} in milliseconds.
struct FirstTimes {
    double ours = 0;
    double shell = 0;
};
using FirstRound = std::function<FirstTimes(Run&, const QString& path)>;
bool registerFirstRound(const char* name, FirstRound fn);

// Work for a fresh process of its own (memory as a process that did nothing before has it).
using FreshWork = std::function<void(Run&, const QString& path)>;
bool registerFresh(const char* name, FreshWork fn);

// How many fresh processes time a first round.
constexpr int kFreshProcesses = 5;

} // namespace corvelix::bench

#define CORVELIX_BENCH(name, fn)                                                                   \
    namespace {                                                                                    \
    [[maybe_unused]] const bool bench_##name##_registered =                                        \
        corvelix::bench::registerCase(#name, fn);                                                  \
    }
#define CORVELIX_BENCH_FIRST(name, fn)                                                             \
    namespace {                                                                                    \
    [[maybe_unused]] const bool bench_first_##name##_registered =                                  \
        corvelix::bench::registerFirstRound(#name, fn);                                            \
    }
#define CORVELIX_BENCH_FRESH(name, fn)                                                             \
    namespace {                                                                                    \
    [[maybe_unused]] const bool bench_fresh_##name##_registered =                                  \
        corvelix::bench::registerFresh(#name, fn);                                                 \
    }
