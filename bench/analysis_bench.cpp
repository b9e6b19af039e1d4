#include <benchmark/benchmark.h>

#include <string_view>

#include "analysis/aberration_curves.h"
#include "analysis/light_amount_curve.h"
#include "analysis/spot_diagram.h"
#include "analysis/spot_statistics.h"
#include "bench/counting_canvas.h"
#include "bench/designed_example.h"
#include "presenters/curve_dialog_state.h"
#include "presenters/spot_dialog_state.h"

namespace kiro {
namespace {

Surface row(int type, double z, double radius, double effectiveRadius) {
    Surface s;
    s.type = type;
    s.z = z;
    s.radius = radius;
    s.effectiveRadius = effectiveRadius;
    return s;
}

// The 200 mm f/5 Newtonian of the examples, drawn unfolded: entrance stop, the diagonal's
// shadow, the paraboloid, the diagonal's clear size and the focal plane.
SurfaceTable newtonian() {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 0.0, 0.0, 120.0);
    table[1] = row(SurfaceType::Obstruction, -180.0, 0.0, 24.0);
    table[2] = row(SurfaceType::ParaboloidMirror, -1000.0, 2000.0, 100.0);
    table[3] = row(SurfaceType::Stop, -200.0, 0.0, 24.0);
    table[4] = row(SurfaceType::FlatFocal, 0.0, 0.0, 25.0);
    return table;
}

// A 200 mm f/4 Schmidt camera: an aspheric corrector plate at the mirror's centre of
// curvature, the spherical mirror and the curved focal surface. The plate's profile is
// Schmidt's t(r) = (r^4 - 1.5 r0^2 r^2) / (4 (n - 1) R^3), neutral zone at 0.866 r0
// (Rutten and van Venrooij, "Telescope Optics", ch. 9).
SurfaceTable schmidtCamera() {
    constexpr double kMirrorRadius = 1600.0;
    constexpr double kPlateRadius = 100.0;
    constexpr double kIndexD = 1.5168;
    const double a2 = 1.0 / (4.0 * (kIndexD - 1.0) * kMirrorRadius * kMirrorRadius * kMirrorRadius);
    SurfaceTable table{};
    table[0] =
        row(SurfaceType::AsphericLens, 0.0, -1.5 * kPlateRadius * kPlateRadius * a2, kPlateRadius);
    table[0].a2 = a2;
    table[0].index = {1.5168, 1.5143, 1.5168, 1.5187, 1.5224, 1.5267, 1.5302, 1.5168};
    table[1] = row(SurfaceType::FlatLens, -10.0, 0.0, kPlateRadius);
    table[2] = row(SurfaceType::SphericalMirror, -kMirrorRadius, kMirrorRadius, 130.0);
    // The plate's a1 term moves the focus 1.17 mm out from R / 2.
    constexpr double kFocalRadius = kMirrorRadius / 2.0 + 1.17;
    table[3] = row(SurfaceType::SphericalFocal, -kFocalRadius, kFocalRadius, 30.0);
    return table;
}

// The Schmidt-Cassegrain of the designed examples, as the program reads it.
SurfaceTable schmidtCassegrainExample() {
    return designedExample("schmidt-cassegrain-200-f10.OPT").surfaces;
}

using LineChoice = std::array<int, kSpotLineCount>;
constexpr LineChoice kAllSixLines{1, 1, 1, 1, 1, 1};

void spotPaint(benchmark::State& state, const SurfaceTable& table, int threads, bool airy = false,
               const LineChoice& lines = kAllSixLines) {
    const Settings settings;
    SpotDialogState dialog = openSpotDialog(table);
    dialog.spotAiryShown = airy;
    dialog.spotLineShown = lines;
    CountingCanvas canvas;
    for (auto _ : state) {
        paintSpotDialog(canvas, dialog, table, settings, threads);
    }
    benchmark::DoNotOptimize(canvas.count);
}

void BM_SpotPaintNewtonian(benchmark::State& state) {
    spotPaint(state, newtonian(), paintThreadCount());
}
void BM_SpotPaintNewtonianOneThread(benchmark::State& state) {
    spotPaint(state, newtonian(), 1);
}
void BM_SpotPaintSchmidtCamera(benchmark::State& state) {
    spotPaint(state, schmidtCamera(), paintThreadCount());
}
void BM_SpotPaintSchmidtCameraOneThread(benchmark::State& state) {
    spotPaint(state, schmidtCamera(), 1);
}

// The paint a user waits for most: the Schmidt-Cassegrain example's three panels at four
// lines (C, d, F, h), about 30,000 rays on the default grid, on one thread.
void BM_SpotPaintSchmidtCassegrainFourLinesOneThread(benchmark::State& state) {
    spotPaint(state, schmidtCassegrainExample(), 1, false, {1, 1, 0, 1, 0, 1});
}

void BM_SpotPaintNewtonianAiry(benchmark::State& state) {
    spotPaint(state, newtonian(), paintThreadCount(), true);
}
void BM_SpotPaintNewtonianAiryOneThread(benchmark::State& state) {
    spotPaint(state, newtonian(), 1, true);
}
void BM_SpotPaintSchmidtCameraAiry(benchmark::State& state) {
    spotPaint(state, schmidtCamera(), paintThreadCount(), true);
}

// The statistics of the three panels and six lines, to set against one spot paint.
void spotStatisticsOf(benchmark::State& state, const SurfaceTable& table, int threads) {
    const Settings settings;
    const SpotDialogState dialog = openSpotDialog(table);
    double sum = 0.0;
    for (auto _ : state) {
        sum += spotStatistics(table, settings, dialog, threads).panels[2].all.rmsRadius;
    }
    benchmark::DoNotOptimize(sum);
}

void BM_SpotStatisticsNewtonian(benchmark::State& state) {
    spotStatisticsOf(state, newtonian(), paintThreadCount());
}
void BM_SpotStatisticsNewtonianOneThread(benchmark::State& state) {
    spotStatisticsOf(state, newtonian(), 1);
}
void BM_SpotStatisticsSchmidtCamera(benchmark::State& state) {
    spotStatisticsOf(state, schmidtCamera(), paintThreadCount());
}

void BM_CurvePaintNewtonian(benchmark::State& state) {
    const SurfaceTable table = newtonian();
    const Settings settings;
    const CurveDialogState dialog;
    CountingCanvas canvas;
    for (auto _ : state) {
        paintCurveDialog(canvas, dialog, table, settings, 560, 560);
    }
    benchmark::DoNotOptimize(canvas.count);
}

void lightPaint(benchmark::State& state, int threads) {
    const SurfaceTable table = newtonian();
    const Settings settings;
    CountingCanvas canvas;
    for (auto _ : state) {
        paintLightDialog(canvas, table, settings, 520, 360, 0, threads);
    }
    benchmark::DoNotOptimize(canvas.count);
}

void BM_LightPaintNewtonian(benchmark::State& state) {
    lightPaint(state, paintThreadCount());
}
void BM_LightPaintNewtonianOneThread(benchmark::State& state) {
    lightPaint(state, 1);
}

BENCHMARK(BM_SpotPaintNewtonian)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_SpotPaintNewtonianOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpotPaintSchmidtCamera)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_SpotPaintSchmidtCameraOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpotPaintSchmidtCassegrainFourLinesOneThread)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SpotPaintNewtonianAiry)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_SpotPaintNewtonianAiryOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpotPaintSchmidtCameraAiry)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_SpotStatisticsNewtonian)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_SpotStatisticsNewtonianOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpotStatisticsSchmidtCamera)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_CurvePaintNewtonian)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_LightPaintNewtonian)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_LightPaintNewtonianOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kiro
