#include "app/progress_panel.h"

#include <QStatusBar>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBackground(200, 200, 200);

// A ready 200 x 20 panel with a red bar on a light grey background.
class ProgressPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(200, 20);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, kBackground);
        panel.setPalette(palette);
        panel.setProgressColor(kRed);
        panel.setTextColor(QColor(0, 0, 255));
        panel.Initialize(&statusBar);
    }

    QColor at(int x, int y) const { return panel.picture().pixelColor(x, y); }

    // The bar's colour over the background: not-XOR of red and grey.
    static QColor invertedBar() {
        return QColor(255 - (255 ^ 200), 255 - (0 ^ 200), 255 - (0 ^ 200));
    }

    QStatusBar statusBar;
    Pgb2Panel panel;
};

TEST(ProgressPanel, DrawsNothingBeforeInitialize) {
    Pgb2Panel panel;
    panel.resize(100, 20);
    panel.DrawPanel(50, QStringLiteral("Page"));
    EXPECT_FALSE(panel.isReady());
    EXPECT_TRUE(panel.picture().isNull());
}

TEST_F(ProgressPanelTest, ValuesAbove100FillTheWholePanel) {
    panel.DrawPanel(150, QString());
    EXPECT_EQ(panel.shownValue(), 100);
    EXPECT_EQ(panel.picture().size(), QSize(200, 20));
    // Top row (above the text): the bar from the first column to the last.
    EXPECT_EQ(at(0, 0), invertedBar());
    EXPECT_EQ(at(199, 0), invertedBar());
    // The percentage "100%" under the bar is inverted, not hidden: red on red gives white, far
    // lighter than the bar's dark red.
    int lightInBar = 0;
    for (int x = 60; x < 140; ++x)
        for (int y = 0; y < 20; ++y)
            lightInBar += at(x, y).green() > 150;
    EXPECT_GT(lightInBar, 15);
}

TEST_F(ProgressPanelTest, ZeroAndNegativeValuesDrawNoBar) {
    panel.DrawPanel(0, QString());
    EXPECT_EQ(at(0, 0), kBackground);
    EXPECT_EQ(at(199, 0), kBackground);
    panel.DrawPanel(-5, QString());
    EXPECT_EQ(panel.shownValue(), -5);
    EXPECT_EQ(at(0, 0), kBackground);
}

TEST_F(ProgressPanelTest, TheLabelPushesTheBarRight) {
    panel.DrawPanel(100, QStringLiteral("1er passe de page1.jpg"));
    EXPECT_EQ(panel.shownText(), QStringLiteral("1er passe de page1.jpg"));
    // The label's area is not covered by the bar; the panel's right end is.
    EXPECT_EQ(at(0, 0), kBackground);
    EXPECT_EQ(at(199, 0), invertedBar());
    bool blueText = false;
    for (int x = 0; x < 40 && !blueText; ++x)
        for (int y = 0; y < 20 && !blueText; ++y)
            blueText = at(x, y).blue() > 150 && at(x, y).red() < 100;
    EXPECT_TRUE(blueText);

    // Half the rest of the panel at 50%.
    panel.DrawPanel(50, QStringLiteral("1er passe de page1.jpg"));
    int barStart = 0;
    while (barStart < 200 && at(barStart, 0) != invertedBar())
        ++barStart;
    int barEnd = barStart;
    while (barEnd < 200 && at(barEnd, 0) == invertedBar())
        ++barEnd;
    EXPECT_GT(barStart, 40);
    EXPECT_NEAR(barEnd - barStart, (200 - barStart) / 2.0, 1.0);
}

} // namespace
} // namespace vantola::test
