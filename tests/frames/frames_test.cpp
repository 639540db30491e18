// The frame finder: on generated pages where cutting along white gutters fails, every panel is
// found; through the program, a frames job writes its pieces and record in reading order, the
// same with one thread and with two.
#include "cutting/frame_finder.h"
#include "cutting/frame_order.h"
#include "cutting/grid_fill.h"
#include "frame_pages.h"
#include "support/job_fixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

using generator::FramePageKind;

double iou(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    const double shared = double(common.width()) * common.height();
    return shared / (double(a.width()) * a.height() + double(b.width()) * b.height() - shared);
}

// How well a piece matches a panel: its IoU with the panel, or with the panel and the balloon
// over its edge when the piece took the balloon whole.
double match(const QRect& panel, const QRect& balloon, const QRect& piece) {
    const double alone = iou(panel, piece);
    return balloon.intersects(panel) ? std::max(alone, iou(panel.united(balloon), piece)) : alone;
}

std::vector<QRect> foundPanels(const QImage& page) {
    PageGrid grid(page.width(), page.height());
    fillGridRows(page, grid, 0, page.height() - 1);
    std::vector<QRect> found;
    for (const PanelBox& box : findFrames(grid, page.width(), 0, page.height() - 1))
        found.push_back(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
    return found;
}

class FramePages : public ::testing::TestWithParam<FramePageKind> {};

TEST_P(FramePages, EveryPanelIsFoundAndNothingElse) {
    for (const std::uint64_t seed : {1, 2, 3}) {
        SCOPED_TRACE(seed);
        const generator::FramePage page = generator::framePage(GetParam(), seed);
        const std::vector<QRect> found = foundPanels(page.image);
        EXPECT_EQ(found.size(), page.panels.size());
        for (const QRect& panel : page.panels) {
            double best = 0;
            for (const QRect& piece : found)
                best = std::max(best, match(panel, page.balloon, piece));
            EXPECT_GE(best, 0.85) << "panel " << panel.x() << "," << panel.y() << " "
                                  << panel.width() << "x" << panel.height();
        }
        // A balloon across a gutter is whole in one piece (but for its antialiased edge).
        if (!page.balloon.isNull()) {
            EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const QRect& piece) {
                return piece.contains(page.balloon.adjusted(2, 2, -2, -2));
            }));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FramePages,
    ::testing::Values(FramePageKind::BlackPaper, FramePageKind::ColouredPaper,
                      FramePageKind::EmptyFrames, FramePageKind::BalloonAcrossGutter,
                      FramePageKind::Bleeding, FramePageKind::Frameless, FramePageKind::Skewed,
                      FramePageKind::JpegNoise, FramePageKind::NoPanel, FramePageKind::TextColumns,
                      FramePageKind::TouchingFrames, FramePageKind::ScatteredDrawing,
                      FramePageKind::JoinedFrames, FramePageKind::FigureOverFrame,
                      FramePageKind::FiguresWithoutFrame, FramePageKind::FramelessBesideFrames));

// Reading order: rows top to bottom; a panel spanning two rows comes before the panels beside it
// that start lower; a balloon over the gutter between two rows does not hide it; panels that no
// straight gap parts (a pinwheel) go by their top. Panels are {left, right, top, bottom}, listed
// in reading order from the left, with the order from the right as indexes into that list.
TEST(FrameOrder, RowsThenSidesFromTheReadingSide) {
    const struct {
        std::vector<PanelBox> panels;
        std::vector<std::size_t> fromTheRight;
    } cases[] = {
        {{{0, 90, 0, 90}, {110, 200, 0, 90}, {0, 90, 110, 200}, {110, 200, 110, 200}},
         {1, 0, 3, 2}},
        {{{0, 90, 0, 200}, {110, 200, 0, 90}, {110, 200, 110, 200}}, {1, 2, 0}},
        {{{0, 90, 0, 90}, {110, 200, 0, 90}, {0, 90, 110, 200}, {110, 200, 70, 200}}, {1, 0, 3, 2}},
        {{{0, 60, 0, 130}, {70, 200, 0, 60}, {140, 200, 70, 200}, {0, 130, 140, 200}},
         {1, 0, 2, 3}},
    };
    for (const auto& [panels, fromTheRight] : cases) {
        for (const bool rightToLeft : {false, true}) {
            std::vector<PanelBox> ordered(panels.rbegin(), panels.rend());
            orderPanels(ordered, rightToLeft);
            std::vector<PanelBox> expected = panels;
            for (std::size_t i = 0; rightToLeft && i < panels.size(); ++i)
                expected[i] = panels[fromTheRight[i]];
            EXPECT_EQ(ordered, expected) << panels.size() << " panels, rtl " << rightToLeft;
        }
    }
}

class FramesJob : public ::testing::Test, public JobFixture {};

TEST_F(FramesJob, PiecesInReadingOrderTheSameOnOneAndTwoThreads) {
    const generator::FramePage framed = generator::framePage(FramePageKind::BalloonAcrossGutter, 4);
    ASSERT_TRUE(framed.image.save(file("a.jpg")));
    ASSERT_TRUE(generator::framePage(FramePageKind::NoPanel, 1).image.save(file("b.jpg")));
    // Left to right, tier after tier: the record keeps each panel where the generator drew it.
    ASSERT_EQ(cutWithVantola(file("a.jpg"), {"--finder", "frames"}).status, 0);
    const std::vector<QRect> pieces = recordedPieces(state.sFichierDecoupage, file("a.jpg"));
    ASSERT_EQ(pieces.size(), framed.panels.size());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_GE(match(framed.panels[i], framed.balloon, pieces[i]), 0.85) << i;
    // param.ini's DETECTION chooses the finder when no option does.
    setParam("DETECTION", "CADRES");
    ASSERT_EQ(cutWithVantola(file("a.jpg")).status, 0);
    EXPECT_EQ(recordedPieces(state.sFichierDecoupage, file("a.jpg")), pieces);
    ASSERT_EQ(cutWithVantola(file("a.jpg"), {"--finder", "gutters"}).status, 0);
    EXPECT_NE(recordedPieces(state.sFichierDecoupage, file("a.jpg")), pieces);
    // Right to left: the two panels of each tier swap.
    ASSERT_EQ(cutWithVantola(file("a.jpg"), {"--finder", "frames", "--rtl"}).status, 0);
    const std::vector<QRect> fromTheRight = recordedPieces(state.sFichierDecoupage, file("a.jpg"));
    ASSERT_EQ(fromTheRight.size(), pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(fromTheRight[i], pieces[i ^ 1]) << i;

    // A folder job: the page without panel is one piece and says so in the log.
    QMap<QString, QByteArray> outputs[2];
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        ASSERT_EQ(cutWithVantola(source(), {"--finder", "frames", "--frames", "--threads",
                                            QString::number(threads)})
                      .status,
                  0);
        outputs[threads - 1] = folderContents(output(), source());
        EXPECT_EQ(fileNames(output(), "*.jpg").size(), pieces.size() + 1);
        EXPECT_TRUE(outputLog().contains("Aucune case trouvée, la page est gardée entière : " +
                                         file("b.jpg")));
        QDir(output()).removeRecursively();
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}

} // namespace
} // namespace vantola::test
