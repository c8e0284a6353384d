// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmlib_registry.h"
#include "core/valuenames.h"
#include "platform/registrystore.h"
#include "platform/settingscache.h"
#include "platform/settingsdb.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString kDetails = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");

void fill(tavlo::SettingsDatabase &db)
{
    for (int i = 0; i < 60; ++i)
        db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                    tavlo::RegValue::text(QStringLiteral("Value %1").arg(i), QStringLiteral("1")));
    db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                tavlo::RegValue::text(QStringLiteral("0Style-modern"), QStringLiteral("1")));
    db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                tavlo::RegValue::text(QStringLiteral("0State"), QStringLiteral("0")));
}

std::unique_ptr<tavlo::cmlib_REGISTRY> registryIn(const QTemporaryDir &dir)
{
    return std::make_unique<tavlo::cmlib_REGISTRY>(std::make_unique<tavlo::RegistryStore>(
        dir.filePath(QStringLiteral("registry.db")), dir.filePath(QStringLiteral("autostart"))));
}

// One read of the settings store, as the clock makes two of every 500 ms.
void BM_SettingsRead(benchmark::State &state)
{
    QTemporaryDir dir;
    tavlo::SettingsDatabase db(dir.filePath(QStringLiteral("registry.db")));
    fill(db);
    const QString name = QStringLiteral("0style-MODERN");
    for (auto _ : state)
        benchmark::DoNotOptimize(db.value(tavlo::RegHive::CurrentUser, kDetails, name));
}
BENCHMARK(BM_SettingsRead)->Unit(benchmark::kMicrosecond);

// The two reads of one clock tick through the widgets' read path, nothing changed in between.
void BM_TickReads(benchmark::State &state)
{
    QTemporaryDir dir;
    auto registry = registryIn(dir);
    fill(registry->store().database());
    const QString style = QStringLiteral("0Style-modern");
    const QString arrangement = QStringLiteral("0State");
    for (auto _ : state) {
        benchmark::DoNotOptimize(registry->RegLoad(tavlo::reg::HKCU, kDetails, style, "1"));
        benchmark::DoNotOptimize(registry->RegLoad(tavlo::reg::HKCU, kDetails, arrangement, "0"));
    }
}
BENCHMARK(BM_TickReads)->Unit(benchmark::kMicrosecond);

// A read of a 5 MB value, which the widgets take as absent.
void BM_HugeValueRead(benchmark::State &state)
{
    QTemporaryDir dir;
    auto registry = registryIn(dir);
    fill(registry->store().database());
    registry->store().setValue(
        tavlo::RegHive::CurrentUser, kDetails,
        tavlo::RegValue::text(QStringLiteral("0Style-modern"), QString(5 << 20, QLatin1Char('x'))));
    const QString style = QStringLiteral("0Style-modern");
    for (auto _ : state)
        benchmark::DoNotOptimize(registry->RegLoad(tavlo::reg::HKCU, kDetails, style, "1"));
}
BENCHMARK(BM_HugeValueRead)->Unit(benchmark::kMicrosecond);

// The look at the files that each tick's first read makes, and the two lookups.
void BM_TickLook(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.db"));
    tavlo::SettingsDatabase db(path);
    fill(db);
    // Files as they are between changes: not touched for a while. (Set by
    // name: closing a descriptor of our own would drop the connection's locks.)
    const timespec aMinuteAgo[2] = {{time(nullptr) - 60, 0}, {time(nullptr) - 60, 0}};
    for (const QString &file : {path, path + QStringLiteral("-wal")})
        ::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), aMinuteAgo, 0);
    tavlo::SettingsCache cache(path, std::chrono::milliseconds(0));
    const QString style = QStringLiteral("0Style-modern");
    const QString arrangement = QStringLiteral("0State");
    cache.check(0);
    cache.remember(tavlo::RegHive::CurrentUser, kDetails, style, QStringLiteral("1"));
    cache.remember(tavlo::RegHive::CurrentUser, kDetails, arrangement, QStringLiteral("0"));
    for (auto _ : state) {
        cache.check(0);
        benchmark::DoNotOptimize(cache.find(tavlo::RegHive::CurrentUser, kDetails, style));
        benchmark::DoNotOptimize(cache.find(tavlo::RegHive::CurrentUser, kDetails, arrangement));
    }
}
BENCHMARK(BM_TickLook)->Unit(benchmark::kMicrosecond);

// An uncached read of a 5 MB value with the widgets' bound: the data stays on disk.
void BM_HugeValueBoundedRead(benchmark::State &state)
{
    QTemporaryDir dir;
    tavlo::SettingsDatabase db(dir.filePath(QStringLiteral("registry.db")));
    fill(db);
    const QString style = QStringLiteral("0Style-modern");
    db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                tavlo::RegValue::text(style, QString(5 << 20, QLatin1Char('x'))));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            db.readValue(tavlo::RegHive::CurrentUser, kDetails, style, 32 * 1024));
}
BENCHMARK(BM_HugeValueBoundedRead)->Unit(benchmark::kMicrosecond);

void BM_SettingsWrite(benchmark::State &state)
{
    QTemporaryDir dir;
    tavlo::SettingsDatabase db(dir.filePath(QStringLiteral("registry.db")));
    int i = 0;
    for (auto _ : state)
        db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                    tavlo::RegValue::text(QStringLiteral("Left"), QString::number(++i)));
}
BENCHMARK(BM_SettingsWrite)->Unit(benchmark::kMicrosecond);

} // namespace
