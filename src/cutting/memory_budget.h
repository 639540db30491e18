#pragma once

#include <QSize>
#include <QString>

namespace vantola {

inline constexpr qint64 kMebibyte = qint64(1) << 20;

// The memory that the pages in flight of a job may take together, in bytes, from the key
// MEMOIRE_MAX (MiB, a whole number from 1) of section PARAM in param.ini. No key, anything else,
// or a param.ini that cannot be read gives half the physical memory.
qint64 jobMemorySetting(const QString& paramFile);

// What cutting a page of this size takes at most: its picture, its grid, its pieces' pictures
// and the decoder's buffers.
qint64 pageMemoryEstimate(QSize size);

// Raises the out-of-memory error when a page of this size alone needs more than the budget.
void refuseBeyondBudget(QSize size, qint64 budget);

} // namespace vantola
