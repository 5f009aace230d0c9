// The value-suffix reader over any text, and the round trip: a list of codes and admissible
// values, built into a string and read back, gives the same entries in the same order.

#include "assembly/utiles_sufijos.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A code of 2 or 4 characters that the reader can tell apart from the entry's punctuation.
bool codigoAdmisible(const QString& codigo) {
    return (codigo.size() == 2 || codigo.size() == 4) && utiles::valorSufijoAdmisible(codigo);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString texto =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Any stored string reads without failing; every real entry is a piece between hyphens.
    QList<utiles::SufijoLeido> leidos;
    utiles::getArrayFromSufijos(texto, leidos);
    (void)utiles::sufijosReales(texto);
    (void)utiles::armarSufijos(leidos);

    // The input as pairs: each line "code<TAB>value".
    QList<QPair<QString, QString>> pares;
    QList<utiles::SufijoLeido> esperados;
    for (const QString& linea : texto.split(QLatin1Char('\n'))) {
        const qsizetype tab = linea.indexOf(QLatin1Char('\t'));
        const QString codigo = tab < 0 ? linea : linea.left(tab);
        const QString valor = tab < 0 ? QString() : linea.mid(tab + 1);
        if (!codigoAdmisible(codigo) || !utiles::valorSufijoAdmisible(valor))
            continue;
        pares.append({codigo, valor});
        esperados.append({codigo, codigo.size() == 2 ? valor : QString()});
    }
    const QString armado = utiles::armarSufijos(pares);
    if (utiles::sufijosReales(armado) != esperados)
        std::abort();
    // Building again from what was read gives the same text.
    if (utiles::armarSufijos(utiles::sufijosReales(armado)) != armado)
        std::abort();
    return 0;
}
