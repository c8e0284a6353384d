// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/displayprobe.h"

#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tavlo {

bool xDisplayReachable(const char *displayName, int timeoutMs)
{
    struct Probe
    {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<bool> reachable;
    };
    auto probe = std::make_shared<Probe>();
    const bool named = displayName != nullptr;
    const std::string name = named ? displayName : "";
    try {
        // A server that is stopped or a host that drops packets can keep the
        // connection waiting for minutes: the thread is left behind then.
        std::thread([probe, named, name] {
            xcb_connection_t *connection = xcb_connect(named ? name.c_str() : nullptr, nullptr);
            const bool ok = xcb_connection_has_error(connection) == 0;
            xcb_disconnect(connection);
            {
                std::lock_guard lock(probe->mutex);
                probe->reachable = ok;
            }
            probe->done.notify_one();
        }).detach();
    } catch (...) {
        // No thread to spare: Qt makes the connection and reports on its own.
        return true;
    }
    std::unique_lock lock(probe->mutex);
    probe->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return probe->reachable.has_value(); });
    return probe->reachable.value_or(false);
}

} // namespace tavlo
