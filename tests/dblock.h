// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <sqlite3.h>

namespace tavlo::test {

// Another program's connection holding the database's write lock for the
// object's lifetime, or until release().
class DatabaseLock final
{
public:
    explicit DatabaseLock(const QString &path)
    {
        if (sqlite3_open(QFile::encodeName(path).constData(), &m_db) == SQLITE_OK)
            held = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~DatabaseLock() { release(); }
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;

    void release()
    {
        if (m_db) {
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(m_db);
        }
        m_db = nullptr;
        held = false;
    }
    bool held = false;

private:
    sqlite3 *m_db = nullptr;
};

} // namespace tavlo::test
