// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/controls.h"

namespace tavlo {

// A rectangle of one colour placed in twips, like an opaque label without a
// caption: the calendar's bands and today's marker.
class FilledBox final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    FilledBox(const QString &name, QWidget *parent);

    OleColor BackColor() const { return m_backColor; }
    // Repaints only when the colour changes.
    void setBackColor(OleColor colour);

    // Pushes geometry and visibility into the widget.
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OleColor m_backColor = 0;
};

} // namespace tavlo
