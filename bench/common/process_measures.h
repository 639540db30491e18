#pragma once

#include <chrono>

namespace vantola::test {

// Seconds elapsed since a point of the steady clock.
double secondsSince(std::chrono::steady_clock::time_point start);

// Peak resident memory of this process since the last reset, in MiB (VmHWM); -1 when unknown.
double peakMemoryMiB();

// Starts a new peak-memory measure (writes 5 to /proc/self/clear_refs).
void resetPeakMemory();

} // namespace vantola::test
