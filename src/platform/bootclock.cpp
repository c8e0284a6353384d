// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bootclock.h"

#include <ctime>

namespace tavlo {
namespace {

class RealBootClock final : public BootClock
{
public:
    qint64 nowMs() const override
    {
        timespec ts{};
        // Without CLOCK_BOOTTIME (very old kernels) the monotonic clock still
        // counts true time while awake.
        if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0 && clock_gettime(CLOCK_MONOTONIC, &ts) != 0)
            return 0;
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
};

const RealBootClock g_realBootClock;
const BootClock *g_bootClock = &g_realBootClock;

} // namespace

const BootClock &bootClock()
{
    return *g_bootClock;
}

void setBootClockForTesting(const BootClock *clock)
{
    g_bootClock = clock ? clock : &g_realBootClock;
}

} // namespace tavlo
