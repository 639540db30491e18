#include "app/progress_panel.h"

#include <QStatusBar>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

const QColor kBackground(200, 200, 200);
// The red bar drawn over the grey background: not-XOR of the two.
const QColor kBar(255 - (255 ^ 200), 255 - (0 ^ 200), 255 - (0 ^ 200));

// A ready 200 x 20 panel with a red bar and a blue label on a light grey background.
class ProgressPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(200, 20);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, kBackground);
        panel.setPalette(palette);
        panel.setProgressColor(QColor(255, 0, 0));
        panel.setTextColor(QColor(0, 0, 255));
        panel.DrawPanel(50, "Page");
        EXPECT_TRUE(panel.picture().isNull()); // nothing is drawn before Initialize
        panel.Initialize(&statusBar);
    }

    QColor at(int x, int y) const { return panel.picture().pixelColor(x, y); }
    // Pixels of the rectangle for which the test holds.
    int count(QRect area, const std::function<bool(QColor)>& test) const {
        int found = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                found += test(at(x, y));
        return found;
    }

    QStatusBar statusBar;
    Pgb2Panel panel;
};

// Nothing at or under 0; over 100 all, the label inverted under the bar, not hidden (white).
TEST_F(ProgressPanelTest, BarRunsFromNothingAtZeroToTheWholePanelAbove100) {
    for (const int value : {0, -5}) {
        panel.DrawPanel(value, QString());
        EXPECT_EQ(panel.shownValue(), value);
        EXPECT_EQ(at(0, 0), kBackground);
        EXPECT_EQ(at(199, 0), kBackground);
    }
    panel.DrawPanel(150, QString());
    EXPECT_EQ(panel.shownValue(), 100);
    EXPECT_EQ(panel.picture().size(), QSize(200, 20));
    EXPECT_EQ(at(0, 0), kBar);
    EXPECT_EQ(at(199, 0), kBar);
    EXPECT_GT(count({60, 0, 80, 20}, [](QColor c) { return c.green() > 150; }), 15);
}

TEST_F(ProgressPanelTest, TheLabelPushesTheBarRight) {
    panel.DrawPanel(100, "1er passe de page1.jpg");
    EXPECT_EQ(panel.shownText(), "1er passe de page1.jpg");
    EXPECT_EQ(at(0, 0), kBackground);
    EXPECT_EQ(at(199, 0), kBar);
    EXPECT_GT(count({0, 0, 40, 20}, [](QColor c) { return c.blue() > 150 && c.red() < 100; }), 0);

    // At 50%, half the panel right of the label.
    panel.DrawPanel(50, "1er passe de page1.jpg");
    int barStart = 0;
    while (barStart < 200 && at(barStart, 0) != kBar)
        ++barStart;
    const int barLength =
        count({barStart, 0, 200 - barStart, 1}, [](QColor c) { return c == kBar; });
    EXPECT_GT(barStart, 40);
    EXPECT_NEAR(barLength, (200 - barStart) / 2.0, 1.0);
}

} // namespace
} // namespace vantola::test
