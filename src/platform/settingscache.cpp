// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingscache.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace tavlo {

namespace {

// A file changed twice within one tick of the file system's clock can keep
// its size and time; a stamp this young is not trusted until it is older.
constexpr qint64 kSettleNsec = 1'000'000'000;

// How often the folder's own path is looked at, for a folder moved or replaced.
constexpr std::chrono::seconds kFolderCheck(5);

qint64 nowNsec()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

SettingsCache::SettingsCache(QString databasePath, std::chrono::milliseconds burst) : m_burst(burst)
{
    if (databasePath.isEmpty())
        return;
    const QFileInfo info(databasePath);
    m_folderPath = QFile::encodeName(info.absolutePath());
    m_databaseName = QFile::encodeName(info.fileName());
    m_walName = m_databaseName + "-wal";
}

SettingsCache::~SettingsCache()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

void SettingsCache::checkFolder(std::chrono::steady_clock::time_point now)
{
    if (m_folder >= 0 && now - m_folderCheckedAt < kFolderCheck)
        return;
    m_folderCheckedAt = now;
    struct stat atPath, open;
    if (m_folder >= 0 && ::stat(m_folderPath.constData(), &atPath) == 0 &&
        ::fstat(m_folder, &open) == 0 && atPath.st_dev == open.st_dev &&
        atPath.st_ino == open.st_ino)
        return;
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = ::open(m_folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

SettingsCache::FileStamp SettingsCache::stampOf(const QByteArray &name)
{
    struct stat st;
    if (m_folder < 0 || ::fstatat(m_folder, name.constData(), &st, 0) != 0)
        return FileStamp{};
    return FileStamp{true,       quint64(st.st_dev), quint64(st.st_ino),
                     st.st_size, st.st_mtim.tv_sec,  st.st_mtim.tv_nsec};
}

void SettingsCache::check(quint64 ownCommits)
{
    const auto now = std::chrono::steady_clock::now();
    if (m_looked && now - m_lookedAt < m_burst && ownCommits == m_ownCommits)
        return;
    m_looked = true;
    m_lookedAt = now;
    if (!m_folderPath.isEmpty())
        checkFolder(now);
    const FileStamp database = stampOf(m_databaseName);
    const FileStamp wal = stampOf(m_walName);
    if (m_distrusted || database != m_database || wal != m_wal || ownCommits != m_ownCommits)
        drop();
    m_database = database;
    m_wal = wal;
    m_ownCommits = ownCommits;
    const qint64 newest = std::max(database.mtimeSec * 1'000'000'000 + database.mtimeNsec,
                                   wal.mtimeSec * 1'000'000'000 + wal.mtimeNsec);
    const qint64 age = nowNsec() - newest;
    m_distrusted = age < kSettleNsec;
}

void SettingsCache::clear()
{
    drop();
}

void SettingsCache::drop()
{
    ++m_generation;
    if (m_reads.isEmpty())
        return;
    // Kept for a read that fails before it is read again.
    for (auto it = m_reads.cbegin(); it != m_reads.cend(); ++it)
        m_lastKnown.insert(it.key(), it.value());
    m_reads.clear();
}

const SettingsCache::Text *SettingsCache::find(RegHive hive, const QString &key,
                                               const QString &name) const
{
    const auto it = m_reads.constFind(Name{static_cast<int>(hive), key, name});
    return it == m_reads.constEnd() ? nullptr : &it.value();
}

void SettingsCache::remember(RegHive hive, const QString &key, const QString &name, Text text)
{
    m_reads.insert(Name{static_cast<int>(hive), key, name}, std::move(text));
}

const SettingsCache::Text *SettingsCache::lastKnown(RegHive hive, const QString &key,
                                                    const QString &name) const
{
    const Name wanted{static_cast<int>(hive), key, name};
    auto it = m_reads.constFind(wanted);
    if (it != m_reads.constEnd())
        return &it.value();
    it = m_lastKnown.constFind(wanted);
    return it == m_lastKnown.constEnd() ? nullptr : &it.value();
}

} // namespace tavlo
