#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <unordered_map>

namespace modDA {

// A static, read-only snapshot of a query's rows (all read at once), walked like the old
// recordsets: eof()/moveNext(), fields by name ignoring letter case, Null as a null QVariant.
class Recordset {
public:
    Recordset() = default;
    Recordset(QStringList fieldNames, QList<QVariantList> rows);

    [[nodiscard]] bool eof() const { return position_ >= rows_.size(); }
    [[nodiscard]] bool bof() const { return rows_.isEmpty() || position_ < 0; }
    void moveNext() { ++position_; }
    void moveFirst() { position_ = 0; }
    [[nodiscard]] int recordCount() const { return static_cast<int>(rows_.size()); }
    [[nodiscard]] int absolutePosition() const { return position_; }

    // Field of the current row; a database Null is a null QVariant. An unknown name raises
    // a VbError (as the old recordsets did: "Item cannot be found in the collection ...").
    [[nodiscard]] QVariant field(const QString& name) const { return field(fieldIndex(name)); }
    [[nodiscard]] QVariant field(int index) const;
    [[nodiscard]] QVariant operator[](const QString& name) const { return field(name); }
    // The field joined to the empty text: Null gives "".
    [[nodiscard]] QString text(const QString& name) const { return text(fieldIndex(name)); }
    [[nodiscard]] QString text(int index) const;
    [[nodiscard]] bool isNull(const QString& name) const { return field(name).isNull(); }
    [[nodiscard]] bool hasField(const QString& name) const;

    // The column of a field name (letter case ignored; the first of two equal names). Loops
    // over many rows look a name up once and read the rows by index.
    [[nodiscard]] int fieldIndex(const QString& name) const;

    [[nodiscard]] const QStringList& fields() const { return fieldNames_; }
    // Other rows under the same fields, sharing this snapshot's name look-up (cheap to make
    // many of, as when a declaration-wide read is split per item).
    [[nodiscard]] Recordset withRows(QList<QVariantList> rows) const;
    [[nodiscard]] int fieldCount() const { return static_cast<int>(fieldNames_.size()); }
    [[nodiscard]] const QList<QVariantList>& rows() const { return rows_; }

private:
    // The current row's value in place (the checks of field()).
    [[nodiscard]] const QVariant& value(int index) const;

    // Hash and equality of names with letter case ignored, without building folded copies.
    struct NameHash {
        std::size_t operator()(const QString& name) const noexcept;
    };
    struct NameEqual {
        bool operator()(const QString& a, const QString& b) const noexcept;
    };
    using NameIndex = std::unordered_map<QString, int, NameHash, NameEqual>;

    QStringList fieldNames_;
    // Built once per snapshot and shared by its copies.
    std::shared_ptr<const NameIndex> index_;
    QList<QVariantList> rows_;
    int position_ = 0;
};

} // namespace modDA
