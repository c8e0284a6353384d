// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingspage.h"

namespace tavlo {

// The "About" page: title, version, rights, support address and donation.
class AboutPage final : public SettingsPage
{
    Q_OBJECT
public:
    explicit AboutPage(QWidget *parent = nullptr);

    // The title, version and rights texts of the running program.
    void setUp();
    void paint(const QColor &face) override;

    QGroupBox *fraABOUT = nullptr;
    QWidget *picABOUT = nullptr;
    QLabel *lablTITLE = nullptr;
    QLabel *lablVersion = nullptr;
    QLabel *lblCOPY = nullptr;
    QLabel *lblEMAIL = nullptr;
    QPushButton *pbtnDONATE = nullptr;
    QLabel *imgDONATE = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lblEMAIL_Click();
    void pbtnDONATE_Click();
};

} // namespace tavlo
