#include "frame/framebase.h"

#include <gtest/gtest.h>

using namespace tavlo;

// One theme colour whose channels (0x99, 0x66, 0x33) blend to whole numbers
// at contrast 100, so every shade is exact.
TEST(ThemeShadesTest, MixesEveryShadeFromColourAndContrast)
{
    const ThemeShades shades = themeShades(0x336699, 100);
    EXPECT_EQ(shades.back, 0x1F3E5D);      // the theme darkened to 155/255
    EXPECT_EQ(shades.separator, 0x9BB4CD); // 130/255 white
    EXPECT_EQ(shades.shadow, 0x19324B);    // the back darkened again
    EXPECT_EQ(shades.timeFrom, 0x29527B);  // half the contrast in black
    EXPECT_EQ(shades.timeTo, 0xA3BAD1);    // contrast + 40 in white
    EXPECT_EQ(shades.dateFrom, shades.timeFrom);
    EXPECT_EQ(shades.dateTo, 0x83A2C1);
    EXPECT_EQ(shades.grip, shades.timeFrom);
    // Half of an odd contrast rounds to even: 33 mixes like 32 at the strips' dark end.
    EXPECT_EQ(themeShades(0x123456, 33).timeFrom, ColorBlend(0, 0x123456, 16));
}

// A contrast written by hand may be any 32-bit number: the mixes saturate
// instead of overflowing.
TEST(ThemeShadesTest, TakeAnyStoredContrast)
{
    EXPECT_EQ(themeShades(0x336699, INT32_MAX).back, 0x000000u);
    EXPECT_EQ(themeShades(0x336699, INT32_MIN).back, 0xFFFFFFu);
    EXPECT_EQ(themeShades(0x336699, INT32_MAX), themeShades(0x336699, 1 << 24));
}
