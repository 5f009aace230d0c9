#pragma once

// The grid's cell store, shared by the grid and its models.

#include "platform/FlexGrid.h"

#include <QRgb>

#include <algorithm>
#include <vector>

namespace corvelix {

inline constexpr quint8 kNoAlignment = 0xFF;
inline constexpr int kDefaultColWidthTwips = 975;

// Row-major cell vectors; the colour and alignment vectors exist only once something is set.
struct FlexGrid::Cells {
    int rows = 0;
    int cols = 0;
    std::vector<QString> texts;
    std::vector<QRgb> back;
    std::vector<QRgb> fore;
    std::vector<quint8> align;
    std::vector<quint8> colAlign; // per column
    std::vector<int> colWidth;    // twips, -1 default
    std::vector<int> rowHeight;   // twips, -1 default

    [[nodiscard]] bool inside(int r, int c) const {
        return r >= 0 && c >= 0 && r < rows && c < cols;
    }
    [[nodiscard]] std::size_t at(int r, int c) const { return std::size_t(r) * cols + c; }

    template <class T> void reshape(std::vector<T>& v, int newRows, int newCols, T empty) const {
        if (v.empty())
            return;
        std::vector<T> out(std::size_t(newRows) * newCols, empty);
        for (int r = 0; r < std::min(rows, newRows); ++r)
            for (int c = 0; c < std::min(cols, newCols); ++c)
                out[std::size_t(r) * newCols + c] = std::move(v[at(r, c)]);
        v = std::move(out);
    }

    void resize(int newRows, int newCols) {
        newRows = std::max(newRows, 0);
        newCols = std::max(newCols, 0);
        if (newCols == cols) {
            // Rows only: the vectors grow or shrink at their end.
            const std::size_t n = std::size_t(newRows) * newCols;
            texts.resize(n);
            if (!back.empty())
                back.resize(n, 0);
            if (!fore.empty())
                fore.resize(n, 0);
            if (!align.empty())
                align.resize(n, kNoAlignment);
        } else {
            reshape(texts, newRows, newCols, QString());
            if (texts.empty())
                texts.resize(std::size_t(newRows) * newCols);
            reshape(back, newRows, newCols, QRgb(0));
            reshape(fore, newRows, newCols, QRgb(0));
            reshape(align, newRows, newCols, kNoAlignment);
        }
        colAlign.resize(std::size_t(newCols), quint8(FlexAlign::General));
        colWidth.resize(std::size_t(newCols), -1);
        rowHeight.resize(std::size_t(newRows), -1);
        rows = newRows;
        cols = newCols;
    }

    template <class T> void insertRowInto(std::vector<T>& v, int row, T empty) {
        if (!v.empty())
            v.insert(v.begin() + qsizetype(row) * cols, std::size_t(cols), empty);
    }

    void insertRow(int row) {
        row = std::clamp(row, 0, rows);
        insertRowInto(texts, row, QString());
        if (texts.size() < std::size_t(rows + 1) * cols)
            texts.resize(std::size_t(rows + 1) * cols);
        insertRowInto(back, row, QRgb(0));
        insertRowInto(fore, row, QRgb(0));
        insertRowInto(align, row, kNoAlignment);
        rowHeight.insert(rowHeight.begin() + row, -1);
        ++rows;
    }

    template <class T> void eraseRowFrom(std::vector<T>& v, int row) {
        if (!v.empty())
            v.erase(v.begin() + qsizetype(row) * cols, v.begin() + qsizetype(row + 1) * cols);
    }

    void removeRow(int row) {
        eraseRowFrom(texts, row);
        eraseRowFrom(back, row);
        eraseRowFrom(fore, row);
        eraseRowFrom(align, row);
        rowHeight.erase(rowHeight.begin() + row);
        --rows;
    }

    void fill(std::vector<QRgb>& v, int r1, int c1, int r2, int c2, QRgb value) {
        if (v.empty()) {
            if (value == 0)
                return;
            v.assign(std::size_t(rows) * cols, 0);
        }
        for (int r = r1; r <= r2; ++r)
            std::fill(v.begin() + qsizetype(at(r, c1)), v.begin() + qsizetype(at(r, c2)) + 1,
                      value);
    }
};

} // namespace corvelix
