// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/stopwatchcount.h"

#include "platform/bootclock.h"

#include <algorithm>
#include <charconv>
#include <iterator>

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
    // Written by hand: this runs ten times a second.
    const qint64 tenths = std::max<qint64>(0, ms) / 100;
    char buffer[32];
    char *out = buffer;
    const auto twoOrMore = [&out, &buffer](qint64 value) {
        if (value < 10)
            *out++ = '0';
        out = std::to_chars(out, std::end(buffer), value).ptr;
    };
    twoOrMore(tenths / 600);
    *out++ = ':';
    twoOrMore(tenths / 10 % 60);
    *out++ = '.';
    twoOrMore(tenths % 10 * 6);
    return QString::fromLatin1(buffer, out - buffer);
}

} // namespace tavlo
