#include "shell/main_documentos.h"

namespace mainModule {

QString getFormatoItemDocExportacion(const QString& pais) {
    if (pais == QLatin1String("225") || pais == QLatin1String("221"))
        return QStringLiteral("0000");
    return QStringLiteral("000000000000");
}

} // namespace mainModule
