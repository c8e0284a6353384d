// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/labelbutton.h"

namespace tavlo {
namespace {

// Design geometry in twips.
constexpr int kButtonWidth = 1700;
constexpr int kButtonHeight = 420;
constexpr int kButtonsAboveBottom = 1000;

} // namespace

KeyLabel *makeButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new KeyLabel(QLatin1String(name), caption, parent);
    button->setWidth(kButtonWidth);
    button->setHeight(kButtonHeight);
    button->setFontName(kButtonFont);
    button->setFontSize(kButtonPoints);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void setCountingDesignText(Label &time, Label &date, bool boldTime)
{
    time.setFontName(QStringLiteral("Tahoma"));
    time.setFontSize(26);
    time.setFontBold(boldTime);
    time.setForeColor(0xFFFFFF);
    date.setFontName(kButtonFont);
    date.setFontSize(kButtonPoints);
    date.setForeColor(0xFFFFFF);
}

void placeButtons(TwipsBox &start, TwipsBox &stop, int bodyWidth, int bodyHeight)
{
    start.setTop(bodyHeight - kButtonsAboveBottom);
    stop.setTop(start.Top());
    start.setLeft((bodyWidth - 2 * start.Width()) / 2 - 150);
    stop.setLeft((bodyWidth - start.Width()) / 2 + 1000);
}

} // namespace tavlo
