// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingspage.h"

class QCheckBox;

namespace tavlo {

struct WidgetValues;

// The "Windows" page: stay on top, start at login.
class WindowsPage final : public SettingsPage
{
    Q_OBJECT
public:
    explicit WindowsPage(QWidget *parent = nullptr);

    // Ticks the boxes from the settings and puts widget on top to match.
    void load(WidgetForm *widget) override;
    void write(WidgetValues &values) const;
    void paint(const QColor &face) override;

    QGroupBox *fraFRAME = nullptr;
    QWidget *pfrFRAME = nullptr;
    QWidget *picfraWINSET = nullptr;
    QCheckBox *chkONTOP = nullptr;
    QCheckBox *chkSTARTUP = nullptr;
};

} // namespace tavlo
