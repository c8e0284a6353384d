// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tavlo {

// Window-manager hints Qt has no API for. They do nothing off X11.

// Keeps the window out of taskbars and pagers; call before the first show.
void setSkipTaskbar(QWidget *window);
// Makes the shown window transient for owner's window now; Qt tells the
// window manager only when a window is shown.
void setTransientFor(QWidget *window, QWidget *owner);

} // namespace tavlo
