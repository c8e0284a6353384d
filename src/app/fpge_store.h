// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QAction;
class QComboBox;
class QMenu;

namespace tavlo {

class CommonDialog;

// The hidden form that holds what belongs to no one widget: the context menu
// of the resizable widgets and its commands, the file dialog they share, and
// the combo box whose height, in the message font, is the height of every
// one-line control of the dialogs. The commands act on the current widget.
class fpge_STORE final : public QWidget
{
    Q_OBJECT
public:
    explicit fpge_STORE(QWidget *parent = nullptr);

    QComboBox *cboDEFAULT = nullptr;
    CommonDialog *dlgFILE = nullptr;
    QMenu *mnuFilePhotoTop = nullptr;
    QAction *mnuFILEINSERT = nullptr;
    QAction *mnuFILENEW = nullptr;
    QAction *mnuFILESEP01 = nullptr;
    QAction *mnuFILECLOSE = nullptr;
    QAction *mnuFILESETTINGS = nullptr;
    QAction *mnuFILESEP02 = nullptr;
    QAction *mnuFILEDOWNLOAD = nullptr;
    QAction *mnuFILEEXIT = nullptr;

    // Insert: the current widget asks for a file and shows it.
    void mnuFILEINSERT_Click();
    // New: one more widget under the next number, loaded from that number's
    // values and shown; nothing once the numbers are used up.
    void mnuFILENEW_Click();
    // Close: the current widget goes, left out of the saved set; the last
    // one ends the program.
    void mnuFILECLOSE_Click();
    // Settings: the settings dialog on the current widget.
    void mnuFILESETTINGS_Click();
    // Download: the page of the other widget programs.
    void mnuFILEDOWNLOAD_Click();
    // Exit: saves everything and ends the program.
    void mnuFILEEXIT_Click();

private:
    void connectControls();
};

// The menu form, loaded (hidden) on first use.
fpge_STORE &menuForm();
// Unloads the menu form if it is loaded.
void unloadMenuForm();

} // namespace tavlo
