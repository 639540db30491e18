// The cut record: seven keys per piece, in order, in the page's section.
#include "cutting/cut_record.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

using test::readFileBytes;
using test::TempFolder;

class CutRecord : public ::testing::Test {
protected:
    TempFolder temp;
    QString record = temp.file(QStringLiteral("decoupage.ini"));

    void piece(const QString& page, qint16 n, qint32 top, const QString& bitmap) {
        EnregistreDecoupe(1, page, n, 800, 1200, 10 * n, 10 * n + 5, top, top + 99, bitmap, record);
    }
};

TEST_F(CutRecord, ThreePiecesLeaveSeventeenKeysInOrder) {
    const QString page = QStringLiteral("/bd/BD [1]/page=1.jpg");
    for (qint16 n = 1; n <= 3; ++n)
        piece(page, n, n * 100,
              QStringLiteral("/bd/BD [1]/VANTOLA/%1.bmp").arg(n, 4, 10, QChar('0')));
    QByteArray expected = "[/bd/BD [1]/page=1.jpg]\r\n";
    for (int n = 1; n <= 3; ++n) {
        expected += QStringLiteral("COLONNE_1_%1=%2\r\nCOLONNE_2_%1=%3\r\nLIGNE_1_%1=%4\r\n"
                                   "LIGNE_2_%1=%5\r\n")
                        .arg(n)
                        .arg(10 * n)
                        .arg(10 * n + 5)
                        .arg(n * 100)
                        .arg(n * 100 + 99)
                        .toUtf8();
        if (n == 1)
            expected += "WIDTH=800\r\nHEIGHT=1200\r\n";
        expected += QStringLiteral("FICHIER_%1=/bd/BD [1]/VANTOLA/%2.jpg\r\n")
                        .arg(n)
                        .arg(n, 4, 10, QChar('0'))
                        .toUtf8();
    }
    EXPECT_EQ(readFileBytes(record), expected);
    EXPECT_EQ(expected.count("\r\n") - 1, 17);
}

TEST_F(CutRecord, ASecondPageOfTheSamePathOverwritesItsPieces) {
    piece("", 1, 0, "/out/VANTOLA/0001.bmp");
    piece("", 2, 100, "/out/VANTOLA/0002.bmp");
    piece("", 1, 500, "/out/VANTOLA/0003.bmp"); // the next clipboard page
    Cls_InitREG ini;
    EXPECT_EQ(ini.IniLire("", "LIGNE_1_1", "", record), "500");
    EXPECT_EQ(ini.IniLire("", "FICHIER_1", "", record), "/out/VANTOLA/0003.jpg");
    EXPECT_EQ(ini.IniLire("", "FICHIER_2", "", record), "/out/VANTOLA/0002.jpg");
    EXPECT_EQ(readFileBytes(record).count("FICHIER_1="), 1);
}

TEST_F(CutRecord, TheLastThreeCharactersBecomeJpg) {
    EXPECT_EQ(recordedPiecePath("/a/0001.bmp"), "/a/0001.jpg");
    EXPECT_EQ(recordedPiecePath("/a/0001.tf"), "/a/0001jpg");
    EXPECT_EQ(recordedPiecePath("abc"), "jpg");
    EXPECT_THROW(recordedPiecePath("ab"), AppError);
    EXPECT_THROW(piece("/p.jpg", 1, 0, "ab"), AppError);
    Cls_InitREG ini;
    EXPECT_EQ(ini.IniLire("/p.jpg", "HEIGHT", "", record), "1200"); // the first six keys landed
    EXPECT_EQ(ini.IniLire("/p.jpg", "FICHIER_1", "none", record), "none");
}

} // namespace
} // namespace vantola
