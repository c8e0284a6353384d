// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/ovline.h"

namespace tavlo {

OvLine::OvLine(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

} // namespace tavlo
