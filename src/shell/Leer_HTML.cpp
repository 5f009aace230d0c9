#include "shell/Leer_HTML.h"

#include "platform/HttpGet.h"
#include "platform/Settings.h"
#include "runtime/TextCodec.h"
#include "runtime/Ui.h"

#include <QUrl>

namespace Leer_HTML {

namespace {

int esperaMaxima = 15000;

QString direccion(const char* variable, const QString& clave, const QString& porDefecto) {
    QString valor = qEnvironmentVariable(variable).trimmed();
    if (valor.isEmpty())
        valor = corvelix::settings::getSetting(QStringLiteral("config"), clave).trimmed();
    if (valor.isEmpty())
        valor = porDefecto;
    while (valor.endsWith(QLatin1Char('/')))
        valor.chop(1);
    return valor;
}

} // namespace

QString leerPagina(const QString& url, corvelix::HttpAbandon* abandono) {
    const corvelix::HttpAnswer answer =
        corvelix::httpGet(QUrl(url), QByteArrayLiteral("VB Program"), esperaMaxima, abandono);
    if (answer.abandoned)
        return {}; // the user left: nothing to tell
    if (!answer.ok) {
        corvelix::ui().msgBox(QStringLiteral("Error opening Web page"));
        return {};
    }
    return corvelix::fromWindows1252(answer.body);
}

int setEsperaMaxima(int milisegundos) {
    const int anterior = esperaMaxima;
    esperaMaxima = milisegundos;
    return anterior;
}

QString servidorActualizacion(int numero) {
    if (numero == 2)
        return direccion("CORVELIX_UPDATE_SERVER2", QStringLiteral("servidorActualizacion2"),
                         QStringLiteral("https://respaldo.brasmo.com.ar"));
    return direccion("CORVELIX_UPDATE_SERVER1", QStringLiteral("servidorActualizacion1"),
                     QStringLiteral("https://actualizaciones.brasmo.com.ar"));
}

QString servidorTipoCambio() {
    return direccion("CORVELIX_RATE_SERVER", QStringLiteral("servidorTipoCambio"),
                     QStringLiteral("https://cotizaciones.brasmo.com.ar"));
}

QString urlActualizacion(bool manual) {
    return servidorActualizacion(manual ? 2 : 1) +
           QStringLiteral("/sistemas/clientes/Brasmo.Corvelix/actualizacion.dat");
}

QString urlTipoCambio(const QString& moneda) {
    // The code goes into the query as one value, whatever it holds.
    return servidorTipoCambio() + QStringLiteral("/api/DivisasNoJSON?codsim=") +
           QString::fromLatin1(QUrl::toPercentEncoding(moneda));
}

} // namespace Leer_HTML
