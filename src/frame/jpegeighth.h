// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

class QIODevice;

namespace tavlo {

// How ReadJpegEighth shares out its work; tests narrow it.
struct JpegEighthSplit
{
    int parts = 0;                    // threads; 0 is one a core, at most four
    int meetWindow = 8192;            // MCU starts a part offers the part before it
    qint64 smallestPartBytes = 256 << 10;
};

// Decodes a baseline JPEG of one scan at an eighth of its size, as stored,
// into RGB32: a block's average is its DC coefficient alone, so the AC
// coefficients are stepped over, and the entropy data is split among
// threads that meet where their decodings agree. Null when the file is not
// of that kind (progressive, arithmetic coded, restart intervals, 12-bit,
// unusual sampling, Adobe colour) or does not decode cleanly to its last
// block; ReadJpeg then reads it as libjpeg does.
QImage ReadJpegEighth(QIODevice &device, const JpegEighthSplit &split = {});

} // namespace tavlo
