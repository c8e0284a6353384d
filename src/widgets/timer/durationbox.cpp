// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/durationbox.h"

#include "core/twips.h"
#include "widgets/timer/countdown.h"

#include <QFontMetrics>
#include <QRegularExpressionValidator>
#include <cmath>

namespace tavlo {
namespace {

constexpr float kBoxPoints = 72;
// Room beside and below the digits, in pixels, for the cursor and the margins.
constexpr int kPadX = 10;
constexpr int kPadY = 4;

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

void DurationBox::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

} // namespace tavlo
