#pragma once

#include <QString>

namespace corvelix {
class HttpAbandon;
}

// Web pages read as text: the update file and the exchange rate.
namespace Leer_HTML {

// The body of the answer to a GET of `url`, decoded as Windows-1252. When the page cannot be
// read (no connection, unknown host, an error status such as 404, no whole answer in time) it
// shows "Error opening Web page" and returns "". With `abandono` the user can go on working
// while it waits (see httpGet) and a window can give the read up, which returns "" without a
// box.
QString leerPagina(const QString& url, corvelix::HttpAbandon* abandono = nullptr);

// How long the whole read of a page may take from the request on, in milliseconds; returns
// the previous value. 15 seconds unless changed.
int setEsperaMaxima(int milisegundos);

// Base addresses of the web services (scheme and host, no trailing "/"). Each one comes from
// its environment variable when set, else from the settings store (section "config"), else the
// built-in address:
//   update server 1  CORVELIX_UPDATE_SERVER1  key servidorActualizacion1
//   update server 2  CORVELIX_UPDATE_SERVER2  key servidorActualizacion2
//   exchange rates   CORVELIX_RATE_SERVER     key servidorTipoCambio
QString servidorActualizacion(int numero);
QString servidorTipoCambio();

// The update file on the first server (automatic check) or the second one (manual check).
QString urlActualizacion(bool manual);
// The exchange-rate query for one currency code.
QString urlTipoCambio(const QString& moneda);

} // namespace Leer_HTML
