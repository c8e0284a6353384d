// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modfileread.h"
#include "platform/profilefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>

namespace {

const QByteArray kPreset = "[main]\r\n>     theme-color=255\r\n>     transparency=200\r\n"
                           ">     contrast=60\r\n";

QString put(const QTemporaryDir &dir, const char *name, const QByteArray &bytes, qint64 size = -1)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    if (size >= 0)
        file.resize(size);
    return path;
}

// Reading a preset of the given size (bytes), as a click in the list does.
void BM_PresetLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    QByteArray bytes = kPreset;
    while (bytes.size() < state.range(0))
        bytes += "; a comment line that fills the file up to its size\r\n";
    bytes.truncate(state.range(0));
    const QString path = put(dir, "p.tvp", bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(tavlo::ProfileFile::load(path));
}
BENCHMARK(BM_PresetLoad)->Arg(200)->Arg(tavlo::kProfileFileLimit)->Unit(benchmark::kMicrosecond);

// Refusing a 200 MB preset and a link to /dev/zero.
void BM_PresetRefuse(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString big = put(dir, "big.tvp", kPreset, 200LL * 1000 * 1000);
    const QString zero = dir.filePath(QStringLiteral("zero.tvp"));
    QFile::link(QStringLiteral("/dev/zero"), zero);
    const QString path = state.range(0) == 0 ? big : zero;
    for (auto _ : state)
        benchmark::DoNotOptimize(tavlo::ProfileFile::load(path));
}
BENCHMARK(BM_PresetRefuse)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Applying a preset that lacks its text keys: eleven reads, with the
// rewrites held for one save at the end (1) or made key by key (0).
void BM_PresetComplete(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = put(dir, "p.tvp", kPreset);
        tavlo::SetPresetFile(path);
        state.ResumeTiming();
        std::optional<tavlo::PresetWriteBatch> batch;
        if (state.range(0) == 1)
            batch.emplace();
        for (const char *key : {"theme-color", "transparency", "contrast"})
            tavlo::ReadPresetValue(QStringLiteral("main"), QLatin1String(key), QStringLiteral("1"));
        for (const char *key : {"time-font", "time-size", "time-color", "time-align", "date-font",
                                "date-size", "date-color", "date-align"})
            tavlo::ReadPresetValue(QStringLiteral("text"), QLatin1String(key), QStringLiteral("1"));
    }
}
BENCHMARK(BM_PresetComplete)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
