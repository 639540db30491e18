#include "page_generator.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace vantola::generator {

std::uint64_t SplitMix64::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int SplitMix64::between(int low, int high) {
    if (high <= low)
        return low;
    const auto range = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
    return static_cast<int>(low + static_cast<std::int64_t>(next() % range));
}

double SplitMix64::unit() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

std::vector<QRect> PageLayout::panels() const {
    std::vector<QRect> all;
    for (const auto& tier : tiers)
        all.insert(all.end(), tier.panels.begin(), tier.panels.end());
    return all;
}

namespace {

constexpr int kMinPanelSide = 40;
constexpr int kMaxNoise = 32;

[[noreturn]] void badSpec(const std::string& what) {
    throw std::invalid_argument("page generator: " + what);
}

// A mid tone: blue (the high-order part of the packed colour) stays at or below 190 even with
// the largest noise, so no panel background pixel ever counts as white.
QColor midTone(SplitMix64& rng) {
    return QColor(rng.between(100, 215), rng.between(100, 215), rng.between(70, 150));
}

QColor inkColour(SplitMix64& rng) {
    return QColor(rng.between(10, 200), rng.between(10, 200), rng.between(10, 150));
}

// Splits `total` pixels starting at `start` into `count` runs separated by `gap`, with sizes
// drawn at random in proportion to weights in [lowWeight, highWeight).
std::vector<Span> splitRuns(int start, int total, int count, int gap, double lowWeight,
                            double highWeight, SplitMix64& rng) {
    std::vector<double> weights(count);
    double sum = 0;
    for (auto& weight : weights) {
        weight = rng.between(lowWeight, highWeight);
        sum += weight;
    }
    const int available = total - gap * (count - 1);
    const int spare = available - kMinPanelSide * count;
    std::vector<Span> runs;
    int position = start;
    int used = 0;
    for (int i = 0; i < count; ++i) {
        int size = kMinPanelSide + static_cast<int>(spare * weights[i] / sum);
        if (i == count - 1)
            size = available - used; // the last run takes what rounding left over
        runs.push_back({position, position + size - 1});
        used += size;
        position += size + gap;
    }
    return runs;
}

// The runs of [0, extent - 1] that no occupied span covers (occupied spans sorted, disjoint).
std::vector<Span> complementOf(const std::vector<Span>& occupied, int extent) {
    std::vector<Span> free;
    int next = 0;
    for (const auto& span : occupied) {
        if (span.first > next)
            free.push_back({next, span.first - 1});
        next = span.last + 1;
    }
    if (next < extent)
        free.push_back({next, extent - 1});
    return free;
}

std::vector<int> panelCounts(const PageSpec& spec, SplitMix64& rng) {
    if (!spec.panelsPerTier.empty())
        return spec.panelsPerTier;
    std::vector<int> counts(rng.between(spec.minTiers, spec.maxTiers));
    for (auto& count : counts)
        count = rng.between(spec.minPanels, spec.maxPanels);
    return counts;
}

void checkSpec(const PageSpec& spec) {
    if (spec.width < 1 || spec.height < 1)
        badSpec("the page size must be positive");
    if (spec.margin < 0 || spec.gutter < 1)
        badSpec("the margin must be 0 or more and the gutter 1 or more");
    if (spec.noise < 0 || spec.noise > kMaxNoise)
        badSpec("the noise must be between 0 and " + std::to_string(kMaxNoise));
    if (spec.headerHeight < 0 || spec.footerHeight < 0)
        badSpec("the header and footer heights must be 0 or more");
    if (spec.panelsPerTier.empty() && (spec.minTiers < 1 || spec.maxTiers < spec.minTiers ||
                                       spec.minPanels < 1 || spec.maxPanels < spec.minPanels))
        badSpec("the tier and panel ranges must start at 1 and not be reversed");
    for (int count : spec.panelsPerTier)
        if (count < 1)
            badSpec("every tier needs at least one panel");
}

// Places the header, the footer, the tiers and their panels.
PageLayout placePanels(const PageSpec& spec, SplitMix64& rng) {
    PageLayout layout;
    layout.size = QSize(spec.width, spec.height);
    const std::vector<int> counts = panelCounts(spec, rng);
    const int tierCount = static_cast<int>(counts.size());
    const int contentWidth = spec.width - 2 * spec.margin;
    int top = spec.margin;
    int bottom = spec.height - spec.margin; // one past the last row of the content
    if (spec.headerHeight > 0) {
        layout.header = QRect(spec.margin, top, contentWidth, spec.headerHeight);
        top += spec.headerHeight + spec.gutter;
    }
    if (spec.footerHeight > 0) {
        layout.footer =
            QRect(spec.margin, bottom - spec.footerHeight, contentWidth, spec.footerHeight);
        bottom -= spec.footerHeight + spec.gutter;
    }
    const int maxPanels = *std::max_element(counts.begin(), counts.end());
    if (bottom - top < tierCount * kMinPanelSide + (tierCount - 1) * spec.gutter ||
        contentWidth < maxPanels * kMinPanelSide + (maxPanels - 1) * spec.gutter)
        badSpec("the panels do not fit: " + std::to_string(tierCount) + " tiers of up to " +
                std::to_string(maxPanels) + " panels need at least " +
                std::to_string(kMinPanelSide) + " pixels each plus gutters");

    const auto tierRows = splitRuns(top, bottom - top, tierCount, spec.gutter, 0.75, 1.25, rng);
    std::vector<Span> occupiedRows;
    if (!layout.header.isNull())
        occupiedRows.push_back({layout.header.top(), layout.header.bottom()});
    for (int t = 0; t < tierCount; ++t) {
        TierLayout tier;
        tier.rows = tierRows[t];
        const auto columns =
            splitRuns(spec.margin, contentWidth, counts[t], spec.gutter, 0.6, 1.5, rng);
        for (const auto& column : columns)
            tier.panels.push_back(
                QRect(QPoint(column.first, tier.rows.first), QPoint(column.last, tier.rows.last)));
        tier.whiteColumns = complementOf(columns, spec.width);
        layout.tiers.push_back(tier);
        occupiedRows.push_back(tier.rows);
    }
    if (!layout.footer.isNull())
        occupiedRows.push_back({layout.footer.top(), layout.footer.bottom()});
    layout.whiteRows = complementOf(occupiedRows, spec.height);
    return layout;
}

// A line of handwriting-like zigzag standing in for text.
void scribbleLine(QPainter& painter, double left, double right, double y, double height,
                  const QColor& colour, double penWidth, SplitMix64& rng) {
    QPainterPath path(QPointF(left, y));
    for (double x = left; x < right;) {
        x += rng.between(2.0, 5.0);
        if (rng.chance(0.12))
            x += rng.between(4.0, 9.0); // a space between words
        path.lineTo(std::min(x, right), y + rng.between(-height / 2, height / 2));
    }
    painter.setPen(QPen(colour, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void drawShape(QPainter& painter, const QRectF& area, SplitMix64& rng) {
    const QColor colour = inkColour(rng);
    const QColor outline = colour.darker(250);
    const double w = area.width();
    const double h = area.height();
    const QPointF at(area.left() + rng.between(0.0, w), area.top() + rng.between(0.0, h));
    switch (rng.between(0, 3)) {
    case 0: { // circle
        const double radius = rng.between(0.05, 0.25) * std::min(w, h);
        painter.setPen(QPen(outline, 2.0));
        painter.setBrush(colour);
        painter.drawEllipse(at, radius, radius);
        break;
    }
    case 1: { // rectangle, like a building or a box
        painter.setPen(QPen(outline, 2.0));
        painter.setBrush(colour);
        painter.drawRect(QRectF(at, QSizeF(rng.between(0.1, 0.4) * w, rng.between(0.1, 0.5) * h)));
        break;
    }
    case 2: { // thick stroke
        painter.setPen(QPen(outline, rng.between(2.0, 6.0), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(
            at, QPointF(area.left() + rng.between(0.0, w), area.top() + rng.between(0.0, h)));
        break;
    }
    default: { // hatching: parallel diagonal strokes over a patch
        const QRectF patch(at, QSizeF(rng.between(0.15, 0.4) * w, rng.between(0.15, 0.4) * h));
        painter.save();
        painter.setClipRect(patch, Qt::IntersectClip);
        painter.setPen(QPen(outline, 1.5));
        const double step = rng.between(4.0, 8.0);
        for (double x = patch.left() - patch.height(); x < patch.right(); x += step)
            painter.drawLine(QPointF(x, patch.bottom()), QPointF(x + patch.height(), patch.top()));
        painter.restore();
        break;
    }
    }
}

// A white balloon inside `zone` with a tail towards the bottom of the zone and a few scribbled
// lines. Each balloon keeps to its own zone, so that no row and no column of a panel crosses
// more than one balloon: the panel stays far from white however the balloons fall.
void drawBalloon(QPainter& painter, const QRectF& zone, SplitMix64& rng) {
    const double w = zone.width() * rng.between(0.55, 0.9);
    const double h = zone.height() * rng.between(0.45, 0.7);
    const QRectF body(zone.left() + rng.between(0.0, zone.width() - w),
                      zone.top() + rng.between(0.0, zone.height() * 0.75 - h + 1), w, h);
    const QPointF tip(body.center().x() + rng.between(-w / 3, w / 3),
                      std::min(zone.bottom(), body.bottom() + zone.height() * 0.2));
    QPainterPath balloon;
    balloon.addEllipse(body);
    QPolygonF tail;
    tail << QPointF(body.center().x() - w * 0.12, body.bottom() - h * 0.2)
         << QPointF(body.center().x() + w * 0.12, body.bottom() - h * 0.2) << tip;
    balloon.addPolygon(tail);
    balloon.setFillRule(Qt::WindingFill);
    painter.setPen(QPen(Qt::black, 2.0));
    painter.setBrush(Qt::white);
    painter.drawPath(balloon.simplified());

    const int lines = rng.between(2, 4);
    const QRectF text = body.adjusted(w * 0.2, h * 0.25, -w * 0.2, -h * 0.25);
    for (int i = 0; i < lines; ++i) {
        const double y = text.top() + text.height() * (i + 0.5) / lines;
        const double indent = text.width() * rng.between(0.0, 0.15);
        scribbleLine(painter, text.left() + indent, text.right() - indent, y,
                     std::min(6.0, text.height() / lines), QColor(20, 20, 20), 2.0, rng);
    }
}

void drawPanel(QPainter& painter, const QRect& panel, const PageSpec& spec, SplitMix64& rng) {
    const int frame = spec.borders ? 3 : 0;
    const QRect inside = panel.adjusted(frame, frame, -frame, -frame);
    if (spec.borders)
        painter.fillRect(panel, Qt::black);
    if (spec.emptyPanels) {
        painter.fillRect(inside, spec.paper);
        return;
    }
    painter.save();
    painter.setClipRect(inside);
    painter.fillRect(inside, midTone(rng));
    const int horizon = inside.top() + static_cast<int>(inside.height() * rng.between(0.5, 0.85));
    painter.fillRect(QRect(QPoint(inside.left(), horizon), inside.bottomRight()),
                     midTone(rng).darker(130));
    if (spec.shapes) {
        const int shapes = rng.between(3, 7);
        for (int i = 0; i < shapes; ++i)
            drawShape(painter, QRectF(inside), rng);
    }
    if (spec.balloons) {
        // Upper left and lower right quarters-and-a-bit: disjoint rows and disjoint columns.
        const QRectF area(inside);
        const double halfW = area.width() / 2;
        const double halfH = area.height() / 2;
        if (rng.chance(0.8))
            drawBalloon(painter, QRectF(area.left(), area.top(), halfW - 2, halfH - 2), rng);
        if (rng.chance(0.5))
            drawBalloon(
                painter,
                QRectF(area.left() + halfW + 2, area.top() + halfH + 2, halfW - 2, halfH - 2), rng);
    }
    painter.restore();
}

// A banner with a scribbled title, or a strip with a short page number line in its middle.
void drawStrip(QPainter& painter, const QRect& strip, bool title, SplitMix64& rng) {
    painter.fillRect(strip,
                     title ? QColor(rng.between(40, 110), rng.between(30, 90), rng.between(40, 120))
                           : QColor(150, 150, 140));
    const double y = strip.center().y();
    if (title) {
        const double margin = strip.width() * 0.2;
        scribbleLine(painter, strip.left() + margin, strip.right() - margin, y,
                     std::min(24.0, strip.height() * 0.4), QColor(235, 205, 70), 4.0, rng);
    } else {
        const double middle = strip.center().x();
        scribbleLine(painter, middle - 16, middle + 16, y, std::min(12.0, strip.height() * 0.6),
                     QColor(20, 20, 20), 2.5, rng);
    }
}

// Scan noise: a brightness jitter shared by the three channels plus a smaller one per channel.
void addNoise(QImage& image, int amplitude, SplitMix64& rng) {
    if (amplitude == 0)
        return;
    const int own = std::max(1, amplitude / 4);
    auto clampChannel = [](int value) { return std::clamp(value, 0, 255); };
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int shared = rng.between(-amplitude, amplitude);
            const int r = clampChannel(qRed(line[x]) + shared + rng.between(-own, own));
            const int g = clampChannel(qGreen(line[x]) + shared + rng.between(-own, own));
            const int b = clampChannel(qBlue(line[x]) + shared + rng.between(-own, own));
            line[x] = qRgb(r, g, b);
        }
    }
}

} // namespace

GeneratedPage generatePage(const PageSpec& spec) {
    checkSpec(spec);
    SplitMix64 rng(spec.seed);
    GeneratedPage page;
    page.layout = placePanels(spec, rng);
    page.image = plainPage(spec.width, spec.height, spec.paper);

    QPainter painter(&page.image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!page.layout.header.isNull())
        drawStrip(painter, page.layout.header, true, rng);
    if (!page.layout.footer.isNull())
        drawStrip(painter, page.layout.footer, false, rng);
    for (const auto& panel : page.layout.panels())
        drawPanel(painter, panel, spec, rng);
    painter.end();

    SplitMix64 noiseRng(spec.seed ^ 0x5CA7A0115EEDULL);
    addNoise(page.image, spec.noise, noiseRng);
    return page;
}

QImage plainPage(int width, int height, QRgb colour) {
    if (width < 1 || height < 1)
        badSpec("the page size must be positive");
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error("page generator: no memory for a page of " +
                                 std::to_string(width) + "x" + std::to_string(height) + " pixels");
    image.fill(colour);
    return image;
}

QString savePage(const QImage& image, const QString& folder, const QString& baseName,
                 PageFormat format, int quality) {
    static const char* const suffixes[] = {"jpg", "png", "bmp"};
    const char* suffix = suffixes[static_cast<int>(format)];
    const QString path = QDir(folder).filePath(baseName + QLatin1Char('.') + QLatin1String(suffix));
    if (image.isNull() || quality < 0 || quality > 100)
        throw std::invalid_argument("savePage: an empty page or a quality outside 0..100 for " +
                                    path.toStdString());
    QImageWriter writer(path, suffix);
    if (format == PageFormat::Jpeg)
        writer.setQuality(quality);
    if (!writer.write(image))
        throw std::runtime_error("savePage: cannot write " + path.toStdString() + ": " +
                                 writer.errorString().toStdString());
    return path;
}

std::vector<SamplePage> samplePages() {
    PageSpec classic;
    classic.seed = 101;
    classic.panelsPerTier = {2, 3, 2};

    PageSpec fourTiers;
    fourTiers.seed = 202;
    fourTiers.panelsPerTier = {3, 1, 2, 3};
    fourTiers.gutter = 20;
    fourTiers.headerHeight = 70;
    fourTiers.footerHeight = 24;

    PageSpec scanned;
    scanned.seed = 303;
    scanned.panelsPerTier = {2, 2, 3};
    scanned.paper = qRgb(248, 246, 241);
    scanned.noise = 6;
    scanned.borders = false;
    scanned.gutter = 30;

    PageSpec strip;
    strip.seed = 404;
    strip.height = 420;
    strip.panelsPerTier = {4};
    strip.margin = 30;
    strip.gutter = 20;

    return {{QStringLiteral("page01"), classic, 85},
            {QStringLiteral("page02"), fourTiers, 85},
            {QStringLiteral("page03"), scanned, 75},
            {QStringLiteral("page04"), strip, 85}};
}

QStringList writeSamplePages(const QString& folder) {
    QStringList paths;
    for (const auto& sample : samplePages())
        paths << savePage(generatePage(sample.spec).image, folder, sample.name, PageFormat::Jpeg,
                          sample.quality);
    return paths;
}

} // namespace vantola::generator
