// A folder job on one thread against the same job on two. Both cut the same 50 pages of
// 2480 x 3508 (real comic pages upscaled when the shared pages are there, else generated pages)
// and must leave the same files. Reported: pages per second with 1 and with 2 threads, their
// ratio (target 1.7 on two cores; targets of 10 pages/s on one thread and 20 on two, beside their
// figures), the 2-thread job against its single-core floor (decoding the
// pages plus encoding the same piece areas with our encoder, on one core: the job on two threads
// should beat it), and the CPU time (user + sys) of each, since the machine may be shared. Each
// job runs `rounds` times, alternating, and the fastest run counts.
//
//   bench_threads [pages] [rounds]      (default 50 pages, 2 rounds)

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "job_pages.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <algorithm>
#include <cstdio>

using namespace vantola;
using namespace vantola::bench;

namespace {

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Name and digest of every file the job left, to check that both jobs wrote the same bytes.
QMap<QString, QByteArray> outputDigests(const QString& folder) {
    QMap<QString, QByteArray> digests;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name == QLatin1String("log.txt"))
            continue;
        QFile file(folder + name);
        if (file.open(QIODevice::ReadOnly))
            digests[name] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    }
    return digests;
}

struct JobRun {
    Timing timing;
    JobSummary summary;
    QMap<QString, QByteArray> digests;
};

JobRun runJob(ProgramState& state, const QString& pages, int threads) {
    QDir(pages + QStringLiteral("VANTOLA")).removeRecursively();
    JobHost host;
    CuttingJob job(state, host);
    job.threads = threads;
    JobRun run;
    run.timing = timed([&] { run.summary = job.Decoupage(pages, QString(), 0); });
    run.digests = outputDigests(pages + QStringLiteral("VANTOLA/"));
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    allocateLikeTheProgram();
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 2;
    const JobFolders folders(pageCount);
    const test::TempFolder& root = folders.root;
    const QString& pages = folders.pages;
    const QString& home = folders.home;
    std::printf("load average before: %s\n", qPrintable(loadAverage()));

    ProgramState state = loadProgramState(home);
    state.bSansMessage = true;
    // The floor encodes the rectangles of the job's record, each apart from this process.
    const Timing floor =
        floorTimingApart([&] { runJob(state, pages, 1); }, pages, state.sFichierDecoupage,
                         root.path() + QStringLiteral("scratch.jpg"));
    JobRun best[2];
    bool sameFiles = true;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            const JobRun run = runJob(state, pages, i + 1);
            std::printf("round %d, %d thread(s): %6.2f s wall, %6.2f s cpu\n", round + 1, i + 1,
                        run.timing.wall, run.timing.cpu);
            if (round == 0 || run.timing.wall < best[i].timing.wall)
                best[i] = run;
            sameFiles = sameFiles && run.digests == best[0].digests;
        }
    }
    std::printf("load average after:  %s\n\n", qPrintable(loadAverage()));

    const JobRun& one = best[0];
    const JobRun& two = best[1];
    std::printf("job: %d pages, %d pieces, %d failed pages; same files on 1 and 2 threads: %s\n",
                pageCount, two.summary.pieces, two.summary.errors, sameFiles ? "yes" : "NO");
    std::printf("1 thread            %7.2f s  %6.2f pages/s  cpu %7.2f s  (target >= 10 pages/s)\n",
                one.timing.wall, pageCount / one.timing.wall, one.timing.cpu);
    std::printf("2 threads           %7.2f s  %6.2f pages/s  cpu %7.2f s  (target >= 20 pages/s)\n",
                two.timing.wall, pageCount / two.timing.wall, two.timing.cpu);
    std::printf("floor, 1 core       %7.2f s  %6.2f pages/s  cpu %7.2f s  (decode + encode)\n",
                floor.wall, pageCount / floor.wall, floor.cpu);
    std::printf("speed-up 2/1        %7.2f   (target >= 1.70)\n",
                one.timing.wall / two.timing.wall);
    std::printf("2 threads / floor   %7.2f   (target < 1.00)\n", two.timing.wall / floor.wall);
    return sameFiles && two.summary.errors == 0 ? 0 : 1;
}
