// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/framebase.h"

class QTimer;

namespace tavlo {

// The frame of the fixed-size widgets: its size follows its content, a
// shadow line lies on the seam of the strips, and a half-second timer lays
// the parts out.
class FixedFrame : public FrameBase
{
    Q_OBJECT
public:
    explicit FixedFrame(const QString &formName, QWidget *parent = nullptr);
    ~FixedFrame() override;

    // WidgetInterface
    void FormUpdate() override;
    QTimer *partsTimer() const override { return tmrTimer1; }

    void Form_Load() override;
    void saveOnUnload() override;

    // FormPlacement, in twips: the size is the one the layout gives.
    double formWidth() const override { return m_formWidth; }
    double formHeight() const override { return m_formHeight; }
    void setFormWidth(double twips) override { m_formWidth = twips; }
    void setFormHeight(double twips) override { m_formHeight = twips; }
    int formWindowState() const override { return 0; }
    void setFormWindowState(int) override {}

protected:
    // The kind's first texts, set once before the timer runs.
    virtual void loadFirstTexts() = 0;
    // Where the form's size and the parts' places are set; ends with sync().
    void FrameGeometry();
    // Pushes every control's model into its widget and the form size into the window.
    void sync();
    // Pull back onto the screen, then drag (1) or open the settings (2).
    void MouseAction(int button);
    bool timerRunning() const;
    // Each tick of the half-second timer; the layout by default.
    virtual void tmrTimer1_Timer();

    void colourParts(const ThemeShades &shades) override;
    void menuFromKeyboard() override { MouseAction(2); }
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    LineControl *lneshad = nullptr;
    QTimer *tmrTimer1 = nullptr;

private:
    double m_formWidth = 0;
    double m_formHeight = 0;
};

} // namespace tavlo
