#include "data/ItemList.h"

#include "data/Dialect.h"
#include "data/modDA.h"

#include "runtime/VbError.h"

namespace modDA {

namespace {

bool isItemNumber(const QString& entry) {
    if (entry.size() != 6 || entry.front() != QLatin1Char('\'') ||
        entry.back() != QLatin1Char('\''))
        return false;
    for (qsizetype i = 1; i < 5; ++i) {
        const QChar c = entry.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

[[noreturn]] void refuse(const QString& text) {
    throw corvelix::VbError(
        corvelix::kErrInternal, QStringLiteral("Corvelix.modDA.ItemList"),
        QStringLiteral("La lista de ítems no es válida: \"") + text +
            QStringLiteral("\". Se espera TODO o números de ítem de cuatro dígitos entre "
                           "comillas simples, separados por comas."));
}

} // namespace

ItemList ItemList::parse(const QString& text) {
    ItemList list;
    const QString trimmed = text.trimmed();
    if (trimmed == QLatin1String("TODO")) {
        list.all = true;
        return list;
    }
    if (trimmed.isEmpty())
        refuse(text);
    for (const QString& part : trimmed.split(QLatin1Char(','))) {
        const QString entry = part.trimmed();
        if (!isItemNumber(entry))
            refuse(text);
        list.numbers << entry.mid(1, 4);
    }
    return list;
}

Sql ItemList::condition(const Sql& column) const {
    if (all)
        return column + " <> '0000'";
    if (numbers.size() <= kMaxBoundNumbers)
        return column + " IN (" + Sql::placeholders(numbers.size()) + ")";
    // A server takes at most 2,100 parameters in one statement: a longer choice travels as one
    // text, ",0001,0003,", in which each row's number is looked for.
    const Dialect d = dialect();
    return "CHARINDEX(" + sql::concat(d, {"','", column, "','"}) + ", " + sql::boundText(d) +
           ") > 0";
}

QVariantList ItemList::params() const {
    if (!all && numbers.size() > kMaxBoundNumbers)
        return {QLatin1Char(',') + numbers.join(QLatin1Char(',')) + QLatin1Char(',')};
    QVariantList values;
    values.reserve(numbers.size());
    for (const QString& number : numbers)
        values << number;
    return values;
}

} // namespace modDA
