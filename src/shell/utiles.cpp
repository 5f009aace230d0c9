#include "shell/utiles.h"

#include <QStringList>

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

} // namespace utiles
