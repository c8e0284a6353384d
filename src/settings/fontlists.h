#pragma once

class QComboBox;
class QString;

namespace tavlo {

// True for a font family the font list leaves out: empty, vertical-writing
// ("@..."), or a character-set variant of another family.
bool isHiddenFontName(const QString &name);

// Fills combo with the installed font families, in the order the system
// lists them, without the hidden ones.
void FillFontList(QComboBox *combo);

// Fills combo with the 25 font sizes from 7 to 200 points.
void FillSizeList(QComboBox *combo);

} // namespace tavlo
