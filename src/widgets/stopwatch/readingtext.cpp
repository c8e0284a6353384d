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

ReadingText::~ReadingText()
{
    m_pump.reset();
}

void ReadingText::setText(const QString &text)
{
    // While the thread prints, what it printed last is taken back on stopping.
    if (m_pump)
        return;
    if (const QRect changed = m_pictures.retext(m_line, text, devicePixelRatioF(), rect());
        !changed.isEmpty())
        update(changed);
}

void ReadingText::showText(const QString &text)
{
    // The window's ratio is the widget's, without the widget's look-up of
    // its screen.
    if (m_pump)
        return;
    QWindow *handle = window()->windowHandle();
    const qreal ratio = handle ? handle->devicePixelRatio() : devicePixelRatioF();
    const QRect changed = m_pictures.retext(m_line, text, ratio, rect());
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
    QPaintDevice *device = store->paintDevice();
    if (straight(handle) && device && composeSpan(*device, target, changed, ratio) &&
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

bool ReadingText::straight(QWindow *handle)
{
    if (!m_straight || m_straight->window() != handle) {
        if (m_straight && m_straight->window())
            m_straight->window()->removeEventFilter(this);
        m_straight = std::make_unique<WindowPixels>(handle);
        if (m_straight->usable())
            handle->installEventFilter(this);
    }
    return m_straight->usable();
}

bool ReadingText::startPump(const StopwatchCount &count)
{
    if (m_pump && m_pump->failed()) {
        m_pumpRefused = window()->windowHandle();
        stopPump();
    }
    if (m_pump)
        return true;
    QWindow *handle = window()->windowHandle();
    if (!isVisible() || !m_backdrop || !handle || handle == m_pumpRefused ||
        !handle->isExposed() || handle->devicePixelRatio() != 1 || covered() ||
        !straight(handle))
        return false;
    const QImage &panel = m_backdrop->picture();
    const QRect source(pos(), size());
    if (panel.devicePixelRatio() != 1 || !panel.rect().contains(source) ||
        (panel.format() != QImage::Format_RGB32 &&
         panel.format() != QImage::Format_ARGB32_Premultiplied))
        return false;
    auto pixels = std::make_unique<WindowPixels>(handle, WindowPixels::Fixed);
    if (!pixels->usable())
        return false;
    // A window with alpha takes premultiplied pixels only.
    QImage under = panel.copy(source);
    if (!pixels->takes(under.format()))
        under.convertTo(QImage::Format_ARGB32_Premultiplied);
    // Every character a count prints, measured and drawn here: the thread
    // only copies them.
    for (const QChar c : QStringLiteral("0123456789:.")) {
        m_pictures.advance(c);
        m_pictures.inkOf(c, 0, 1);
    }
    ReadingPump::Page page{m_pictures, std::move(under), mapTo(window(), QPoint()), m_line};
    m_pump = std::make_unique<ReadingPump>(std::move(pixels), std::move(page), count);
    if (m_pump->failed()) {
        m_pumpRefused = handle;
        m_pump.reset();
        return false;
    }
    return true;
}

void ReadingText::stopPump()
{
    if (!m_pump)
        return;
    m_pump->stop();
    m_line = m_pump->line();
    m_pump.reset();
}

void ReadingText::interruptPump()
{
    if (!m_pump)
        return;
    stopPump();
    update();
    Q_EMIT pumpStopped();
}

void ReadingText::moveEvent(QMoveEvent *event)
{
    interruptPump();
    QWidget::moveEvent(event);
}

void ReadingText::resizeEvent(QResizeEvent *event)
{
    interruptPump();
    QWidget::resizeEvent(event);
}

void ReadingText::hideEvent(QHideEvent *event)
{
    interruptPump();
    QWidget::hideEvent(event);
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
    m_pictures.printOver(image, target, panel, source.topLeft(), target.topLeft() - changed.topLeft(),
                         m_line.text, m_line.places);
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

void ReadingText::setBackdrop(const PictureBox *panel)
{
    interruptPump();
    m_backdrop = panel;
    setAttribute(Qt::WA_OpaquePaintEvent, panel != nullptr);
    update();
}

void ReadingText::setFace(const QFont &face)
{
    if (face == m_pictures.face())
        return;
    interruptPump();
    m_pictures.setFace(face);
    m_line.places = m_pictures.placesOf(m_line.text);
    update();
}

void ReadingText::setColour(const QColor &colour)
{
    if (colour == m_pictures.colour())
        return;
    interruptPump();
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
    // The panel or the window changed under the print: the widget paints
    // what the thread printed last, and the count resumes from a tick.
    if (m_pump) {
        stopPump();
        Q_EMIT pumpStopped();
    }
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
    m_pictures.draw(painter, QPoint(), m_line.text, m_line.places, dirty, devicePixelRatioF());
}

} // namespace tavlo
