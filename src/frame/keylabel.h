// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/controls.h"

#include <QFont>
#include <QStaticText>
#include <QWidget>

namespace tavlo {

// A label acting as a key or button (the calculator's keys, the stopwatch's
// and timer's buttons): an opaque label with its caption centred, acting on a
// click of the left button. It takes the mouse for itself, so a press on it
// never reaches the window (which would start a drag or a resize); the right
// button asks for the menu of kinds that have one.
class KeyLabel final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    KeyLabel(const QString &name, const QString &caption, QWidget *parent);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor colour);
    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor colour);
    QFont labelFont() const { return m_font; }
    void setFontName(const QString &name);
    void setFontSize(float points);

    // Pushes the geometry and visibility into the widget.
    void sync();

Q_SIGNALS:
    void Click();
    // The right button was pressed at globalPos.
    void menuRequested(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_caption;
    QFont m_font;
    // Laid out once per font, so a repaint does not shape the caption again.
    QStaticText m_staticText;
    QFont m_staticFont;
    OleColor m_foreColor = 0;
    OleColor m_backColor = 0xFFFFFF;
    bool m_pressed = false;
};

} // namespace tavlo
