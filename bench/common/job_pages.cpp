#include "job_pages.h"

#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/picture_loader.h"
#include "image/pixel_memory.h"
#include "page_generator.h"
#include "settings/cls_initreg.h"
#include "settings/folder_listing.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QRect>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantola::bench {

void allocateLikeTheProgram() {
    pixel_memory::configureAllocator();
}

namespace {

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
        generator::PageSpec spec;
        spec.seed = std::uint64_t(seed);
        spec.noise = 4;
        pictures << generator::generatePage(spec).image;
    }
    return pictures;
}

} // namespace

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void writeJobPages(const QString& folder, int count) {
    const QList<QImage> pictures = sourcePictures();
    for (int i = 0; i < count; ++i) {
        QImageWriter writer(folder +
                            QStringLiteral("page%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        writer.setQuality(90);
        writer.write(
            pictures.at(i % pictures.size())
                .scaled(kPageWidth, kPageHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}

JobFolders::JobFolders(int pageCount)
    : pages(root.path() + QStringLiteral("pages/")), home(root.path() + QStringLiteral("home/")) {
    QDir().mkpath(pages);
    QDir().mkpath(home);
    std::printf("writing %d pages of %dx%d...\n", pageCount, kPageWidth, kPageHeight);
    writeJobPages(pages, pageCount);
}

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

namespace {

// Runs work in a child process and gives what it wrote into `result`.
template <class Result>
Result inChildProcess(const std::function<Result()>& work) {
    int ends[2];
    Result result{};
    if (::pipe(ends) != 0)
        return result;
    const pid_t child = ::fork();
    if (child == 0) {
        const Result value = work();
        [[maybe_unused]] const auto written = ::write(ends[1], &value, sizeof value);
        ::_exit(0);
    }
    ::close(ends[1]);
    [[maybe_unused]] const auto got = ::read(ends[0], &result, sizeof result);
    ::close(ends[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    return result;
}

} // namespace

Timing floorTimingApart(const std::function<void()>& job, const QString& folder,
                        const QString& record, const QString& scratch) {
    inChildProcess<int>([&] {
        job();
        return 0;
    });
    return inChildProcess<Timing>([&] { return floorTiming(folder, record, scratch); });
}

} // namespace vantola::bench
