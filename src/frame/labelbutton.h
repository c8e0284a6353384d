// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/controls.h"
#include "frame/keylabel.h"

namespace tavlo {

// The buttons' design face.
inline const QString kButtonFont = QStringLiteral("Tahoma");
constexpr float kButtonPoints = 9.75f;

// A button of the stopwatch and timer design: 1700 by 420 twips, Tahoma.
KeyLabel *makeButton(const char *name, const QString &caption, QWidget *parent);
// Places the two buttons 1000 twips above the bottom of a body of the given
// size: Start left of the middle, Stop right of it.
void placeButtons(TwipsBox &start, TwipsBox &stop, int bodyWidth, int bodyHeight);
// The design text settings of the stopwatch and timer: the reading in white
// Tahoma 26 (bold when asked), the buttons' face in white.
void setCountingDesignText(Label &time, Label &date, bool boldTime);

} // namespace tavlo
