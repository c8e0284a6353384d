// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/noteautosave.h"

#include <algorithm>

namespace tavlo {

NoteAutosave::NoteAutosave(bool fileHoldsText) : m_edits(fileHoldsText ? 0 : 1) {}

void NoteAutosave::edited(TimePoint at)
{
    ++m_edits;
    if (!m_firstUnsaved)
        m_firstUnsaved = at;
    // Waiting for a pause, but not for ever while typing goes on.
    m_quietDue = std::min(at + kQuiet, *m_firstUnsaved + kLongest);
}

void NoteAutosave::flush(TimePoint at)
{
    if (isDirty())
        m_flushDue = m_flushDue ? std::min(*m_flushDue, at) : at;
}

std::optional<NoteAutosave::TimePoint> NoteAutosave::dueAt() const
{
    if (m_writing || !isDirty())
        return std::nullopt;
    if (m_flushDue && m_quietDue)
        return std::min(*m_flushDue, *m_quietDue);
    return m_flushDue ? m_flushDue : m_quietDue;
}

bool NoteAutosave::isDue(TimePoint now) const
{
    const auto due = dueAt();
    return due && *due <= now;
}

quint64 NoteAutosave::beginWrite()
{
    m_writing = true;
    m_firstUnsaved.reset();
    m_quietDue.reset();
    m_flushDue.reset();
    return m_edits;
}

void NoteAutosave::finishWrite(quint64 ticket, bool ok, TimePoint at)
{
    m_writing = false;
    if (ok) {
        m_saved = std::max(m_saved, ticket);
        return;
    }
    // Edits made during the write have set their own time; else try again later.
    if (!m_quietDue)
        m_quietDue = at + kQuiet;
}

} // namespace tavlo
