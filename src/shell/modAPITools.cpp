#include "shell/modAPITools.h"

#include "runtime/TextCodec.h"
#include "runtime/VbError.h"
#include "shell/utiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using corvelix::VbError;

namespace modAPITools {

namespace {

// The save dialog's name buffer holds 255 characters: the name, its NUL and blanks.
constexpr qsizetype kSaveBuffer = 255;
// Number of the old runtime's "Error de acceso a ruta o archivo".
constexpr qint32 kErrFileAccess = 75;

QList<corvelix::FileFilter> defaultSaveFilters() {
    return {{QStringLiteral("Archivo Excel (*.xls)"), QStringLiteral("*.xls")},
            {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}};
}

// Whether this process may write `path` (its effective rights, as the failed open had).
bool canWrite(const QString& path) {
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(path).isWritable();
#endif
}

// The reason in the user's language (the system's own texts are English).
QString failureReason(const QString& ruta, const QSaveFile& file) {
    const QFileInfo info(ruta);
    if (info.isDir())
        return QStringLiteral("la ruta es una carpeta");
    if (!info.absoluteDir().exists())
        return QStringLiteral("la carpeta no existe");
    if (info.exists() && !canWrite(ruta))
        return QStringLiteral("el archivo es de sólo lectura o no tiene permiso para escribirlo");
    if (!info.exists() && !canWrite(info.absolutePath()))
        return QStringLiteral("no tiene permiso para crear archivos en la carpeta");
    switch (file.error()) {
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("no se pudo escribir todo el contenido (¿disco lleno?)");
    case QFileDevice::RenameError:
        return QStringLiteral("no se pudo reemplazar el archivo anterior");
    default:
        return QStringLiteral("el sistema no lo permite");
    }
}

[[noreturn]] void fileError(const QString& what, const QString& ruta, const QString& reason) {
    throw VbError(kErrFileAccess, QStringLiteral("Corvelix"),
                  QStringLiteral("No se puede %1 el archivo %2: %3").arg(what, ruta, reason));
}

} // namespace

QList<corvelix::FileFilter> parseFilters(const QString& filtro) {
    QList<corvelix::FileFilter> filtros;
    const QStringList piezas = filtro.split(QChar(u'\0'));
    // Pairs up to the first empty string (the closing NUL ends the list); a description
    // without its pattern is ignored, as the dialogs did.
    for (qsizetype i = 0; i + 1 < piezas.size(); i += 2) {
        if (piezas.at(i).isEmpty() || piezas.at(i + 1).isEmpty())
            break;
        filtros.append({piezas.at(i), piezas.at(i + 1)});
    }
    return filtros;
}

QString OpenFileCommonDialog(const QString& filtro) {
    try {
        corvelix::FileDialogRequest request;
        request.title = QStringLiteral("Importar archivo RET");
        request.filters = parseFilters(filtro);
        return corvelix::ui().openFileName(request).trimmed();
    } catch (const std::exception&) {
        const VbError error = corvelix::currentError();
        corvelix::ui().msgBox(QStringLiteral("Error en  OpenFileCommonDialog: ") +
                                  error.description,
                              corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
        return {};
    }
}

QString SaveFileCommonDialog(const QString& titulo, const QString& filtro,
                             const QString& directorio, const QString& nombreArchivo) {
    try {
        corvelix::FileDialogRequest request;
        request.proposedName = utiles::limpiarNombreArchivo(nombreArchivo);
        // The name and its closing NUL must fit the buffer, or the dialog is never shown.
        if (request.proposedName.size() + 1 > kSaveBuffer)
            return {};
        request.title = titulo;
        request.filters = filtro.isEmpty() ? defaultSaveFilters() : parseFilters(filtro);
        request.directory = directorio;
        const QString ruta = corvelix::ui().saveFileName(request);
        return ruta.left(ruta.indexOf(QChar(u'\0')));
    } catch (const std::exception&) {
        return {};
    }
}

void generarArchivo(const QString& ruta, const QString& texto, Encoding encoding) {
    corvelix::chainedNumbered(QStringLiteral("Corvelix.modAPITools.generarArchivo"), 0, [&] {
        const QString contenido = texto + QStringLiteral("\r\n");
        const QByteArray bytes =
            encoding == Encoding::Utf8 ? contenido.toUtf8() : corvelix::toWindows1252(contenido);
        // Written beside the target and renamed over it: a failure leaves the old file intact.
        // A folder that takes no new file still lets a writable file in it be written in place.
        QSaveFile file(ruta);
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly))
            fileError(QStringLiteral("abrir"), ruta, failureReason(ruta, file));
        if (file.write(bytes) != bytes.size())
            fileError(QStringLiteral("escribir"), ruta, failureReason(ruta, file));
        if (!file.commit())
            fileError(QStringLiteral("guardar"), ruta, failureReason(ruta, file));
    });
}

corvelix::ProcessResult ejecutarProceso(const QString& lineaComando, const QString& directorio) {
    corvelix::ProcessRunner proceso;
    if (proceso.startCommandLine(lineaComando, directorio))
        esperarProceso(proceso);
    return proceso.result();
}

int esperarProceso(corvelix::ProcessRunner& proceso) {
    return proceso.waitForEnd();
}

} // namespace modAPITools
