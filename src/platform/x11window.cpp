// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11window.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace tavlo {
namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                        : static_cast<QNativeInterface::QX11Application *>(nullptr);
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

} // namespace

void setSkipTaskbar(QWidget *window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    // Before mapping, the client owns _NET_WM_STATE and Qt keeps atoms it does not manage.
    const std::vector<xcb_atom_t> states{atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                         atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(c, XCB_PROP_MODE_APPEND, id, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    xcb_flush(c);
}

void setTransientFor(QWidget *window, QWidget *owner)
{
    xcb_connection_t *c = connection();
    if (!c || !window || !owner || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const auto id = xcb_window_t(window->winId());
    const auto ownerId = xcb_window_t(owner->winId());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW,
                        32, 1, &ownerId);
    xcb_flush(c);
}

namespace {

// True when the server takes pixels of depth as QImage holds 32-bit ones:
// four bytes a pixel, least significant first, rows padded to 32 bits.
bool sameLayout(xcb_connection_t *c, uint8_t depth)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
    return false;
}

} // namespace

WindowPixels::WindowPixels(QWindow *window, Binding binding)
    : m_window(window), m_binding(binding)
{
    m_connection = connection();
    if (!m_connection || !window)
        return;
    const uint32_t bytes = xcb_get_maximum_request_length(m_connection) * 4;
    // The request's 24 bytes of header count against the server's limit.
    m_maxBytes = bytes > 24 ? bytes - 24 : 0;
    learnWindow();
}

WindowPixels::~WindowPixels()
{
    // Contexts die with the connection; free it only while that is alive.
    if (m_gc && connection() == m_connection) {
        xcb_free_gc(m_connection, m_gc);
        xcb_flush(m_connection);
    }
}

void WindowPixels::learnWindow()
{
    m_depth = 0;
    m_id = m_window ? uint32_t(m_window->winId()) : 0;
    if (!m_id)
        return;
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_id), nullptr);
    const uint8_t depth = geometry ? geometry->depth : 0;
    free(geometry);
    // A window of depth 24 takes the four bytes of a pixel as they are,
    // alpha as padding, as Qt sends them.
    if ((depth != 24 && depth != 32) || !sameLayout(m_connection, depth))
        return;
    m_depth = depth;
    if (!m_gc) {
        m_gc = xcb_generate_id(m_connection);
        xcb_create_gc(m_connection, m_gc, m_id, 0, nullptr);
    }
}

bool WindowPixels::takes(int format) const
{
    return format == QImage::Format_ARGB32_Premultiplied ||
           (m_depth == 24 && format == QImage::Format_RGB32);
}

bool WindowPixels::put(const QImage &pixels, const QRect &from, const QPoint &at)
{
    if (!m_depth || from.isEmpty() || !pixels.rect().contains(from) || !takes(pixels.format()))
        return false;
    const size_t bytes = size_t(from.width()) * size_t(from.height()) * 4;
    if (bytes > m_maxBytes)
        return false;
    // Qt makes a new X window when it re-creates the platform window.
    if (m_binding == Following && (!m_window || uint32_t(m_window->winId()) != m_id)) {
        const uint8_t before = m_depth;
        learnWindow();
        if (m_depth != before)
            return false;
    }
    const size_t rowBytes = size_t(from.width()) * 4;
    const uchar *data = pixels.constScanLine(from.top()) + size_t(from.left()) * 4;
    // Rows that follow one another in the picture go as they are.
    if (size_t(pixels.bytesPerLine()) != rowBytes) {
        m_rows.resize(bytes);
        for (int y = 0; y < from.height(); ++y)
            std::memcpy(m_rows.data() + size_t(y) * rowBytes,
                        pixels.constScanLine(from.top() + y) + size_t(from.left()) * 4, rowBytes);
        data = m_rows.data();
    }
    xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_id, m_gc, uint16_t(from.width()),
                  uint16_t(from.height()), int16_t(at.x()), int16_t(at.y()), 0, m_depth,
                  uint32_t(bytes), data);
    xcb_flush(m_connection);
    return true;
}

} // namespace tavlo
