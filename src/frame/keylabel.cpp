// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/keylabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace tavlo {

KeyLabel::KeyLabel(const QString &name, const QString &caption, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_font(font())
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void KeyLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_staticText = QStaticText();
    update();
}

void KeyLabel::setForeColor(OleColor colour)
{
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    update();
}

void KeyLabel::setBackColor(OleColor colour)
{
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    update();
}

void KeyLabel::setFontName(const QString &name)
{
    if (name == m_font.family())
        return;
    m_font.setFamily(name);
    update();
}

void KeyLabel::setFontSize(float points)
{
    if (!(points > 0) || points > 2048 || points == m_font.pointSizeF())
        return;
    m_font.setPointSizeF(points);
    update();
}

void KeyLabel::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != Shown())
        setVisible(Shown());
}

void KeyLabel::paintEvent(QPaintEvent *)
{
    if (m_staticFont != m_font || m_staticText.text() != m_caption) {
        m_staticText.setText(m_caption);
        m_staticText.setTextFormat(Qt::PlainText);
        m_staticText.prepare(QTransform(), m_font);
        m_staticFont = m_font;
    }
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    painter.setFont(m_font);
    painter.setPen(toQColor(m_foreColor));
    // Centred on the key in both directions, on whole pixels so it stays sharp.
    const QSizeF text = m_staticText.size();
    const int x = int(std::floor((width() - text.width()) / 2));
    const int y = int(std::floor((height() - text.height()) / 2));
    painter.drawStaticText(x, y, m_staticText);
}

void KeyLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    if (event->button() == Qt::RightButton)
        Q_EMIT menuRequested(event->globalPosition().toPoint());
    event->accept();
}

void KeyLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a quick double click is a press like the first:
    // typing 1 1 fast gives 11.
    mousePressEvent(event);
}

void KeyLabel::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void KeyLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (clicked)
        Q_EMIT Click();
}

} // namespace tavlo
