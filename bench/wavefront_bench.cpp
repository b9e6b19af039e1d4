#include <benchmark/benchmark.h>

#include "analysis/wavefront_panels.h"
#include "analysis/wavefront_view.h"
#include "bench/counting_canvas.h"
#include "bench/designed_example.h"
#include "presenters/spot_dialog_state.h"

namespace kiro {
namespace {

LensSystem schmidtCassegrain() {
    return designedExample("schmidt-cassegrain-200-f10.OPT");
}

WavefrontRequest everyLine(const LensSystem& lens, bool withMtf) {
    WavefrontRequest request;
    request.heights = openSpotDialog(lens.surfaces).spotHeight;
    request.withMtf = withMtf;
    return request;
}

// The numbers of 3 panels x 6 lines at N = 64 (goal: 10 ms on one thread).
void BM_WavefrontNumbersSchmidtCassegrain(benchmark::State& state) {
    const LensSystem lens = schmidtCassegrain();
    const WavefrontRequest request = everyLine(lens, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(measureWavefronts(lens.surfaces, lens.settings, request));
    }
}
BENCHMARK(BM_WavefrontNumbersSchmidtCassegrain)->Unit(benchmark::kMillisecond);

// The polychromatic MTF of 3 panels at M = 256 (goal: 40 ms on one thread).
void BM_PolychromaticMtfSchmidtCassegrain(benchmark::State& state) {
    const LensSystem lens = schmidtCassegrain();
    const WavefrontRequest request = everyLine(lens, true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(measureWavefronts(lens.surfaces, lens.settings, request));
    }
}
BENCHMARK(BM_PolychromaticMtfSchmidtCassegrain)->Unit(benchmark::kMillisecond);

// Everything the dialog computes off the window's thread at its defaults: the numbers,
// the MTF, the PSF and the star test of 3 panels.
void BM_WavefrontDialogFiguresSchmidtCassegrain(benchmark::State& state) {
    const LensSystem lens = schmidtCassegrain();
    const WavefrontRequest request = everyLine(lens, true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            computeWavefrontFigures(lens.surfaces, lens.settings, request, kDefaultStarTestWaves));
    }
}
BENCHMARK(BM_WavefrontDialogFiguresSchmidtCassegrain)->Unit(benchmark::kMillisecond);

// The window's paint of each picture from computed figures (goal: 60 ms).
void BM_WavefrontDialogPaint(benchmark::State& state) {
    const LensSystem lens = schmidtCassegrain();
    const WavefrontFigures figures = computeWavefrontFigures(
        lens.surfaces, lens.settings, everyLine(lens, true), kDefaultStarTestWaves);
    const auto picture = static_cast<WavefrontPicture>(state.range(0));
    for (auto _ : state) {
        CountingCanvas canvas;
        paintWavefrontFigures(canvas, figures, picture, PsfScale::Linear, kWavefrontDialogWidth,
                              kWavefrontDialogHeight);
        benchmark::DoNotOptimize(canvas.count);
    }
}
BENCHMARK(BM_WavefrontDialogPaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kiro
