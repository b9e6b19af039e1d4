#include <benchmark/benchmark.h>

#include "design/catadioptric_builders.h"
#include "design/designer_inputs.h"
#include "design/reflector_builders.h"
#include "design/refractor_designer.h"
#include "model/glass_catalog.h"

namespace kiro {
namespace {

const GlassCatalog& catalog() {
    static const GlassCatalog c = [] {
        GlassCatalog loaded;
        loadGlassCatalog(loaded, KIRO_SOURCE_DIR "/data/glass.dat");
        return loaded;
    }();
    return c;
}

int glass(const char* name) {
    return findGlass(catalog(), name);
}

const Settings kInfinity{};
constexpr int kLine = WavelengthLine::d;

void BM_Newtonian(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildNewtonian(table, 200.0, 1000.0));
    }
}
BENCHMARK(BM_Newtonian)->Unit(benchmark::kMicrosecond);

void BM_Cassegrain(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildCassegrain(table, kInfinity, 200.0, 2000.0, 150.0, 1.0));
    }
}
BENCHMARK(BM_Cassegrain)->Unit(benchmark::kMicrosecond);

void BM_DallKirkham(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildDallKirkham(table, kInfinity, 200.0, 2000.0, 150.0, 1.0));
    }
}
BENCHMARK(BM_DallKirkham)->Unit(benchmark::kMicrosecond);

void BM_MaksutovNewtonian(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildMaksutovNewtonian(
            table, kInfinity, catalog(),
            {.aperture = 150.0, .focalLength = 750.0, .line = kLine, .glass = glass("N-BK7")}));
    }
}
BENCHMARK(BM_MaksutovNewtonian)->Unit(benchmark::kMillisecond);

void BM_MaksutovCassegrain(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildMaksutovCassegrain(table, kInfinity, catalog(),
                                                         {.aperture = 150.0,
                                                          .focalLength = 1800.0,
                                                          .backFocus = 150.0,
                                                          .ratio = 1.0,
                                                          .line = kLine,
                                                          .glass = glass("N-BK7")}));
    }
}
BENCHMARK(BM_MaksutovCassegrain)->Unit(benchmark::kMillisecond);

void BM_SchmidtCassegrain(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildSchmidtCassegrain(table, kInfinity, catalog(),
                                                        {.aperture = 200.0,
                                                         .focalLength = 2000.0,
                                                         .backFocus = 150.0,
                                                         .ratio = 1.0,
                                                         .line = kLine,
                                                         .glass = glass("N-BK7")}));
    }
}
BENCHMARK(BM_SchmidtCassegrain)->Unit(benchmark::kMillisecond);

void BM_BakerSchmidtCassegrain(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildBakerSchmidtCassegrain(table, kInfinity, catalog(),
                                                             {.aperture = 200.0,
                                                              .focalLength = 2000.0,
                                                              .backFocus = 150.0,
                                                              .ratio = 1.0,
                                                              .line = kLine,
                                                              .glass = glass("N-BK7")}));
    }
}
BENCHMARK(BM_BakerSchmidtCassegrain)->Unit(benchmark::kMillisecond);

void BM_SchmidtCamera(benchmark::State& state) {
    SurfaceTable table{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildSchmidtCamera(
            table, kInfinity, catalog(),
            {.aperture = 200.0, .focalLength = 400.0, .line = kLine, .glass = glass("N-BK7")}));
    }
}
BENCHMARK(BM_SchmidtCamera)->Unit(benchmark::kMillisecond);

const RefractorMerit kAllMeasures{MeasureFlag::All, kLine,
                                  (1 << WavelengthLine::d) | (1 << WavelengthLine::F)};

// The argument is the number of threads sharing the candidates (0: the machine's).
void BM_Doublet(benchmark::State& state) {
    SurfaceTable table{};
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildDoublet(table, kInfinity, catalog(), 100.0, 900.0,
                                              kAllMeasures, glass("N-BK7"), glass("F2"), 0.0, 0.0,
                                              threads));
    }
}
BENCHMARK(BM_Doublet)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_DoubletFlattener(benchmark::State& state) {
    SurfaceTable table{};
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildDoubletFlattener(
            table, kInfinity, catalog(), 102.0, 714.0, kAllMeasures, glass("S-FPL53"),
            glass("N-KZFS4"), glass("N-SF5"), 0.0, 0.0, 0.0, threads));
    }
}
BENCHMARK(BM_DoubletFlattener)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
} // namespace kiro
