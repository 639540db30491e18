#include "review/compare_tool.h"
#include "review/piece_listing.h"
#include "review_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>

namespace vantola::test {
namespace {

bool anyCompareWindowLeft() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<MDI_Compare*>(widget))
            return true;
    }
    return false;
}

TEST_F(ReviewTest, WithoutSourceFolderTheToolAsksAndCancelLeavesNoWindow) {
    addThreePages();
    ASSERT_TRUE(state.sRepSource.isEmpty());
    nextImage.clear();
    EXPECT_EQ(showCompareTool(*window), nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(anyCompareWindowLeft());
    EXPECT_TRUE(state.sRepSource.isEmpty());

    // The chosen picture's folder becomes the source folder.
    nextImage = source.file(QStringLiteral("b.jpg"));
    openReview();
    EXPECT_EQ(state.sRepSource, source.path());
    EXPECT_EQ(compare->windowTitle(), QStringLiteral("Vantola - Outil de comparaison de découpe"));
    EXPECT_TRUE(compare->isMaximized());
    EXPECT_EQ(diapo().tabImages().size(), 3u);
}

TEST_F(ReviewTest, ShowingAgainOnlyBringsTheOpenToolToTheFront) {
    addThreePages();
    cutFolder();
    nextImage = QStringLiteral("/never/asked.jpg");
    openReview();
    diapo().chkRedecoupe()->setChecked(true);
    EXPECT_EQ(showCompareTool(*window), compare);
    EXPECT_EQ(diapo().tabImages()[0].mark, QStringLiteral("OK")); // the same review window

    // Closing only the review window leaves an empty container, which comes back empty.
    compare->area()->subWindowList().front()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(compare->diapo(), nullptr);
    EXPECT_EQ(showCompareTool(*window), compare);
    EXPECT_EQ(compare->diapo(), nullptr);

    // After the container itself was closed, a new one opens with its review window.
    closeReview();
    openReview();
    EXPECT_EQ(diapo().tabImages()[0].mark, QString());
    EXPECT_EQ(state.sRepSource, source.path());
}

class PieceListingTest : public ReviewTest {
protected:
    void SetUp() override {
        ReviewTest::SetUp();
        state.sRepSource = source.path();
        tool = std::make_unique<MDI_Compare>(*window);
        QDir().mkpath(pieceFolder());
    }
    void touch(const QString& name) { ASSERT_TRUE(writeFileBytes(pieceFolder() + name, "x")); }
    QStringList listed(const QString& page) {
        tool->renseigner_tableau(page);
        QStringList names;
        for (const QString& path : state.tabDiapos) {
            EXPECT_TRUE(path.startsWith(pieceFolder()));
            names << path.mid(pieceFolder().size());
        }
        return names;
    }
    std::unique_ptr<MDI_Compare> tool;
};

TEST_F(PieceListingTest, PiecesMatchThePageNameAsAPrefixWithoutRegardToCase) {
    for (const char* name : {"page01.jpg-0001.jpg", "PAGE01.JPG-0002.jpg", "page02.jpg-0001.jpg",
                             "a.jpgx.jpg", ".page01.jpg-hidden", "page01.jp"})
        touch(QLatin1String(name));
    QDir().mkpath(pieceFolder() + QStringLiteral("page01.jpg-folder"));

    EXPECT_EQ(listed(QStringLiteral("page01.jpg")),
              QStringList({"page01.jpg-0001.jpg", "PAGE01.JPG-0002.jpg"}));
    EXPECT_EQ(listed(QStringLiteral("a.jpg")), QStringList({"a.jpgx.jpg"}));
    EXPECT_TRUE(listed(QStringLiteral("page03.jpg")).isEmpty());

    // A folder that was never cut has no piece folder: nothing is listed.
    QDir(pieceFolder()).removeRecursively();
    EXPECT_TRUE(listed(QStringLiteral("page01.jpg")).isEmpty());
    // A source folder given without its final separator finds the same piece folder.
    QDir().mkpath(pieceFolder());
    touch(QStringLiteral("page01.jpg-0001.jpg"));
    state.sRepSource.chop(1);
    EXPECT_EQ(listed(QStringLiteral("page01.jpg")), QStringList({"page01.jpg-0001.jpg"}));
}

TEST_F(PieceListingTest, TheBarCyclesWhileListingAndHidesAtTheEnd) {
    for (int i = 1; i <= 250; ++i)
        touch(QStringLiteral("p.jpg-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    std::vector<int> values;
    QObject::connect(tool->ProgressBar1(), &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    EXPECT_EQ(listed(QStringLiteral("p.jpg")).size(), 250);

    // 0 at the start, then 1 to 96 and over again from 1 (96 + 96 + 58 files), 100 at the end.
    ASSERT_GE(values.size(), 4u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 100);
    EXPECT_EQ(values[values.size() - 2], 58);
    EXPECT_EQ(*std::max_element(values.begin(), values.end() - 1), 96);
    EXPECT_EQ(std::count(values.begin(), values.end(), 0), 3);
    EXPECT_EQ(values.size(), 1u + 250u + 2u + 1u);
    EXPECT_FALSE(tool->ProgressBar1()->isVisible());
}

} // namespace
} // namespace vantola::test
