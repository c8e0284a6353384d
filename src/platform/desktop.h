// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QWidget;

namespace tavlo {

// Effects that leave the program: starting other programs, opening links,
// the trash, and the dialogs that wait for the user. Tests install a
// recorder instead of letting anything run or wait.
class Desktop
{
public:
    virtual ~Desktop() = default;
    // Starts program (a path or a name found on PATH) detached, without a shell.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // Opens url with the user's default application (browser, mail program, file handler).
    virtual bool openUrl(const QUrl &url) = 0;
    // Moves a file to the desktop's trash, from where the user can restore it.
    virtual bool moveToTrash(const QString &path) = 0;
    // Shows a modal message with an OK button and waits for it.
    virtual void message(QWidget *parent, const QString &title, const QString &text) = 0;
    // Asks for an existing file below folder; filter holds name filters
    // joined by ";;", each shown as given and matching as NameFilterPatterns
    // reads it. The chosen path, or an empty text when the user cancels.
    virtual QString askOpenFile(QWidget *parent, const QString &caption, const QString &folder,
                                const QString &filter) = 0;
    // Asks for a colour starting from current; nullopt when the user cancels.
    virtual std::optional<QColor> askColor(QWidget *parent, const QColor &current,
                                           const QString &caption) = 0;
};

// The patterns of a file dialog's name filter such as "Text (*.txt;*.log)":
// those in its last parentheses, separated by spaces or ";", "*.*" taken as
// every file; every file when it names none.
QStringList NameFilterPatterns(const QString &nameFilter);

Desktop &desktop();
// Installs desktop (not owned) for tests; nullptr restores the real one.
void setDesktopForTesting(Desktop *desktop);

// Opens the desktop's date and time settings: the first known tool on PATH; nothing when none.
bool openDateTimeSettings();
// Opens the desktop's region and format settings, the same way.
bool openRegionSettings();

} // namespace tavlo
