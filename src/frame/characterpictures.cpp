// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/characterpictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tavlo {

void CharacterPictures::setFace(const QFont &face)
{
    if (face == m_face)
        return;
    m_face = face;
    m_advances.clear();
    m_pictures.clear();
}

void CharacterPictures::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    m_pictures.clear();
}

qreal CharacterPictures::advance(QChar c) const
{
    auto it = m_advances.constFind(c);
    if (it == m_advances.constEnd())
        it = m_advances.insert(c, QFontMetricsF(m_face).horizontalAdvance(c));
    return *it;
}

CharacterPictures::Places CharacterPictures::placesOf(const QString &text) const
{
    Places places;
    qreal x = 0;
    places.append(0);
    for (const QChar c : text) {
        x += advance(c);
        places.append(int(std::lround(x)));
    }
    return places;
}

QRect CharacterPictures::inkOf(QChar c, int place, qreal ratio)
{
    const Picture &drawn = picture(c, ratio);
    return QRect(drawn.offset + QPoint(place, 0), drawn.size);
}

void CharacterPictures::draw(QPainter &painter, QPoint origin, const QString &text,
                             const Places &places, const QRect &clip, qreal ratio)
{
    for (qsizetype i = 0; i < text.size() && i < places.size(); ++i) {
        const QRect ink = inkOf(text[i], places[i], ratio).translated(origin);
        if (ink.intersects(clip))
            painter.drawImage(ink.topLeft(), picture(text[i], ratio).image);
    }
}

const CharacterPictures::Picture &CharacterPictures::picture(QChar c, qreal ratio)
{
    // Drawn at the screen's pixel ratio, so the text stays sharp when scaled.
    if (ratio != m_ratio) {
        m_pictures.clear();
        m_ratio = ratio;
    }
    auto it = m_pictures.constFind(c);
    if (it != m_pictures.constEnd())
        return *it;
    // The ink of the character, a pixel more on every side for smoothing.
    const QFontMetricsF metrics(m_face);
    const QRectF ink = metrics.boundingRect(c).translated(0, metrics.ascent());
    const QPoint offset(int(std::floor(ink.left())) - 1, int(std::floor(ink.top())) - 1);
    const QSize size(std::max(0, int(std::ceil(ink.right())) + 1 - offset.x()),
                     std::max(0, int(std::ceil(ink.bottom())) + 1 - offset.y()));
    Picture drawn{QImage(size * m_ratio, QImage::Format_ARGB32_Premultiplied), offset, size};
    if (!drawn.image.isNull()) {
        drawn.image.setDevicePixelRatio(m_ratio);
        drawn.image.fill(Qt::transparent);
        QPainter painter(&drawn.image);
        painter.setFont(m_face);
        painter.setPen(m_colour);
        painter.drawText(QPointF(-offset.x(), metrics.ascent() - offset.y()), QString(c));
    }
    return *m_pictures.insert(c, std::move(drawn));
}

} // namespace tavlo
