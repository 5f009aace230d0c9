#include "platform/Settings.h"

#include <QSettings>

namespace corvelix::settings {

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
    store->setValue(section + QLatin1Char('/') + key, value);
    store->sync();
}

} // namespace corvelix::settings
