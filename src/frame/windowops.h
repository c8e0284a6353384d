// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <cstdint>

class QPoint;
class QWidget;

namespace tavlo {

// Clamps alpha into 20-255 (writing the clamped value back) and applies it as
// the window's opacity.
void SetTransparency(QWidget *form, uint8_t &alpha);

// Keeps the window above others or lets it go, without re-creating it.
void SetOnTop(QWidget *form, bool onTop);

// Starts moving the window with the mouse when button is 1 (left).
void DragForm(QWidget *form, int button);
// The same, the window held at grabbed (screen coordinates) rather than where
// the pointer is now: events that are still queued then move it correctly.
void DragForm(QWidget *form, int button, QPoint grabbed);

// Starts resizing the window from its bottom-right corner with the mouse:
// through the window manager, or by following the pointer (pressed at
// grabbed, screen coordinates) where it refuses.
void ResizeFormFromCorner(QWidget *form, QPoint grabbed);

} // namespace tavlo
