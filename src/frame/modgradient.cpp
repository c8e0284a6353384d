// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modgradient.h"

#include "frame/cmlib_pictures.h"

namespace tavlo {

void PaintGradient(QImage &picture, float angle, OleColor colour1, OleColor colour2)
{
    cmlib_PICTURES painter;
    painter.setAngle(angle);
    painter.setColor1(colour1);
    painter.setColor2(colour2);
    painter.Draw(picture);
}

} // namespace tavlo
