// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bootclock.h"
#include "widgets/stopwatch/stopwatchcount.h"
#include "widgets/timer/countdown.h"

#include <benchmark/benchmark.h>

namespace {

// A boot clock moved by hand, for stalls of any length.
class SteppedClock final : public tavlo::BootClock
{
public:
    SteppedClock() { tavlo::setBootClockForTesting(this); }
    ~SteppedClock() override { tavlo::setBootClockForTesting(nullptr); }
    qint64 nowMs() const override { return now; }
    qint64 now = 1000;
};

// Reading the boot clock, once per stopwatch tick.
void BM_BootClockNow(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tavlo::bootClock().nowMs());
}
BENCHMARK(BM_BootClockNow);

// One stopwatch tick on the real clock: read the clock, write the reading.
void BM_StopwatchTick(benchmark::State &state)
{
    tavlo::StopwatchCount count;
    count.pressStartStop();
    for (auto _ : state)
        benchmark::DoNotOptimize(count.tick());
}
BENCHMARK(BM_StopwatchTick);

// One countdown tick from 999:999:999 after a stall of the given seconds
// (1 s is the plain tick; 4,000,000 s passes zero): the cost must not grow
// with the stall.
void BM_CountdownTickAfterStall(benchmark::State &state)
{
    SteppedClock clock;
    for (auto _ : state) {
        state.PauseTiming();
        tavlo::Countdown countdown;
        for (const auto box : {tavlo::CountdownBox::Hours, tavlo::CountdownBox::Minutes,
                               tavlo::CountdownBox::Seconds})
            countdown.setBoxText(box, QStringLiteral("999"));
        countdown.pressStartPause();
        clock.now += state.range(0) * 1000;
        state.ResumeTiming();
        benchmark::DoNotOptimize(countdown.tick());
    }
}
BENCHMARK(BM_CountdownTickAfterStall)->Arg(1)->Arg(5)->Arg(3600)->Arg(4'000'000);

} // namespace
