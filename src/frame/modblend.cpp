// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modblend.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

namespace tavlo {

namespace {

struct SystemColorSource
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Windows system colour indices 0-24 and the palette entry standing in for each.
constexpr std::array<SystemColorSource, 25> kSystemColors{{
    {QPalette::Active, QPalette::Button},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark},            // 1 desktop background
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Active, QPalette::Mid},             // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::WindowText},      // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Button},          // 10 active border
    {QPalette::Active, QPalette::Button},          // 11 inactive border
    {QPalette::Active, QPalette::Mid},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Disabled, QPalette::WindowText},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 info background
}};

// The Windows default palette: the 16 VGA colours and the four reserved extras,
// in palette order, as 0x00BBGGRR.
constexpr std::array<OleColor, 20> kDefaultPalette{
    0x000000, // black
    0x000080, // dark red
    0x008000, // dark green
    0x008080, // dark yellow
    0x800000, // dark blue
    0x800080, // dark magenta
    0x808000, // dark cyan
    0xC0C0C0, // light grey
    0xC0DCC0, // money green
    0xF0CAA6, // sky blue
    0xF0FBFF, // cream
    0xA4A0A0, // medium grey
    0x808080, // dark grey
    0x0000FF, // red
    0x00FF00, // green
    0x00FFFF, // yellow
    0xFF0000, // blue
    0xFF00FF, // magenta
    0xFFFF00, // cyan
    0xFFFFFF, // white
};

OleColor packColor(const QColor &colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

} // namespace

std::optional<OleColor> SystemColor(int index)
{
    if (index < 0 || index >= int(kSystemColors.size()))
        return std::nullopt;
    const SystemColorSource &source = kSystemColors[size_t(index)];
    return packColor(QGuiApplication::palette().color(source.group, source.role));
}

OleColor TranslateColorValue(OleColor colour, int32_t /*palette*/)
{
    const auto bits = uint32_t(colour);
    const uint32_t low = bits & 0x00FFFFFFu;
    switch (bits >> 24) {
    case 0x00:
        return colour;
    case 0x02: // palette-relative RGB: without a palette it is the RGB itself
        return OleColor(low);
    case 0x01:
        return low < kDefaultPalette.size() ? kDefaultPalette[low] : -1;
    case 0x80:
        return SystemColor(int(low)).value_or(-1);
    default:
        return -1;
    }
}

OleColor ColorBlend(OleColor colourA, OleColor colourB, int32_t amount)
{
    // An untranslatable colour is -1, so each of its channels reads as 255.
    const auto a = uint32_t(TranslateColorValue(colourA));
    const auto b = uint32_t(TranslateColorValue(colourB));
    const double weightA = amount;
    const double weightB = 255.0 - double(amount);

    OleColor result = 0;
    for (const int shift : {16, 8, 0}) { // blue, green, red
        const double channelA = (a >> shift) & 0xFFu;
        const double channelB = (b >> shift) & 0xFFu;
        // std::nearbyint rounds ties to even under the default rounding mode.
        const double channel =
            std::nearbyint(channelA * weightA / 255.0 + channelB * weightB / 255.0);
        if (channel < 0)
            return 0;
        result |= OleColor(std::min(channel, 255.0)) << shift;
    }
    return result;
}

QColor toQColor(OleColor colour)
{
    const auto bits = uint32_t(TranslateColorValue(colour));
    return QColor(int(bits & 0xFFu), int((bits >> 8) & 0xFFu), int((bits >> 16) & 0xFFu));
}

} // namespace tavlo
