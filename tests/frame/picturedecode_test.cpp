// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/picturedecode.h"

#include "frame/commondialog.h"
#include "frame/jpegreader.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavlo {
namespace {

// Left half red, right half blue: which way up it comes out is plain to see.
QImage twoColours(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, x * 2 < size.width() ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    return picture;
}

QByteArray encode(const QImage &picture, const char *format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(picture)) << format << ": " << writer.errorString().toStdString();
    return bytes;
}

// An APP1 segment holding only an EXIF orientation tag, put after the JFIF header.
QByteArray withOrientation(QByteArray jpeg, quint16 orientation)
{
    QByteArray exif("\xFF\xE1\x00\x22"
                    "Exif\x00\x00"
                    "MM\x00\x2A\x00\x00\x00\x08"
                    "\x00\x01"
                    "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x00\x00\x00"
                    "\x00\x00\x00\x00",
                    36);
    qToBigEndian(orientation, exif.data() + 28);
    const int app0Length = uchar(jpeg[4]) << 8 | uchar(jpeg[5]);
    return jpeg.insert(4 + app0Length, exif);
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// A valid PNG whose header then claims width x height.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = encode(twoColours({8, 8}), "png");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

// A valid JPEG whose frame header then claims width x height.
QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive = false)
{
    QByteArray jpeg = encode(twoColours({8, 8}), "jpeg", progressive);
    const qsizetype frame = jpeg.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
    EXPECT_GT(frame, 0);
    qToBigEndian(height, jpeg.data() + frame + 5);
    qToBigEndian(width, jpeg.data() + frame + 7);
    return jpeg;
}

// The JPEG with its first Huffman table claiming more codes than there are.
QByteArray badTable(QByteArray jpeg)
{
    const qsizetype table = jpeg.indexOf("\xFF\xC4");
    EXPECT_GT(table, 0);
    for (int i = 0; i < 16; ++i)
        jpeg[table + 5 + i] = char(0xFF);
    return jpeg;
}

class PictureDecodeTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

TEST_F(PictureDecodeTest, OrientationTagTurnsThePictureUpright)
{
    const QByteArray plain = encode(twoColours({40, 20}), "jpeg");
    // clang-format off
    // Where the red and the blue half lie, as fractions of the size.
    const struct { quint16 orientation; QSize maxSize, size; QPointF red, blue; } cases[] = {
        {1, {}, {40, 20}, {0.25, 0.5}, {0.75, 0.5}},
        {3, {}, {40, 20}, {0.75, 0.5}, {0.25, 0.5}},
        {6, {}, {20, 40}, {0.5, 0.25}, {0.5, 0.75}},
        {8, {}, {20, 40}, {0.5, 0.75}, {0.5, 0.25}},
        // The bound holds for the upright picture.
        {6, {10, 20}, {10, 20}, {0.5, 0.25}, {0.5, 0.75}},
    };
    // clang-format on
    for (const auto &c : cases) {
        const QString file =
            write(QStringLiteral("turned.jpg"), withOrientation(plain, c.orientation));
        const DecodedPicture decoded = DecodePicture(file, c.maxSize);
        ASSERT_EQ(decoded.failure, PictureFailure::None) << "orientation " << c.orientation;
        const QImage &image = decoded.image;
        ASSERT_EQ(image.size(), c.size) << "orientation " << c.orientation;
        const auto at = [&](QPointF f) {
            return image.pixel(int(f.x() * image.width()), int(f.y() * image.height()));
        };
        EXPECT_TRUE(qRed(at(c.red)) > 200 && qBlue(at(c.red)) < 60 && qBlue(at(c.blue)) > 200)
            << "orientation " << c.orientation;
    }
}

TEST_F(PictureDecodeTest, JpegReadStraightMatchesQtsReader)
{
    // Four colours and a ramp, so every turn and mirror shows.
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, qRgb(x < 32 ? 230 : 20, y < 24 ? 210 : 30, x * 4));
    for (const bool grey : {false, true}) {
        const QByteArray plain =
            encode(grey ? picture.convertToFormat(QImage::Format_Grayscale8) : picture, "jpeg");
        for (int orientation = 1; orientation <= 8; ++orientation) {
            QFile file(write(QStringLiteral("straight.jpg"), withOrientation(plain, orientation)));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const JpegShape shape = InspectJpeg(file);
            ASSERT_TRUE(ReadableJpeg(shape));
            ASSERT_EQ(shape.orientation, orientation);
            for (const int eighths : {1, 2, 4, 8}) {
                SCOPED_TRACE(testing::Message() << "grey " << grey << ", orientation "
                                                << orientation << ", " << eighths << "/8");
                const QImage ours = OrientedPicture(ReadJpeg(file, eighths), shape.orientation);
                QImageReader reader(file.fileName());
                reader.setAutoTransform(true);
                reader.setScaledSize(QSize(64, 48) * eighths / 8);
                const QImage theirs = reader.read().convertToFormat(QImage::Format_RGB32);
                ASSERT_EQ(ours.size(), theirs.size());
                int worst = 0;
                for (int y = 0; y < ours.height(); ++y)
                    for (int x = 0; x < ours.width(); ++x) {
                        const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
                        worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                          std::abs(qGreen(a) - qGreen(b)),
                                          std::abs(qBlue(a) - qBlue(b))});
                    }
                EXPECT_LE(worst, 2);
            }
        }
    }
}

TEST_F(PictureDecodeTest, DecodesEachFormatWithinTheBound)
{
    const QImage big = twoColours({1200, 800});
    // clang-format off
    const struct { QSize maxSize; QSize expected; } bounds[] = {
        {{300, 300}, {300, 200}},
        {{1920, 1080}, {1200, 800}}, // never enlarged
        {{90, 600}, {90, 60}},
    };
    // clang-format on
    for (const char *format : {"jpeg", "png", "webp", "tiff", "bmp"}) {
        const QString file =
            write(QStringLiteral("big.") + QLatin1String(format), encode(big, format));
        for (const auto &b : bounds) {
            const DecodedPicture decoded = DecodePicture(file, b.maxSize);
            SCOPED_TRACE(format);
            ASSERT_EQ(decoded.failure, PictureFailure::None);
            EXPECT_EQ(decoded.image.size(), b.expected) << "within " << b.maxSize.width();
            EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
            EXPECT_GT(qRed(decoded.image.pixel(2, 2)), 200);
        }
    }
}

TEST_F(PictureDecodeTest, AnimatedGifGivesItsFirstFrame)
{
    // 1 x 1, two colours (red, blue), two frames: red, then blue.
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00"
                         "\xFF\x00\x00\x00\x00\xFF"
                         "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00"
                         "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x4C\x01\x00"
                         "\x3B",
                         50);
    const DecodedPicture decoded = DecodePicture(write(QStringLiteral("two.gif"), gif), {});
    ASSERT_EQ(decoded.failure, PictureFailure::None);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(PictureDecodeTest, HostileFilesFailCleanlyAndFast)
{
    const QByteArray jpeg = encode(twoColours({64, 48}), "jpeg");
    const QByteArray png = encode(twoColours({64, 48}), "png");
    QDir().mkpath(path("folder.jpg"));
    ::mkfifo(QFile::encodeName(path("pipe.jpg")).constData(), 0600);
    QFile sparse(write("huge.jpg", jpeg));
    sparse.resize(kMaxPictureFileBytes + 1);
    // clang-format off
    const struct { const char *name; QString path; PictureFailure failure; } cases[] = {
        {"PNG claiming 100000 x 100000", write("claim.png", pngClaiming(100000, 100000)), PictureFailure::TooLarge},
        {"JPEG claiming 65500 x 65500", write("claim.jpg", jpegClaiming(65500, 65500)), PictureFailure::TooLarge},
        // 100 megapixels are allowed, but not the 300 MB of coefficients
        // that decoding this one needs.
        {"progressive JPEG claiming 10000 x 10000",
         write("progressive.jpg", jpegClaiming(10000, 10000, true)), PictureFailure::TooLarge},
        {"truncated JPEG", write("cut.jpg", jpeg.left(jpeg.size() / 2)), PictureFailure::Unreadable},
        {"JPEG without its end", write("end.jpg", jpeg.chopped(2)), PictureFailure::Unreadable},
        {"JPEG with a damaged code table", write("table.jpg", badTable(jpeg)), PictureFailure::Unreadable},
        {"truncated PNG", write("cut.png", png.left(png.size() / 2)), PictureFailure::Unreadable},
        {"zero bytes", write("empty.png", {}), PictureFailure::Unreadable},
        {"text", write("note.jpg", "not a picture\n"), PictureFailure::Unreadable},
        {"folder", path("folder.jpg"), PictureFailure::NotAFile},
        {"pipe", path("pipe.jpg"), PictureFailure::NotAFile},
        {"device", "/dev/zero", PictureFailure::NotAFile},
        {"gone", path("gone.jpg"), PictureFailure::Missing},
        {"over the file size bound", sparse.fileName(), PictureFailure::TooLarge},
    };
    // clang-format on
    for (const auto &c : cases) {
        QElapsedTimer timer;
        timer.start();
        const DecodedPicture decoded = DecodePicture(c.path, {1920, 1080});
        EXPECT_EQ(decoded.failure, c.failure) << c.name;
        EXPECT_TRUE(decoded.image.isNull() && timer.elapsed() < 2000) << c.name;
    }
}

TEST(PictureDecodeSizeTest, FitsWithinTheBoundOrCoversTheBoxWithTheLeastPicture)
{
    // clang-format off
    const struct { bool cover; QSize picture, box, expected; } cases[] = {
        {false, {4000, 6000}, {1920, 1080}, {720, 1080}}, {false, {6000, 4000}, {400, 300}, {400, 267}},
        {false, {100, 50}, {1920, 1080}, {100, 50}},      {false, {6000, 4000}, {}, {6000, 4000}},
        {false, {10000, 1}, {100, 100}, {100, 1}},
        {true, {6000, 4000}, {300, 400}, {600, 400}},     {true, {400, 300}, {100, 50}, {100, 75}},
        {true, {400, 300}, {800, 10}, {400, 300}}, // never enlarged
        {true, {400, 300}, {}, {400, 300}},               {true, {10000, 1}, {3, 3}, {10000, 1}},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(c.cover ? CoverSize(c.picture, c.box) : DecodeSize(c.picture, c.box), c.expected)
            << c.picture.width() << "x" << c.picture.height() << (c.cover ? " over " : " in ")
            << c.box.width() << "x" << c.box.height();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.png"));
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    ASSERT_TRUE(picture.save(path));
    // Within the bound and covering the box: the smaller of the two wins.
    EXPECT_EQ(DecodePicture(path, QSize(300, 300), QSize(120, 40)).image.size(), QSize(120, 80));
    EXPECT_EQ(DecodePicture(path, QSize(150, 150), QSize(500, 300)).image.size(), QSize(150, 100));
}

TEST(PictureNameFiltersTest, TheChoosersCaptionsAsGiven)
{
    EXPECT_EQ(PictureNameFilters(),
              (QStringList{
                  QStringLiteral("All pictures (*.bmp;*.wmf;*.jpg;*.gif;*.png)"),
                  QStringLiteral("Bitmap Image File picture (*.bmp)"),
                  QStringLiteral("Graphics Interchange Format picture (*.gif)"),
                  QStringLiteral("Joint Photographic Experts Group picture (*.jpg)"),
                  QStringLiteral("Portable Network Graphic picture (*.png)"),
                  QStringLiteral("Windows Meta File picture (*.wmf)"),
                  QStringLiteral("All files (*.*)"),
              }));
    // A caption without its list gets the patterns; odd parts and a filter of
    // absurd length give nothing to offer.
    EXPECT_EQ(qtNameFilters(QStringLiteral("Text|*.txt;*.log|dangling")),
              QStringList{QStringLiteral("Text (*.txt;*.log)")});
    EXPECT_EQ(qtNameFilters(QStringLiteral("Only a caption|")), QStringList{});
    EXPECT_TRUE(qtNameFilters(QString(5000, QLatin1Char('|'))).isEmpty());
}

} // namespace
} // namespace tavlo
