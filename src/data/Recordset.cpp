#include "data/Recordset.h"

#include "runtime/VbError.h"

namespace modDA {

namespace {

// A character case-folded; ASCII (every column name in practice) without the Unicode tables.
char16_t folded(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    return QChar(c).toCaseFolded().unicode();
}

} // namespace

std::size_t Recordset::NameHash::operator()(const QString& name) const noexcept {
    // FNV-1a over the case-folded characters: names equal without letter case hash alike.
    std::size_t hash = 1469598103934665603ULL;
    for (const QChar c : name) {
        hash ^= folded(c.unicode());
        hash *= 1099511628211ULL;
    }
    return hash;
}

bool Recordset::NameEqual::operator()(const QString& a, const QString& b) const noexcept {
    // Plain ASCII on both sides is decided here; anything else by Qt's comparison.
    if (a.size() == b.size()) {
        const QChar* x = a.constData();
        const QChar* y = b.constData();
        qsizetype i = 0;
        for (; i < a.size(); ++i) {
            const char16_t cx = x[i].unicode();
            const char16_t cy = y[i].unicode();
            if ((cx | cy) >= 0x80)
                break;
            if (folded(cx) != folded(cy))
                return false;
        }
        if (i == a.size())
            return true;
    }
    return a.compare(b, Qt::CaseInsensitive) == 0;
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
    return value(index);
}

const QVariant& Recordset::value(int index) const {
    if (eof() || position_ < 0)
        throw corvelix::VbError(3021, QStringLiteral("Recordset"),
                                QStringLiteral("BOF o EOF es True, o el registro actual se "
                                               "eliminó."));
    if (index < 0 || index >= fieldNames_.size())
        throw corvelix::VbError(3265, QStringLiteral("Recordset"),
                                QStringLiteral("No se encontró el elemento en la colección."));
    const QVariantList& row = rows_[position_];
    // A row shorter than the fields reads as Null past its end.
    static const QVariant null;
    return index < row.size() ? row.at(index) : null;
}

QString Recordset::text(int index) const {
    // Read in place: a copy of the value is a needless cost in loops over many rows.
    const QVariant& v = value(index);
    return v.isNull() ? QString() : v.toString();
}

} // namespace modDA
