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

OleColor systemColour(int index)
{
    return OleColor(0x80000000u | uint32_t(index));
}

struct BlendCase
{
    const char *name;
    OleColor colourA;
    OleColor colourB;
    int32_t amount;
    OleColor expected;
};

// Test listings show the case's name rather than its bytes.
void PrintTo(const BlendCase &c, std::ostream *os)
{
    *os << c.name;
}

class ColorBlendTest : public testing::TestWithParam<BlendCase>
{};

TEST_P(ColorBlendTest, Blends)
{
    const BlendCase &c = GetParam();
    EXPECT_EQ(ColorBlend(c.colourA, c.colourB, c.amount), c.expected)
        << std::hex << "got 0x" << ColorBlend(c.colourA, c.colourB, c.amount);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColorBlendTest,
    testing::Values(BlendCase{"BlackFull", kBlack, kTheme, 255, kBlack},
                    BlendCase{"BlackNone", kBlack, kTheme, 0, kTheme},
                    BlendCase{"WhiteBeyondFullClamps", kWhite, kTheme, 300, kWhite},
                    BlendCase{"NegativeChannelGivesBlack", kBlack, kGrey128, 300, kBlack},
                    BlendCase{"NegativeAmountBrightens", kBlack, kGrey128, -100, 0xB2B2B2},
                    BlendCase{"Halfway", kWhite, kBlack, 128, 0x808080},
                    // 127/255 = 0.498 and 128/255 = 0.502 of one red step.
                    BlendCase{"JustBelowHalfRoundsDown", kBlack, 0x000001, 128, 0x000000},
                    BlendCase{"JustAboveHalfRoundsUp", kBlack, 0x000001, 127, 0x000001},
                    // Red comes out at -1/255, which rounds to 0 and is no failure; blue clamps.
                    BlendCase{"TinyNegativeRoundsToZero", 0x000001, 0xFF0000, -1, 0xFF0000},
                    // Contrast 33: background = ColorBlend(black, T, -34), T weighted 289/255.
                    BlendCase{"Contrast33Background", kBlack, kTheme, 2 * 33 - 100, 0xFFDA49},
                    // Contrast 100: background = ColorBlend(black, T, 100), T weighted 155/255.
                    BlendCase{"Contrast100Background", kBlack, kTheme, 2 * 100 - 100, 0x927527},
                    BlendCase{"Contrast33Separator", kWhite, kTheme, 33 + 30, 0xF4D06F},
                    BlendCase{"UntranslatableCountsAsWhite", 0x7F000000, kBlack, 255, kWhite},
                    BlendCase{"UnknownSystemIndexCountsAsWhite", systemColour(99), kBlack, 128,
                              0x808080},
                    BlendCase{"PaletteIndexRed", 0x0100000D, kBlack, 255, 0x0000FF},
                    BlendCase{"PaletteRelativeRgb", 0x02123456, kBlack, 255, 0x123456}),
    [](const testing::TestParamInfo<BlendCase> &info) { return std::string(info.param.name); });

TEST(TranslateColorValueTest, FollowsTheTypeByte)
{
    const struct
    {
        uint32_t colour;
        OleColor expected;
    } cases[] = {
        {0x00123456, 0x123456}, {0x02123456, 0x123456}, {0x01000000, 0x000000},
        {0x01000008, 0xC0DCC0}, {0x01000009, 0xF0CAA6}, {0x0100000D, 0x0000FF},
        {0x01000013, 0xFFFFFF}, {0x01000014, -1},       {0x01010000, -1},
        {0x03000000, -1},       {0x7F000000, -1},       {0x80000019, -1},
        {0x81000000, -1},       {0xFFFFFFFF, -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TranslateColorValue(OleColor(c.colour)), c.expected)
            << std::hex << "colour 0x" << c.colour;
}

class SystemColorTest : public testing::Test
{
protected:
    void SetUp() override { m_saved = QGuiApplication::palette(); }
    void TearDown() override { QGuiApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

TEST_F(SystemColorTest, MapsTheTwentyFiveIndicesToThePalette)
{
    // A distinct colour per role and group, so every mapping is visible.
    QPalette palette;
    const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive,
                                           QPalette::Disabled};
    for (int g = 0; g < 3; ++g) {
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            palette.setColor(groups[g], QPalette::ColorRole(role), QColor(role * 10, g * 50, 7));
    }
    QGuiApplication::setPalette(palette);

    const auto active = [](QPalette::ColorRole role) { return QColor(role * 10, 0, 7); };
    const QColor expected[25] = {
        active(QPalette::Button),
        active(QPalette::Dark),
        active(QPalette::Highlight),
        active(QPalette::Mid),
        active(QPalette::Window),
        active(QPalette::Base),
        active(QPalette::WindowText),
        active(QPalette::WindowText),
        active(QPalette::Text),
        active(QPalette::HighlightedText),
        active(QPalette::Button),
        active(QPalette::Button),
        active(QPalette::Mid),
        active(QPalette::Highlight),
        active(QPalette::HighlightedText),
        active(QPalette::Button),
        active(QPalette::Dark),
        QColor(QPalette::Text * 10, 100, 7),
        active(QPalette::ButtonText),
        QColor(QPalette::WindowText * 10, 100, 7),
        active(QPalette::Light),
        active(QPalette::Shadow),
        active(QPalette::Midlight),
        active(QPalette::ToolTipText),
        active(QPalette::ToolTipBase),
    };
    for (int index = 0; index < 25; ++index) {
        const QColor &c = expected[index];
        const OleColor packed = c.red() | c.green() << 8 | c.blue() << 16;
        EXPECT_EQ(SystemColor(index), packed) << "index " << index;
        EXPECT_EQ(TranslateColorValue(systemColour(index)), packed) << "index " << index;
        EXPECT_EQ(toQColor(systemColour(index)), c) << "index " << index;
    }
    EXPECT_EQ(SystemColor(25), std::nullopt);
    EXPECT_EQ(SystemColor(-1), std::nullopt);
}

TEST_F(SystemColorTest, BlendUsesTheCurrentPalette)
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x20, 0x40, 0x60));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(ColorBlend(systemColour(13), kBlack, 255), 0x604020);
    EXPECT_EQ(ColorBlend(kBlack, systemColour(13), 0), 0x604020);
}

TEST(ToQColorTest, ReadsChannelsAndPaintsFailuresWhite)
{
    EXPECT_EQ(toQColor(0x00F0C040), QColor(0x40, 0xC0, 0xF0));
    EXPECT_EQ(toQColor(0x01000004), QColor(0, 0, 0x80));
    EXPECT_EQ(toQColor(-1), QColor(Qt::white));
    EXPECT_EQ(toQColor(0x05123456), QColor(Qt::white));
}

} // namespace
} // namespace tavlo
