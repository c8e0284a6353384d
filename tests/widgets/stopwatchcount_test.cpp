// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/stopwatchcount.h"

#include "fakes.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <limits>
#include <utility>

namespace tavlo {
namespace {

// A script of presses and clock moves, words separated by blanks:
// "S" presses Start/Stop, "L" Lap/Reset, "t" lets 100 ms pass and ticks,
// "tN" lets N ms pass and ticks, "+N" lets N ms pass; "xK" repeats a word K times.
struct Player
{
    StopwatchCount count;
    bool drew = false;

    void play(test::FakeBootClock &clock, const char *script)
    {
        for (const QString &word :
             QString::fromLatin1(script).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList parts = word.split(QLatin1Char('x'));
            const int times = parts.size() > 1 ? parts[1].toInt() : 1;
            const QString op = parts[0];
            for (int i = 0; i < times; ++i) {
                if (op == QLatin1String("S"))
                    count.pressStartStop();
                else if (op == QLatin1String("L"))
                    count.pressLapReset();
                else if (op.startsWith(u'+'))
                    clock.advance(op.mid(1).toLongLong());
                else { // "t" and "tN"
                    clock.advance(op.size() > 1 ? op.mid(1).toLongLong() : 100);
                    drew = count.tick();
                }
            }
        }
    }
};

TEST(StopwatchCountTest, ShowsTheReadingOfEachScript)
{
    // Drew: what the last tick said about drawing.
    // clang-format off
    const struct { const char *script, *shown, *start, *stop; bool held, drew; } cases[] = {
        {"", "00:00.00", "Start", "Reset", false, false},
        {"S", "00:00.00", "Stop", "Lap", false, false},
        {"S tx10", "00:01.00", "Stop", "Lap", false, true},
        {"S tx5", "00:00.30", "Stop", "Lap", false, true},
        {"S tx599", "00:59.54", "Stop", "Lap", false, true},
        {"S tx600", "01:00.00", "Stop", "Lap", false, true},
        {"S tx60000", "100:00.00", "Stop", "Lap", false, true},
        // Reset writes a colon in place of the point until the next tick.
        {"S tx3 S L", "00:00:00", "Start", "Reset", false, true},
        {"S tx3 S L S", "00:00:00", "Stop", "Lap", false, true},
        {"S tx3 S L S t", "00:00.06", "Stop", "Lap", false, true},
        // A Lap reading holds through later ticks and redraws until Lap, Stop or Start.
        {"S tx5 L tx5", "00:00.30", "Stop", "Lap", true, false},
        {"S tx5 L tx5 L", "00:01.00", "Stop", "Lap", true, false},
        {"S tx5 L tx5 S", "00:01.00", "Start", "Reset", false, false},
        {"S tx5 L tx5 S S", "00:01.00", "Stop", "Lap", false, false},
        {"S tx5 L tx5 S S t", "00:01.06", "Stop", "Lap", false, true},
        {"S tx5 L tx5 S L", "00:00:00", "Start", "Reset", false, false},
        // True time: late ticks, a suspend, time between ticks, stopped spans.
        {"S t800x5", "00:04.00", "Stop", "Lap", false, true},
        {"S tx10 +7200000 t", "120:01.06", "Stop", "Lap", false, true},
        {"S t50 t50", "00:00.06", "Stop", "Lap", false, true},
        {"S t99", "00:00.00", "Stop", "Lap", false, true},
        {"S t +150 S", "00:00.12", "Start", "Reset", false, true},
        {"S tx10 S +5000 S t", "00:01.06", "Stop", "Lap", false, true},
        {"S tx10 S +5000 t", "00:01.00", "Start", "Reset", false, false},
        {"S +1000 L", "00:01.00", "Stop", "Lap", true, false},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script);
        test::FakeBootClock clock;
        Player run;
        run.play(clock, c.script);
        EXPECT_EQ(
            QStringList(
                {run.count.displayText(), run.count.startCaption(), run.count.stopCaption()}),
            QStringList({QLatin1String(c.shown), QLatin1String(c.start), QLatin1String(c.stop)}));
        EXPECT_EQ(std::pair(run.count.isLapHeld(), run.drew), std::pair(c.held, c.drew));
    }
}

TEST(StopwatchCountTest, FormatsElapsedTime)
{
    // After the point, whole tenths of a second in sixtieths (100 ms: .06); minutes go past 99.
    // clang-format off
    const std::pair<qint64, const char *> cases[] = {
        {0, "00:00.00"},          {99, "00:00.00"},          {100, "00:00.06"},
        {900, "00:00.54"},        {83'700, "01:23.42"},      {5'999'900, "99:59.54"},
        {6'000'000, "100:00.00"}, {-5, "00:00.00"},
        {std::numeric_limits<qint64>::max(), "153722867280912:55.48"},
    };
    // clang-format on
    for (const auto &[ms, text] : cases)
        EXPECT_EQ(StopwatchCount::formatElapsed(ms), QLatin1String(text)) << ms;
}

} // namespace
} // namespace tavlo
