// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/autostart.h"
#include "platform/settingsdb.h"

#include <QHash>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tavlo {

class RegistryStore;

// One queued set or delete of a value, numbered in the order it was made.
struct SettingsWrite
{
    quint64 seq = 0;
    RegHive hive = RegHive::CurrentUser;
    QString key;
    QString name;
    // The value to set; nullopt deletes it.
    std::optional<RegValue> value;
};

// Writes settings on a thread with its own connection, so that the interface
// never waits for another program's lock: writes are queued in order and
// retried until they commit (an autostart entry, which waits for no lock,
// gets three tries). Until then a read consults pending(), so it sees the
// write at once. What is still unwritten at exit is kept in a small file
// beside the database (one per process) and applied by the next program that
// opens the store. All public functions belong to the thread that made the
// object; only the constructor (reading the files that ended programs left)
// and flush() touch the disk.
class SettingsWriter final
{
public:
    explicit SettingsWriter(QString databasePath = SettingsDatabase::defaultPath(),
                            QString autostartDir = autostart::defaultDir());
    // Flushes for a short while, keeps the rest in the pending file and stops the thread.
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter &) = delete;
    SettingsWriter &operator=(const SettingsWriter &) = delete;

    // Queues the write; false only for one that can never succeed.
    bool setValue(RegHive hive, const QString &key, const RegValue &value);
    bool deleteValue(RegHive hive, const QString &key, const QString &name);

    // The newest write of that value not yet committed, or nullptr.
    const SettingsWrite *pending(RegHive hive, const QString &key, const QString &name);
    // Counts what the writer has committed; changes whenever our writes reach the database.
    quint64 committed() const { return m_committed.load(std::memory_order_acquire); }

    // Waits at most timeout for every queued write to commit. Whatever is left
    // then is kept in the pending file (written atomically); false in that case.
    bool flush(std::chrono::milliseconds timeout);
    // Ends the thread after its current attempt; later writes only queue.
    void stop();

    // This process's pending file.
    QString pendingPath() const;

    // At most this much of a pending file is read; a larger one is ignored.
    static constexpr qint64 MaxPendingFileBytes = 16 << 20;

private:
    struct PendingFile
    {
        QString path;
        quint64 lastSeq = 0;
    };

    void enqueue(SettingsWrite write);
    void prune();
    void run();
    bool apply(RegistryStore &store, const SettingsWrite &write);
    void removeCommittedFiles();
    void loadPendingFiles();
    bool savePendingFile(const QList<SettingsWrite> &writes);

    const QString m_databasePath;
    const QString m_autostartDir;

    // Owner thread only: the newest uncommitted write per value.
    QHash<QString, SettingsWrite> m_overlay;
    quint64 m_lastSeq = 0;
    quint64 m_prunedAt = 0;
    // Highest number already kept in our pending file.
    quint64 m_savedSeq = 0;

    // m_mutex guards the queue and the flags; it is never held across disk work.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<SettingsWrite> m_queue;
    bool m_stop = false;
    bool m_checkFiles = false;
    std::atomic<quint64> m_committed{0};

    // m_fileMutex guards the pending files on disk and their list.
    std::mutex m_fileMutex;
    std::vector<PendingFile> m_files;

    std::thread m_thread;
};

} // namespace tavlo
