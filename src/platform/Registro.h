#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// Reading values of other programs' registry keys. A key "SOFTWARE\<organization>\<app>"
// of HKEY_LOCAL_MACHINE lives in the machine-wide settings store
// QSettings(IniFormat, SystemScope, <organization>, <app>); deeper key names are groups.
namespace Registro {

inline constexpr qint32 HKEY_LOCAL_MACHINE = static_cast<qint32>(0x80000002u);

// An opened key: the store that holds it and the group inside it. An unknown root or key path
// gives a key without a store, on which every read fails.
struct OpenKey {
    std::unique_ptr<QSettings> store;
    QString group;
};

OpenKey openKey(qint32 root, const QString& keyPath);

// The value, or an invalid QVariant (Empty) when it cannot be read.
QVariant leerValorRegistro(qint32 root, const QString& keyPath, const QString& valueName);

// 0 and the value when it is a text or a 32-bit number; -1 with `value` untouched when the
// value is missing or of another kind.
qint32 consultarValorClave(const OpenKey& key, const QString& valueName, QVariant& value);

} // namespace Registro
