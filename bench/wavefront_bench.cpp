#include <benchmark/benchmark.h>

#include <string>

#include "analysis/wavefront_panels.h"
#include "model/design_file.h"

namespace kiro {
namespace {

LensSystem schmidtCassegrain() {
    LensSystem lens;
    const std::string path =
        std::string(KIRO_SOURCE_DIR) + "/examples/designed/schmidt-cassegrain-200-f10.OPT";
    readDesignFile(lens, path.c_str());
    return lens;
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

} // namespace
} // namespace kiro
