// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/fixedframe.h"
#include "widgets/calculator/calcengine.h"

#include <vector>

namespace tavlo {

class KeyLabel;

// The pocket calculator: a display with the memory keys in the upper strip,
// the keypad in the lower one. The frame's text labels stay hidden and only
// carry the text settings: the time settings style the display and the
// memory keys, the date settings the keypad.
class fapp_CALC final : public FixedFrame
{
    Q_OBJECT
public:
    explicit fapp_CALC(QWidget *parent = nullptr);
    ~fapp_CALC() override;

    void Form_Load() override;
    void updateparts() override;

    // The calculator behind the keys, for reading its state.
    const CalcEngine &engine() const { return m_engine; }

protected:
    void loadFirstTexts() override;
    void colourParts(const ThemeShades &shades) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Everything the layout and the colours read; while none of it changes,
    // a pass would come out the same.
    struct LayoutInputs
    {
        OleColor timeColour = 0;
        OleColor dateColour = 0;
        QString timeFont;
        OleColor theme = 0;
        int32_t contrast = 0;
        uint8_t alpha = 0;
        double twipsPerPixelX = 0;
        double twipsPerPixelY = 0;
        bool operator==(const LayoutInputs &) const = default;
    };
    LayoutInputs layoutInputs() const;

    void connectKeys();
    // A key's operation, from a click or from the keyboard alike.
    void key_Click(CalcKey key);
    void copyDisplay();
    void pasteDisplay();
    // Writes the engine's texts into the display labels.
    void showDisplay();
    void syncParts();
    // True for the labels by which the window is dragged.
    bool isDisplayLabel(const QWidget *widget) const;

    CalcEngine m_engine;

    Label *lblSECS = nullptr;
    Label *lblSTYLE = nullptr;
    Label *lblDISPLAYNUMBER = nullptr;
    Label *lblDISPLAYFUNCTION = nullptr;
    Label *lblDISPLAYMEM = nullptr;
    Label *lblSUB = nullptr;
    KeyLabel *btnMC = nullptr;
    // Every key, in the order of the key table.
    std::vector<KeyLabel *> m_keys;

    LayoutInputs m_laidOut;
};

} // namespace tavlo
