// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

class QIODevice;

namespace tavlo {

// What a JPEG's markers tell before it is decoded.
struct JpegShape
{
    bool complete = false;      // runs to its end-of-image marker
    qint64 wholeImageBytes = 0; // coefficients the decoder keeps for the whole image
    QSize size;                 // as stored, before the orientation tag turns it
    int components = 0;         // 1 grey, 3 colour, 4 CMYK
    int orientation = 1;        // the EXIF tag, 1 to 8
};

// Walks the JPEG on device from its start, stepping over the data.
JpegShape InspectJpeg(QIODevice &device);

// True when ReadJpeg takes a picture of this shape: grey or colour, with a
// size in its frame header.
bool ReadableJpeg(const JpegShape &shape);

// Decodes the JPEG on device from its start at eighths/8 of its size (1, 2,
// 4 or 8) as RGB32, as stored; null when it is damaged. Streams the file
// and loads no plugin, so it runs before the application object exists.
QImage ReadJpeg(QIODevice &device, int eighths);

// The picture turned as an EXIF orientation tag (1 to 8) says.
QImage OrientedPicture(QImage picture, int orientation);

} // namespace tavlo
