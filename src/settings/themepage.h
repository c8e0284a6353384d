// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingspage.h"

class QListWidget;

namespace tavlo {

class PresetStore;

// The "Theme" page: the preset list and the buttons that manage it.
class ThemePage final : public SettingsPage
{
    Q_OBJECT
public:
    explicit ThemePage(const PresetStore &store, QWidget *parent = nullptr);

    // Selects widget's own preset in the list, without applying it.
    void load(WidgetForm *widget) override;
    // Re-reads the folder, keeping the selected file, and enables the buttons to match.
    void RefreshPresetList();
    // The selected file name, or an empty text.
    QString selectedFile() const;
    void paint(const QColor &face) override;

    // A click in the list applies a preset only while this is true.
    bool blnLOADED = false;

    QGroupBox *fraPRESETS = nullptr;
    QWidget *picfraPRESETS = nullptr;
    QLabel *lblLIST = nullptr;
    QListWidget *flbLIST = nullptr;
    QPushButton *btnEDIT = nullptr;
    QPushButton *btnNEWPRESET = nullptr;
    QPushButton *btnDELETE = nullptr;
    QPushButton *btnDELETEALL = nullptr;
    QPushButton *btnIMPORT = nullptr;
    QPushButton *btnEXPORT = nullptr;

Q_SIGNALS:
    // The user chose the preset file fileName: apply it.
    void presetChosen(const QString &fileName);
    // A double click: keep the chosen preset and close, as Close does.
    void presetConfirmed();
    // Edit the selected preset (or, with empty, a new one) on the Preset page.
    void editRequested(bool empty);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void flbLIST_Click();
    void btnDELETE_Click();
    void btnDELETEALL_Click();

    const PresetStore &m_store;
    // A press in the list moves the selection before its click applies it.
    bool m_listPressed = false;
};

} // namespace tavlo
