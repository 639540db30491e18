// Our encoder against libjpeg-turbo's cjpeg on a 2480 x 3508 page (A4 at 300 dpi): encode time
// (cjpeg as a command, ours in-process), file size, PSNR against the source pixels, and the peak
// memory of our encode in bytes per pixel. Ratios are measured in the same run, each printed
// beside its target. `bench_jpeg --encode MODE RUNS` only encodes (for profilers), printing the
// median time.
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/jpeg_dct_quantization.h"
#include "page_measures.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef VANTOLA_SHARED_PAGES
#define VANTOLA_SHARED_PAGES ""
#endif

using namespace vantola;
using namespace vantola::test;

namespace {

constexpr int kRuns = 7;
constexpr int kPageWidth = 2480;
constexpr int kPageHeight = 3508;

struct Mode {
    const char* name;
    EncoderSettings settings;
    QStringList sampling; // cjpeg's options for the sampling or grey
    double target;        // the highest time ratio against cjpeg aimed at
};

QImage benchmarkPage() {
    const QString path = QStringLiteral(VANTOLA_SHARED_PAGES "/peppercarrot-ep02/p001.jpg");
    const QImage source(path);
    if (!source.isNull()) {
        std::printf("page: %s scaled to %dx%d\n", qPrintable(path), kPageWidth, kPageHeight);
        return source
            .scaled(kPageWidth, kPageHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB888);
    }
    std::printf("page: drawn (no shared pages), %dx%d\n", kPageWidth, kPageHeight);
    return photoLikePicture(kPageWidth, kPageHeight);
}

// PSNR of a grey picture against the exact luma 0.299 R + 0.587 G + 0.114 B of the page's
// pixels (not rounded to a level first, which would favour an encoder that rounds the same way).
double psnrAgainstLuma(const QImage& grey, const QImage& page) {
    if (grey.size() != page.size())
        return 0.0;
    double squares = 0.0;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* in = page.constScanLine(y);
        const uchar* out = grey.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            const double luma = 0.299 * in[3 * x] + 0.587 * in[3 * x + 1] + 0.114 * in[3 * x + 2];
            squares += (out[x] - luma) * (out[x] - luma);
        }
    }
    return 10.0 * std::log10(255.0 * 255.0 * double(page.width()) * page.height() / squares);
}

// Our quantization tables at a quality, as a cjpeg -qtables file (natural order). Given to
// cjpeg at -quality 50 (scale 100 %) they are used as they are, so that the comparison shows
// the design alone: our tables round the scaled values a second time where libjpeg truncates.
bool writeOurTables(int quality, const QString& path) {
    QByteArray text;
    for (const auto* base : {&jpeg::kLumBase, &jpeg::kChrBase}) {
        jpeg::QuantTable table;
        jpeg::scaleQuantTable(*base, jpeg::qualityScale(quality), table);
        for (int natural = 0; natural < 64; ++natural) {
            const int u = natural % 8;
            const int v = natural / 8;
            text += QByteArray::number(table.Qk[jpeg::kZigZag[u][v]]);
            text += u == 7 ? "\n" : " ";
        }
        text += "\n";
    }
    return writeFileBytes(path, text);
}

// One in-process encode: sampling and SaveFile into a fresh file.
void encodeOnce(const cImage& buffer, const EncoderSettings& settings, const QString& path) {
    QFile::remove(path);
    cJpeg encoder;
    applyEncoderSettings(encoder, settings);
    encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0);
    encoder.SaveFile(path);
}

long statusKilobytes(const char* key) {
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, (std::string(key) + ": %ld kB").c_str(), &value) == 1)
            break;
    if (status)
        std::fclose(status);
    return value;
}

// Peak resident memory an encode adds, measured in a child process: the child resets its
// high-water mark, encodes once and reports the peak over what it started with.
double peakBytesPerPixel(const cImage& buffer, const EncoderSettings& settings,
                         const QString& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1.0;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        if (clear) {
            std::fputs("5", clear);
            std::fclose(clear);
        }
        const long before = statusKilobytes("VmRSS");
        encodeOnce(buffer, settings, path);
        const long peak = statusKilobytes("VmHWM") - before;
        [[maybe_unused]] const auto written = ::write(pipeEnds[1], &peak, sizeof peak);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    long peak = -1;
    [[maybe_unused]] const auto got = ::read(pipeEnds[0], &peak, sizeof peak);
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    return peak * 1024.0 / (double(buffer.Width()) * buffer.Height());
}

} // namespace

int main(int argc, char** argv) {
    // Large blocks always from fresh mappings, returned when freed: otherwise memory that one
    // encode freed is reused unseen by the next and the peak measurement reads low.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    QCoreApplication application(argc, argv);
    TempFolder folder;
    const QImage page = benchmarkPage();
    const QString ppm = folder.file(QStringLiteral("page.ppm"));
    if (!writePnm(page, ppm)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ppm));
        return 1;
    }
    cImage buffer;
    qint16 depth = 0;
    if (!buffer.CopyStdPicture(page, &depth)) {
        std::fprintf(stderr, "cannot copy the page into a picture buffer\n");
        return 1;
    }

    const QString tables = folder.file(QStringLiteral("tables.txt"));
    if (!writeOurTables(75, tables)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(tables));
        return 1;
    }
    const QStringList design = {QStringLiteral("-dct"), QStringLiteral("float"),
                                QStringLiteral("-optimize"), QStringLiteral("-baseline")};
    const QStringList standard =
        QStringList{QStringLiteral("-quality"), QStringLiteral("75")} + design;
    const QStringList sameTables =
        QStringList{QStringLiteral("-quality"), QStringLiteral("50"),
                    QStringLiteral("-qtables"), tables,
                    QStringLiteral("-qslots"),  QStringLiteral("0,1,1")} +
        design;
    const Mode modes[] = {
        {"2:2", {75, 2, 2, false}, {QStringLiteral("-sample"), QStringLiteral("2x2")}, 0.60},
        {"1:1", {75, 1, 1, false}, {QStringLiteral("-sample"), QStringLiteral("1x1")}, 0.75},
        {"grey", {75, 1, 1, true}, {QStringLiteral("-grayscale")}, 0.50},
    };
    if (argc == 4 && QByteArray(argv[1]) == "--encode") {
        for (const Mode& mode : modes) {
            if (QByteArray(argv[2]) != mode.name)
                continue;
            const QString ours = folder.file(QStringLiteral("ours.jpg"));
            std::vector<double> times;
            for (int run = 0; run < std::max(1, std::atoi(argv[3])); ++run) {
                QElapsedTimer timer;
                timer.start();
                encodeOnce(buffer, mode.settings, ours);
                times.push_back(timer.nsecsElapsed() / 1e6);
            }
            QFile file(ours);
            file.open(QIODevice::ReadOnly);
            const QByteArray hash =
                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
            std::printf("%s: %.1f ms, %lld bytes, sha256 %s\n", mode.name, bench::median(times),
                        file.size(), hash.constData());
        }
        return 0;
    }
    std::printf("cjpeg %s -sample 2x2 | 1x1 | -grayscale, as a command; ours in-process.\n"
                "Medians of %d runs. Same tables: cjpeg given our quantization tables.\n\n",
                qPrintable(standard.join(QLatin1Char(' '))), kRuns);
    std::printf("%-5s %9s %9s %6s %-14s | %9s %9s %7s | %7s %7s %7s | %-17s | %9s\n", "mode",
                "cjpeg ms", "ours ms", "ratio", "", "cjpeg B", "ours B", "ratio", "cjpeg dB",
                "ours dB", "diff", "same tables: B, dB", "peak B/px");
    for (const Mode& mode : modes) {
        const QString theirs = folder.file(QStringLiteral("cjpeg.jpg"));
        const QString theirsSameTables = folder.file(QStringLiteral("cjpeg-same-tables.jpg"));
        const QString ours = folder.file(QStringLiteral("ours.jpg"));
        const double peak = peakBytesPerPixel(buffer, mode.settings, ours);

        std::vector<double> cjpegTimes;
        std::vector<double> ourTimes;
        for (int run = 0; run < kRuns; ++run) {
            QFile::remove(theirs);
            QElapsedTimer timer;
            timer.start();
            if (encodeWithCjpeg(ppm, standard + mode.sampling, theirs).status != 0) {
                std::fprintf(stderr, "cjpeg failed\n");
                return 1;
            }
            cjpegTimes.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            encodeOnce(buffer, mode.settings, ours);
            ourTimes.push_back(timer.nsecsElapsed() / 1e6);
        }
        QFile::remove(theirsSameTables);
        encodeWithCjpeg(ppm, sameTables + mode.sampling, theirsSameTables);

        const auto quality = [&](const QString& path) {
            const QImage decoded = decodeWithDjpeg(path).picture;
            return mode.settings.grey ? psnrAgainstLuma(decoded, page) : psnr(decoded, page);
        };
        const double ourSize = QFile(ours).size();
        const double ourPsnr = quality(ours);
        const double theirSize = QFile(theirs).size();
        const double theirPsnr = quality(theirs);
        const double sameTablesSize = QFile(theirsSameTables).size();
        const double sameTablesPsnr = quality(theirsSameTables);
        const double theirTime = bench::median(cjpegTimes);
        const double ourTime = bench::median(ourTimes);
        std::printf(
            "%-5s %9.1f %9.1f %6.3f target <= %.2f | %9.0f %9.0f %7.4f | %7.3f %7.3f %+7.3f | "
            "%7.4f %+8.3f | %9.2f\n",
            mode.name, theirTime, ourTime, ourTime / theirTime, mode.target, theirSize, ourSize,
            ourSize / theirSize, theirPsnr, ourPsnr, ourPsnr - theirPsnr, ourSize / sameTablesSize,
            ourPsnr - sameTablesPsnr, peak);
    }
    return 0;
}
