// Deciding the cuts of a scanned page against decoding it: for an A4 page at 300 dpi
// (2480 x 3508), filling the grid from the decoded picture and deciding its cuts must cost less
// than Qt's decoding of the page's JPEG. Both are measured here in the same run.
//
// The page is a real comic page upscaled to that size (the one named on the command line, or the
// first page of the shared Pepper&Carrot episode when that folder is there), else a generated
// comic page; it is encoded in memory at quality 90.
//
//   bench_cut_decisions [runs [page]]    (default 7 runs; the median of each measure is shown)

#include "cutting/cut_decisions.h"
#include "cutting/grid_fill.h"
#include "page_generator.h"
#include "page_measures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace vantola;

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;
constexpr qint32 kWhiteLevel = 1450;

// The page to measure: the one named on the command line, else the shared real page, else a
// generated one.
QImage benchPage(const QString& named, QString& origin) {
    const QString real = named.isEmpty()
                             ? QStringLiteral(VANTOLA_SHARED_PAGES "/peppercarrot-ep02/p001.jpg")
                             : named;
    if (QFileInfo::exists(real)) {
        QImage page(real);
        if (!page.isNull()) {
            origin = real + QStringLiteral(" upscaled");
            return page.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB32);
        }
    }
    origin = QStringLiteral("generated comic page");
    generator::PageSpec spec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.seed = 7;
    spec.minTiers = 4;
    spec.maxTiers = 4;
    spec.gutter = 48;
    spec.margin = 120;
    spec.noise = 6;
    return generator::generatePage(spec).image;
}

// What the page cutter does between the decoded picture and the pieces: the grid allocated for
// the page (the job keeps one grid from page to page), every row of the page read into it, the
// cut decisions.
CutDecisions fillAndDecide(const QImage& page, PageGrid& tabPixels, qint16 iPasse) {
    const qint32 W = page.width();
    const qint32 H = page.height();
    tabPixels.allocate(W, H);
    qint32 lLignePied = H - 1;
    fillGridRows(page, tabPixels, 0, lLignePied, [](qint32) {});
    CutParameters parameters = bench::wholePageCut(W, H, kWhiteLevel);
    parameters.iPasse = iPasse;
    CutCallbacks callbacks;
    callbacks.progress = [](qint32) {};
    callbacks.service = [] {};
    return decideCuts(tabPixels, parameters, lLignePied, callbacks);
}

double medianMilliseconds(int runs, const std::function<void()>& work) {
    return 1000.0 * bench::medianSeconds(runs, work);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const QString named = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    QString origin;
    const QImage page = benchPage(named, origin);
    const QByteArray jpeg = bench::qtJpeg(page);
    const QImage decoded = bench::qtDecodedJpeg(jpeg);
    if (decoded.isNull()) {
        std::fprintf(stderr, "JPEG decoding failed\n");
        return 1;
    }
    std::printf("page: %s, %dx%d, JPEG %lld bytes (quality 90), decoded as format %d\n",
                qPrintable(origin), decoded.width(), decoded.height(),
                static_cast<long long>(jpeg.size()), int(decoded.format()));

    PageGrid jobGrid;
    for (const qint16 iPasse : {qint16(1), qint16(2)}) {
        const CutDecisions decisions = fillAndDecide(decoded, jobGrid, iPasse);
        std::printf("pass %d: %zu pieces%s\n", iPasse, decisions.pieces.size(),
                    decisions.failure ? " (the page failed)" : "");
    }

    const double decodeTime =
        medianMilliseconds(runs, [&] { (void)bench::qtDecodedJpeg(jpeg).width(); });
    const double pass1Time =
        medianMilliseconds(runs, [&] { (void)fillAndDecide(decoded, jobGrid, 1); });
    const double pass2Time =
        medianMilliseconds(runs, [&] { (void)fillAndDecide(decoded, jobGrid, 2); });
    // The first page of a job maps a fresh grid, whose memory the system hands over page by page.
    const double firstPageTime = medianMilliseconds(runs, [&] {
        PageGrid freshGrid;
        (void)fillAndDecide(decoded, freshGrid, 1);
    });

    std::printf("median of %d runs:\n", runs);
    std::printf("  Qt JPEG decoding (reference)             %8.2f ms\n", decodeTime);
    const auto report = [&](const char* what, double time) {
        std::printf("  %-40s %8.2f ms   ratio %.3f\n", what, time, time / decodeTime);
    };
    report("fill grid + decide cuts, pass 1", pass1Time);
    report("fill grid + decide cuts, pass 2", pass2Time);
    report("the same, first page (fresh grid)", firstPageTime);
    const bool fastEnough = std::max({pass1Time, pass2Time, firstPageTime}) < decodeTime;
    std::printf("%s: deciding costs %s than decoding\n", fastEnough ? "OK" : "TOO SLOW",
                fastEnough ? "less" : "more");
    return 0;
}
