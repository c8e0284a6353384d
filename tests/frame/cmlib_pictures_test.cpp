#include "frame/cmlib_pictures.h"
#include "frame/modgradient.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

#include <string>
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
    const struct
    {
        float angle;
        float expected;
    } cases[] = {{-90, 270}, {360, 0},    {405, 45},        {0, 0},         {90, 90},
                 {-360, 0},  {-450, 270}, {719.5f, 359.5f}, {-0.5f, 359.5f}};
    for (const auto &c : cases)
        EXPECT_EQ(ReduceAngle(c.angle), c.expected) << "angle " << c.angle;
}

TEST(PicturesLineListTest, FlatAnglesGiveOneRowPerLineAndTwoMore)
{
    const struct
    {
        int width;
        int height;
    } sizes[] = {{2, 2}, {7, 5}, {400, 120}, {3, 300}, {120, 400}};
    for (const auto &size : sizes) {
        for (const float angle : {90.0f, 270.0f}) {
            const auto points = BuildLineList(size.width, size.height, angle);
            ASSERT_TRUE(points);
            ASSERT_EQ(points->size(), size_t(2 * (size.height + 2)))
                << size.width << "x" << size.height << " at " << angle;
            for (int k = 0; k < size.height + 2; ++k) {
                const LinePoint &a = (*points)[size_t(2 * k)];
                const LinePoint &b = (*points)[size_t(2 * k + 1)];
                // Angle 90 starts just below the picture, 270 on its top row.
                const int row = angle == 90.0f ? size.height - k : k;
                EXPECT_EQ(a.y, row);
                EXPECT_EQ(b.y, row);
                EXPECT_LT(std::min(a.x, b.x), 0);
                EXPECT_GT(std::max(a.x, b.x), size.width);
            }
        }
    }
}

TEST(PicturesRampTest, BuildsChannelsInSinglePrecisionSteps)
{
    const struct
    {
        const char *name;
        int64_t count;
        OleColor colour1;
        OleColor colour2;
        std::vector<OleColor> expected;
    } cases[] = {
        {"QuarterSteps", 4, 0x000000, 0x0000FF, {0, 64, 128, 255}},
        {"TwoIsExact", 2, 0x123456, 0xABCDEF, {0x123456, 0xABCDEF}},
        {"OneRaisedToTwo", 1, 0x123456, 0xABCDEF, {0x123456, 0xABCDEF}},
        {"ZeroRaisedToTwo", 0, 0x123456, 0xABCDEF, {0x123456, 0xABCDEF}},
        {"HalfRoundsToEvenDown", 4, 0x000000, 0x00000A, {0, 2, 5, 10}},
        {"HalfRoundsToEvenUp", 4, 0x000000, 0x0E0000, {0, 0x040000, 0x070000, 0x0E0000}},
        // Divided by the count, so the last inner entry stops short of colour2.
        {"DividedByCount", 5, 0x000000, 0x00FF00, {0, 0x3300, 0x6600, 0x9900, 0xFF00}},
        {"Descending", 3, 0xFFFFFF, 0x000000, {0xFFFFFF, 0xAAAAAA, 0x000000}},
        // An unresolved system colour is kept and its low bits are used as red 25.
        {"RawBitsOfNegative", 4, OleColor(0x80000019), 0, {OleColor(0x80000019), 19, 12, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BuildColorRamp(c.count, c.colour1, c.colour2), c.expected) << c.name;
}

TEST(PicturesRampTest, SizeIsHalfThePointsRoundedToEven)
{
    const struct
    {
        int64_t points;
        int64_t size;
    } cases[] = {{2, 1}, {3, 2}, {5, 2}, {7, 4}, {9, 4}, {11, 6}, {13, 6}, {244, 122}};
    for (const auto &c : cases)
        EXPECT_EQ(RampSize(c.points), c.size) << c.points << " points";
    EXPECT_EQ(SafeDivide(5, 0), 0.0);
}

TEST(PicturesDrawLineTest, LeavesOutTheEndPixelAndClips)
{
    const struct
    {
        const char *name;
        LinePoint from;
        LinePoint to;
        std::vector<std::string> expected;
    } cases[] = {
        {"Right", {1, 1}, {4, 1}, {"......", ".###..", "......", "......"}},
        {"Left", {4, 1}, {1, 1}, {"......", "..###.", "......", "......"}},
        {"Down", {2, 0}, {2, 3}, {"..#...", "..#...", "..#...", "......"}},
        {"Up", {2, 3}, {2, 0}, {"......", "..#...", "..#...", "..#..."}},
        {"RowClippedBothEnds", {-5, 2}, {10, 2}, {"......", "......", "######", "......"}},
        {"ColumnClippedBothEnds", {5, -3}, {5, 9}, {".....#", ".....#", ".....#", ".....#"}},
        {"Diagonal", {0, 0}, {3, 3}, {"#.....", ".#....", "..#...", "......"}},
        {"DiagonalFromOutside", {-2, -2}, {4, 4}, {"#.....", ".#....", "..#...", "...#.."}},
        {"Shallow", {0, 0}, {5, 1}, {"###...", "...##.", "......", "......"}},
        {"Steep", {5, 0}, {4, 4}, {".....#", ".....#", "....#.", "....#."}},
        {"SinglePoint", {2, 2}, {2, 2}, {"......", "......", "......", "......"}},
        {"Outside", {-5, -1}, {10, -1}, {"......", "......", "......", "......"}},
    };
    for (const auto &c : cases) {
        QImage picture = blankPicture(6, 4);
        DrawLine(picture, c.from, c.to, OleColor(0x80123456));
        for (int y = 0; y < 4; ++y) {
            std::string row;
            for (int x = 0; x < 6; ++x) {
                const OleColor colour = colourAt(picture, x, y);
                row += colour == 0x123456 ? '#' : colour == 0xFF00FF ? '.' : '?';
            }
            EXPECT_EQ(row, c.expected[size_t(y)]) << c.name << " row " << y;
        }
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
    EXPECT_EQ(colourAt(picture, 3, 0), 0x0000FF);
    EXPECT_EQ(colourAt(picture, 3, 1), 0x00FF00);
    EXPECT_EQ(colourAt(picture, 0, 2), 0xFF00FF); // the unpaired point is no line

    EXPECT_EQ(DrawLines(picture, points, {0x0000FF}), std::nullopt);
}

TEST(PicturesDrawTest, TwoByTwoAtNinetyShowsTheInnerRampEntries)
{
    // Lines at y = 2, 1, 0, -1 take ramp entries 0, 64, 128, 255 of red.
    const QImage picture = gradient(2, 2, 90, 0x000000, 0x0000FF);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(colourAt(picture, x, 1), 64);
        EXPECT_EQ(colourAt(picture, x, 0), 128);
    }
}

TEST(PicturesDrawTest, FlatAnglesPaintWholeRows)
{
    const int width = 40;
    const int height = 10;
    const OleColor colour1 = 0x1050F0;
    const OleColor colour2 = 0xE0A010;
    const std::vector<OleColor> ramp = BuildColorRamp(height + 2, colour1, colour2);
    const QImage up = gradient(width, height, 90, colour1, colour2);
    const QImage down = gradient(width, height, 270, colour1, colour2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // 90: colour1 is on the hidden line below the picture; 270: on the top row.
            EXPECT_EQ(colourAt(up, x, y), ramp[size_t(height - y)]) << x << "," << y;
            EXPECT_EQ(colourAt(down, x, y), ramp[size_t(y)]) << x << "," << y;
        }
    }
    EXPECT_EQ(colourAt(down, 0, 0), colour1);
}

TEST(PicturesDrawTest, SteepAnglesPaintWholeColumns)
{
    const int width = 12;
    const int height = 5;
    const std::vector<OleColor> ramp = BuildColorRamp(width + 2, 0x000000, 0xFFFFFF);
    const QImage right = gradient(width, height, 0, 0x000000, 0xFFFFFF);
    const QImage left = gradient(width, height, 180, 0x000000, 0xFFFFFF);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(colourAt(right, x, y), ramp[size_t(x)]) << x << "," << y;
            EXPECT_EQ(colourAt(left, x, y), ramp[size_t(width - x)]) << x << "," << y;
        }
    }
}

TEST(PicturesDrawTest, DiagonalCoversEveryPixel)
{
    const QImage picture = gradient(37, 23, 315, 0x000000, 0xFFFFFF);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_NE(picture.pixel(x, y), kUnpainted) << x << "," << y;
    }
}

TEST(PicturesDrawTest, TooSmallPicturesDrawNothing)
{
    for (const QSize size : {QSize(1, 50), QSize(50, 1), QSize(1, 1), QSize(0, 0)}) {
        QImage picture = blankPicture(size.width(), size.height());
        const QImage before = picture;
        cmlib_PICTURES painter;
        EXPECT_FALSE(painter.Draw(picture)) << size.width() << "x" << size.height();
        EXPECT_EQ(picture, before);
    }
    QImage null;
    EXPECT_FALSE(cmlib_PICTURES().Draw(null));
}

TEST(PicturesDrawTest, OtherFormatsGetTheSamePixels)
{
    QImage picture = blankPicture(20, 6, QImage::Format_RGB888);
    PaintGradient(picture, 270, 0x102030, 0xC0B0A0);
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32),
              gradient(20, 6, 270, 0x102030, 0xC0B0A0));
}

class PicturesSystemColourTest : public testing::Test
{
protected:
    void SetUp() override { m_saved = QGuiApplication::palette(); }
    void TearDown() override { QGuiApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

TEST_F(PicturesSystemColourTest, ResolvesKnownIndicesAndKeepsOthers)
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x11, 0x22, 0x33));
    QGuiApplication::setPalette(palette);

    QImage picture = blankPicture(8, 4);
    cmlib_PICTURES painter;
    painter.setAngle(270);
    painter.setColor1(OleColor(0x8000000D)); // highlight
    painter.setColor2(OleColor(0x8000001E)); // no such index: raw bits, red 30
    ASSERT_TRUE(painter.Draw(picture));
    EXPECT_EQ(colourAt(picture, 0, 0), 0x332211);
    // Ramp of 6 from (0x11, 0x22, 0x33) towards (30, 0, 0); row 3 is entry 3.
    EXPECT_EQ(colourAt(picture, 0, 3), 24 | 17 << 8 | 26 << 16);
}

} // namespace
} // namespace tavlo
