// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QComboBox;
class QWidget;

namespace tavlo {

// Draws a form in the desktop's message font: every control whose name
// starts with a known prefix gets the font and, where it sits on one text
// line, the height of the reference combo box of the menu form.
void ApplyFormSkin(QWidget *form);

// The one-line control height the skin gives: the reference box's height.
int skinLineHeight();

// Names the reference box, the combo box whose height in the message font is
// the height of every one-line control. Asked for when a form is skinned, so
// the form that holds it loads on first use. Without one the skin keeps a box of its own.
void setSkinReference(std::function<QComboBox *()> reference);

} // namespace tavlo
