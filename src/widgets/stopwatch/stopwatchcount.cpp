// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/stopwatchcount.h"

#include "platform/bootclock.h"

#include <algorithm>

namespace tavlo {

StopwatchCount::StopwatchCount() : m_countText(QStringLiteral("00:00.00")) {}

void StopwatchCount::pressStartStop()
{
    if (m_running) {
        m_doneMs = elapsedMs();
        m_running = false;
        // Stop shows the full count at once, not the one of the last tick.
        m_countText = formatElapsed(m_doneMs);
    } else {
        m_spanStartMs = bootClock().nowMs();
        m_running = true;
    }
    m_lapHeld = false;
}

void StopwatchCount::pressLapReset()
{
    if (m_running) {
        m_countText = formatElapsed(elapsedMs());
        m_heldText = m_countText;
        m_lapHeld = true;
    } else {
        m_doneMs = 0;
        // A colon in place of the point until the first tick of the next run.
        m_countText = QStringLiteral("00:00:00");
    }
}

bool StopwatchCount::tick()
{
    if (!m_running)
        return false;
    m_countText = formatElapsed(elapsedMs());
    return !m_lapHeld;
}

QString StopwatchCount::startCaption() const
{
    return m_running ? QStringLiteral("Stop") : QStringLiteral("Start");
}

QString StopwatchCount::stopCaption() const
{
    return m_running ? QStringLiteral("Lap") : QStringLiteral("Reset");
}

qint64 StopwatchCount::elapsedMs() const
{
    if (!m_running)
        return m_doneMs;
    return m_doneMs + std::max<qint64>(0, bootClock().nowMs() - m_spanStartMs);
}

QString StopwatchCount::formatElapsed(qint64 ms)
{
    const qint64 tenths = std::max<qint64>(0, ms) / 100;
    const QLatin1Char zero('0');
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / 600, 2, 10, zero)
        .arg(tenths / 10 % 60, 2, 10, zero)
        .arg(tenths % 10 * 6, 2, 10, zero);
}

} // namespace tavlo
