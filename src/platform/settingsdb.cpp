// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingsdb.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QtEndian>

#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>

namespace tavlo {

namespace {

// Off by default; QT_LOGGING_RULES="tavlo.settings.debug=true" turns it on.
Q_LOGGING_CATEGORY(lcSettings, "tavlo.settings", QtCriticalMsg)

// regkey holds every key (the two hive roots have the empty path); regvalue
// one row per value. *_folded columns are the case-folded lookup keys, the
// other text columns keep the spelling first written.
constexpr const char *kSchema = R"sql(
CREATE TABLE IF NOT EXISTS regkey(
    hive INTEGER NOT NULL,
    path_folded TEXT NOT NULL,
    parent_folded TEXT,
    name TEXT NOT NULL,
    PRIMARY KEY(hive, path_folded)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS regkey_parent ON regkey(hive, parent_folded);
CREATE TABLE IF NOT EXISTS regvalue(
    id INTEGER PRIMARY KEY,
    hive INTEGER NOT NULL,
    key_folded TEXT NOT NULL,
    name_folded TEXT NOT NULL,
    name TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(hive, key_folded, name_folded));
INSERT OR IGNORE INTO regkey VALUES(-2147483647, '', NULL, ''), (-2147483646, '', NULL, '');
PRAGMA user_version = 1;
)sql";

// Indexes into SettingsDatabase::m_statements; order matches kStatementSql.
enum Statement {
    StBegin,
    StCommit,
    StRollback,
    StSelectValue,
    StKeyExists,
    StInsertKey,
    StUpsertValue,
    StDeleteValue,
    StDeleteKeyTree,
    StDeleteValueTree,
    StListValues,
    StListSubKeys,
    StCount
};
static_assert(StCount <= 12, "raise SettingsDatabase::StatementCount");

constexpr const char *kStatementSql[StCount] = {
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    // length() of a blob does not load it, so a bounded read of a huge value stays cheap.
    "SELECT name, type, CASE WHEN ?4 IS NULL OR length(data) <= ?4 THEN data END, length(data) "
    "FROM regvalue WHERE hive = ?1 AND key_folded = ?2 AND name_folded = ?3",
    "SELECT 1 FROM regkey WHERE hive = ?1 AND path_folded = ?2",
    "INSERT OR IGNORE INTO regkey(hive, path_folded, parent_folded, name) VALUES(?1, ?2, ?3, ?4)",
    "INSERT INTO regvalue(hive, key_folded, name_folded, name, type, data) "
    "VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
    "ON CONFLICT(hive, key_folded, name_folded) DO UPDATE SET type = excluded.type, data = "
    "excluded.data",
    "DELETE FROM regvalue WHERE hive = ?1 AND key_folded = ?2 AND name_folded = ?3",
    // '\' is followed by ']' in code point order, so [K\, K]) is exactly the subtree of K.
    "DELETE FROM regkey WHERE hive = ?1 AND (path_folded = ?2 OR (path_folded >= ?3 AND "
    "path_folded < ?4))",
    "DELETE FROM regvalue WHERE hive = ?1 AND (key_folded = ?2 OR (key_folded >= ?3 AND "
    "key_folded < ?4))",
    // One statement, so the answer "key exists" and its values come from one snapshot;
    // a key without values gives one row of NULLs.
    "SELECT v.name, v.type, v.data FROM regkey k LEFT JOIN regvalue v "
    "ON v.hive = k.hive AND v.key_folded = k.path_folded "
    "WHERE k.hive = ?1 AND k.path_folded = ?2 ORDER BY v.id",
    "SELECT 0, name, path_folded FROM regkey WHERE hive = ?1 AND path_folded = ?2 "
    "UNION ALL SELECT 1, name, path_folded FROM regkey WHERE hive = ?1 AND parent_folded = ?2 "
    "ORDER BY 1, 3",
};

// A key path split on '\' with empty parts dropped, plain and case-folded.
struct KeyPath
{
    QStringList parts;
    QStringList foldedParts;
    QByteArray folded;

    explicit KeyPath(const QString &key)
    {
        parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        foldedParts.reserve(parts.size());
        for (const QString &part : std::as_const(parts))
            foldedParts.append(part.toCaseFolded());
        folded = foldedParts.join(QLatin1Char('\\')).toUtf8();
    }
    bool isRoot() const { return parts.isEmpty(); }
};

// Only the folded form, for the read path where nothing else is needed.
QByteArray foldedKey(const QString &key)
{
    QString folded = key.toCaseFolded();
    const QChar sep = QLatin1Char('\\');
    if (folded.startsWith(sep) || folded.endsWith(sep) || folded.contains(QLatin1String("\\\\")))
        return KeyPath(key).folded;
    return folded.toUtf8();
}

bool isFatal(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return true;
    default:
        return rc == SQLITE_READONLY_DBMOVED;
    }
}

class Binder
{
public:
    explicit Binder(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    ~Binder()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    Binder(const Binder &) = delete;
    Binder &operator=(const Binder &) = delete;

    // The bytes must outlive the step; callers keep them in locals.
    void text(int index, const QByteArray &utf8)
    {
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    }
    void blob(int index, const QByteArray &bytes)
    {
        // constData() is never null, so an empty value binds as an empty blob, not NULL.
        sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
    }
    void integer(int index, qint64 number) { sqlite3_bind_int64(m_stmt, index, number); }
    void hive(RegHive h) { integer(1, static_cast<int>(h)); }

private:
    sqlite3_stmt *m_stmt;
};

QString columnText(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

// A file SQLite would take for a database: missing (created), empty, or
// starting with its magic. Checked before SQLite sees the file, so that
// nothing, not even a leftover WAL of an earlier file, is ever replayed onto
// a file that is something else.
bool looksLikeDatabase(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    // Read through SQLite's own file layer: closing a descriptor of our own
    // would drop the locks that this process's other connections hold on the
    // file, and another program could then take itself for the last user and
    // remove the write-ahead log under them.
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    if (!vfs)
        return false;
    auto memory = std::make_unique<char[]>(size_t(vfs->szOsFile));
    std::memset(memory.get(), 0, size_t(vfs->szOsFile));
    auto *file = reinterpret_cast<sqlite3_file *>(memory.get());
    // SQLite's file names end in several NULs.
    const QByteArray name = QFile::encodeName(path) + QByteArray(4, '\0');
    int flags = 0;
    const int rc =
        vfs->xOpen(vfs, name.constData(), file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags);
    bool database = false;
    if (rc == SQLITE_OK) {
        sqlite3_int64 size = 0;
        char head[16] = {};
        if (file->pMethods->xFileSize(file, &size) == SQLITE_OK)
            database = size == 0 || (file->pMethods->xRead(file, head, 16, 0) == SQLITE_OK &&
                                     std::memcmp(head, "SQLite format 3\0", 16) == 0);
    }
    if (file->pMethods)
        file->pMethods->xClose(file);
    return database;
}

RegValue columnValue(sqlite3_stmt *stmt)
{
    RegValue value;
    value.name = columnText(stmt, 0);
    value.type = sqlite3_column_int(stmt, 1);
    const void *data = sqlite3_column_blob(stmt, 2);
    const int size = sqlite3_column_bytes(stmt, 2);
    value.data = data ? QByteArray(static_cast<const char *>(data), size) : QByteArray("");
    return value;
}

} // namespace

RegValue RegValue::text(const QString &name, const QString &text, int type)
{
    return RegValue{name, type, text.toUtf8()};
}

RegValue RegValue::dword(const QString &name, quint32 number)
{
    QByteArray data(4, Qt::Uninitialized);
    qToLittleEndian(number, data.data());
    return RegValue{name, RegDword, data};
}

SettingsDatabase::SettingsDatabase(QString path) : m_path(std::move(path))
{
    open();
}

SettingsDatabase::~SettingsDatabase()
{
    close();
}

QString SettingsDatabase::defaultPath()
{
    // Empty when there is no home to put it in; such an object stays unusable.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QLatin1String("/tavlo/registry.db");
}

void SettingsDatabase::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

bool SettingsDatabase::open()
{
    close();
    if (m_path.isEmpty())
        return false;

    const QFileInfo info(m_path);
    if (!info.dir().exists() && !QDir().mkpath(info.absolutePath())) {
        qCWarning(lcSettings) << "cannot create folder" << info.absolutePath();
        return false;
    }

    if (!looksLikeDatabase(m_path)) {
        qCWarning(lcSettings) << "not a database, left alone:" << m_path;
        return false;
    }

    const int rc =
        sqlite3_open_v2(QFile::encodeName(m_path).constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        qCWarning(lcSettings) << "cannot open" << m_path << sqlite3_errstr(rc);
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);

    if (!setUp()) {
        close();
        return false;
    }

    struct stat st;
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0) {
        close();
        return false;
    }
    m_device = st.st_dev;
    m_inode = st.st_ino;
    m_ready = true;
    qCDebug(lcSettings) << "opened" << m_path;
    return true;
}

bool SettingsDatabase::setUp()
{
    // journal_mode reads the header first, so a file that is not a database
    // fails here without a byte written.
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA journal_mode = WAL", -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    // Another program switching the mode at the same moment is harmless: it
    // leaves the file in WAL mode too.
    if (rc != SQLITE_ROW && rc != SQLITE_DONE && (rc & 0xff) != SQLITE_BUSY &&
        (rc & 0xff) != SQLITE_LOCKED) {
        qCWarning(lcSettings) << "not usable:" << m_path << sqlite3_errstr(rc);
        return false;
    }
    if (sqlite3_exec(m_db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;

    // A truncated file can look fine until a missing page is needed; refuse
    // it now rather than let a write land on top of the damage.
    stmt = nullptr;
    rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    QByteArray verdict;
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
        verdict = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    if (verdict != "ok") {
        qCWarning(lcSettings) << "damaged:" << m_path << verdict << sqlite3_errstr(rc);
        return false;
    }

    stmt = nullptr;
    int tables = 0;
    rc = sqlite3_prepare_v2(m_db,
                            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                            "('regkey', 'regvalue')",
                            -1, &stmt, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
        tables = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        return false;
    if (tables == 2)
        return true;

    char *error = nullptr;
    rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, kSchema, nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        qCWarning(lcSettings) << "cannot create tables:" << (error ? error : sqlite3_errstr(rc));
        sqlite3_free(error);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

void SettingsDatabase::close()
{
    for (sqlite3_stmt *&stmt : m_statements) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_ready = false;
}

bool SettingsDatabase::ensureReady()
{
    if (m_ready) {
        // The file replaced or removed under us (a restored backup, a user
        // deleting it): follow the path, not the old inode.
        struct stat st;
        if (::stat(QFile::encodeName(m_path).constData(), &st) == 0 && st.st_dev == m_device &&
            st.st_ino == m_inode)
            return true;
        // SQLite does not checkpoint a moved file on close and leaves its WAL
        // behind, where the next connection would replay it onto whatever now
        // lies at the path. Empty it into the old file first.
        qCDebug(lcSettings) << "file changed on disk, reopening" << m_path;
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    return open();
}

sqlite3_stmt *SettingsDatabase::statement(int which)
{
    if (!m_db)
        return nullptr;
    sqlite3_stmt *&stmt = m_statements[which];
    if (!stmt) {
        const int rc = sqlite3_prepare_v3(m_db, kStatementSql[which], -1, SQLITE_PREPARE_PERSISTENT,
                                          &stmt, nullptr);
        if (rc != SQLITE_OK) {
            qCWarning(lcSettings) << "prepare failed:" << sqlite3_errmsg(m_db);
            sqlite3_finalize(stmt);
            stmt = nullptr;
            failed(rc);
        }
    }
    return stmt;
}

void SettingsDatabase::failed(int rc)
{
    qCWarning(lcSettings) << "sqlite:" << sqlite3_errstr(rc) << m_path;
    // Drop the connection so the next call sets up again; the file stays as it is.
    if (isFatal(rc))
        close();
}

bool SettingsDatabase::exec(int which)
{
    sqlite3_stmt *stmt = statement(which);
    if (!stmt)
        return false;
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        failed(rc);
        return false;
    }
    return true;
}

template <typename Body> bool SettingsDatabase::transaction(Body body)
{
    if (!ensureReady() || !exec(StBegin))
        return false;
    if (body() && exec(StCommit))
        return true;
    if (m_db && !sqlite3_get_autocommit(m_db))
        exec(StRollback);
    return false;
}

bool SettingsDatabase::change(int which, RegHive hive, std::initializer_list<QByteArray> texts)
{
    sqlite3_stmt *stmt = statement(which);
    if (!stmt)
        return false;
    int rc;
    {
        Binder bind(stmt);
        bind.hive(hive);
        int index = 2;
        for (const QByteArray &text : texts)
            bind.text(index++, text);
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE) {
        failed(rc);
        return false;
    }
    return true;
}

bool SettingsDatabase::insertKeyChain(RegHive hive, const QStringList &parts,
                                      const QStringList &foldedParts)
{
    QByteArray parent = "";
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray folded =
            parent.isEmpty() ? foldedParts[i].toUtf8() : parent + '\\' + foldedParts[i].toUtf8();
        if (!change(StInsertKey, hive, {folded, parent, parts[i].toUtf8()}))
            return false;
        parent = folded;
    }
    return true;
}

const QByteArray &SettingsDatabase::readKey(const QString &key)
{
    if (key != m_readKey || m_readKeyFolded.isNull()) {
        m_readKeyFolded = foldedKey(key);
        m_readKey = key;
    }
    return m_readKeyFolded;
}

std::optional<RegValue> SettingsDatabase::value(RegHive hive, const QString &key,
                                                const QString &name)
{
    Read read = readValue(hive, key, name, -1);
    if (read.status != Read::Found)
        return std::nullopt;
    return std::move(read.value);
}

SettingsDatabase::Read SettingsDatabase::readValue(RegHive hive, const QString &key,
                                                   const QString &name, qint64 maxBytes)
{
    Read read;
    if (!ensureReady())
        return read;
    sqlite3_stmt *stmt = statement(StSelectValue);
    if (!stmt)
        return read;
    const QByteArray folded = readKey(key);
    const QByteArray foldedName = name.toCaseFolded().toUtf8();
    int rc;
    {
        Binder bind(stmt);
        bind.hive(hive);
        bind.text(2, folded);
        bind.text(3, foldedName);
        if (maxBytes >= 0)
            bind.integer(4, maxBytes);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW && maxBytes >= 0 && sqlite3_column_int64(stmt, 3) > maxBytes) {
            read.status = Read::TooLong;
        } else if (rc == SQLITE_ROW) {
            read.status = Read::Found;
            read.value = columnValue(stmt);
        } else if (rc == SQLITE_DONE) {
            read.status = Read::Absent;
        }
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        failed(rc);
    return read;
}

bool SettingsDatabase::setValue(RegHive hive, const QString &key, const RegValue &value)
{
    const KeyPath path(key);
    return transaction([&] {
        if (!insertKeyChain(hive, path.parts, path.foldedParts))
            return false;
        sqlite3_stmt *stmt = statement(StUpsertValue);
        if (!stmt)
            return false;
        const QByteArray foldedName = value.name.toCaseFolded().toUtf8();
        const QByteArray name = value.name.toUtf8();
        int rc;
        {
            Binder bind(stmt);
            bind.hive(hive);
            bind.text(2, path.folded);
            bind.text(3, foldedName);
            bind.text(4, name);
            bind.integer(5, value.type);
            bind.blob(6, value.data);
            rc = sqlite3_step(stmt);
        }
        if (rc != SQLITE_DONE) {
            failed(rc);
            return false;
        }
        return true;
    });
}

bool SettingsDatabase::deleteValue(RegHive hive, const QString &key, const QString &name)
{
    const QByteArray folded = KeyPath(key).folded;
    const QByteArray foldedName = name.toCaseFolded().toUtf8();
    bool found = false;
    const bool ok = transaction([&] {
        if (!change(StDeleteValue, hive, {folded, foldedName}))
            return false;
        found = sqlite3_changes(m_db) > 0;
        return true;
    });
    return ok && found;
}

bool SettingsDatabase::keyExists(RegHive hive, const QString &key)
{
    if (!ensureReady())
        return false;
    sqlite3_stmt *stmt = statement(StKeyExists);
    if (!stmt)
        return false;
    const QByteArray folded = foldedKey(key);
    int rc;
    {
        Binder bind(stmt);
        bind.hive(hive);
        bind.text(2, folded);
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        failed(rc);
    return rc == SQLITE_ROW;
}

bool SettingsDatabase::createKey(RegHive hive, const QString &key)
{
    const KeyPath path(key);
    return transaction([&] { return insertKeyChain(hive, path.parts, path.foldedParts); });
}

bool SettingsDatabase::deleteKey(RegHive hive, const QString &key)
{
    const KeyPath path(key);
    // The hive root cannot go, as on Windows.
    if (path.isRoot())
        return false;
    const QByteArray below = path.folded + '\\';
    const QByteArray after = path.folded + ']';
    bool found = false;
    const bool ok = transaction([&] {
        for (int which : {StDeleteValueTree, StDeleteKeyTree}) {
            if (!change(which, hive, {path.folded, below, after}))
                return false;
        }
        found = sqlite3_changes(m_db) > 0;
        return true;
    });
    return ok && found;
}

std::optional<QList<RegValue>> SettingsDatabase::values(RegHive hive, const QString &key)
{
    if (!ensureReady())
        return std::nullopt;
    sqlite3_stmt *stmt = statement(StListValues);
    if (!stmt)
        return std::nullopt;
    const QByteArray folded = foldedKey(key);
    std::optional<QList<RegValue>> result;
    int rc;
    {
        Binder bind(stmt);
        bind.hive(hive);
        bind.text(2, folded);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!result)
                result.emplace();
            if (sqlite3_column_type(stmt, 0) != SQLITE_NULL)
                result->append(columnValue(stmt));
        }
    }
    if (rc != SQLITE_DONE) {
        failed(rc);
        return std::nullopt;
    }
    return result;
}

std::optional<QStringList> SettingsDatabase::subKeys(RegHive hive, const QString &key)
{
    if (!ensureReady())
        return std::nullopt;
    sqlite3_stmt *stmt = statement(StListSubKeys);
    if (!stmt)
        return std::nullopt;
    const QByteArray folded = foldedKey(key);
    bool exists = false;
    QStringList names;
    int rc;
    {
        Binder bind(stmt);
        bind.hive(hive);
        bind.text(2, folded);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (sqlite3_column_int(stmt, 0) == 0)
                exists = true;
            else
                names.append(columnText(stmt, 1));
        }
    }
    if (rc != SQLITE_DONE) {
        failed(rc);
        return std::nullopt;
    }
    if (!exists)
        return std::nullopt;
    return names;
}

bool SettingsDatabase::upsertValue(RegHive hive, const QByteArray &foldedKey, const RegValue &value)
{
    sqlite3_stmt *stmt = statement(StUpsertValue);
    if (!stmt)
        return false;
    const QByteArray foldedName = value.name.toCaseFolded().toUtf8();
    const QByteArray name = value.name.toUtf8();
    int rc;
    {
        Binder bind(stmt);
        bind.hive(hive);
        bind.text(2, foldedKey);
        bind.text(3, foldedName);
        bind.text(4, name);
        bind.integer(5, value.type);
        bind.blob(6, value.data);
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE) {
        failed(rc);
        return false;
    }
    return true;
}

bool SettingsDatabase::applyBatch(const QList<Change> &changes)
{
    return transaction([&] {
        // The key chain of the last value set; a file sets many values under one key.
        std::optional<std::pair<RegHive, QByteArray>> madeKey;
        for (const Change &step : changes) {
            const KeyPath path(step.key);
            const auto makeKey = [&] {
                if (madeKey && madeKey->first == step.hive && madeKey->second == path.folded)
                    return true;
                if (!insertKeyChain(step.hive, path.parts, path.foldedParts))
                    return false;
                madeKey.emplace(step.hive, path.folded);
                return true;
            };
            bool ok = false;
            switch (step.kind) {
            case Change::SetValue:
                ok = makeKey() && upsertValue(step.hive, path.folded, step.value);
                break;
            case Change::DeleteValue:
                ok = change(StDeleteValue, step.hive,
                            {path.folded, step.value.name.toCaseFolded().toUtf8()});
                break;
            case Change::CreateKey:
                ok = makeKey();
                break;
            case Change::DeleteKey:
                madeKey.reset();
                ok = !path.isRoot();
                for (int which : {StDeleteValueTree, StDeleteKeyTree}) {
                    ok = ok && change(which, step.hive,
                                      {path.folded, path.folded + '\\', path.folded + ']'});
                }
                break;
            }
            if (!ok)
                return false;
        }
        return true;
    });
}

} // namespace tavlo
