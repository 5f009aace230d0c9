#include "data/Recordset.h"

#include "runtime/VbError.h"

namespace modDA {

std::size_t Recordset::NameHash::operator()(const QString& name) const noexcept {
    // FNV-1a over the case-folded characters: names equal without letter case hash alike.
    std::size_t hash = 1469598103934665603ULL;
    for (const QChar c : name) {
        hash ^= c.toCaseFolded().unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

Recordset::Recordset(QStringList fieldNames, QList<QVariantList> rows)
    : fieldNames_(std::move(fieldNames)), rows_(std::move(rows)) {
    auto index = std::make_shared<NameIndex>();
    index->reserve(static_cast<std::size_t>(fieldNames_.size()));
    // The first of two equal names wins, as with the old recordsets.
    for (int i = 0; i < fieldNames_.size(); ++i)
        index->emplace(fieldNames_[i], i);
    index_ = std::move(index);
}

Recordset Recordset::withRows(QList<QVariantList> rows) const {
    Recordset out;
    out.fieldNames_ = fieldNames_;
    out.index_ = index_;
    out.rows_ = std::move(rows);
    return out;
}

int Recordset::fieldIndex(const QString& name) const {
    if (index_) {
        const auto it = index_->find(name);
        if (it != index_->end())
            return it->second;
    }
    throw corvelix::VbError(
        3265, QStringLiteral("Recordset"),
        QStringLiteral("No se encontró el elemento en la colección que corresponde con el "
                       "nombre o el ordinal solicitado: ") +
            name);
}

bool Recordset::hasField(const QString& name) const {
    return index_ && index_->find(name) != index_->end();
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

QString Recordset::text(int index) const {
    const QVariant v = field(index);
    return v.isNull() ? QString() : v.toString();
}

} // namespace modDA
