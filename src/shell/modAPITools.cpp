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

// The file a save of `ruta` really writes: a symbolic link is followed to its target, as the
// save does, however many links stand in the way (a target that does not exist yet included).
QFileInfo realTarget(const QString& ruta) {
    QFileInfo info(ruta);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info;
}

// The reason in the user's language (the system's own texts are English).
QString failureReason(const QString& ruta, const QSaveFile& file) {
    const QFileInfo info = realTarget(ruta);
    if (info.isDir())
        return QStringLiteral("la ruta es una carpeta");
    if (!info.absoluteDir().exists())
        return QStringLiteral("la carpeta no existe");
    if (info.exists() && !canWrite(info.absoluteFilePath()))
        return QStringLiteral("el archivo es de sólo lectura o no tiene permiso para escribirlo");
    // The new text goes to a file of its own beside the target first, in the folder the target
    // really is in (named as the system knows it, links resolved).
    const QString carpeta = info.absoluteDir().canonicalPath();
    if (!canWrite(carpeta))
        return QStringLiteral("no tiene permiso para crear archivos en la carpeta ") +
               QDir::toNativeSeparators(carpeta);
    switch (file.error()) {
    case QFileDevice::ResourceError: // what a write answers when the disk has no room left
        return QStringLiteral("disco lleno, no queda espacio para guardarlo");
    case QFileDevice::WriteError:
        return QStringLiteral("no se pudo escribir todo el contenido");
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

// Small pieces are gathered up to this size before they are written.
constexpr qsizetype kChunk = 256 * 1024;

// Writes every byte, going on after a short write: the system tells only on the next one why
// it stopped (a full disk, a size limit).
bool writeAll(QSaveFile& file, const char* data, qsizetype size) {
    while (size > 0) {
        const qint64 written = file.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// The pieces in order and CR LF, as one file. Written beside the target and renamed over it,
// never into the target itself: the file under the final name is the old one whole or the new
// one whole. Unbuffered, so that every failure is seen before the rename (a buffered save
// cut at its last write would still be committed).
void writeWhole(const QString& ruta, const QList<QByteArray>& partes) {
    QSaveFile file(ruta);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fileError(QStringLiteral("abrir"), ruta, failureReason(ruta, file));
    QByteArray pendiente;
    pendiente.reserve(kChunk);
    const auto escribir = [&](const char* data, qsizetype size) {
        if (!writeAll(file, data, size)) {
            const QString reason = failureReason(ruta, file);
            file.cancelWriting();
            fileError(QStringLiteral("escribir"), ruta, reason);
        }
    };
    const auto vaciar = [&] {
        escribir(pendiente.constData(), pendiente.size());
        pendiente.resize(0);
    };
    const auto agregar = [&](const char* data, qsizetype size) {
        if (pendiente.size() + size > kChunk)
            vaciar();
        if (size >= kChunk)
            escribir(data, size);
        else
            pendiente.append(data, size);
    };
    for (const QByteArray& parte : partes)
        agregar(parte.constData(), parte.size());
    agregar("\r\n", 2);
    vaciar();
    if (!file.commit())
        fileError(QStringLiteral("guardar"), ruta, failureReason(ruta, file));
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
        writeWhole(ruta,
                   {encoding == Encoding::Utf8 ? texto.toUtf8() : corvelix::toWindows1252(texto)});
    });
}

void generarArchivo(const QString& ruta, const QList<QByteArray>& partes) {
    corvelix::chainedNumbered(QStringLiteral("Corvelix.modAPITools.generarArchivo"), 0,
                              [&] { writeWhole(ruta, partes); });
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
