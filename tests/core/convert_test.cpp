#include "core/convert.h"

#include <gtest/gtest.h>

using namespace tavlo::convert;

TEST(ConvertTest, ByteRoundsTiesToEvenAndRefusesOutOfRange)
{
    const struct
    {
        const char *text;
        std::optional<uint8_t> expected;
    } cases[] = {
        {"211", 211},          {" 5 ", 5},           {"12.5", 12},
        {"13.5", 14},          {"255", 255},         {"256", std::nullopt},
        {"300", std::nullopt}, {"-1", std::nullopt}, {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toByte(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(ConvertTest, LongAndSingleKeepRangeAndRejectText)
{
    EXPECT_EQ(toLong(QStringLiteral("-16777216")), -16777216);
    EXPECT_EQ(toLong(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(toLong(QStringLiteral("99999999999")), std::nullopt);
    EXPECT_EQ(toLong(QStringLiteral("0x10")), std::nullopt);
    EXPECT_EQ(toSingle(QStringLiteral("10.5")), 10.5f);
    EXPECT_EQ(toSingle(QStringLiteral("1e39")), std::nullopt);
    EXPECT_EQ(toSingle(QStringLiteral("nan")), std::nullopt);
}

TEST(ConvertTest, BoolTakesWordsAndNumbers)
{
    EXPECT_EQ(toBool(QStringLiteral("True")), true);
    EXPECT_EQ(toBool(QStringLiteral("false")), false);
    EXPECT_EQ(toBool(QStringLiteral("1")), true);
    EXPECT_EQ(toBool(QStringLiteral("-1")), true);
    EXPECT_EQ(toBool(QStringLiteral("0")), false);
    EXPECT_EQ(toBool(QStringLiteral("yes")), std::nullopt);
}

TEST(ConvertTest, ValTakesTheLeadingNumber)
{
    EXPECT_EQ(val(QStringLiteral("2")), 2);
    EXPECT_EQ(val(QStringLiteral(" 1.9xyz")), 1.9);
    EXPECT_EQ(val(QStringLiteral("True")), 0);
    EXPECT_EQ(val(QString()), 0);
    EXPECT_EQ(fromSingle(4560), QStringLiteral("4560"));
    EXPECT_EQ(fromSingle(-300.5f), QStringLiteral("-300.5"));
}
