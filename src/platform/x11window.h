// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWindow>

#include <cstdint>
#include <vector>

class QImage;
class QPoint;
class QRect;
class QWidget;
struct xcb_connection_t;

namespace tavlo {

// Window-manager hints Qt has no API for. They do nothing off X11.

// Keeps the window out of taskbars and pagers; call before the first show.
void setSkipTaskbar(QWidget *window);
// Makes the shown window transient for owner's window now; Qt tells the
// window manager only when a window is shown.
void setTransientFor(QWidget *window, QWidget *owner);

// Pixels sent straight onto one window, bypassing Qt's flush and the
// server-side copy it keeps. What the window takes is asked once, so a
// reading that changes ten times a second pays one request a change.
class WindowPixels final
{
public:
    // A window that Qt makes anew is followed unless fixed: a fixed one is
    // only sent to, with no call into Qt, so another thread may put.
    enum Binding { Following, Fixed };
    explicit WindowPixels(QWindow *window, Binding binding = Following);
    ~WindowPixels();
    WindowPixels(const WindowPixels &) = delete;
    WindowPixels &operator=(const WindowPixels &) = delete;

    QWindow *window() const { return m_window; }
    // False off X11 or where the server wants another layout of pixels
    // than QImage's 32-bit ones; put then always fails.
    bool usable() const { return m_depth != 0; }
    // True when put takes pixels of format: RGB32 or premultiplied ARGB32
    // for a window of depth 24, only the latter for one with alpha.
    bool takes(int format) const;
    // Sends the from part of pixels (RGB32, or premultiplied ARGB32 for a
    // window with alpha) onto the window at at, in device pixels. False,
    // with nothing sent, when the window cannot take them; the caller then
    // flushes through Qt.
    bool put(const QImage &pixels, const QRect &from, const QPoint &at);

private:
    void learnWindow();

    QPointer<QWindow> m_window;
    Binding m_binding;
    xcb_connection_t *m_connection = nullptr;
    uint32_t m_id = 0;
    uint32_t m_gc = 0;
    uint8_t m_depth = 0;
    size_t m_maxBytes = 0;
    std::vector<uint8_t> m_rows;
};

} // namespace tavlo
