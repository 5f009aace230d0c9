#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace corvelix::test {

// The sqlite3 shell as another program that writes to a catalog file and holds its write lock
// (a row written, not yet committed) until it commits.
class LockingProgram {
public:
    // Starts the shell on `path` and returns once it holds the lock (see holding()), taken by
    // the statement `write` (a declaration row of a catalog unless told otherwise). With
    // `commitAfterMs` >= 0 the shell commits by itself after that long; otherwise when
    // commit() is called or this goes away.
    explicit LockingProgram(const QString& path, int commitAfterMs = -1,
                            const QByteArray& write = kCatalogWrite);

    static inline const QByteArray kCatalogWrite =
        "INSERT INTO DDT (IDDT, IEXT) VALUES ('99999OTRO0000001', 'otro programa');";
    ~LockingProgram();
    LockingProgram(const LockingProgram&) = delete;
    LockingProgram& operator=(const LockingProgram&) = delete;

    [[nodiscard]] bool holding() const { return holding_; }
    // Commits (when it has not yet) and waits for the shell to end; what it printed to its
    // error output, empty when all went well.
    QString commit();

private:
    QProcess process_;
    bool holding_ = false;
    bool inputClosed_ = false;
    QString errors_;
};

} // namespace corvelix::test
