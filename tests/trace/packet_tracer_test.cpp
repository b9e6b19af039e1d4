#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/design_file.h"
#include "tests/support/example_designs.h"
#include "trace/ray_packet.h"
#include "trace/ray_tracer.h"
#include "trace_tables.h"

// A ray carried in a packet must end with exactly the bits it ends with when traced alone.
namespace kiro {
namespace {

#if defined(KIRO_VECTOR_CPU)
// Built for one vector clone alone: a machine that cannot run it skips these tests.
class VectorCloneMachine : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!__builtin_cpu_supports(KIRO_VECTOR_CPU)) {
            GTEST_SKIP() << "this processor has no " KIRO_VECTOR_CPU;
        }
    }
};
[[maybe_unused]] const ::testing::Environment* const kVectorCloneMachine =
    ::testing::AddGlobalTestEnvironment(new VectorCloneMachine);
#endif

using test::makeRow;

constexpr int kLargestGroup = 67; // beyond one packet, so that a remainder follows it

bool sameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

bool sameRay(const Ray& a, const Ray& b) {
    return a.line == b.line && sameBits(a.position.x, b.position.x) &&
           sameBits(a.position.y, b.position.y) && sameBits(a.position.z, b.position.z) &&
           sameBits(a.direction.x, b.direction.x) && sameBits(a.direction.y, b.direction.y) &&
           sameBits(a.direction.z, b.direction.z);
}

std::string describe(const Ray& r) {
    char text[256];
    std::snprintf(text, sizeof text, "line %d at (%a, %a, %a) along (%a, %a, %a)", r.line,
                  r.position.x, r.position.y, r.position.z, r.direction.x, r.direction.y,
                  r.direction.z);
    return text;
}

// Traces the rays in groups of every size from 1 to kLargestGroup, each group through
// traceRays, and holds every ray against traceSystem.
void expectSameAsAlone(const SurfaceTable& table, const std::vector<Ray>& rays, RowFilter filter,
                       const std::string& what) {
    const double searchLength = asphereSearchLength(table);
    std::vector<Ray> alone;
    for (const Ray& ray : rays) {
        alone.push_back(traceSystem(table, ray, filter, searchLength));
    }
    int mismatches = 0;
    for (size_t size = 1; size <= kLargestGroup; ++size) {
        std::vector<Ray> packed = rays;
        for (size_t first = 0; first < packed.size(); first += size) {
            const size_t count = std::min(size, packed.size() - first);
            traceRays(table, std::span<Ray>(packed).subspan(first, count), filter, searchLength);
        }
        for (size_t k = 0; k < rays.size() && mismatches < 5; ++k) {
            if (!sameRay(packed[k], alone[k])) {
                ++mismatches;
                ADD_FAILURE() << what << ", groups of " << size << ", ray " << k << " from "
                              << describe(rays[k]) << "\n  packed: " << describe(packed[k])
                              << "\n  alone:  " << describe(alone[k]);
            }
        }
    }
}

// Uniform in [0, 1) from the engine's raw output, the same on every standard library.
double unit(std::mt19937_64& engine) {
    return static_cast<double>(engine() >> 11) * 0x1p-53;
}
double between(std::mt19937_64& engine, double low, double high) {
    return low + (high - low) * unit(engine);
}

// Random rays entering from z = 60: most tilted up to 35 degrees, some along the axis,
// some grazing or travelling across the axis (dz = 0), some not of unit length, dead on
// entry, or with a position beyond every surface.
std::vector<Ray> randomRays(uint64_t seed, int count) {
    std::mt19937_64 engine(seed);
    std::vector<Ray> rays;
    for (int i = 0; i < count; ++i) {
        Ray ray;
        ray.line = 1 + static_cast<int>(engine() % 6);
        ray.position = {between(engine, -70, 70), between(engine, -70, 70), 60.0};
        ray.direction = normalize({between(engine, -0.7, 0.7), between(engine, -0.7, 0.7), -1.0});
        switch (engine() % 12) {
        case 0:
            ray.direction = {0.0, 0.0, -1.0};
            break;
        case 1:
            ray.direction = normalize({between(engine, -1, 1), between(engine, -1, 1), -1e-9});
            break;
        case 2:
            ray.direction = normalize({between(engine, -1, 1), between(engine, -1, 1), 0.0});
            ray.position.z = between(engine, -60, 10);
            break;
        case 3:
            ray.direction = scale(ray.direction, between(engine, 0.1, 3.0));
            break;
        case 4:
            ray.direction = {};
            break;
        case 5:
            ray.position = scale(ray.position, 1e6);
            break;
        case 6:
            ray.direction = {0.0, between(engine, -1, 1) < 0 ? -1.0 : 1.0, 0.0};
            break;
        default:
            break;
        }
        rays.push_back(ray);
    }
    return rays;
}

Surface tilted(Surface row, double nx, double ny) {
    row.nx = nx;
    row.ny = ny;
    return row;
}

Surface offset(Surface row, double x, double y) {
    row.x = x;
    row.y = y;
    return row;
}

Surface asphere(int type, double z, double a1, double a2, double e, double index = 1.0) {
    Surface row = makeRow(type, z, a1, e, index);
    row.a2 = a2;
    return row;
}

struct TypedTable {
    const char* name;
    SurfaceTable table;
};

// Every kind of row, in glass and out of it (leaving glass steeply reflects totally).
std::vector<TypedTable> everySurfaceType() {
    std::vector<TypedTable> tables;
    SurfaceTable planes{};
    planes[0] = tilted(makeRow(SurfaceType::Stop, 0.0, 0.0, 55.0), 0.02, -0.03);
    planes[1] = makeRow(SurfaceType::Obstruction, -5.0, 0.0, 12.0);
    planes[2] = makeRow(SurfaceType::FlatLens, -10.0, 0.0, 60.0, 1.62);
    planes[3] = tilted(makeRow(SurfaceType::FlatLens, -25.0, 0.0, 60.0), 0.1, 0.0);
    planes[4] = tilted(makeRow(SurfaceType::FlatMirror, -60.0, 0.0, 80.0), 0.3, 0.1);
    planes[5] = makeRow(SurfaceType::FlatFocal, 40.0, 0.0, 0.0);
    tables.push_back({"planes", planes});

    SurfaceTable spheres{};
    spheres[0] = makeRow(SurfaceType::SphericalLens, 0.0, -70.0, 45.0, 1.71);
    spheres[1] = offset(makeRow(SurfaceType::SphericalLens, -15.0, 90.0, 45.0), 0.5, -0.25);
    spheres[2] = makeRow(SurfaceType::SphericalLens, -18.0, 40.0, 30.0, 1.52);
    spheres[3] = makeRow(SurfaceType::SphericalLens, -30.0, -45.0, 30.0);
    spheres[4] = offset(makeRow(SurfaceType::SphericalMirror, -200.0, 400.0, 70.0), 1.0, 0.0);
    spheres[5] = makeRow(SurfaceType::SphericalFocal, -10.0, -150.0, 40.0);
    tables.push_back({"spheres", spheres});

    SurfaceTable curved{};
    curved[0] = asphere(SurfaceType::AsphericLens, 0.0, -4e-3, 2e-7, 50.0, 1.55);
    curved[1] = asphere(SurfaceType::AsphericLens, -12.0, 3e-3, -1e-7, 50.0);
    curved[2] = makeRow(SurfaceType::ParaboloidMirror, -300.0, 600.0, 80.0);
    curved[3] = asphere(SurfaceType::AsphericMirror, -20.0, 1e-3, 0.0, 40.0);
    curved[4] = makeRow(5, -300.0, 0.0, 10.0); // a code the tracer does not know
    curved[5] = makeRow(SurfaceType::FlatFocal, -400.0, 0.0, 0.0);
    tables.push_back({"aspheres and a paraboloid", curved});

    // An off-axis concave primary and a convex secondary that sends the light back.
    SurfaceTable paraboloids{};
    paraboloids[0] = offset(makeRow(SurfaceType::ParaboloidMirror, -100.0, 300.0, 75.0), 0.7, -0.4);
    paraboloids[1] = makeRow(SurfaceType::ParaboloidMirror, -20.0, -150.0, 30.0);
    paraboloids[2] = makeRow(SurfaceType::FlatFocal, -90.0, 0.0, 0.0);
    tables.push_back({"paraboloids", paraboloids});

    // Rows the fast paths leave to the single-ray step: a sphere of radius 0 and a
    // denormal one, a focal sphere, a mirror whose normal is no number.
    SurfaceTable odd{};
    odd[0] = makeRow(SurfaceType::SphericalLens, 0.0, 0.0, 50.0, 1.5);
    odd[1] = makeRow(SurfaceType::SphericalMirror, -10.0, 1e-320, 50.0);
    odd[2] = tilted(makeRow(SurfaceType::FlatMirror, -20.0, 0.0, 90.0), 1e308, 0.0);
    odd[2].nz = 1e308;
    odd[3] = makeRow(SurfaceType::SphericalFocal, -30.0, 0.0, 10.0);
    odd[4] = makeRow(SurfaceType::Stop, -40.0, 0.0, 0.0);
    tables.push_back({"degenerate rows", odd});
    return tables;
}

TEST(PacketTracer, EveryRayOfEverySurfaceTypeEndsAsWhenTracedAlone) {
    uint64_t seed = 1;
    for (const TypedTable& t : everySurfaceType()) {
        for (const RowFilter filter :
             {RowFilter::All, RowFilter::NoFocal, RowFilter::OpticalOnly}) {
            const std::vector<Ray> rays = randomRays(seed, 150);
            expectSameAsAlone(t.table, rays, filter,
                              std::string(t.name) + ", seed " + std::to_string(seed));
            ++seed;
        }
    }
}

// A funnel of stops and lenses that kills some lanes at every row, so that a packet sets
// its dead lanes aside again and again: each ray still ends where it died, as when alone.
TEST(PacketTracer, LanesDyingRowAfterRowEndWhereTheyDied) {
    SurfaceTable funnel{};
    for (int i = 0; i < 12; ++i) {
        const double z = -10.0 * i;
        const double rim = 70.0 - 5.0 * i;
        funnel[static_cast<size_t>(i)] =
            i % 3 == 2 ? makeRow(SurfaceType::SphericalLens, z, i % 2 == 0 ? 300.0 : -300.0, rim,
                                 i % 2 == 0 ? 1.5 : 1.0)
                       : makeRow(i % 4 == 1 ? SurfaceType::Obstruction : SurfaceType::Stop, z, 0.0,
                                 i % 4 == 1 ? 2.0 * i : rim);
    }
    funnel[12] = makeRow(SurfaceType::FlatFocal, -200.0, 0.0, 0.0);
    for (uint64_t seed = 300; seed < 304; ++seed) {
        expectSameAsAlone(funnel, randomRays(seed, 200), RowFilter::All,
                          "funnel, seed " + std::to_string(seed));
    }
}

TEST(PacketTracer, RowsOneAtATimeAgreeWithTraceSurface) {
    // Each row alone, every lane at once: the visitor sees what traceSurface gives.
    for (const TypedTable& t : everySurfaceType()) {
        const std::vector<Ray> rays = randomRays(99, kPacketCapacity);
        RayPacket packet;
        for (const Ray& ray : rays) {
            packet.push(ray);
        }
        std::vector<Ray> alone = rays;
        const double searchLength = asphereSearchLength(t.table);
        tracePacket(t.table, packet, RowFilter::All, searchLength,
                    [&](int i, const RayPacket& after) {
                        for (int k = 0; k < after.count; ++k) {
                            Ray& ray = alone[static_cast<size_t>(k)];
                            ray.direction = unitDirection(ray.direction);
                            ray = traceSurface(ray, t.table[static_cast<size_t>(i)],
                                               relativeIndex(t.table, i, ray.line), searchLength);
                            EXPECT_TRUE(sameRay(after.get(k), ray))
                                << t.name << ", row " << i << ", lane " << k;
                        }
                    });
    }
}

// Candidates of one design that differ in their radii only (one of them 0, one denormal)
// share a packet: every lane ends as when traced alone through its own table.
TEST(PacketTracer, LanesOfAlikeTablesEndAsInTheirOwnTable) {
    std::mt19937_64 engine(7);
    for (const TypedTable& t : everySurfaceType()) {
        std::vector<SurfaceTable> tables(5, t.table);
        for (size_t c = 1; c < tables.size(); ++c) {
            for (Surface& row : tables[c]) {
                row.radius *= between(engine, 0.9, 1.1);
            }
        }
        tables[3][0].radius = 0.0;
        tables[4][1].radius = 1e-320;
        std::vector<const SurfaceTable*> pointers;
        for (const SurfaceTable& table : tables) {
            pointers.push_back(&table);
        }
        // Alike but for the radii, and (moving a row) not alike: both ways the same rays.
        SurfaceTable moved = t.table;
        moved[1].z -= 1.0;
        for (const bool alike : {true, false}) {
            std::vector<const SurfaceTable*> used = pointers;
            if (!alike) {
                used[2] = &moved;
            }
            EXPECT_EQ(allAlikeButRadii(used), alike);
            const std::vector<Ray> rays = randomRays(11, kPacketCapacity);
            RayPacket packet;
            int owner[kPacketCapacity];
            for (int k = 0; k < kPacketCapacity; ++k) {
                owner[k] = k % static_cast<int>(used.size());
                packet.push(rays[static_cast<size_t>(k)]);
            }
            tracePacketAcross(used, owner, packet, RowFilter::All, asphereSearchLength(t.table));
            for (int k = 0; k < kPacketCapacity; ++k) {
                const SurfaceTable& own = *used[static_cast<size_t>(owner[k])];
                const Ray alone = traceSystem(own, rays[static_cast<size_t>(k)], RowFilter::All,
                                              asphereSearchLength(own));
                EXPECT_TRUE(sameRay(packet.get(k), alone))
                    << t.name << (alike ? "" : ", not alike") << ", lane " << k;
            }
        }
    }
}

// Rays along the axis land on a paraboloid at their own x and y, so those started on the
// rim's circle meet it within the rounding of the rim; the radius 1e-320 has a normal that
// is no number, the radius 0 has none at all.
TEST(PacketTracer, ParaboloidRimsAndDegenerateRadiiTraceAsAlone) {
    constexpr double kRim = 40.0;
    std::vector<Ray> rays = randomRays(21, 100);
    for (int k = 0; k < 24; ++k) {
        const double angle = k * 0.2618;
        const Vec3 at{kRim * std::cos(angle), kRim * std::sin(angle), 60.0};
        rays.push_back({1 + k % 6, k % 3 == 0 ? Vec3{kRim, 0.0, 60.0} : at, {0.0, 0.0, -1.0}});
    }
    for (const double radius : {250.0, -250.0, 1e-320, 0.0}) {
        SurfaceTable table{};
        table[0] = makeRow(SurfaceType::ParaboloidMirror, -10.0, radius, kRim);
        table[1] = makeRow(SurfaceType::FlatFocal, 50.0, 0.0, 0.0);
        expectSameAsAlone(table, rays, RowFilter::All, "radius " + std::to_string(radius));
    }
}

// The rays the analyses launch: tilted pupil grids a little wider than row 0, so that
// some miss or are vignetted, at every line, and the meridional zones from the axis.
std::vector<Ray> analysisRays(const SurfaceTable& table) {
    std::vector<Ray> rays;
    const double h0 = table[0].effectiveRadius * 1.1;
    const double z0 = table[0].z;
    int line = 1;
    for (const double angle : {0.0, 0.004, 0.02, 0.1}) {
        const Vec3 d{std::sin(angle), 0.0, -std::cos(angle)};
        for (int i = -4; i <= 4; ++i) {
            for (int j = -4; j <= 4; ++j) {
                const Vec3 pupil{h0 * i / 4, h0 * j / 4, z0};
                rays.push_back({line, sub(pupil, scale(d, h0)), d});
                line = line % 6 + 1;
            }
        }
    }
    for (int k = 1; k <= 12; ++k) {
        rays.push_back({2, {-h0 * k / 12, 0.0, z0}, {0.0, 0.0, -1.0}});
        rays.push_back({4, {h0 * k / 12, 0.0, z0}, {0.0, 0.0, -1.0}});
    }
    return rays;
}

// Strongly curved aspheres met from anywhere in any direction, over search lengths up
// to 1e30 mm: the lanes of one packet open, halve and take Newton steps side by side for
// different numbers of passes, some miss, some meet at a probe, some search beyond the
// passes' limit and are searched alone, some need no search. Every lane must still end as
// traceSurface leaves it.
TEST(PacketTracer, AsphereLanesInEveryStageOfTheSearchEndAsAlone) {
    std::mt19937_64 engine(2024);
    int met = 0;
    int missed = 0;
    for (int trial = 0; trial < 300; ++trial) {
        SurfaceTable table{};
        table[0] = asphere(trial % 2 ? SurfaceType::AsphericLens : SurfaceType::AsphericMirror,
                           between(engine, -20, 20), between(engine, -0.02, 0.02),
                           between(engine, -2e-5, 2e-5), between(engine, 20, 200), 1.6);
        table[0].a3 = between(engine, -1e-8, 1e-8);
        table[0].a4 = trial % 3 ? between(engine, -1e-11, 1e-11) : 0.0;
        const double searchLength = std::pow(10.0, between(engine, 1.5, trial % 5 ? 3.0 : 30.0));
        RayPacket packet;
        std::vector<Ray> alone;
        for (int k = 0; k < kPacketCapacity; ++k) {
            Ray ray;
            ray.line = 1 + static_cast<int>(engine() % 6);
            ray.position = {between(engine, -40, 40), between(engine, -40, 40),
                            between(engine, -40, 40)};
            ray.direction =
                normalize({between(engine, -1, 1), between(engine, -1, 1), between(engine, -1, 1)});
            // Lanes along the axis, and every tenth packet wholly so; a few dead lanes.
            if (k % 16 == 0 || trial % 10 == 0) {
                ray.direction = {0.0, 0.0, k % 2 ? 1.0 : -1.0};
            }
            if (k % 16 == 8) {
                ray.direction = {};
            }
            packet.push(ray);
            alone.push_back(
                traceSurface(ray, table[0], relativeIndex(table, 0, ray.line), searchLength));
        }
        tracePacketRow(table, 0, packet, searchLength);
        for (int k = 0; k < kPacketCapacity; ++k) {
            const Ray& single = alone[static_cast<size_t>(k)];
            ASSERT_TRUE(sameRay(packet.get(k), single))
                << "trial " << trial << ", lane " << k << "\n  packed: " << describe(packet.get(k))
                << "\n  alone:  " << describe(single);
            (isDead(single) ? missed : met) += 1;
        }
    }
    EXPECT_GT(met, 5000);
    EXPECT_GT(missed, 1000);
}

TEST(PacketTracer, TheExampleDesignsTraceAsAlone) {
    const std::vector<std::filesystem::path> designs = test::exampleDesignPaths();
    ASSERT_GE(designs.size(), 10u);
    for (const auto& path : designs) {
        LensSystem lens;
        ASSERT_NE(readDesignFile(lens, path.c_str()), 0) << path;
        const std::vector<Ray> rays = analysisRays(lens.surfaces);
        for (const RowFilter filter :
             {RowFilter::All, RowFilter::NoFocal, RowFilter::OpticalOnly}) {
            expectSameAsAlone(lens.surfaces, rays, filter, path.filename().string());
        }
    }
}

} // namespace
} // namespace kiro
