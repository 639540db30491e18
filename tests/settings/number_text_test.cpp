// The one text-to-number rule of the program.
#include "settings/number_text.h"
#include "support/qstring_printer.h"

#include <QString>
#include <gtest/gtest.h>

namespace vantola {
namespace {

TEST(NumberText, AcceptsBlanksSignsAndEitherSeparator) {
    EXPECT_EQ(numberFromText<qint32>(u"1450"), 1450);
    EXPECT_EQ(numberFromText<qint32>(u"  -12\t"), -12);
    EXPECT_EQ(numberFromText<qint32>(u"+7"), 7);
    EXPECT_EQ(numberFromText<qint32>(u"2,6"), 3);
    EXPECT_EQ(numberFromText<qint32>(u"2.4"), 2);
    EXPECT_EQ(numberFromText<qint32>(u".5"), 0);
    EXPECT_EQ(numberFromText<qint32>(u"5."), 5);
    EXPECT_EQ(numberFromText<qint32>(u"-0"), 0);
}

TEST(NumberText, HalvesGoToEven) {
    EXPECT_EQ(numberFromText<qint32>(u"0.5"), 0);
    EXPECT_EQ(numberFromText<qint32>(u"1,5"), 2);
    EXPECT_EQ(numberFromText<qint32>(u"2.5"), 2);
    EXPECT_EQ(numberFromText<qint32>(u"-2.5"), -2);
    EXPECT_EQ(numberFromText<qint32>(u"-3.5"), -4);
}

TEST(NumberText, RejectsWhatIsNotADecimalNumber) {
    for (const char16_t* text : {u"", u"   ", u"-", u".", u"1e3", u"1 000", u"0x10", u"12abc",
                                 u"1.2.3", u"1,2.3", u"--1", u"+-1", u"٣", u"inf", u"nan"}) {
        EXPECT_EQ(convertNumberText<qint32>(text).status, NumberTextStatus::NotANumber)
            << QString::fromUtf16(text).toStdString();
    }
}

TEST(NumberText, ValuesOutsideTheTypeOverflow) {
    EXPECT_EQ(numberFromText<qint32>(u"2147483647"), 2147483647);
    EXPECT_EQ(numberFromText<qint32>(u"-2147483648"), std::numeric_limits<qint32>::min());
    EXPECT_EQ(convertNumberText<qint32>(u"2147483647.5").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<qint32>(u"-2147483649").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<qint16>(u"32768").status, NumberTextStatus::Overflow);
    EXPECT_EQ(numberFromText<qint16>(u"-32768.4"), -32768);
    EXPECT_EQ(convertNumberText<quint8>(u"-1").status, NumberTextStatus::Overflow);
    EXPECT_EQ(convertNumberText<qint64>(QString(400, '9')).status, NumberTextStatus::Overflow);
    EXPECT_EQ(numberFromText<qint32>(QStringLiteral("0.") + QString(400, QChar(u'0')) +
                                     QStringLiteral("1")),
              0);
    EXPECT_FALSE(numberFromText<qint32>(u"99999999999").has_value());
}

TEST(NumberText, CharacterDigitValues) {
    const QString sampling = QStringLiteral("2:1  [Default]");
    EXPECT_EQ(characterDigitValue(sampling, 1), 2);
    EXPECT_EQ(characterDigitValue(sampling, 2), 0);
    EXPECT_EQ(characterDigitValue(sampling, 3), 1);
    EXPECT_EQ(characterDigitValue(sampling, 0), 0);
    EXPECT_EQ(characterDigitValue(sampling, 99), 0);
    EXPECT_EQ(characterDigitValue(u"", 1), 0);
}

} // namespace
} // namespace vantola
