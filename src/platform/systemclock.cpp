// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/systemclock.h"

namespace tavlo {
namespace {

class RealClock final : public SystemClock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

const RealClock g_realClock;
const SystemClock *g_clock = &g_realClock;

} // namespace

const SystemClock &systemClock()
{
    return *g_clock;
}

void setSystemClockForTesting(const SystemClock *clock)
{
    g_clock = clock ? clock : &g_realClock;
}

} // namespace tavlo
