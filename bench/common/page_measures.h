#pragma once

// What several benchmarks measure a page with: the median of repeated timings, the cut of a whole
// page at one white level, and the page as a JPEG file through Qt (the decoding reference).

#include "cutting/cut_decisions.h"

#include <QByteArray>
#include <QImage>
#include <functional>
#include <vector>

namespace vantola::bench {

// The middle value of `values` (the upper one of the two middle values for an even count).
double median(std::vector<double> values);

// The median wall-clock time of `runs` runs of `work`, in seconds.
double medianSeconds(int runs, const std::function<void()>& work);

// The cut parameters of a whole `width` x `height` page at white level `whiteLevel`, first pass.
CutParameters wholePageCut(qint32 width, qint32 height, qint32 whiteLevel);

// The page as a JPEG file of quality 90 written by Qt; the benchmark ends when Qt cannot write it.
QByteArray qtJpeg(const QImage& page);

// The picture of a JPEG file as Qt reads it.
QImage qtDecodedJpeg(const QByteArray& bytes);

} // namespace vantola::bench
