// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"

class QImage;

namespace tavlo {

// Paints picture with a two-colour linear gradient at angle (degrees),
// colour1 on the first line drawn and colour2 on the last.
void PaintGradient(QImage &picture, float angle, OleColor colour1, OleColor colour2);

} // namespace tavlo
