// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the stopwatch and the countdown on real timers while the interface
// thread stalls now and then, and prints how far their readings are from the
// true time, beside what counting timer events would show.
// Usage: tavlo_timingdrift [SECONDS] (default 10)
#include "widgets/stopwatch/stopwatchcount.h"
#include "widgets/timer/countdown.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

// Blocks the thread as a busy handler, a window drag or a slow disk would.
void stall(int ms)
{
    QThread::msleep(ms);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qBound(2, QByteArray(argv[1]).toInt(), 600) : 10;
    const qint64 runMs = seconds * 1000LL;

    // Stopwatch: 100 ms ticks, every fifth tick's handler stalls 700 ms.
    tavlo::StopwatchCount stopwatch;
    QElapsedTimer truth;
    int ticks = 0;
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        stopwatch.tick();
        if (++ticks % 5 == 0)
            stall(700);
        if (truth.elapsed() >= runMs) {
            tick.stop();
            stopwatch.pressStartStop();
            const qint64 trueMs = truth.elapsed();
            std::printf("stopwatch over %.2f s (a 700 ms stall every 5th tick): reads %s, "
                        "error %lld ms; counting %d ticks would read %s\n",
                        trueMs / 1000.0, qPrintable(stopwatch.displayText()),
                        static_cast<long long>(stopwatch.elapsedMs() - trueMs), ticks,
                        qPrintable(tavlo::StopwatchCount::formatElapsed(ticks * 100LL)));
            app.quit();
        }
    });
    truth.start();
    stopwatch.pressStartStop();
    tick.start();
    app.exec();

    // Countdown of the same length: 1000 ms ticks, every third tick stalls 2500 ms.
    tavlo::Countdown countdown;
    countdown.setBoxText(tavlo::CountdownBox::Minutes, QString::number(seconds / 60));
    countdown.setBoxText(tavlo::CountdownBox::Seconds, QString::number(seconds % 60));
    const QString startReading = countdown.readingText();
    ticks = 0;
    double finishedAt = 0;
    double tickCountFinishedAt = 0;
    QTimer second;
    second.setInterval(1000);
    QObject::connect(&second, &QTimer::timeout, [&] {
        // Counting ticks, the message comes on tick seconds + 1.
        if (++ticks == seconds + 1)
            tickCountFinishedAt = truth.elapsed() / 1000.0;
        if (countdown.tick() == tavlo::CountdownTick::Finished) {
            finishedAt = truth.elapsed() / 1000.0;
            countdown.setFinishedBoxOpen(false);
        }
        if (finishedAt > 0 && tickCountFinishedAt > 0) {
            second.stop();
            std::printf("countdown %s (a 2500 ms stall every 3rd tick): Finished after %.2f s, "
                        "due after %d s; counting ticks would finish after %.2f s\n",
                        qPrintable(startReading), finishedAt, seconds + 1, tickCountFinishedAt);
            app.quit();
            return;
        }
        if (ticks % 3 == 0)
            stall(2500);
    });
    truth.restart();
    countdown.pressStartPause();
    second.start();
    app.exec();
    return 0;
}
