#include "platform/Registro.h"

#include <QSettings>

#include <limits>

namespace Registro {

OpenKey openKey(qint32 root, const QString& keyPath) {
    OpenKey key;
    if (root != HKEY_LOCAL_MACHINE)
        return key;
    const QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(QLatin1String("SOFTWARE"), Qt::CaseInsensitive) != 0)
        return key;
    key.store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::SystemScope, parts[1],
                                            parts[2]);
    key.group = parts.mid(3).join(QLatin1Char('/'));
    return key;
}

QVariant leerValorRegistro(qint32 root, const QString& keyPath, const QString& valueName) {
    const OpenKey key = openKey(root, keyPath);
    QVariant value;
    consultarValorClave(key, valueName, value);
    return value;
}

qint32 consultarValorClave(const OpenKey& key, const QString& valueName, QVariant& value) {
    if (!key.store)
        return -1;
    const QString name = key.group.isEmpty() ? valueName : key.group + QLatin1Char('/') + valueName;
    const QVariant stored = key.store->value(name);
    switch (stored.metaType().id()) {
    case QMetaType::QString:
        value = stored.toString();
        return 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong number = stored.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<quint32>::max())
            return -1;
        value = static_cast<qint32>(number);
        return 0;
    }
    default:
        return -1;
    }
}

} // namespace Registro
