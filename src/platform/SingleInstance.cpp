#include "platform/SingleInstance.h"

#include "runtime/Paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

namespace corvelix {

QString instanceLockPath() {
    return dataFolder() + QStringLiteral("/corvelix.lock");
}

namespace {
QString& runtimeFolderOverride() {
    static QString folder;
    return folder;
}
} // namespace

QString fallbackInstanceLockPath() {
    const QString runtime = runtimeFolderOverride().isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                : runtimeFolderOverride();
    if (runtime.isEmpty())
        return {};
    const QByteArray key =
        QCryptographicHash::hash(QDir::cleanPath(dataFolder()).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return runtime + QStringLiteral("/corvelix-") + QString::fromLatin1(key) +
           QStringLiteral(".lock");
}

namespace {

struct ReleaseAtExit {
    void operator()(QLockFile* lock) const {
        // A data folder removed meanwhile (a temporary one) leaves nothing to release.
        if (QFileInfo::exists(lock->fileName()))
            delete lock;
    }
};
using HeldLock = std::unique_ptr<QLockFile, ReleaseAtExit>;

HeldLock& held() {
    static HeldLock lock;
    return lock;
}

QString reasonOf(QLockFile::LockError error) {
    switch (error) {
    case QLockFile::PermissionError:
        return QStringLiteral("no hay permiso para escribir en la carpeta");
    case QLockFile::LockFailedError:
        return QStringLiteral("otro programa tiene el bloqueo");
    default:
        return QStringLiteral("no se pudo crear el archivo");
    }
}

// Tries one place; LockFailedError means another living owner.
QLockFile::LockError tryAt(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    HeldLock lock(new QLockFile(path));
    // Only a dead owner makes a lock stale, never its age: the program may run for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        held() = std::move(lock);
        return QLockFile::NoError;
    }
    return lock->error();
}

} // namespace

InstanceLock takeInstanceLock(QString* problem) {
    if (held())
        return InstanceLock::Taken;
    const QString primary = instanceLockPath();
    const QLockFile::LockError first = tryAt(primary);
    if (first == QLockFile::NoError)
        return InstanceLock::Taken;
    if (first == QLockFile::LockFailedError)
        return InstanceLock::HeldByOther;
    QString tried = QDir::toNativeSeparators(QFileInfo(primary).absolutePath()) +
                    QStringLiteral(" (") + reasonOf(first) + QLatin1Char(')');
    const QString fallback = fallbackInstanceLockPath();
    if (!fallback.isEmpty()) {
        const QLockFile::LockError second = tryAt(fallback);
        if (second == QLockFile::NoError)
            return InstanceLock::Taken;
        if (second == QLockFile::LockFailedError)
            return InstanceLock::HeldByOther;
        tried += QStringLiteral(" ni en ") +
                 QDir::toNativeSeparators(QFileInfo(fallback).absolutePath()) +
                 QStringLiteral(" (") + reasonOf(second) + QLatin1Char(')');
    }
    if (problem != nullptr)
        *problem = QStringLiteral("No se puede comprobar si el programa ya está abierto: no se "
                                  "pudo crear el archivo de bloqueo en ") +
                   tried + QStringLiteral(". El programa sigue sin esa comprobación.");
    return InstanceLock::Unavailable;
}

void releaseInstanceLockForTests() {
    held().reset();
}

void setRuntimeFolderForTests(const QString& folder) {
    runtimeFolderOverride() = folder;
}

} // namespace corvelix
