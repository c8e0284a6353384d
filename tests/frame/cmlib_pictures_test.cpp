// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/cmlib_pictures.h"
#include "frame/modgradient.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace tavlo {
namespace {

constexpr QRgb kUnpainted = 0xFFFF00FF;

QImage blankPicture(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(width, height, format);
    picture.fill(QColor::fromRgb(kUnpainted));
    return picture;
}

// The painted pixel as 0x00BBGGRR.
OleColor colourAt(const QImage &picture, int x, int y)
{
    const QRgb rgb = picture.pixel(x, y);
    return qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16;
}

QImage gradient(int width, int height, float angle, OleColor colour1, OleColor colour2)
{
    QImage picture = blankPicture(width, height);
    PaintGradient(picture, angle, colour1, colour2);
    return picture;
}

TEST(PicturesAngleTest, ReducesIntoOneTurn)
{
    const std::pair<float, float> cases[] = {{-90, 270},  {360, 0},         {405, 45},
                                             {-450, 270}, {719.5f, 359.5f}, {-0.5f, 359.5f}};
    for (const auto &[angle, expected] : cases)
        EXPECT_EQ(ReduceAngle(angle), expected) << "angle " << angle;
}

TEST(PicturesRampTest, BuildsChannelsInSinglePrecisionSteps)
{
    // clang-format off
    const struct { int64_t count; OleColor colour1, colour2; std::vector<OleColor> expected; } cases[] = {
        {4, 0x000000, 0x0000FF, {0, 64, 128, 255}},
        {2, 0x123456, 0xABCDEF, {0x123456, 0xABCDEF}},
        {0, 0x123456, 0xABCDEF, {0x123456, 0xABCDEF}}, // raised to two
        {4, 0x000000, 0x00000A, {0, 2, 5, 10}}, // halves round to even
        {4, 0x000000, 0x0E0000, {0, 0x040000, 0x070000, 0x0E0000}},
        // Divided by the count, so the last inner entry stops short of colour2.
        {5, 0x000000, 0x00FF00, {0, 0x3300, 0x6600, 0x9900, 0xFF00}},
        {3, 0xFFFFFF, 0x000000, {0xFFFFFF, 0xAAAAAA, 0x000000}},
        // An unresolved system colour is kept and its low bits are used as red 25.
        {4, OleColor(0x80000019), 0, {OleColor(0x80000019), 19, 12, 0}},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(BuildColorRamp(c.count, c.colour1, c.colour2), c.expected) << c.count;
    const std::pair<int64_t, int64_t> sizes[] = {{2, 1}, {3, 2}, {5, 2}, {7, 4}, {244, 122}};
    for (const auto &[points, size] : sizes)
        EXPECT_EQ(RampSize(points), size) << points << " points";
    EXPECT_EQ(SafeDivide(5, 0), 0.0);
}

TEST(PicturesDrawLineTest, LeavesOutTheEndPixel)
{
    // clang-format off
    const struct { LinePoint from, to; std::vector<std::string> expected; } cases[] = {
        {{1, 1}, {4, 1}, {"......", ".###..", "......", "......"}},
        {{4, 1}, {1, 1}, {"......", "..###.", "......", "......"}},
        {{2, 0}, {2, 3}, {"..#...", "..#...", "..#...", "......"}},
        {{2, 3}, {2, 0}, {"......", "..#...", "..#...", "..#..."}},
        {{0, 0}, {3, 3}, {"#.....", ".#....", "..#...", "......"}},
        {{0, 0}, {5, 1}, {"###...", "...##.", "......", "......"}},
        {{5, 0}, {4, 4}, {".....#", ".....#", "....#.", "....#."}},
        {{2, 2}, {2, 2}, {"......", "......", "......", "......"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        QImage picture = blankPicture(6, 4);
        DrawLine(picture, c.from, c.to, OleColor(0x80123456));
        std::vector<std::string> rows(4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                rows[size_t(y)] += colourAt(picture, x, y) == 0x123456   ? '#'
                                   : colourAt(picture, x, y) == 0xFF00FF ? '.'
                                                                         : '?';
        EXPECT_EQ(rows, c.expected)
            << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
    }
}

TEST(PicturesDrawLineTest, ClippingMatchesCroppingALargerPicture)
{
    // Every line with ends in [-20, 29] drawn on 10x8 must equal the same line
    // drawn fully inside a large canvas and cropped.
    const int margin = 40;
    uint32_t seed = 12345;
    const auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % 50) - 20;
    };
    for (int n = 0; n < 2000; ++n) {
        const LinePoint from{next(), next()};
        const LinePoint to{next(), next()};
        QImage small = blankPicture(10, 8);
        DrawLine(small, from, to, 0x0000FF);
        QImage large = blankPicture(100, 100);
        DrawLine(large, {from.x + margin, from.y + margin}, {to.x + margin, to.y + margin},
                 0x0000FF);
        ASSERT_EQ(small, large.copy(margin, margin, 10, 8))
            << "(" << from.x << "," << from.y << ")-(" << to.x << "," << to.y << ")";
    }
}

TEST(PicturesDrawLineTest, DrawsPairsWhileTheRampLasts)
{
    QImage picture = blankPicture(4, 3);
    const std::vector<LinePoint> points{{0, 0}, {4, 0}, {0, 1}, {4, 1}, {0, 2}};
    EXPECT_EQ(DrawLines(picture, points, {0x0000FF, 0x00FF00, 0xFF0000}), 2);
    EXPECT_EQ(colourAt(picture, 3, 1), 0x00FF00);
    EXPECT_EQ(colourAt(picture, 0, 2), 0xFF00FF); // the unpaired point is no line
    EXPECT_EQ(DrawLines(picture, points, {0x0000FF}), std::nullopt);
}

TEST(PicturesDrawTest, RightAnglesPaintWholeRowsOrColumnsAndADiagonalEveryPixel)
{
    // Ramp entry of pixel x, y: 90 puts colour1 on the hidden line below the
    // picture, 270 on its top row, 0 on its left column, 180 beyond its right.
    // At 2 x 2 and 90 the rows show the ramp's inner entries (64, 128 of red).
    for (const auto &[width, height, colour1, colour2] :
         {std::tuple{40, 10, 0x1050F0, 0xE0A010}, {2, 2, 0x000000, 0x0000FF}}) {
        const std::vector<OleColor> rows = BuildColorRamp(height + 2, colour1, colour2);
        const std::vector<OleColor> columns = BuildColorRamp(width + 2, colour1, colour2);
        const std::pair<float, std::function<OleColor(int, int)>> cases[] = {
            {90.0f, [&](int, int y) { return rows[size_t(height - y)]; }},
            {270.0f, [&](int, int y) { return rows[size_t(y)]; }},
            {0.0f, [&](int x, int) { return columns[size_t(x)]; }},
            {180.0f, [&](int x, int) { return columns[size_t(width - x)]; }},
        };
        for (const auto &[angle, expected] : cases) {
            const QImage picture = gradient(width, height, angle, colour1, colour2);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(colourAt(picture, x, y), expected(x, y))
                        << angle << ": " << x << "," << y;
        }
    }
    const QImage picture = gradient(37, 23, 315, 0x000000, 0xFFFFFF);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_NE(picture.pixel(x, y), kUnpainted) << x << "," << y;
}

TEST(PicturesDrawTest, TooSmallPicturesDrawNothingAndOtherFormatsTheSamePixels)
{
    for (const QSize size : {QSize(1, 50), QSize(50, 1), QSize(0, 0)}) {
        QImage picture = blankPicture(size.width(), size.height());
        EXPECT_FALSE(cmlib_PICTURES().Draw(picture)) << size.width() << "x" << size.height();
        EXPECT_EQ(picture, blankPicture(size.width(), size.height()));
    }
    QImage picture = blankPicture(20, 6, QImage::Format_RGB888);
    PaintGradient(picture, 270, 0x102030, 0xC0B0A0);
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32),
              gradient(20, 6, 270, 0x102030, 0xC0B0A0));
}

TEST(PicturesSystemColourTest, ResolvesKnownIndicesAndKeepsOthers)
{
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x11, 0x22, 0x33));
    QGuiApplication::setPalette(palette);

    QImage picture = blankPicture(8, 4);
    cmlib_PICTURES painter;
    painter.setAngle(270);
    painter.setColor1(OleColor(0x8000000D)); // highlight
    painter.setColor2(OleColor(0x8000001E)); // no such index: raw bits, red 30
    EXPECT_TRUE(painter.Draw(picture));
    QGuiApplication::setPalette(saved);
    EXPECT_EQ(colourAt(picture, 0, 0), 0x332211);
    // Ramp of 6 from (0x11, 0x22, 0x33) towards (30, 0, 0); row 3 is entry 3.
    EXPECT_EQ(colourAt(picture, 0, 3), 24 | 17 << 8 | 26 << 16);
}

} // namespace
} // namespace tavlo
