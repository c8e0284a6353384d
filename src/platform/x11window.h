// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QImage;
class QPoint;
class QRect;
class QWidget;
class QWindow;

namespace tavlo {

// Window-manager hints Qt has no API for. They do nothing off X11.

// Keeps the window out of taskbars and pagers; call before the first show.
void setSkipTaskbar(QWidget *window);
// Makes the shown window transient for owner's window now; Qt tells the
// window manager only when a window is shown.
void setTransientFor(QWidget *window, QWidget *owner);

// Sends the from part of pixels (RGB32, or premultiplied ARGB32 for a window
// with alpha) straight onto window at at, in device pixels, bypassing Qt's
// flush and the server-side copy it keeps. False, with nothing sent, off X11
// or where the server wants another layout; the caller then flushes.
bool putWindowPixels(QWindow *window, const QImage &pixels, const QRect &from, const QPoint &at);

} // namespace tavlo
