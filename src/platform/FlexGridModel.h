#pragma once

#include "platform/FlexGrid.h"

#include <QAbstractTableModel>

namespace corvelix {

// One of the grid's two parts over the same cells: the fixed rows, or the rows below them.
// Its shape is taken when it is refreshed, so that writes made while the grid is not drawn
// reach the views in one reset.
class FlexGridModel : public QAbstractTableModel {
public:
    FlexGridModel(FlexGrid& grid, bool fixedPart)
        : QAbstractTableModel(&grid), grid_(grid), fixedPart_(fixedPart) {}

    void refresh();
    void changed(int row1, int col1, int row2, int col2);
    [[nodiscard]] int offset() const { return offset_; }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : cols_;
    }

    QVariant data(const QModelIndex& index, int role) const override;

private:
    FlexGrid& grid_;
    bool fixedPart_;
    int offset_ = 0;
    int rows_ = 0;
    int cols_ = 0;
};

} // namespace corvelix
