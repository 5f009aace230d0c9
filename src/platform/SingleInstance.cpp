#include "platform/SingleInstance.h"

#include "runtime/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <memory>

namespace corvelix {

QString instanceLockPath() {
    return dataFolder() + QStringLiteral("/corvelix.lock");
}

namespace {
struct ReleaseAtExit {
    void operator()(QLockFile* lock) const {
        // A data folder removed meanwhile (a temporary one) leaves nothing to release.
        if (QFileInfo::exists(lock->fileName()))
            delete lock;
    }
};
} // namespace

bool acquireInstanceLock() {
    static std::unique_ptr<QLockFile, ReleaseAtExit> held;
    if (held)
        return true;
    QDir().mkpath(dataFolder());
    std::unique_ptr<QLockFile, ReleaseAtExit> lock(new QLockFile(instanceLockPath()));
    // Only a dead owner makes a lock stale, never its age: the program may run for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        held = std::move(lock);
        return true;
    }
    // A folder we cannot write to is no sign of another instance: run without the lock.
    return lock->error() != QLockFile::LockFailedError;
}

} // namespace corvelix
