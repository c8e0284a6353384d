// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/characterpictures.h"
#include "frame/controls.h"
#include "platform/x11window.h"
#include "widgets/stopwatch/readingpump.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <memory>

namespace tavlo {

// The stopwatch's printed reading. It changes ten times a second, so each
// character is drawn once into a small picture of its own, and a change
// repaints only the characters that differ, over the panel's picture, in
// the turn of the event loop that made it.
class ReadingText final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    ReadingText(const QString &name, QWidget *parent);
    ~ReadingText() override;

    const QString &text() const { return m_line.text; }
    // Takes text; the change is painted in the next turn of the event loop.
    void setText(const QString &text);
    // Takes text and paints the change at once.
    void showText(const QString &text);
    // The panel the reading is printed on: its picture is drawn beneath the
    // characters, so the panel itself need not paint again on every change.
    void setBackdrop(const PictureBox *panel);
    const QFont &face() const { return m_pictures.face(); }
    void setFace(const QFont &face);
    const QColor &colour() const { return m_pictures.colour(); }
    void setColour(const QColor &colour);
    // Width and height of text in the face, in twips.
    QSize textSizeTwips(const QString &text) const;
    // Pushes the geometry into the widget.
    void sync();

    // Has count, which is running, printed from a thread of its own (see
    // ReadingPump) while nothing else draws over or under the reading: texts
    // given meanwhile are dropped, and stopPump takes back what the thread
    // printed last. False, with nothing started, where the reading cannot
    // be sent straight.
    bool startPump(const StopwatchCount &count);
    bool pumping() const { return m_pump && !m_pump->failed(); }
    // Takes back what the thread printed last; the widget draws again.
    void stopPump();

Q_SIGNALS:
    // The print stopped for a change of the reading's place, face, colour or
    // panel, or a repaint; the count needs another tick.
    void pumpStopped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintSpan(QPainter &painter, const QRect &dirty);
    // Paints the changed span into device, a picture, at target without a
    // painter; false when it cannot be done pixel for pixel.
    bool composeSpan(QPaintDevice &device, const QRect &target, const QRect &changed,
                     qreal ratio);
    // True when another part of the panel lies over the reading.
    bool covered() const;
    // The window's pixels can be sent straight (learnt once a window).
    bool straight(QWindow *handle);
    // Stops the print for a change; the owner is told.
    void interruptPump();

    CharacterPictures::Line m_line;
    const PictureBox *m_backdrop = nullptr;
    // The window the reading's changes are sent to straight; its exposes
    // repaint the reading (see showText).
    std::unique_ptr<WindowPixels> m_straight;
    std::unique_ptr<ReadingPump> m_pump;
    // The window that refused the thread's print: it is not started again.
    QPointer<QWindow> m_pumpRefused;
    CharacterPictures m_pictures;
};

} // namespace tavlo
