#include "review/cut_sketch.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// A record written key by key, read back on the review window's sketch surface (1935 x 3135).
class CutSketchTest : public ::testing::Test {
protected:
    void write(const QString& section, const QString& key, const QString& value) {
        ASSERT_NE(Cls_InitREG().IniEcrire(section, key, value, file), 0);
    }
    void piece(int n, int left, int right, int top, int bottom, const QString& path) {
        const QString number = QString::number(n);
        write(page, QStringLiteral("COLONNE_1_") + number, QString::number(left));
        write(page, QStringLiteral("COLONNE_2_") + number, QString::number(right));
        write(page, QStringLiteral("LIGNE_1_") + number, QString::number(top));
        write(page, QStringLiteral("LIGNE_2_") + number, QString::number(bottom));
        write(page, QStringLiteral("FICHIER_") + number, path);
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
    piece(1, 1, 300, 2, 400, QStringLiteral("/out/page.jpg-0001.jpg"));
    piece(2, 300, 600, 0, 800, QStringLiteral("/out/page.jpg-0002.jpg"));
    // Piece 4 is never reached: piece 3 has no record and ends the list.
    piece(4, 10, 20, 10, 20, QString());

    const CutSketch sketch = read();
    EXPECT_TRUE(sketch.problem.isEmpty());
    ASSERT_EQ(sketch.outlines.size(), 2u);
    const SketchOutline& first = sketch.outlines[0];
    EXPECT_EQ(first.x1, 3);
    EXPECT_EQ(first.y1, 8);
    EXPECT_EQ(first.x2, 968 - 50);
    EXPECT_EQ(first.y2, 1568 - 100);
    EXPECT_EQ(sketch.outlines[1].x2, 1935 - 50);
    EXPECT_EQ(sketch.outlines[1].y2, 3135 - 100);
}

} // namespace
} // namespace vantola::test
