// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/autostart.h"
#include "platform/settingsdb.h"

namespace tavlo {

// The registry as the program sees it: the settings database, except that the
// local-machine Run key is the XDG autostart folder (one entry per value,
// REG_SZ text = the command; an empty text hides the entry).
class RegistryStore final
{
public:
    explicit RegistryStore(QString databasePath = SettingsDatabase::defaultPath(),
                           QString autostartDir = autostart::defaultDir());

    // Software\Microsoft\Windows\CurrentVersion\Run as stored by Windows.
    static QString runKeyPath();
    // True for HKLM\Software\Microsoft\Windows\CurrentVersion\Run, in any case or spacing of '\'.
    static bool isRunKey(RegHive hive, const QString &key);
    // Keys deleteKey refuses: the hive roots, the Run key and the keys above it.
    static bool isProtectedKey(RegHive hive, const QString &key);

    // False when the database cannot be opened (missing folder rights, damaged file).
    bool isAvailable();
    SettingsDatabase &database() { return m_db; }
    QString autostartDir() const { return m_autostartDir; }

    std::optional<RegValue> value(RegHive hive, const QString &key, const QString &name);
    // Under the Run key only text types are accepted.
    bool setValue(RegHive hive, const QString &key, const RegValue &value);
    bool deleteValue(RegHive hive, const QString &key, const QString &name);

    bool keyExists(RegHive hive, const QString &key);
    bool createKey(RegHive hive, const QString &key);
    // Refused for the Run key and the keys above it.
    bool deleteKey(RegHive hive, const QString &key);

    std::optional<QList<RegValue>> values(RegHive hive, const QString &key);
    std::optional<QStringList> subKeys(RegHive hive, const QString &key);

private:
    SettingsDatabase m_db;
    QString m_autostartDir;
};

} // namespace tavlo
