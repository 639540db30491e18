// Faults that fuzzing the INI reader and writer found, kept as ordinary cases.
#include "settings/cls_initreg.h"
#include "settings/ini_document.h"
#include "settings/ini_file_cache.h"
#include "settings/ini_text_codec.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

// A key whose name starts with U+FEFF was written as the UTF-8 bytes EF BB BF, which the reader
// then took for a byte order mark and dropped: the key no longer read back once the file was
// read again. Only the first bytes of a file are its byte order mark.
TEST(IniFuzzFindings, KeyStartingWithByteOrderMarkReadsBackFromTheFile) {
    const QString key = QChar(0xFEFF) + QStringLiteral("]");
    EXPECT_EQ(decodeSettingsLine("\xEF\xBB\xBF]"), key);

    test::TempFolder temp;
    const QString file = temp.file(QStringLiteral("param.ini"));
    ASSERT_TRUE(test::writeFileBytes(file, "\xEF\xBB\xBF[PARAM]\r\nA=1\r\n"));
    Cls_InitREG ini;
    ASSERT_EQ(ini.IniEcrire(QStringLiteral("PARAM"), key, QStringLiteral("v"), file), 1);
    IniFileCache::instance().clear(); // read what is on disk
    EXPECT_EQ(ini.IniLire(QStringLiteral("PARAM"), key, QStringLiteral("d"), file), "v");
    EXPECT_EQ(ini.IniLire(QStringLiteral("PARAM"), QStringLiteral("]"), QStringLiteral("d"), file),
              "d");
    // The file's own byte order mark still starts its first section.
    EXPECT_EQ(ini.IniLire(QStringLiteral("PARAM"), QStringLiteral("A"), QStringLiteral("d"), file),
              "1");
}

} // namespace
} // namespace vantola
