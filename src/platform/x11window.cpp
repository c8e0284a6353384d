// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11window.h"

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

#include <cstdlib>
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

} // namespace tavlo
