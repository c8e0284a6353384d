// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QApplication;

namespace tavlo {

class WidgetForm;

// Drops every widget, window and the store and clears the globals (tests
// start each case afresh).
void resetGlobals();

// Joins the layers: what the lower ones ask for (the skin's reference box,
// the steps of an orderly exit) is answered here. Main does it first.
void wireLayers();
// Makes form answer for itself: activating it makes it current, and its
// request for the settings opens the dialog on it.
void connectWidget(WidgetForm *form);

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

// Fills strMSGFONTNAME and strMSGFONTSIZE from the desktop's general font.
void LoadMessageFont();

} // namespace tavlo
