// How a job scales: folder jobs of 100, 250 and 500 pages (time per page should stay the same,
// peak memory should not grow with the number of pages), and one A3 page at 600 dpi
// (7016 x 9921, 70 megapixels) cut without error, with its time and peak memory.
//
//   bench_scale [largest page count]      (default 500)

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "support/page_generator.h"
#include "support/process_measures.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>

using namespace vantola;
using test::peakMemoryMiB;
using test::resetPeakMemory;
using test::secondsSince;

namespace {

struct JobRun {
    double seconds = 0;
    double peakMiB = 0;
    JobSummary summary;
};

JobRun runJob(const QString& folder, const QString& home) {
    ProgramState state = loadProgramState(home);
    state.bSansMessage = true;
    JobHost host;
    CuttingJob job(state, host);
    resetPeakMemory();
    const auto start = std::chrono::steady_clock::now();
    JobRun run;
    run.summary = job.Decoupage(folder, QString(), 0);
    run.seconds = secondsSince(start);
    run.peakMiB = peakMemoryMiB();
    return run;
}

// A folder of `count` pages: ten generated A4 pages at 150 dpi, copied round.
void fillFolder(const QString& folder, int count) {
    QDir().mkpath(folder);
    QStringList originals;
    for (int seed = 1; seed <= 10; ++seed) {
        test::PageSpec spec;
        spec.seed = seed;
        spec.noise = 4;
        originals << test::savePage(test::generatePage(spec).image, folder,
                                    QStringLiteral("page%1").arg(seed, 4, 10, QLatin1Char('0')),
                                    test::PageFormat::Jpeg, 90);
    }
    for (int i = 11; i <= count; ++i)
        QFile::copy(originals.at((i - 1) % 10),
                    folder + QStringLiteral("page%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int largest = argc > 1 ? std::max(10, atoi(argv[1])) : 500;
    test::TempFolder root;
    const QString home = root.path() + QStringLiteral("home/");
    QDir().mkpath(home);

    std::printf("%8s %10s %12s %12s %10s\n", "pages", "pieces", "seconds", "ms/page", "peak MiB");
    for (const int count : {largest / 5, largest / 2, largest}) {
        const QString folder = root.path() + QStringLiteral("job%1/").arg(count);
        fillFolder(folder, count);
        const JobRun run = runJob(folder, home);
        std::printf("%8d %10d %12.2f %12.1f %10.0f%s\n", count, run.summary.pieces, run.seconds,
                    run.seconds * 1000.0 / count, run.peakMiB,
                    run.summary.errors == 0 ? "" : "  (some pages failed)");
        QDir(folder).removeRecursively();
    }

    const QString large = root.path() + QStringLiteral("large/");
    QDir().mkpath(large);
    test::PageSpec spec;
    spec.width = 7016;
    spec.height = 9921;
    spec.margin = 300;
    spec.gutter = 120;
    spec.noise = 4;
    test::savePage(test::generatePage(spec).image, large, QStringLiteral("a3-600dpi"),
                   test::PageFormat::Jpeg, 90);
    const JobRun run = runJob(large, home);
    std::printf("A3 at 600 dpi (7016x9921): %d pieces, %d failed pages, %.2f s, peak %.0f MiB\n",
                run.summary.pieces, run.summary.errors, run.seconds, run.peakMiB);
    return run.summary.errors == 0 ? 0 : 1;
}
