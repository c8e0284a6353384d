// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"
#include "settings/settingspage.h"

class QLineEdit;
class QScrollBar;

namespace tavlo {

class ButtonPalette;
class ProfileFile;
struct WidgetValues;

// The "Preset" page: theme colour, transparency and contrast, and the caption
// under which Add/Update saves a preset.
class PresetPage final : public SettingsPage
{
    Q_OBJECT
public:
    explicit PresetPage(QWidget *parent = nullptr);

    // Takes the sliders, the colour and the preset's caption from widget; a
    // slider that moves pushes its value back into widget.
    void load(WidgetForm *widget) override;
    void write(WidgetValues &values) const;
    // Pushes the transparency into the widget again.
    void hscVALUE_Change(int value);
    // The preset's main section from the controls.
    void writePreset(ProfileFile &preset) const;
    // Takes the current preset file's main section into the controls and the widget.
    void applyPreset();
    void paint(const QColor &face) override;

    QGroupBox *fraTRANS = nullptr;
    QWidget *picPRESETSET = nullptr;
    QLabel *lblCOLOR = nullptr;
    ButtonPalette *btnpCOLOR = nullptr;
    QLabel *lblVALUE = nullptr;
    QScrollBar *hscVALUE = nullptr;
    QLabel *lblCONTRAST = nullptr;
    QScrollBar *hscCONTRAST = nullptr;
    QGroupBox *fraPRESETMAKE = nullptr;
    QWidget *picfraPRESETNEW = nullptr;
    QLabel *lblNAME = nullptr;
    QLineEdit *txtPRESETNEW = nullptr;
    QPushButton *btnNEW = nullptr;

Q_SIGNALS:
    // Add/Update: save the controls as the preset named in txtPRESETNEW.
    void addRequested();

private:
    void hscCONTRAST_Change(int value);
    void btnpCOLOR_ColorChosen(OleColor colour);
};

} // namespace tavlo
