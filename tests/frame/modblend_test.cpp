// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modblend.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace tavlo {
namespace {

constexpr OleColor kBlack = 0x000000;
constexpr OleColor kWhite = 0xFFFFFF;
constexpr OleColor kGrey128 = 0x808080;
constexpr OleColor kTheme = 0xF0C040; // blue 240, green 192, red 64

TEST(ColorBlendTest, Blends)
{
    // clang-format off
    const struct { OleColor colourA, colourB; int32_t amount; OleColor expected; } cases[] = {
        {kBlack, kTheme, 255, kBlack},
        {kBlack, kTheme, 0, kTheme},
        {kWhite, kTheme, 300, kWhite},        // beyond full clamps
        {kBlack, kGrey128, 300, kBlack},      // a negative channel gives black
        {kBlack, kGrey128, -100, 0xB2B2B2},   // a negative amount brightens
        // 127/255 = 0.498 and 128/255 = 0.502 of one red step.
        {kBlack, 0x000001, 128, 0x000000},
        {kBlack, 0x000001, 127, 0x000001},
        // Red comes out at -1/255, which rounds to 0 and is no failure; blue clamps.
        {0x000001, 0xFF0000, -1, 0xFF0000},
        // Contrast 33: background = ColorBlend(black, T, -34), T weighted 289/255.
        {kBlack, kTheme, 2 * 33 - 100, 0xFFDA49},
        {0x7F000000, kBlack, 255, kWhite},    // untranslatable counts as white
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(ColorBlend(c.colourA, c.colourB, c.amount), c.expected)
            << std::hex << c.colourA << " " << c.colourB << " " << std::dec << c.amount;
}

TEST(TranslateColorValueTest, FollowsTheTypeByte)
{
    const std::pair<uint32_t, OleColor> cases[] = {
        {0x00123456, 0x123456}, {0x02123456, 0x123456}, {0x01000000, 0x000000},
        {0x01000009, 0xF0CAA6}, {0x01000013, 0xFFFFFF}, {0x01000014, -1},
        {0x01010000, -1},       {0x03000000, -1},       {0x80000019, -1},
        {0x81000000, -1},
    };
    for (const auto &[colour, expected] : cases)
        EXPECT_EQ(TranslateColorValue(OleColor(colour)), expected) << std::hex << colour;
    EXPECT_EQ(toQColor(0x00F0C040), QColor(0x40, 0xC0, 0xF0));
    EXPECT_EQ(toQColor(0x01000004), QColor(0, 0, 0x80));
    EXPECT_EQ(toQColor(0x05123456), QColor(Qt::white));
}

TEST(SystemColorTest, MapsTheTwentyFiveIndicesToThePalette)
{
    // A distinct colour per role and group, so every mapping is visible.
    const QPalette saved = QGuiApplication::palette();
    QPalette palette;
    const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive,
                                           QPalette::Disabled};
    for (int g = 0; g < 3; ++g)
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            palette.setColor(groups[g], QPalette::ColorRole(role), QColor(role * 10, g * 50, 7));
    QGuiApplication::setPalette(palette);

    using P = QPalette;
    const P::ColorRole roles[25] = {
        P::Button, P::Dark,       P::Highlight,  P::Mid,         P::Window,
        P::Base,   P::WindowText, P::WindowText, P::Text,        P::HighlightedText,
        P::Button, P::Button,     P::Mid,        P::Highlight,   P::HighlightedText,
        P::Button, P::Dark,       P::Text,       P::ButtonText,  P::WindowText,
        P::Light,  P::Shadow,     P::Midlight,   P::ToolTipText, P::ToolTipBase};
    for (int index = 0; index < 25; ++index) {
        // Grey text (17) and inactive caption text (19) come from the disabled group.
        const QColor c(roles[index] * 10, index == 17 || index == 19 ? 100 : 0, 7);
        const OleColor packed = c.red() | c.green() << 8 | c.blue() << 16;
        const auto system = OleColor(0x80000000u | uint32_t(index));
        EXPECT_EQ(SystemColor(index), packed) << "index " << index;
        EXPECT_EQ(TranslateColorValue(system), packed) << "index " << index;
        EXPECT_EQ(toQColor(system), c) << "index " << index;
    }
    QGuiApplication::setPalette(saved);
    EXPECT_EQ(SystemColor(25), std::nullopt);
    EXPECT_EQ(SystemColor(-1), std::nullopt);
}

} // namespace
} // namespace tavlo
