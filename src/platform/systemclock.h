// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace tavlo {

// Where the widgets get the time from, so tests can set it.
class SystemClock
{
public:
    virtual ~SystemClock() = default;
    virtual QDateTime now() const = 0;
};

// The clock in use: the real one unless a test installed another.
const SystemClock &systemClock();
// Installs clock (not owned) for tests; nullptr restores the real one.
void setSystemClockForTesting(const SystemClock *clock);

} // namespace tavlo
