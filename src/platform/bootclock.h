// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace tavlo {

// Time since boot, suspend included, for counting elapsed time: unlike the
// wall clock it never jumps with a clock change, and unlike a count of timer
// events it keeps running while the program is busy or the machine sleeps.
class BootClock
{
public:
    virtual ~BootClock() = default;
    // Milliseconds since boot; never goes back.
    virtual qint64 nowMs() const = 0;
};

// The clock in use: the real one unless a test installed another.
const BootClock &bootClock();
// Installs clock (not owned) for tests; nullptr restores the real one.
void setBootClockForTesting(const BootClock *clock);

} // namespace tavlo
