#pragma once

#include "data/Recordset.h"

#include <QString>
#include <QStringList>

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

    // Milliseconds of `work`, the best of `repeat` runs.
    double time(const std::function<void()>& work, int repeat = 3);
    // Milliseconds of the sqlite3 shell running `sql` on `path` (best of `repeat`), measured
    // inside the shell with ".timer on" so that starting the shell does not count. Statements
    // that change the file run on a fresh copy each time when `onCopy` is set.
    double shellTime(const QString& path, const QString& sql, int repeat = 3, bool onCopy = false);

    // Prints "<label>: ours X ms, sqlite3 Y ms, ratio Z (goal <= G)"; a goal <= 0 is none
    // (a figure shown beside the shell's for scale).
    void report(const QString& label, double ours, double shell, double goal);

    QString folder() const;
};

// The statements `work` sends, with their values written in, as a sqlite3 shell script: run
// once under statement capture, reads answered from `answers` in order.
QString statementsOf(const std::function<void()>& work, const QList<modDA::Recordset>& answers);
// A one-row, one-column recordset (an answer for statementsOf).
modDA::Recordset one(const char* field, const QVariant& value);

using Case = std::function<void(Run&)>;
bool registerCase(const char* name, Case fn);

} // namespace corvelix::bench

#define CORVELIX_BENCH(name, fn)                                                                   \
    namespace {                                                                                    \
    [[maybe_unused]] const bool bench_##name##_registered =                                        \
        corvelix::bench::registerCase(#name, fn);                                                  \
    }
