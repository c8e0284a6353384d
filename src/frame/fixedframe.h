#pragma once

#include "app/cmlib_registry.h"
#include "frame/widgetform.h"

class QTimer;

namespace tavlo {

class Label;
class LineControl;
class PictureBox;
class ShapeControl;

// The frame of the fixed-size widgets: a borderless, translucent window with
// a time strip above a date strip, themed from one colour, dragged with the
// mouse, its size following its content.
class FixedFrame : public WidgetForm, public FormPlacement
{
    Q_OBJECT
public:
    explicit FixedFrame(const QString &formName, QWidget *parent = nullptr);
    ~FixedFrame() override;

    // WidgetInterface
    void ColorUpdate() override;
    void FormUpdate() override;
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

    void Form_Load() override;
    void saveOnUnload() override;

    // FormPlacement, in twips
    QString formName() const override { return objectName(); }
    double formLeft() const override;
    double formTop() const override;
    double formWidth() const override { return m_formWidth; }
    double formHeight() const override { return m_formHeight; }
    void setFormLeft(double twips) override;
    void setFormTop(double twips) override;
    void setFormWidth(double twips) override { m_formWidth = twips; }
    void setFormHeight(double twips) override { m_formHeight = twips; }
    int formWindowState() const override { return 0; }
    void setFormWindowState(int) override {}

    OleColor BackColor() const { return m_backColor; }

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
    // The settings value name of this widget carrying its number ("0State").
    QString numbered(QLatin1String name) const;

    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    PictureBox *picTIME = nullptr;
    PictureBox *picDATE = nullptr;
    Label *lblTIME = nullptr;
    Label *lblSECS = nullptr;
    Label *lblSTYLE = nullptr;
    Label *lblDATE = nullptr;
    LineControl *lneshad = nullptr;
    LineControl *lnesep = nullptr;
    ShapeControl *shpBORDER = nullptr;
    QTimer *tmrTimer1 = nullptr;

private:
    void loadLabel(Label *label, QLatin1String align, QLatin1String font, QLatin1String size,
                   QLatin1String colour);

    // A left press arms the drag; it starts once the mouse moves, so a
    // double click still reaches the window.
    bool m_dragArmed = false;
    QPoint m_pressGlobal;
    QPoint m_lastPressGlobal;

    OleColor m_themeColor = 0;
    uint8_t m_transVal = 255;
    int32_t m_contrast = 33;
    uint8_t m_transValCust = 211;
    QString m_selPreset;
    OleColor m_backColor = 0;
    double m_formWidth = 0;
    double m_formHeight = 0;
};

} // namespace tavlo
