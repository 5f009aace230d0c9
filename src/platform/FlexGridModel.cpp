#include "platform/FlexGridModel.h"

#include "platform/FlexGridCells.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace corvelix {

namespace {

Qt::Alignment toQt(FlexAlign alignment) {
    switch (alignment) {
    case FlexAlign::LeftTop:
        return Qt::AlignLeft | Qt::AlignTop;
    case FlexAlign::LeftCenter:
    case FlexAlign::General:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexAlign::LeftBottom:
        return Qt::AlignLeft | Qt::AlignBottom;
    case FlexAlign::CenterTop:
        return Qt::AlignHCenter | Qt::AlignTop;
    case FlexAlign::CenterCenter:
        return Qt::AlignCenter;
    case FlexAlign::CenterBottom:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case FlexAlign::RightTop:
        return Qt::AlignRight | Qt::AlignTop;
    case FlexAlign::RightCenter:
        return Qt::AlignRight | Qt::AlignVCenter;
    case FlexAlign::RightBottom:
        return Qt::AlignRight | Qt::AlignBottom;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

void FlexGridModel::refresh() {
    beginResetModel();
    const int fixed = grid_.fixedShown();
    offset_ = fixedPart_ ? 0 : fixed;
    rows_ = fixedPart_ ? fixed : grid_.cells_->rows - fixed;
    cols_ = grid_.cells_->cols;
    endResetModel();
}

void FlexGridModel::changed(int row1, int col1, int row2, int col2) {
    const int r1 = std::max(row1 - offset_, 0);
    const int r2 = std::min(row2 - offset_, rows_ - 1);
    const int c1 = std::max(col1, 0);
    const int c2 = std::min(col2, cols_ - 1);
    if (r1 > r2 || c1 > c2)
        return;
    emit dataChanged(index(r1, c1), index(r2, c2));
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    const FlexGrid::Cells& cells = *grid_.cells_;
    const int r = index.row() + offset_;
    const int c = index.column();
    if (!cells.inside(r, c))
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const QString& text = cells.texts[cells.at(r, c)];
        // Lists are kept with CR LF between their lines; the view breaks on LF alone.
        if (text.contains(QLatin1Char('\r'))) {
            QString shown = text;
            shown.remove(QLatin1Char('\r'));
            return shown;
        }
        return text;
    }
    case Qt::BackgroundRole: {
        if (!cells.back.empty() && cells.back[cells.at(r, c)] != 0)
            return QColor::fromRgba(cells.back[cells.at(r, c)]);
        if (fixedPart_ || c < grid_.fixedCols_)
            return QApplication::palette().button();
        return {};
    }
    case Qt::ForegroundRole:
        if (!cells.fore.empty() && cells.fore[cells.at(r, c)] != 0)
            return QColor::fromRgba(cells.fore[cells.at(r, c)]);
        return {};
    case Qt::TextAlignmentRole: {
        quint8 a = cells.align.empty() ? kNoAlignment : cells.align[cells.at(r, c)];
        if (a == kNoAlignment)
            a = cells.colAlign[std::size_t(c)];
        return QVariant::fromValue(toQt(FlexAlign(a)));
    }
    default:
        return {};
    }
}

} // namespace corvelix
