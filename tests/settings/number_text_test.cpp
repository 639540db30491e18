// The one text-to-number rule of the program.
#include "settings/number_text.h"
#include "support/qstring_printer.h"

#include <QString>
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

} // namespace
} // namespace vantola
