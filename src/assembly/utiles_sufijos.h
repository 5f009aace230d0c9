#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The value-suffix string of an item or subitem: entries closed by "-", a two-character code
// with its value ("AA(X1)-") or a four-character code alone ("BBBB-").
namespace utiles {

struct SufijoLeido {
    QString Sufijo; // the code as read, not trimmed
    QString Valor;  // "" for a code without a value
    bool operator==(const SufijoLeido&) const = default;
};

// One record per entry, in order. An entry of a two-character code runs from the code and "("
// to the ")-" that closes its value, so the value may hold "-"; any other piece ends at the
// next "-". A string closed by "-" ends with an empty record (the end mark). The empty text
// leaves `resultado` as it was.
void getArrayFromSufijos(const QString& sufijos, QList<SufijoLeido>& resultado);

// The real entries only: the end mark is dropped when it is empty, but a last entry stored
// without its closing "-" is kept, so rebuilding the string keeps it (closed this time).
QList<SufijoLeido> sufijosReales(const QString& sufijos);

// The code of one piece: the text before the first "(", or the whole piece without hyphens.
QString getSufijo(const QString& parte);
// The value of one piece: the text after the first "(" without ")-" and ")".
QString getValue(const QString& parte);

// Builds the string from (code, value) pairs: a two-character code gives "code(value)-", a
// four-character code gives "code-" (its value is dropped), any other code nothing.
QString armarSufijos(const QList<QPair<QString, QString>>& pares);
QString armarSufijos(const QList<SufijoLeido>& sufijos);

// Whether a value can stand inside an entry: "(", ")" and "-" would end it early and shift
// every later entry, so they cannot.
bool valorSufijoAdmisible(const QString& valor);

} // namespace utiles
