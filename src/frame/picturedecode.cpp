// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/picturedecode.h"

#include "frame/commondialog.h"
#include "frame/modresize.h"
#include "platform/regularfile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLoggingCategory>
#include <QScreen>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tavlo {
namespace {

Q_LOGGING_CATEGORY(lcPictures, "tavlo.pictures", QtCriticalMsg)

// Reads a device block by block, for walking a file's structure without
// holding the file in memory.
class ByteScanner final
{
public:
    explicit ByteScanner(QIODevice &device) : m_device(device), m_block(64 * 1024) {}

    bool next(uchar &byte)
    {
        if (m_pos == m_end && !refill())
            return false;
        byte = m_block[size_t(m_pos++)];
        return true;
    }

    bool skip(qint64 count)
    {
        const qint64 buffered = m_end - m_pos;
        if (count <= buffered) {
            m_pos += count;
            return true;
        }
        m_pos = m_end;
        return m_device.skip(count - buffered) == count - buffered;
    }

    // Moves past the next 0xFF byte; false at the end of the device.
    bool skipPastFF()
    {
        for (;;) {
            const void *hit = std::memchr(m_block.data() + m_pos, 0xFF, size_t(m_end - m_pos));
            if (hit) {
                m_pos = static_cast<const uchar *>(hit) - m_block.data() + 1;
                return true;
            }
            if (!refill())
                return false;
        }
    }

private:
    bool refill()
    {
        const qint64 got =
            m_device.read(reinterpret_cast<char *>(m_block.data()), qint64(m_block.size()));
        m_pos = 0;
        m_end = std::max<qint64>(got, 0);
        return m_end > 0;
    }

    QIODevice &m_device;
    std::vector<uchar> m_block;
    qint64 m_pos = 0;
    qint64 m_end = 0;
};

// What a JPEG's markers tell before it is decoded.
struct JpegShape
{
    bool complete = false;      // runs to its end-of-image marker
    qint64 wholeImageBytes = 0; // coefficients the decoder keeps for the whole image
};

bool isFrameMarker(uchar marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Bytes of DCT coefficients for every block of the frame in segment (the
// frame header after its length), as the decoder holds them when it needs
// the whole image at once: 64 coefficients of 2 bytes a block.
qint64 coefficientBytes(const QByteArray &segment)
{
    if (segment.size() < 6)
        return 0;
    const auto *d = reinterpret_cast<const uchar *>(segment.constData());
    const qint64 height = d[1] << 8 | d[2], width = d[3] << 8 | d[4];
    const int components = d[5];
    if (segment.size() < 6 + 3 * components)
        return 0;
    int maxH = 1, maxV = 1;
    for (int c = 0; c < components; ++c) {
        maxH = std::max(maxH, d[7 + 3 * c] >> 4);
        maxV = std::max(maxV, d[7 + 3 * c] & 15);
    }
    // Whole MCUs are kept, so each component is rounded up to them.
    const qint64 mcusAcross = (width + 8 * maxH - 1) / (8 * maxH);
    const qint64 mcusDown = (height + 8 * maxV - 1) / (8 * maxV);
    qint64 bytes = 0;
    for (int c = 0; c < components; ++c)
        bytes += mcusAcross * (d[7 + 3 * c] >> 4) * mcusDown * (d[7 + 3 * c] & 15) * 128;
    return bytes;
}

// Walks a JPEG's markers. The JPEG decoder pads a truncated file with grey
// and calls it a success, so the end marker is looked for here; segments with
// a length are stepped over, so an embedded thumbnail's end is not taken for
// the picture's. A progressive file, or one of several scans, is decoded
// from coefficients held for the whole image, however small the result.
JpegShape inspectJpeg(QIODevice &device)
{
    JpegShape shape;
    if (!device.seek(0))
        return shape;
    ByteScanner scan(device);
    uchar a = 0, b = 0;
    if (!scan.next(a) || !scan.next(b) || a != 0xFF || b != 0xD8)
        return shape;
    qint64 frameBytes = 0;
    bool progressive = false;
    int scans = 0;
    for (;;) {
        uchar marker = 0xFF;
        if (!scan.skipPastFF())
            return shape;
        while (marker == 0xFF)
            if (!scan.next(marker))
                return shape;
        if (marker == 0xD9)
            break;
        // Stuffed zero, restart markers and TEM stand alone inside the data.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        uchar high = 0, low = 0;
        if (!scan.next(high) || !scan.next(low))
            return shape;
        const int length = high << 8 | low;
        if (length < 2)
            return shape;
        if (isFrameMarker(marker)) {
            QByteArray segment(length - 2, Qt::Uninitialized);
            for (char &byte : segment)
                if (!scan.next(reinterpret_cast<uchar &>(byte)))
                    return shape;
            frameBytes = std::max(frameBytes, coefficientBytes(segment));
            progressive = progressive || (marker & 3) == 2;
            continue;
        }
        scans += marker == 0xDA;
        if (!scan.skip(length - 2))
            return shape;
    }
    shape.complete = true;
    shape.wholeImageBytes = progressive || scans > 1 ? frameBytes : 0;
    return shape;
}

// True when the PNG's chunks run whole up to its end chunk. The PNG reader
// reports a truncated file through libpng's own error printer, which no
// logging rule reaches, so such a file is refused before the reader sees it.
bool pngComplete(QFile &file)
{
    const qint64 size = file.size();
    qint64 at = 8;
    for (;;) {
        uchar header[8];
        if (at + 12 > size || !file.seek(at) || file.read(reinterpret_cast<char *>(header), 8) != 8)
            return false;
        at += 12 + qint64(qFromBigEndian<quint32>(header));
        if (at > size)
            return false;
        if (std::memcmp(header + 4, "IEND", 4) == 0)
            return true;
    }
}

DecodedPicture failed(PictureFailure failure, const QString &path, const char *why)
{
    qCDebug(lcPictures) << "picture not read:" << path << why;
    return {QImage(), failure, QSize()};
}

} // namespace

QSize DecodeSize(QSize pictureSize, QSize maxSize)
{
    if (pictureSize.isEmpty() || maxSize.isEmpty())
        return pictureSize;
    if (pictureSize.width() <= maxSize.width() && pictureSize.height() <= maxSize.height())
        return pictureSize;
    const double scale = std::min(double(maxSize.width()) / pictureSize.width(),
                                  double(maxSize.height()) / pictureSize.height());
    const int width = std::clamp(int(std::lround(pictureSize.width() * scale)), 1, maxSize.width());
    const int height =
        std::clamp(int(std::lround(pictureSize.height() * scale)), 1, maxSize.height());
    return {width, height};
}

QSize CoverSize(QSize pictureSize, QSize box)
{
    if (pictureSize.isEmpty() || box.isEmpty())
        return pictureSize;
    const double scale = std::max(double(box.width()) / pictureSize.width(),
                                  double(box.height()) / pictureSize.height());
    if (scale >= 1)
        return pictureSize;
    return {
        std::clamp(int(std::ceil(pictureSize.width() * scale - 1e-9)), 1, pictureSize.width()),
        std::clamp(int(std::ceil(pictureSize.height() * scale - 1e-9)), 1, pictureSize.height())};
}

QSize PictureTargetSize(QSize pictureSize, QSize maxSize, QSize cover)
{
    // Both keep the aspect, so the narrower of the two is the smaller.
    const QSize within = DecodeSize(pictureSize, maxSize);
    const QSize covering = CoverSize(pictureSize, cover);
    return covering.width() < within.width() ? covering : within;
}

DecodedPicture DecodePicture(const QString &path, QSize maxSize, QSize cover)
{
    const RegularFile opened = OpenRegularFile(path, kMaxPictureFileBytes);
    switch (opened.error) {
    case RegularFileError::None:
        break;
    case RegularFileError::Missing:
        return failed(PictureFailure::Missing, path, "missing");
    case RegularFileError::NotRegular:
        return failed(PictureFailure::NotAFile, path, "not a regular file");
    case RegularFileError::TooLarge:
        return failed(PictureFailure::TooLarge, path, "file too large");
    case RegularFileError::Unreadable:
        return failed(PictureFailure::Unreadable, path, "cannot open");
    }
    QFile &file = *opened.file;
    if (file.size() == 0)
        return failed(PictureFailure::Unreadable, path, "empty");

    // The JPEG and BMP readers fill in what a truncated file lacks and report
    // success, so their ends are checked here, before the reader takes the
    // file (it reads on from where it left it).
    uchar head[6] = {};
    const bool headed = file.peek(reinterpret_cast<char *>(head), 6) == 6;
    const bool jpeg = headed && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
    if (jpeg) {
        const JpegShape shape = inspectJpeg(file);
        if (!shape.complete || !file.seek(0))
            return failed(PictureFailure::Unreadable, path, "truncated JPEG");
        if (shape.wholeImageBytes > qint64(kPictureAllocationLimitMiB) << 20)
            return failed(PictureFailure::TooLarge, path, "JPEG needs too much memory");
    }
    const bool png = headed && std::memcmp(head, "\x89PNG\r\n", 6) == 0;
    if (png && (!pngComplete(file) || !file.seek(0)))
        return failed(PictureFailure::Unreadable, path, "truncated PNG");
    const qint64 bmpSize = qFromLittleEndian<quint32>(head + 2);
    if (headed && head[0] == 'B' && head[1] == 'M' && bmpSize > file.size())
        return failed(PictureFailure::Unreadable, path, "truncated BMP");

    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kPictureAllocationLimitMiB);
    reader.setAutoTransform(true);
    // The size is read from the header, before anything big is allocated.
    const QSize stored = reader.size();
    if (stored.isValid() && qint64(stored.width()) * stored.height() > kMaxPicturePixels)
        return failed(PictureFailure::TooLarge, path, "too many pixels");
    if (stored.isValid() && stored.isEmpty())
        return failed(PictureFailure::Unreadable, path, "no pixels");

    // The orientation tag turns the stored picture; the bound is for the upright one.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    QSize target; // upright, within maxSize
    QSize upright;
    if (stored.isValid()) {
        upright = turned ? stored.transposed() : stored;
        target = PictureTargetSize(upright, maxSize, cover);
        // JPEG decodes quickest at an eighth, a quarter or a half of its size;
        // from there our filter scales the rest, quicker and sharper than the
        // reader's own 3/8 and the like followed by its box filter.
        QSize asked = target;
        if (jpeg && target != upright) {
            for (const int eighths : {1, 2, 4}) {
                const QSize dct((upright.width() * eighths + 7) / 8,
                                (upright.height() * eighths + 7) / 8);
                if (dct.width() >= target.width() && dct.height() >= target.height()) {
                    asked = dct;
                    break;
                }
            }
        }
        if (asked != upright)
            reader.setScaledSize(turned ? asked.transposed() : asked);
    }

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return failed(PictureFailure::Unreadable, path, "decoding failed");
    // A reader that could not tell its size beforehand decoded it whole.
    if (!target.isValid()) {
        upright = image.size();
        target = PictureTargetSize(upright, maxSize, cover);
    }
    if (target != image.size())
        image = ScalePicture(image, target);
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != wanted)
        image = image.convertToFormat(wanted);
    if (image.isNull())
        return failed(PictureFailure::Unreadable, path, "conversion failed");
    return {image, PictureFailure::None, upright};
}

QSize LargestScreenSize()
{
    QSize largest;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QSize size = screen->size() * screen->devicePixelRatio();
        largest = largest.expandedTo(size);
    }
    return largest.isEmpty() ? QSize(1920, 1080) : largest;
}

QString PictureFilter()
{
    return QStringLiteral(
        "All pictures (*.bmp;*.wmf;*.jpg;*.gif;*.png)|*.bmp;*.wmf;*.jpg;*.gif;*.png|"
        "Bitmap Image File picture (*.bmp)|*.bmp|"
        "Graphics Interchange Format picture (*.gif)|*.gif|"
        "Joint Photographic Experts Group picture (*.jpg)|*.jpg|"
        "Portable Network Graphic picture (*.png)|*.png|"
        "Windows Meta File picture (*.wmf)|*.wmf|"
        "All files (*.*)|*.*");
}

QStringList PictureNameFilters()
{
    return qtNameFilters(PictureFilter());
}

} // namespace tavlo
