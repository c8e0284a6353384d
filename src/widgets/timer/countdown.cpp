// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/countdown.h"

#include "platform/bootclock.h"

#include <algorithm>

namespace tavlo {
namespace {

struct Duration
{
    qint64 hours = 0;
    qint64 mins = 0;
    qint64 secs = 0;
    qint64 totalSecs() const { return hours * 3600 + mins * 60 + secs; }
};

// The duration after `steps` one-second steps (at most its total). Each step
// takes exactly one second off the total, but the boxes keep what was typed:
// seconds run down first, then minutes borrow one at a time (so 75 minutes
// stay 75, not 1:15), and only hours borrow into a plain 59:59.
Duration stepDown(Duration d, qint64 steps)
{
    if (steps <= d.secs) {
        d.secs -= steps;
        return d;
    }
    steps -= d.secs;
    if (steps <= d.mins * 60) {
        d.mins -= (steps + 59) / 60;
        d.secs = (60 - steps % 60) % 60;
        return d;
    }
    const qint64 rest = d.hours * 3600 - (steps - d.mins * 60);
    return {rest / 3600, rest % 3600 / 60, rest % 60};
}

QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

} // namespace

Countdown::Countdown()
{
    reset();
}

void Countdown::pressStartPause()
{
    if (m_boxOpen)
        return;
    if (m_state == State::Counting)
        pause();
    else
        startCounting();
}

void Countdown::pressStopReset()
{
    if (m_boxOpen)
        return;
    if (m_state == State::Counting)
        pause();
    else
        reset();
}

CountdownTick Countdown::tick()
{
    if (m_state != State::Counting || m_boxOpen || m_finished)
        return CountdownTick::Nothing;
    const qint64 due = countedMs() / 1000 - m_stepsApplied;
    if (due <= 0)
        return CountdownTick::Nothing;
    m_stepsApplied += due;

    const Duration now{value(CountdownBox::Hours), value(CountdownBox::Minutes),
                       value(CountdownBox::Seconds)};
    const qint64 total = now.totalSecs();
    if (total > 0) {
        const Duration left = stepDown(now, std::min(due, total));
        m_boxes[index(CountdownBox::Hours)] = twoDigits(left.hours);
        m_boxes[index(CountdownBox::Minutes)] = twoDigits(left.mins);
        m_boxes[index(CountdownBox::Seconds)] = twoDigits(left.secs);
        m_hoursEnabled = left.hours != 0;
        m_minsEnabled = left.mins != 0;
    }
    // The step after the one that reached zero finishes, as the message comes
    // one tick after the display reads 00:00:00.
    if (due <= total)
        return CountdownTick::Stepped;
    m_finished = true;
    m_boxOpen = true;
    return CountdownTick::Finished;
}

void Countdown::setFinishedBoxOpen(bool open)
{
    m_boxOpen = open;
    if (!open && m_finished)
        reset();
}

QString Countdown::setBoxText(CountdownBox box, const QString &text)
{
    if (isBoxEnabled(box))
        m_boxes[index(box)] = cleanEntry(text);
    return boxText(box);
}

void Countdown::setResetDuration(const QString &dd, const QString &ss)
{
    m_dd = cleanEntry(dd);
    m_ss = cleanEntry(ss);
    loadResetDuration();
}

QString Countdown::startCaption() const
{
    switch (m_state) {
    case State::Counting:
        return QStringLiteral("Pause");
    case State::Paused:
        return QStringLiteral("Resume");
    case State::Idle:
        break;
    }
    return QStringLiteral("Start");
}

QString Countdown::stopCaption() const
{
    return m_state == State::Paused ? QStringLiteral("Reset") : QStringLiteral("Stop");
}

bool Countdown::isBoxEnabled(CountdownBox box) const
{
    switch (box) {
    case CountdownBox::Hours:
        return m_hoursEnabled;
    case CountdownBox::Minutes:
        return m_minsEnabled;
    case CountdownBox::Seconds:
        break;
    }
    return true;
}

QString Countdown::readingText() const
{
    return twoDigits(value(CountdownBox::Hours)) + QLatin1Char(':') +
           twoDigits(value(CountdownBox::Minutes)) + QLatin1Char(':') +
           twoDigits(value(CountdownBox::Seconds));
}

qint64 Countdown::msToNextStep() const
{
    if (m_state != State::Counting || m_boxOpen || m_finished)
        return -1;
    return std::max<qint64>(0, (m_stepsApplied + 1) * 1000 - countedMs());
}

QString Countdown::cleanEntry(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (digits.size() == kMaxEntryDigits)
            break;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

int Countdown::entryValue(const QString &text)
{
    const QString digits = cleanEntry(text);
    return digits.isEmpty() ? 0 : digits.toInt();
}

void Countdown::startCounting()
{
    if (m_state == State::Idle) {
        m_pastSpansMs = 0;
        m_stepsApplied = 0;
    }
    m_spanStartMs = bootClock().nowMs();
    m_state = State::Counting;
    m_hoursEnabled = value(CountdownBox::Hours) != 0;
    m_minsEnabled = value(CountdownBox::Minutes) != 0;
}

void Countdown::pause()
{
    m_pastSpansMs = countedMs();
    m_state = State::Paused;
}

void Countdown::reset()
{
    m_state = State::Idle;
    m_finished = false;
    m_boxOpen = false;
    m_pastSpansMs = 0;
    m_stepsApplied = 0;
    loadResetDuration();
    m_hoursEnabled = true;
    m_minsEnabled = true;
}

void Countdown::loadResetDuration()
{
    m_boxes[index(CountdownBox::Hours)] = twoDigits(entryValue(m_dd));
    m_boxes[index(CountdownBox::Minutes)] = twoDigits(entryValue(m_ss));
    m_boxes[index(CountdownBox::Seconds)] = QStringLiteral("00");
    m_hoursEnabled = value(CountdownBox::Hours) != 0;
    m_minsEnabled = value(CountdownBox::Minutes) != 0;
}

qint64 Countdown::countedMs() const
{
    if (m_state != State::Counting)
        return m_pastSpansMs;
    return m_pastSpansMs + std::max<qint64>(0, bootClock().nowMs() - m_spanStartMs);
}

} // namespace tavlo
