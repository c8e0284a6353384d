// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/widgetsettings.h"
#include "frame/widgetform.h"
#include "settings/presetstore.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QComboBox;
class QFrame;
class QPushButton;
class QStackedWidget;

namespace tavlo {

class AboutPage;
class DatePage;
class PageTab;
class PresetPage;
class TextPage;
class ThemePage;
class WindowsPage;

// The one settings dialog. It is bound to one widget, which its pages edit
// live; Save, Close and Exit program decide what reaches the settings store.
// It stays above its widget as a transient window, not as a child, so closing
// the widget never takes the dialog with it.
class fdlg_SETTINGS final : public QDialog
{
    Q_OBJECT
public:
    // The loaded dialog, or nullptr.
    static fdlg_SETTINGS *instance();
    // Loads the dialog bound to widget, without showing it, unless it is loaded.
    static fdlg_SETTINGS *load(WidgetForm *widget);
    // Shows the dialog modeless above widget, bound to it; a loaded one comes forward.
    static void showFor(WidgetForm *widget);

    // Binds the dialog to widget and reloads the pages from it; nullptr keeps
    // the binding.
    void bindTo(WidgetForm *widget);
    // The widget the dialog edits, or nullptr once it is gone.
    WidgetForm *widget() const { return m_widget; }

    // Saves every widget and the widget count, then unloads every form: the
    // program ends.
    void btnEXIT_Click();
    // What Exit program also ends, of what lies outside the dialog's reach
    // (the update check, the menu form).
    static void setExitSteps(std::function<void()> steps);
    // Asked first by Exit program: false keeps the program running (what
    // could not be saved is still on screen).
    static void setExitCheck(std::function<bool()> check);
    // Fills combo with the 25 font sizes.
    void ComboFontSetupTXT(QComboBox *combo);

    PageTab *ptbCOLORS = nullptr;
    QStackedWidget *pages = nullptr;
    QFrame *pageArea = nullptr;
    ThemePage *theme = nullptr;
    PresetPage *preset = nullptr;
    TextPage *text = nullptr;
    DatePage *date = nullptr;
    WindowsPage *windows = nullptr;
    AboutPage *about = nullptr;
    QPushButton *btnCANCEL = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnEXIT = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape closes the dialog the way Close does.
    void reject() override;

private:
    fdlg_SETTINGS();

    void buildControls();
    void connectControls();
    void Form_Load(WidgetForm *widget);
    void paintPages();
    // Stays above the bound widget's window.
    void followWidget();
    // The bound widget went away: bind to the current one, or close.
    void widgetGone();

    void ptbCOLORS_TabClick(const QString &caption);
    void showPage(int tab);
    void btnCANCEL_Click();
    void btnOK_Click();
    void applyPreset(const QString &fileName);
    void savePreset();

    // The values to save for w: its place, preset, alpha and contrast from
    // w, the rest from the pages; withAligns adds the two alignments.
    WidgetValues controlValues(const WidgetForm &w, bool withAligns) const;
    // What Exit program keeps of a widget the dialog is not bound to.
    WidgetValues ownValues(const WidgetForm &w) const;

    PresetStore m_store;
    QPointer<WidgetForm> m_widget;
    bool m_exiting = false;
};

} // namespace tavlo
