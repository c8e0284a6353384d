// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/controls.h"

#include "core/twips.h"
#include "frame/modgradient.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace tavlo {
namespace {

// Captions a label keeps measured and shaped.
constexpr qsizetype kKeptCaptions = 64;

// A label reads as its caption; a label given a name of its own ("Time")
// reads as that name with the caption as its value.
class LabelAccessible final : public QAccessibleWidget
{
public:
    explicit LabelAccessible(Label *label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        const auto *label = static_cast<const Label *>(widget());
        if (t == QAccessible::Name)
            return label->accessibleName().isEmpty() ? label->Caption() : label->accessibleName();
        if (t == QAccessible::Value)
            return label->Caption();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *labelAccessible(const QString &, QObject *object)
{
    if (auto *label = qobject_cast<Label *>(object))
        return new LabelAccessible(label);
    return nullptr;
}

} // namespace

QRect TwipsBox::pixelRect() const
{
    return QRect(twipsToPixelsX(m_left), twipsToPixelsY(m_top), twipsToPixelsX(m_width),
                 twipsToPixelsY(m_height));
}

Label::Label(const QString &name, QWidget *parent) : QLabel(parent)
{
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setIndent(0);
    setWordWrap(false);
    m_font = font();
    static const bool accessible = [] {
        QAccessible::installFactory(labelAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
}

void Label::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    if (m_autoSize)
        fit();
}

void Label::setTextAlign(int align)
{
    if (align < AlignLeftJustify || align > AlignCenter)
        return;
    m_align = align;
}

// A change of font refits an auto-sized label; a setter that changes
// nothing (a re-layout copies faces twice a second) leaves it alone.
void Label::takeFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    if (m_autoSize)
        fit();
}

void Label::setFontName(const QString &name)
{
    QFont font = m_font;
    font.setFamily(name);
    takeFont(font);
}

void Label::setFontSize(float points)
{
    if (!(points > 0) || points > 2048)
        return;
    QFont font = m_font;
    font.setPointSizeF(points);
    takeFont(font);
}

void Label::setFontBold(bool bold)
{
    QFont font = m_font;
    font.setBold(bold);
    takeFont(font);
}

void Label::setFontItalic(bool italic)
{
    QFont font = m_font;
    font.setItalic(italic);
    takeFont(font);
}

void Label::setAutoSize(bool on)
{
    m_autoSize = on;
    if (on)
        fit();
}

QSize Label::textSizeTwips() const
{
    if (m_font != m_sizesFont) {
        m_sizes.clear();
        m_sizesFont = m_font;
    }
    auto it = m_sizes.constFind(m_caption);
    if (it == m_sizes.constEnd()) {
        if (m_sizes.size() >= kKeptCaptions)
            m_sizes.clear();
        const QFontMetrics metrics(m_font);
        it = m_sizes.insert(m_caption,
                            QSize(metrics.horizontalAdvance(m_caption), metrics.height()));
    }
    return QSize(int(std::lround(it->width() * twipsPerPixelX())),
                 int(std::lround(it->height() * twipsPerPixelY())));
}

void Label::fit()
{
    const QSize size = textSizeTwips();
    // The aligned edge stays where it is, so a right-aligned or centred
    // caption keeps its place as it grows or shrinks.
    if (m_align == AlignRightJustify)
        m_left += m_width - size.width();
    else if (m_align == AlignCenter)
        m_left += (m_width - size.width()) / 2;
    m_width = size.width();
    m_height = size.height();
}

void Label::sync()
{
    if (text() != m_caption) {
        setText(m_caption);
        // A named label's caption is its value; an unnamed one's name
        // changes with it, which the label announces itself.
        if (!accessibleName().isEmpty() && QAccessible::isActive()) {
            QAccessibleValueChangeEvent changed(this, m_caption);
            QAccessible::updateAccessibility(&changed);
        }
    }
    if (font() != m_font)
        setFont(m_font);
    const QColor colour = toQColor(m_foreColor);
    if (palette().color(QPalette::WindowText) != colour) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, colour);
        setPalette(p);
    }
    const Qt::Alignment horizontal = m_align == AlignRightJustify ? Qt::AlignRight
                                     : m_align == AlignCenter     ? Qt::AlignHCenter
                                                                  : Qt::AlignLeft;
    if (alignment() != (horizontal | Qt::AlignTop))
        setAlignment(horizontal | Qt::AlignTop);
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

void Label::paintEvent(QPaintEvent *event)
{
    const QString shown = text();
    if (shown.isEmpty())
        return;
    if (font() != m_shapedFont) {
        m_shaped.clear();
        m_shapedFont = font();
    }
    auto it = m_shaped.find(shown);
    if (it == m_shaped.end()) {
        if (m_shaped.size() >= kKeptCaptions)
            m_shaped.clear();
        Shaped shaped;
        shaped.text.setText(shown);
        shaped.text.setTextFormat(Qt::PlainText);
        shaped.text.prepare(QTransform(), m_shapedFont);
        // Trailing blanks draw nothing: a label whose blanks lie under a
        // neighbour (the clock's time under its seconds) has nothing to redo
        // when only the neighbour changes.
        QString inked = shown;
        while (!inked.isEmpty() && inked.back().isSpace())
            inked.chop(1);
        const QFontMetrics metrics(m_shapedFont);
        shaped.ink =
            metrics.boundingRect(inked).translated(0, metrics.ascent()).adjusted(-2, -2, 2, 2);
        it = m_shaped.insert(shown, shaped);
    }
    const int textWidth = int(std::ceil(it->text.size().width()));
    int x = 0;
    if (alignment() & Qt::AlignRight)
        x = width() - textWidth;
    else if (alignment() & Qt::AlignHCenter)
        x = (width() - textWidth) / 2;
    if (!event->region().intersects(it->ink.translated(x, 0)))
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawStaticText(x, 0, it->text);
}

PictureBox::PictureBox(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    // The picture covers every pixel, so nothing below needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintGradient(float angle, OleColor colour1, OleColor colour2)
{
    const QRect rect = pixelRect();
    const PaintKey key{rect.size(), angle, colour1, colour2, m_backColor};
    if (key == m_painted && !m_picture.isNull())
        return;
    m_painted = key;
    if (rect.width() <= 0 || rect.height() <= 0) {
        m_picture = QImage();
        return;
    }
    if (m_picture.size() != rect.size())
        m_picture = QImage(rect.size(), QImage::Format_RGB32);
    m_picture.fill(toQColor(m_backColor));
    PaintGradient(m_picture, angle, colour1, colour2);
    update();
}

void PictureBox::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(event->rect(), toQColor(m_backColor));
        return;
    }
    painter.drawImage(event->rect(), m_picture, event->rect());
}

LineControl::LineControl(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setBorderColor(OleColor colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void LineControl::sync()
{
    const int x1 = twipsToPixelsX(m_x1), y1 = twipsToPixelsY(m_y1);
    const int x2 = twipsToPixelsX(m_x2), y2 = twipsToPixelsY(m_y2);
    const QRect rect = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                             QPoint(std::max(x1, x2), std::max(y1, y2)));
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor colour = toQColor(m_colour);
    if (width() == 1 || height() == 1) {
        painter.fillRect(rect(), colour);
        return;
    }
    painter.setPen(colour);
    const int x1 = twipsToPixelsX(m_x1), y1 = twipsToPixelsY(m_y1);
    const int x2 = twipsToPixelsX(m_x2), y2 = twipsToPixelsY(m_y2);
    painter.drawLine(QPoint(x1, y1) - pos(), QPoint(x2, y2) - pos());
}

ShapeControl::ShapeControl(const QString &name, QObject *parent) : QObject(parent)
{
    setObjectName(name);
}

} // namespace tavlo
