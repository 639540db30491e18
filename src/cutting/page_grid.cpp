#include "cutting/page_grid.h"

#include "settings/app_error.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>

namespace vantola {

PageGrid::Storage::Storage(std::size_t bytes) : bytes_(bytes) {
    // Fresh anonymous pages come zeroed from the system. The page cutter writes nearly every
    // cell, so the pages are mapped in at once: cheaper than one fault per page later.
    void* cells = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (cells == MAP_FAILED) {
        raiseError(kErrOverflow);
    }
    cells_ = static_cast<qint32*>(cells);
}

PageGrid::Storage::~Storage() {
    if (cells_ != nullptr) {
        munmap(cells_, bytes_);
    }
}

void PageGrid::allocate(qint32 lastColumn, qint32 lastRow) {
    allocate(lastColumn, lastRow, Overwritten{});
}

void PageGrid::allocate(qint32 lastColumn, qint32 lastRow, const Overwritten& overwritten) {
    const qint32 oldColumns = columns_;
    const qint32 oldRows = rows_;
    columns_ = 0;
    rows_ = 0;
    if (lastColumn < 0 || lastRow < 0) {
        storage_.reset();
        raiseError(kErrSubscript);
    }
    qint32 columns = 0;
    qint32 rows = 0;
    if (__builtin_add_overflow(lastColumn, 1, &columns) ||
        __builtin_add_overflow(lastRow, 1, &rows)) {
        storage_.reset();
        raiseError(kErrOverflow);
    }
    // 64-bit count of cells; the byte count must also fit the address space.
    const std::uint64_t cells = std::uint64_t(columns) * std::uint64_t(rows);
    if (cells > std::uint64_t(PTRDIFF_MAX) / sizeof(qint32)) {
        storage_.reset();
        raiseError(kErrOverflow);
    }
    const std::size_t bytes = std::size_t(cells) * sizeof(qint32);
    if (storage_ && columns == oldColumns && rows == oldRows) {
        // The next page of a job usually has the size of the last one: clearing the cells
        // already mapped costs far less than faulting in fresh pages.
        const qint32 first = std::max(overwritten.firstRow, 0);
        const qint32 last = std::min(overwritten.lastRow, rows - 1);
        const qint32 kept = std::clamp(overwritten.columns, 0, columns);
        const std::size_t rowBytes = std::size_t(columns) * sizeof(qint32);
        qint32* cells = storage_->cells();
        for (qint32 y = 0; y < rows; ++y) {
            qint32* row = cells + std::size_t(y) * std::size_t(columns);
            if (y < first || y > last)
                std::memset(row, 0, rowBytes);
            else
                std::memset(row + kept, 0, std::size_t(columns - kept) * sizeof(qint32));
        }
        (void)bytes;
    } else {
        storage_.reset();
        storage_ = std::make_unique<Storage>(bytes);
    }
    columns_ = columns;
    rows_ = rows;
}

qint32 PageGrid::at(qint64 x, qint64 y) const {
    if (!contains(x, y)) {
        raiseError(kErrSubscript);
    }
    return row(qint32(y))[x];
}

void PageGrid::set(qint64 x, qint64 y, qint32 value) {
    if (!contains(x, y)) {
        raiseError(kErrSubscript);
    }
    row(qint32(y))[x] = value;
}

} // namespace vantola
