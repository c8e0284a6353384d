// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingswriter.h"

#include "platform/registrystore.h"
#include "platform/savefile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace tavlo {

namespace {

Q_LOGGING_CATEGORY(lcWriter, "tavlo.settings", QtCriticalMsg)

using std::chrono::milliseconds;

// The writer's connection gives up on a lock soon, so that it notices stop();
// the loop then waits a growing while before it tries again.
constexpr int kWriterBusyTimeoutMs = 100;
constexpr milliseconds kFirstBackoff(5);
constexpr milliseconds kLongestBackoff(250);
constexpr int kAutostartAttempts = 3;
// How long the destructor lets queued writes commit before it keeps them in the file.
constexpr milliseconds kDestroyFlush(1000);

const QByteArray kMagic("TAVLO-PENDING 1\n");
constexpr int kHashBytes = 20;
constexpr quint32 kMaxPendingWrites = 100000;
constexpr quint8 kSet = 0;
constexpr quint8 kDelete = 1;

QString foldedKey(const QString &key)
{
    QStringList parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (QString &part : parts)
        part = part.toCaseFolded();
    return parts.join(QLatin1Char('\\'));
}

QString overlayKey(RegHive hive, const QString &key, const QString &name)
{
    return QString::number(static_cast<int>(hive)) + QChar(0x1f) + foldedKey(key) + QChar(0x1f) +
           name.toCaseFolded();
}

std::optional<RegHive> hiveOf(qint32 number)
{
    if (number == static_cast<int>(RegHive::CurrentUser))
        return RegHive::CurrentUser;
    if (number == static_cast<int>(RegHive::LocalMachine))
        return RegHive::LocalMachine;
    return std::nullopt;
}

QByteArray encode(const QList<SettingsWrite> &writes)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(writes.size());
    for (const SettingsWrite &write : writes) {
        out << (write.value ? kSet : kDelete) << qint32(static_cast<int>(write.hive)) << write.key
            << write.name;
        if (write.value)
            out << qint32(write.value->type) << write.value->data;
    }
    return kMagic + QCryptographicHash::hash(payload, QCryptographicHash::Sha1) + payload;
}

// nullopt for anything but an intact file of our format.
std::optional<QList<SettingsWrite>> decode(const QByteArray &bytes)
{
    const qsizetype head = kMagic.size() + kHashBytes;
    if (bytes.size() < head || !bytes.startsWith(kMagic))
        return std::nullopt;
    const QByteArray payload = bytes.mid(head);
    if (QCryptographicHash::hash(payload, QCryptographicHash::Sha1) !=
        bytes.mid(kMagic.size(), kHashBytes))
        return std::nullopt;

    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 count = 0;
    in >> count;
    if (count > kMaxPendingWrites)
        return std::nullopt;
    QList<SettingsWrite> writes;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        quint8 op = 0;
        qint32 hive = 0;
        SettingsWrite write;
        in >> op >> hive >> write.key >> write.name;
        const auto known = hiveOf(hive);
        if (!known || (op != kSet && op != kDelete))
            return std::nullopt;
        write.hive = *known;
        if (op == kSet) {
            qint32 type = 0;
            QByteArray data;
            in >> type >> data;
            write.value = RegValue{write.name, type, data.isNull() ? QByteArray("") : data};
        }
        writes.append(std::move(write));
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return writes;
}

// The process id in "<database>.pending.<pid>", or 0 for any other name.
pid_t pendingOwner(const QString &fileName, const QString &prefix)
{
    if (!fileName.startsWith(prefix))
        return 0;
    bool ok = false;
    const qint64 pid = QStringView(fileName).mid(prefix.size()).toLongLong(&ok);
    return ok && pid > 0 && pid == pid_t(pid) ? pid_t(pid) : 0;
}

// Another running process may still commit its own file; ours is from an
// earlier process that had our number.
bool ownerRunning(pid_t pid)
{
    if (pid == ::getpid())
        return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

SettingsWriter::SettingsWriter(QString databasePath, QString autostartDir)
    : m_databasePath(std::move(databasePath)), m_autostartDir(std::move(autostartDir))
{
    loadPendingFiles();
    m_thread = std::thread([this] { run(); });
}

SettingsWriter::~SettingsWriter()
{
    flush(kDestroyFlush);
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

QString SettingsWriter::pendingPath() const
{
    if (m_databasePath.isEmpty())
        return QString();
    return m_databasePath + QStringLiteral(".pending.") + QString::number(::getpid());
}

bool SettingsWriter::setValue(RegHive hive, const QString &key, const RegValue &value)
{
    // Without a place for the database, or for a command the autostart entries
    // cannot hold, the write could never commit.
    if (m_databasePath.isEmpty() || (RegistryStore::isRunKey(hive, key) && !value.isText()))
        return false;
    enqueue(SettingsWrite{0, hive, key, value.name, value});
    return true;
}

bool SettingsWriter::deleteValue(RegHive hive, const QString &key, const QString &name)
{
    if (m_databasePath.isEmpty())
        return false;
    enqueue(SettingsWrite{0, hive, key, name, std::nullopt});
    return true;
}

void SettingsWriter::enqueue(SettingsWrite write)
{
    write.seq = ++m_lastSeq;
    m_overlay.insert(overlayKey(write.hive, write.key, write.name), write);
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(write));
    }
    m_wake.notify_one();
}

void SettingsWriter::prune()
{
    const quint64 committed = this->committed();
    if (committed == m_prunedAt)
        return;
    m_prunedAt = committed;
    m_overlay.removeIf([committed](const auto &entry) { return entry.value().seq <= committed; });
}

const SettingsWrite *SettingsWriter::pending(RegHive hive, const QString &key, const QString &name)
{
    if (m_overlay.isEmpty())
        return nullptr;
    prune();
    if (m_overlay.isEmpty())
        return nullptr;
    const auto it = m_overlay.constFind(overlayKey(hive, key, name));
    return it == m_overlay.constEnd() ? nullptr : &it.value();
}

bool SettingsWriter::flush(milliseconds timeout)
{
    if (committed() >= m_lastSeq) {
        removeCommittedFiles();
        return true;
    }
    // Kept in the file already: nothing more to wait for.
    if (m_savedSeq >= m_lastSeq)
        return false;
    {
        std::unique_lock lock(m_mutex);
        m_done.wait_for(lock, timeout, [this] { return committed() >= m_lastSeq; });
    }
    if (committed() >= m_lastSeq) {
        removeCommittedFiles();
        return true;
    }
    prune();
    QList<SettingsWrite> left = m_overlay.values();
    std::sort(left.begin(), left.end(),
              [](const SettingsWrite &a, const SettingsWrite &b) { return a.seq < b.seq; });
    if (savePendingFile(left))
        m_savedSeq = m_lastSeq;
    return false;
}

void SettingsWriter::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

bool SettingsWriter::savePendingFile(const QList<SettingsWrite> &writes)
{
    const QString path = pendingPath();
    if (path.isEmpty() || writes.isEmpty())
        return false;
    std::lock_guard files(m_fileMutex);
    if (!writeFileAtomically(path, encode(writes))) {
        qCWarning(lcWriter) << "cannot keep unwritten settings in" << path;
        return false;
    }
    // Our file holds every write not yet committed, those read from other
    // files at start included, so theirs are no longer needed.
    for (const PendingFile &other : m_files) {
        if (other.path != path)
            QFile::remove(other.path);
    }
    m_files = {PendingFile{path, writes.last().seq}};
    {
        std::lock_guard lock(m_mutex);
        m_checkFiles = true;
    }
    m_wake.notify_one();
    return true;
}

void SettingsWriter::removeCommittedFiles()
{
    const quint64 committed = this->committed();
    std::lock_guard files(m_fileMutex);
    std::erase_if(m_files, [committed](const PendingFile &file) {
        if (file.lastSeq > committed)
            return false;
        QFile::remove(file.path);
        return true;
    });
}

void SettingsWriter::loadPendingFiles()
{
    if (m_databasePath.isEmpty())
        return;
    const QFileInfo database(m_databasePath);
    const QString prefix = database.fileName() + QStringLiteral(".pending.");
    QFileInfoList candidates = database.dir().entryInfoList(
        {prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : std::as_const(candidates)) {
        const pid_t owner = pendingOwner(info.fileName(), prefix);
        if (!owner || ownerRunning(owner))
            continue;
        if (info.size() > MaxPendingFileBytes) {
            qCWarning(lcWriter) << "pending settings file too large, ignored:" << info.filePath();
            continue;
        }
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto writes = decode(file.read(MaxPendingFileBytes + 1));
        if (!writes) {
            qCWarning(lcWriter) << "damaged pending settings file ignored:" << info.filePath();
            continue;
        }
        for (const SettingsWrite &write : *writes)
            enqueue(write);
        m_files.push_back(PendingFile{info.filePath(), m_lastSeq});
        qCDebug(lcWriter) << "applying" << writes->size() << "settings kept in" << info.filePath();
    }
}

bool SettingsWriter::apply(RegistryStore &store, const SettingsWrite &write)
{
    if (write.value)
        return store.setValue(write.hive, write.key, *write.value);
    // Deleting what is not there succeeds as well.
    return store.deleteValue(write.hive, write.key, write.name) ||
           !store.value(write.hive, write.key, write.name);
}

void SettingsWriter::run()
{
    std::unique_ptr<RegistryStore> store;
    milliseconds backoff = kFirstBackoff;
    int attempts = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty() || m_checkFiles; });
        if (m_stop)
            break;
        if (m_checkFiles || m_queue.empty()) {
            m_checkFiles = false;
            lock.unlock();
            removeCommittedFiles();
            lock.lock();
            continue;
        }
        const SettingsWrite write = m_queue.front();
        lock.unlock();
        if (!store) {
            store = std::make_unique<RegistryStore>(m_databasePath, m_autostartDir);
            store->database().setBusyTimeout(kWriterBusyTimeoutMs);
        }
        const bool ok = apply(*store, write);
        ++attempts;
        // An autostart entry waits for no lock: a folder we may not write to
        // fails it for good, and it must not hold up the settings behind it.
        const bool givenUp =
            !ok && attempts >= kAutostartAttempts && RegistryStore::isRunKey(write.hive, write.key);
        lock.lock();
        if (ok || givenUp) {
            if (givenUp)
                qCWarning(lcWriter) << "autostart entry not written:" << write.name;
            attempts = 0;
            m_queue.pop_front();
            m_committed.store(write.seq, std::memory_order_release);
            m_done.notify_all();
            backoff = kFirstBackoff;
            m_checkFiles = m_checkFiles || m_queue.empty();
        } else {
            qCDebug(lcWriter) << "write not committed yet, retrying in" << backoff.count() << "ms";
            m_wake.wait_for(lock, backoff, [this] { return m_stop; });
            backoff = std::min(backoff * 2, kLongestBackoff);
        }
    }
    lock.unlock();
    store.reset();
}

} // namespace tavlo
