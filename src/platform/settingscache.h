// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settingsdb.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <optional>

namespace tavlo {

// Remembers what reads of the settings database gave, for as long as a cheap
// look at its files (identity, size and modification time of the database
// and its write-ahead log) and the count of our own commits say that nothing
// changed. The look is taken at most once per burst of reads, so a change by
// any program shows at the first read after the burst it happened in.
class SettingsCache final
{
public:
    // A text, or nullopt where the reader takes its default.
    using Text = std::optional<QString>;

    explicit SettingsCache(QString databasePath,
                           std::chrono::milliseconds burst = std::chrono::milliseconds(20));
    ~SettingsCache();
    SettingsCache(const SettingsCache &) = delete;
    SettingsCache &operator=(const SettingsCache &) = delete;

    // Drops every remembered read when the files or ownCommits changed since
    // the last look; looks at most once per burst.
    void check(quint64 ownCommits);
    // Drops every remembered read now (a write of our own was queued).
    void clear();
    // The next check drops every remembered read even if nothing seems changed.
    void distrust() { m_distrusted = true; }
    // Counts the drops: while it stays the same, every remembered read still holds.
    quint64 generation() const { return m_generation; }

    const Text *find(RegHive hive, const QString &key, const QString &name) const;
    void remember(RegHive hive, const QString &key, const QString &name, Text text);
    // What the last read of the value gave before the cache was dropped.
    const Text *lastKnown(RegHive hive, const QString &key, const QString &name) const;

private:
    struct FileStamp
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 mtimeSec = 0;
        qint64 mtimeNsec = 0;
        bool operator==(const FileStamp &) const = default;
    };
    struct Name
    {
        int hive;
        QString key;
        QString name;
        bool operator==(const Name &) const = default;
    };
    friend size_t qHash(const Name &name, size_t seed) noexcept
    {
        return qHashMulti(seed, name.hive, name.key, name.name);
    }

    FileStamp stampOf(const QByteArray &name);
    // Keeps m_folder open on the database's folder, opened again when the
    // folder at its path is another one.
    void checkFolder(std::chrono::steady_clock::time_point now);
    void drop();

    QByteArray m_folderPath;
    QByteArray m_databaseName;
    QByteArray m_walName;
    // The files are looked at relative to their open folder: a look then
    // walks one name instead of the whole path.
    int m_folder = -1;
    std::chrono::steady_clock::time_point m_folderCheckedAt;
    std::chrono::milliseconds m_burst;
    std::chrono::steady_clock::time_point m_lookedAt;
    bool m_looked = false;
    bool m_distrusted = true;
    FileStamp m_database;
    FileStamp m_wal;
    quint64 m_ownCommits = 0;
    quint64 m_generation = 1;
    QHash<Name, Text> m_reads;
    QHash<Name, Text> m_lastKnown;
};

} // namespace tavlo
