// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/labelbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace tavlo {
namespace {

// Design geometry in twips.
constexpr int kButtonWidth = 1700;
constexpr int kButtonHeight = 420;
constexpr int kButtonsAboveBottom = 1000;

} // namespace

LabelButton *makeButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new LabelButton(QLatin1String(name), caption, parent);
    button->setWidth(kButtonWidth);
    button->setHeight(kButtonHeight);
    button->setFontName(kButtonFont);
    button->setFontSize(kButtonPoints);
    return button;
}

void placeButtons(TwipsBox &start, TwipsBox &stop, int bodyWidth, int bodyHeight)
{
    start.setTop(bodyHeight - kButtonsAboveBottom);
    stop.setTop(start.Top());
    start.setLeft((bodyWidth - 2 * start.Width()) / 2 - 150);
    stop.setLeft((bodyWidth - start.Width()) / 2 + 1000);
}

LabelButton::LabelButton(const QString &name, const QString &caption, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_font(font())
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void LabelButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_staticText = QStaticText();
    update();
}

void LabelButton::setForeColor(OleColor colour)
{
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    update();
}

void LabelButton::setBackColor(OleColor colour)
{
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    update();
}

void LabelButton::setFontName(const QString &name)
{
    m_font.setFamily(name);
    update();
}

void LabelButton::setFontSize(float points)
{
    if (!(points > 0) || points > 2048)
        return;
    m_font.setPointSizeF(points);
    update();
}

void LabelButton::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

void LabelButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    if (m_staticText.text() != m_caption || m_staticFont != m_font) {
        m_staticText.setText(m_caption);
        m_staticText.setTextFormat(Qt::PlainText);
        m_staticText.prepare(QTransform(), m_font);
        m_staticFont = m_font;
    }
    // Centred on the ink's box, not the line's, so that the caption sits in
    // the middle whatever the font's ascent and descent.
    const QSizeF size = m_staticText.size();
    painter.setFont(m_font);
    painter.setPen(toQColor(m_foreColor));
    painter.drawStaticText(QPointF(std::round((width() - size.width()) / 2),
                                   std::round((height() - size.height()) / 2)),
                           m_staticText);
}

void LabelButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    else if (event->button() == Qt::RightButton)
        Q_EMIT menuRequested(event->globalPosition().toPoint());
    event->accept();
}

void LabelButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a click of its own.
    mousePressEvent(event);
}

void LabelButton::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (clicked)
        Q_EMIT Click();
}

} // namespace tavlo
