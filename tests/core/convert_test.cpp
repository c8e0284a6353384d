// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert.h"

#include <gtest/gtest.h>

using namespace tavlo::convert;

TEST(ConvertTest, ByteRoundsTiesToEvenAndRefusesOutOfRange)
{
    // clang-format off
    const struct { const char *text; std::optional<uint8_t> expected; } cases[] = {
        {"211", 211}, {" 5 ", 5}, {"12.5", 12}, {"13.5", 14}, {"255", 255},
        {"256", std::nullopt}, {"-1", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(toByte(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(ConvertTest, OtherTypesKeepTheirRangeAndRejectText)
{
    EXPECT_EQ(toLong("-16777216"), -16777216);
    EXPECT_EQ(toLong("2147483647"), 2147483647);
    EXPECT_EQ(toLong("99999999999"), std::nullopt);
    EXPECT_EQ(toLong("0x10"), std::nullopt);
    EXPECT_EQ(toSingle("10.5"), 10.5f);
    EXPECT_EQ(toSingle("1e39"), std::nullopt);
    EXPECT_EQ(toSingle("nan"), std::nullopt);
    for (const char *yes : {"True", "1", "-1"})
        EXPECT_EQ(toBool(yes), true) << yes;
    for (const char *no : {"false", "0"})
        EXPECT_EQ(toBool(no), false) << no;
    EXPECT_EQ(toBool("yes"), std::nullopt);
}

TEST(ConvertTest, ValTakesTheLeadingNumber)
{
    EXPECT_EQ(val(" 1.9xyz"), 1.9);
    EXPECT_EQ(val("True"), 0);
    EXPECT_EQ(val(QString()), 0);
    EXPECT_EQ(fromSingle(4560), "4560");
    EXPECT_EQ(fromSingle(-300.5f), "-300.5");
}
