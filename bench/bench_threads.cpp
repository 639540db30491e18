// A folder job on one thread against the same job on two. Both cut the same 50 pages of
// 2480 x 3508 (real comic pages upscaled when the shared pages are there, else generated pages)
// and must leave the same files. Reported: pages per second with 1 and with 2 threads, their
// ratio (target 1.7 on two cores), the 2-thread job against its single-core floor (decoding the
// pages plus encoding the same piece areas with our encoder, on one core: the job on two threads
// should beat it), and the CPU time (user + sys) of each, since the machine may be shared. Each
// job runs `rounds` times, alternating, and the fastest run counts.
//
//   bench_threads [pages] [rounds]      (default 50 pages, 2 rounds)

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/picture_loader.h"
#include "settings/cls_initreg.h"
#include "settings/folder_listing.h"
#include "support/page_generator.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QMap>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace vantola;

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;

// Wall and CPU time of one piece of work.
struct Timing {
    double wall = 0;
    double cpu = 0; // user + sys of the whole process
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Portrait pages to upscale: the shared scans when they are there, else generated pages.
QList<QImage> sourcePictures() {
    QList<QImage> pictures;
    for (const char* folder : {"peppercarrot-ep02", "craphound"}) {
        const QString path =
            QStringLiteral(VANTOLA_SHARED_PAGES "/") + QLatin1String(folder) + QLatin1Char('/');
        for (const QString& name : listJpegPages(path)) {
            const QImage picture(path + name);
            if (!picture.isNull() && picture.height() > picture.width())
                pictures << picture;
        }
    }
    for (int seed = 1; pictures.isEmpty() && seed <= 6; ++seed) {
        test::PageSpec spec;
        spec.seed = std::uint64_t(seed);
        spec.noise = 4;
        pictures << test::generatePage(spec).image;
    }
    return pictures;
}

void writePages(const QString& folder, int count) {
    const QList<QImage> pictures = sourcePictures();
    for (int i = 0; i < count; ++i) {
        QImageWriter writer(folder +
                            QStringLiteral("page%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        writer.setQuality(90);
        writer.write(pictures.at(i % pictures.size())
                         .scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}

// The single-core floor: decode every page, and encode with our encoder the piece rectangles
// that the job recorded for it.
Timing floorTiming(const QString& folder, const QString& record, const QString& scratch) {
    Cls_InitREG ini;
    return timed([&] {
        for (const QString& name : listJpegPages(folder)) {
            const QString page = folder + name;
            const QImage picture = loadPicture(page);
            for (int n = 1;; ++n) {
                const auto key = [&](const QString& prefix) {
                    return ini
                        .IniLire(page, prefix + QString::number(n), QStringLiteral("0"), record)
                        .toInt();
                };
                const QRect rectangle(
                    QPoint(key(QStringLiteral("COLONNE_1_")), key(QStringLiteral("LIGNE_1_"))),
                    QPoint(key(QStringLiteral("COLONNE_2_")) - 1,
                           key(QStringLiteral("LIGNE_2_")) - 1));
                if (rectangle.isEmpty())
                    break;
                cImage buffer;
                buffer.CopyStdPicture(picture.copy(rectangle));
                cJpeg encoder;
                encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0);
                QFile::remove(scratch);
                encoder.SaveFile(scratch);
            }
        }
    });
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
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 2;
    test::TempFolder root;
    const QString pages = root.path() + QStringLiteral("pages/");
    const QString home = root.path() + QStringLiteral("home/");
    QDir().mkpath(pages);
    QDir().mkpath(home);
    std::printf("writing %d pages of %dx%d...\n", pageCount, kWidth, kHeight);
    writePages(pages, pageCount);
    std::printf("load average before: %s\n", qPrintable(loadAverage()));

    ProgramState state = loadProgramState(home);
    state.bSansMessage = true;
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
    // The record left by the last job is the same for both: the floor encodes its rectangles.
    const Timing floor =
        floorTiming(pages, state.sFichierDecoupage, root.path() + QStringLiteral("scratch.jpg"));
    std::printf("load average after:  %s\n\n", qPrintable(loadAverage()));

    const JobRun& one = best[0];
    const JobRun& two = best[1];
    std::printf("job: %d pages, %d pieces, %d failed pages; same files on 1 and 2 threads: %s\n",
                pageCount, two.summary.pieces, two.summary.errors, sameFiles ? "yes" : "NO");
    std::printf("1 thread            %7.2f s  %6.2f pages/s  cpu %7.2f s\n", one.timing.wall,
                pageCount / one.timing.wall, one.timing.cpu);
    std::printf("2 threads           %7.2f s  %6.2f pages/s  cpu %7.2f s\n", two.timing.wall,
                pageCount / two.timing.wall, two.timing.cpu);
    std::printf("floor, 1 core       %7.2f s  %6.2f pages/s  cpu %7.2f s  (decode + encode)\n",
                floor.wall, pageCount / floor.wall, floor.cpu);
    std::printf("speed-up 2/1        %7.2f   (target >= 1.70)\n",
                one.timing.wall / two.timing.wall);
    std::printf("2 threads / floor   %7.2f   (target < 1.00)\n", two.timing.wall / floor.wall);
    return sameFiles && two.summary.errors == 0 ? 0 : 1;
}
