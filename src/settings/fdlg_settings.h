#pragma once

#include "core/widgetsettings.h"
#include "frame/modblend.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedWidget;

namespace tavlo {

class ButtonPalette;
class Label;
class PageTab;
class WidgetForm;

// The one settings dialog. It edits the current widget live through the
// widget interface and the widget's named labels; Save, Close and Exit
// program decide what reaches the settings store.
class fdlg_SETTINGS final : public QDialog
{
    Q_OBJECT
public:
    ~fdlg_SETTINGS() override;

    // The loaded dialog, or nullptr.
    static fdlg_SETTINGS *instance();
    // Loads the dialog for the current widget, without showing it, unless it is loaded.
    static fdlg_SETTINGS *load(QWidget *owner);
    // Shows the dialog modeless above owner, loading it first; a loaded one comes forward.
    static void showFor(QWidget *owner);

    // Saves every widget and the widget count, then unloads every form: the
    // program ends.
    void btnEXIT_Click();
    // What Exit program also ends, of what lies outside the dialog's reach
    // (the update check, the menu form).
    static void setExitSteps(std::function<void()> steps);
    // Fills combo with the 25 font sizes.
    void ComboFontSetupTXT(QComboBox *combo);

    bool blnLOADED = false;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Escape closes the dialog the way Close does.
    void reject() override;

private:
    explicit fdlg_SETTINGS(QWidget *owner);

    void buildControls();
    QWidget *buildThemePage();
    QWidget *buildPresetPage();
    QWidget *buildTextPage();
    QWidget *buildDatePage();
    QWidget *buildWindowsPage();
    QWidget *buildAboutPage();
    void connectControls();
    void Form_Load();
    void paintPages();
    void placeBeside(QWidget *owner);

    // The widget the dialog edits now, and its named parts.
    WidgetForm *currentWidget() const;
    Label *widgetLabel(const char *name) const;

    void ptbCOLORS_TabClick(const QString &caption);
    void btnCANCEL_Click();
    void btnOK_Click();
    void hscVALUE_Change(int value);
    void hscCONTRAST_Change(int value);
    void btnpCOLOR_ColorChosen(OleColor colour);
    void btnpTIME_ColorChosen(OleColor colour);
    void btnpDATE_ColorChosen(OleColor colour);
    void cboFONT_Click(QComboBox *box, const char *label);
    void cboSIZE_Click(QComboBox *box, const char *label);
    void cboALIGN_Click(QComboBox *box, const char *label);
    void chkONTOP_Click();
    void optSTATE_Click(int index);
    void optSTYLE_Click(bool modern);
    void btnDATE_Click();
    void btnINT_Click();
    void lblEMAIL_Click();
    void pbtnDONATE_Click();
    void btnEDIT_Click();
    void btnNEWPRESET_Click();
    void RefreshPresetList();

    // Presets: the list, applying one, saving one, deleting.
    void flbLIST_Click();
    void flbLIST_DblClick();
    void btnNEW_Click();
    void btnDELETE_Click();
    void btnDELETEALL_Click();
    void ApplyPreset();
    QString presetPath(const QString &fileName) const;

    // The values to save for widget: its place, preset, alpha and contrast
    // from the widget, the rest from the controls; withAligns adds "Date-align"
    // and "Time-Align".
    WidgetValues controlValues(const WidgetForm *widget, bool withAligns) const;
    QString checkText(const QCheckBox *box) const;
    QString styleText() const;

public:
    // The reason a caption cannot name a preset file, or an empty text when it can.
    static QString presetNameProblem(const QString &caption);

public:
    // Controls, by the names the rest of the program and the skin know them by.
    PageTab *ptbCOLORS = nullptr;
    QStackedWidget *pages = nullptr;
    QFrame *pageArea = nullptr;
    QGroupBox *fraPRESETS = nullptr;
    QGroupBox *fraTRANS = nullptr;
    QGroupBox *fraPRESETMAKE = nullptr;
    QGroupBox *fraFORMAT = nullptr;
    QGroupBox *fraADVSETS = nullptr;
    QGroupBox *fraFRAME = nullptr;
    QGroupBox *fraABOUT = nullptr;

    QLabel *lblLIST = nullptr;
    QListWidget *flbLIST = nullptr;
    QPushButton *btnEDIT = nullptr;
    QPushButton *btnNEWPRESET = nullptr;
    QPushButton *btnDELETE = nullptr;
    QPushButton *btnDELETEALL = nullptr;
    QPushButton *btnIMPORT = nullptr;
    QPushButton *btnEXPORT = nullptr;

    QLabel *lblCOLOR = nullptr;
    ButtonPalette *btnpCOLOR = nullptr;
    QLabel *lblVALUE = nullptr;
    QScrollBar *hscVALUE = nullptr;
    QLabel *lblCONTRAST = nullptr;
    QScrollBar *hscCONTRAST = nullptr;
    QLabel *lblNAME = nullptr;
    QLineEdit *txtPRESETNEW = nullptr;
    QPushButton *btnNEW = nullptr;

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

    std::array<QRadioButton *, 3> optSTATE{};
    QRadioButton *optSTYLECLASS = nullptr;
    QRadioButton *optSTYLEMOD = nullptr;
    QPushButton *btnDATE = nullptr;
    QPushButton *btnINT = nullptr;

    QCheckBox *chkONTOP = nullptr;
    QCheckBox *chkSTARTUP = nullptr;

    QLabel *lablTITLE = nullptr;
    QLabel *lablVersion = nullptr;
    QLabel *lblCOPY = nullptr;
    QLabel *lblEMAIL = nullptr;
    QPushButton *pbtnDONATE = nullptr;
    QLabel *imgDONATE = nullptr;

    QPushButton *btnCANCEL = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnEXIT = nullptr;

    // Page containers that take the page colour.
    QWidget *picPRESETSET = nullptr;
    QWidget *picfraPRESETNEW = nullptr;
    QWidget *picTEXTBOX = nullptr;
    QWidget *picSTATS = nullptr;
    QWidget *pfrFRAME = nullptr;
    QWidget *picfraWINSET = nullptr;
    QWidget *picfraPRESETS = nullptr;
    QWidget *picABOUT = nullptr;

private:
    bool m_exiting = false;
    // A press in the list moves the selection before its click applies it.
    bool m_listPressed = false;
};

} // namespace tavlo
