// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/picturedecode.h"

#include "frame/commondialog.h"
#include "frame/jpegeighth.h"
#include "frame/jpegreader.h"
#include "frame/modresize.h"
#include "platform/regularfile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLoggingCategory>
#include <QScreen>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>

namespace tavlo {
namespace {

Q_LOGGING_CATEGORY(lcPictures, "tavlo.pictures", QtCriticalMsg)

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

std::mutex readersMutex;
std::condition_variable readersReleased;
int readersHeld = 0;

// The application object is made within moments of the hold; a reader still
// held after this is refused rather than waited for.
constexpr auto kLongestReadersWait = std::chrono::seconds(10);

bool waitForPictureReaders()
{
    std::unique_lock lock(readersMutex);
    return readersReleased.wait_for(lock, kLongestReadersWait, [] { return readersHeld == 0; });
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
    JpegShape shape;
    if (jpeg) {
        shape = InspectJpeg(file);
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

    std::optional<QImageReader> reader;
    QSize stored; // as in the file
    bool turned = false;
    if (jpeg && ReadableJpeg(shape)) {
        stored = shape.size;
        turned = shape.orientation >= 5;
    } else {
        if (!waitForPictureReaders())
            return failed(PictureFailure::Unreadable, path, "picture readers not ready");
        reader.emplace(&file);
        reader->setDecideFormatFromContent(true);
        reader->setAllocationLimit(kPictureAllocationLimitMiB);
        reader->setAutoTransform(true);
        // The size is read from the header, before anything big is allocated.
        stored = reader->size();
        // The orientation tag turns the stored picture; the bound is for the upright one.
        turned = reader->transformation().testFlag(QImageIOHandler::TransformationRotate90);
    }
    if (stored.isValid() && qint64(stored.width()) * stored.height() > kMaxPicturePixels)
        return failed(PictureFailure::TooLarge, path, "too many pixels");
    if (stored.isValid() && stored.isEmpty())
        return failed(PictureFailure::Unreadable, path, "no pixels");

    QSize target; // upright, within maxSize
    QSize upright;
    // JPEG decodes quickest at an eighth, a quarter or a half of its size;
    // from there our filter scales the rest, quicker and sharper than the
    // reader's own 3/8 and the like followed by its box filter.
    int eighths = 8;
    QSize asked; // upright
    if (stored.isValid()) {
        upright = turned ? stored.transposed() : stored;
        target = PictureTargetSize(upright, maxSize, cover);
        asked = target;
        for (const int tried : {1, 2, 4}) {
            const QSize dct((upright.width() * tried + 7) / 8, (upright.height() * tried + 7) / 8);
            if (jpeg && target != upright && dct.width() >= target.width() &&
                dct.height() >= target.height()) {
                eighths = tried;
                asked = dct;
                break;
            }
        }
    }

    QImage image;
    if (!reader) {
        // At an eighth, the common case of a photo in a frame, our own reader
        // is the quicker; it hands anything unusual back to libjpeg.
        QImage stored;
        if (eighths == 1)
            stored = ReadJpegEighth(file);
        if (stored.isNull())
            stored = ReadJpeg(file, eighths);
        image = OrientedPicture(std::move(stored), shape.orientation);
    } else {
        if (asked.isValid() && asked != upright)
            reader->setScaledSize(turned ? asked.transposed() : asked);
        if (!reader->read(&image))
            image = QImage();
    }
    if (image.isNull())
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

void HoldPictureReaders()
{
    const std::lock_guard lock(readersMutex);
    ++readersHeld;
}

void ReleasePictureReaders()
{
    {
        const std::lock_guard lock(readersMutex);
        readersHeld = std::max(readersHeld - 1, 0);
    }
    readersReleased.notify_all();
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
