#pragma once

class QWidget;

namespace tavlo {

// Draws a form in the desktop's message font: every control whose name
// starts with a known prefix gets the font and, where it sits on one text
// line, the height of the reference combo box of the menu form.
void ApplyFormSkin(QWidget *form);

// The one-line control height the skin gives: the reference box's height.
int skinLineHeight();

} // namespace tavlo
