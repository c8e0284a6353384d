// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

namespace tavlo {

// Largest picture the scaler makes, per side and in pixels.
inline constexpr int kMaxScaledSide = 32767;
inline constexpr qint64 kMaxScaledPixels = qint64(1) << 26;

// Where a pictureSize picture lies in a box when it keeps its aspect: as large
// as fits, centred; sizes and offsets round halves to even. Empty when either
// size is empty.
QRect FitPictureRect(QSize pictureSize, QSize box);

// picture scaled to size by a separable cubic filter that widens to average the
// source area when shrinking; the result is RGB32, or ARGB32_Premultiplied when
// picture has alpha. Null when picture is null or size is empty or too large.
QImage ScalePicture(const QImage &picture, QSize size);

// A new width x height picture showing picture: stretched over all of it, or
// (keepAspect) fitted and centred. backColour shows wherever the picture is
// transparent or does not reach. Null when there is no picture or the size is
// empty or too large.
QImage ResizePicture(const QImage &picture, int width, int height, const QColor &backColour,
                     bool keepAspect);

// Keeps the scaler to its 16-byte vector code where it would use wider
// vectors, so that tests can compare the two.
void setScalerWideVectorsForTesting(bool allowed);

} // namespace tavlo
