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

} // namespace corvelix
