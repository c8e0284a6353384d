// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace tavlo {

// The stopwatch without its window: its two buttons and the reading it shows.
// The count is time on the boot clock summed over the running spans, so a
// busy or suspended machine loses none of it; the window's 100 ms tick only
// refreshes the reading.
class StopwatchCount final
{
public:
    // Starts stopped at "00:00.00".
    StopwatchCount();

    // btnSTART: Start when stopped, Stop when running. Both end a held Lap reading.
    void pressStartStop();
    // btnSTOP: Lap when running (holds the reading of the press), Reset when stopped.
    void pressLapReset();
    // The counting tick: refreshes the count; true when the display is to be
    // drawn, false while stopped or while a Lap reading is held.
    bool tick();

    bool isRunning() const { return m_running; }
    // True while the display holds a Lap reading.
    bool isLapHeld() const { return m_lapHeld; }
    // Captions of btnSTART ("Start" or "Stop") and btnSTOP ("Reset" or "Lap").
    QString startCaption() const;
    QString stopCaption() const;
    // The reading to show and to copy: the held Lap reading, or else the count
    // as of the last tick or press. Holds through any number of redraws.
    const QString &displayText() const { return m_lapHeld ? m_heldText : m_countText; }
    // Time counted up to now, in milliseconds.
    qint64 elapsedMs() const;

    // Reading of an elapsed time: minutes (two digits or more), seconds and
    // tenths written as sixtieths in steps of 6, as "01:23.42".
    static QString formatElapsed(qint64 ms);

private:
    bool m_running = false;
    bool m_lapHeld = false;
    qint64 m_doneMs = 0; // the finished running spans since Reset
    qint64 m_spanStartMs = 0;
    QString m_countText;
    QString m_heldText;
};

} // namespace tavlo
