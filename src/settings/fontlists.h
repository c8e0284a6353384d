// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QComboBox;

namespace tavlo {

// True for a font family the font list leaves out: empty, vertical-writing
// ("@..."), or a character-set variant of another family.
bool isHiddenFontName(const QString &name);

// The family name without the foundry that the font database adds when
// several foundries make a family ("C059 [UKWN]" is "C059").
QString plainFamilyName(const QString &family);

// The names the font list shows for these families, in their order: plain
// family names, each once, without the hidden ones.
QStringList fontListNames(const QStringList &families);

// Fills combo with the installed font families, in the order the system
// lists them, without the hidden ones.
void FillFontList(QComboBox *combo);

// Shows text in an editable combo and makes the entry that matches it, if
// any, the current one, so the open list starts on it.
void showInCombo(QComboBox *combo, const QString &text);

// Fills combo with the 25 font sizes from 7 to 200 points.
void FillSizeList(QComboBox *combo);

} // namespace tavlo
