// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/readingtext.h"

#include "core/twips.h"
#include "frame/modblend.h"
#include "platform/x11window.h"

#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <cstring>

namespace tavlo {

ReadingText::ReadingText(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    // Presses go through to the body, as on text printed there.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ReadingText::setText(const QString &text)
{
    if (const QRect changed = takeText(text, devicePixelRatioF()); !changed.isEmpty())
        update(changed);
}

void ReadingText::showText(const QString &text)
{
    // The window's ratio is the widget's, without the widget's look-up of
    // its screen.
    QWindow *handle = window()->windowHandle();
    const qreal ratio = handle ? handle->devicePixelRatio() : devicePixelRatioF();
    const QRect changed = takeText(text, ratio);
    if (changed.isEmpty() || !isVisible())
        return;
    // Ten times a second the widget pass (a posted update, the repaint
    // manager, a paint event) costs more than the few characters it
    // paints, so the change goes straight into the window's store. Nothing
    // overlaps the reading and it paints every pixel of its rectangle, so
    // the result is the one a repaint would give; when a part covers it
    // (the buttons of a window made very small), the widget pass paints.
    QBackingStore *store = backingStore();
    const QRect target = changed.translated(mapTo(window(), QPoint()));
    if (!m_backdrop || !store || !handle || covered() ||
        !QRect(QPoint(), store->size()).contains(target)) {
        repaint(changed);
        return;
    }
    // Qt flushes through a copy of the window it keeps in the X server:
    // five requests and the better part of a tick. The span is blended into
    // the store and sent straight onto the window instead; Qt's copy then
    // lags, so an expose repaints the reading before Qt copies it out.
    // A window that cannot take them (not X11, another depth) is not tried,
    // so those ticks do not blend twice.
    if (!m_straight || m_straight->window() != handle) {
        if (m_straight && m_straight->window())
            m_straight->window()->removeEventFilter(this);
        m_straight = std::make_unique<WindowPixels>(handle);
        if (m_straight->usable())
            handle->installEventFilter(this);
    }
    QPaintDevice *device = store->paintDevice();
    if (m_straight->usable() && device && composeSpan(*device, target, changed, ratio) &&
        m_straight->put(static_cast<const QImage &>(*device), target, target.topLeft()))
        return;
    const QRegion region(target);
    store->beginPaint(region);
    device = store->paintDevice();
    if (device && !composeSpan(*device, target, changed, ratio)) {
        QPainter painter(device);
        painter.setClipRect(target);
        painter.translate(target.topLeft() - changed.topLeft());
        paintSpan(painter, changed);
    }
    store->endPaint();
    store->flush(region, handle);
}

bool ReadingText::eventFilter(QObject *watched, QEvent *event)
{
    if (m_straight && watched == m_straight->window() && event->type() == QEvent::Expose &&
        m_straight->window()->isExposed())
        repaint();
    return QWidget::eventFilter(watched, event);
}

bool ReadingText::composeSpan(QPaintDevice &device, const QRect &target, const QRect &changed,
                              qreal ratio)
{
    if (device.devType() != QInternal::Image)
        return false;
    auto &image = static_cast<QImage &>(device);
    const QImage &panel = m_backdrop->picture();
    const QRect source = changed.translated(pos());
    // Pixels copied as they are give what the painter gives: the same
    // formats, one device pixel to a pixel, and a panel picture that is
    // opaque unless the store itself keeps alpha.
    const auto plain = [](const QImage &picture) {
        return picture.devicePixelRatio() == 1 &&
               (picture.format() == QImage::Format_RGB32 ||
                picture.format() == QImage::Format_ARGB32_Premultiplied);
    };
    if (ratio != 1 || !plain(image) || !plain(panel) ||
        (panel.hasAlphaChannel() && !image.hasAlphaChannel()) ||
        !panel.rect().contains(source) || !image.rect().contains(target))
        return false;
    const size_t rowBytes = size_t(target.width()) * 4;
    uchar *const rows = image.bits();
    for (int y = 0; y < target.height(); ++y)
        std::memcpy(rows + (target.top() + y) * image.bytesPerLine() + target.left() * 4,
                    panel.constScanLine(source.top() + y) + source.left() * 4, rowBytes);
    m_pictures.blend(image, target.topLeft() - changed.topLeft(), m_text, m_places, target);
    return true;
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

QRect ReadingText::takeText(const QString &text, qreal ratio)
{
    if (text == m_text)
        return {};
    Places places = m_pictures.placesOf(text);
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
        changed |= m_pictures.inkOf(m_text[i], m_places[i], ratio) |
                   m_pictures.inkOf(text[i], places[i], ratio);
    m_text = text;
    m_places = std::move(places);
    return changed & rect();
}

void ReadingText::setBackdrop(const PictureBox *panel)
{
    m_backdrop = panel;
    setAttribute(Qt::WA_OpaquePaintEvent, panel != nullptr);
    update();
}

void ReadingText::setFace(const QFont &face)
{
    if (face == m_pictures.face())
        return;
    m_pictures.setFace(face);
    m_places = m_pictures.placesOf(m_text);
    update();
}

void ReadingText::setColour(const QColor &colour)
{
    if (colour == m_pictures.colour())
        return;
    m_pictures.setColour(colour);
    update();
}

QSize ReadingText::textSizeTwips(const QString &text) const
{
    qreal width = 0;
    for (const QChar c : text)
        width += m_pictures.advance(c);
    const qreal height = m_pictures.lineHeight();
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
    m_pictures.draw(painter, QPoint(), m_text, m_places, dirty, devicePixelRatioF());
}

} // namespace tavlo
