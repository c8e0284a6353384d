// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingspage.h"

#include <array>

class QRadioButton;

namespace tavlo {

struct WidgetValues;

// The "Date" page: which parts the widget shows and in which style (both
// stored at once under the widget's number), and the desktop's date tools.
class DatePage final : public SettingsPage
{
    Q_OBJECT
public:
    explicit DatePage(QWidget *parent = nullptr);

    // Selects the display state and style stored for widget.
    void load(WidgetForm *widget) override;
    void write(WidgetValues &values) const;
    void paint(const QColor &face) override;

    QGroupBox *fraADVSETS = nullptr;
    QWidget *picSTATS = nullptr;
    std::array<QRadioButton *, 3> optSTATE{};
    QRadioButton *optSTYLECLASS = nullptr;
    QRadioButton *optSTYLEMOD = nullptr;
    QPushButton *btnDATE = nullptr;
    QPushButton *btnINT = nullptr;

private:
    void optSTATE_Click(int index);
    void optSTYLE_Click(bool modern);
};

} // namespace tavlo
