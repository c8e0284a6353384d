#include "frame/twips.h"

#include <QGuiApplication>
#include <QScreen>
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
    return int(std::lround(twips / twipsPerPixelX()));
}

int twipsToPixelsY(double twips)
{
    return int(std::lround(twips / twipsPerPixelY()));
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
