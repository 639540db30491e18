#pragma once

#include <QtGlobal>
#include <cstddef>
#include <memory>

namespace vantola {

// The page grid `tabPixels`: one signed 32-bit packed colour R + 256·G + 65536·B per cell, for
// columns 0..lastColumn and rows 0..lastRow. A W x H page gets columns 0..W and rows 0..H, one
// column and one row more than the page holds; cells that are never read stay 0.
//
// Rows are stored one after another, so a row is a plain array and a scan along rows walks memory
// in order. The cells come zeroed from the system.
class PageGrid {
public:
    PageGrid() = default;
    PageGrid(qint32 lastColumn, qint32 lastRow) { allocate(lastColumn, lastRow); }

    PageGrid(PageGrid&&) noexcept = default;
    PageGrid& operator=(PageGrid&&) noexcept = default;
    PageGrid(const PageGrid&) = delete;
    PageGrid& operator=(const PageGrid&) = delete;

    // Replaces the grid by one of columns 0..lastColumn and rows 0..lastRow, all 0; a grid of the
    // same size keeps its memory and is cleared. A negative bound raises the subscript error; a
    // size that cannot be counted or held raises the overflow error, and the grid is then empty.
    void allocate(qint32 lastColumn, qint32 lastRow);

    // Cells that the caller writes before it reads any cell: columns 0..columns - 1 of rows
    // firstRow..lastRow.
    struct Overwritten {
        qint32 firstRow = 0;
        qint32 lastRow = -1;
        qint32 columns = 0;
    };
    // allocate, except that a grid of the same size clears only the cells outside `overwritten`
    // (a page's grid is mostly written over by its page: clearing it first would write it twice).
    void allocate(qint32 lastColumn, qint32 lastRow, const Overwritten& overwritten);

    qint32 columnCount() const { return columns_; }
    qint32 rowCount() const { return rows_; }
    bool contains(qint64 x, qint64 y) const {
        return x >= 0 && y >= 0 && x < columns_ && y < rows_;
    }

    // Row y as an array of columnCount() cells; y must lie in 0..rowCount() - 1.
    qint32* row(qint32 y) { return storage_->cells() + qint64(y) * columns_; }
    const qint32* row(qint32 y) const { return storage_->cells() + qint64(y) * columns_; }

    // Checked access: a cell outside the grid raises the subscript error.
    qint32 at(qint64 x, qint64 y) const;
    void set(qint64 x, qint64 y, qint32 value);

private:
    // Zeroed memory mapped from the system; a failed mapping raises the overflow error.
    class Storage {
    public:
        explicit Storage(std::size_t bytes);
        ~Storage();
        Storage(const Storage&) = delete;
        Storage& operator=(const Storage&) = delete;
        qint32* cells() const { return cells_; }

    private:
        std::size_t bytes_ = 0;
        qint32* cells_ = nullptr;
    };

    qint32 columns_ = 0;
    qint32 rows_ = 0;
    std::unique_ptr<Storage> storage_;
};

} // namespace vantola
