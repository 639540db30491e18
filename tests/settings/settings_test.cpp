// The INI store on settings files as they come (hand-edited, damaged, huge, changed behind its
// cache), the program's one text-to-number rule, the registry emulation and the file utilities.
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/ini_file_cache.h"
#include "settings/ini_text_codec.h"
#include "settings/number_text.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace vantola {
namespace {

using test::readFileBytes;
using test::writeFileBytes;

class IniStore : public ::testing::Test {
protected:
    test::TempFolder temp;
    QString file = temp.file("param.ini");
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

// Lines of every odd kind; each write below must leave all of them as they were.
const char kMessyText[] = "\xEF\xBB\xBF"
                          "[PARAM]\r\n"
                          "garbage without equals\r\n"
                          "SENS=1\n" // LF only
                          "; comment=not a key\r\n"
                          "BIN\0ARY=\x01\x02\xFF\xFE\r\n"
                          "T1=Fen\xEAtre\r\n"          // Windows-1252
                          "=no key\r\n"                // no key name
                          "[broken section\r\n"        // no closing bracket
                          "\r\n"                       // blank
                          "[PARAM]\r\nSENS=second\r\n" // a duplicate: the first one wins
                          "[LAST]\r\n"
                          "K=v"; // no final line end
const QByteArray kMessyFile(kMessyText, sizeof kMessyText - 1);

TEST_F(IniStore, OddLinesReadSensiblyAndSurviveWritesByteForByte) {
    ASSERT_TRUE(writeFileBytes(file, kMessyFile));
    EXPECT_EQ(read("PARAM", "SENS"), "1");
    EXPECT_EQ(read("PARAM", "T1"), QString::fromUtf8("Fenêtre"));
    EXPECT_EQ(read("PARAM", "garbage without equals"), "DEF");
    EXPECT_EQ(read("PARAM", "; comment"), "DEF");
    EXPECT_EQ(read("LAST", "K"), "v");

    // A changed value, a key added to the first section, keys added to the last one, a new
    // section: only those lines differ.
    ASSERT_EQ(ini.IniEcrire("PARAM", "SENS", "2", file), 1);
    ASSERT_EQ(ini.IniEcrire("PARAM", "NEW", "é", file), 1);
    ASSERT_EQ(ini.IniEcrire("LAST", "K2", "w", file), 1);
    ASSERT_EQ(ini.IniEcrire("Z", "A", "1", file), 1);
    QByteArray expected = kMessyFile;
    expected.replace(QByteArray("SENS=1\n"), QByteArray("SENS=2\n"));
    expected.replace(QByteArray("[broken section\r\n"),
                     "[broken section\r\nNEW=" + QString::fromUtf8("é").toUtf8() + "\r\n");
    expected += "\r\nK2=w\r\n[Z]\r\nA=1\r\n";
    EXPECT_EQ(readFileBytes(file), expected);
    EXPECT_EQ(read("PARAM", "T1"), QString::fromUtf8("Fenêtre"));
}

TEST_F(IniStore, SectionNamesMayHoldBracketsAndEquals) {
    const QStringList pages = {"/home/me/BD [1]/a=b.jpg", "[x", "a]b]", QString()};
    for (const QString& page : pages)
        ASSERT_EQ(ini.IniEcrire(page, "WIDTH", QString::number(page.size()), file), 1)
            << qPrintable(page);
    for (const QString& page : pages)
        EXPECT_EQ(read(page, "WIDTH"), QString::number(page.size())) << qPrintable(page);
    EXPECT_TRUE(readFileBytes(file).startsWith("[/home/me/BD [1]/a=b.jpg]\r\nWIDTH=23\r\n"));
    EXPECT_TRUE(readFileBytes(file).endsWith("[]\r\nWIDTH=0\r\n"));
}

TEST_F(IniStore, AHugeFileWithBinaryJunkLoadsAndKeepsItsBytes) {
    QByteArray junk(6 * 1024 * 1024, '\0');
    QRandomGenerator random(7);
    for (char& byte : junk)
        byte = static_cast<char>(random.bounded(256));
    const QByteArray bytes = "[FIRST]\r\nA=1\r\n[JUNK]\r\n" + junk + "\r\n[END]\r\nB=2\r\n";
    ASSERT_TRUE(writeFileBytes(file, bytes));
    EXPECT_EQ(read("END", "B"), "2");
    ASSERT_EQ(ini.IniEcrire("END", "B", "3", file), 1);
    ASSERT_EQ(ini.IniEcrire("FIRST", "C", "4", file), 1);
    QByteArray expected = bytes;
    expected.replace(expected.size() - 3, 1, "3");
    expected.insert(14, "C=4\r\n");
    EXPECT_EQ(readFileBytes(file), expected);
}

TEST_F(IniStore, AFileChangedBehindTheCacheIsReadAgain) {
    ASSERT_EQ(ini.IniEcrire("S", "K", "ours", file), 1);
    EXPECT_EQ(read("S", "K"), "ours");

    ASSERT_TRUE(writeFileBytes(file, "[S]\r\nK=theirs, longer\r\n")); // rewritten in place
    EXPECT_EQ(read("S", "K"), "theirs, longer");
    ASSERT_TRUE(QFile::resize(file, 0)); // emptied, as a new job does
    EXPECT_EQ(read("S", "K"), "DEF");
    ASSERT_EQ(ini.IniEcrire("S", "K", "again", file), 1);
    EXPECT_EQ(readFileBytes(file), "[S]\r\nK=again\r\n");

    // Replaced by another file of the same size.
    const QString other = temp.file("other.ini");
    ASSERT_TRUE(writeFileBytes(other, "[S]\r\nK=AGAIN\r\n"));
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::rename(other, file));
    EXPECT_EQ(read("S", "K"), "AGAIN");
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_EQ(read("S", "K"), "DEF");
    ASSERT_EQ(ini.IniEcrire("S", "L", "1", file), 1);
    EXPECT_EQ(readFileBytes(file), "[S]\r\nL=1\r\n");
}

TEST_F(IniStore, WritesFromSeveralThreadsAllLand) {
    const auto keyName = [](int t, int k) { return QString("K%1_%2").arg(t).arg(k); };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            Cls_InitREG own;
            // Each key is read back below, after the threads.
            for (int k = 0; k < 150; ++k)
                (void)own.IniEcrire("S", keyName(t, k), QString::number(k), file);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    IniFileCache::instance().clear(); // read what is on disk, not what is cached
    for (int t = 0; t < 4; ++t)
        for (int k = 0; k < 150; ++k)
            ASSERT_EQ(read("S", keyName(t, k)), QString::number(k));
}

// Found by fuzzing: a key whose name starts with U+FEFF was written as the UTF-8 bytes EF BB BF,
// which the reader then took for a byte order mark and dropped, so the key no longer read back
// from the file. Only the first bytes of a file are its byte order mark.
TEST_F(IniStore, KeyStartingWithByteOrderMarkReadsBackFromTheFile) {
    const QString key = QChar(0xFEFF) + QString("]");
    EXPECT_EQ(decodeSettingsLine("\xEF\xBB\xBF]"), key);
    ASSERT_TRUE(writeFileBytes(file, "\xEF\xBB\xBF[PARAM]\r\nA=1\r\n"));
    ASSERT_EQ(ini.IniEcrire("PARAM", key, "v", file), 1);
    IniFileCache::instance().clear(); // read what is on disk
    EXPECT_EQ(read("PARAM", key), "v");
    EXPECT_EQ(read("PARAM", "]"), "DEF");
    EXPECT_EQ(read("PARAM", "A"), "1"); // the file's own mark still works
}

TEST(NumberText, AcceptsBlanksSignsEitherSeparatorAndRoundsHalvesToEven) {
    const std::pair<const char16_t*, qint32> cases[] = {
        {u"  -12\t", -12}, {u"+7", 7},  {u"2,6", 3},   {u".5", 0},
        {u"5.", 5},        {u"2.5", 2}, {u"-3.5", -4}, {u"2147483647", 2147483647}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(numberFromText<qint32>(text), value) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(numberFromText<qint32>(u"-2147483648"), std::numeric_limits<qint32>::min());
    EXPECT_EQ(numberFromText<qint16>(u"-32768.4"), -32768);
    EXPECT_EQ(numberFromText<qint32>("0." + QString(400, QChar(u'0')) + "1"), 0);
}

TEST(NumberText, TellsTextsThatAreNoNumberFromValuesOutsideTheType) {
    for (const char16_t* text : {u"", u"   ", u"-", u".", u"1e3", u"1 000", u"0x10", u"12abc",
                                 u"1.2.3", u"1,2.3", u"--1", u"+-1", u"٣", u"inf", u"nan"}) {
        EXPECT_EQ(convertNumberText<qint32>(text).status, NumberTextStatus::NotANumber)
            << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(convertNumberText<qint32>(u"2147483647.5").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<qint32>(u"-2147483649").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<qint16>(u"32768").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<quint8>(u"-1").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<qint64>(QString(400, '9')).status, NumberTextStatus::Overflow);
    EXPECT_FALSE(numberFromText<qint32>(u"99999999999").has_value());
}

TEST(NumberText, CharacterDigitValuesReadOnePositionOfASamplingText) {
    const QString sampling = "2:1  [Default]";
    for (const auto& [position, value] : {std::pair{1, 2}, {2, 0}, {3, 1}, {0, 0}, {99, 0}})
        EXPECT_EQ(characterDigitValue(sampling, position), value) << position;
    EXPECT_EQ(characterDigitValue(u"", 1), 0);
}

class Registry : public ::testing::Test {
protected:
    test::TempFolder temp;
    QStringList messages;
    Cls_InitREG reg{{temp.file("registre.ini"), temp.file("win.ini"),
                     [this](const QString& text) { messages << text; }}};
    const QString key = "HKEY_CURRENT_USER\\Software\\Vantola";
};

RegistryResult text(const char* value) {
    return QString::fromUtf8(value);
}

TEST_F(Registry, BadPathsAreReportedValuesRoundTripAndKeysWithSubKeysStay) {
    EXPECT_EQ(reg.CreerREG_Cle("SOFTWARE\\Name"), RegistryResult{});
    EXPECT_EQ(reg.LireREG_STRING("HKEY_CURRENT_USER\\Software\\", "x"), RegistryResult{});
    EXPECT_EQ(reg.CreerREG_Cle("HKEY_NOWHERE\\x"), RegistryResult{}); // unknown root: silent
    EXPECT_EQ(messages, QStringList({"Incorrect Format:\n\nSOFTWARE\\Name",
                                     "Incorrect Format:\n\nHKEY_CURRENT_USER\\Software\\"}));
    EXPECT_FALSE(QFile::exists(temp.file("registre.ini")));

    EXPECT_EQ(reg.LireREG_DWORD(key, "n"), text("Error")); // the key does not exist yet
    EXPECT_EQ(reg.ErrorMsg(reg.lastStatus()), "Mauvais nom de cle");
    EXPECT_EQ(reg.ErrorMsg(1014), "Code d'Erreur indefini:   1014"); // unknown codes are padded
    EXPECT_EQ(reg.ErrorMsg(-3), "Code d'Erreur indefini:  -3");
    reg.EcrireREG_DWORD(key, "n", 42); // writing needs an existing key
    EXPECT_EQ(reg.LireREG_DWORD(key, "n"), text("Error"));

    reg.CreerREG_Cle(key);
    reg.EcrireREG_DWORD(key, "n", -5);
    reg.EcrireREG_STRING(key, "s", "  chemin d'accès  ");
    reg.EcrireREG_BINARY(key, "b", QString::fromUtf8("A\xC3\xA9\xE2\x82\xAC"));
    EXPECT_EQ(reg.LireREG_DWORD(key, "N"), RegistryResult{qint32(-5)});
    EXPECT_EQ(reg.LireREG_STRING(key, "s"), text("chemin d'accès  "));
    EXPECT_EQ(reg.LireREG_BINARY(key, "b"), text("A\xC3\xA9\xE2\x82\xAC"));
    EXPECT_EQ(reg.LireREG_DWORD(key, "s"), text("Error")); // more than four bytes
    EXPECT_EQ(reg.ErrorMsg(reg.lastStatus()),
              "Il y a plus de donnees que le buffer ne peut en supporter.");
    reg.EcrireREG_STRING(key, "long", QString(255, 'x'));
    EXPECT_EQ(reg.LireREG_STRING(key, "long"), text("Error"));
    EXPECT_EQ(reg.EcritureREG_Software_RepInstall("Vantola", "/opt/vantola"),
              "Ecriture dans HKEY_CURRENT_USER\\Software\\Vantola");
    EXPECT_EQ(reg.LireREG_STRING(key, "RepInstall"), text("/opt/vantola"));
    const QByteArray store = readFileBytes(temp.file("registre.ini"));
    EXPECT_TRUE(store.contains("[HKEY_CURRENT_USER\\Software]\r\n")) << store.constData();
    EXPECT_TRUE(store.contains("n=dword:fffffffb\r\n")) << store.constData();
    EXPECT_TRUE(store.contains("b=hex(3):41,e9,80\r\n")) << store.constData();

    reg.CreerREG_Cle(key + "\\Sub");
    reg.EffaceREG_CLE(key);
    EXPECT_EQ(reg.ErrorMsg(reg.lastStatus()), "L'access a cette cle ne peut se faire");
    reg.EffaceREG_CLE(key + "\\Sub");
    reg.EffaceREG_CLE(key);
    EXPECT_EQ(reg.lastStatus(), 0);
    EXPECT_EQ(reg.LireREG_DWORD(key, "n"), text("Error"));
    EXPECT_EQ(readFileBytes(temp.file("registre.ini")), "[HKEY_CURRENT_USER\\Software]\r\n");
}

TEST_F(Registry, WinIniAndFileUtilities) {
    EXPECT_EQ(reg.WinIniEcrire("windows", "device", "x"), 1);
    EXPECT_EQ(reg.WinIniLire("WINDOWS", "DEVICE", "d"), "x");
    EXPECT_EQ(readFileBytes(temp.file("win.ini")), "[windows]\r\ndevice=x\r\n");

    const QString source = temp.file("a.txt");
    ASSERT_TRUE(writeFileBytes(source, "a"));
    ASSERT_TRUE(QDir().mkpath(temp.file("dir")));
    EXPECT_TRUE(reg.FichierExiste(source) && reg.DossierExiste(temp.file("dir")));
    EXPECT_FALSE(reg.FichierExiste(temp.file("dir")) || reg.DossierExiste(source));
    EXPECT_EQ(reg.GET_NomLong(temp.path() + "dir/../a.txt"), QFileInfo(source).canonicalFilePath());
    EXPECT_EQ(reg.GET_NomCourt(temp.file("missing")), "");

    EXPECT_TRUE(reg.RenommerFichier(source, temp.file("dir/b.txt")));
    EXPECT_FALSE(reg.RenommerFichier(source, temp.file("c.txt"))); // gone
    ASSERT_TRUE(writeFileBytes(source, "again"));
    EXPECT_FALSE(reg.RenommerFichier(source, temp.file("dir/b.txt"))); // target exists
    EXPECT_EQ(readFileBytes(temp.file("dir/b.txt")), "a");
}

} // namespace
} // namespace vantola
