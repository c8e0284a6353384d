// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace tavlo {

// The countdown timer's duration boxes: txtHOURS, txtMINS, txtSECS.
enum class CountdownBox { Hours, Minutes, Seconds };

// What a countdown tick did.
enum class CountdownTick {
    Nothing,  // no step was due: nothing to redraw
    Stepped,  // the boxes count down: redraw them
    Finished, // zero was reached or passed: show "Finished"
};

// The countdown timer without its window: the three duration boxes, the two
// buttons and the hidden reset duration (dd, ss). The boxes step down one
// second at a time as typed (75 minutes count 75:00, 74:59, ... without
// carrying into hours), but the steps are paced by the boot clock: a tick
// applies one step for each whole second counted since Start, paused spans
// left out, so after a stall or a suspend the boxes show the true remaining time.
class Countdown final
{
public:
    enum class State { Idle, Counting, Paused };

    // Most digits a box or a reset field takes.
    static constexpr int kMaxEntryDigits = 3;

    // Idle at the reset duration 00:01:00.
    Countdown();

    // btnSTART: Start or Resume begins counting, Pause pauses.
    void pressStartPause();
    // btnSTOP: Stop while counting pauses; Reset otherwise goes idle at the
    // reset duration with the hour and minute boxes enabled.
    void pressStopReset();
    // The countdown tick: applies the steps due. Finished comes once per run;
    // the Finished box then counts as open until setFinishedBoxOpen(false).
    CountdownTick tick();
    // While the Finished box is open no step runs and the buttons do nothing;
    // closing it after a finished run leaves the widget idle at the reset duration.
    void setFinishedBoxOpen(bool open);

    // Takes text typed into a box, cleaned by cleanEntry(); a disabled box
    // keeps its text. Returns the text the box holds now.
    QString setBoxText(CountdownBox box, const QString &text);
    // Sets the hidden dd (hours) and ss (minutes) texts, cleaned, and loads
    // the reset duration from them, as leaving either box does.
    void setResetDuration(const QString &dd, const QString &ss);

    State state() const { return m_state; }
    // Captions of btnSTART ("Start", "Pause" or "Resume") and btnSTOP ("Stop" or "Reset").
    QString startCaption() const;
    QString stopCaption() const;
    const QString &boxText(CountdownBox box) const { return m_boxes[index(box)]; }
    bool isBoxEnabled(CountdownBox box) const;
    const QString &ddText() const { return m_dd; }
    const QString &ssText() const { return m_ss; }
    bool isFinishedBoxOpen() const { return m_boxOpen; }
    // The boxes as one reading for copying, two digits or more each: "00:14:59".
    QString readingText() const;
    // Milliseconds until the next step falls due; -1 when no step can come.
    qint64 msToNextStep() const;

    // What a box keeps of typed text: its digits, the first three of them.
    static QString cleanEntry(const QString &text);
    // Value of a box text; an empty or unreadable text counts as 0.
    static int entryValue(const QString &text);

private:
    static constexpr int index(CountdownBox box) { return static_cast<int>(box); }
    int value(CountdownBox box) const { return entryValue(boxText(box)); }
    void startCounting();
    void pause();
    void reset();
    void loadResetDuration();
    qint64 countedMs() const;

    State m_state = State::Idle;
    std::array<QString, 3> m_boxes;
    bool m_hoursEnabled = true;
    bool m_minsEnabled = true;
    QString m_dd = QStringLiteral("00");
    QString m_ss = QStringLiteral("1");

    qint64 m_pastSpansMs = 0; // counting time of this run before the current span
    qint64 m_spanStartMs = 0;
    qint64 m_stepsApplied = 0;
    bool m_finished = false; // Finished was reported; the run ends when its box closes
    bool m_boxOpen = false;
};

} // namespace tavlo
