#pragma once

// What several benchmarks measure a page with: the median of repeated timings, and the cut of a
// whole page at one white level.

#include "cutting/cut_decisions.h"

#include <functional>
#include <vector>

namespace vantola::bench {

// The middle value of `values` (the upper one of the two middle values for an even count).
double median(std::vector<double> values);

// The median wall-clock time of `runs` runs of `work`, in seconds.
double medianSeconds(int runs, const std::function<void()>& work);

// The cut parameters of a whole `width` x `height` page at white level `whiteLevel`, first pass.
CutParameters wholePageCut(qint32 width, qint32 height, qint32 whiteLevel);

} // namespace vantola::bench
