// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

namespace tavlo {

// Loads the font configuration and its caches on a second thread while the
// program connects to the display: the first text the widget measures would
// otherwise wait for it on the interface thread. Joined by finish() or on
// destruction; Qt then finds the configuration ready.
class FontConfigWarmUp final
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    // Waits until the configuration is loaded (before the first font is used).
    void finish();

private:
    std::thread m_thread;
};

} // namespace tavlo
