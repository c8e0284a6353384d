// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"

#include <cstdint>
#include <optional>
#include <vector>

class QImage;

namespace tavlo {

// A point of the guide segment, in single precision.
struct GuidePoint
{
    float x = 0;
    float y = 0;
};

// One end of a painted line, in pixels.
struct LinePoint
{
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const LinePoint &, const LinePoint &) = default;
};

// a - Int(Int(a / 360) * 360) in single precision, Int rounding towards minus infinity.
float ReduceAngle(float angle);

// point turned about centre by angle degrees (counter-clockwise on screen).
GuidePoint RotatePoint(GuidePoint point, GuidePoint centre, float angle);

// Ends of the parallel lines covering a width x height picture for a gradient
// at angle (already reduced), in drawing order: entries 2k and 2k + 1 are
// line k; a trailing unpaired entry is not a line. nullopt when a coordinate
// cannot be represented.
std::optional<std::vector<LinePoint>> BuildLineList(int width, int height, float angle);

// Number of ramp entries for a line list of pointCount points (ties to even).
int64_t RampSize(int64_t pointCount);

// dividend / divisor, or 0 when divisor is 0.
double SafeDivide(double dividend, double divisor);

// count colours from colour1 to colour2 (count raised to at least 2); the
// inner entries step by (colour2 - colour1) / count per channel.
std::vector<OleColor> BuildColorRamp(int64_t count, OleColor colour1, OleColor colour2);

// Every pixel from `from` towards `to` except `to` itself, clipped to picture;
// colour is 0x00BBGGRR (higher bits ignored). Does nothing unless picture is
// RGB32, ARGB32 or ARGB32_Premultiplied.
void DrawLine(QImage &picture, LinePoint from, LinePoint to, OleColor colour);

// Draws line k of points in ramp colour k; returns the number of lines drawn,
// or nullopt when the ramp runs out.
std::optional<int64_t> DrawLines(QImage &picture, const std::vector<LinePoint> &points,
                                 const std::vector<OleColor> &ramp);

// Fills picture with the gradient; true when at least one line was drawn.
bool PaintLines(QImage &picture, float angle, OleColor colour1, OleColor colour2);

// Paints a two-colour linear gradient of parallel one-pixel lines into a picture.
class cmlib_PICTURES final
{
public:
    // Stores angle reduced into [0, 360).
    void setAngle(float angle);
    // A system colour index below 25 becomes that colour; other values are kept as given.
    void setColor1(OleColor colour);
    void setColor2(OleColor colour);
    // Paints picture; false when it is smaller than 2x2 or nothing was drawn.
    bool Draw(QImage &picture);

private:
    static OleColor resolveColor(OleColor colour);

    OleColor m_color1 = 0xFFFFD0;
    OleColor m_color2 = 0x400000;
    float m_angle = 315.0f;
};

} // namespace tavlo
