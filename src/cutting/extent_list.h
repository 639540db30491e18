#pragma once

#include <QtGlobal>
#include <vector>

namespace vantola {

// A pair of rows (top, bottom) of a band, or of columns (left, right) of a block.
struct Extent {
    qint32 start = 0;
    qint32 end = 0;
    friend bool operator==(const Extent&, const Extent&) = default;
};

// The band list `tabBandes` and the block list `tabBlocs`: extents indexed from 0 that read as if
// the list went on without end with (0, 0) entries. Reading an entry that was never written, or
// a negative index, gives (0, 0); writing an entry creates the ones before it as (0, 0); removing
// an entry moves the later ones up. Nothing is ever read outside the stored entries.
class ExtentList {
public:
    Extent at(qint64 index) const;
    qint32 start(qint64 index) const { return at(index).start; }
    qint32 end(qint64 index) const { return at(index).end; }

    // Writing a negative index raises the subscript error.
    void set(qint64 index, Extent value) { slot(index) = value; }
    void setStart(qint64 index, qint32 value) { slot(index).start = value; }
    void setEnd(qint64 index, qint32 value) { slot(index).end = value; }

    // Removes entry index; the later entries move up by one.
    void removeAt(qint64 index);
    // Keeps entries 0..count - 1; the later ones read (0, 0) again.
    void truncate(qint64 count);
    // Entries 0..count - 1, with (0, 0) for those never written.
    std::vector<Extent> firstEntries(qint64 count) const;

private:
    Extent& slot(qint64 index);

    std::vector<Extent> entries_;
};

} // namespace vantola
