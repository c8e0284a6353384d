// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modresize.h"

#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace tavlo {
namespace {

QImage quadrants(QSize size, const QRgb colours[4])
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y,
                             colours[(y * 2 >= size.height() ? 2 : 0) + (x * 2 >= size.width())]);
    return picture;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(ResizeScaleTest, QuadrantsReachTheCornersOfWideAndTallBoxes)
{
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                             qRgb(255, 255, 255)};
    for (const QSize from : {QSize(2, 2), QSize(8, 6)}) {
        const QImage picture = quadrants(from, colours);
        for (const QSize box : {QSize(90, 12), QSize(12, 90), QSize(5, 3)}) {
            const QImage scaled = ScalePicture(picture, box);
            ASSERT_EQ(scaled.size(), box);
            const int w = box.width() - 1, h = box.height() - 1;
            const QPoint corners[4] = {{0, 0}, {w, 0}, {0, h}, {w, h}};
            for (int q = 0; q < 4; ++q)
                EXPECT_TRUE(near(scaled.pixel(corners[q]), colours[q], 12))
                    << from.width() << " to " << box.width() << "x" << box.height() << " corner "
                    << q;
        }
    }
}

TEST(ResizeScaleTest, CubicReferencePixels)
{
    // clang-format off
    // Grey levels along one row.
    const struct { std::vector<int> from, to; } cases[] = {
        // Catmull-Rom weights at the quarter points, renormalised at the edges.
        {{0, 255}, {0, 53, 202, 255}},
        {{255, 0}, {255, 202, 53, 0}},
        // A flat row stays exactly flat, however far it is stretched.
        {{77, 77, 77}, std::vector<int>(11, 77)},
        {{10, 20, 30, 40}, {10, 20, 30, 40}},
    };
    // clang-format on
    for (const auto &c : cases) {
        QImage row(int(c.from.size()), 1, QImage::Format_RGB32);
        for (int x = 0; x < row.width(); ++x)
            row.setPixel(x, 0, qRgb(c.from[size_t(x)], c.from[size_t(x)], c.from[size_t(x)]));
        for (const bool turned : {false, true}) {
            const QImage source = turned ? row.transformed(QTransform().rotate(90)) : row;
            const QSize size = turned ? QSize(1, int(c.to.size())) : QSize(int(c.to.size()), 1);
            const QImage scaled = ScalePicture(source, size);
            ASSERT_EQ(scaled.size(), size);
            std::vector<int> got;
            for (int i = 0; i < int(c.to.size()); ++i) {
                const QRgb p = turned ? scaled.pixel(0, i) : scaled.pixel(i, 0);
                got.push_back(qRed(p) == qBlue(p) ? qRed(p) : -1);
            }
            EXPECT_EQ(got, c.to) << (turned ? "down" : "across");
        }
    }
}

TEST(ResizeScaleTest, ShrunkCheckerboardBecomesMidGrey)
{
    QImage board(301, 199, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    for (const QSize box : {QSize(150, 99), QSize(70, 45), QSize(33, 180), QSize(9, 9)}) {
        const QImage scaled = ScalePicture(board, box);
        ASSERT_EQ(scaled.size(), box);
        int worst = 0;
        for (int y = 0; y < box.height(); ++y)
            for (int x = 0; x < box.width(); ++x)
                worst = std::max(worst, std::abs(qGray(scaled.pixel(x, y)) - 128));
        EXPECT_LE(worst, 10) << "to " << box.width() << "x" << box.height();
    }
}

TEST(ResizeScaleTest, ColourNeverExceedsAlpha)
{
    // Opaque black beside faint white: the filter's overshoot lifts the colour
    // as the alpha dips.
    QImage picture(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            picture.setPixel(x, y, x < 4 ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 100));
    for (const QSize box : {QSize(61, 8), QSize(8, 61), QSize(5, 5)}) {
        const QImage scaled = ScalePicture(picture, box);
        ASSERT_EQ(scaled.format(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < scaled.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(scaled.constScanLine(y));
            for (int x = 0; x < scaled.width(); ++x)
                ASSERT_LE(qRed(line[x]), qAlpha(line[x])) << x << "," << y;
        }
    }
}

TEST(ResizeScaleTest, WideAndNarrowVectorsAgree)
{
    QImage noise(333, 217, QImage::Format_ARGB32);
    QRandomGenerator random(5);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate());
    for (const QSize box : {QSize(100, 50), QSize(1000, 700), QSize(333, 5), QSize(7, 217),
                            QSize(2000, 3), QSize(331, 219)}) {
        setScalerWideVectorsForTesting(false);
        const QImage narrow = ScalePicture(noise, box);
        setScalerWideVectorsForTesting(true);
        EXPECT_EQ(ScalePicture(noise, box), narrow) << box.width() << "x" << box.height();
    }
}

TEST(ResizeFitTest, FitsCentresAndRoundsHalvesToEven)
{
    // clang-format off
    const struct { QSize picture; QSize box; QRect expected; } cases[] = {
        {{300, 400}, {200, 200}, {25, 0, 150, 200}},
        {{2, 1}, {5, 5}, {0, 2, 5, 2}},          // 2.5 -> 2, offset 1.5 -> 2
        {{2, 1}, {7, 7}, {0, 2, 7, 4}},          // 3.5 -> 4, offset 1.5 -> 2
        {{1, 10000}, {100, 10}, {50, 0, 1, 10}}, // never narrower than a pixel
        {{0, 10}, {100, 10}, {}},
        {{10, 10}, {0, 10}, {}},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(FitPictureRect(c.picture, c.box), c.expected)
            << c.picture.width() << "x" << c.picture.height() << " in " << c.box.width() << "x"
            << c.box.height();
}

TEST(ResizePictureTest, StretchesOrFitsOverTheBackColour)
{
    const QRgb colours[4] = {qRgb(200, 0, 0), qRgb(200, 0, 0), qRgb(0, 0, 200), qRgb(0, 0, 200)};
    const QImage tall = quadrants(QSize(30, 120), colours);
    const QColor back(Qt::green);

    const QImage stretched = ResizePicture(tall, 160, 40, back, false);
    ASSERT_EQ(stretched.size(), QSize(160, 40));
    EXPECT_TRUE(near(stretched.pixel(0, 0), colours[0], 4) &&
                near(stretched.pixel(159, 39), colours[3], 4));
    const QImage fitted = ResizePicture(tall, 160, 40, back, true);
    ASSERT_EQ(fitted.size(), QSize(160, 40));
    EXPECT_TRUE(fitted.pixel(0, 0) == back.rgb() && fitted.pixel(159, 39) == back.rgb());
    EXPECT_TRUE(near(fitted.pixel(80, 2), colours[0], 4));
    QImage clear(20, 20, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_EQ(ResizePicture(clear, 50, 30, back, false).pixel(25, 15), back.rgb());
}

TEST(ResizePictureTest, NothingToShowOrNoRoomGivesNoPicture)
{
    const QImage picture = quadrants(QSize(4, 4), std::vector<QRgb>(4, qRgb(1, 2, 3)).data());
    // clang-format off
    const struct { QImage picture; QSize box; } cases[] = {
        {QImage(), {100, 100}},
        {picture, {100, -5}},
        {picture, {kMaxScaledSide + 1, 10}},
        {picture, {20000, 20000}},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_TRUE(
            ResizePicture(c.picture, c.box.width(), c.box.height(), Qt::black, false).isNull() &&
            ScalePicture(c.picture, c.box).isNull())
            << c.box.width() << "x" << c.box.height();
}

} // namespace
} // namespace tavlo
