#include "app/cmlib_registry.h"
#include "app/valuenames.h"
#include "platform/registrystore.h"
#include "platform/settingsdb.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

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
