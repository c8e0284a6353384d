// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registrystore.h"

#include <algorithm>

namespace tavlo {

namespace {

const QStringList &runParts()
{
    static const QStringList parts = RegistryStore::runKeyPath().split(QLatin1Char('\\'));
    return parts;
}

QStringList splitKey(const QString &key)
{
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// How many leading parts of key match the Run key path (case-insensitively),
// or -1 when key leaves that path.
qsizetype runDepth(RegHive hive, const QString &key)
{
    if (hive != RegHive::LocalMachine)
        return -1;
    const QStringList parts = splitKey(key);
    const QStringList &run = runParts();
    if (parts.size() > run.size())
        return -1;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].toCaseFolded() != run[i].toCaseFolded())
            return -1;
    }
    return parts.size();
}

bool isRunAncestor(RegHive hive, const QString &key)
{
    const qsizetype depth = runDepth(hive, key);
    return depth >= 0 && depth < runParts().size();
}

} // namespace

RegistryStore::RegistryStore(QString databasePath, QString autostartDir)
    : m_db(std::move(databasePath)), m_autostartDir(std::move(autostartDir))
{}

QString RegistryStore::runKeyPath()
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

bool RegistryStore::isRunKey(RegHive hive, const QString &key)
{
    return runDepth(hive, key) == runParts().size();
}

bool RegistryStore::isProtectedKey(RegHive hive, const QString &key)
{
    return splitKey(key).isEmpty() || runDepth(hive, key) >= 0;
}

bool RegistryStore::isAvailable()
{
    // The hive roots always exist in a working database.
    return m_db.keyExists(RegHive::CurrentUser, QString());
}

std::optional<RegValue> RegistryStore::value(RegHive hive, const QString &key, const QString &name)
{
    if (!isRunKey(hive, key))
        return m_db.value(hive, key, name);
    const auto command = autostart::read(m_autostartDir, name);
    if (!command)
        return std::nullopt;
    return RegValue::text(name, *command);
}

bool RegistryStore::setValue(RegHive hive, const QString &key, const RegValue &value)
{
    if (!isRunKey(hive, key))
        return m_db.setValue(hive, key, value);
    if (!value.isText())
        return false;
    return autostart::write(m_autostartDir, value.name, value.toText());
}

bool RegistryStore::deleteValue(RegHive hive, const QString &key, const QString &name)
{
    if (!isRunKey(hive, key))
        return m_db.deleteValue(hive, key, name);
    return autostart::remove(m_autostartDir, name);
}

bool RegistryStore::keyExists(RegHive hive, const QString &key)
{
    if (runDepth(hive, key) >= 0)
        return true;
    return m_db.keyExists(hive, key);
}

bool RegistryStore::createKey(RegHive hive, const QString &key)
{
    if (isRunKey(hive, key))
        return true;
    return m_db.createKey(hive, key);
}

bool RegistryStore::deleteKey(RegHive hive, const QString &key)
{
    if (isProtectedKey(hive, key))
        return false;
    return m_db.deleteKey(hive, key);
}

std::optional<QList<RegValue>> RegistryStore::values(RegHive hive, const QString &key)
{
    if (isRunKey(hive, key)) {
        QList<RegValue> result;
        for (const QString &name : autostart::names(m_autostartDir)) {
            if (const auto command = autostart::read(m_autostartDir, name))
                result.append(RegValue::text(name, *command));
        }
        return result;
    }
    auto result = m_db.values(hive, key);
    if (!result && isRunAncestor(hive, key))
        return QList<RegValue>();
    return result;
}

std::optional<QStringList> RegistryStore::subKeys(RegHive hive, const QString &key)
{
    if (isRunKey(hive, key))
        return QStringList();
    auto result = m_db.subKeys(hive, key);
    if (!isRunAncestor(hive, key))
        return result;
    // The keys leading to Run exist whether or not the database has them.
    if (!result)
        result.emplace();
    const QString next = runParts().at(runDepth(hive, key));
    if (!result->contains(next, Qt::CaseInsensitive)) {
        result->append(next);
        std::sort(result->begin(), result->end(), [](const QString &a, const QString &b) {
            return a.toCaseFolded() < b.toCaseFolded();
        });
    }
    return result;
}

} // namespace tavlo
