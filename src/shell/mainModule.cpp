#include "shell/mainModule.h"

namespace mainModule {

qint16 VersionAplicacion = 0;

QString getVersionBaseDatos() {
    return QStringLiteral("1");
}

QString getFormatoItemDocExportacion(const QString& pais) {
    if (pais == QLatin1String("225") || pais == QLatin1String("221"))
        return QStringLiteral("0000");
    return QStringLiteral("000000000000");
}

} // namespace mainModule
