// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <chrono>
#include <optional>

namespace tavlo {

// Decides when a note's text goes to its file: kQuiet after the last
// keystroke, at most kLongest after the first unsaved one while typing goes
// on, and at once when asked to flush (the note loses focus, is closed or
// rebound, or the program ends). The caller tells it the time, so any clock
// drives it, and runs the writes, on a timer or on another thread.
class NoteAutosave final
{
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    static constexpr std::chrono::milliseconds kQuiet{2000};
    // A crash while typing goes on loses no more than a pause would.
    static constexpr std::chrono::milliseconds kLongest{2000};

    // fileHoldsText is false for a note whose file is yet to be written: the
    // first flush writes it even when nothing was typed.
    explicit NoteAutosave(bool fileHoldsText = true);

    // The text changed at the given time.
    void edited(TimePoint at);
    // A write becomes due at once, if the file is behind the text.
    void flush(TimePoint at);

    // When the next write is due; nullopt while the file holds the text, no
    // write has been asked for yet, or a write is under way.
    std::optional<TimePoint> dueAt() const;
    bool isDue(TimePoint now) const;
    // Whether the file is behind the text.
    bool isDirty() const { return m_edits != m_saved; }
    bool isWriting() const { return m_writing; }

    // The caller takes the text as it is now and writes it; pass the ticket
    // to finishWrite.
    quint64 beginWrite();
    // The write begun with ticket ended at the given time. A failed one is
    // tried again kQuiet later, or at once when a flush was asked meanwhile.
    void finishWrite(quint64 ticket, bool ok, TimePoint at);

private:
    quint64 m_edits = 0;
    quint64 m_saved = 0;
    bool m_writing = false;
    std::optional<TimePoint> m_firstUnsaved;
    std::optional<TimePoint> m_quietDue;
    std::optional<TimePoint> m_flushDue;
};

} // namespace tavlo
