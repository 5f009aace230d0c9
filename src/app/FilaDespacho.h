#pragma once

#include <QString>
#include <QTreeWidgetItem>
#include <QVariant>

#include <array>

// A row of the main window's list holding its texts itself. The list is filled with every
// declaration at start-up, and the item's own store takes several allocations per row and
// text; this one takes none beyond the item.
class FilaDespacho final : public QTreeWidgetItem {
public:
    static constexpr int kColumnas = 6;
    static constexpr int kColumnaFob = 4; // the amount, right-aligned

    explicit FilaDespacho(std::array<QString, kColumnas>&& textos) : textos_(std::move(textos)) {}

    [[nodiscard]] QVariant data(int column, int role) const override {
        if (column >= 0 && column < kColumnas) {
            if (role == Qt::DisplayRole || role == Qt::EditRole)
                return textos_[std::size_t(column)];
            if (role == Qt::TextAlignmentRole && column == kColumnaFob)
                return int(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant& value) override {
        if (column >= 0 && column < kColumnas &&
            (role == Qt::DisplayRole || role == Qt::EditRole)) {
            textos_[std::size_t(column)] = value.toString();
            emitDataChanged();
            return;
        }
        QTreeWidgetItem::setData(column, role, value);
    }

private:
    std::array<QString, kColumnas> textos_;
};
