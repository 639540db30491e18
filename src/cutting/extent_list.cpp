#include "cutting/extent_list.h"

#include "settings/app_error.h"

namespace vantola {

Extent ExtentList::at(qint64 index) const {
    if (index < 0 || index >= qint64(entries_.size())) {
        return {};
    }
    return entries_[std::size_t(index)];
}

Extent& ExtentList::slot(qint64 index) {
    if (index < 0) {
        raiseError(kErrSubscript);
    }
    if (index >= qint64(entries_.size())) {
        entries_.resize(std::size_t(index) + 1);
    }
    return entries_[std::size_t(index)];
}

void ExtentList::removeAt(qint64 index) {
    if (index >= 0 && index < qint64(entries_.size())) {
        entries_.erase(entries_.begin() + index);
    }
}

void ExtentList::truncate(qint64 count) {
    if (count <= 0) {
        entries_.clear();
    } else if (count < qint64(entries_.size())) {
        entries_.resize(std::size_t(count));
    }
}

std::vector<Extent> ExtentList::firstEntries(qint64 count) const {
    std::vector<Extent> entries;
    for (qint64 i = 0; i < count; ++i) {
        entries.push_back(at(i));
    }
    return entries;
}

} // namespace vantola
