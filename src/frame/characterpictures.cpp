// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/characterpictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavlo {

void CharacterPictures::setFace(const QFont &face)
{
    if (face == m_face)
        return;
    m_face = face;
    m_tabledAdvances = unmeasured();
    m_advances.clear();
    m_lineHeight = -1;
    forgetPictures();
}

qreal CharacterPictures::lineHeight() const
{
    if (m_lineHeight < 0)
        m_lineHeight = QFontMetricsF(m_face).height();
    return m_lineHeight;
}

void CharacterPictures::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    forgetPictures();
}

void CharacterPictures::forgetPictures()
{
    m_tabledPictures.fill(Picture());
    m_pictures.clear();
}

qreal CharacterPictures::advance(QChar c) const
{
    if (c.unicode() < kTabled) {
        qreal &tabled = m_tabledAdvances[c.unicode()];
        if (tabled < 0)
            tabled = QFontMetricsF(m_face).horizontalAdvance(c);
        return tabled;
    }
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

QRect CharacterPictures::retext(Line &line, const QString &text, qreal ratio,
                                const QRect &whole)
{
    if (text == line.text)
        return {};
    Places places = placesOf(text);
    QRect changed = whole;
    if (text.size() == line.text.size()) {
        const qsizetype size = text.size();
        const QString &was = line.text;
        qsizetype first = 0;
        while (first < size && text[first] == was[first] &&
               places[first + 1] == line.places[first + 1])
            ++first;
        qsizetype end = size;
        while (end > first && text[end - 1] == was[end - 1] &&
               places[end - 1] == line.places[end - 1])
            --end;
        changed = QRect();
        for (qsizetype i = first; i < end; ++i)
            changed |= inkOf(was[i], line.places[i], ratio) | inkOf(text[i], places[i], ratio);
        changed &= whole;
    }
    line.text = text;
    line.places = std::move(places);
    return changed;
}

void CharacterPictures::printOver(QImage &into, const QRect &target, const QImage &panel,
                                  QPoint source, QPoint origin, const QString &text,
                                  const Places &places)
{
    const size_t rowBytes = size_t(target.width()) * 4;
    uchar *const rows = into.bits();
    for (int y = 0; y < target.height(); ++y)
        std::memcpy(rows + (target.top() + y) * into.bytesPerLine() + target.left() * 4,
                    panel.constScanLine(source.y() + y) + source.x() * 4, rowBytes);
    blend(into, origin, text, places, target);
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

namespace {

// x's four channels times a / 255, rounded as QPainter rounds them.
inline quint32 byteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

} // namespace

void CharacterPictures::blend(QImage &into, QPoint origin, const QString &text,
                              const Places &places, const QRect &clip)
{
    // Rows are reached from the first one: scanLine would check for a
    // copy to detach on every row.
    uchar *const rows = into.bits();
    const qsizetype stride = into.bytesPerLine();
    for (qsizetype i = 0; i < text.size() && i < places.size(); ++i) {
        const Picture &drawn = picture(text[i], 1);
        const QRect ink = QRect(drawn.offset + QPoint(places[i], 0), drawn.size).translated(origin);
        const QRect area = ink & clip & into.rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const auto *from = reinterpret_cast<const quint32 *>(
                                   drawn.image.constScanLine(y - ink.top())) +
                               (area.left() - ink.left());
            auto *to = reinterpret_cast<quint32 *>(rows + y * stride) + area.left();
            for (int x = 0; x < area.width(); ++x) {
                const quint32 s = from[x];
                if (s >= 0xff000000)
                    to[x] = s;
                else if (s)
                    to[x] = s + byteMul(to[x], 255 - (s >> 24));
            }
        }
    }
}

const CharacterPictures::Picture &CharacterPictures::picture(QChar c, qreal ratio)
{
    // Drawn at the screen's pixel ratio, so the text stays sharp when scaled.
    if (ratio != m_ratio) {
        forgetPictures();
        m_ratio = ratio;
    }
    if (c.unicode() < kTabled) {
        Picture &tabled = m_tabledPictures[c.unicode()];
        if (!tabled.drawn)
            tabled = drawPicture(c);
        return tabled;
    }
    auto it = m_pictures.constFind(c);
    if (it != m_pictures.constEnd())
        return *it;
    return *m_pictures.insert(c, drawPicture(c));
}

CharacterPictures::Picture CharacterPictures::drawPicture(QChar c) const
{
    // The ink of the character, a pixel more on every side for smoothing.
    const QFontMetricsF metrics(m_face);
    const QRectF ink = metrics.boundingRect(c).translated(0, metrics.ascent());
    const QPoint offset(int(std::floor(ink.left())) - 1, int(std::floor(ink.top())) - 1);
    const QSize size(std::max(0, int(std::ceil(ink.right())) + 1 - offset.x()),
                     std::max(0, int(std::ceil(ink.bottom())) + 1 - offset.y()));
    Picture drawn{QImage(size * m_ratio, QImage::Format_ARGB32_Premultiplied), offset, size, true};
    if (!drawn.image.isNull()) {
        drawn.image.setDevicePixelRatio(m_ratio);
        drawn.image.fill(Qt::transparent);
        QPainter painter(&drawn.image);
        painter.setFont(m_face);
        painter.setPen(m_colour);
        painter.drawText(QPointF(-offset.x(), metrics.ascent() - offset.y()), QString(c));
    }
    return drawn;
}

} // namespace tavlo
