// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QStringList>

namespace tavlo {

// Picture files larger than this are refused unread.
inline constexpr qint64 kMaxPictureFileBytes = qint64(256) << 20;
// Pictures claiming more pixels than this are refused before decoding.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;
// Most memory one decoder may take for a picture, in MiB: a 64-megapixel
// picture decoded whole, or a progressive JPEG's coefficients.
inline constexpr int kPictureAllocationLimitMiB = 256;

enum class PictureFailure {
    None,
    Missing,    // no file of that name
    NotAFile,   // a folder, pipe, socket or device
    TooLarge,   // the file or the pixels it claims are beyond the bounds
    Unreadable, // no reader for it, or it is damaged or truncated
};

struct DecodedPicture
{
    QImage image; // RGB32, or ARGB32_Premultiplied with alpha; null on failure
    PictureFailure failure = PictureFailure::None;
    QSize source; // the whole picture, upright; invalid on failure
};

// The size a pictureSize picture is decoded at to fit within maxSize: aspect
// kept, never enlarged, at least 1 x 1. pictureSize itself when maxSize is empty.
QSize DecodeSize(QSize pictureSize, QSize maxSize);

// The smallest size of a pictureSize picture, aspect kept, that covers box;
// pictureSize itself when that would enlarge it or either size is empty.
QSize CoverSize(QSize pictureSize, QSize box);

// The size an upright picture of pictureSize is decoded at: within maxSize
// and, given a cover box, no larger than it takes to cover that box.
QSize PictureTargetSize(QSize pictureSize, QSize maxSize, QSize cover);

// Reads the picture file at path: its first frame, turned upright as its
// orientation tag says, decoded at no more than maxSize (an empty maxSize
// leaves the size alone) and, given a cover box, no larger than it takes to
// cover that box. Safe to call on any thread.
DecodedPicture DecodePicture(const QString &path, QSize maxSize, QSize cover = QSize());

// Qt's picture readers are plugins, and loading a plugin while the
// application object is being made is not safe. While the readers are held,
// DecodePicture reads grey and colour JPEG itself and waits with any other
// picture until they are released. Holds count.
void HoldPictureReaders();
void ReleasePictureReaders();

// Size in device pixels that holds every screen: the widest width and the
// tallest height. A picture never needs more detail than this.
QSize LargestScreenSize();

// The file chooser's filter for a picture, "caption|patterns" pairs: all
// pictures first, the kinds one by one, then all files.
QString PictureFilter();
// The same as the name filters of Qt's file dialogs.
QStringList PictureNameFilters();

} // namespace tavlo
