// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settingsdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

// Helpers shared by the tests of the settings store and its tools.
namespace tavlo::test {

inline const QString kDetails = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
inline constexpr RegHive kUser = RegHive::CurrentUser;

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// The text of a value of the user hive, or "<absent>".
inline QString textOf(SettingsDatabase &db, const QString &name, const QString &key = kDetails)
{
    const auto value = db.value(kUser, key, name);
    return value ? value->toText() : QStringLiteral("<absent>");
}

// Makes the database at path refuse any value named "refused", to fail a write part-way.
inline bool refuseValueNamedRefused(const QString &path)
{
    sqlite3 *raw = nullptr;
    const bool made =
        sqlite3_open(QFile::encodeName(path).constData(), &raw) == SQLITE_OK &&
        sqlite3_exec(raw,
                     "CREATE TRIGGER refuse BEFORE INSERT ON regvalue WHEN NEW.name = "
                     "'refused' BEGIN SELECT RAISE(ABORT, 'refused'); END",
                     nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return made;
}

} // namespace tavlo::test
