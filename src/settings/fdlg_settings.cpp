// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/fdlg_settings.h"

#include "controls/modfonts.h"
#include "controls/ovctrls/pagetab.h"
#include "core/cmlib_registry.h"
#include "core/globals.h"
#include "core/kind.h"
#include "core/valuenames.h"
#include "frame/modblend.h"
#include "frame/modfileread.h"
#include "frame/widgetform.h"
#include "frame/widgetset.h"
#include "messages/fmsg_infobox.h"
#include "platform/desktop.h"
#include "platform/profilefile.h"
#include "platform/x11window.h"
#include "settings/aboutpage.h"
#include "settings/datepage.h"
#include "settings/fontlists.h"
#include "settings/presetpage.h"
#include "settings/textpage.h"
#include "settings/themepage.h"
#include "settings/windowspage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace tavlo {
namespace {

QPointer<fdlg_SETTINGS> g_dialog;

// The tab captions, in page order.
const char *const kPageCaptions[] = {"Theme", "Preset", "Text", "Date", "Windows", "About"};

// What app adds to Exit program: a check that may stop it, and steps after.
struct ExitHooks
{
    std::function<bool()> check;
    std::function<void()> steps;
};
ExitHooks g_exit;

} // namespace

fdlg_SETTINGS *fdlg_SETTINGS::instance()
{
    return g_dialog;
}

fdlg_SETTINGS *fdlg_SETTINGS::load(WidgetForm *widget)
{
    if (!g_dialog) {
        g_dialog = new fdlg_SETTINGS;
        g_dialog->Form_Load(widget);
    }
    return g_dialog;
}

void fdlg_SETTINGS::showFor(WidgetForm *widget)
{
    fdlg_SETTINGS *dialog = load(widget);
    dialog->bindTo(widget);
    if (!dialog->isVisible() && widget)
        placeBeside(dialog, widget->window());
    dialog->followWidget();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

fdlg_SETTINGS::fdlg_SETTINGS() : m_store(globals().strPROGRAMFOLDER + QStringLiteral("/presets"))
{
    setObjectName(QStringLiteral("fdlg_SETTINGS"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowRole(objectName());
    buildControls();
    connectControls();
}

void fdlg_SETTINGS::buildControls()
{
    ptbCOLORS = new PageTab;
    ptbCOLORS->setObjectName(QStringLiteral("ptbCOLORS"));
    ptbCOLORS->setAccessibleName(tr("Pages"));
    theme = new ThemePage(m_store);
    preset = new PresetPage;
    text = new TextPage;
    date = new DatePage;
    windows = new WindowsPage;
    about = new AboutPage;
    pages = new QStackedWidget;
    for (QWidget *page :
         std::initializer_list<QWidget *>{theme, preset, text, date, windows, about})
        pages->addWidget(page);

    // The page area joins the selected tab and takes the page colour with it.
    pageArea = new QFrame;
    pageArea->setFrameShape(QFrame::StyledPanel);
    pageArea->setAutoFillBackground(true);
    auto *pageLayout = new QVBoxLayout(pageArea);
    pageLayout->addWidget(pages);

    btnCANCEL = page::button("btnCANCEL", tr("&Save"));
    btnOK = page::button("btnOK", tr("&Close"));
    btnEXIT = page::button("btnEXIT", tr("E&xit program"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnEXIT);
    buttons->addStretch();
    buttons->addWidget(btnCANCEL);
    buttons->addWidget(btnOK);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(0);
    layout->addWidget(ptbCOLORS);
    layout->addWidget(pageArea);
    layout->addSpacing(layout->contentsMargins().top());
    layout->addLayout(buttons);
}

void fdlg_SETTINGS::connectControls()
{
    // Ctrl+Tab and Ctrl+PgDown walk the pages, as in other tabbed dialogs.
    const auto stepPage = [this](int step) {
        const int count = int(ptbCOLORS->captions().size());
        if (count > 0)
            showPage((ptbCOLORS->selectedTab() - 1 + step + count) % count + 1);
    };
    const std::pair<QKeyCombination, int> walks[] = {{Qt::CTRL | Qt::Key_Tab, 1},
                                                     {Qt::CTRL | Qt::Key_PageDown, 1},
                                                     {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
                                                     {Qt::CTRL | Qt::Key_PageUp, -1}};
    for (const auto &[keys, step] : walks)
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [=] { stepPage(step); });

    connect(ptbCOLORS, &PageTab::TabClick, this, &fdlg_SETTINGS::ptbCOLORS_TabClick);
    connect(btnCANCEL, &QPushButton::clicked, this, &fdlg_SETTINGS::btnCANCEL_Click);
    connect(btnOK, &QPushButton::clicked, this, &fdlg_SETTINGS::btnOK_Click);
    connect(btnEXIT, &QPushButton::clicked, this, &fdlg_SETTINGS::btnEXIT_Click);
    connect(theme, &ThemePage::presetChosen, this, &fdlg_SETTINGS::applyPreset);
    connect(theme, &ThemePage::presetConfirmed, this, &fdlg_SETTINGS::btnOK_Click);
    connect(theme, &ThemePage::editRequested, this, [this](bool empty) {
        showPage(2);
        if (empty)
            preset->txtPRESETNEW->clear();
    });
    connect(preset, &PresetPage::addRequested, this, &fdlg_SETTINGS::savePreset);
}

void fdlg_SETTINGS::Form_Load(WidgetForm *w)
{
    ptbCOLORS->setTabString(QLatin1String(runningKind().dialogTabs));
    text->setUp(runningKind());
    ApplyFormSkin(this);
    about->setUp();
    theme->blnLOADED = true;
    setWindowTitle(globals().strAPPTITLE);
    paintPages();
    ptbCOLORS->setSelectedTab(1);
    m_store.removeStaleTemporaries();
    bindTo(w);
    ptbCOLORS_TabClick(QStringLiteral("Theme"));
    // Settle the size the skin's fonts give, on every page, before the dialog is first seen.
    settleLayouts(this);
}

void fdlg_SETTINGS::bindTo(WidgetForm *w)
{
    if (!w || w == m_widget)
        return;
    if (m_widget)
        disconnect(m_widget, &QObject::destroyed, this, nullptr);
    m_widget = w;
    // Whoever closed it may make another widget current first.
    connect(w, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, &fdlg_SETTINGS::widgetGone); });
    if (isVisible())
        followWidget();
    // The theme page last: it selects the preset row once the others hold the values.
    for (SettingsPage *page :
         std::initializer_list<SettingsPage *>{date, preset, text, windows, theme})
        page->load(w);
}

void fdlg_SETTINGS::widgetGone()
{
    if (m_widget)
        return;
    if (WidgetForm *next = widgetSet().current())
        bindTo(next);
    else
        close();
}

void fdlg_SETTINGS::followWidget()
{
    if (!m_widget)
        return;
    create();
    QWindow *owner = m_widget->window()->windowHandle();
    if (windowHandle() && owner)
        windowHandle()->setTransientParent(owner);
    if (isVisible())
        setTransientFor(this, m_widget->window());
}

void fdlg_SETTINGS::paintPages()
{
    // The pages take the light face colour (system colour 20) of the palette.
    const QColor face = toQColor(OleColor(0x80000014));
    ptbCOLORS->setBackColorPage(face);
    page::paint({pageArea, ptbCOLORS}, face);
    for (SettingsPage *page :
         std::initializer_list<SettingsPage *>{theme, preset, text, date, windows, about})
        page->paint(face);
}

void fdlg_SETTINGS::ptbCOLORS_TabClick(const QString &caption)
{
    for (int page = 0; page < int(std::size(kPageCaptions)); ++page) {
        if (caption != QLatin1String(kPageCaptions[page]))
            continue;
        // Each page holds its own frames; showing the page shows exactly those.
        pages->setCurrentIndex(page);
        if (pages->currentWidget() == theme)
            theme->RefreshPresetList();
        return;
    }
}

void fdlg_SETTINGS::showPage(int tab)
{
    ptbCOLORS->setSelectedTab(tab);
    ptbCOLORS_TabClick(ptbCOLORS->captions().value(tab - 1));
}

void fdlg_SETTINGS::applyPreset(const QString &fileName)
{
    // A refused file (too large, not a regular file) changes nothing at all.
    if (!m_store.open(fileName))
        return;
    // Completing the file's missing keys rewrites it once, at the end.
    const PresetWriteBatch batch;
    WidgetForm *w = m_widget;
    if (w)
        w->setUpdatesEnabled(false);
    preset->applyPreset();
    text->applyPreset();
    QString name = fileName;
    name.chop(4);
    preset->txtPRESETNEW->setText(name);
    if (w) {
        if (runningKind().presetStartsPartsTimer) {
            if (QTimer *timer = w->partsTimer())
                timer->start();
        }
        w->updateparts();
        w->ColorUpdate();
        w->updateparts();
        w->setStrSELPRESET(name);
        w->setUpdatesEnabled(true);
    }
}

void fdlg_SETTINGS::savePreset()
{
    const QString caption = preset->txtPRESETNEW->text();
    const QString problem = PresetStore::nameProblem(caption);
    if (!problem.isEmpty()) {
        desktop().message(this, globals().strAPPTITLE, problem);
        preset->txtPRESETNEW->setFocus();
        return;
    }
    // The whole preset is built first and replaces any file of that name in
    // one step, so an old preset is never half overwritten.
    ProfileFile file;
    preset->writePreset(file);
    text->writePreset(file);
    PresetStore::put(file, kPresetCaption, "caption", caption.trimmed());
    m_store.save(caption, file);
}

WidgetValues fdlg_SETTINGS::controlValues(const WidgetForm &w, bool withAligns) const
{
    WidgetValues values = widgetValues(w);
    values.dateAlign = values.timeAlign = std::nullopt;
    text->write(values, withAligns);
    preset->write(values);
    windows->write(values);
    date->write(values);
    return values;
}

WidgetValues fdlg_SETTINGS::ownValues(const WidgetForm &w) const
{
    WidgetValues values = widgetValues(w);
    values.dateAlign = values.timeAlign = std::nullopt;
    // Start at login is one choice for the whole program.
    WidgetValues program;
    windows->write(program);
    values.programLaunch = program.programLaunch;
    // The style was stored under the widget's own number when it was chosen.
    if (const QString style = w.settings().load(reg::StyleModern, QString()); !style.isEmpty())
        values.styleModern = style;
    return values;
}

void fdlg_SETTINGS::btnCANCEL_Click()
{
    WidgetForm *w = m_widget;
    if (!w)
        return;
    preset->hscVALUE_Change(preset->hscVALUE->value());
    WidgetSettings(w->widgetNumber(), ValueNaming::Numbered).write(controlValues(*w, false));
    ApplyProgramLaunch();
    w->FormUpdate();
    theme->RefreshPresetList();
}

void fdlg_SETTINGS::btnOK_Click()
{
    ApplyProgramLaunch();
    QPointer<WidgetForm> w = m_widget;
    close();
    if (w)
        w->FormUpdate();
}

void fdlg_SETTINGS::reject()
{
    btnOK_Click();
}

void fdlg_SETTINGS::closeEvent(QCloseEvent *event)
{
    // A widget that is gone gets nothing written for it.
    if (WidgetForm *w = m_widget) {
        // The placement is saved by Save and Exit program only.
        WidgetValues values = controlValues(*w, true);
        values.dropPlacement();
        WidgetSettings(w->widgetNumber(), ValueNaming::Plain).write(values);
        ApplyProgramLaunch();
        if (widgetSet().lngOPENCOUNT() > 0)
            w->FormUpdate();
        theme->RefreshPresetList();
    }
    event->accept();
}

void fdlg_SETTINGS::setExitSteps(std::function<void()> steps)
{
    g_exit.steps = std::move(steps);
}

void fdlg_SETTINGS::setExitCheck(std::function<bool()> check)
{
    g_exit.check = std::move(check);
}

void fdlg_SETTINGS::btnEXIT_Click()
{
    if (m_exiting || (g_exit.check && !g_exit.check()))
        return;
    m_exiting = true;
    btnCANCEL_Click();
    if (g_exit.steps)
        g_exit.steps();

    // Each widget keeps its own look; only the bound one takes the dialog's values.
    WidgetSet &set = widgetSet();
    set.saveAll([this](const WidgetForm &w) {
        return &w == m_widget ? controlValues(w, false) : ownValues(w);
    });
    set.closeAll();
    unloadInfoBox();
    close();
    QCoreApplication::quit();
}

void fdlg_SETTINGS::ComboFontSetupTXT(QComboBox *combo)
{
    FillSizeList(combo);
}

} // namespace tavlo
