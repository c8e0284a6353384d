// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/resizableframe.h"
#include "widgets/timer/countdown.h"

class QLineEdit;
class QTimer;

namespace tavlo {

class DurationBox;
class KeyLabel;

// The countdown timer: hours, minutes and seconds in three boxes the user
// types into, counted down to zero, then "Finished". The steps are paced by
// the boot clock, so a stalled or suspended machine shows the true remaining
// time at the next tick.
class fapp_TIMER final : public ResizableFrame
{
    Q_OBJECT
public:
    explicit fapp_TIMER(QWidget *parent = nullptr);

    void updateparts() override;
    void Form_Load() override;

    const Countdown &countdown() const { return m_countdown; }

    void btnSTART_Click();
    void btnSTOP_Click();

    // The text of the message shown when the count has run out.
    static QString finishedText();

protected:
    void colourParts(const ThemeShades &shades) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void connectParts();
    void tmrTimer_Timer();
    void box_Edited(CountdownBox box, const QString &text);
    void dd_LostFocus();
    // Shows the countdown's boxes, captions and enabled states.
    void showState();
    // Arms tmrTimer for the next step that falls due, or stops it.
    void scheduleTick();
    void showFinished();
    void copyReading();
    // Handles the window's keys, also in the boxes; true when the key was taken.
    bool handleKey(QKeyEvent *event);

    Countdown m_countdown;
    DurationBox *txtHOURS = nullptr;
    DurationBox *txtMINS = nullptr;
    DurationBox *txtSECS = nullptr;
    Label *lblSEP1 = nullptr;
    Label *lblSEP2 = nullptr;
    QLineEdit *dd = nullptr;
    QLineEdit *ss = nullptr;
    KeyLabel *btnSTART = nullptr;
    KeyLabel *btnSTOP = nullptr;
    Label *lblSIZE = nullptr;
    QTimer *tmrTimer = nullptr;
};

} // namespace tavlo
