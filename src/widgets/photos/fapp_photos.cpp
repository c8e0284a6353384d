// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/photos/fapp_photos.h"

#include <QTimer>
#include <cmath>

namespace tavlo {

fapp_PHOTOS::fapp_PHOTOS(QWidget *parent) : ResizableFrame(QStringLiteral("fapp_PHOTOS"), parent)
{
    // The photo lies above the strips, which show only in the margin, and
    // above the grip: at high dpi the grip is wider than the margin, and the
    // photo keeps its corner.
    lablCORNER->raise();
    objMAINPART->raise();
    // The separator runs where the photo lies: only its ends would show, as
    // stubs in the margin, so it stays beneath the strips.
    lnesep->stackUnder(picTIME);
    setAccessibleKind(tr("photo frame"));
    // The half-second timer of the family; the photo has nothing to do on it.
    tmrTimer1 = new QTimer(this);
    tmrTimer1->setObjectName(QStringLiteral("tmrTimer1"));
    tmrTimer1->setInterval(500);
    tmrTimer1->start();
}

void fapp_PHOTOS::layoutKind()
{
    picTIME->setHeight(int(std::lround(formHeight() / 100.0 * 30.0)));
}

} // namespace tavlo
