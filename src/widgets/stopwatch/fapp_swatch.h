// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/resizableframe.h"
#include "widgets/stopwatch/stopwatchcount.h"

class QTimer;

namespace tavlo {

class KeyLabel;
class ReadingText;

// The stopwatch: the elapsed time printed on the body, a Start/Stop and a
// Lap/Reset button below it. The count runs on the boot clock; the 100 ms
// tick only shows it, and redraws nothing but the reading.
class fapp_SWATCH final : public ResizableFrame
{
    Q_OBJECT
public:
    explicit fapp_SWATCH(QWidget *parent = nullptr);

    void updateparts() override;

    const StopwatchCount &count() const { return m_count; }
    // The reading as it stands on the body.
    QString shownReading() const;

    void btnSTART_Click();
    void btnSTOP_Click();

protected:
    void colourParts(const ThemeShades &shades) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void connectParts();
    void tmrSTOPWATCH_Timer();
    // Chooses who shows a running count: the reading's own thread, or the
    // 100 ms tick where that cannot print (and while a Lap reading is held).
    void chooseTicker();
    void tickAgain();
    // Puts the reading (or the held Lap reading) on the body.
    void drawDisplay();
    void copyReading();

    StopwatchCount m_count;
    KeyLabel *btnSTART = nullptr;
    KeyLabel *btnSTOP = nullptr;
    QTimer *tmrSTOPWATCH = nullptr;
    QTimer *tmrTimer = nullptr;
    Label *lblSIZE = nullptr;
    int m_ticksSinceLayout = 0;
    // The printed reading: a part of its own, so a tick repaints only its
    // changed characters.
    ReadingText *m_reading = nullptr;
};

} // namespace tavlo
