// The two panel finders side by side on pages with hand-drawn ground truth: the white-gutter cut
// (the default) and the frame finder. For each: frames found at IoU 0.5 and 0.8, pieces that
// match no frame (IoU below 0.8 with every frame), and the finder's own time and pages a second on
// one core for A4 pages at 300 dpi (the ground-truth pages upscaled to 2480 x 3508), beside the
// time to decode such a page, to fill its grid and to encode its pieces. The pages are scored both
// as they are and once upscaled ("@300dpi", the frames scaled alike): a finder whose lengths are
// all relative to the page finds the same panels at both sizes.
//
//   bench_frames [runs [sketches]]
//
// runs: default 3, the median of each time is shown; 0 scores the pages without timing them.
// sketches: a folder that receives, for each page, the page with its frames in green and the frame
// finder's pieces in red (a piece matching no frame drawn thicker), to see where a cut goes wrong.
//
// Ground truth: the folder's README gives the format (a frame counts as found when a piece
// overlaps its bounding box with an IoU of at least 0.8). Without the shared folders the bench
// says so and ends.

#include "cutting/cut_decisions.h"
#include "cutting/grid_fill.h"
#include "cutting/page_preparation.h"
#include "image/jpeg_writing.h"
#include "page_measures.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vantola;

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;
constexpr qint32 kWhiteLevel = 1450;

// The two sets of pages, scored apart.
const char* const kSets[] = {"craphound", "simple"};

struct TruthPage {
    int set = 0; // index in kSets
    QString path;
    std::vector<QRect> frames;
};

QJsonDocument readJson(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll());
}

QRect rectOf(const QJsonArray& xywh) {
    return QRect(xywh[0].toInt(), xywh[1].toInt(), xywh[2].toInt(), xywh[3].toInt());
}

// The pages of the ground truth: the odd Craphound pages and the synthetic page of framed panels.
std::vector<TruthPage> truthPages(const QString& truth, const QString& pages) {
    std::vector<TruthPage> result;
    const QJsonObject craphound = readJson(truth + "/craphound-odd.json").object();
    for (const QJsonValue& page : craphound["pages"].toArray()) {
        TruthPage entry{0, pages + "/craphound/" + page["image"].toString(), {}};
        for (const QJsonValue& frame : page["frames"].toArray())
            entry.frames.push_back(rectOf(frame["bbox_xywh"].toArray()));
        result.push_back(entry);
    }
    const QJsonObject simple = readJson(truth + "/simple.panels.json").object();
    TruthPage entry{1, pages + "/synthetic/" + simple["image"].toString(), {}};
    for (const QJsonValue& panel : simple["panels"].toArray())
        entry.frames.push_back(rectOf(panel.toArray()));
    result.push_back(entry);
    return result;
}

double iou(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    if (common.isEmpty())
        return 0;
    const double shared = double(common.width()) * common.height();
    return shared / (double(a.width()) * a.height() + double(b.width()) * b.height() - shared);
}

// The page's grid, as the page cutter fills it.
void fillGrid(const QImage& page, PageGrid& grid) {
    grid.allocate(page.width(), page.height());
    fillGridRows(page, grid, 0, page.height() - 1);
}

// The page's pieces as rectangles, found by one finder on the page's grid (which neither finder
// changes on an unturned page).
std::vector<QRect> findPieces(QSize page, PageGrid& grid, PanelFinder finder) {
    qint32 footer = page.height() - 1;
    CutParameters parameters = bench::wholePageCut(page.width(), page.height(), kWhiteLevel);
    parameters.finder = finder;
    std::vector<QRect> pieces;
    for (const CutPiece& piece : decideCuts(grid, parameters, footer).pieces)
        pieces.push_back(
            QRect(piece.left, piece.top, piece.right - piece.left, piece.bottom - piece.top));
    return pieces;
}

struct Score {
    int frames = 0;
    int found5 = 0;
    int found8 = 0;
    int found9 = 0;
    int pieces = 0;
    int unmatched = 0;
    double finderSeconds = 0;
    double encodeSeconds = 0;
    int timedPages = 0;
};

void scorePage(const std::vector<QRect>& frames, const std::vector<QRect>& pieces, Score& score) {
    score.frames += int(frames.size());
    score.pieces += int(pieces.size());
    for (const QRect& frame : frames) {
        double best = 0;
        for (const QRect& piece : pieces)
            best = std::max(best, iou(frame, piece));
        score.found5 += best >= 0.5;
        score.found8 += best >= 0.8;
        score.found9 += best >= 0.9;
    }
    for (const QRect& piece : pieces) {
        double best = 0;
        for (const QRect& frame : frames)
            best = std::max(best, iou(frame, piece));
        score.unmatched += best < 0.8;
    }
}

// Rectangles drawn on a page of size `from`, on the same page scaled to `to`.
std::vector<QRect> scaled(const std::vector<QRect>& rects, QSize from, QSize to) {
    const double sx = double(to.width()) / from.width();
    const double sy = double(to.height()) / from.height();
    std::vector<QRect> result;
    for (const QRect& r : rects)
        result.push_back(QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy).toRect());
    return result;
}

// The page, its frames (green) and the pieces (red; thicker when matching no frame), as a PNG,
// and their rectangles with the best IoU of each as text.
void drawSketch(const QImage& picture, const std::vector<QRect>& frames,
                const std::vector<QRect>& pieces, const QString& path) {
    QImage sketch = picture.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&sketch);
    const int line = std::max(2, picture.width() / 300);
    painter.setPen(QPen(Qt::green, line));
    for (const QRect& frame : frames)
        painter.drawRect(frame);
    for (const QRect& piece : pieces) {
        double best = 0;
        for (const QRect& frame : frames)
            best = std::max(best, iou(frame, piece));
        painter.setPen(QPen(Qt::red, best < 0.8 ? 3 * line : line, Qt::DashLine));
        painter.drawRect(piece);
    }
    painter.end();
    sketch.scaledToWidth(800, Qt::SmoothTransformation).save(path + ".png");
    // Beside it, each frame and piece with its best IoU, in page pixels.
    QFile text(path + ".txt");
    if (!text.open(QIODevice::WriteOnly))
        return;
    const auto list = [&](const char* what, const std::vector<QRect>& these,
                          const std::vector<QRect>& others) {
        for (const QRect& r : these) {
            double best = 0;
            for (const QRect& other : others)
                best = std::max(best, iou(r, other));
            text.write(QStringLiteral("%1 %2 %3 %4 %5 IoU %6\n")
                           .arg(what)
                           .arg(r.x())
                           .arg(r.y())
                           .arg(r.width())
                           .arg(r.height())
                           .arg(best, 0, 'f', 2)
                           .toUtf8());
        }
    };
    list("frame", frames, pieces);
    list("piece", pieces, frames);
}

const char* finderName(PanelFinder finder) {
    return finder == PanelFinder::Frames ? "frames" : "gutters";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(0, std::atoi(argv[1])) : 3;
    const QString sketches = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString truth = QStringLiteral(VANTOLA_SHARED_GROUNDTRUTH);
    const QString pagesFolder = QStringLiteral(VANTOLA_SHARED_PAGES);
    if (!QFileInfo::exists(truth + "/craphound-odd.json") || !QFileInfo::exists(pagesFolder)) {
        std::printf("bench_frames: no ground truth in %s, nothing to measure\n", qPrintable(truth));
        return 0;
    }
    const std::vector<TruthPage> pages = truthPages(truth, pagesFolder);
    const PanelFinder finders[] = {PanelFinder::Gutters, PanelFinder::Frames};
    Score scores[2][2];      // by set and finder
    Score scoresLarge[2][2]; // the same pages once upscaled to A4 at 300 dpi
    Score timing[2];         // by finder
    PageGrid grid;
    double decodeSeconds = 0;
    double fillSeconds = 0;
    int decoded = 0;
    for (const TruthPage& page : pages) {
        const QImage picture = onPaper(QImage(page.path)).convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) {
            std::printf("bench_frames: cannot read %s\n", qPrintable(page.path));
            return 1;
        }
        const QImage large =
            picture.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (runs > 0) {
            const QByteArray file = bench::qtJpeg(large);
            decodeSeconds += bench::medianSeconds(runs, [&] {
                (void)bench::qtDecodedJpeg(file).convertToFormat(QImage::Format_RGB32);
            });
            fillSeconds += bench::medianSeconds(runs, [&] { fillGrid(large, grid); });
            ++decoded;
        }
        std::printf("%-12s", qPrintable(QFileInfo(page.path).fileName()));
        for (int f = 0; f < 2; ++f) {
            fillGrid(picture, grid);
            const std::vector<QRect> pieces = findPieces(picture.size(), grid, finders[f]);
            Score pageScore;
            scorePage(page.frames, pieces, pageScore);
            std::printf("  %s %d/%d@0.8 %d unmatched", finderName(finders[f]), pageScore.found8,
                        pageScore.frames, pageScore.unmatched);
            scorePage(page.frames, pieces, scores[page.set][f]);
            if (!sketches.isEmpty() && finders[f] == PanelFinder::Frames)
                drawSketch(picture, page.frames, pieces,
                           sketches + "/" + QFileInfo(page.path).completeBaseName());
            std::vector<QRect> largePieces;
            fillGrid(large, grid);
            largePieces = findPieces(large.size(), grid, finders[f]);
            Score largeScore;
            scorePage(scaled(page.frames, picture.size(), large.size()), largePieces, largeScore);
            std::printf(" (300 dpi: %d, %d)", largeScore.found8, largeScore.unmatched);
            scorePage(scaled(page.frames, picture.size(), large.size()), largePieces,
                      scoresLarge[page.set][f]);
            if (runs == 0)
                continue;
            timing[f].finderSeconds += bench::medianSeconds(
                runs, [&] { largePieces = findPieces(large.size(), grid, finders[f]); });
            timing[f].encodeSeconds += bench::medianSeconds(runs, [&] {
                for (const QRect& piece : largePieces)
                    (void)encodeJpeg(large.copy(piece), JpegSettings{});
            });
            ++timing[f].timedPages;
        }
        std::printf("\n");
    }
    std::printf("\n%-17s %-8s %14s %14s %14s %14s\n", "pages", "finder", "found@0.5", "found@0.8",
                "found@0.9", "unmatched");
    const auto share = [](int part, int whole) { return whole ? 100.0 * part / whole : 0.0; };
    for (const auto* table : {&scores, &scoresLarge}) {
        for (int set = 0; set < 2; ++set) {
            for (int f = 0; f < 2; ++f) {
                const Score& s = (*table)[set][f];
                const QString name = QString(kSets[set]) + (table == &scoresLarge ? "@300dpi" : "");
                std::printf("%-17s %-8s %3d/%-3d (%3.0f%%) %3d/%-3d (%3.0f%%) %3d/%-3d (%3.0f%%) "
                            "%3d/%-3d (%3.0f%%)\n",
                            qPrintable(name), finderName(finders[f]), s.found5, s.frames,
                            share(s.found5, s.frames), s.found8, s.frames,
                            share(s.found8, s.frames), s.found9, s.frames,
                            share(s.found9, s.frames), s.unmatched, s.pieces,
                            share(s.unmatched, s.pieces));
            }
        }
    }
    if (runs == 0)
        return 0;
    std::printf("\nper %dx%d page on one core (median of %d runs): decode (Qt) %.1f ms, grid fill "
                "%.1f ms\n",
                kWidth, kHeight, runs, 1000 * decodeSeconds / decoded,
                1000 * fillSeconds / decoded);
    for (int f = 0; f < 2; ++f) {
        const Score& s = timing[f];
        const double perPage = s.finderSeconds / s.timedPages;
        std::printf("%-8s finder %6.1f ms (%5.1f pages/s), encoding its pieces %6.1f ms\n",
                    finderName(finders[f]), 1000 * perPage, 1.0 / perPage,
                    1000 * s.encodeSeconds / s.timedPages);
    }
    return 0;
}
