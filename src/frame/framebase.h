// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/cmlib_registry.h"
#include "frame/widgetform.h"

#include <QPoint>
#include <QRect>
#include <optional>
#include <utility>

class QKeyEvent;
class QMouseEvent;

namespace tavlo {

class Label;
class LineControl;
class PictureBox;
class ShapeControl;

// The shades of one theme colour at one contrast, as every widget paints them.
struct ThemeShades
{
    OleColor back = 0;      // window background and border
    OleColor separator = 0; // the light line under the time strip
    OleColor shadow = 0;    // the fixed family's shadow line
    OleColor timeFrom = 0;  // the time strip's gradient, top to bottom
    OleColor timeTo = 0;
    OleColor dateFrom = 0; // the date strip's gradient, bottom to top
    OleColor dateTo = 0;
    OleColor grip = 0; // the resizable family's corner grip
    bool operator==(const ThemeShades &) const = default;
};

// The shades of theme colour t at contrast c.
ThemeShades themeShades(OleColor t, int32_t c);

// What both widget families share: a borderless, translucent window with a
// time strip above a date strip, themed from one colour, its settings loaded
// in the same steps, dragged with the mouse and pulled back onto the screen.
class FrameBase : public WidgetForm, public FormPlacement
{
    Q_OBJECT
public:
    explicit FrameBase(const QString &formName, QWidget *parent = nullptr);
    ~FrameBase() override;

    // WidgetInterface
    void ColorUpdate() override;
    OleColor lngTHEMECOLOR() const override { return m_themeColor; }
    void setLngTHEMECOLOR(OleColor colour) override { m_themeColor = colour; }
    uint8_t lngTRANSVAL() const override { return m_transVal; }
    void setLngTRANSVAL(uint8_t alpha) override { m_transVal = alpha; }
    int32_t lngTRANSVALCONTRAST() const override { return m_contrast; }
    void setLngTRANSVALCONTRAST(int32_t contrast) override { m_contrast = contrast; }
    uint8_t lngTRANSVALCUST() const override { return m_transValCust; }
    void setLngTRANSVALCUST(uint8_t alpha) override { m_transValCust = alpha; }
    QString strSELPRESET() const override { return m_selPreset; }
    void setStrSELPRESET(const QString &preset) override { m_selPreset = preset; }
    Label *timeLabel() const override { return lblTIME; }
    Label *dateLabel() const override { return lblDATE; }

    // FormPlacement, in twips
    QString formName() const override { return objectName(); }
    double formLeft() const override;
    double formTop() const override;
    void setFormLeft(double twips) override;
    void setFormTop(double twips) override;

    OleColor BackColor() const { return m_backColor; }

    // What the arrow keys do to the window now.
    enum class KeyboardMode { None, Move, Resize };
    KeyboardMode keyboardMode() const { return m_keyboardMode; }
    // Alt+F7: the arrows move the window 10 px a press (1 px with Shift);
    // Enter keeps the place, Escape puts it back.
    void startKeyboardMove();
    // Alt+F8: the same for the size, from the bottom-right corner, where
    // the family lets the user size the window.
    void startKeyboardResize();

protected:
    // The shared load steps, in the order the families run them.
    void loadPreset();
    // Alignment, font, size and colour of the date and the time label.
    void loadTextSettings();
    void loadThemeColour();
    // Writes the defaults of "Program-Launch" and "On-Top" when they are
    // missing, then brings the start-at-login entry in line.
    void writeFirstRunDefaults();
    // The chosen alpha and the contrast; the alpha is applied from now on.
    void loadTransparency();

    // Colours the kind's own parts after the shared ones.
    virtual void colourParts(const ThemeShades &shades);
    // The window background and its border; repaints only when it changes.
    void applyBackColor(OleColor back);

    // Moves the window up when its bottom edge lies below the screen.
    void pullBackOnScreen();
    // A left press arms the drag; it starts once the mouse moves, so a
    // double click still reaches the window.
    void armDrag();
    // Moves on an armed drag; true when the event was taken for it.
    bool dragOnMove(QMouseEvent *event);
    // Notes a press on the window: the current widget, and where a drag holds it.
    void notePress(QMouseEvent *event);
    // The button number a press reports (1 left, 2 right, 4 middle).
    static int vbButton(Qt::MouseButton button);

    // The Menu key and Shift+F10: what the right button does on the window.
    virtual void menuFromKeyboard() = 0;
    // The sizes a keyboard resize keeps to; nullopt where the window has a
    // fixed size.
    virtual std::optional<std::pair<QSize, QSize>> keyboardSizeRange() const { return {}; }
    // The kind's word in the window's accessible name ("clock").
    void setAccessibleKind(const QString &kind);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    PictureBox *picTIME = nullptr;
    PictureBox *picDATE = nullptr;
    Label *lblTIME = nullptr;
    Label *lblDATE = nullptr;
    LineControl *lnesep = nullptr;
    ShapeControl *shpBORDER = nullptr;

private:
    void loadLabel(Label *label, QLatin1String align, QLatin1String font, QLatin1String size,
                   QLatin1String colour);

    void startKeyboardMode(KeyboardMode mode);
    // Takes a key of a keyboard move or resize.
    void keyboardModeKey(QKeyEvent *event);
    void endKeyboardMode(bool keep);

    KeyboardMode m_keyboardMode = KeyboardMode::None;
    QRect m_keyboardStart;
    bool m_dragArmed = false;
    QPoint m_pressGlobal;
    QPoint m_lastPressGlobal;

    OleColor m_themeColor = 0;
    uint8_t m_transVal = 255;
    int32_t m_contrast = 33;
    uint8_t m_transValCust = 211;
    QString m_selPreset;
    OleColor m_backColor = 0;
};

} // namespace tavlo
