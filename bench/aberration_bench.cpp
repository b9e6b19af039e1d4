#include <benchmark/benchmark.h>

#include "analysis/field_curves.h"
#include "analysis/ray_fans.h"
#include "analysis/seidel_sums.h"
#include "bench/designed_example.h"

// The designer's plots on the designed examples, one thread: ray fans of 3 panels x 6 lines
// x 2 fans x 101 rays (goal 2 ms), the field curves of 21 heights x 6 lines (goal 3 ms),
// the Seidel table (goal 50 us).
namespace kiro {
namespace {

constexpr int kAllLines = 0x7E;

const char* const kExamples[] = {"doublet-flattener-102-f7.OPT", "schmidt-camera-200-f2.OPT",
                                 "schmidt-cassegrain-200-f10.OPT"};

void BM_RayFans(benchmark::State& state) {
    const LensSystem lens = designedExample(kExamples[state.range(0)]);
    const auto heights = spotOpeningHeights(lens.surfaces);
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeRayFans(lens.surfaces, lens.settings, heights, kAllLines));
    }
    state.SetLabel(kExamples[state.range(0)]);
}
BENCHMARK(BM_RayFans)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_FieldCurves(benchmark::State& state) {
    const LensSystem lens = designedExample(kExamples[state.range(0)]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeFieldCurves(lens.surfaces, lens.settings, kAllLines));
    }
    state.SetLabel(kExamples[state.range(0)]);
}
BENCHMARK(BM_FieldCurves)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_SeidelSums(benchmark::State& state) {
    const LensSystem lens = designedExample(kExamples[state.range(0)]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(seidelSums(lens.surfaces, lens.settings));
    }
    state.SetLabel(kExamples[state.range(0)]);
}
BENCHMARK(BM_SeidelSums)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kiro
