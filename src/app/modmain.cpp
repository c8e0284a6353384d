#include "app/modmain.h"

#include "app/cmlib_registry.h"
#include "app/convert.h"
#include "app/fpge_store.h"
#include "app/updatecheck.h"
#include "app/valuenames.h"
#include "frame/widgetform.h"
#include "messages/cmlib_objects.h"
#include "messages/fmsg_calltoaction.h"
#include "messages/fmsg_infobox.h"
#include "platform/unixsignals.h"
#include "settings/fdlg_settings.h"
#include "widgets/clock/fapp_clock.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScreen>
#include <QSessionManager>
#include <QStandardPaths>
#include <QTimer>
#include <cmath>

#ifndef TAVLO_VERSION_MAJOR
#define TAVLO_VERSION_MAJOR 1
#define TAVLO_VERSION_MINOR 0
#define TAVLO_VERSION_PATCH 0
#endif

namespace tavlo {
namespace {

MainGlobals *g_globals = nullptr;

enum class Kind { Calculator, Calendar, Clock, Notes, Photos, Stopwatch, Timer };

Kind kindOf(const QString &title)
{
    static const std::pair<const char *, Kind> kinds[] = {{"TavloCalculator", Kind::Calculator},
                                                          {"TavloCalendar", Kind::Calendar},
                                                          {"TavloClock", Kind::Clock},
                                                          {"TavloNotes", Kind::Notes},
                                                          {"TavloPhotos", Kind::Photos},
                                                          {"TavloStopwatch", Kind::Stopwatch},
                                                          {"TavloTimer", Kind::Timer}};
    for (const auto &[name, kind] : kinds) {
        if (title == QLatin1String(name))
            return kind;
    }
    return Kind::Clock;
}

// The form of a kind, or nullptr while this build has none for it.
WidgetForm *newWidgetForm(Kind kind)
{
    switch (kind) {
    case Kind::Clock:
        return new fapp_CLOCK;
    default:
        return nullptr;
    }
}

void initialiseGlobals(MainGlobals &g, const QString &title, const QString &webRoot)
{
    g.strAPPTITLE = title;
    g.strREGROOT = QStringLiteral("SOFTWARE\\") + title + QStringLiteral("\\");
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

} // namespace

MainGlobals &globals()
{
    if (!g_globals)
        g_globals = new MainGlobals;
    return *g_globals;
}

void resetGlobals()
{
    MainGlobals &g = globals();
    delete fdlg_SETTINGS::instance();
    delete fmsg_CALLTOACTION::instance();
    unloadMenuForm();
    unloadInfoBox();
    for (auto &slot : g.frmWIDGETS) {
        if (slot) {
            slot->hide();
            delete slot.data();
        }
    }
    g = MainGlobals{};
}

QString programFolder(const QString &title)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tavlo/") + title;
}

bool FolderExists(const QString &path)
{
    return QFileInfo(path).isDir();
}

void MakeFolder(const QString &path)
{
    if (!FolderExists(path))
        QDir().mkpath(path);
}

QString AddBackslash(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path.length() > 3 ? path + QLatin1Char('/') : path;
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
    MainGlobals &g = globals();
    g.lngOPENCOUNT = 0;
    g.objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    g.objOBJECTS = std::make_unique<cmlib_OBJECTS>();
    g.lngLASTINDEX = 0;
    initialiseGlobals(g, title, webRoot);

    MakeFolder(g.strPROGRAMFOLDER + QStringLiteral("/presets"));
    MakeFolder(g.strPROGRAMFOLDER + QStringLiteral("/notes"));

    LoadMessageFont();

    std::unique_ptr<WidgetForm> made(newWidgetForm(kindOf(title)));
    if (!made)
        return false;
    // Asked to end before any widget is shown: show none; the exit follows
    // from the event loop.
    if (exitSignalPending())
        return true;
    WidgetForm *form = made.release();
    g.frmWIDGETS[size_t(g.lngLASTINDEX)] = form;
    form->setTag(QString::number(g.lngLASTINDEX));
    form->Form_Load();

    WidgetForm *selected = g.frmWIDGETS[size_t(g.lngSELINDEX)];
    if (selected) {
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
    MainGlobals &g = globals();
    for (auto &slot : g.frmWIDGETS) {
        if (slot && slot->isVisible())
            slot->saveOnUnload();
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
    MainGlobals &g = globals();
    // The settings dialog owns the orderly exit; it is loaded hidden when it is not open.
    QWidget *owner = nullptr;
    if (g.lngSELINDEX >= 0 && g.lngSELINDEX < kWidgetSlots)
        owner = g.frmWIDGETS[size_t(g.lngSELINDEX)];
    for (size_t i = 0; !owner && i < g.frmWIDGETS.size(); ++i)
        owner = g.frmWIDGETS[i];
    if (owner)
        fdlg_SETTINGS::load(owner)->btnEXIT_Click();
    else
        QCoreApplication::quit();
    FlushSettings();
}

} // namespace tavlo
