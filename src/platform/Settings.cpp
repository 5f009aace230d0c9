#include "platform/Settings.h"

#include "runtime/VbError.h"

#include <QDir>
#include <QSettings>

namespace corvelix::settings {

namespace {

// Number of the old runtime's "Error de acceso a ruta o archivo".
constexpr qint32 kErrFileAccess = 75;

} // namespace

std::unique_ptr<QSettings> userStore() {
    auto store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("corvelix"));
    // Per user only: a machine-wide file of the same name must not answer for the user.
    store->setFallbacksEnabled(false);
    return store;
}

QString getSetting(const QString& section, const QString& key, const QString& defaultValue) {
    const auto store = userStore();
    const QVariant value = store->value(section + QLatin1Char('/') + key);
    return value.isValid() ? value.toString() : defaultValue;
}

void saveSetting(const QString& section, const QString& key, const QString& value) {
    const auto store = userStore();
    const QString name = section + QLatin1Char('/') + key;
    const QVariant before = store->value(name);
    store->setValue(name, value);
    store->sync();
    const QSettings::Status status = store->status();
    if (status == QSettings::NoError)
        return;
    // The process keeps the store's values in memory: they go back to what the file holds, so
    // that the value that was not saved is not read back as if it had been.
    if (before.isValid())
        store->setValue(name, before);
    else
        store->remove(name);
    const QString file = QDir::toNativeSeparators(store->fileName());
    throw VbError(kErrFileAccess, QStringLiteral("Corvelix"),
                  status == QSettings::FormatError
                      ? QStringLiteral("No se pudo guardar la configuración: el archivo %1 no "
                                       "tiene el formato esperado.")
                            .arg(file)
                      : QStringLiteral("No se pudo guardar la configuración: no se puede escribir "
                                       "el archivo %1 (o crear archivos en su carpeta).")
                            .arg(file));
}

} // namespace corvelix::settings
