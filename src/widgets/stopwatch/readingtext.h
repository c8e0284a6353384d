// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/controls.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QWidget>

namespace tavlo {

// The stopwatch's printed reading. It is redrawn ten times a second, so it
// draws each character from a cache of laid-out glyphs and, when the
// reading changes, repaints only from the first character that differs:
// mostly the last field, not the whole text and never the body beneath.
class ReadingText final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    ReadingText(const QString &name, QWidget *parent);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    const QFont &face() const { return m_face; }
    void setFace(const QFont &face);
    const QColor &colour() const { return m_colour; }
    void setColour(const QColor &colour);
    // Width and height of text in the face, in twips.
    QSize textSizeTwips(const QString &text) const;
    // Pushes the geometry into the widget.
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal advance(QChar c) const;
    const QStaticText &glyph(QChar c);
    qreal offsetOf(qsizetype index) const;

    QString m_text;
    QFont m_face;
    QColor m_colour;
    mutable QHash<QChar, qreal> m_advances;
    QHash<QChar, QStaticText> m_glyphs;
};

} // namespace tavlo
