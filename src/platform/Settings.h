#pragma once

#include <QString>

#include <memory>

class QSettings;

// The program's per-user settings store (application "corvelix"), as the old GetSetting and
// SaveSetting saw it: sections of text values.
namespace corvelix::settings {

// QSettings(IniFormat, UserScope, "corvelix").
std::unique_ptr<QSettings> userStore();

// The value under section/key; `defaultValue` when there is none.
QString getSetting(const QString& section, const QString& key, const QString& defaultValue = {});
// Stores the value and writes it out at once. When the file cannot be written, raises VbError
// 75 with a Spanish description naming it, and the value read back stays the saved one.
void saveSetting(const QString& section, const QString& key, const QString& value);

} // namespace corvelix::settings
