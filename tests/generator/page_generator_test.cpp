// The test pages are worth what their layout says: the same seed draws the same page, and the
// cutter's measure of white agrees with the gutters and margins the generator reports.
#include "support/test_pages.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

using namespace vantola::test;

constexpr double kLevel = 1450;

// How a cutter sees whiteness, on the packed colour R + 256·G + 65536·B divided by 10000 (pure
// white 1677.7215): the running sum, rounded halves to even after each addition, of the pixels
// above threshold, divided by the width (a row) or by bottom - top (a column between those rows,
// both included in the sum). Worked out here independently of the cutter.
int addLevel(int sum, QRgb pixel, int threshold = 14500000) {
    const int value = qRed(pixel) + 256 * qGreen(pixel) + 65536 * qBlue(pixel);
    return value <= threshold ? sum : static_cast<int>(std::nearbyint(sum + value / 10000.0));
}

double rowLevel(const QImage& image, int y) {
    if (y < 0 || y >= image.height())
        throw std::out_of_range("rowLevel: row " + std::to_string(y) + " is outside the page");
    int sum = 0;
    for (int x = 0; x < image.width(); ++x)
        sum = addLevel(sum, image.pixel(x, y));
    return static_cast<double>(sum) / image.width();
}

double columnLevel(const QImage& image, int x, int top, int bottom) {
    if (x < 0 || x >= image.width() || top < 0 || bottom >= image.height() || bottom <= top)
        throw std::out_of_range("columnLevel: column " + std::to_string(x) + ", rows " +
                                std::to_string(top) + ".." + std::to_string(bottom) +
                                " are not a band of the page");
    int sum = 0;
    for (int y = top; y <= bottom; ++y)
        sum = addLevel(sum, image.pixel(x, y));
    return static_cast<double>(sum) / (bottom - top);
}

TEST(PageGenerator, SameSeedSamePixelsOtherSeedOtherPixels) {
    PageSpec spec{.seed = 7, .panelsPerTier = {}, .noise = 6, .headerHeight = 50};
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
    for (std::uint64_t seed = 1; seed <= 3; ++seed)
        specs.push_back(
            {.seed = seed, .minTiers = 2, .maxTiers = 5, .maxPanels = 4, .panelsPerTier = {}});
    PageSpec scanned = specs[0]; // a scanned look: tinted noisy paper, no frames, header, footer
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
        // The cutter's view matches the layout: a row is white exactly when nothing was drawn
        // across it, and inside each tier's band (one white row above and below) a column is
        // white exactly when it falls in a margin or a gutter.
        const auto inAny = [](const std::vector<Span>& spans, int i) {
            return std::any_of(spans.begin(), spans.end(),
                               [i](const Span& s) { return s.contains(i); });
        };
        for (int y = 0; y < spec.height; ++y)
            ASSERT_EQ(rowLevel(page.image, y) > kLevel, inAny(layout.whiteRows, y)) << "row " << y;
        for (const auto& tier : layout.tiers)
            for (int x = 0; x < spec.width; ++x)
                ASSERT_EQ(columnLevel(page.image, x, tier.rows.first - 1, tier.rows.last + 1) >
                              kLevel,
                          inAny(tier.whiteColumns, x))
                    << "column " << x << " of the tier from row " << tier.rows.first;
    }
}

} // namespace
