#include "assembly/utiles_sufijos.h"

#include "runtime/VbError.h"

#include <QStringList>

namespace utiles {

namespace {

// Where the entry that starts at `inicio` ends when it is a two-character code with its value:
// the position of the "-" of the ")-" that closes it (so the value may hold "-", as the
// replacing rule reads it), or the end of a string whose last entry lacks its "-". -1 when
// the entry is of another kind or not closed that way; it then ends at the next "-".
qsizetype cierreDeValor(const QString& sufijos, qsizetype inicio) {
    const qsizetype abre = inicio + 2;
    if (abre >= sufijos.size() || sufijos.at(abre) != QLatin1Char('(') ||
        sufijos.mid(inicio, 2).contains(QLatin1Char('-')))
        return -1;
    qsizetype cierre = sufijos.indexOf(QStringLiteral(")-"), abre + 1);
    if (cierre >= 0)
        ++cierre;
    else if (sufijos.endsWith(QLatin1Char(')')))
        cierre = sufijos.size();
    else
        return -1;
    // A second "(" before the close means this entry lacks its ")": read it as before.
    const qsizetype otra = sufijos.indexOf(QLatin1Char('('), abre + 1);
    if (otra >= 0 && otra < cierre)
        return -1;
    return cierre;
}

} // namespace

void getArrayFromSufijos(const QString& sufijos, QList<SufijoLeido>& resultado) {
    corvelix::chained(QStringLiteral("Corvelix.utiles.getArrayFromSufijos"), [&] {
        if (sufijos.isEmpty())
            return;
        QList<SufijoLeido> leidos;
        qsizetype inicio = 0;
        for (;;) {
            const qsizetype cierre = cierreDeValor(sufijos, inicio);
            if (cierre >= 0) {
                const QString pieza = sufijos.mid(inicio, cierre - inicio);
                leidos.append({getSufijo(pieza), getValue(pieza)});
                if (cierre == sufijos.size())
                    break; // last entry stored without its closing "-"
                inicio = cierre + 1;
                continue;
            }
            const qsizetype guion = sufijos.indexOf(QLatin1Char('-'), inicio);
            const QString pieza = sufijos.mid(inicio, guion < 0 ? -1 : guion - inicio);
            leidos.append({getSufijo(pieza), getValue(pieza)});
            if (guion < 0)
                break;
            inicio = guion + 1;
        }
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
