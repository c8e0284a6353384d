// SPDX-License-Identifier: GPL-3.0-or-later
// The longest wait of the interface thread on the settings store while another
// program holds the database's write lock: a save and a read, a few times over.
// Usage: tavlo_storestall [ROUNDS]
//        tavlo_storestall --hold DATABASE SECONDS   (holds the lock, for bench/store_lock.sh)
#include "core/cmlib_registry.h"
#include "core/valuenames.h"
#include "platform/registrystore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {

int holdLock(const char *path, int seconds)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "could not take the lock of %s\n", path);
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    QThread::sleep(unsigned(seconds));
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--hold") == 0)
        return holdLock(argv[2], std::max(1, std::atoi(argv[3])));
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.db"));
    const QString details = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
    auto registry = std::make_unique<tavlo::cmlib_REGISTRY>(
        std::make_unique<tavlo::RegistryStore>(path, dir.filePath(QStringLiteral("autostart"))));
    registry->RegSave(tavlo::reg::HKCU, details, QStringLiteral("Left"), QStringLiteral("0"));
    registry->flush(std::chrono::seconds(5));

    sqlite3 *holder = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &holder);
    if (sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "could not take the lock\n");
        return 1;
    }
    qint64 longestWrite = 0, longestRead = 0;
    bool seen = true;
    QElapsedTimer timer;
    for (int i = 1; i <= rounds; ++i) {
        timer.start();
        registry->RegSave(tavlo::reg::HKCU, details, QStringLiteral("Left"), QString::number(i));
        longestWrite = std::max(longestWrite, timer.nsecsElapsed());
        timer.start();
        seen = seen && registry->RegLoad(tavlo::reg::HKCU, details, QStringLiteral("Left"), "") ==
                           QString::number(i);
        longestRead = std::max(longestRead, timer.nsecsElapsed());
    }
    std::printf("lock held, %d rounds: longest save %.3f ms, longest read %.3f ms, reads %s\n",
                rounds, longestWrite / 1e6, longestRead / 1e6,
                seen ? "saw each save" : "missed a save");
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    timer.start();
    const bool flushed = registry->flush(std::chrono::seconds(5));
    std::printf("after release: flushed %s in %.1f ms\n", flushed ? "all" : "not all",
                timer.nsecsElapsed() / 1e6);
    return 0;
}
