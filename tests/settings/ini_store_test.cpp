// IniLire / IniEcrire: the profile-file rules that every settings file relies on.
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace vantola {
namespace {

using test::readFileBytes;
using test::writeFileBytes;

class IniStore : public ::testing::Test {
protected:
    test::TempFolder temp;
    QString file = temp.file(QStringLiteral("param.ini"));
    Cls_InitREG ini;

    QString read(const QString& section, const QString& key, const QString& fallback = "DEF") {
        return ini.IniLire(section, key, fallback, file);
    }
};

TEST_F(IniStore, ReadsMatchNamesWithoutCaseTrimValuesAndFallBackToTheDefault) {
    EXPECT_EQ(read("PARAM", "SENS"), "DEF");
    EXPECT_FALSE(QFileInfo::exists(file)); // reading creates nothing
    EXPECT_EQ(ini.IniLire("PARAM", "SENS", "DEF", temp.file("no/such/folder.ini")), "DEF");
    ASSERT_TRUE(writeFileBytes(file, "  [Param]  \r\n  Niveau_De_Blanc =  1450 \t\r\n"
                                     "[ÉTÉ]\r\nclé=valeur à garder\r\n"));
    EXPECT_EQ(read("AUTRE", "NIVEAU_DE_BLANC"), "DEF");
    EXPECT_EQ(read("PARAM", "AUTRE", "  x  "), "  x"); // trailing blanks of a default go
    EXPECT_EQ(read("param", "niveau_de_blanc"), "1450");
    EXPECT_EQ(read(" PARAM ", " NIVEAU_DE_BLANC "), "1450");
    EXPECT_EQ(read("été", "CLÉ"), "valeur à garder");
}

TEST_F(IniStore, ValuesAreCutTo254CharactersWithoutSplittingOne) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    QString longValue = QString(253, QChar(u'é')) + emoji + emoji + QString(40, 'x');
    ASSERT_TRUE(ini.IniEcrire("PARAM", "LONG", longValue, file));
    EXPECT_EQ(read("PARAM", "LONG"), QString(253, QChar(u'é')) + emoji);
    EXPECT_EQ(read("PARAM", "ABSENT", QString(300, 'd')), QString(254, 'd'));
    EXPECT_TRUE(readFileBytes(file).contains(longValue.toUtf8())); // the file keeps it whole
}

TEST_F(IniStore, WritesCreateKeepPlaceAndAppendInOrder) {
    ASSERT_EQ(ini.IniEcrire("PARAM", "SENS", "0", file), 1);
    EXPECT_EQ(readFileBytes(file), "[PARAM]\r\nSENS=0\r\n");
    ASSERT_EQ(ini.IniEcrire("JPEG", "QUALITE", "75", file), 1);
    ASSERT_EQ(ini.IniEcrire("PARAM", "DOUBLEPASSE", "1", file), 1);
    ASSERT_EQ(ini.IniEcrire("param", "sens", "12", file), 1); // longer: later lines move
    ASSERT_EQ(ini.IniEcrire("JPEG", "GRIS", "0", file), 1);
    EXPECT_EQ(readFileBytes(file), "[PARAM]\r\nSENS=12\r\nDOUBLEPASSE=1\r\n"
                                   "[JPEG]\r\nQUALITE=75\r\nGRIS=0\r\n");
    EXPECT_EQ(read("PARAM", "SENS"), "12");
    EXPECT_EQ(read("JPEG", "GRIS"), "0");
}

TEST_F(IniStore, RewritingTheSameValueLeavesTheFileAlone) {
    ASSERT_TRUE(writeFileBytes(file, "[PARAM]\nSens =  5  \n"));
    const auto modified = QFileInfo(file).fileTime(QFileDevice::FileModificationTime);
    ASSERT_EQ(ini.IniEcrire("PARAM", "SENS", "5", file), 1);
    EXPECT_EQ(readFileBytes(file), "[PARAM]\nSens =  5  \n");
    EXPECT_EQ(QFileInfo(file).fileTime(QFileDevice::FileModificationTime), modified);
    ASSERT_EQ(ini.IniEcrire("PARAM", "SENS", "6", file), 1);
    EXPECT_EQ(readFileBytes(file), "[PARAM]\nSens=6\n"); // the key keeps its spelling
}

TEST_F(IniStore, WritesThatCannotReadBackAreRefused) {
    ASSERT_EQ(ini.IniEcrire("PARAM", "A", "1", file), 1);
    const QByteArray before = readFileBytes(file);
    for (const auto& [section, key, value] : {std::tuple{"PARAM", "B=C", "1"},
                                              {"PARAM", "  ", "1"},
                                              {"PARAM", "[B]", "1"},
                                              {"PARAM", "B", "1\r\n[X]"},
                                              {"PA\nRAM", "B", "1"}})
        EXPECT_EQ(ini.IniEcrire(section, key, value, file), 0) << key << value;
    EXPECT_EQ(readFileBytes(file), before);
    EXPECT_EQ(ini.IniEcrire("PARAM", "A", "1", temp.file("missing/param.ini")), 0);
}

TEST_F(IniStore, AReadThatFailsRaisesTheReadError) {
    ASSERT_TRUE(QDir().mkpath(file)); // a folder where the file should be
    try {
        read("PARAM", "SENS");
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.number(), -2147156504);
        EXPECT_TRUE(error.description().isEmpty());
    }
    EXPECT_EQ(ini.IniEcrire("PARAM", "SENS", "1", file), 0);
}

} // namespace
} // namespace vantola
