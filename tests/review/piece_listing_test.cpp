// What the review window reads from disk: the pieces of a page and the page's cut record.
#include "review/cut_sketch.h"
#include "review_fixture.h"

#include <QDir>
#include <QProgressBar>
#include <tuple>

namespace vantola::test {
namespace {

// The listing of a page's pieces in the piece folder, with its progress bar.
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
        tool->renseigner_tableau(state.sRepSource, page);
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
    QDir().mkpath(pieceFolder() + "page01.jpg-folder");

    EXPECT_EQ(listed("page01.jpg"), QStringList({"page01.jpg-0001.jpg", "PAGE01.JPG-0002.jpg"}));
    EXPECT_EQ(listed("a.jpg"), QStringList({"a.jpgx.jpg"}));
    EXPECT_TRUE(listed("page03.jpg").isEmpty());

    // A folder that was never cut has no piece folder: nothing is listed.
    QDir(pieceFolder()).removeRecursively();
    EXPECT_TRUE(listed("page01.jpg").isEmpty());
    // A source folder given without its final separator finds the same piece folder.
    QDir().mkpath(pieceFolder());
    touch("page01.jpg-0001.jpg");
    state.sRepSource.chop(1);
    EXPECT_EQ(listed("page01.jpg"), QStringList({"page01.jpg-0001.jpg"}));
}

TEST_F(PieceListingTest, TheBarCyclesWhileListingAndHidesAtTheEnd) {
    for (int i = 1; i <= 250; ++i)
        touch(QString("p.jpg-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    std::vector<int> values;
    QObject::connect(tool->progressBar(), &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    EXPECT_EQ(listed("p.jpg").size(), 250);

    // 0 at the start, then 1 to 96 and over again from 1 (96 + 96 + 58 files), 100 at the end.
    ASSERT_GE(values.size(), 4u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 100);
    EXPECT_EQ(values[values.size() - 2], 58);
    EXPECT_EQ(*std::max_element(values.begin(), values.end() - 1), 96);
    EXPECT_FALSE(tool->progressBar()->isVisible());
}

// A record read back on the review window's sketch surface (1935 x 3135).
TEST(CutSketch, RectanglesAreScaledRoundedHalvesToEvenAndPulledIn) {
    TempFolder folder;
    const QString record = folder.file("decoupage.ini");
    const QString page = folder.file("page.jpg");
    // 1935 * 300 / 600 = 967.5 -> 968; 3135 * 400 / 800 = 1567.5 -> 1568;
    // 1935 * 1 / 600 = 3.225 -> 3; 3135 * 2 / 800 = 7.8375 -> 8.
    // Piece 4 is never reached: piece 3 has no record and ends the list.
    ASSERT_TRUE(writeFileBytes(
        record, "[" + page.toUtf8() +
                    "]\r\nWIDTH=600\r\nHEIGHT=800\r\n"
                    "COLONNE_1_1=1\r\nCOLONNE_2_1=300\r\nLIGNE_1_1=2\r\nLIGNE_2_1=400\r\n"
                    "FICHIER_1=/out/page.jpg-0001.jpg\r\n"
                    "COLONNE_1_2=300\r\nCOLONNE_2_2=600\r\nLIGNE_1_2=0\r\nLIGNE_2_2=800\r\n"
                    "FICHIER_2=/out/page.jpg-0002.jpg\r\n"
                    "COLONNE_1_4=10\r\nCOLONNE_2_4=20\r\nLIGNE_1_4=10\r\nLIGNE_2_4=20\r\n"));

    const CutSketch sketch = readCutSketch(page, QSizeF(1935, 3135), record);
    EXPECT_TRUE(sketch.problem.isEmpty());
    ASSERT_EQ(sketch.outlines.size(), 2u);
    const auto corners = [](const SketchOutline& o) { return std::tuple(o.x1, o.y1, o.x2, o.y2); };
    EXPECT_EQ(corners(sketch.outlines[0]), std::tuple(3, 8, 968 - 50, 1568 - 100));
    EXPECT_EQ(corners(sketch.outlines[1]), std::tuple(968, 0, 1935 - 50, 3135 - 100));
}

} // namespace
} // namespace vantola::test
