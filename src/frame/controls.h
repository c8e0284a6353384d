// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QStaticText>
#include <QWidget>

namespace tavlo {

// Geometry of a control in twips, relative to its parent. The widget follows
// only at sync(), so a layout pass that moves a control back and forth ends
// in one move (or none) of the real widget.
class TwipsBox
{
public:
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void setLeft(int twips) { m_left = twips; }
    void setTop(int twips) { m_top = twips; }
    void setWidth(int twips) { m_width = twips; }
    void setHeight(int twips) { m_height = twips; }
    bool Shown() const { return m_shown; }
    void setShown(bool shown) { m_shown = shown; }
    QRect pixelRect() const;

protected:
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_shown = true;
};

// A text label with the behaviour the widgets rely on: a caption drawn in one
// colour with left, right or centred alignment, and automatic sizing to the
// caption that keeps the aligned edge in place.
class Label final : public QLabel, public TwipsBox
{
    Q_OBJECT
public:
    enum Align { AlignLeftJustify = 0, AlignRightJustify = 1, AlignCenter = 2 };

    Label(const QString &name, QWidget *parent);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int textAlign() const { return m_align; }
    void setTextAlign(int align);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor colour) { m_foreColor = colour; }
    QFont labelFont() const { return m_font; }
    QString FontName() const { return m_font.family(); }
    float FontSize() const { return float(m_font.pointSizeF()); }
    bool FontBold() const { return m_font.bold(); }
    void setFontName(const QString &name);
    void setFontSize(float points);
    void setFontBold(bool bold);
    void setFontItalic(bool italic);
    bool AutoSize() const { return m_autoSize; }
    // Switching automatic sizing on fits the label to its caption at once.
    void setAutoSize(bool on);
    // Width and height of the caption in the label's font, in twips.
    QSize textSizeTwips() const;

    // Pushes the model (text, font, colour, alignment, geometry) into the widget.
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fit();
    void takeFont(const QFont &font);

    QString m_caption;
    QFont m_font;
    // A caption shaped for painting, and where its glyphs fall.
    struct Shaped
    {
        QStaticText text;
        QRect ink;
    };
    // Measuring and shaping cost more than anything else a tick does, and a
    // label shows few captions over and over (the clock's seconds cycle
    // through sixty): both are kept per caption while the font stays.
    mutable QHash<QString, QSize> m_sizes;
    mutable QFont m_sizesFont;
    QHash<QString, Shaped> m_shaped;
    QFont m_shapedFont;
    OleColor m_foreColor = 0;
    int m_align = AlignLeftJustify;
    bool m_autoSize = false;
};

// A panel with a picture of its own, painted once and shown from the picture.
class PictureBox final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    PictureBox(const QString &name, QWidget *parent);

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor colour) { m_backColor = colour; }
    // Clears the picture to BackColor and paints a gradient over it; does
    // nothing when size, angle and colours equal those of the last paint.
    void paintGradient(float angle, OleColor colour1, OleColor colour2);
    const QImage &picture() const { return m_picture; }

    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct PaintKey
    {
        QSize size;
        float angle = 0;
        OleColor colour1 = 0;
        OleColor colour2 = 0;
        OleColor back = 0;
        bool operator==(const PaintKey &) const = default;
    };

    QImage m_picture;
    PaintKey m_painted;
    OleColor m_backColor = 0;
};

// A one-pixel line between two points given in twips of the parent.
class LineControl final : public QWidget
{
    Q_OBJECT
public:
    LineControl(const QString &name, QWidget *parent);

    int X1() const { return m_x1; }
    int Y1() const { return m_y1; }
    int X2() const { return m_x2; }
    int Y2() const { return m_y2; }
    void setX1(int twips) { m_x1 = twips; }
    void setY1(int twips) { m_y1 = twips; }
    void setX2(int twips) { m_x2 = twips; }
    void setY2(int twips) { m_y2 = twips; }
    OleColor BorderColor() const { return m_colour; }
    void setBorderColor(OleColor colour);
    bool Shown() const { return m_shown; }
    void setShown(bool shown) { m_shown = shown; }

    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    OleColor m_colour = 0;
    bool m_shown = true;
};

// A rectangle outline drawn by its form (it has no window of its own).
class ShapeControl final : public QObject, public TwipsBox
{
    Q_OBJECT
public:
    ShapeControl(const QString &name, QObject *parent);
    OleColor BorderColor() const { return m_colour; }
    void setBorderColor(OleColor colour) { m_colour = colour; }

private:
    OleColor m_colour = 0;
};

} // namespace tavlo
