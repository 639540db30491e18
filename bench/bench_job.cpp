// A folder job against its floor. The job cuts 50 pages of 2480 x 3508 (real comic pages
// upscaled when the shared pages are there, else generated pages) and is timed from end to end;
// its floor is, measured in the same run, decoding the same pages plus encoding the same piece
// areas with our encoder. Also reports pages per second and the job's peak memory.
//
//   bench_job [pages]      (default 50)

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/picture_loader.h"
#include "settings/cls_initreg.h"
#include "settings/folder_listing.h"
#include "support/page_generator.h"
#include "support/process_measures.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <chrono>
#include <cstdio>

using namespace vantola;
using test::peakMemoryMiB;
using test::resetPeakMemory;
using test::secondsSince;

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;

QList<QImage> sourcePages() {
    QList<QImage> pages;
    for (const QString& folder :
         {QStringLiteral("peppercarrot-ep02"), QStringLiteral("craphound")}) {
        const QString path = QStringLiteral(VANTOLA_SHARED_PAGES "/") + folder + QLatin1Char('/');
        for (const QString& name : listJpegPages(path)) {
            QImage page(path + name);
            if (!page.isNull() && page.height() > page.width())
                pages << page;
        }
    }
    if (pages.isEmpty()) {
        for (int seed = 1; seed <= 6; ++seed) {
            test::PageSpec spec;
            spec.seed = seed;
            spec.noise = 4;
            pages << test::generatePage(spec).image;
        }
    }
    return pages;
}

void writePages(const QString& folder, int count) {
    const QList<QImage> sources = sourcePages();
    for (int i = 0; i < count; ++i) {
        const QImage page =
            sources.at(i % sources.size())
                .scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImageWriter writer(folder +
                            QStringLiteral("page%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        writer.setQuality(90);
        writer.write(page);
    }
}

// Decodes every page and encodes, with our encoder, the pieces that the job recorded for it.
double floorSeconds(const QString& folder, const QString& record, const QString& scratch) {
    Cls_InitREG ini;
    const auto start = std::chrono::steady_clock::now();
    for (const QString& name : listJpegPages(folder)) {
        const QString path = folder + name;
        const QImage page = loadPicture(path);
        for (int n = 1;; ++n) {
            const auto key = [&](const char* prefix) {
                return ini
                    .IniLire(path, QLatin1String(prefix) + QString::number(n), QStringLiteral("0"),
                             record)
                    .toInt();
            };
            const int left = key("COLONNE_1_");
            const int right = key("COLONNE_2_");
            const int top = key("LIGNE_1_");
            const int bottom = key("LIGNE_2_");
            if (left == 0 && right == 0 && top == 0 && bottom == 0)
                break;
            cImage buffer;
            buffer.CopyStdPicture(page.copy(left, top, right - left, bottom - top));
            cJpeg encoder;
            encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0);
            QFile::remove(scratch);
            encoder.SaveFile(scratch);
        }
    }
    return secondsSince(start);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    test::TempFolder root;
    const QString pages = root.path() + QStringLiteral("pages/");
    const QString home = root.path() + QStringLiteral("home/");
    QDir().mkpath(pages);
    QDir().mkpath(home);
    std::printf("writing %d pages of %dx%d...\n", pageCount, kWidth, kHeight);
    writePages(pages, pageCount);

    ProgramState state = loadProgramState(home);
    state.bSansMessage = true;
    JobHost host;
    CuttingJob job(state, host);
    resetPeakMemory();
    const double baseMemory = peakMemoryMiB();
    const auto start = std::chrono::steady_clock::now();
    const JobSummary summary = job.Decoupage(pages, QString(), 0);
    const double jobSeconds = secondsSince(start);
    const double jobPeak = peakMemoryMiB();

    const double floor =
        floorSeconds(pages, state.sFichierDecoupage, root.path() + QStringLiteral("scratch.jpg"));

    std::printf("job: %d pages, %d pieces, %d failed pages\n", pageCount, summary.pieces,
                summary.errors);
    std::printf("job time            %8.2f s  (%.2f pages/s)\n", jobSeconds,
                pageCount / jobSeconds);
    std::printf("floor (decode+encode) %6.2f s\n", floor);
    std::printf("job / floor         %8.2f  (overhead %+.0f %%)\n", jobSeconds / floor,
                (jobSeconds / floor - 1.0) * 100.0);
    std::printf("peak memory         %8.0f MiB during the job (%.0f MiB before it)\n", jobPeak,
                baseMemory);
    return summary.errors == 0 ? 0 : 1;
}
