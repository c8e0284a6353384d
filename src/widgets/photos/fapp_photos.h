// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/resizableframe.h"

class QTimer;

namespace tavlo {

// The photo frame: one picture file stretched over the whole widget, the
// theme showing only as a frame in the margin around it.
class fapp_PHOTOS final : public ResizableFrame
{
    Q_OBJECT
public:
    explicit fapp_PHOTOS(QWidget *parent = nullptr);

    QTimer *partsTimer() const override { return tmrTimer1; }

protected:
    // The title strip takes 30 % of the height, the body the rest.
    void layoutKind() override;

private:
    QTimer *tmrTimer1 = nullptr;
};

} // namespace tavlo
