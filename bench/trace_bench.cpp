#include <array>
#include <cmath>

#include <benchmark/benchmark.h>

#include "bench/designed_example.h"
#include "trace/bundles.h"
#include "trace/ray_packet.h"
#include "trace/ray_tracer.h"

namespace {

using namespace kiro;

constexpr int kRays = 64;

Surface row(int type, double z, double radius, double effectiveRadius, double index = 1.0) {
    Surface s;
    s.type = type;
    s.z = z;
    s.radius = radius;
    s.effectiveRadius = effectiveRadius;
    s.index.fill(index);
    return s;
}

// A fan of slightly tilted rays over a 100 mm pupil, so that no step is the same.
std::array<Ray, kRays> rayFan(double startZ) {
    std::array<Ray, kRays> rays{};
    for (int i = 0; i < kRays; ++i) {
        const double u = (i + 0.5) / kRays - 0.5;
        rays[i] = Ray{2, {90 * u, 40 * u * u, startZ}, normalize({0.01 * u, 0.004, -1.0})};
    }
    return rays;
}

// The Schmidt-Cassegrain of the designed examples, as the program reads it.
SurfaceTable schmidtCassegrainExample() {
    return designedExample("schmidt-cassegrain-200-f10.OPT").surfaces;
}

void runSteps(benchmark::State& state, const Surface& surface, double mu,
              double searchLength = 120.0) {
    const std::array<Ray, kRays> rays = rayFan(20.0);
    int i = 0;
    for (auto _ : state) {
        Ray out = traceSurface(rays[i], surface, mu, searchLength);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (kRays - 1);
    }
}

void sphericalRefractingStep(benchmark::State& state) {
    runSteps(state, row(SurfaceType::SphericalLens, 0.0, -600.0, 60.0, 1.5168), 1.5168);
}
BENCHMARK(sphericalRefractingStep);

void sphericalMirrorStep(benchmark::State& state) {
    runSteps(state, row(SurfaceType::SphericalMirror, 0.0, 2000.0, 60.0), 1.0);
}
BENCHMARK(sphericalMirrorStep);

void paraboloidStep(benchmark::State& state) {
    runSteps(state, row(SurfaceType::ParaboloidMirror, 0.0, 2000.0, 60.0), 1.0);
}
BENCHMARK(paraboloidStep);

// The same rows applied to the whole fan as one packet: the time per ray.
void runPacketSteps(benchmark::State& state, const SurfaceTable& table, int rowIndex,
                    double searchLength) {
    RayPacket start;
    for (const Ray& ray : rayFan(20.0)) {
        start.push(ray);
    }
    RayPacket packet;
    for (auto _ : state) {
        packet = start;
        tracePacketRow(table, rowIndex, packet, searchLength);
        benchmark::DoNotOptimize(packet.px[0]);
    }
    state.SetItemsProcessed(state.iterations() * kRays);
}

void runPacketSteps(benchmark::State& state, const Surface& surface) {
    SurfaceTable table{};
    table[0] = surface;
    runPacketSteps(state, table, 0, 120.0);
}

void sphericalMirrorPacketStep(benchmark::State& state) {
    runPacketSteps(state, row(SurfaceType::SphericalMirror, 0.0, 2000.0, 60.0));
}
BENCHMARK(sphericalMirrorPacketStep);

void paraboloidPacketStep(benchmark::State& state) {
    runPacketSteps(state, row(SurfaceType::ParaboloidMirror, 0.0, 2000.0, 60.0));
}
BENCHMARK(paraboloidPacketStep);

// The corrector plate's aspheric face of the Schmidt-Cassegrain example, searched over
// the example's own axial extent (about 881 mm) as every trace through it is.
void asphereStep(benchmark::State& state) {
    const SurfaceTable table = schmidtCassegrainExample();
    runSteps(state, table[1], relativeIndex(table, 1, WavelengthLine::d),
             asphereSearchLength(table));
}
BENCHMARK(asphereStep);

// The same plate row applied to the whole fan as one packet, whose lanes search together:
// the time per ray.
void asphereSearchPacketStep(benchmark::State& state) {
    const SurfaceTable table = schmidtCassegrainExample();
    runPacketSteps(state, table, 1, asphereSearchLength(table));
}
BENCHMARK(asphereSearchPacketStep);

void obstructionStep(benchmark::State& state) {
    runSteps(state, row(SurfaceType::Obstruction, -10.0, 0.0, 20.0), 1.0);
}
BENCHMARK(obstructionStep);

void flatFocalStep(benchmark::State& state) {
    runSteps(state, row(SurfaceType::FlatFocal, -900.0, 0.0, 30.0), 1.0);
}
BENCHMARK(flatFocalStep);

SurfaceTable doublet() {
    SurfaceTable table{};
    table[0] = row(SurfaceType::SphericalLens, 0.0, -600.0, 50.0, 1.5168);
    table[1] = row(SurfaceType::SphericalLens, -12.0, 420.0, 50.0, 1.0);
    table[2] = row(SurfaceType::SphericalLens, -13.0, 415.0, 50.0, 1.6200);
    table[3] = row(SurfaceType::SphericalLens, -20.0, 3000.0, 50.0, 1.0);
    table[4] = row(SurfaceType::FlatFocal, -1000.0, 0.0, 0.0);
    return table;
}

void zonalFocusDoublet(benchmark::State& state) {
    const SurfaceTable table = doublet();
    const Settings settings;
    double h = 10.0;
    for (auto _ : state) {
        ZonalFocus focus = zonalFocus(table, settings, 2, h, ZonalMode::OpticalOnly);
        benchmark::DoNotOptimize(focus);
        h = h < 45.0 ? h + 1.0 : 10.0;
    }
}
BENCHMARK(zonalFocusDoublet);

// 64 rays of a tilted pupil grid through the Schmidt-Cassegrain example, one after the
// other and as one packet.
std::array<Ray, kRays> schmidtCassegrainRays(const SurfaceTable& table) {
    std::array<Ray, kRays> rays{};
    const double angle = 0.005;
    const Vec3 d{std::sin(angle), 0.0, -std::cos(angle)};
    for (int i = 0; i < kRays; ++i) {
        const double u = (i % 8 - 3.5) * 22.0;
        const double v = (i / 8 - 3.5) * 22.0;
        rays[i] = Ray{1 + i % 6, sub(Vec3{u, v, table[0].z}, scale(d, 100.0)), d};
    }
    return rays;
}

void raysOneByOne(benchmark::State& state) {
    const SurfaceTable table = schmidtCassegrainExample();
    const double searchLength = asphereSearchLength(table);
    const std::array<Ray, kRays> rays = schmidtCassegrainRays(table);
    for (auto _ : state) {
        for (const Ray& ray : rays) {
            Ray out = traceSystem(table, ray, RowFilter::All, searchLength);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRays);
}
BENCHMARK(raysOneByOne);

void raysInAPacket(benchmark::State& state) {
    const SurfaceTable table = schmidtCassegrainExample();
    const double searchLength = asphereSearchLength(table);
    const std::array<Ray, kRays> rays = schmidtCassegrainRays(table);
    RayPacket packet;
    for (auto _ : state) {
        packet.count = 0;
        for (const Ray& ray : rays) {
            packet.push(ray);
        }
        tracePacket(table, packet, RowFilter::All, searchLength);
        benchmark::DoNotOptimize(packet.px[0]);
    }
    state.SetItemsProcessed(state.iterations() * kRays);
}
BENCHMARK(raysInAPacket);

void lightAmount50(benchmark::State& state) {
    SurfaceTable table = doublet();
    table[0].effectiveRadius = 45.0;
    Settings settings;
    settings.spotGridPoints = 50;
    for (auto _ : state) {
        double amount = lightAmount(table, settings, 0.01, 50.0, 2);
        benchmark::DoNotOptimize(amount);
    }
}
BENCHMARK(lightAmount50)->Unit(benchmark::kMicrosecond);

} // namespace
