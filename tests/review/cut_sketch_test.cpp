#include "review/cut_sketch.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>

namespace vantola::test {
namespace {

// A record written key by key, read back on the review window's sketch surface (1935 x 3135).
class CutSketchTest : public ::testing::Test {
protected:
    void write(const QString& section, const QString& key, const QString& value) {
        ASSERT_NE(Cls_InitREG().IniEcrire(section, key, value, file), 0);
    }
    void piece(int n, std::array<int, 4> box, const QString& path) {
        const char* keys[] = {"COLONNE_1_", "COLONNE_2_", "LIGNE_1_", "LIGNE_2_"};
        for (int i = 0; i < 4; ++i)
            write(page, QLatin1String(keys[i]) + QString::number(n), QString::number(box[i]));
        write(page, QStringLiteral("FICHIER_") + QString::number(n), path);
    }
    CutSketch read() const { return readCutSketch(page, QSizeF(1935, 3135), file); }

    TempFolder folder;
    QString file = folder.file(QStringLiteral("decoupage.ini"));
    QString page = folder.file(QStringLiteral("page.jpg"));
};

TEST_F(CutSketchTest, RectanglesAreScaledRoundedHalvesToEvenAndPulledIn) {
    write(page, QStringLiteral("WIDTH"), QStringLiteral("600"));
    write(page, QStringLiteral("HEIGHT"), QStringLiteral("800"));
    // 1935 * 300 / 600 = 967.5 -> 968; 3135 * 400 / 800 = 1567.5 -> 1568;
    // 1935 * 1 / 600 = 3.225 -> 3; 3135 * 2 / 800 = 7.8375 -> 8.
    piece(1, {1, 300, 2, 400}, QStringLiteral("/out/page.jpg-0001.jpg"));
    piece(2, {300, 600, 0, 800}, QStringLiteral("/out/page.jpg-0002.jpg"));
    // Piece 4 is never reached: piece 3 has no record and ends the list.
    piece(4, {10, 20, 10, 20}, QString());

    const CutSketch sketch = read();
    EXPECT_TRUE(sketch.problem.isEmpty());
    ASSERT_EQ(sketch.outlines.size(), 2u);
    const auto corners = [](const SketchOutline& o) { return std::tuple(o.x1, o.y1, o.x2, o.y2); };
    EXPECT_EQ(corners(sketch.outlines[0]), std::tuple(3, 8, 968 - 50, 1568 - 100));
    EXPECT_EQ(corners(sketch.outlines[1]), std::tuple(968, 0, 1935 - 50, 3135 - 100));
}

} // namespace
} // namespace vantola::test
