// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/jpegreader.h"

#include "frame/picturedecode.h"

#include <QIODevice>
#include <QTransform>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace tavlo {
namespace {

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

// The orientation tag of an APP1 segment (after its length) holding EXIF
// data; 0 when there is none or it is out of range.
int exifOrientation(const QByteArray &segment)
{
    const auto *d = reinterpret_cast<const uchar *>(segment.constData());
    const qsizetype size = segment.size();
    if (size < 14 || std::memcmp(d, "Exif\0\0", 6) != 0)
        return 0;
    const uchar *tiff = d + 6;
    const qsizetype tiffSize = size - 6;
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!big && !(tiff[0] == 'I' && tiff[1] == 'I'))
        return 0;
    const auto u16 = [&](qsizetype at) -> int {
        return big ? qFromBigEndian<quint16>(tiff + at) : qFromLittleEndian<quint16>(tiff + at);
    };
    const auto u32 = [&](qsizetype at) -> qint64 {
        return big ? qFromBigEndian<quint32>(tiff + at) : qFromLittleEndian<quint32>(tiff + at);
    };
    const qint64 ifd = u32(4);
    if (ifd < 8 || ifd + 2 > tiffSize)
        return 0;
    const int entries = u16(ifd);
    for (int i = 0; i < entries; ++i) {
        const qint64 at = ifd + 2 + 12 * qint64(i);
        if (at + 12 > tiffSize)
            return 0;
        // A SHORT, held in the entry itself.
        if (u16(at) == 0x0112 && u16(at + 2) == 3) {
            const int value = u16(at + 8);
            return value >= 1 && value <= 8 ? value : 0;
        }
    }
    return 0;
}

} // namespace

// Walks a JPEG's markers. The JPEG decoder pads a truncated file with grey
// and calls it a success, so the end marker is looked for here; segments with
// a length are stepped over, so an embedded thumbnail's end is not taken for
// the picture's. A progressive file, or one of several scans, is decoded
// from coefficients held for the whole image, however small the result.
JpegShape InspectJpeg(QIODevice &device)
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
    bool orientationRead = false;
    QByteArray segment;
    const auto readSegment = [&scan](int length, QByteArray &into) {
        into.resize(length - 2);
        for (char &byte : into)
            if (!scan.next(reinterpret_cast<uchar &>(byte)))
                return false;
        return true;
    };
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
            if (!readSegment(length, segment))
                return shape;
            frameBytes = std::max(frameBytes, coefficientBytes(segment));
            if (!shape.size.isValid() && segment.size() >= 6) {
                const auto *d = reinterpret_cast<const uchar *>(segment.constData());
                shape.size = QSize(d[3] << 8 | d[4], d[1] << 8 | d[2]);
                shape.components = d[5];
            }
            progressive = progressive || (marker & 3) == 2;
            continue;
        }
        if (marker == 0xE1 && !orientationRead) {
            if (!readSegment(length, segment))
                return shape;
            if (const int tag = exifOrientation(segment)) {
                shape.orientation = tag;
                orientationRead = true;
            }
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

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not
// return; it jumps back to the setjmp of the step that was running. Those
// steps hold nothing that needs destroying.
struct JpegErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void leaveOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors *>(info->err)->jump, 1);
}

// Warnings (damaged data the decoder fills in) are not printed.
void stayQuiet(j_common_ptr) {}

// Feeds the decoder from a device in blocks, so a big file is never held whole.
struct DeviceSource
{
    jpeg_source_mgr manager;
    QIODevice *device;
    std::array<JOCTET, 64 * 1024> block;
};

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

boolean fillSource(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    qint64 got = source->device->read(reinterpret_cast<char *>(source->block.data()),
                                      qint64(source->block.size()));
    if (got <= 0) {
        // A file cut short while being read ends here, as libjpeg's own sources do.
        source->block[0] = 0xFF;
        source->block[1] = JPEG_EOI;
        got = 2;
    }
    source->manager.next_input_byte = source->block.data();
    source->manager.bytes_in_buffer = size_t(got);
    return TRUE;
}

void skipSource(j_decompress_ptr info, long count)
{
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    while (count > long(source->manager.bytes_in_buffer)) {
        count -= long(source->manager.bytes_in_buffer);
        fillSource(info);
    }
    if (count > 0) {
        source->manager.next_input_byte += count;
        source->manager.bytes_in_buffer -= size_t(count);
    }
}

struct JpegDecoder
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    DeviceSource source;
};

// Reads the header and sets the decoder to give BGRX at eighths/8.
bool startDecoding(JpegDecoder &d, QIODevice &device, int eighths)
{
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = leaveOnError;
    d.errors.manager.output_message = stayQuiet;
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = size_t(kPictureAllocationLimitMiB) << 20;
    d.source.device = &device;
    d.source.manager = {nullptr, 0, startSource, fillSource, skipSource, jpeg_resync_to_restart,
                        endSource};
    d.info.src = &d.source.manager;
    jpeg_read_header(&d.info, TRUE);
    d.info.scale_num = unsigned(eighths);
    d.info.scale_denom = 8;
    d.info.out_color_space = JCS_EXT_BGRX;
    // What Qt's own reader does at its default quality.
    d.info.dct_method = JDCT_ISLOW;
    d.info.do_fancy_upsampling = TRUE;
    jpeg_calc_output_dimensions(&d.info);
    return true;
}

bool readLines(JpegDecoder &d, uchar *bits, qsizetype bytesPerLine)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_start_decompress(&d.info);
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = bits + qsizetype(d.info.output_scanline) * bytesPerLine;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

} // namespace

bool ReadableJpeg(const JpegShape &shape)
{
    return shape.complete && !shape.size.isEmpty() &&
           (shape.components == 1 || shape.components == 3);
}

QImage ReadJpeg(QIODevice &device, int eighths)
{
    if (!device.seek(0))
        return {};
    // Zeroed, so destroying it is safe however far it got.
    auto d = std::make_unique<JpegDecoder>();
    QImage image;
    if (startDecoding(*d, device, eighths)) {
        image = QImage(int(d->info.output_width), int(d->info.output_height),
                       QImage::Format_RGB32);
        if (!image.isNull() && !readLines(*d, image.bits(), image.bytesPerLine()))
            image = QImage();
    }
    jpeg_destroy_decompress(&d->info);
    return image;
}

QImage OrientedPicture(QImage picture, int orientation)
{
    // 2, 4, 5 and 7 mirror; 5 to 8 turn a quarter; 3 is a half turn.
    switch (orientation) {
    case 2: return picture.mirrored(true, false);
    case 3: return picture.mirrored(true, true);
    case 4: return picture.mirrored(false, true);
    case 5: return picture.mirrored(false, true).transformed(QTransform().rotate(90));
    case 6: return picture.transformed(QTransform().rotate(90));
    case 7: return picture.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8: return picture.transformed(QTransform().rotate(270));
    default: return picture;
    }
}

} // namespace tavlo
