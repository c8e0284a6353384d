// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/cmlib_pictures.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <new>

namespace tavlo {

namespace {

constexpr double kDegreesToRadians = 0.017453292519943278;
constexpr size_t kLineListBlock = 1000;

// Nearest integer, ties to even; nullopt when it does not fit 32 bits.
std::optional<int32_t> roundToInt32(float value)
{
    const float rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0f && rounded < 2147483648.0f))
        return std::nullopt;
    return int32_t(rounded);
}

bool isPaintableFormat(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

int channel(OleColor colour, int shift)
{
    return int((uint32_t(colour) >> shift) & 0xFFu);
}

} // namespace

float ReduceAngle(float angle)
{
    const float turns = std::floor(angle / 360.0f);
    return angle - std::floor(turns * 360.0f);
}

GuidePoint RotatePoint(GuidePoint point, GuidePoint centre, float angle)
{
    const auto rad = float(double(angle) * kDegreesToRadians);
    const double cosine = std::cos(double(rad));
    const double sine = std::sin(double(rad));
    const float dx = point.x - centre.x;
    const float dy = point.y - centre.y;
    return {float(centre.x + (dx * cosine + dy * sine)),
            float(centre.y - (dx * sine - dy * cosine))};
}

std::optional<std::vector<LinePoint>> BuildLineList(int width, int height, float angle)
{
    const GuidePoint centre{float(std::floor(width * 0.5)), float(std::floor(height * 0.5))};
    const double side = width > height ? width : height;
    const double half = (std::sqrt(side * side + side * side) + 2) * 0.5;
    const float turn = ReduceAngle(angle + 90.0f);
    const GuidePoint p0 = RotatePoint({float(centre.x - half), centre.y}, centre, turn);
    const GuidePoint p1 = RotatePoint({float(centre.x + half), centre.y}, centre, turn);

    const bool steep = std::fabs(p0.y - p1.y) >= std::fabs(p0.x - p1.x);
    const float maxX = std::max(p0.x, p1.x);
    const float minX = std::min(p0.x, p1.x);
    const float maxY = std::max(p0.y, p1.y);
    const float minY = std::min(p0.y, p1.y);

    // The first line lies along one edge of the picture; the step walks the
    // lines across to the opposite edge.
    float xoff = 0;
    float yoff = 0;
    int sx = 0;
    int sy = 0;
    const bool upTo90 = angle >= 0 && angle <= 90;
    const bool upTo180 = angle >= 91 && angle <= 180;
    const bool upTo270 = angle >= 181 && angle <= 270;
    if (steep) {
        if (upTo180 || upTo270) {
            xoff = float(width) - minX;
            sx = -1;
        } else {
            xoff = -maxX;
            sx = 1;
        }
    } else {
        if (upTo90 || upTo180) {
            yoff = float(height) - minY;
            sy = -1;
        } else {
            yoff = -maxY;
            sy = 1;
        }
    }

    const auto x0 = roundToInt32(p0.x + xoff);
    const auto y0 = roundToInt32(p0.y + yoff);
    const auto x1 = roundToInt32(p1.x + xoff);
    const auto y1 = roundToInt32(p1.y + yoff);
    if (!x0 || !y0 || !x1 || !y1)
        return std::nullopt;

    const auto beyond = [&](const LinePoint &p) {
        if (sx > 0)
            return p.x > width;
        if (sx < 0)
            return p.x < 0;
        if (sy > 0)
            return p.y > height;
        return p.y < 0;
    };

    std::vector<LinePoint> points;
    points.reserve(kLineListBlock);
    points.push_back({*x0, *y0});
    points.push_back({*x1, *y1});
    // Both of the last two points are checked, which may pair the end of one
    // line with the start of the next and leave an unpaired point behind.
    while (true) {
        const LinePoint &back = points[points.size() - 2];
        const LinePoint next{back.x + sx, back.y + sy};
        if (points.size() % kLineListBlock == 0)
            points.reserve(points.size() + kLineListBlock);
        points.push_back(next);
        if (beyond(points[points.size() - 2]) && beyond(next))
            break;
    }
    points.shrink_to_fit();
    return points;
}

int64_t RampSize(int64_t pointCount)
{
    return int64_t(std::nearbyint(double(pointCount) * 0.5));
}

double SafeDivide(double dividend, double divisor)
{
    return divisor == 0 ? 0.0 : dividend / divisor;
}

std::vector<OleColor> BuildColorRamp(int64_t count, OleColor colour1, OleColor colour2)
{
    count = std::max<int64_t>(count, 2);
    std::vector<OleColor> ramp(size_t(count), 0);
    ramp.front() = colour1;
    ramp.back() = colour2;

    const int red1 = channel(colour1, 0);
    const int green1 = channel(colour1, 8);
    const int blue1 = channel(colour1, 16);
    const auto n = double(count);
    const auto redStep = float(SafeDivide(channel(colour2, 0) - red1, n));
    const auto greenStep = float(SafeDivide(channel(colour2, 8) - green1, n));
    const auto blueStep = float(SafeDivide(channel(colour2, 16) - blue1, n));

    // The steps are single precision; the counter times step is exact in double.
    for (int64_t i = 1; i <= count - 2; ++i) {
        const auto k = double(i);
        const auto red = int32_t(std::nearbyint(k * redStep + red1));
        const auto green = int32_t(std::nearbyint(k * greenStep + green1));
        const auto blue = int32_t(std::nearbyint(k * blueStep + blue1));
        ramp[size_t(i)] = red + green * 256 + blue * 65536;
    }
    return ramp;
}

void DrawLine(QImage &picture, LinePoint from, LinePoint to, OleColor colour)
{
    if (!isPaintableFormat(picture.format()))
        return;
    const int64_t width = picture.width();
    const int64_t height = picture.height();
    const uint32_t pixel = 0xFF000000u | (uint32_t(channel(colour, 0)) << 16) |
                           (uint32_t(channel(colour, 8)) << 8) | uint32_t(channel(colour, 16));

    int64_t major0 = from.x;
    int64_t minor0 = from.y;
    int64_t majorDelta = int64_t(to.x) - from.x;
    int64_t minorDelta = int64_t(to.y) - from.y;
    const bool xMajor = std::abs(majorDelta) >= std::abs(minorDelta);
    if (!xMajor) {
        std::swap(major0, minor0);
        std::swap(majorDelta, minorDelta);
    }
    const int64_t length = std::abs(majorDelta); // pixels drawn; the end point is left out
    if (length == 0)
        return;
    const int64_t majorStep = majorDelta > 0 ? 1 : -1;
    const int64_t minorStep = minorDelta > 0 ? 1 : -1;
    const int64_t minorSpan = std::abs(minorDelta);
    const int64_t majorLimit = xMajor ? width : height;
    const int64_t minorLimit = xMajor ? height : width;

    // Steps i with the major coordinate inside the picture.
    int64_t first = 0;
    int64_t last = length; // exclusive
    if (majorStep > 0) {
        first = std::max(first, -major0);
        last = std::min(last, majorLimit - major0);
    } else {
        first = std::max(first, major0 - majorLimit + 1);
        last = std::min(last, major0 + 1);
    }
    if (first >= last)
        return;

    uchar *const bits = picture.bits();
    const int64_t stride = picture.bytesPerLine();
    const auto at = [&](int64_t x, int64_t y) {
        return reinterpret_cast<uint32_t *>(bits + y * stride) + x;
    };

    if (minorSpan == 0) {
        if (minor0 < 0 || minor0 >= minorLimit)
            return;
        const int64_t lo = std::min(major0 + majorStep * first, major0 + majorStep * (last - 1));
        const int64_t count = last - first;
        if (xMajor) {
            std::fill_n(at(lo, minor0), count, pixel);
        } else {
            for (int64_t y = lo; y < lo + count; ++y)
                *at(minor0, y) = pixel;
        }
        return;
    }

    // Step i moves the minor coordinate by round-half-up(i * minorSpan / length):
    // quotient and remainder of (2 i minorSpan + length) / (2 length), kept incrementally.
    // The offset reaches m first at step ceil((2 length m - length) / (2 minorSpan)),
    // which narrows the steps to those with the minor coordinate inside too.
    const auto firstStepReaching = [&](int64_t m) -> __int128 {
        const __int128 num = __int128(2) * length * m - length;
        const __int128 den = __int128(2) * minorSpan;
        return num <= 0 ? 0 : (num + den - 1) / den;
    };
    const int64_t lowOffset = minorStep > 0 ? -minor0 : minor0 - minorLimit + 1;
    const int64_t highOffset = minorStep > 0 ? minorLimit - 1 - minor0 : minor0;
    if (highOffset < 0)
        return;
    first = int64_t(std::max<__int128>(first, firstStepReaching(lowOffset)));
    last = int64_t(std::min<__int128>(last, firstStepReaching(highOffset + 1)));
    if (first >= last)
        return;

    const int64_t denominator = 2 * length;
    const __int128 numerator = __int128(2) * first * minorSpan + length;
    auto offset = int64_t(numerator / denominator);
    auto remainder = int64_t(numerator % denominator);
    for (int64_t i = first; i < last; ++i) {
        const int64_t major = major0 + majorStep * i;
        const int64_t minor = minor0 + minorStep * offset;
        if (minor >= 0 && minor < minorLimit) {
            if (xMajor)
                *at(major, minor) = pixel;
            else
                *at(minor, major) = pixel;
        }
        remainder += 2 * minorSpan;
        if (remainder >= denominator) { // minorSpan <= length: at most one step
            remainder -= denominator;
            ++offset;
        }
    }
}

std::optional<int64_t> DrawLines(QImage &picture, const std::vector<LinePoint> &points,
                                 const std::vector<OleColor> &ramp)
{
    int64_t drawn = 0;
    for (size_t k = 0; 2 * k + 1 < points.size(); ++k) {
        if (k >= ramp.size())
            return std::nullopt;
        DrawLine(picture, points[2 * k], points[2 * k + 1], ramp[k]);
        ++drawn;
    }
    return drawn;
}

bool PaintLines(QImage &picture, float angle, OleColor colour1, OleColor colour2)
{
    try {
        const auto points = BuildLineList(picture.width(), picture.height(), angle);
        if (!points)
            return false;
        const auto ramp = BuildColorRamp(RampSize(int64_t(points->size())), colour1, colour2);

        const QImage::Format format = picture.format();
        if (isPaintableFormat(format)) {
            const auto drawn = DrawLines(picture, *points, ramp);
            return drawn && *drawn > 0;
        }
        // Other formats are painted through a 32-bit copy.
        QImage work = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                        : QImage::Format_RGB32);
        const auto drawn = DrawLines(work, *points, ramp);
        if (drawn)
            picture = work.convertToFormat(format);
        return drawn && *drawn > 0;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

OleColor cmlib_PICTURES::resolveColor(OleColor colour)
{
    if (colour >= 0)
        return colour;
    const int index = int(uint32_t(colour) & 0x7FFFFFFFu);
    return SystemColor(index).value_or(colour);
}

void cmlib_PICTURES::setAngle(float angle)
{
    m_angle = ReduceAngle(angle);
}

void cmlib_PICTURES::setColor1(OleColor colour)
{
    m_color1 = resolveColor(colour);
}

void cmlib_PICTURES::setColor2(OleColor colour)
{
    m_color2 = resolveColor(colour);
}

bool cmlib_PICTURES::Draw(QImage &picture)
{
    if (picture.isNull() || picture.width() < 2 || picture.height() < 2)
        return false;
    return PaintLines(picture, m_angle, m_color1, m_color2);
}

} // namespace tavlo
