// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/countdown.h"

#include "fakes.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <tuple>

namespace tavlo {
namespace {

using Box = CountdownBox;

// A script of presses, entries and clock moves, words separated by blanks:
// "S" presses btnSTART, "R" btnSTOP, "t" lets 1 s pass and ticks, "tN" lets
// N ms pass and ticks, "+N" lets N ms pass, "h=", "m=", "s=" type into a box,
// "rd=DD,SS" sets the reset duration, "close" closes the Finished box;
// "xK" after a word repeats it K times.
struct Player
{
    Countdown countdown;
    int finished = 0;

    void play(test::FakeBootClock &clock, const QString &script)
    {
        for (const QString &word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const qsizetype eq = word.indexOf(QLatin1Char('='));
            if (eq > 0) {
                enter(word.left(eq), word.mid(eq + 1));
                continue;
            }
            const QStringList parts = word.split(QLatin1Char('x'));
            const int times = parts.size() > 1 ? parts[1].toInt() : 1;
            for (int i = 0; i < times; ++i)
                act(clock, parts[0]);
        }
    }

private:
    void enter(const QString &name, const QString &text)
    {
        if (name == QLatin1String("rd"))
            countdown.setResetDuration(text.section(u',', 0, 0), text.section(u',', 1));
        else
            countdown.setBoxText(name == QLatin1String("h")   ? Box::Hours
                                 : name == QLatin1String("m") ? Box::Minutes
                                                              : Box::Seconds,
                                 text);
    }
    void act(test::FakeBootClock &clock, const QString &op)
    {
        if (op == QLatin1String("S"))
            countdown.pressStartPause();
        else if (op == QLatin1String("R"))
            countdown.pressStopReset();
        else if (op == QLatin1String("close"))
            countdown.setFinishedBoxOpen(false);
        else if (op.startsWith(u'+'))
            clock.advance(op.mid(1).toLongLong());
        else { // "t" and "tN"
            clock.advance(op.size() > 1 ? op.mid(1).toLongLong() : 1000);
            finished += countdown.tick() == CountdownTick::Finished;
        }
    }
};

QString boxTexts(const Countdown &cd)
{
    return cd.boxText(Box::Hours) + u':' + cd.boxText(Box::Minutes) + u':' +
           cd.boxText(Box::Seconds);
}

TEST(CountdownTest, FollowsEachScript)
{
    // Boxes: the box texts joined by ":"; finished: Finished reports over the whole script.
    // clang-format off
    const struct { const char *script, *boxes, *start, *stop; bool hoursEnabled, minsEnabled; int finished; bool boxOpen; } cases[] = {
        {"", "00:01:00", "Start", "Stop", true, true, 0, false},
        {"S", "00:01:00", "Pause", "Stop", false, true, 0, false},
        {"S t", "00:00:59", "Pause", "Stop", false, false, 0, false},
        {"h=1 m=0 S t", "00:59:59", "Pause", "Stop", false, true, 0, false},
        {"m=75 S t", "00:74:59", "Pause", "Stop", false, true, 0, false},
        {"h=2 m=75 s=80 S t81000", "02:74:59", "Pause", "Stop", true, true, 0, false},
        // Zero finishes on the next tick, once, and then the reset duration shows.
        {"m=0 S t", "00:0:00", "Pause", "Stop", false, false, 1, true},
        {"m=0 S t close", "00:01:00", "Start", "Stop", true, true, 1, false},
        {"m=0 s=1 S t", "00:00:00", "Pause", "Stop", false, false, 0, false},
        {"m=0 s=1 S t t", "00:00:00", "Pause", "Stop", false, false, 1, true},
        {"m=0 s=2 S tx3 close", "00:01:00", "Start", "Stop", true, true, 1, false},
        {"rd=1,30 h=0 m=0 s=2 S tx3 close", "01:30:00", "Start", "Stop", true, true, 1, false},
        // Nothing runs while the Finished box is open: no step, no button.
        {"m=0 S t t5000 S R", "00:0:00", "Pause", "Stop", false, false, 1, true},
        {"m=0 S t close t S t", "00:00:59", "Pause", "Stop", false, false, 1, false},
        // Pause and Stop keep the remainder; Reset and Stop while idle restore 00:01:00.
        {"S t t S", "00:00:58", "Resume", "Reset", false, false, 0, false},
        {"S t t S +5000 S t", "00:00:57", "Pause", "Stop", false, false, 0, false},
        {"S t R", "00:00:59", "Resume", "Reset", false, false, 0, false},
        {"S t R +9000 S t", "00:00:58", "Pause", "Stop", false, false, 0, false},
        {"m=5 S t R R", "00:01:00", "Start", "Stop", true, true, 0, false},
        {"h=3 m=7 s=9 R", "00:01:00", "Start", "Stop", true, true, 0, false},
        // True time: a stall applies its steps at once; zero passed in a stall finishes once.
        {"S t5000", "00:00:55", "Pause", "Stop", false, false, 0, false},
        {"S t1700x3", "00:00:55", "Pause", "Stop", false, false, 0, false},
        {"S t500x3", "00:00:59", "Pause", "Stop", false, false, 0, false},
        {"m=0 s=3 S t10000 t t", "00:00:00", "Pause", "Stop", false, false, 1, true},
        {"m=0 s=3 S t10000 close t", "00:01:00", "Start", "Stop", true, true, 1, false},
        {"h=999 m=999 s=999 S t", "999:999:998", "Pause", "Stop", true, true, 0, false},
        {"h=999 m=999 s=999 S t1000000", "999:998:59", "Pause", "Stop", true, true, 0, false},
        {"h=999 m=999 s=999 S t3657339000", "00:00:00", "Pause", "Stop", false, false, 0, false},
        {"h=999 m=999 s=999 S t3657340000", "00:00:00", "Pause", "Stop", false, false, 1, true},
        {"h=999 m=999 s=999 S t9000000000000", "00:00:00", "Pause", "Stop", false, false, 1, true},
        // Entries: digits only, three at most, empty counts as 0; a disabled box keeps its text.
        {"h=1a2b3c4 m=-5 s=1.5", "123:5:15", "Start", "Stop", true, true, 0, false},
        {"h= m= s=", "::", "Start", "Stop", true, true, 0, false},
        {"h= m=abc s= S t", "::", "Pause", "Stop", false, false, 1, true},
        {"s=99999 S t", "00:01:998", "Pause", "Stop", false, true, 0, false},
        {"m=0 S m=7 s=5 t", "00:00:04", "Pause", "Stop", false, false, 0, false},
        {"S t s=30 t", "00:00:29", "Pause", "Stop", false, false, 0, false},
        // The hidden reset duration loads at once; zero boxes stay enabled only after Reset.
        {"rd=2,30", "02:30:00", "Start", "Stop", true, true, 0, false},
        {"rd=x1y,", "01:00:00", "Start", "Stop", true, false, 0, false},
        {"rd=, R", "00:00:00", "Start", "Stop", true, true, 0, false},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script);
        test::FakeBootClock clock;
        Player run;
        run.play(clock, QString::fromLatin1(c.script));
        const Countdown &cd = run.countdown;
        EXPECT_EQ(boxTexts(cd), QLatin1String(c.boxes));
        EXPECT_EQ(cd.startCaption() + u'/' + cd.stopCaption(),
                  QLatin1String(c.start) + u'/' + QLatin1String(c.stop));
        EXPECT_EQ((std::tuple{cd.isBoxEnabled(Box::Hours), cd.isBoxEnabled(Box::Minutes),
                              run.finished, cd.isFinishedBoxOpen()}),
                  (std::tuple{c.hoursEnabled, c.minsEnabled, c.finished, c.boxOpen}));
        EXPECT_TRUE(cd.isBoxEnabled(Box::Seconds));
    }
}

// One step as the boxes were counted one tick at a time: seconds borrow a
// minute, minutes at 0 borrow an hour.
void stepOnce(int &h, int &m, int &s)
{
    if (s == 0) {
        s = 60;
        if (m == 0 && h > 0) {
            m = 60;
            --h;
        }
        if (m > 0)
            --m;
    }
    --s;
}

TEST(CountdownTest, StallAppliesTheStepsOneByOneWouldGive)
{
    for (const int h0 : {0, 1, 2}) {
        for (const int m0 : {0, 1, 59, 75, 120}) {
            for (const int s0 : {0, 1, 30, 75}) {
                const int total = h0 * 3600 + m0 * 60 + s0;
                for (const int k :
                     {1, 2, 59, 60, 61, 75, 76, 3599, 3600, 3601, 7201, total - 1, total}) {
                    if (k < 1 || k > total)
                        continue;
                    int h = h0, m = m0, s = s0;
                    for (int i = 0; i < k; ++i)
                        stepOnce(h, m, s);
                    test::FakeBootClock clock;
                    Player run;
                    run.play(clock, QString::asprintf("h=%d m=%d s=%d S +%d000", h0, m0, s0, k));
                    ASSERT_EQ(run.countdown.tick(), CountdownTick::Stepped);
                    EXPECT_EQ(run.countdown.readingText(),
                              QString::asprintf("%02d:%02d:%02d", h, m, s))
                        << h0 << ":" << m0 << ":" << s0 << " after " << k;
                }
            }
        }
    }
}

TEST(CountdownTest, TellsWhenTheNextStepIsDue)
{
    const std::pair<const char *, qint64> cases[] = {
        {"", -1},      {"S", 1000},    {"S +900", 100}, {"S +900 S +5000 S", 100},
        {"S t", 1000}, {"S +2500", 0}, {"S t S", -1},   {"m=0 S t", -1},
    };
    for (const auto &[script, due] : cases) {
        test::FakeBootClock clock;
        Player run;
        run.play(clock, QString::fromLatin1(script));
        EXPECT_EQ(run.countdown.msToNextStep(), due) << script;
    }
}

TEST(CountdownTest, ReadingAndEntryValues)
{
    test::FakeBootClock clock;
    Player run;
    run.play(clock, QStringLiteral("h=5 m= s=123"));
    EXPECT_EQ(run.countdown.readingText(), QLatin1String("05:00:123"));
    run.play(clock, QStringLiteral("S t124000"));
    EXPECT_EQ(run.countdown.readingText(), QLatin1String("04:59:59"));
    EXPECT_EQ(Countdown::cleanEntry(QString::fromUtf8("٣4\xc2\xbd")), QLatin1String("4"));
    EXPECT_EQ(Countdown::entryValue(QString()), 0);
    EXPECT_EQ(Countdown::entryValue(QStringLiteral("0999")), 99);
}

} // namespace
} // namespace tavlo
