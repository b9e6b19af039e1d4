#include "analysis/seidel_sums.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/spot_rays.h"
#include "analysis/wavefront.h"
#include "model/fraunhofer_lines.h"
#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

using test::makeRow;

double dLineMillimetres() {
    return fraunhoferLineAt(WavelengthLine::d)->wavelengthMicrometres * 1e-3;
}

// Welford's convention: a concave mirror facing the light has S_I = 8 W040 with
// W040 = h^4 / (4 R^3) > 0 (the spherical mirror is undercorrected).
TEST(SeidelMirrors, SphericalMirrorMatchesClosedForm) {
    for (const double radius : {200.0, 800.0, 2400.0}) {
        for (const double h : {5.0, 25.0, 60.0}) {
            const SurfaceTable table = test::sphericalMirror(radius, h, radius / 2);
            const SeidelSums sums = seidelSumsFor(table, h, 0.01);
            ASSERT_TRUE(sums.valid);
            const double w040 = std::pow(h, 4) / (4.0 * std::pow(radius, 3));
            EXPECT_NEAR(sums.total.si, 8.0 * w040, 1e-12 * 8.0 * w040);
            EXPECT_NEAR(sums.waves.w040, w040 / dLineMillimetres(), 1e-9 * w040 / 1e-3);
            EXPECT_DOUBLE_EQ(sums.total.cl, 0.0);
        }
    }
}

TEST(SeidelMirrors, ParaboloidAndItsAsphericTwinHaveNoSphericalAberration) {
    for (const double radius : {400.0, 2000.0}) {
        SurfaceTable table = test::sphericalMirror(radius, 50.0, radius / 2);
        table[0].type = SurfaceType::ParaboloidMirror;
        const double sphere =
            seidelSumsFor(test::sphericalMirror(radius, 50.0, radius / 2), 50.0, 0.01).total.si;
        EXPECT_NEAR(seidelSumsFor(table, 50.0, 0.01).total.si, 0.0, 1e-12 * sphere);
        // z = a1 r^2 + a2 r^4: a1 = 1 / 2R is the vertex curvature; a2 = 0 is the paraboloid,
        // a2 = 1 / 8R^3 the sphere's own fourth-order term.
        table[0].type = SurfaceType::AsphericMirror;
        table[0].radius = 1.0 / (2.0 * radius);
        EXPECT_NEAR(seidelSumsFor(table, 50.0, 0.01).total.si, 0.0, 1e-12 * sphere);
        table[0].a2 = 1.0 / (8.0 * std::pow(radius, 3));
        EXPECT_NEAR(seidelSumsFor(table, 50.0, 0.01).total.si, sphere, 1e-12 * sphere);
    }
}

TEST(SeidelMirrors, ClassicalCassegrainIsFreeOfSphericalAberration) {
    const LensSystem lens = test::designedExample("cassegrain-200-f10.OPT");
    const SeidelSums sums = seidelSums(lens.surfaces, lens.settings);
    ASSERT_TRUE(sums.valid);
    // The same secondary as a sphere of its vertex curvature (a2 = a1^3).
    SurfaceTable spherical = lens.surfaces;
    spherical[3].a2 = std::pow(spherical[3].radius, 3);
    const double uncorrected = seidelSums(spherical, lens.settings).total.si;
    EXPECT_GT(std::fabs(uncorrected), 1e-3);
    EXPECT_LT(std::fabs(sums.total.si), 0.01 * std::fabs(uncorrected));
    // The paraboloid is the stop's conic: its own S_I is nothing.
    EXPECT_NEAR(sums.perRow[2].si, 0.0, 1e-9);
}

// A thin lens in air: S_IV = H^2 phi / n, and with the stop at the lens S_III = H^2 phi.
TEST(SeidelLenses, ThinLensPetzvalAndAstigmatism) {
    for (const double n : {1.45, 1.5, 1.8}) {
        for (const double c1 : {0.01, 0.004, -0.002}) {
            const double c2 = c1 - 0.008;
            const double phi = (n - 1.0) * (c1 - c2);
            const SurfaceTable table = test::thinLens(n, c1, c2, 20.0, -1.0 / phi, 10.0);
            const double ubar = std::tan(0.02);
            const SeidelSums sums = seidelSumsFor(table, 20.0, 0.02);
            const double lagrange = ubar * 20.0;
            EXPECT_NEAR(sums.total.siv, lagrange * lagrange * phi / n,
                        1e-6 * lagrange * lagrange * phi);
            EXPECT_NEAR(sums.total.siii, lagrange * lagrange * phi,
                        1e-5 * lagrange * lagrange * phi);
        }
    }
}

// Every surface concentric with the stop: the chief ray meets each along its normal
// (Abar = 0), so coma, astigmatism, distortion and lateral colour vanish term by term.
TEST(SeidelSymmetry, ConcentricDesignsHaveNoOffAxisTermsButPetzval) {
    SurfaceTable mirror{};
    mirror[0] = makeRow(SurfaceType::Stop, 300.0, 0.0, 40.0);
    mirror[1] = makeRow(SurfaceType::SphericalMirror, 0.0, 300.0, 60.0);
    mirror[2] = makeRow(SurfaceType::FlatFocal, 150.0, 0.0, 30.0);
    // A glass shell whose two surfaces are centred on the stop.
    SurfaceTable ball{};
    ball[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 5.0);
    ball[1] = makeRow(SurfaceType::SphericalLens, -30.0, 30.0, 15.0);
    ball[1].index = {1.6, 1.60, 1.61, 1.615, 1.62, 1.63, 1.64, 1.65};
    ball[2] = makeRow(SurfaceType::SphericalLens, -50.0, 50.0, 15.0);
    ball[3] = makeRow(SurfaceType::FlatFocal, -120.0, 0.0, 10.0);
    for (const SurfaceTable& table : {mirror, ball}) {
        const SeidelSums sums = seidelSumsFor(table, 5.0, 0.05);
        ASSERT_TRUE(sums.valid);
        const double scale = std::fabs(sums.total.siv);
        EXPECT_GT(scale, 0.0);
        EXPECT_NEAR(sums.total.sii, 0.0, 1e-12 * scale);
        EXPECT_NEAR(sums.total.siii, 0.0, 1e-12 * scale);
        EXPECT_NEAR(sums.total.sv, 0.0, 1e-12 * scale);
        EXPECT_NEAR(sums.total.ct, 0.0, 1e-12 * scale);
    }
}

// The distortion term is written without dividing by A; surface by surface it must equal
// Welford's Abar / A (S_III + S_IV) wherever A is not zero.
TEST(SeidelLenses, DistortionTermAgreesWithItsQuotientForm) {
    const LensSystem lens = test::designedExample("doublet-flattener-102-f7.OPT");
    const SeidelSums sums = seidelSums(lens.surfaces, lens.settings);
    ASSERT_TRUE(sums.valid);
    int lenses = 0;
    for (int i = 0; i < sums.rows; ++i) {
        const SeidelTerms& t = sums.perRow[static_cast<size_t>(i)];
        if (t.si == 0.0) {
            continue;
        }
        ++lenses;
        // S_II / S_I = Abar / A for a spherical surface.
        const double ratio = t.sii / t.si;
        EXPECT_NEAR(t.sv, ratio * (t.siii + t.siv), 1e-9 * (std::fabs(t.sv) + std::fabs(t.siv)));
    }
    EXPECT_EQ(lenses, 6);
}

TEST(SeidelSums, EmptyOrApertureLessDesignsAreInvalid) {
    EXPECT_FALSE(seidelSumsFor(SurfaceTable{}, 10.0, 0.0).valid);
    EXPECT_FALSE(seidelSumsFor(test::sphericalMirror(200, 50, 100), 0.0, 0.0).valid);
    LensSystem empty;
    EXPECT_FALSE(seidelSums(empty.surfaces, empty.settings).valid);
}

// The rho^4 coefficient of the exact wavefront on axis, in waves: a least-squares fit of
// piston, rho^2 and rho^4 over the live pupil points.
double fittedW040(const SurfaceTable& table) {
    SpotBeam beam;
    EXPECT_TRUE(
        prepareSpotBeam(table, table[static_cast<size_t>(surfaceCount(table) - 1)], 0.0, beam));
    PupilMap map;
    EXPECT_TRUE(tracePupilMap(table, beam, WavelengthLine::d, kDefaultPupilGrid, map));
    double m[3][3] = {};
    double r[3] = {};
    for (int j = 0; j < map.n; ++j) {
        for (int i = 0; i < map.n; ++i) {
            const size_t at = static_cast<size_t>(j * map.n + i);
            if (map.live[at] == 0) {
                continue;
            }
            const double rho2 =
                map.coordinate(i) * map.coordinate(i) + map.coordinate(j) * map.coordinate(j);
            const double basis[3] = {1.0, rho2, rho2 * rho2};
            for (int a = 0; a < 3; ++a) {
                r[a] += basis[a] * map.opd[at];
                for (int b = 0; b < 3; ++b) {
                    m[a][b] += basis[a] * basis[b];
                }
            }
        }
    }
    // Cramer's rule for the rho^4 coefficient.
    const auto det = [](const double(&x)[3][3]) {
        return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
               x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
               x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
    };
    double replaced[3][3];
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            replaced[a][b] = b == 2 ? r[a] : m[a][b];
        }
    }
    return det(replaced) / det(m);
}

// Third order against the exact wavefront: for a small aperture, 8 x the W040 fitted to
// the traced OPD is the sum of S_I (the OPD is measured as path(ray) - path(chief), so a
// positive W040 in Welford's convention shows as a negative rho^4 term).
TEST(SeidelAgainstWavefront, SumOfSphericalTermsMatchesTheTracedWavefront) {
    const SurfaceTable designs[] = {
        test::sphericalMirror(2000.0, 60.0, 1000.0),
        test::thinLens(1.5, 0.004, -0.004, 20.0, -1.0 / (0.5 * 0.008), 10.0),
    };
    for (const SurfaceTable& table : designs) {
        const double fitted = fittedW040(table);
        const double margin = table[0].effectiveRadius;
        const SeidelSums sums = seidelSumsFor(table, margin, 0.0);
        ASSERT_TRUE(sums.valid);
        const double third = sums.total.si / 8.0 / dLineMillimetres();
        EXPECT_GT(std::fabs(third), 0.05);
        EXPECT_NEAR(-fitted, third, 0.03 * std::fabs(third)) << "fitted " << fitted;
    }
}

} // namespace
} // namespace kiro
