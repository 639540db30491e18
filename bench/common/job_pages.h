#pragma once

#include "support/temp_folder.h"

#include <QString>
#include <chrono>
#include <functional>

namespace vantola::bench {

// Pages of the job benchmarks: A4 at 300 dpi.
inline constexpr int kPageWidth = 2480;
inline constexpr int kPageHeight = 3508;

// Wall-clock and CPU time (user + sys of the whole process) of one piece of work.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double cpuSeconds();

// The allocator setting that the program's main makes, so that a job measured here uses memory
// as the program does.
void allocateLikeTheProgram();

template <typename Work>
Timing timed(Work&& work) {
    const double cpuStart = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    Timing timing;
    timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.cpu = cpuSeconds() - cpuStart;
    return timing;
}

// A scratch folder for a job: `pages` (filled with the job's pages, as writeJobPages does) and
// `home`, an empty program folder.
struct JobFolders {
    explicit JobFolders(int pageCount);
    test::TempFolder root;
    QString pages;
    QString home;
};

// Writes `count` JPEG pages of kPageWidth x kPageHeight into the folder (page001.jpg ...): the
// shared comic scans upscaled when they are there, else generated pages.
void writeJobPages(const QString& folder, int count);

// The single-core floor of a job: decoding every page of the folder, and encoding with our
// encoder the piece rectangles that the job recorded for it in `record` (each into `scratch`).
Timing floorTiming(const QString& folder, const QString& record, const QString& scratch);

// The floor as measured in child processes: one runs `job` (which writes the record that the
// floor reads), the next measures the floor. Neither the job's memory nor its setting of the
// allocator reach this process or the floor.
Timing floorTimingApart(const std::function<void()>& job, const QString& folder,
                        const QString& record, const QString& scratch);

} // namespace vantola::bench
