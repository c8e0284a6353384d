// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/controls.h"

#include <QFont>
#include <QStaticText>
#include <QWidget>

namespace tavlo {

// A label acting as a button, as the stopwatch and the timer use them: its
// caption centred on its back colour, a left click clicks it. It takes the
// mouse for itself, so a press on it never reaches the window (which would
// start a drag or a resize); the right button asks for the shared menu.
class LabelButton final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    LabelButton(const QString &name, const QString &caption, QWidget *parent);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor colour);
    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor colour);
    QFont labelFont() const { return m_font; }
    void setFontName(const QString &name);
    void setFontSize(float points);

    // Pushes the geometry into the widget.
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
    QStaticText m_staticText;
    QFont m_staticFont;
    OleColor m_foreColor = 0;
    OleColor m_backColor = 0xFFFFFF;
    bool m_pressed = false;
};

} // namespace tavlo

namespace tavlo {

// The buttons' design face.
inline const QString kButtonFont = QStringLiteral("Tahoma");
constexpr float kButtonPoints = 9.75f;

// A button of the stopwatch and timer design: 1700 by 420 twips, Tahoma.
LabelButton *makeButton(const char *name, const QString &caption, QWidget *parent);
// Places the two buttons 1000 twips above the bottom of a body of the given
// size: Start left of the middle, Stop right of it.
void placeButtons(TwipsBox &start, TwipsBox &stop, int bodyWidth, int bodyHeight);

} // namespace tavlo
