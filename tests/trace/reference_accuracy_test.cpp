#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/information_text.h"
#include "model/design_file.h"
#include "tests/support/precise_trace.h"
#include "trace/bundles.h"
#include "trace_tables.h"

// The tracer and the bundle evaluations against the same formulas at 50 digits, on the
// example designs and a few written here, at every line and at zones from r/1000 to r.
namespace kiro {
namespace {

using precise::Real;
using test::makeRow;

constexpr double kFocalTolerance = 1e-12; // relative
constexpr double kPointTolerance = 1e-9;  // mm
constexpr double kRayTolerance = 1e-12;   // relative to the design's size

struct Design {
    std::string name;
    LensSystem lens;
};

// Sixteen rows: seven lenses of two glasses with a stop among them and the focal plane,
// with shallow and steep radii, so that the near-axis zones meet nearly flat surfaces.
SurfaceTable sixteenRows() {
    SurfaceTable table{};
    const double radii[14] = {2400, -1800, -900, 700,  480,   -5200, 350,
                              -260, 610,   1500, -330, -2900, 800,   -640};
    double z = 0.0;
    int row = 0;
    for (int i = 0; i < 14; ++i) {
        if (i == 8) {
            table[row++] = makeRow(SurfaceType::Stop, z, 0.0, 30.0);
            z -= 2.0;
        }
        const bool glass = i % 2 == 0;
        const double nd = i % 4 == 0 ? 1.5168 : 1.62;
        Surface& s = table[row++];
        s = makeRow(SurfaceType::SphericalLens, z, radii[i], 30.0);
        for (int line = 0; line < kIndexSlots; ++line) {
            s.index[line] = glass ? nd + 0.004 * (line - 2) * (nd - 1) : 1.0;
        }
        z -= glass ? 6.0 : 2.0;
    }
    table[row] = makeRow(SurfaceType::FlatFocal, z - 400.0, 0.0, 0.0);
    return table;
}

// A strong even asphere in front of a paraboloid.
SurfaceTable paraboloidAndAsphere() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::AsphericLens, 0.0, 1.2e-4, 60.0, 1.5168);
    table[0].a2 = -3e-9;
    table[0].a3 = 2e-13;
    table[0].index[4] = 1.5224;
    table[1] = makeRow(SurfaceType::FlatLens, -8.0, 0.0, 60.0, 1.0);
    table[2] = makeRow(SurfaceType::ParaboloidMirror, -900.0, 1600.0, 60.0);
    table[3] = makeRow(SurfaceType::FlatFocal, -100.0, 0.0, 0.0);
    return table;
}

std::vector<Design> designs() {
    std::vector<Design> all;
    const char* files[] = {"examples/newtonian-200-f5.OPT",
                           "examples/spherical-mirror-r200.OPT",
                           "examples/designed/baker-schmidt-cassegrain-200-f10.OPT",
                           "examples/designed/cassegrain-200-f10.OPT",
                           "examples/designed/dall-kirkham-200-f10.OPT",
                           "examples/designed/doublet-100-f9.OPT",
                           "examples/designed/doublet-flattener-102-f7.OPT",
                           "examples/designed/maksutov-cassegrain-150-f12.OPT",
                           "examples/designed/maksutov-newtonian-150-f5.OPT",
                           "examples/designed/newtonian-200-f5.OPT",
                           "examples/designed/schmidt-camera-200-f2.OPT",
                           "examples/designed/schmidt-cassegrain-200-f10.OPT"};
    for (const char* file : files) {
        Design d{file, {}};
        const std::string path = std::string(KIRO_SOURCE_DIR) + "/" + file;
        EXPECT_EQ(readDesignFile(d.lens, path.c_str()), 1) << file;
        all.push_back(d);
    }
    Design sixteen{"sixteen rows", {}};
    sixteen.lens.surfaces = sixteenRows();
    all.push_back(sixteen);
    Design doublet{"doublet", {}};
    doublet.lens.surfaces = test::doublet();
    all.push_back(doublet);
    Design shapes{"paraboloid and asphere", {}};
    shapes.lens.surfaces = paraboloidAndAsphere();
    all.push_back(shapes);
    Design near{"doublet, point source", {}};
    near.lens.surfaces = test::doublet();
    near.lens.settings.sourceMode = SourceMode::Point;
    near.lens.settings.sourceZ = 25000.0;
    all.push_back(near);
    return all;
}

std::vector<double> zoneHeights(double r) {
    return {r / 1000, r / 100, 0.1 * r, 0.3 * r, 0.5 * r, 0.7 * r, 0.9 * r, r};
}

double distance(Vec3 a, const precise::V3& b) {
    return length(sub(a, precise::toVec3(b)));
}

double relativeError(double value, const Real& reference) {
    return static_cast<double>(abs((Real(value) - reference) / reference));
}

TEST(ReferenceAccuracy, ZonalFocusAtEveryZoneAndLine) {
    for (const Design& design : designs()) {
        const SurfaceTable& table = design.lens.surfaces;
        const double r = apertureRadius(table);
        int compared = 0;
        for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
            for (const double h : zoneHeights(r)) {
                for (const ZonalMode mode : {ZonalMode::OpticalOnly, ZonalMode::WithStops}) {
                    const ZonalFocus focus = zonalFocus(table, design.lens.settings, line, h, mode);
                    const precise::Focus reference =
                        precise::zonalFocus(table, design.lens.settings, line, h, mode);
                    // At h = r a ray may end exactly on a clear radius; elsewhere both agree
                    // on which zones come through.
                    if (h < r) {
                        ASSERT_EQ(focus.f != 0.0, reference.found)
                            << design.name << " line " << line << " h " << h;
                    }
                    if (focus.f == 0.0 || !reference.found) {
                        continue;
                    }
                    ++compared;
                    EXPECT_LE(relativeError(focus.f, reference.f), kFocalTolerance)
                        << design.name << " line " << line << " h " << h;
                    EXPECT_LE(distance(focus.point, reference.point), kPointTolerance)
                        << design.name << " line " << line << " h " << h;
                }
            }
        }
        EXPECT_GT(compared, 48) << design.name;
    }
}

TEST(ReferenceAccuracy, SineConditionDeviationAtEveryZoneAndLine) {
    for (const Design& design : designs()) {
        const SurfaceTable& table = design.lens.surfaces;
        const double r = apertureRadius(table);
        for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
            for (const double h : zoneHeights(r)) {
                const double deviation = sineFocusDeviation(table, 0.0, line, h);
                const precise::Focus reference = precise::sineFocalLength(table, line, h);
                if (h < r) {
                    ASSERT_EQ(deviation > kSineDeviationNoValue, reference.found)
                        << design.name << " line " << line << " h " << h;
                }
                if (deviation > kSineDeviationNoValue && reference.found) {
                    EXPECT_LE(relativeError(deviation, reference.f), kFocalTolerance)
                        << design.name << " line " << line << " h " << h;
                }
            }
        }
    }
}

// Every row's point and direction, for the meridional zone rays and one skew ray.
TEST(ReferenceAccuracy, RaysAfterEveryRow) {
    for (const Design& design : designs()) {
        const SurfaceTable& table = design.lens.surfaces;
        const double r = apertureRadius(table);
        const double size = asphereSearchLength(table) + r;
        const double z0 = table[0].z;
        std::vector<Ray> starts;
        for (const double h : zoneHeights(r)) {
            if (h < r) {
                starts.push_back({WavelengthLine::F, {h, 0.0, z0}, {0.0, 0.0, -1.0}});
            }
        }
        starts.push_back(
            {WavelengthLine::h, {0.3 * r, -0.4 * r, z0 + 5.0}, normalize({-0.004, 0.003, -1.0})});
        for (const Ray& start : starts) {
            std::vector<Ray> rows;
            traceSystem(table, start, RowFilter::All,
                        [&](int, const Ray& ray) { rows.push_back(ray); });
            size_t k = 0;
            precise::traceSystem(
                table, precise::toPrecise(start), RowFilter::All,
                [&](int row, const precise::Ray& ray) {
                    ASSERT_LT(k, rows.size());
                    const Ray& fast = rows[k++];
                    ASSERT_EQ(isDead(fast), ray.dead()) << design.name << " row " << row;
                    EXPECT_LE(distance(fast.position, ray.p), kRayTolerance * size)
                        << design.name << " row " << row << " x " << start.position.x;
                    EXPECT_LE(distance(fast.direction, ray.d), kRayTolerance)
                        << design.name << " row " << row << " x " << start.position.x;
                });
        }
    }
}

// The information box prints the near-axis focal length with six decimals: every one of
// them is the reference's.
TEST(ReferenceAccuracy, InformationTextPrintsTheReferenceFocalLength) {
    for (const Design& design : designs()) {
        const SurfaceTable& table = design.lens.surfaces;
        const double r = apertureRadius(table);
        const std::string text = buildInformationText(table, design.lens.settings, r);
        const precise::Focus reference = precise::zonalFocus(
            table, design.lens.settings, WavelengthLine::d, r / 1000, ZonalMode::OpticalOnly);
        ASSERT_TRUE(reference.found) << design.name;
        char expected[64];
        std::snprintf(expected, sizeof expected, "焦点距離(d線):%.6f\n",
                      static_cast<double>(reference.f));
        EXPECT_NE(text.find(expected), std::string::npos) << design.name << "\n" << text;
    }
}

} // namespace
} // namespace kiro
