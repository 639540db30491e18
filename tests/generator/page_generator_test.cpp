#include "support/page_generator.h"
#include "support/temp_folder.h"

#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace vantola::test;

constexpr double kLevel = 1450;

bool inAny(const std::vector<Span>& spans, int i) {
    return std::any_of(spans.begin(), spans.end(), [i](const Span& s) { return s.contains(i); });
}

// The cutter's view of the page matches the layout: a row is white exactly when the layout says
// nothing was drawn across it, and inside each tier's band (one white row above and below) a
// column is white exactly when it falls in a margin or a gutter.
void expectCutterSeesLayout(const QImage& image, const PageLayout& layout) {
    for (int y = 0; y < image.height(); ++y)
        ASSERT_EQ(rowLevel(image, y) > kLevel, inAny(layout.whiteRows, y)) << "row " << y;
    for (const auto& tier : layout.tiers) {
        const int top = tier.rows.first - 1;
        const int bottom = tier.rows.last + 1;
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(columnLevel(image, x, top, bottom) > kLevel, inAny(tier.whiteColumns, x))
                << "column " << x << " of the tier at rows " << top << ".." << bottom;
    }
}

// Decodes a JPEG file with djpeg, independently of Qt's reader.
QImage decodeWithDjpeg(const QString& path) {
    QProcess djpeg;
    djpeg.start(QStringLiteral("djpeg"), {QStringLiteral("-pnm"), path});
    if (!djpeg.waitForFinished(30000) || djpeg.exitCode() != 0)
        return {};
    return QImage::fromData(djpeg.readAllStandardOutput(), "PPM");
}

TEST(PageGenerator, SameSeedSamePixelsOtherSeedOtherPixels) {
    PageSpec spec;
    spec.seed = 7;
    spec.noise = 6;
    spec.headerHeight = 50;
    const auto first = generatePage(spec);
    const auto again = generatePage(spec);
    EXPECT_EQ(first.image, again.image);
    EXPECT_EQ(first.layout.panels(), again.layout.panels());
    EXPECT_EQ(first.layout.whiteRows, again.layout.whiteRows);

    spec.seed = 8;
    EXPECT_NE(generatePage(spec).image, first.image);
}

TEST(PageGenerator, CutterFindsTheDrawnGuttersAndPanels) {
    std::vector<PageSpec> specs;
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        PageSpec random;
        random.seed = seed;
        random.minTiers = 2;
        random.maxTiers = 5;
        random.maxPanels = 4;
        specs.push_back(random);
    }
    PageSpec scanned = specs[0];
    scanned.paper = qRgb(244, 242, 236);
    scanned.noise = 10;
    scanned.borders = false;
    scanned.headerHeight = 60;
    scanned.footerHeight = 20;
    specs.push_back(scanned);
    for (const auto& sample : samplePages())
        specs.push_back(sample.spec);

    for (const auto& spec : specs) {
        SCOPED_TRACE(testing::Message() << "seed " << spec.seed);
        const auto page = generatePage(spec);
        const auto& layout = page.layout;
        ASSERT_EQ(page.image.size(), QSize(spec.width, spec.height));
        if (spec.panelsPerTier.empty()) {
            EXPECT_GE(layout.tiers.size(), 2u);
            EXPECT_LE(layout.tiers.size(), 5u);
        } else {
            ASSERT_EQ(layout.tiers.size(), spec.panelsPerTier.size());
            for (size_t t = 0; t < layout.tiers.size(); ++t)
                EXPECT_EQ(layout.tiers[t].panels.size(), size_t(spec.panelsPerTier[t]));
        }
        const QRect content = QRect(QPoint(0, 0), layout.size)
                                  .adjusted(spec.margin, spec.margin, -spec.margin, -spec.margin);
        for (const QRect& panel : layout.panels()) {
            EXPECT_TRUE(content.contains(panel)) << "panel outside the margins";
            if (spec.borders) {
                EXPECT_EQ(page.image.pixel(panel.topLeft()), qRgb(0, 0, 0));
                EXPECT_EQ(page.image.pixel(panel.bottomRight()), qRgb(0, 0, 0));
            }
        }
        expectCutterSeesLayout(page.image, layout);
    }
}

TEST(PageGenerator, RejectsSpecsItCannotDraw) {
    PageSpec tooMany;
    tooMany.panelsPerTier = {40};
    EXPECT_THROW(generatePage(tooMany), std::invalid_argument);
    PageSpec emptyTier;
    emptyTier.panelsPerTier = {2, 0};
    EXPECT_THROW(generatePage(emptyTier), std::invalid_argument);
    PageSpec loud;
    loud.noise = 40;
    EXPECT_THROW(generatePage(loud), std::invalid_argument);
    PageSpec crowded;
    crowded.height = 300;
    crowded.headerHeight = 200;
    EXPECT_THROW(generatePage(crowded), std::invalid_argument);
}

TEST(PageHelpers, ExactRowsAndSavedFiles) {
    const QImage page = pageWithRows(
        60, 20, {{2, 4}, {10, 12, qRgb(200, 200, 200)}, {18, 30, qRgb(255, 255, 255)}});
    EXPECT_EQ(page.pixel(59, 3), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(0, 11), qRgb(200, 200, 200));
    EXPECT_EQ(page.pixel(30, 7), qRgb(255, 255, 255));
    EXPECT_GT(rowLevel(page, 0), kLevel);
    EXPECT_EQ(rowLevel(page, 11), 0.0); // below the per-pixel threshold, counts nothing

    // Half pure white, half black: 0.5 × 1677.72 is under the level, so not a white row.
    QImage half = plainPage(100, 4);
    for (int x = 50; x < 100; ++x)
        half.setPixel(x, 1, qRgb(0, 0, 0));
    EXPECT_LT(rowLevel(half, 1), kLevel);

    TempFolder folder;
    PageSpec small;
    small.width = 300;
    small.height = 400;
    small.seed = 5;
    const auto drawn = generatePage(small);
    for (auto format : {PageFormat::Png, PageFormat::Bmp})
        EXPECT_EQ(QImage(savePage(drawn.image, folder.path(), "page", format))
                      .convertToFormat(QImage::Format_RGB32),
                  drawn.image);
    const QImage decoded =
        decodeWithDjpeg(savePage(drawn.image, folder.path(), "page", PageFormat::Jpeg, 90));
    ASSERT_EQ(decoded.size(), drawn.image.size());

    EXPECT_THROW(savePage(drawn.image, folder.file("missing/deeper"), "page", PageFormat::Png),
                 std::runtime_error);
    EXPECT_THROW(savePage(drawn.image, folder.path(), "page", PageFormat::Jpeg, 101),
                 std::invalid_argument);
}

TEST(SamplePages, SmallJpegFilesThatKeepTheirGutters) {
    TempFolder folder;
    const QStringList paths = writeSamplePages(folder.path());
    const auto samples = samplePages();
    ASSERT_EQ(paths.size(), qsizetype(samples.size()));
    for (size_t i = 0; i < samples.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        EXPECT_TRUE(paths[i].endsWith(samples[i].name + ".jpg"));
        EXPECT_LT(QFileInfo(paths[i]).size(), 300 * 1024);
        const QImage decoded = decodeWithDjpeg(paths[i]);
        ASSERT_FALSE(decoded.isNull());
        const PageLayout layout = generatePage(samples[i].spec).layout;
        ASSERT_EQ(decoded.size(), layout.size);
        // JPEG's chroma smoothing may darken the row next to a panel; the rest of each gutter
        // must stay white.
        for (const auto& white : layout.whiteRows)
            for (int y = white.first + 1; y < white.last; ++y)
                ASSERT_GT(rowLevel(decoded, y), kLevel) << "row " << y;
        for (const auto& tier : layout.tiers)
            for (int y = tier.rows.first; y <= tier.rows.last; ++y)
                ASSERT_LE(rowLevel(decoded, y), kLevel) << "row " << y;
    }
}

} // namespace
