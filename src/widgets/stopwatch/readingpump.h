// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/characterpictures.h"
#include "platform/x11window.h"
#include "widgets/stopwatch/stopwatchcount.h"

#include <QImage>
#include <QPoint>
#include <atomic>
#include <thread>

namespace tavlo {

// Prints a running count onto its window ten times a second from a thread
// of its own. A wake of the window's event loop costs twice what the print
// does; the thread's own wake costs less than half of it.
class ReadingPump final
{
public:
    // All the print needs, copied on the interface thread: the characters
    // (drawn and measured), the panel's pixels under the reading, where the
    // reading stands in the window, and what it shows now.
    struct Page
    {
        CharacterPictures pictures;
        QImage panel;
        QPoint at;
        CharacterPictures::Line line;
    };

    // Starts printing count (running) onto window; pixels takes what window
    // takes. Check pixels.usable() first.
    ReadingPump(std::unique_ptr<WindowPixels> pixels, Page page, const StopwatchCount &count);
    // Stops and waits for the print under way, a few microseconds.
    ~ReadingPump();
    ReadingPump(const ReadingPump &) = delete;
    ReadingPump &operator=(const ReadingPump &) = delete;

    // What the reading shows after the last print; valid once stopped.
    const CharacterPictures::Line &line() const { return m_page.line; }
    // True once the window refused a print; the thread has ended.
    bool failed() const { return m_failed.load(std::memory_order_relaxed); }
    void stop();

private:
    void run();
    bool print();

    std::unique_ptr<WindowPixels> m_pixels;
    Page m_page;
    StopwatchCount m_count;
    QImage m_span;
    // Written once to stop the thread: it sleeps polling this.
    int m_stopFd = -1;
    std::atomic<bool> m_failed{false};
    std::thread m_thread;
};

} // namespace tavlo
