#pragma once

#include <QPointer>
#include <QString>
#include <array>
#include <memory>

class QApplication;

namespace tavlo {

class cmlib_OBJECTS;
class cmlib_REGISTRY;
class WidgetForm;

inline constexpr int kWidgetSlots = 21;

// The program's shared state, one copy per process.
struct MainGlobals
{
    QString strAPPTITLE;
    std::array<QPointer<WidgetForm>, kWidgetSlots> frmWIDGETS;
    int32_t lngLASTINDEX = 0;
    int32_t lngSELINDEX = 0;
    int32_t lngOPENCOUNT = 0;
    std::unique_ptr<cmlib_REGISTRY> objREGISTRY;
    std::unique_ptr<cmlib_OBJECTS> objOBJECTS;

    QString strREGROOT;
    QString strVERSION;
    QString strVERSIONTEXT;
    QString strRIGHTS;
    QString strPROGRAMFOLDER;
    QString strUPDATEFILE;
    QString strVERSIONURL;
    QString strNEWERURL;
    QString strAPPSURL;
    QString strDONATEURL;
    QString strMSGFONTNAME;
    QString strMSGFONTSIZE;
};

MainGlobals &globals();
// Drops every widget and the store and clears the globals (tests start each case afresh).
void resetGlobals();

// Starts the program of the given application title: globals, folders, message
// font, the widgets of its kind, and once they are on screen the update check
// against webRoot (none when it is empty). No widget when a termination signal
// is already waiting. False when this build has no widget of that kind yet.
bool Main(const QString &title, const QString &webRoot = QString());

// Ends the program in order: every widget is unloaded (saving what its unload
// saves), then the event loop quits; the settings get at most 5 s to be written.
void OrderlyExit();
// Saves what an orderly exit saves while everything stays open (the desktop
// session asks this before it ends, and may still be cancelled), waiting at
// most 5 s for it to be written.
void SaveWidgets();
// Ends the program in order on SIGTERM, SIGINT and SIGHUP (one that came
// before this call included), and saves when the desktop session ends.
void installExitHandlers(QApplication &app);

// The per-user program folder: ${XDG_DATA_HOME:-~/.local/share}/tavlo/<title>.
QString programFolder(const QString &title);

bool FolderExists(const QString &path);
// Creates the folder (and its parents) when it is missing.
void MakeFolder(const QString &path);
// path with a trailing separator, except for a root of 3 characters or fewer.
QString AddBackslash(const QString &path);

// Fills strMSGFONTNAME and strMSGFONTSIZE from the desktop's general font.
void LoadMessageFont();

} // namespace tavlo
