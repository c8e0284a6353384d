// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace tavlo {

// The two hives the program uses; the numbers are the Windows handle values.
enum class RegHive : int { CurrentUser = -2147483647, LocalMachine = -2147483646 };

// Value types as Windows numbers them; kept with every value.
enum RegType : int {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
    RegQword = 11,
};

// One stored value. data holds: UTF-8 text for RegSz/RegExpandSz, strings
// separated by NUL for RegMultiSz, 4 (RegDword) or 8 (RegQword) little-endian
// bytes, raw bytes for everything else.
struct RegValue
{
    QString name;
    int type = RegSz;
    QByteArray data;

    static RegValue text(const QString &name, const QString &text, int type = RegSz);
    static RegValue dword(const QString &name, quint32 number);
    bool isText() const { return type == RegSz || type == RegExpandSz; }
    QString toText() const { return QString::fromUtf8(data); }
};

// The per-user settings database that stands in for the registry: one row per
// value, key paths and names compared case-insensitively, shared safely by
// several running programs. Every call goes to the file; nothing is cached.
// Every failure (missing, unreadable or corrupt file) reads as "absent" and
// fails a write; the file itself is never replaced or repaired. An object
// holds one connection: use it from one thread at a time.
class SettingsDatabase final
{
public:
    explicit SettingsDatabase(QString path = defaultPath());
    ~SettingsDatabase();
    SettingsDatabase(const SettingsDatabase &) = delete;
    SettingsDatabase &operator=(const SettingsDatabase &) = delete;

    // ${XDG_CONFIG_HOME:-~/.config}/tavlo/registry.db
    static QString defaultPath();
    QString path() const { return m_path; }
    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(int ms);

    std::optional<RegValue> value(RegHive hive, const QString &key, const QString &name);

    // One value read for a caller that must tell "absent" from "not readable".
    struct Read
    {
        enum Status { Found, Absent, TooLong, Failed } status = Failed;
        RegValue value; // set when Found
    };
    // Like value(), but data longer than maxBytes is not even loaded: TooLong.
    Read readValue(RegHive hive, const QString &key, const QString &name, qint64 maxBytes);

    // Creates the key and its parents as needed.
    bool setValue(RegHive hive, const QString &key, const RegValue &value);
    bool deleteValue(RegHive hive, const QString &key, const QString &name);

    bool keyExists(RegHive hive, const QString &key);
    bool createKey(RegHive hive, const QString &key);
    // Deletes the key, its values and every subkey.
    bool deleteKey(RegHive hive, const QString &key);

    // nullopt when the key does not exist.
    std::optional<QList<RegValue>> values(RegHive hive, const QString &key);
    // Names (as first written) of the direct subkeys; nullopt when the key does not exist.
    std::optional<QStringList> subKeys(RegHive hive, const QString &key);

    // One step of applyBatch(); a DeleteValue names its value in value.name.
    struct Change
    {
        enum Kind { SetValue, DeleteValue, CreateKey, DeleteKey };
        Kind kind = SetValue;
        RegHive hive = RegHive::CurrentUser;
        QString key;
        RegValue value;
    };
    // Applies the changes in order in one transaction: all of them, or none
    // when any fails. A value or key to delete that is not there is no failure;
    // deleting a hive root is.
    bool applyBatch(const QList<Change> &changes);

private:
    bool open();
    bool setUp();
    void close();
    bool ensureReady();
    sqlite3_stmt *statement(int which);
    void failed(int rc);
    bool exec(int which);
    template <typename Body> bool transaction(Body body);
    // Runs a statement that changes rows, the hive bound first and texts after it.
    bool change(int which, RegHive hive, std::initializer_list<QByteArray> texts);
    bool insertKeyChain(RegHive hive, const QStringList &parts, const QStringList &foldedParts);
    // The folded form of the key read last; the widgets read one key over and over.
    const QByteArray &readKey(const QString &key);
    bool upsertValue(RegHive hive, const QByteArray &foldedKey, const RegValue &value);

    static constexpr int StatementCount = 12;

    QString m_path;
    int m_busyTimeoutMs = 5000;
    sqlite3 *m_db = nullptr;
    bool m_ready = false;
    sqlite3_stmt *m_statements[StatementCount] = {};
    // Identity of the file the connection has open, to notice a replaced file.
    quint64 m_device = 0;
    quint64 m_inode = 0;
    QString m_readKey;
    QByteArray m_readKeyFolded;
};

} // namespace tavlo
