// The cut record: seven keys per piece in the page's section (their order through a whole job is
// checked by the picture job tests).
#include "cutting/cut_record.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

class CutRecord : public ::testing::Test {
protected:
    test::TempFolder temp;
    QString record = temp.file(QStringLiteral("decoupage.ini"));

    void piece(const QString& page, qint16 n, qint32 top, const QString& bitmap) {
        EnregistreDecoupe(1, page, n, 800, 1200, 10 * n, 10 * n + 5, top, top + 99, bitmap, record);
    }
    QString value(const QString& page, const QString& key) {
        return Cls_InitREG().IniLire(page, key, "none", record);
    }
};

TEST_F(CutRecord, ASecondPageOfTheSamePathOverwritesItsPieces) {
    piece("", 1, 0, "/out/VANTOLA/0001.bmp");
    piece("", 2, 100, "/out/VANTOLA/0002.bmp");
    piece("", 1, 500, "/out/VANTOLA/0003.bmp"); // the next clipboard page
    EXPECT_EQ(value("", "LIGNE_1_1"), "500");
    EXPECT_EQ(value("", "FICHIER_1"), "/out/VANTOLA/0003.jpg");
    EXPECT_EQ(value("", "FICHIER_2"), "/out/VANTOLA/0002.jpg");
    EXPECT_EQ(test::readFileBytes(record).count("FICHIER_1="), 1);
}

TEST_F(CutRecord, TheLastThreeCharactersBecomeJpg) {
    EXPECT_EQ(recordedPiecePath("/a/0001.tf"), "/a/0001jpg");
    EXPECT_EQ(recordedPiecePath("abc"), "jpg");
    EXPECT_THROW(recordedPiecePath("ab"), AppError);
    EXPECT_THROW(piece("/p.jpg", 1, 0, "ab"), AppError);
    EXPECT_EQ(value("/p.jpg", "HEIGHT"), "1200"); // the first six keys landed
    EXPECT_EQ(value("/p.jpg", "FICHIER_1"), "none");
}

} // namespace
} // namespace vantola
