// Right-to-left reading order and long strips, through the real program: the options, the
// param.ini keys that stand for them, and what they change in the pieces and the record.
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QRect>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// The recorded rectangles of a page's pieces, in piece order.
std::vector<QRect> recordedPieces(const JobFixture& f, const QString& page) {
    QMap<QString, int> keys;
    for (const QString& line : iniSectionLines(f.home() + "decoupage.ini", page))
        keys[line.section('=', 0, 0)] = line.section('=', 1).toInt();
    std::vector<QRect> pieces;
    for (int n = 1; keys.contains(QStringLiteral("FICHIER_%1").arg(n)); ++n) {
        const auto at = [&](const char* key) { return keys.value(key + QString::number(n)); };
        pieces.push_back(QRect(QPoint(at("COLONNE_1_"), at("LIGNE_1_")),
                               QPoint(at("COLONNE_2_"), at("LIGNE_2_"))));
    }
    return pieces;
}

TEST(ReadingOrder, RightToLeftNumbersTheBlocksOfEachBandFromTheRight) {
    JobFixture f;
    const QString page = writeComicPage(f.source(), "p", 7);
    ASSERT_EQ(f.cutWithVantola(page).status, 0);
    const std::vector<QRect> leftToRight = recordedPieces(f, page);
    ASSERT_EQ(leftToRight.size(), std::size_t(kPanelsPerPage));
    // The same cuts, the two blocks of each of the three bands swapped.
    std::vector<QRect> rightToLeft = leftToRight;
    for (std::size_t band = 0; band < rightToLeft.size(); band += 2)
        std::swap(rightToLeft[band], rightToLeft[band + 1]);
    EXPECT_LT(leftToRight[0].left(), leftToRight[1].left());

    const struct {
        const char* key; // SENS_LECTURE, or nothing
        QStringList options;
        bool fromTheRight;
    } runs[] = {{nullptr, {"--rtl"}, true},
                {"DROITE_GAUCHE", {}, true},
                {"DROITE_GAUCHE", {"--ltr"}, false},
                {"GAUCHE_DROITE", {}, false}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.options.join(' ').toStdString() + " " + (run.key ? run.key : ""));
        if (run.key)
            f.setParam("SENS_LECTURE", run.key);
        ASSERT_EQ(f.cutWithVantola(page, run.options).status, 0);
        EXPECT_EQ(recordedPieces(f, page), run.fromTheRight ? rightToLeft : leftToRight);
        // The piece files follow the record: the first piece is the first band's right block.
        const QImage first(f.output() + "p.jpg-0001.jpg");
        EXPECT_EQ(first.size(),
                  (run.fromTheRight ? rightToLeft : leftToRight)[0].size() - QSize(1, 1));
    }
}

// A webtoon strip of 30 panels, 37 times taller than wide: each panel is a small part of the
// whole height, so that only strip mode gives every panel its piece.
TEST(ReadingOrder, StripModeKeepsThePanelsOfALongStrip) {
    JobFixture f;
    PageSpec spec{.width = 800,
                  .height = 30 * 1000,
                  .seed = 5,
                  .panelsPerTier = std::vector<int>(30, 1),
                  .gutter = 60,
                  .margin = 40};
    const GeneratedPage strip = generatePage(spec);
    const QString page = savePage(strip.image, f.source(), "strip", PageFormat::Jpeg, 90);

    ASSERT_EQ(f.cutWithVantola(page).status, 0);
    // Bands under a fifteenth of the height are lost or merged into taller bands.
    EXPECT_LT(recordedPieces(f, page).size(), strip.layout.panels().size());
    for (const bool byKey : {false, true}) {
        if (byKey)
            f.setParam("BANDE_VERTICALE", "OUI");
        ASSERT_EQ(f.cutWithVantola(page, byKey ? QStringList{} : QStringList{"--strip"}).status, 0);
        const std::vector<QRect> pieces = recordedPieces(f, page);
        ASSERT_EQ(pieces.size(), strip.layout.panels().size());
        for (std::size_t i = 0; i < pieces.size(); ++i)
            EXPECT_TRUE(pieces[i].contains(strip.layout.panels()[i])) << i;
    }
}

} // namespace
} // namespace vantola::test
