// How a job scales: folder jobs of 100, 250 and 500 pages (time per page should stay the same,
// peak memory should not grow with the number of pages), and one A3 page at 600 dpi
// (7016 x 9921, 70 megapixels) cut without error, with its time and peak memory.
//
// Each job runs in a child process of its own, so that its peak memory is its own and not what
// an earlier job left to the allocator. The jobs run with the default number of threads.
//
//   bench_scale [largest page count]      (default 500)

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "page_generator.h"
#include "process_measures.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
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

// Child side: runs one job and prints its figures on one line.
int runJobAndReport(const QString& folder, const QString& home) {
    const JobRun run = runJob(folder, home);
    std::printf("%.4f %.1f %d %d\n", run.seconds, run.peakMiB, run.summary.pieces,
                run.summary.errors);
    return 0;
}

// Parent side: the same job in a child process.
JobRun runJobInChild(const QString& folder, const QString& home) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--one-job"), folder, home});
    JobRun run;
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_scale: the job over %s did not finish\n", qPrintable(folder));
        run.summary.errors = -1;
        return run;
    }
    const QStringList figures = QString::fromUtf8(child.readAllStandardOutput()).split(' ');
    if (figures.size() == 4) {
        run.seconds = figures.at(0).toDouble();
        run.peakMiB = figures.at(1).toDouble();
        run.summary.pieces = figures.at(2).toInt();
        run.summary.errors = figures.at(3).trimmed().toInt();
    }
    return run;
}

// A folder of `count` pages: ten generated A4 pages at 150 dpi, copied round.
void fillFolder(const QString& folder, int count) {
    QDir().mkpath(folder);
    QStringList originals;
    for (int seed = 1; seed <= 10; ++seed) {
        generator::PageSpec spec;
        spec.seed = seed;
        spec.noise = 4;
        originals << generator::savePage(
            generator::generatePage(spec).image, folder,
            QStringLiteral("page%1").arg(seed, 4, 10, QLatin1Char('0')),
            generator::PageFormat::Jpeg, 90);
    }
    for (int i = 11; i <= count; ++i)
        QFile::copy(originals.at((i - 1) % 10),
                    folder + QStringLiteral("page%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--one-job")
        return runJobAndReport(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int largest = argc > 1 ? std::max(10, atoi(argv[1])) : 500;
    test::TempFolder root;
    const QString home = root.path() + QStringLiteral("home/");
    QDir().mkpath(home);

    std::printf("%8s %10s %12s %12s %10s\n", "pages", "pieces", "seconds", "ms/page", "peak MiB");
    for (const int count : {largest / 5, largest / 2, largest}) {
        const QString folder = root.path() + QStringLiteral("job%1/").arg(count);
        fillFolder(folder, count);
        const JobRun run = runJobInChild(folder, home);
        std::printf("%8d %10d %12.2f %12.1f %10.0f%s\n", count, run.summary.pieces, run.seconds,
                    run.seconds * 1000.0 / count, run.peakMiB,
                    run.summary.errors == 0 ? "" : "  (some pages failed)");
        QDir(folder).removeRecursively();
    }

    const QString large = root.path() + QStringLiteral("large/");
    QDir().mkpath(large);
    generator::PageSpec spec;
    spec.width = 7016;
    spec.height = 9921;
    spec.margin = 300;
    spec.gutter = 120;
    spec.noise = 4;
    generator::savePage(generator::generatePage(spec).image, large, QStringLiteral("a3-600dpi"),
                        generator::PageFormat::Jpeg, 90);
    const JobRun run = runJobInChild(large, home);
    std::printf("A3 at 600 dpi (7016x9921): %d pieces, %d failed pages, %.2f s, peak %.0f MiB\n",
                run.summary.pieces, run.summary.errors, run.seconds, run.peakMiB);
    return run.summary.errors == 0 ? 0 : 1;
}
