#include <benchmark/benchmark.h>

#include "design/optimizer.h"
#include "tests/design/sample_designs.h"

namespace kiro {
namespace {

// One optimizer pass at 5 % with the start settings (spherical aberration and d-F
// chromatic aberration), every listed row a spherical lens surface.
void runPass(benchmark::State& state, LensSystem (*design)()) {
    const LensSystem start = design();
    const PassParameters parameters = passParameters(OptimizerSettings{}, 0.05);
    OptimizeOptions options;
    options.threads = static_cast<int>(state.range(0));
    int64_t candidates = 0;
    for (auto _ : state) {
        LensSystem lens = start;
        PassReport report;
        optimizePass(lens, parameters, options, report);
        candidates += report.candidates;
        benchmark::DoNotOptimize(lens.surfaces[1].radius);
    }
    state.counters["candidates/s"] =
        benchmark::Counter(static_cast<double>(candidates), benchmark::Counter::kIsRate);
}

void doubletPass(benchmark::State& state) {
    runPass(state, samples::achromaticDoublet);
}
void tripletPass(benchmark::State& state) {
    runPass(state, samples::airSpacedTriplet);
}
void eightRowPass(benchmark::State& state) {
    runPass(state, samples::doubletWithRelay);
}
void stackPass(benchmark::State& state) {
    runPass(state, samples::biconvexStack);
}

BENCHMARK(doubletPass)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(tripletPass)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(eightRowPass)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(stackPass)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
} // namespace kiro
