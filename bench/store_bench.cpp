#include "platform/settingsdb.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kDetails = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");

// One read of the settings store, as the clock makes two of every 500 ms.
void BM_SettingsRead(benchmark::State &state)
{
    QTemporaryDir dir;
    tavlo::SettingsDatabase db(dir.filePath(QStringLiteral("registry.db")));
    for (int i = 0; i < 60; ++i)
        db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                    tavlo::RegValue::text(QStringLiteral("Value %1").arg(i), QStringLiteral("1")));
    const QString name = QStringLiteral("0style-MODERN");
    db.setValue(tavlo::RegHive::CurrentUser, kDetails,
                tavlo::RegValue::text(QStringLiteral("0Style-modern"), QStringLiteral("1")));
    for (auto _ : state)
        benchmark::DoNotOptimize(db.value(tavlo::RegHive::CurrentUser, kDetails, name));
}
BENCHMARK(BM_SettingsRead)->Unit(benchmark::kMicrosecond);

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
