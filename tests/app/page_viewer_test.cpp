#include "app/page_picture.h"
#include "app/page_viewer.h"
#include "main_window_test_fixture.h"
#include "support/test_pages.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

namespace vantola::test {
namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(position), widget->mapToGlobal(QPointF(position)), button,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// A 200 x 150 white page with black rows 50 to 59, opened through "&Ouvrir une image".
class PageViewerTest : public MainWindowTest {
protected:
    void SetUp() override {
        openWindow();
        path = savePage(pageWithRows(200, 150, {{50, 59, qRgb(0, 0, 0)}}), home.path(), "page",
                        PageFormat::Png);
        nextImage = path;
        item("mnu_ouvririmg")->trigger();
        picture = window->viewer()->PictureFROM();
    }

    void click(QPoint at) { QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, at); }

    void drag(QPoint from, QPoint to) {
        sendMouse(picture, QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseMove, to, Qt::LeftButton);
        drawnWhileDragging = picture->drawings().size();
        sendMouse(picture, QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    QString path;
    PagePicture* picture = nullptr;
    std::size_t drawnWhileDragging = 0;
};

TEST_F(PageViewerTest, OpeningShowsThePageAndEnablesPicking) {
    EXPECT_TRUE(window->viewer()->PicBIG()->isVisible());
    EXPECT_EQ(picture->size(), QSize(200, 150));
    EXPECT_EQ(window->viewer()->LblInfo()->text(), path + "        Largeur: 200 / Longueur:150");
    EXPECT_TRUE(item("mnu_entete")->isEnabled() && item("mnu_pied")->isEnabled());
    // Smaller than the frame, the page still shows both bars.
    EXPECT_TRUE(window->viewer()->verticalBar()->isVisible() &&
                window->viewer()->horizontalBar()->isVisible());

    // A cancelled dialog and a file that is no picture leave the page as it was.
    nextImage.clear();
    item("mnu_ouvririmg")->trigger();
    writeFileBytes(home.file("broken.jpg"), "not a picture");
    nextImage = home.file("broken.jpg");
    item("mnu_ouvririmg")->trigger();
    EXPECT_EQ(picture->size(), QSize(200, 150));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains("481"));
}

// A click forgets header and footer. Dragging either way over rows 45..65, columns 10..20:
// 11 white rows of 11 pixels adding 17 each, 11 * 11 * 17 * 100 / 21 / 11 rounded = 890.
TEST_F(PageViewerTest, ClicksAndDragsMeasureTheWhiteOfTheirZone) {
    window->job().lLigneEntete = 12;
    window->job().lLignePied = 140;
    click(QPoint(100, 20));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "INFO");
    EXPECT_EQ(messages[0].text, QStringLiteral("Vous avez cliquer du point de couleur :1678\r\n"
                                               "X:100 /Y:20\r\n"
                                               "jusqu'au point de couleur 1678\r\n"
                                               "X:100 /Y:20\r\n\r\n"
                                               "Niveau de blanc de la zone:1700"));
    EXPECT_TRUE(window->job().lLigneEntete == 0 && window->job().lLignePied == 0);
    EXPECT_EQ(window->viewer()->LblInfo()->text(),
              "        Largeur: 200 / Longueur:150 -- Entete:0/ Pied: 0");
    EXPECT_EQ(picture->pressPoint(), QPoint(0, 0));
    messages.clear();
    drag(QPoint(10, 45), QPoint(20, 65));
    EXPECT_EQ(drawnWhileDragging, 2u);
    EXPECT_TRUE(picture->drawings().empty());
    drag(QPoint(20, 65), QPoint(10, 45));
    ASSERT_EQ(messages.size(), 2u);
    for (const ShownMessage& message : messages)
        EXPECT_TRUE(message.text.endsWith("Niveau de blanc de la zone:890"));
    EXPECT_TRUE(messages[0].text.contains(":1678\r\nX:10 /Y:45\r\n"));

    // A press on row 0 draws no rubber band, but the release still measures from it.
    drag(QPoint(30, 0), QPoint(40, 5));
    EXPECT_EQ(drawnWhileDragging, 0u);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages[2].text.contains("X:30 /Y:0"));
    EXPECT_TRUE(messages[2].text.endsWith("zone:1700"));
}

TEST_F(PageViewerTest, HeaderAndFooterPicking) {
    item("mnu_entete")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(window->viewer()->iModeClic(), kClickSetsHeader);
    click(QPoint(30, 40));
    EXPECT_EQ(window->job().lLigneEntete, 40);
    EXPECT_EQ(messages.back().title, "ENTETE DEFINIE SUR LA LIGNE 40");

    item("mnu_pied")->trigger();
    EXPECT_TRUE(window->job().switches.footerEnabled);
    click(QPoint(30, 120));
    EXPECT_EQ(window->job().lLignePied, 120);
    EXPECT_EQ(window->job().lLigneEntete, 40);
    EXPECT_TRUE(messages.back().text.endsWith("zone:1700"));
    EXPECT_TRUE(window->viewer()->LblInfo()->text().endsWith(" -- Entete:40/ Pied: 120"));

    // Unchecking the header forgets its row and goes back to measuring; the footer stays.
    item("mnu_entete")->trigger();
    EXPECT_FALSE(item("mnu_entete")->isChecked());
    EXPECT_EQ(window->job().lLigneEntete, 0);
    EXPECT_EQ(window->job().lLignePied, 120);
    EXPECT_EQ(window->viewer()->iModeClic(), kClickMeasures);
    // Opening a page goes back to measuring without touching the check marks.
    item("mnu_pied")->trigger();
    item("mnu_pied")->trigger();
    item("mnu_ouvririmg")->trigger();
    EXPECT_EQ(window->viewer()->iModeClic(), kClickMeasures);
    EXPECT_TRUE(item("mnu_pied")->isChecked());
}

TEST_F(PageViewerTest, PagesBeyondSixteenBitScrollValuesScrollToTheirEnd) {
    PageViewer* viewer = window->viewer();
    const QSize frame = viewer->PicBIG()->size();
    for (const bool tall : {true, false}) { // the tall page's scroll is undone by the wide one
        viewer->showJobPage(QString(), tall ? plainPage(20, 400000) : plainPage(400000, 20));
        QScrollBar* bar = tall ? viewer->verticalBar() : viewer->horizontalBar();
        const int most = bar->maximum();
        EXPECT_GT(most, 32767);
        EXPECT_TRUE(bar->isVisible());
        bar->setValue(most);
        EXPECT_EQ(picture->pos(), tall ? QPoint(0, -10 * most) : QPoint(-10 * most, 0));
        const QPoint end = picture->geometry().bottomRight() + QPoint(1, 1);
        EXPECT_NEAR(tall ? end.y() : end.x(), tall ? frame.height() : frame.width(), 5);
    }
}

} // namespace
} // namespace vantola::test
