#include "assembly/utiles_sufijos.h"

#include "runtime/VbError.h"

#include <QStringList>

namespace utiles {

void getArrayFromSufijos(const QString& sufijos, QList<SufijoLeido>& resultado) {
    corvelix::chained(QStringLiteral("Corvelix.utiles.getArrayFromSufijos"), [&] {
        if (sufijos.isEmpty())
            return;
        const QStringList piezas = sufijos.split(QLatin1Char('-'));
        QList<SufijoLeido> leidos;
        leidos.reserve(piezas.size());
        for (const QString& pieza : piezas)
            leidos.append({getSufijo(pieza), getValue(pieza)});
        resultado = std::move(leidos);
    });
}

QList<SufijoLeido> sufijosReales(const QString& sufijos) {
    QList<SufijoLeido> leidos;
    getArrayFromSufijos(sufijos, leidos);
    // The last piece is empty exactly when the string ends with "-".
    if (sufijos.endsWith(QLatin1Char('-')))
        leidos.removeLast();
    return leidos;
}

QString getSufijo(const QString& parte) {
    return corvelix::chained(QStringLiteral("Corvelix.utiles.getSufijo"), [&] {
        const qsizetype p = parte.indexOf(QLatin1Char('('));
        if (p < 0) {
            QString codigo = parte;
            return codigo.remove(QLatin1Char('-'));
        }
        return parte.left(p);
    });
}

QString getValue(const QString& parte) {
    return corvelix::chained(QStringLiteral("Corvelix.utiles.getValue"), [&] {
        const qsizetype p = parte.indexOf(QLatin1Char('('));
        if (p < 0)
            return QString();
        QString valor = parte.mid(p + 1);
        valor.remove(QStringLiteral(")-"));
        valor.remove(QLatin1Char(')'));
        return valor;
    });
}

QString armarSufijos(const QList<QPair<QString, QString>>& pares) {
    QString sufijos;
    for (const auto& [codigo, valor] : pares) {
        if (codigo.size() == 2)
            sufijos += codigo + QLatin1Char('(') + valor + QStringLiteral(")-");
        else if (codigo.size() == 4)
            sufijos += codigo + QLatin1Char('-');
    }
    return sufijos;
}

QString armarSufijos(const QList<SufijoLeido>& sufijos) {
    QList<QPair<QString, QString>> pares;
    pares.reserve(sufijos.size());
    for (const auto& s : sufijos)
        pares.append({s.Sufijo, s.Valor});
    return armarSufijos(pares);
}

bool valorSufijoAdmisible(const QString& valor) {
    return !valor.contains(QLatin1Char('(')) && !valor.contains(QLatin1Char(')')) &&
           !valor.contains(QLatin1Char('-'));
}

} // namespace utiles
