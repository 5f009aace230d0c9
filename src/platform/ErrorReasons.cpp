#include "platform/ErrorReasons.h"

namespace corvelix {

QString fileErrorReason(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::NoError:
        return QStringLiteral("sin error");
    case QFileDevice::ReadError:
        return QStringLiteral("no se pudo leer su contenido");
    case QFileDevice::WriteError:
        return QStringLiteral("no se pudo escribir todo el contenido (¿disco lleno?)");
    case QFileDevice::FatalError:
        return QStringLiteral("falló el acceso al disco");
    case QFileDevice::ResourceError:
        return QStringLiteral("faltan recursos del sistema (memoria, espacio en disco o archivos "
                              "abiertos)");
    case QFileDevice::OpenError:
        return QStringLiteral("no se pudo abrir");
    case QFileDevice::AbortError:
        return QStringLiteral("la operación se interrumpió");
    case QFileDevice::TimeOutError:
        return QStringLiteral("se agotó el tiempo de espera");
    case QFileDevice::RemoveError:
        return QStringLiteral("no se pudo borrar");
    case QFileDevice::RenameError:
        return QStringLiteral("no se pudo cambiar el nombre");
    case QFileDevice::PositionError:
        return QStringLiteral("no se pudo ubicar la posición de lectura");
    case QFileDevice::ResizeError:
        return QStringLiteral("no se pudo cambiar el tamaño");
    case QFileDevice::PermissionsError:
        return QStringLiteral("no tiene permiso para usarlo");
    case QFileDevice::CopyError:
        return QStringLiteral("no se pudo copiar");
    case QFileDevice::UnspecifiedError:
        break;
    }
    return QStringLiteral("el sistema no lo permite");
}

QString networkErrorReason(QNetworkReply::NetworkError error, int httpStatus) {
    using E = QNetworkReply;
    const QString estado =
        httpStatus > 0 ? QStringLiteral(" (estado %1)").arg(httpStatus) : QString();
    switch (error) {
    case E::NoError:
        return QStringLiteral("sin error");
    case E::ConnectionRefusedError:
        return QStringLiteral("el servidor rechazó la conexión");
    case E::RemoteHostClosedError:
        return QStringLiteral("el servidor cerró la conexión antes de terminar la respuesta");
    case E::HostNotFoundError:
        return QStringLiteral("no se encontró el servidor");
    case E::TimeoutError:
        return QStringLiteral("el servidor no respondió a tiempo");
    case E::OperationCanceledError:
        return QStringLiteral("la consulta se canceló");
    case E::SslHandshakeFailedError:
        return QStringLiteral("no se pudo establecer una conexión segura con el servidor");
    case E::TemporaryNetworkFailureError:
    case E::NetworkSessionFailedError:
    case E::BackgroundRequestNotAllowedError:
        return QStringLiteral("la red no está disponible");
    case E::TooManyRedirectsError:
        return QStringLiteral("el servidor redirigió la consulta demasiadas veces");
    case E::InsecureRedirectError:
        return QStringLiteral("el servidor redirigió la consulta a una dirección no segura");
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
    case E::ProxyNotFoundError:
    case E::ProxyTimeoutError:
        return QStringLiteral("no se pudo usar el servidor proxy");
    case E::ProxyAuthenticationRequiredError:
        return QStringLiteral("el servidor proxy pide usuario y contraseña");
    case E::ContentAccessDenied:
        return QStringLiteral("el servidor negó el acceso a la página") + estado;
    case E::ContentOperationNotPermittedError:
        return QStringLiteral("el servidor no permite esa operación") + estado;
    case E::ContentNotFoundError:
        return QStringLiteral("la página no existe en el servidor") + estado;
    case E::AuthenticationRequiredError:
        return QStringLiteral("el servidor pide usuario y contraseña") + estado;
    case E::ContentReSendError:
        return QStringLiteral("la consulta no se pudo repetir");
    case E::ContentConflictError:
    case E::ContentGoneError:
        return QStringLiteral("la página ya no está disponible en el servidor") + estado;
    case E::InternalServerError:
    case E::OperationNotImplementedError:
    case E::ServiceUnavailableError:
    case E::UnknownServerError:
        return QStringLiteral("el servidor respondió con un error") + estado;
    case E::ProtocolUnknownError:
        return QStringLiteral("la dirección no es de una página web");
    case E::ProtocolInvalidOperationError:
    case E::ProtocolFailure:
        return QStringLiteral("la respuesta del servidor no se entiende");
    case E::UnknownNetworkError:
    case E::UnknownProxyError:
    case E::UnknownContentError:
        break;
    }
    return QStringLiteral("falló la conexión con el servidor") + estado;
}

QString processErrorReason(QProcess::ProcessError error) {
    switch (error) {
    case QProcess::FailedToStart:
        return QStringLiteral("no se pudo iniciar el programa");
    case QProcess::Crashed:
        return QStringLiteral("el programa terminó de forma anormal");
    case QProcess::Timedout:
        return QStringLiteral("el programa no respondió a tiempo");
    case QProcess::WriteError:
        return QStringLiteral("no se pudo enviar datos al programa");
    case QProcess::ReadError:
        return QStringLiteral("no se pudo leer la salida del programa");
    case QProcess::UnknownError:
        break;
    }
    return QStringLiteral("falló la ejecución del programa");
}

QString xmlErrorReason(QXmlStreamReader::Error error) {
    switch (error) {
    case QXmlStreamReader::PrematureEndOfDocumentError:
        return QStringLiteral("el documento termina antes de tiempo (falta su final)");
    case QXmlStreamReader::NotWellFormedError:
        return QStringLiteral("el documento está mal formado");
    case QXmlStreamReader::UnexpectedElementError:
        return QStringLiteral("hay un elemento inesperado");
    case QXmlStreamReader::CustomError:
    case QXmlStreamReader::NoError:
        break;
    }
    return QStringLiteral("la estructura del documento no es válida");
}

namespace {

// The text after `prefix` in the engine's message, up to its end.
QString afterPrefix(const QString& text, QLatin1String prefix) {
    const qsizetype at = text.indexOf(prefix);
    return at < 0 ? QString() : text.mid(at + prefix.size()).trimmed();
}

// " (NAME)" for a name the engine gave, empty without one.
QString named(const QString& name) {
    return name.isEmpty() ? QString() : QStringLiteral(" (") + name + QLatin1Char(')');
}

} // namespace

namespace {

// How the phrases name a SQLite file.
struct FileNames {
    QString it;     // "el catálogo"
    QString of;     // "del catálogo"
    QString itself; // "el archivo del catálogo"
    QString ofItself; // "del archivo del catálogo"
};

const FileNames& namesOf(SqliteFile file) {
    static const FileNames catalog{QStringLiteral("el catálogo"), QStringLiteral("del catálogo"),
                                   QStringLiteral("el archivo del catálogo"),
                                   QStringLiteral("del archivo del catálogo")};
    static const FileNames local{QStringLiteral("la base de datos local"),
                                 QStringLiteral("de la base de datos local"),
                                 QStringLiteral("el archivo de la base de datos local"),
                                 QStringLiteral("del archivo de la base de datos local")};
    return file == SqliteFile::LocalDatabase ? local : catalog;
}

} // namespace

QString sqliteErrorReason(int resultCode, const QString& engineText, SqliteFile file) {
    const FileNames& n = namesOf(file);
    // SQLite's result codes: the primary one in the low byte of an extended one.
    const int primary = resultCode & 0xFF;
    switch (primary) {
    case 1: { // SQLITE_ERROR
        const QString table = afterPrefix(engineText, QLatin1String("no such table:"));
        if (!table.isEmpty())
            return QStringLiteral("falta la tabla ") + table + QStringLiteral(" en ") + n.it;
        const QString column = afterPrefix(engineText, QLatin1String("no such column:"));
        if (!column.isEmpty())
            return QStringLiteral("falta la columna ") + column + QStringLiteral(" en ") + n.it;
        return n.it + QStringLiteral(" no pudo ejecutar la instrucción");
    }
    case 3: // SQLITE_PERM
        return QStringLiteral("el sistema no da permiso para usar ") + n.it;
    case 4: // SQLITE_ABORT
    case 9: // SQLITE_INTERRUPT
        return QStringLiteral("la operación se interrumpió");
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("otro programa está usando ") + n.it +
               QStringLiteral("; intente de nuevo en unos momentos");
    case 7: // SQLITE_NOMEM
        return QStringLiteral("falta memoria");
    case 8: // SQLITE_READONLY
        return n.it + QStringLiteral(" es de solo lectura: el archivo o su carpeta no admiten "
                                     "cambios");
    case 10: // SQLITE_IOERR
        return QStringLiteral("falló la lectura o la escritura ") + n.ofItself;
    case 11: // SQLITE_CORRUPT
        return n.itself + QStringLiteral(" está dañado");
    case 13: // SQLITE_FULL
        return QStringLiteral("disco lleno: no hay lugar para guardar los cambios ") + n.of;
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("no se puede abrir ") + n.itself;
    case 17: // SQLITE_SCHEMA
        return QStringLiteral("la estructura ") + n.of +
               QStringLiteral(" cambió mientras se usaba; intente de nuevo");
    case 18: // SQLITE_TOOBIG
        return QStringLiteral("un valor es demasiado grande para ") + n.it;
    case 19: { // SQLITE_CONSTRAINT, by its extended code
        const QString failed = afterPrefix(engineText, QLatin1String("constraint failed:"));
        switch (resultCode) {
        case 1811: // a trigger's RAISE: the message the catalog's own author wrote
            return engineText.trimmed();
        case 1555: // PRIMARYKEY
        case 2067: // UNIQUE
            return QStringLiteral("ya hay una fila con la misma clave en ") + n.it +
                   named(failed);
        case 1299: // NOTNULL
            return QStringLiteral("falta un valor obligatorio") + named(failed);
        case 787: // FOREIGNKEY
            return QStringLiteral("falta la fila relacionada en ") + n.it;
        default:
            return QStringLiteral("el cambio no cumple una regla ") + n.of + named(failed);
        }
    }
    case 20: // SQLITE_MISMATCH
        return QStringLiteral("un valor no es del tipo que la columna admite");
    case 25: // SQLITE_RANGE
        return QStringLiteral("la instrucción no recibió los valores que espera");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("el archivo no es una base de datos SQLite");
    default:
        break;
    }
    return QStringLiteral("el motor ") + n.of + QStringLiteral(" informó el error %1").arg(resultCode);
}

QString odbcErrorReason(const QString& sqlState) {
    const QString state = sqlState.toUpper();
    if (state.startsWith(QLatin1String("08")))
        return QStringLiteral("se perdió la conexión con el servidor del catálogo");
    if (state == QLatin1String("HYT00") || state == QLatin1String("HYT01"))
        return QStringLiteral("el servidor del catálogo no respondió a tiempo; intente de nuevo");
    if (state == QLatin1String("40001"))
        return QStringLiteral("otro usuario estaba cambiando los mismos datos y el servidor "
                              "deshizo este cambio; intente de nuevo");
    if (state.startsWith(QLatin1String("23")))
        return QStringLiteral("el cambio no cumple una regla del catálogo (clave repetida o valor "
                              "obligatorio)");
    if (state == QLatin1String("22003"))
        return QStringLiteral("un número no cabe en la columna del catálogo");
    if (state.startsWith(QLatin1String("22")))
        return QStringLiteral("un valor no es válido para la columna del catálogo");
    if (state.startsWith(QLatin1String("28")))
        return QStringLiteral("el servidor del catálogo no aceptó el usuario o la contraseña");
    if (state == QLatin1String("42S02"))
        return QStringLiteral("falta una tabla en el catálogo");
    if (state == QLatin1String("42S22"))
        return QStringLiteral("falta una columna en el catálogo");
    if (state.startsWith(QLatin1String("42")))
        return QStringLiteral("el servidor del catálogo no aceptó la instrucción");
    if (state.isEmpty())
        return QStringLiteral("el servidor del catálogo informó un error");
    return QStringLiteral("el servidor del catálogo informó un error (estado %1)").arg(state);
}

} // namespace corvelix
