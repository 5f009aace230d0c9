#include "transfer/modRET.h"

#include "runtime/Format.h"

#include <QLocale>

namespace modRET {

double convertTexto_to_Double(const QString& texto) {
    QString machine = texto;
    machine.replace(QLatin1Char(','), QLatin1Char('.'));
    // Read with the C rules, never the user's: no ',' is left, so nothing can pass as grouping.
    const QLocale c = QLocale::c();
    return corvelix::isNumeric(machine, c) ? corvelix::toNumber(machine, c) : 0.0;
}

QString convertDouble_to_Texto(double valor) {
    return corvelix::machineNumber(valor);
}

} // namespace modRET
