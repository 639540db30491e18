#include "review/compare_tool.h"
#include "review/cut_overlay.h"
#include "review/picture_box.h"
#include "review/thumbnail_slot.h"
#include "review_fixture.h"
#include "settings/cls_initreg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace vantola::test {
namespace {

// Without a source folder the tool asks for a picture: Cancel leaves no window, and the chosen
// picture's folder becomes the source folder, here one without JPEG pages.
TEST_F(ReviewTest, AFolderWithoutJpegPagesShowsNothingAndSaysSo) {
    ASSERT_TRUE(writeFileBytes(home.file(QStringLiteral("param.ini")),
                               "[FRANCAIS]\r\nT12=Revue des pages\r\n"));
    ASSERT_TRUE(writeFileBytes(source.file(QStringLiteral("c.jpeg")), "x"));
    ASSERT_TRUE(writeFileBytes(source.file(QStringLiteral("d.bmp")), "x"));
    EXPECT_EQ(showCompareTool(*window), nullptr);
    QApplication::processEvents();
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<MDI_Compare*>(widget), nullptr);
    EXPECT_TRUE(state.sRepSource.isEmpty());
    nextImage = source.file(QStringLiteral("d.bmp"));
    openReview();
    EXPECT_EQ(state.sRepSource, source.path());
    EXPECT_TRUE(compare->isMaximized());

    EXPECT_TRUE(diapo().tabImages().empty());
    EXPECT_EQ(diapo().windowTitle(), QStringLiteral("Revue des pages"));
    EXPECT_EQ(diapo().LblInfo()->text(), QStringLiteral("Aucune image .JPG dans ") + source.path());
    EXPECT_FALSE(diapo().ImageORIGINAL()->notice().isEmpty());
    EXPECT_TRUE(shownSlots().empty());
    EXPECT_FALSE(diapo().CmdRedecouper()->isEnabled());
    // Even driven directly, nothing runs and nothing breaks.
    diapo().HScrollFile_Change();
    diapo().chkRedecoupe()->setChecked(true);
    diapo().CmdRedecouper_Click();
    diapo().CmdRecoupeALL_Click();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(QFile::exists(pieceFolder()));
}

// An unreadable page or piece is named in place of its picture; a cut record without a usable
// page size draws no outline and says why. The rest of the window goes on working.
TEST_F(ReviewTest, UnreadablePicturesAndRecordsAreNamedInsteadOfShown) {
    addThreePages();
    cutFolder();
    const QStringList pieces = piecesOnDisk(QStringLiteral("a.jpg"));
    ASSERT_TRUE(writeFileBytes(source.file(QStringLiteral("a.jpg")), "not a picture"));
    ASSERT_TRUE(writeFileBytes(pieceFolder() + pieces[1], "not a picture either"));
    Cls_InitREG ini;
    ini.IniEcrire(source.file(QStringLiteral("b.jpg")), QStringLiteral("WIDTH"),
                  QStringLiteral("0"), state.sFichierDecoupage);
    ini.IniEcrire(source.file(QStringLiteral("c.jpg")), QStringLiteral("HEIGHT"),
                  QStringLiteral("haut"), state.sFichierDecoupage);
    openReview();

    EXPECT_TRUE(diapo().ImageORIGINAL()->picture().isNull());
    EXPECT_TRUE(diapo().ImageORIGINAL()->notice().contains(QStringLiteral("a.jpg")));
    EXPECT_FALSE(sketchBounds(qRgb(0, 0, 0)).isEmpty()); // the record still draws
    EXPECT_EQ(shownSlots().size(), 3u);
    EXPECT_TRUE(diapo().Image1(1)->picture().isNull());
    EXPECT_TRUE(diapo().Image1(1)->notice().contains(pieces[1]));
    EXPECT_FALSE(diapo().Image1(2)->picture().isNull());
    diapo().EffacerDiapo(1); // an unreadable piece can still be deleted
    EXPECT_EQ(diapo().LblInfo()->text(), QStringLiteral("2 diapos sur a.jpg"));

    for (int page : {1, 2}) {
        SCOPED_TRACE(page);
        showPage(page);
        EXPECT_TRUE(sketchBounds(qRgb(0, 0, 0)).isEmpty());
        EXPECT_TRUE(diapo().PicCalque()->notice().contains(QStringLiteral("HEIGHT")));
        EXPECT_FALSE(diapo().ImageORIGINAL()->picture().isNull());
        EXPECT_EQ(shownSlots().size(), 3u);
    }
    showPage(0); // a sound record draws again, and clears the notice
    EXPECT_FALSE(sketchBounds(qRgb(0, 0, 0)).isEmpty());
    EXPECT_TRUE(diapo().PicCalque()->notice().isEmpty());
}

} // namespace
} // namespace vantola::test
