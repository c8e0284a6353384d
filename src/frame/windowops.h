#pragma once

#include <cstdint>

class QWidget;

namespace tavlo {

// Clamps alpha into 20-255 (writing the clamped value back) and applies it as
// the window's opacity.
void SetTransparency(QWidget *form, uint8_t &alpha);

// Keeps the window above others or lets it go, without re-creating it.
void SetOnTop(QWidget *form, bool onTop);

// Starts moving the window with the mouse when button is 1 (left).
void DragForm(QWidget *form, int button);

} // namespace tavlo
