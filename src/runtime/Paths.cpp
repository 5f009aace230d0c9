#include "runtime/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace corvelix {

namespace {
QString homeOverride() {
    return qEnvironmentVariable("CORVELIX_HOME");
}
} // namespace

QString programFolder() {
    const QString home = homeOverride();
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    return QCoreApplication::applicationDirPath();
}

QString dataFolder() {
    const QString home = homeOverride();
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString localDatabasePath() {
    return dataFolder() + QStringLiteral("/db/corvelix.db");
}

} // namespace corvelix
