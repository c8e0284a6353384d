// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modblend.h"
#include "frame/modgradient.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void paintPanel(benchmark::State &state, float angle)
{
    QImage picture(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (auto _ : state) {
        tavlo::PaintGradient(picture, angle, 0x202020, 0xF0C040);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void BM_PaintGradientFlat(benchmark::State &state)
{
    paintPanel(state, 90);
}
BENCHMARK(BM_PaintGradientFlat)->Args({300, 80})->Args({600, 200})->Unit(benchmark::kMicrosecond);

void BM_PaintGradientSteep(benchmark::State &state)
{
    paintPanel(state, 0);
}
BENCHMARK(BM_PaintGradientSteep)->Args({300, 80})->Args({600, 200})->Unit(benchmark::kMicrosecond);

void BM_PaintGradientDiagonal(benchmark::State &state)
{
    paintPanel(state, 315);
}
BENCHMARK(BM_PaintGradientDiagonal)
    ->Args({300, 80})
    ->Args({600, 200})
    ->Unit(benchmark::kMicrosecond);

void BM_ColorBlend(benchmark::State &state)
{
    int32_t amount = -100;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavlo::ColorBlend(0x000000, 0xF0C040, amount));
        amount = amount == 400 ? -100 : amount + 1;
    }
}
BENCHMARK(BM_ColorBlend);

} // namespace

BENCHMARK_MAIN();
