// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace tavlo {

// Geometry is kept in twips (1440 per inch) and turned into pixels at the
// window boundary, using the logical DPI of the primary screen.
double twipsPerPixelX();
double twipsPerPixelY();

// Whole pixels, held within the range of a window coordinate (NaN gives 0).
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);

// Rectangle of the whole screen area in twips (all screens together).
struct ScreenTwips
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
// The desktop that windows may be placed on: every screen together.
ScreenTwips virtualScreenTwips();
// The primary screen, where a window is centred.
ScreenTwips primaryScreenTwips();

} // namespace tavlo
