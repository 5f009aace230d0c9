#include "data/Recordset.h"

#include "runtime/VbError.h"

namespace modDA {

Recordset::Recordset(QStringList fieldNames, QList<QVariantList> rows)
    : fieldNames_(std::move(fieldNames)), rows_(std::move(rows)) {
    for (int i = 0; i < fieldNames_.size(); ++i) {
        // The first of two equal names wins, as with the old recordsets.
        const QString key = fieldNames_[i].toUpper();
        if (!index_.contains(key))
            index_.insert(key, i);
    }
}

int Recordset::indexOf(const QString& name) const {
    const auto it = index_.constFind(name.toUpper());
    if (it == index_.constEnd())
        throw corvelix::VbError(
            3265, QStringLiteral("Recordset"),
            QStringLiteral("No se encontró el elemento en la colección que corresponde con el "
                           "nombre o el ordinal solicitado: ") +
                name);
    return it.value();
}

bool Recordset::hasField(const QString& name) const {
    return index_.contains(name.toUpper());
}

QVariant Recordset::field(const QString& name) const {
    return field(indexOf(name));
}

QVariant Recordset::field(int index) const {
    if (eof() || position_ < 0)
        throw corvelix::VbError(3021, QStringLiteral("Recordset"),
                                QStringLiteral("BOF o EOF es True, o el registro actual se "
                                               "eliminó."));
    if (index < 0 || index >= fieldNames_.size())
        throw corvelix::VbError(3265, QStringLiteral("Recordset"),
                                QStringLiteral("No se encontró el elemento en la colección."));
    return rows_[position_].value(index);
}

QString Recordset::text(const QString& name) const {
    const QVariant v = field(name);
    return v.isNull() ? QString() : v.toString();
}

} // namespace modDA
