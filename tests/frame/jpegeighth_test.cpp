// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/jpegeighth.h"

#include "frame/jpegreader.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

#include <jpeglib.h>

namespace tavlo {
namespace {

struct Encoding
{
    const char *name;
    int components;
    std::array<int, 3> across, down; // sampling factors
    int restartInterval = 0;
    bool progressive = false;
    bool optimized = false;
    bool adobe = false;
};

// Writes picture through libjpeg with the given sampling and coding.
QByteArray writeJpeg(const QImage &picture, const Encoding &encoding)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = encoding.components;
    info.in_color_space = encoding.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    for (int c = 0; c < encoding.components; ++c) {
        info.comp_info[c].h_samp_factor = encoding.across[size_t(c)];
        info.comp_info[c].v_samp_factor = encoding.down[size_t(c)];
    }
    info.restart_interval = unsigned(encoding.restartInterval);
    info.optimize_coding = encoding.optimized;
    info.write_Adobe_marker = encoding.adobe;
    if (encoding.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const QImage rows = picture.convertToFormat(encoding.components == 1 ? QImage::Format_Grayscale8
                                                                         : QImage::Format_RGB888);
    while (info.next_scanline < info.image_height) {
        auto *row = const_cast<JSAMPROW>(rows.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

// Smooth colour with fine detail, kept away from black and white so no
// average is clamped.
QImage detailedPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int detail = (x * y + 3 * x) % 17;
            picture.setPixel(x, y,
                             qRgb(40 + (x * 150 / size.width()) + detail,
                                  40 + (y * 150 / size.height()) + detail,
                                  120 + detail * 3 - (x + y) % 40));
        }
    return picture;
}

QImage readEighth(const QByteArray &jpeg, int parts, int meetWindow = 8192)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    return ReadJpegEighth(buffer, {parts, meetWindow, 1});
}

QImage readWithLibjpeg(const QByteArray &jpeg, int eighths)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    return ReadJpeg(buffer, eighths);
}

int worstChannel(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

const QSize kSize(517, 389); // no side a whole number of MCUs

// clang-format off
const Encoding kReadable[] = {
    {"grey", 1, {1}, {1}},
    {"4:4:4", 3, {1, 1, 1}, {1, 1, 1}},
    {"4:2:0", 3, {2, 1, 1}, {2, 1, 1}},
    {"4:2:2", 3, {2, 1, 1}, {1, 1, 1}},
    {"4:4:0", 3, {1, 1, 1}, {2, 1, 1}},
    {"4:1:1", 3, {4, 1, 1}, {1, 1, 1}},
    {"4:2:0 optimised", 3, {2, 1, 1}, {2, 1, 1}, 0, false, true},
    {"4:2:0, a restart every 5 MCUs", 3, {2, 1, 1}, {2, 1, 1}, 5},
    {"grey, a restart every MCU", 1, {1}, {1}, 1},
};
// clang-format on

TEST(JpegEighthTest, EachPixelIsItsBlocksAverageWhateverTheSplit)
{
    const QImage picture = detailedPicture(kSize);
    for (const Encoding &encoding : kReadable) {
        SCOPED_TRACE(encoding.name);
        const QByteArray jpeg = writeJpeg(picture, encoding);
        const QImage alone = readEighth(jpeg, 1);
        ASSERT_EQ(alone.size(), QSize(65, 49));
        // Split in two, three or four, or with parts that can rarely meet: the same pixels.
        for (const auto &[parts, window] : {std::pair{2, 8192}, {3, 8192}, {4, 8192}, {3, 1}}) {
            SCOPED_TRACE(testing::Message() << parts << " parts, window " << window);
            EXPECT_TRUE(readEighth(jpeg, parts, window) == alone);
        }
        // Full size blocks the same: libjpeg's own eighth, where it keeps
        // the colour whole; elsewhere the average of its whole decode.
        const bool whole =
            encoding.components == 1 || (encoding.across[0] == 1 && encoding.down[0] == 1);
        const QImage full = readWithLibjpeg(jpeg, whole ? 1 : 8);
        int worst = 0;
        for (int y = 0; y < kSize.height() / 8; ++y)
            for (int x = 0; x < kSize.width() / 8; ++x) {
                if (whole) {
                    worst = std::max(worst, worstChannel(alone.pixel(x, y), full.pixel(x, y)));
                    continue;
                }
                int sum[3] = {};
                for (int dy = 0; dy < 8; ++dy)
                    for (int dx = 0; dx < 8; ++dx) {
                        const QRgb p = full.pixel(8 * x + dx, 8 * y + dy);
                        sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p);
                    }
                const QRgb average =
                    qRgb((sum[0] + 32) / 64, (sum[1] + 32) / 64, (sum[2] + 32) / 64);
                worst = std::max(worst, worstChannel(alone.pixel(x, y), average));
            }
        EXPECT_LE(worst, whole ? 0 : 3);
    }
}

TEST(JpegEighthTest, LeavesOtherCodingsToLibjpeg)
{
    const QImage picture = detailedPicture({120, 80});
    // clang-format off
    const Encoding others[] = {
        {"progressive", 3, {2, 1, 1}, {2, 1, 1}, 0, true},
        {"Adobe colour", 3, {2, 1, 1}, {2, 1, 1}, 0, false, false, true},
    };
    // clang-format on
    for (const Encoding &encoding : others) {
        SCOPED_TRACE(encoding.name);
        EXPECT_TRUE(readEighth(writeJpeg(picture, encoding), 2).isNull());
    }
    EXPECT_TRUE(readEighth(QByteArray("\xFF\xD8\xFF\xD9", 4), 1).isNull());
    EXPECT_TRUE(readEighth(QByteArray("not a picture"), 1).isNull());
}

TEST(JpegEighthTest, DamagedDataGivesNothingOrAPictureOfItsSize)
{
    for (const Encoding &encoding : {kReadable[2], kReadable[7]}) {
        SCOPED_TRACE(encoding.name);
        const QByteArray jpeg = writeJpeg(detailedPicture(kSize), encoding);
        const qsizetype scan = jpeg.indexOf("\xFF\xDA") + 14;
        // Cut from the middle of the scan, the end marker kept: too few MCUs.
        const QByteArray cut = jpeg.left(jpeg.size() / 2) + jpeg.right(2);
        for (const int parts : {1, 2, 3})
            EXPECT_TRUE(readEighth(cut, parts).isNull()) << parts;
        // A Huffman table with more short codes than there is room for.
        QByteArray crowded = jpeg;
        const qsizetype table = crowded.indexOf("\xFF\xC4") + 5;
        crowded[table] = char(crowded[table] + crowded[table + 2]);
        crowded[table + 2] = 0;
        EXPECT_TRUE(readEighth(crowded, 2).isNull());
        std::mt19937 random(7);
        for (int round = 0; round < 60; ++round) {
            QByteArray damaged = jpeg;
            for (int hit = 0; hit < 1 + round % 6; ++hit) {
                const qsizetype at = scan + qsizetype(random() % quint32(jpeg.size() - scan - 2));
                damaged[at] = char(random());
            }
            const QImage read = readEighth(damaged, 1 + round % 4, round % 3 ? 8192 : 2);
            EXPECT_TRUE(read.isNull() || read.size() == QSize(65, 49)) << round;
        }
    }
}

} // namespace
} // namespace tavlo
