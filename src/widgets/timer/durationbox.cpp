// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/durationbox.h"

#include "core/twips.h"
#include "widgets/timer/countdown.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

namespace tavlo {
namespace {

constexpr float kBoxPoints = 72;
// Room beside and below the digits, in pixels, for the cursor and the margins.
constexpr int kPadX = 10;
constexpr int kPadY = 4;
// The line edit's own margins around its text line, in pixels.
constexpr int kLineMargin = 2;

} // namespace

DurationBox::DurationBox(const QString &name, QWidget *parent) : QLineEdit(parent)
{
    setObjectName(name);
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setMaxLength(Countdown::kMaxEntryDigits);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(Countdown::kMaxEntryDigits)), this));
    setContextMenuPolicy(Qt::NoContextMenu);
    // Digits need no input method; without one the desktop's compose tables
    // are never loaded into the program.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAutoFillBackground(true);
    QFont face(QStringLiteral("Tahoma"));
    face.setPointSizeF(kBoxPoints);
    setFont(face);
    setText(QStringLiteral("00"));
}

void DurationBox::setFaceName(const QString &name)
{
    if (font().family() == name)
        return;
    QFont face = font();
    face.setFamily(name);
    setFont(face);
}

void DurationBox::setColours(OleColor back, OleColor fore)
{
    QPalette p = palette();
    const QColor backColour = toQColor(back);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, backColour);
        p.setColor(group, QPalette::Window, backColour);
        p.setColor(group, QPalette::Text, toQColor(fore));
    }
    // Greyed: halfway between the text and the back colour.
    p.setColor(QPalette::Disabled, QPalette::Text, toQColor(ColorBlend(fore, back, 110)));
    if (p != palette())
        setPalette(p);
}

QSize DurationBox::fittingSizeTwips() const
{
    const QFontMetrics metrics(font());
    QString widest = text();
    if (widest.size() < 2)
        widest = QStringLiteral("00");
    const int width = metrics.horizontalAdvance(widest) + kPadX;
    const int height = metrics.height() + kPadY;
    return QSize(int(std::lround(width * twipsPerPixelX())),
                 int(std::lround(height * twipsPerPixelY())));
}

void DurationBox::showText(const QString &shown)
{
    if (text() != shown)
        setText(shown);
}

void DurationBox::paintEvent(QPaintEvent *event)
{
    // Edited, the box is a line edit with its cursor. Otherwise its digits
    // come from pictures: counting changes them every second, and at 72
    // points the line edit would fill each as an outline every time.
    if (hasFocus()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    CharacterPictures &digits = isEnabled() ? m_digits : m_greyedDigits;
    digits.setFace(font());
    digits.setColour(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const QString shown = text();
    digits.draw(painter, textOrigin(), shown, digits.placesOf(shown), event->rect(),
                devicePixelRatioF());
}

QPoint DurationBox::textOrigin() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()
                        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                        .marginsRemoved(textMargins());
    const QFontMetrics whole(font());
    const int lineHeight = std::max(whole.boundingRect(text()).height(), whole.height());
    const int top = r.y() + (r.height() - lineHeight + 1) / 2;
    // Centred as the line edit centres it: the text and a pixel (the cursor
    // takes no room while the box has no focus).
    // The line's width takes in ink that reaches past the last character.
    const QFontMetricsF metrics(font());
    const QString shown = text();
    const qreal overhang = shown.isEmpty() ? 0 : std::max(0.0, -metrics.rightBearing(shown.back()));
    const int used = int(std::lround(metrics.horizontalAdvance(shown) + overhang)) + 1;
    const int line = r.width() - 2 * kLineMargin;
    const int scroll = used <= line ? (used - line) / 2 : 0;
    return QPoint(r.x() + kLineMargin - scroll, top);
}

void DurationBox::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

} // namespace tavlo
