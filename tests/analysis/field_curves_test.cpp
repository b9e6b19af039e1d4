#include "analysis/field_curves.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

using test::makeRow;

constexpr int kAllLines = 0x7E;
constexpr size_t kD = WavelengthLine::d - WavelengthLine::First;

// A spherical mirror with its stop at the centre of curvature has no axis of its own: every
// chief ray is one, so T = S and the foci lie on the sphere of radius R/2 about the centre.
TEST(FieldCurvature, MirrorStoppedAtItsCentreFocusesOnASphere) {
    for (const double radius : {400.0, 1000.0}) {
        SurfaceTable table{};
        table[0] = makeRow(SurfaceType::Stop, radius, 0.0, 10.0);
        table[1] = makeRow(SurfaceType::SphericalMirror, 0.0, radius, 0.4 * radius);
        table[2] = makeRow(SurfaceType::FlatFocal, radius / 2, 0.0, 0.15 * radius);
        LensSystem lens;
        const FieldCurves curves = computeFieldCurves(table, lens.settings, kAllLines);
        ASSERT_TRUE(curves.valid);
        for (const FieldPoint& point : curves.points) {
            const double sphere = radius / 2 * (1.0 - std::cos(point.fieldAngle));
            EXPECT_NEAR(point.tangential[kD], sphere, 1e-6 * radius) << point.height;
            EXPECT_NEAR(point.sagittal[kD], sphere, 1e-6 * radius) << point.height;
            // No distortion either: y = (R/2) tan theta.
            EXPECT_NEAR(point.distortion, 0.0, 1e-4) << point.height;
        }
        EXPECT_GT(curves.points.back().tangential[kD], 0.0);
    }
}

// A thin lens with its stop at the lens: in third order T - P = 3 (S - P), and the Petzval
// surface has the radius n f, curving towards the lens: P = -y^2 / (2 n f).
TEST(FieldCurvature, ThinLensPetzvalSurfaceFromTheClosedForm) {
    for (const double n : {1.5, 1.8}) {
        const double c1 = 0.005, c2 = -0.005;
        const double f = 1.0 / ((n - 1.0) * (c1 - c2));
        const SurfaceTable table = test::thinLens(n, c1, c2, 2.0, -f, 0.02 * f);
        LensSystem lens;
        const FieldCurves curves = computeFieldCurves(table, lens.settings, 1 << WavelengthLine::d);
        ASSERT_TRUE(curves.valid);
        const FieldPoint& edge = curves.points.back();
        const double petzval = (3.0 * edge.sagittal[kD] - edge.tangential[kD]) / 2.0;
        const double expected = -edge.height * edge.height / (2.0 * n * f);
        EXPECT_NEAR(petzval, expected, 0.03 * std::fabs(expected));
        EXPECT_LT(edge.tangential[kD], edge.sagittal[kD]); // positive astigmatism
    }
}

// The Petzval surface's curvature (1/mm) from the foci at the edge of the field, measured
// from the axial focus so that a defocus does not count.
double petzvalCurvature(const FieldCurves& curves) {
    const auto petzval = [](const FieldPoint& p) {
        return (3.0 * p.sagittal[kD] - p.tangential[kD]) / 2.0;
    };
    const FieldPoint& edge = curves.points.back();
    return 2.0 * (petzval(edge) - petzval(curves.points.front())) / (edge.height * edge.height);
}

// The designed flattener against the same objective without it (its last lens taken out).
TEST(FieldCurvature, FlattenerFlattensItsDoubletsField) {
    const LensSystem flattened = test::designedExample("doublet-flattener-102-f7.OPT");
    LensSystem alone = flattened;
    const int count = surfaceCount(flattened.surfaces);
    ASSERT_EQ(count, 7);
    alone.surfaces[4] = flattened.surfaces[6];
    alone.surfaces[5] = alone.surfaces[6] = Surface{};
    const FieldCurves flat = computeFieldCurves(flattened.surfaces, flattened.settings, kAllLines);
    const FieldCurves plain = computeFieldCurves(alone.surfaces, alone.settings, kAllLines);
    ASSERT_TRUE(plain.valid && flat.valid);
    EXPECT_LT(std::fabs(petzvalCurvature(flat)), 0.95 * std::fabs(petzvalCurvature(plain)));
}

TEST(Distortion, NoneOnTheAxisAndLinesOutsideTheMaskStayEmpty) {
    const LensSystem lens = test::designedExample("schmidt-camera-200-f2.OPT");
    const FieldCurves curves =
        computeFieldCurves(lens.surfaces, lens.settings, 1 << WavelengthLine::d);
    ASSERT_TRUE(curves.valid);
    EXPECT_EQ(curves.points[0].distortion, 0.0);
    EXPECT_EQ(curves.points[0].height, 0.0);
    EXPECT_DOUBLE_EQ(curves.points.back().height, curves.largestHeight);
    for (const FieldPoint& point : curves.points) {
        EXPECT_TRUE(std::isfinite(point.tangential[kD]));
        EXPECT_TRUE(std::isnan(point.tangential[0]));
        EXPECT_TRUE(std::isfinite(point.distortion));
    }
    LensSystem empty;
    EXPECT_FALSE(computeFieldCurves(empty.surfaces, empty.settings, kAllLines).valid);
}

} // namespace
} // namespace kiro
