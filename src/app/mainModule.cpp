#include "app/mainModule.h"

namespace mainModule {

qint16 VersionAplicacion = 0;

QString getVersionBaseDatos() {
    return QStringLiteral("1");
}

} // namespace mainModule
