// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/readingtext.h"

#include "core/twips.h"
#include "frame/modblend.h"

#include <QBackingStore>
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
    if (const QRect changed = takeText(text); !changed.isEmpty())
        update(changed);
}

void ReadingText::showText(const QString &text)
{
    const QRect changed = takeText(text);
    if (changed.isEmpty() || !isVisible())
        return;
    // Ten times a second the widget pass (a posted update, the repaint
    // manager, a paint event) costs more than the few characters it
    // paints, so the change goes straight into the window's store. Nothing
    // overlaps the reading and it paints every pixel of its rectangle, so
    // the result is the one a repaint would give; when a part covers it
    // (the buttons of a window made very small), the widget pass paints.
    QBackingStore *store = backingStore();
    QWindow *handle = window()->windowHandle();
    const QRect target = changed.translated(mapTo(window(), QPoint()));
    if (!m_backdrop || !store || !handle || covered() ||
        !QRect(QPoint(), store->size()).contains(target)) {
        repaint(changed);
        return;
    }
    const QRegion region(target);
    store->beginPaint(region);
    if (QPaintDevice *device = store->paintDevice()) {
        QPainter painter(device);
        painter.setClipRect(target);
        painter.translate(target.topLeft() - changed.topLeft());
        paintSpan(painter, changed);
    }
    store->endPaint();
    store->flush(region, handle);
}

bool ReadingText::covered() const
{
    for (const QObject *child : parentWidget()->children()) {
        const auto *part = qobject_cast<const QWidget *>(child);
        if (part && part != this && !part->isHidden() && part->geometry().intersects(geometry()))
            return true;
    }
    return false;
}

QRect ReadingText::takeText(const QString &text)
{
    if (text == m_text)
        return {};
    Places places = placesOf(text);
    if (text.size() != m_text.size()) {
        m_text = text;
        m_places = std::move(places);
        return rect();
    }
    // Same length: from the first character that differs to the last one
    // that differs or moved, the ink of the old and of the new characters.
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (text[first] == m_text[first] && places[first + 1] == m_places[first + 1])
        ++first;
    qsizetype end = size;
    while (end > first && text[end - 1] == m_text[end - 1] && places[end - 1] == m_places[end - 1])
        --end;
    QRect changed;
    for (qsizetype i = first; i < end; ++i)
        changed |= inkOf(m_text[i], m_places[i]) | inkOf(text[i], places[i]);
    m_text = text;
    m_places = std::move(places);
    return changed & rect();
}

ReadingText::Places ReadingText::placesOf(const QString &text) const
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

QRect ReadingText::inkOf(QChar c, int place)
{
    const Glyph &g = glyph(c);
    return QRect(g.offset + QPoint(place, 0), g.size);
}

void ReadingText::setBackdrop(const PictureBox *panel)
{
    m_backdrop = panel;
    setAttribute(Qt::WA_OpaquePaintEvent, panel != nullptr);
    update();
}

void ReadingText::setFace(const QFont &face)
{
    if (face == m_face)
        return;
    m_face = face;
    m_advances.clear();
    m_places = placesOf(m_text);
    dropGlyphs();
}

void ReadingText::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    dropGlyphs();
}

void ReadingText::dropGlyphs()
{
    m_glyphs.clear();
    update();
}

qreal ReadingText::advance(QChar c) const
{
    auto it = m_advances.constFind(c);
    if (it == m_advances.constEnd())
        it = m_advances.insert(c, QFontMetricsF(m_face).horizontalAdvance(c));
    return *it;
}

const ReadingText::Glyph &ReadingText::glyph(QChar c)
{
    // Drawn at the screen's pixel ratio, so the reading stays sharp when scaled.
    if (const qreal ratio = devicePixelRatioF(); ratio != m_glyphRatio) {
        m_glyphs.clear();
        m_glyphRatio = ratio;
    }
    auto it = m_glyphs.constFind(c);
    if (it != m_glyphs.constEnd())
        return *it;
    // The ink of the character, a pixel more on every side for smoothing.
    const QFontMetricsF metrics(m_face);
    const QRectF ink = metrics.boundingRect(c).translated(0, metrics.ascent());
    const QPoint offset(int(std::floor(ink.left())) - 1, int(std::floor(ink.top())) - 1);
    const QSize size(std::max(0, int(std::ceil(ink.right())) + 1 - offset.x()),
                     std::max(0, int(std::ceil(ink.bottom())) + 1 - offset.y()));
    Glyph laidOut{QImage(size * m_glyphRatio, QImage::Format_ARGB32_Premultiplied), offset, size};
    if (!laidOut.picture.isNull()) {
        laidOut.picture.setDevicePixelRatio(m_glyphRatio);
        laidOut.picture.fill(Qt::transparent);
        QPainter painter(&laidOut.picture);
        painter.setFont(m_face);
        painter.setPen(m_colour);
        painter.drawText(QPointF(-offset.x(), metrics.ascent() - offset.y()), QString(c));
    }
    return *m_glyphs.insert(c, std::move(laidOut));
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
    paintSpan(painter, event->rect());
}

void ReadingText::paintSpan(QPainter &painter, const QRect &dirty)
{
    if (m_backdrop) {
        const QImage &picture = m_backdrop->picture();
        if (picture.isNull())
            painter.fillRect(dirty, toQColor(m_backdrop->BackColor()));
        else
            painter.drawImage(dirty.topLeft(), picture, dirty.translated(pos()));
    }
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const QRect ink = inkOf(m_text[i], m_places[i]);
        if (ink.intersects(dirty))
            painter.drawImage(ink.topLeft(), glyph(m_text[i]).picture);
    }
}

} // namespace tavlo
