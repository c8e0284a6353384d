// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fontwarmup.h"

#include <fontconfig/fontconfig.h>

namespace tavlo {

FontConfigWarmUp::FontConfigWarmUp()
{
    try {
        // FcInit is idempotent and thread-safe; Qt's own call then returns at once.
        m_thread = std::thread([] { FcInit(); });
    } catch (...) {
        // No thread: Qt loads the configuration itself, as it would anyway.
    }
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    finish();
}

void FontConfigWarmUp::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace tavlo
