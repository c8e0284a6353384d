// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/modmain.h"

#include "app/fpge_store.h"
#include "app/kindtable.h"
#include "app/updatecheck.h"
#include "controls/modfonts.h"
#include "core/cmlib_registry.h"
#include "core/convert.h"
#include "core/folders.h"
#include "core/globals.h"
#include "core/kind.h"
#include "core/valuenames.h"
#include "frame/commondialog.h"
#include "frame/resizableframe.h"
#include "frame/widgetform.h"
#include "frame/widgetset.h"
#include "messages/cmlib_objects.h"
#include "messages/fmsg_calltoaction.h"
#include "messages/fmsg_infobox.h"
#include "platform/unixsignals.h"
#include "settings/fdlg_settings.h"
#include "widgets/notes/fapp_notes.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFontDatabase>
#include <QLoggingCategory>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <algorithm>
#include <cmath>

#ifndef TAVLO_VERSION_MAJOR
#define TAVLO_VERSION_MAJOR 1
#define TAVLO_VERSION_MINOR 0
#define TAVLO_VERSION_PATCH 0
#endif

namespace tavlo {
namespace {

void initialiseGlobals(MainGlobals &g, const QString &title, const QString &webRoot)
{
    g.strAPPTITLE = title;
    g.strREGROOT = registryRoot(title);
    g.strVERSION = QStringLiteral("%1.%2%3")
                       .arg(TAVLO_VERSION_MAJOR)
                       .arg(TAVLO_VERSION_MINOR)
                       .arg(TAVLO_VERSION_PATCH);
    g.strVERSIONTEXT = QStringLiteral("Version: ") + g.strVERSION;
    g.strRIGHTS = QStringLiteral("Copyright \u00A9 %1 Orvane. All rights reserved.")
                      .arg(QDate::currentDate().year());
    g.strPROGRAMFOLDER = programFolder(title);
    g.strUPDATEFILE = g.strPROGRAMFOLDER + QStringLiteral("/latestupdate.txt");
    QString web = webRoot;
    while (web.endsWith(QLatin1Char('/')))
        web.chop(1);
    g.strVERSIONURL = web + QStringLiteral("/prgdetails/ovapps_version.txt");
    g.strNEWERURL = web + QStringLiteral("/there-is-a-newer-version-available/");
    g.strAPPSURL = web + QStringLiteral("/how-to-get-tablet-style-apps-on-your-tavlo/");
    g.strDONATEURL = web + QStringLiteral("/donate/");
}

// Starts the update check once the widget has painted on screen, or after a
// bound should it never paint. Its helper process takes a core for a moment,
// which the window manager mapping the widget should not have to share.
class UpdateCheckStarter final : public QObject
{
public:
    explicit UpdateCheckStarter(QWidget *form) : QObject(form), m_form(form)
    {
        form->installEventFilter(this);
        QTimer::singleShot(kLatestStartMs, this, &UpdateCheckStarter::start);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_form && event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &UpdateCheckStarter::start);
        return false;
    }

private:
    static constexpr int kLatestStartMs = 1000;

    void start()
    {
        if (m_started)
            return;
        m_started = true;
        m_form->removeEventFilter(this);
        // An exit that came first leaves nothing to check for.
        if (m_form->isVisible())
            CheckForUpdate();
        deleteLater();
    }

    QWidget *m_form;
    bool m_started = false;
};

// The most "TOTAL" can bring back: one widget per slot.
int storedTotal()
{
    const auto total = convert::toLong(LoadSetting(reg::Total, QStringLiteral("0")));
    return total ? int(std::clamp<long>(*total, 0, kWidgetSlots)) : 0;
}

// Makes a widget of row for slot number, counted as open, loaded but not shown.
WidgetForm *loadWidget(const KindTableRow &row, int number)
{
    WidgetSet &set = widgetSet();
    std::unique_ptr<WidgetForm> made(row.make());
    if (!set.add(number, made.get(), true))
        return nullptr;
    WidgetForm *form = made.release();
    connectWidget(form);
    if (auto *frame = dynamic_cast<ResizableFrame *>(form))
        frame->loadHidden();
    return form;
}

// The many-widget kinds: the saved set when "TOTAL" reaches the kind's
// threshold, otherwise one new widget. All of them appear together.
WidgetForm *restoreWidgets(const KindTableRow &row)
{
    WidgetSet &set = widgetSet();
    const int total = storedTotal();
    QList<WidgetForm *> loaded;
    if (total >= row.kind.restoreThreshold) {
        for (int i = 0; i < total; ++i) {
            set.setLastIndex(i);
            set.setCurrent(i);
            if (WidgetForm *form = loadWidget(row, i))
                loaded << form;
        }
    } else {
        // A new widget. With "TOTAL" 1 the values under number 0 are the
        // widget the last run kept, and the new one takes them up; below
        // that they are left over, and it starts clean.
        if (total < 1)
            WidgetSettings(0, ValueNaming::Numbered).clear();
        if (WidgetForm *form = loadWidget(row, 0))
            loaded << form;
    }
    for (WidgetForm *form : loaded) {
        if (auto *frame = dynamic_cast<ResizableFrame *>(form))
            frame->showLoaded();
        else
            form->show();
    }
    return loaded.isEmpty() ? nullptr : loaded.constFirst();
}

} // namespace

void resetGlobals()
{
    delete fdlg_SETTINGS::instance();
    delete fmsg_CALLTOACTION::instance();
    unloadMenuForm();
    unloadInfoBox();
    widgetSet().clear();
    objOBJECTS().reset();
    globals() = MainGlobals{};
    setRunningKind(nullptr);
}

void wireLayers()
{
    setSkinReference([] { return menuForm().cboDEFAULT; });
    fdlg_SETTINGS::setExitSteps([] {
        EndUpdateCheck();
        unloadMenuForm();
    });
    setSharedFileDialogSource([] { return menuForm().dlgFILE; });
    // A note's text that no file took keeps the program open.
    fdlg_SETTINGS::setExitCheck([] { return fapp_NOTES::saveAllNotes(); });
    fapp_NOTES::setNoticeSink([](const QString &title, const QString &text) {
        fmsg_INFOBOX &box = infoBox();
        box.setMessage(title, text, QString(), fmsg_INFOBOX::Bar::Close);
        box.show();
        box.raise();
    });
    // The image readers' complaints about damaged files are no news to the user.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    // The dialog follows the current widget, once for the program's one set.
    static const bool following = [] {
        WidgetSet &set = widgetSet();
        QObject::connect(&set, &WidgetSet::currentChanged, &set, [](int number) {
            if (fdlg_SETTINGS *dialog = fdlg_SETTINGS::instance())
                dialog->bindTo(widgetSet().frmWIDGETS(number));
        });
        return true;
    }();
    Q_UNUSED(following);
}

void connectWidget(WidgetForm *form)
{
    QObject::connect(form, &WidgetForm::activated, form,
                     [form] { widgetSet().setCurrentForm(form); });
    QObject::connect(form, &WidgetForm::settingsRequested, form,
                     [form] { fdlg_SETTINGS::showFor(form); });
    if (auto *frame = qobject_cast<ResizableFrame *>(form)) {
        QObject::connect(frame, &ResizableFrame::menuRequested, frame,
                         [](const QPoint &at) { menuForm().mnuFilePhotoTop->popup(at); });
    }
    if (auto *note = qobject_cast<fapp_NOTES *>(form)) {
        // As the menu's commands, once the key's own handling is over.
        QObject::connect(
            note, &fapp_NOTES::newRequested, qApp, [] { menuForm().mnuFILENEW_Click(); },
            Qt::QueuedConnection);
        QObject::connect(
            note, &fapp_NOTES::closeRequested, qApp, [] { menuForm().mnuFILECLOSE_Click(); },
            Qt::QueuedConnection);
    }
}

void LoadMessageFont()
{
    MainGlobals &g = globals();
    const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    g.strMSGFONTNAME = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        points = font.pixelSize() * 72.0 / (screen ? screen->logicalDotsPerInchY() : 96.0);
    }
    const long whole = std::lround(points);
    g.strMSGFONTSIZE = QString::number(whole < 8 ? 8 : whole);
    // The menu form's reference box takes this size when the form loads; the
    // clock never needs the form before its dialog opens, so start-up does not load it.
}

bool Main(const QString &title, const QString &webRoot)
{
    wireLayers();
    const KindTableRow &row = kindRow(title);
    setRunningKind(&row.kind);
    MainGlobals &g = globals();
    WidgetSet &set = widgetSet();
    g.objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    objOBJECTS() = std::make_unique<cmlib_OBJECTS>();
    initialiseGlobals(g, title, webRoot);

    MakeFolder(g.strPROGRAMFOLDER + QStringLiteral("/presets"));
    MakeFolder(g.strPROGRAMFOLDER + QStringLiteral("/notes"));

    LoadMessageFont();

    if (!row.make)
        return false;
    // Asked to end before any widget is shown: show none; the exit follows
    // from the event loop.
    if (exitSignalPending())
        return true;
    WidgetForm *form = nullptr;
    if (row.kind.manyWidgets) {
        form = restoreWidgets(row);
        if (!form)
            return true;
    } else {
        form = row.make();
        connectWidget(form);
        set.add(set.lngLASTINDEX(), form, false);
        form->Form_Load();
    }

    if (WidgetForm *selected = set.current()) {
        const auto alpha = convert::toByte(
            LoadSetting(reg::DefaultTransparency, QString::number(selected->lngTRANSVAL())));
        if (alpha)
            selected->setLngTRANSVAL(*alpha);
        selected->setLngTRANSVALCUST(selected->lngTRANSVAL());
    }

    // The update check waits on the network, so it runs beside the widgets
    // once they are on screen, not before them; it needs no wait pointer.
    new UpdateCheckStarter(form);
    return true;
}

void SaveWidgets()
{
    WidgetSet &set = widgetSet();
    if (runningKind().manyWidgets) {
        // The set as the orderly exit saves it, while any of it is still open.
        bool open = false;
        for (int i = 0; i < kWidgetSlots; ++i)
            open = open || (set.frmWIDGETS(i) && set.frmWIDGETS(i)->isVisible());
        fapp_NOTES::saveAllNotes();
        if (open)
            set.saveAll();
        FlushSettings();
        return;
    }
    for (int i = 0; i < kWidgetSlots; ++i) {
        WidgetForm *form = set.frmWIDGETS(i);
        if (form && form->isVisible())
            form->saveOnUnload();
    }
    FlushSettings();
}

void installExitHandlers(QApplication &app)
{
    auto *watcher = new UnixSignalWatcher(&app);
    QObject::connect(watcher, &UnixSignalWatcher::received, &app, [] { OrderlyExit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager &) { SaveWidgets(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [] {
        SaveWidgets();
        EndUpdateCheck();
    });
}

void OrderlyExit()
{
    const WidgetSet &set = widgetSet();
    // The settings dialog owns the orderly exit; it is loaded hidden when it is not open.
    WidgetForm *owner = set.current();
    for (int i = 0; !owner && i < kWidgetSlots; ++i)
        owner = set.frmWIDGETS(i);
    if (owner) {
        fdlg_SETTINGS::load(owner)->btnEXIT_Click();
    } else {
        // The last widget has been closed: the set that is left (none) is what the next start
        // finds, once the closed note's text is in its file.
        fapp_NOTES::saveAllNotes();
        if (runningKind().manyWidgets)
            widgetSet().saveAll();
        EndUpdateCheck();
        QCoreApplication::quit();
    }
    FlushSettings();
}

} // namespace tavlo
