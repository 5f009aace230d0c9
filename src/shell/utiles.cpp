#include "shell/utiles.h"

#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/Leer_HTML.h"
#include "shell/frmSeleccionarITEMs.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <optional>

namespace utiles {

bool validarFormato(const QString& factura) {
    if (!factura.contains(QLatin1Char('-')))
        return false;
    const QStringList partes = factura.split(QLatin1Char('-'));
    return partes.at(0).size() == 5 && partes.at(1).size() == 8;
}

QString limpiarNombreArchivo(const QString& nombre) {
    if (nombre.isEmpty())
        return {};
    QString limpio = nombre;
    for (const QChar c : QStringLiteral("\\/:*?<>|"))
        limpio.replace(c, QLatin1Char('_'));
    // Only blanks are trimmed; a tab at the ends becomes "_" below.
    qsizetype first = 0;
    qsizetype last = limpio.size();
    while (first < last && limpio.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && limpio.at(last - 1) == QLatin1Char(' '))
        --last;
    limpio = limpio.mid(first, last - first);

    // Codes 32..122 of Windows-1252 are the same characters as in Unicode, and no other
    // character maps onto them; whatever the code page cannot hold is replaced too.
    QString resultado;
    resultado.reserve(limpio.size());
    for (const QChar c : limpio)
        resultado += (c.unicode() >= 32 && c.unicode() <= 122) ? c : QLatin1Char('_');
    return resultado;
}

namespace {

// The rate as the service writes it: digits with one decimal separator, "." or "," (the
// service has sent both), whatever the user's locale. Signs, exponents, group separators,
// letters and blanks inside make it unreadable.
std::optional<double> leerTasa(const QString& texto) {
    static const QRegularExpression forma(QStringLiteral(R"(^([0-9]+([.,][0-9]*)?|[.,][0-9]+)$)"));
    QString numero = texto.trimmed();
    if (!forma.match(numero).hasMatch())
        return std::nullopt;
    numero.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double valor = QLocale::c().toDouble(numero, &ok);
    if (!ok || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

} // namespace

double getTipoPase(const QString& moneda) {
    const QString respuesta = Leer_HTML::leerPagina(Leer_HTML::urlTipoCambio(moneda));
    QString descripcion;
    if (respuesta.contains(QLatin1Char('|'))) {
        const QStringList campos = respuesta.split(QLatin1Char('|'));
        if (campos.size() < 4) {
            descripcion = QStringLiteral("El subíndice está fuera del intervalo");
        } else if (const auto tasa = leerTasa(campos.at(3))) {
            return *tasa;
        } else {
            descripcion = QStringLiteral("No coinciden los tipos");
        }
    } else {
        descripcion = QStringLiteral("No coinciden los tipos");
    }
    corvelix::ui().msgBox(QStringLiteral("Error al obtener Tipo de Pase de AFIP\n\nError: ") +
                              descripcion,
                          corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
    return 1;
}

QString getSeleccionarITEMS(const QString& operacion) {
    return corvelix::chained(QStringLiteral("Corvelix.utiles.getSeleccionarITEMS"), [&] {
        frmSeleccionarITEMs frm;
        frm.m_Resultado.clear();
        frm.m_Operacion = operacion;
        corvelix::ui().exec(frm);
        return frm.m_Resultado;
    });
}

} // namespace utiles
