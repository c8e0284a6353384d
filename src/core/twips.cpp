// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace tavlo {
namespace {

double dpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double value =
        screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96;
    return value > 0 ? value : 96;
}

ScreenTwips toTwips(const QRect &r)
{
    return {r.left() * twipsPerPixelX(), r.top() * twipsPerPixelY(), r.width() * twipsPerPixelX(),
            r.height() * twipsPerPixelY()};
}

// Rounded to whole pixels within the range a window coordinate can hold, so a
// huge or invalid number of twips never overflows into some other place.
int toPixels(double twips, double twipsPerPixel)
{
    constexpr double kLimit = 16777215; // QWIDGETSIZE_MAX
    const double pixels = twips / twipsPerPixel;
    if (std::isnan(pixels))
        return 0;
    return int(std::lround(std::clamp(pixels, -kLimit, kLimit)));
}

} // namespace

double twipsPerPixelX()
{
    return 1440.0 / dpi(true);
}

double twipsPerPixelY()
{
    return 1440.0 / dpi(false);
}

int twipsToPixelsX(double twips)
{
    return toPixels(twips, twipsPerPixelX());
}

int twipsToPixelsY(double twips)
{
    return toPixels(twips, twipsPerPixelY());
}

ScreenTwips virtualScreenTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? toTwips(screen->virtualGeometry()) : ScreenTwips{};
}

ScreenTwips primaryScreenTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? toTwips(screen->geometry()) : ScreenTwips{};
}

} // namespace tavlo
