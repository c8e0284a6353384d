// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// XDG autostart entries, the Linux side of the Windows local-machine Run key:
// one <name>.desktop file per Run value, its Exec= line holding the command.
// Names match case-insensitively, as Run value names do.
namespace tavlo::autostart {

// ${XDG_CONFIG_HOME:-~/.config}/autostart
QString defaultDir();

// False for names that would leave the folder: empty, ".", "..", or holding '/' or NUL.
bool isValidName(const QString &name);

// Writes <dir>/<name>.desktop atomically; an empty command keeps the entry but hides it.
bool write(const QString &dir, const QString &name, const QString &command);

// The command of the entry (unquoted), "" for a hidden or disabled entry,
// nullopt when there is no such entry.
std::optional<QString> read(const QString &dir, const QString &name);

// Names of the entries in dir that we wrote (they carry our marker key), sorted.
QStringList names(const QString &dir);

// Removes an entry we wrote; another program's entry of that name is left alone.
bool remove(const QString &dir, const QString &name);

} // namespace tavlo::autostart
