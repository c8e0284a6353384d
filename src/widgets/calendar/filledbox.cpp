// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calendar/filledbox.h"

#include <QPaintEvent>
#include <QPainter>

namespace tavlo {

FilledBox::FilledBox(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FilledBox::setBackColor(OleColor colour)
{
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    update();
}

void FilledBox::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

void FilledBox::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), toQColor(m_backColor));
}

} // namespace tavlo
