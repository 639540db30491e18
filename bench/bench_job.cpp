// A folder job against its floor. The job cuts 50 pages of 2480 x 3508 (real comic pages
// upscaled when the shared pages are there, else generated pages) and is timed from end to end;
// its floor is, measured in the same run, decoding the same pages plus encoding the same piece
// areas with our encoder. Also reports pages per second and the job's peak memory, each beside
// its target.
//
//   bench_job [pages]      (default 50)

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "job_pages.h"
#include "process_measures.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <chrono>
#include <cstdio>

using namespace vantola;
using namespace vantola::bench;
using test::peakMemoryMiB;
using test::resetPeakMemory;
using test::secondsSince;

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    allocateLikeTheProgram();
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const JobFolders folders(pageCount);
    const test::TempFolder& root = folders.root;
    const QString& pages = folders.pages;
    const QString& home = folders.home;

    ProgramState state = loadProgramState(home);
    state.bSansMessage = true;
    JobHost host;
    CuttingJob job(state, host);
    // The floor encodes the rectangles of the job's record, each apart from this process.
    const double floor =
        floorTimingApart([&] { CuttingJob(state, host).Decoupage(pages, QString(), 0); }, pages,
                         state.sFichierDecoupage, root.path() + QStringLiteral("scratch.jpg"))
            .wall;
    QDir(pages + QStringLiteral("VANTOLA")).removeRecursively();
    resetPeakMemory();
    const double baseMemory = peakMemoryMiB();
    const auto start = std::chrono::steady_clock::now();
    const JobSummary summary = job.Decoupage(pages, QString(), 0);
    const double jobSeconds = secondsSince(start);
    const double jobPeak = peakMemoryMiB();

    std::printf("job: %d pages, %d pieces, %d failed pages\n", pageCount, summary.pieces,
                summary.errors);
    std::printf("job time            %8.2f s  (%.2f pages/s; target >= 20 on "
                "two cores)\n",
                jobSeconds, pageCount / jobSeconds);
    std::printf("floor (decode+encode) %6.2f s\n", floor);
    std::printf("job / floor         %8.2f  (overhead %+.0f %%)\n", jobSeconds / floor,
                (jobSeconds / floor - 1.0) * 100.0);
    std::printf("peak memory         %8.0f MiB during the job (%.0f MiB before it; target: "
                "flat, not above today's)\n",
                jobPeak, baseMemory);
    return summary.errors == 0 ? 0 : 1;
}
