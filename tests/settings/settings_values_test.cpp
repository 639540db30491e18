// The one text-to-number rule of the program; the registry emulation, its messages, and the file
// utilities of Cls_InitREG.
#include "settings/cls_initreg.h"
#include "settings/number_text.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace vantola {
namespace {

TEST(NumberText, AcceptsBlanksSignsEitherSeparatorAndRoundsHalvesToEven) {
    const std::pair<const char16_t*, qint32> cases[] = {{u"1450", 1450},
                                                        {u"  -12\t", -12},
                                                        {u"+7", 7},
                                                        {u"2,6", 3},
                                                        {u"2.4", 2},
                                                        {u".5", 0},
                                                        {u"5.", 5},
                                                        {u"-0", 0},
                                                        {u"1,5", 2},
                                                        {u"2.5", 2},
                                                        {u"-2.5", -2},
                                                        {u"-3.5", -4},
                                                        {u"2147483647", 2147483647}};
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

using test::readFileBytes;
using test::writeFileBytes;

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

TEST_F(Registry, BadPathsAreReportedAndDoNothing) {
    EXPECT_EQ(reg.CreerREG_Cle("SOFTWARE\\Name"), RegistryResult{});
    EXPECT_EQ(reg.LireREG_STRING("HKEY_CURRENT_USER\\Software\\", "x"), RegistryResult{});
    EXPECT_EQ(reg.CreerREG_Cle("HKEY_NOWHERE\\x"), RegistryResult{}); // unknown root: silent
    EXPECT_EQ(messages, QStringList({"Incorrect Format:\n\nSOFTWARE\\Name",
                                     "Incorrect Format:\n\nHKEY_CURRENT_USER\\Software\\"}));
    EXPECT_FALSE(QFile::exists(temp.file("registre.ini")));
}

TEST_F(Registry, ValuesRoundTripThroughTheStoreAndKeysWithSubKeysStay) {
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
