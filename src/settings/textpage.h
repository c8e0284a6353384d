// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"
#include "settings/settingspage.h"

#include <array>

namespace tavlo {

class ButtonPalette;
class Label;
class ProfileFile;
class WidgetInterface;
struct KindRow;
struct WidgetValues;

// The "Text" page: font, size, colour and alignment of the widget's two text
// lines; the first row edits its time label, the second its date label.
class TextPage final : public SettingsPage
{
    Q_OBJECT
public:
    explicit TextPage(QWidget *parent = nullptr);

    // The row captions of kind; the alignment, font and size lists.
    void setUp(const KindRow &kind);
    // Shows the font, size, colour and alignment of widget's two labels.
    void load(WidgetForm *widget) override;
    // The rows' values; withAligns adds the two alignments.
    void write(WidgetValues &values, bool withAligns) const;
    // The preset's text section from the controls.
    void writePreset(ProfileFile &preset) const;
    // Takes the current preset file's text section into the controls and the labels.
    void applyPreset();
    void paint(const QColor &face) override;

    QGroupBox *fraFORMAT = nullptr;
    QWidget *picTEXTBOX = nullptr;
    QLabel *lblTIME = nullptr;
    QLabel *lblDATE = nullptr;
    QComboBox *cboTIMEFONT = nullptr;
    QComboBox *cboTIMESIZE = nullptr;
    ButtonPalette *btnpTIME = nullptr;
    QComboBox *cboALIGNTIME = nullptr;
    QComboBox *cboDATEFONT = nullptr;
    QComboBox *cboDATESIZE = nullptr;
    ButtonPalette *btnpDATE = nullptr;
    QComboBox *cboALIGNDATE = nullptr;

private:
    // One row of controls and the widget's label it edits.
    struct Row
    {
        const char *prefix; // of its preset keys
        QComboBox *font;
        QComboBox *size;
        ButtonPalette *colour;
        QComboBox *align;
        Label *(WidgetInterface::*part)() const;
    };
    std::array<Row, 2> rows() const;
    // Names the size, colour and alignment boxes after their row caption
    // ("Time size").
    void nameRowControls();
    // The bound widget's label that row edits, or nullptr.
    Label *part(const Row &row) const;
    void cboFONT_Click(const Row &row);
    void cboSIZE_Click(const Row &row);
    void cboALIGN_Click(const Row &row);
    void btnpCOLOR_ColorChosen(const Row &row, OleColor colour);

    // Each row's labels of its size, colour and alignment boxes.
    std::array<std::array<QLabel *, 3>, 2> m_buddies{};
};

} // namespace tavlo
