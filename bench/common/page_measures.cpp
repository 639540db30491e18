#include "page_measures.h"

#include <algorithm>
#include <chrono>

namespace vantola::bench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double medianSeconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return median(times);
}

CutParameters wholePageCut(qint32 width, qint32 height, qint32 whiteLevel) {
    CutParameters parameters;
    parameters.W = width;
    parameters.H = height;
    parameters.lastColumnRead = width - 1;
    parameters.lSeuilPixel = whiteLevel * 10000;
    parameters.lNiveauBlanc = whiteLevel;
    return parameters;
}

} // namespace vantola::bench
