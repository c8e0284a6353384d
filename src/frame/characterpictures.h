// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QVarLengthArray>

#include <array>

class QPainter;

namespace tavlo {

// Pictures of single characters in one face and colour, each drawn once and
// then only copied: a reading that changes every second or tenth costs a
// few small copies, not a text layout, and big digits are not filled as
// outlines on every redraw (Qt caches no glyph past 64 pixels).
class CharacterPictures final
{
public:
    using Places = QVarLengthArray<int, 16>;

    const QFont &face() const { return m_face; }
    void setFace(const QFont &face);
    const QColor &colour() const { return m_colour; }
    void setColour(const QColor &colour);

    qreal advance(QChar c) const;
    qreal lineHeight() const;
    // Left edge of each character of text and its end, in whole pixels.
    Places placesOf(const QString &text) const;
    // Where the ink of c lies when the character stands at place on a line
    // whose top is at 0, drawn at ratio device pixels to a pixel.
    QRect inkOf(QChar c, int place, qreal ratio);
    // Draws the characters of text whose ink meets clip, the line's top-left at origin.
    void draw(QPainter &painter, QPoint origin, const QString &text, const Places &places,
              const QRect &clip, qreal ratio);

    // A line as printed: its characters and the place of each.
    struct Line
    {
        QString text;
        Places places{0};
    };
    // Makes line show text and returns the pixels that change, within
    // whole: from the first character that differs or moved to the last,
    // the ink of the old and of the new characters; all of whole when the
    // length changes.
    QRect retext(Line &line, const QString &text, qreal ratio, const QRect &whole);
    // The target part of into becomes panel's pixels from source on, with
    // the characters of text blended over them, the line's top-left at
    // origin: one device pixel to a pixel, formats as for blend.
    void printOver(QImage &into, const QRect &target, const QImage &panel, QPoint source,
                   QPoint origin, const QString &text, const Places &places);

    // The same as draw at one device pixel to a pixel, straight into into
    // (RGB32 or premultiplied ARGB32), with QPainter's source-over arithmetic:
    // no painter to set up for a few small copies.
    void blend(QImage &into, QPoint origin, const QString &text, const Places &places,
               const QRect &clip);

private:
    struct Picture
    {
        QImage image;
        // Top-left of the picture from the character's place, and its size, in pixels.
        QPoint offset;
        QSize size;
        bool drawn = false;
    };
    const Picture &picture(QChar c, qreal ratio);
    Picture drawPicture(QChar c) const;
    void forgetPictures();

    QFont m_face;
    QColor m_colour;
    qreal m_ratio = 1;
    // Readings are digits and marks: characters below 128 are kept in plain
    // tables, as a tick looks up a dozen of them; others in hashes.
    static constexpr ushort kTabled = 128;
    mutable std::array<qreal, kTabled> m_tabledAdvances = unmeasured();
    mutable QHash<QChar, qreal> m_advances;
    mutable qreal m_lineHeight = -1;
    std::array<Picture, kTabled> m_tabledPictures;
    QHash<QChar, Picture> m_pictures;

    static std::array<qreal, kTabled> unmeasured()
    {
        std::array<qreal, kTabled> advances;
        advances.fill(-1);
        return advances;
    }
};

} // namespace tavlo
