// corvelix_bench [case ...]: runs the benchmark cases (all when none is named) and prints each
// figure beside the sqlite3 shell doing the same work on the same file.

#include "bench.h"

#include "data/connection.h"
#include "data/demo_catalog.h"
#include "data/modDA.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <string>

namespace corvelix::bench {

namespace {

std::map<std::string, Case>& cases() {
    static std::map<std::string, Case> all;
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

// The statements a procedure sends, with their values written in, as a shell script: run
// once under statement capture, reads answered from `answers` in order.
QString statementsOf(const std::function<void()>& work, const QList<modDA::Recordset>& answers) {
    modDA::StatementCapture capture(modDA::Dialect::Sqlite);
    for (const modDA::Recordset& answer : answers)
        capture.queue(answer);
    try {
        work();
    } catch (const corvelix::VbError&) {
        // Writes report no rows under capture: a procedure that checks them stops there.
    }
    QStringList script;
    for (const auto& statement : capture.statements()) {
        QString text;
        qsizetype next = 0;
        for (const QChar c : statement.text) {
            if (c != QLatin1Char('?')) {
                text += c;
                continue;
            }
            const QVariant value = statement.params.value(next++);
            if (value.isNull())
                text += QStringLiteral("NULL");
            else if (value.typeId() == QMetaType::QString)
                text += QLatin1Char('\'') +
                        value.toString().replace(QLatin1Char('\''), QStringLiteral("''")) +
                        QLatin1Char('\'');
            else
                text += corvelix::machineNumber(value.toDouble());
        }
        script << text + QLatin1Char(';');
    }
    return script.join(QLatin1Char('\n'));
}

modDA::Recordset one(const char* field, const QVariant& value) {
    return {QStringList{QLatin1String(field)}, {{value}}};
}

bool registerCase(const char* name, Case fn) {
    cases()[name] = std::move(fn);
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
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        try {
            work();
        } catch (const VbError& error) {
            fail(error.description + QStringLiteral(" / ") + error.source);
        }
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

double Run::shellTime(const QString& path, const QString& sql, int repeat, bool onCopy) {
    double best = std::numeric_limits<double>::max();
    static const QRegularExpression realTime(QStringLiteral("Run Time: real ([0-9.]+)"));
    for (int i = 0; i < repeat; ++i) {
        const QString target = onCopy ? copyCatalog(path, QStringLiteral("shell_copy.db")) : path;
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {target});
        if (!shell.waitForStarted())
            fail(QStringLiteral("the sqlite3 shell is not installed"));
        // One timed statement batch: BEGIN/COMMIT around it so that it is one transaction,
        // as the program's own work is; output goes nowhere.
        const QString script = QStringLiteral(".output /dev/null\n.timer on\nBEGIN;\n") + sql +
                               QStringLiteral("\nCOMMIT;\n.timer off\n");
        shell.write(script.toUtf8());
        shell.closeWriteChannel();
        shell.waitForFinished(-1);
        const QString output = QString::fromUtf8(shell.readAllStandardOutput()) +
                               QString::fromUtf8(shell.readAllStandardError());
        double total = 0;
        auto it = realTime.globalMatch(output);
        while (it.hasNext())
            total += it.next().captured(1).toDouble() * 1000.0;
        if (output.contains(QLatin1String("Error")))
            fail(QStringLiteral("sqlite3: ") + output.left(400));
        best = std::min(best, total);
    }
    return best;
}

void Run::report(const QString& label, double ours, double shell, double goal) {
    const double ratio = shell > 0 ? ours / shell : 0;
    if (goal <= 0)
        std::printf("%-48s ours %9.2f ms   sqlite3 %9.2f ms   ratio %6.2f  (no goal)\n",
                    qPrintable(label), ours, shell, ratio);
    else
        std::printf("%-48s ours %9.2f ms   sqlite3 %9.2f ms   ratio %6.2f  (goal <= %.1f)%s\n",
                    qPrintable(label), ours, shell, ratio, goal, ratio > goal ? "  OVER" : "");
    std::fflush(stdout);
}

} // namespace corvelix::bench

int main(int argc, char** argv) {
    // Cases that fill forms need widgets, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    corvelix::bench::BenchUi seam;
    corvelix::setUi(&seam);
    if (!corvelix::bench::tempDir().isValid())
        corvelix::bench::fail(QStringLiteral("no temporary folder"));
    qputenv("CORVELIX_HOME", corvelix::bench::tempDir().filePath(QStringLiteral("home")).toUtf8());
    const QStringList wanted = app.arguments().mid(1);
    corvelix::bench::Run run;
    for (const auto& [name, fn] : corvelix::bench::cases()) {
        if (!wanted.isEmpty() && !wanted.contains(QString::fromStdString(name)))
            continue;
        fn(run);
    }
    return 0;
}
