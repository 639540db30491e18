#pragma once

// Synthetic comic pages for the tests, the benchmarks and the sample pages of examples/.
//
// A page is drawn from a seed alone, so the same spec always gives the same pixels. Panels are
// filled with mid tones (every channel of a panel background is dark enough that the cutter never
// counts it as white), gutters and margins are paper. Next to the picture the generator returns
// the layout it drew, so that a test can check that the cutter finds exactly those panels.

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace vantola::generator {

// splitmix64: small, fast, and the same sequence on every platform and standard library.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // An integer in [low, high] (both included); low when high < low.
    int between(int low, int high);
    // A real in [0, 1).
    double unit();
    // A real in [low, high).
    double between(double low, double high) { return low + (high - low) * unit(); }
    bool chance(double probability) { return unit() < probability; }

private:
    std::uint64_t state_;
};

// An inclusive run of rows or columns.
struct Span {
    int first = 0;
    int last = 0;
    int length() const { return last - first + 1; }
    bool contains(int i) const { return i >= first && i <= last; }
    friend bool operator==(const Span&, const Span&) = default;
};

struct PageSpec {
    int width = 1240; // A4 at 150 dpi
    int height = 1754;
    std::uint64_t seed = 1;
    // Tiers (bands of panels) and panels per tier, each drawn at random within its range unless
    // panelsPerTier is given, which then fixes both the tier count and the panels of each tier.
    int minTiers = 3;
    int maxTiers = 3;
    int minPanels = 1;
    int maxPanels = 3;
    std::vector<int> panelsPerTier;
    int gutter = 24; // white space between tiers and between panels
    int margin = 60; // white space around everything drawn
    int noise = 0;   // scan noise: each channel moves by up to this much (0..32)
    QRgb paper = qRgb(255, 255, 255);
    bool borders = true;  // black frame around each panel
    bool shapes = true;   // circles, rectangles, lines and hatching in the panels
    bool balloons = true; // speech balloons with a tail and scribbled text
    bool emptyPanels =
        false;            // panels left as paper inside their frame (no tones, shapes, balloons)
    int headerHeight = 0; // title strip above the panels, 0 for none
    int footerHeight = 0; // page number strip below the panels, 0 for none
};

struct TierLayout {
    Span rows;                 // rows covered by the panels of the tier
    std::vector<QRect> panels; // left to right, frame included
    // Runs of columns with nothing drawn over the tier's rows, left to right: the left margin,
    // the gutter after each panel but the last, the right margin.
    std::vector<Span> whiteColumns;
};

struct PageLayout {
    QSize size;
    QRect header; // null when the page has none
    QRect footer; // null when the page has none
    std::vector<TierLayout> tiers;
    // Runs of rows with nothing drawn across the whole page, top to bottom: the top margin, the
    // gaps around the header and the footer, the gutters between tiers, the bottom margin.
    std::vector<Span> whiteRows;

    // Every panel, tier after tier, left to right.
    std::vector<QRect> panels() const;
};

struct GeneratedPage {
    QImage image; // Format_RGB32
    PageLayout layout;
};

// Draws the page. Throws std::invalid_argument, saying which parameter is wrong, when the page
// description is out of range or the panels do not fit on the page.
GeneratedPage generatePage(const PageSpec& spec);

// A page of one colour (Format_RGB32).
QImage plainPage(int width, int height, QRgb colour = qRgb(255, 255, 255));

enum class PageFormat { Jpeg, Png, Bmp };

// Saves the page as folder/baseName.jpg (.png, .bmp) and returns that path. quality applies to
// JPEG only (0..100). Throws std::runtime_error with the path and the writer's reason on failure.
QString savePage(const QImage& image, const QString& folder, const QString& baseName,
                 PageFormat format, int quality = 90);

// The sample pages of examples/: a classic three-tier page, a four-tier page with a wide panel,
// a title and a page number, a borderless page on slightly grey paper with scan noise, and a
// one-tier strip. Each is written as name + ".jpg" at the given JPEG quality.
struct SamplePage {
    QString name;
    PageSpec spec;
    int quality = 85;
};
std::vector<SamplePage> samplePages();

// Writes every sample page into folder and returns their paths.
QStringList writeSamplePages(const QString& folder);

} // namespace vantola::generator
