#include "review/cut_overlay.h"
#include "review/picture_box.h"
#include "review/thumbnail_slot.h"
#include "review_fixture.h"
#include "settings/cls_initreg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace vantola::test {
namespace {

bool allWhite(const QImage& surface) {
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (surface.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

TEST_F(ReviewTest, AFolderWithoutJpegPagesShowsNothingAndSaysSo) {
    ASSERT_TRUE(writeFileBytes(home.file(QStringLiteral("param.ini")),
                               "[FRANCAIS]\r\nT12=Revue des pages\r\n"));
    ASSERT_TRUE(writeFileBytes(source.file(QStringLiteral("c.jpeg")), "x"));
    ASSERT_TRUE(writeFileBytes(source.file(QStringLiteral("d.bmp")), "x"));
    nextImage = source.file(QStringLiteral("d.bmp"));
    openReview();

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

TEST_F(ReviewTest, UnreadablePagesAndPiecesAreNamedInsteadOfShown) {
    addThreePages();
    cutFolder();
    const QStringList pieces = piecesOnDisk(QStringLiteral("a.jpg"));
    ASSERT_TRUE(writeFileBytes(source.file(QStringLiteral("a.jpg")), "not a picture"));
    ASSERT_TRUE(writeFileBytes(pieceFolder() + pieces[1], "not a picture either"));
    openReview();

    EXPECT_TRUE(diapo().ImageORIGINAL()->picture().isNull());
    EXPECT_TRUE(diapo().ImageORIGINAL()->notice().contains(QStringLiteral("a.jpg")));
    EXPECT_FALSE(allWhite(diapo().PicCalque()->surface())); // the record still draws
    EXPECT_EQ(shownSlots().size(), 3u);
    EXPECT_TRUE(diapo().Image1(1)->picture().isNull());
    EXPECT_TRUE(diapo().Image1(1)->notice().contains(pieces[1]));
    EXPECT_FALSE(diapo().Image1(2)->picture().isNull());

    // The unreadable piece can still be deleted; the window goes on to the next page.
    diapo().EffacerDiapo(1);
    EXPECT_EQ(diapo().LblInfo()->text(), QStringLiteral("2 diapos sur a.jpg"));
    showPage(1);
    EXPECT_FALSE(diapo().ImageORIGINAL()->picture().isNull());
}

TEST_F(ReviewTest, ACutRecordWithoutUsableSizeDrawsNoOutline) {
    addThreePages();
    cutFolder();
    Cls_InitREG ini;
    const QString a = source.file(QStringLiteral("a.jpg"));
    const QString b = source.file(QStringLiteral("b.jpg"));
    ini.IniEcrire(a, QStringLiteral("WIDTH"), QStringLiteral("0"), state.sFichierDecoupage);
    ini.IniEcrire(b, QStringLiteral("HEIGHT"), QStringLiteral("haut"), state.sFichierDecoupage);
    openReview();

    for (int page : {0, 1}) {
        showPage(page);
        EXPECT_TRUE(allWhite(diapo().PicCalque()->surface())) << page;
        EXPECT_TRUE(diapo().PicCalque()->notice().contains(QStringLiteral("HEIGHT"))) << page;
        EXPECT_FALSE(diapo().ImageORIGINAL()->picture().isNull());
        EXPECT_EQ(shownSlots().size(), 3u);
    }
    showPage(2); // a sound record draws, and clears the notice
    EXPECT_FALSE(allWhite(diapo().PicCalque()->surface()));
    EXPECT_TRUE(diapo().PicCalque()->notice().isEmpty());
}

} // namespace
} // namespace vantola::test
