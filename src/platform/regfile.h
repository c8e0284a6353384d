// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settingsdb.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace tavlo {

// One line under a key of a .reg file: a value to set, or "name"=- to delete.
struct RegFileValue
{
    RegValue value;
    bool remove = false;
};

// One [KEY] block of a .reg file, or [-KEY] (remove = true) to delete the key.
struct RegFileKey
{
    RegHive hive = RegHive::CurrentUser;
    QString path; // below the hive, '\' separated; empty for the hive itself
    bool remove = false;
    QList<RegFileValue> values;
};

// The registry editor's text format ("Windows Registry Editor Version 5.00",
// also read: "REGEDIT4").
class RegFile final
{
public:
    QList<RegFileKey> keys;

    // Reads UTF-16 (with BOM) or UTF-8 text; nullopt and a message naming the line on error.
    static std::optional<RegFile> parse(const QByteArray &bytes, QString *error = nullptr);
    // UTF-16LE with BOM and CRLF line ends, as the registry editor writes it.
    QByteArray toBytes() const;
    // The same text, for display and tests.
    QString toText() const;

    // "HKEY_CURRENT_USER" / "HKEY_LOCAL_MACHINE".
    static QString hiveName(RegHive hive);
    // "HKEY_CURRENT_USER\Software\X"; the hive name alone for the hive itself.
    static QString fullKeyName(RegHive hive, const QString &path);
    // Accepts HKEY_CURRENT_USER, HKCU, HKEY_LOCAL_MACHINE, HKLM in any case,
    // optionally followed by '\' and a path (returned with empty parts dropped).
    static std::optional<std::pair<RegHive, QString>> splitKeyName(const QString &name,
                                                                   QString *error = nullptr);
};

} // namespace tavlo
