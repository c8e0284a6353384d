// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11window.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
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

bool putWindowPixels(QWindow *window, const QImage &pixels, const QRect &from, const QPoint &at)
{
    xcb_connection_t *c = connection();
    if (!c || !window || from.isEmpty() || !pixels.rect().contains(from))
        return false;
    const bool alpha = pixels.format() == QImage::Format_ARGB32_Premultiplied;
    if (!alpha && pixels.format() != QImage::Format_RGB32)
        return false;
    const size_t bytes = size_t(from.width()) * size_t(from.height()) * 4;
    // The request's 24 bytes of header count against the server's limit.
    if (bytes + 24 > size_t(xcb_get_maximum_request_length(c)) * 4)
        return false;
    const auto id = xcb_window_t(window->winId());
    // Asked once a window (a program has 21 at most; closed ones are
    // forgotten in a while). A window of depth 24 takes the four bytes of a
    // pixel as they are, alpha as padding, as Qt sends them.
    static std::vector<std::pair<xcb_window_t, uint8_t>> depths;
    auto known = std::find_if(depths.begin(), depths.end(),
                              [id](const auto &entry) { return entry.first == id; });
    if (known == depths.end()) {
        if (depths.size() >= 64)
            depths.clear();
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
        depths.emplace_back(id, geometry ? geometry->depth : 0);
        free(geometry);
        known = depths.end() - 1;
    }
    const uint8_t depth = known->second;
    static const bool layouts[2] = {sameLayout(c, 24), sameLayout(c, 32)};
    if ((depth != 24 && depth != 32) || (depth == 32 && !alpha) || !layouts[depth == 32])
        return false;
    // A context serves every window of its depth on the screen.
    static xcb_gcontext_t contexts[2] = {0, 0};
    xcb_gcontext_t &gc = contexts[depth == 32];
    if (!gc) {
        gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, id, 0, nullptr);
    }
    static std::vector<uint8_t> rows;
    rows.resize(bytes);
    const size_t rowBytes = size_t(from.width()) * 4;
    for (int y = 0; y < from.height(); ++y)
        std::memcpy(rows.data() + size_t(y) * rowBytes,
                    pixels.constScanLine(from.top() + y) + size_t(from.left()) * 4, rowBytes);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, gc, uint16_t(from.width()),
                  uint16_t(from.height()), int16_t(at.x()), int16_t(at.y()), 0, depth,
                  uint32_t(bytes), rows.data());
    xcb_flush(c);
    return true;
}

} // namespace tavlo
