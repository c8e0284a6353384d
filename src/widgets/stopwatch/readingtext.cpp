// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/readingtext.h"

#include "core/twips.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace tavlo {

ReadingText::ReadingText(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    // Presses go through to the body, as on text printed there.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ReadingText::setText(const QString &text)
{
    if (text == m_text)
        return;
    qsizetype first = 0;
    while (first < text.size() && first < m_text.size() && text[first] == m_text[first])
        ++first;
    const bool sameLength = text.size() == m_text.size();
    m_text = text;
    if (!sameLength) {
        update();
        return;
    }
    const int from = int(std::floor(offsetOf(first)));
    update(QRect(from, 0, width() - from, height()));
}

void ReadingText::setFace(const QFont &face)
{
    if (face == m_face)
        return;
    m_face = face;
    m_advances.clear();
    m_glyphs.clear();
    update();
}

void ReadingText::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

qreal ReadingText::advance(QChar c) const
{
    auto it = m_advances.constFind(c);
    if (it == m_advances.constEnd())
        it = m_advances.insert(c, QFontMetricsF(m_face).horizontalAdvance(c));
    return *it;
}

qreal ReadingText::offsetOf(qsizetype index) const
{
    qreal x = 0;
    for (qsizetype i = 0; i < index && i < m_text.size(); ++i)
        x += advance(m_text[i]);
    return x;
}

const QStaticText &ReadingText::glyph(QChar c)
{
    auto it = m_glyphs.find(c);
    if (it == m_glyphs.end()) {
        QStaticText laidOut(c);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), m_face);
        it = m_glyphs.insert(c, laidOut);
    }
    return *it;
}

QSize ReadingText::textSizeTwips(const QString &text) const
{
    qreal width = 0;
    for (const QChar c : text)
        width += advance(c);
    const qreal height = QFontMetricsF(m_face).height();
    return QSize(int(std::lround(std::ceil(width) * twipsPerPixelX())),
                 int(std::lround(std::ceil(height) * twipsPerPixelY())));
}

void ReadingText::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
}

void ReadingText::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setFont(m_face);
    painter.setPen(m_colour);
    const QRect dirty = event->rect();
    qreal x = 0;
    for (const QChar c : m_text) {
        const qreal step = advance(c);
        if (x + step >= dirty.left() && x <= dirty.right() + 1)
            painter.drawStaticText(QPointF(x, 0), glyph(c));
        x += step;
    }
}

} // namespace tavlo
