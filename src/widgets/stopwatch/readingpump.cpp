// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/readingpump.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tavlo {

ReadingPump::ReadingPump(std::unique_ptr<WindowPixels> pixels, Page page,
                         const StopwatchCount &count)
    : m_pixels(std::move(pixels)), m_page(std::move(page)), m_count(count),
      m_stopFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    // Without its stop file or a thread (at a process's limit) it counts as
    // refused, and the window's tick shows the count.
    if (m_stopFd >= 0) {
        try {
            m_thread = std::thread([this] { run(); });
            return;
        } catch (const std::system_error &) {
        }
    }
    m_failed.store(true, std::memory_order_relaxed);
}

ReadingPump::~ReadingPump()
{
    stop();
}

void ReadingPump::stop()
{
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        while (write(m_stopFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    if (m_stopFd >= 0) {
        close(m_stopFd);
        m_stopFd = -1;
    }
}

namespace {

constexpr long kTickNs = 100'000'000;
constexpr long kSecondNs = 1'000'000'000;

timespec later(timespec at, long ns)
{
    at.tv_nsec += ns;
    at.tv_sec += at.tv_nsec / kSecondNs;
    at.tv_nsec %= kSecondNs;
    return at;
}

bool before(const timespec &a, const timespec &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

void ReadingPump::run()
{
    // One sleep a tick, woken early only to stop: a poll on the stop file
    // with the time left to the tick.
    pollfd stopping{m_stopFd, POLLIN, 0};
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    timespec next = later(now, kTickNs);
    for (;;) {
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (!before(now, next)) {
            if (!print()) {
                m_failed.store(true, std::memory_order_relaxed);
                return;
            }
            next = later(next, kTickNs);
            // After a stall (a suspend, a stopped process) the next print
            // is a tick from now, not a burst of the ones missed.
            if (before(next, now))
                next = later(now, kTickNs);
        }
        const long left = (next.tv_sec - now.tv_sec) * kSecondNs + (next.tv_nsec - now.tv_nsec);
        const timespec wait{left / kSecondNs, left % kSecondNs};
        const int woken = ppoll(&stopping, 1, &wait, nullptr);
        if (woken > 0 || (woken < 0 && errno != EINTR))
            return;
    }
}

bool ReadingPump::print()
{
    m_count.tick();
    const QRect changed = m_page.pictures.retext(m_page.line, m_count.displayText(), 1,
                                                 QRect(QPoint(), m_page.panel.size()));
    if (changed.isEmpty())
        return true;
    // Made once, as large as the reading: a picture made on every tick
    // costs more than the print.
    if (m_span.size() != m_page.panel.size())
        m_span = QImage(m_page.panel.size(), m_page.panel.format());
    const QRect span(QPoint(), changed.size());
    m_page.pictures.printOver(m_span, span, m_page.panel, changed.topLeft(), -changed.topLeft(),
                              m_page.line.text, m_page.line.places);
    return m_pixels->put(m_span, span, m_page.at + changed.topLeft());
}

} // namespace tavlo
