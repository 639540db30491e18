// The cut record's piece path. The keys, their order and their section are checked through whole
// jobs by the picture, clipboard and PDF job tests; overwriting a key in place by the INI store's.
#include "cutting/cut_record.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

TEST(CutRecord, TheLastThreeCharactersBecomeJpgAndAShorterPathFailsAfterSixKeys) {
    EXPECT_EQ(recordedPiecePath("/a/0001.tf"), "/a/0001jpg");
    EXPECT_EQ(recordedPiecePath("abc"), "jpg");
    EXPECT_THROW(recordedPiecePath("ab"), AppError);
    test::TempFolder temp;
    const QString record = temp.file(QStringLiteral("decoupage.ini"));
    EXPECT_THROW((void)EnregistreDecoupe(1, "/p.jpg", 1, 800, 1200, 10, 15, 0, 99, "ab", record),
                 AppError);
    const auto value = [&](const char* key) {
        return Cls_InitREG().IniLire("/p.jpg", QLatin1String(key), "none", record);
    };
    EXPECT_EQ(value("HEIGHT"), "1200");
    EXPECT_EQ(value("FICHIER_1"), "none");
}

} // namespace
} // namespace vantola
