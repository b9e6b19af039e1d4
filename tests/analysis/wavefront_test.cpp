#include "analysis/wavefront.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>

#include "analysis/point_spread.h"
#include "analysis/spot_statistics.h"
#include "model/design_file.h"
#include "tests/analysis/analysis_tables.h"
#include "tests/support/example_designs.h"

namespace kiro {
namespace {

using std::numbers::pi;
using test::makeRow;

constexpr double kMirrorRadius = 2000.0; // f = 1000 mm

// A concave paraboloid at z = 0 focused on a plane at z = R / 2.
SurfaceTable paraboloid(double aperture) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::ParaboloidMirror, 0.0, kMirrorRadius, aperture);
    table[1] = makeRow(SurfaceType::FlatFocal, kMirrorRadius / 2.0, 0.0, 20.0);
    return table;
}

SpotBeam beamAt(const SurfaceTable& table, double fieldAngle) {
    SpotBeam beam;
    EXPECT_TRUE(prepareSpotBeam(table, table[static_cast<size_t>(surfaceCount(table) - 1)],
                                fieldAngle, beam));
    return beam;
}

PupilMap mapOf(const SurfaceTable& table, double fieldAngle, int n = kDefaultPupilGrid,
               int line = WavelengthLine::d) {
    PupilMap map;
    EXPECT_TRUE(tracePupilMap(table, beamAt(table, fieldAngle), line, n, map));
    return map;
}

double waves(double mm) {
    return mm / (lineWavelength(WavelengthLine::d) / 1000.0);
}

double fNumberOf(double aperture) {
    return kMirrorRadius / 2.0 / (2.0 * aperture);
}

TEST(Wavefront, ParaboloidOnAxisIsPerfectAtEveryLine) {
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        const PupilMap map = mapOf(paraboloid(100.0), 0.0, kDefaultPupilGrid, line);
        for (size_t k = 0; k < map.opd.size(); ++k) {
            ASSERT_LT(std::fabs(map.opd[k]), 1e-6) << "line " << line << " point " << k;
        }
        const WavefrontNumbers numbers = wavefrontNumbers(map);
        EXPECT_TRUE(numbers.measured);
        EXPECT_NEAR(numbers.strehl, 1.0, 1e-9);
        EXPECT_NEAR(numbers.strehlBest, 1.0, 1e-9);
    }
}

// Third-order spherical aberration of a mirror at its paraxial focus: W = h^4 / (4 R^3)
// at the rim (twice the sag difference from the paraboloid), RMS W 2 / (3 sqrt 5) and, at
// the focus that balances it with defocus, W / (6 sqrt 5), the focus moved by
// -8 F^2 W (V. N. Mahajan, Optical Imaging and Aberrations, Part I, SPIE 1998, ch. 8,
// primary spherical aberration and its balancing; the sign: rim rays focus short).
TEST(Wavefront, SphericalMirrorFollowsThirdOrderSphericalAberration) {
    const double h = 100.0; // f/5
    const PupilMap map = mapOf(test::sphericalMirror(kMirrorRadius, h, kMirrorRadius / 2.0), 0.0);
    const double w = waves(std::pow(h, 4) / (4.0 * std::pow(kMirrorRadius, 3)));
    int live = 0;
    for (int j = 0; j < map.n; ++j) {
        for (int i = 0; i < map.n; ++i) {
            const size_t at = static_cast<size_t>(j) * map.n + i;
            const double rho2 =
                map.coordinate(i) * map.coordinate(i) + map.coordinate(j) * map.coordinate(j);
            EXPECT_EQ(map.live[at] != 0, rho2 < 1.0);
            if (map.live[at] != 0) {
                EXPECT_NEAR(map.opd[at], -w * rho2 * rho2, 0.01 * w);
                ++live;
            }
        }
    }
    const WavefrontNumbers numbers = wavefrontNumbers(map);
    EXPECT_EQ(numbers.rays, live);
    EXPECT_NEAR(numbers.rms / (w * 2.0 / (3.0 * std::sqrt(5.0))), 1.0, 0.01);
    EXPECT_NEAR(numbers.rmsBest / (w / (6.0 * std::sqrt(5.0))), 1.0, 0.01);
    EXPECT_NEAR(numbers.pv / w, 1.0, 0.01);
    const double shift = focusShiftMm(numbers.defocusWaves, map.wavelengthMm, fNumberOf(h));
    EXPECT_NEAR(shift / (-8.0 * 25.0 * std::pow(h, 4) / (4.0 * std::pow(kMirrorRadius, 3))), 1.0,
                0.01);
}

// Marechal: S ~ exp(-(2 pi RMS)^2) for small aberrations, over spherical aberration of
// growing apertures and coma of growing fields.
TEST(Wavefront, SmallAberrationsFollowMarechal) {
    int checked = 0;
    for (double h = 20.0; h <= 46.0; h += 2.0) {
        const WavefrontNumbers numbers = wavefrontNumbers(
            mapOf(test::sphericalMirror(kMirrorRadius, h, kMirrorRadius / 2.0), 0.0));
        if (numbers.rms < 0.07) {
            EXPECT_NEAR(numbers.strehl / std::exp(-std::pow(2 * pi * numbers.rms, 2)), 1.0, 0.01)
                << "h " << h;
            ++checked;
        }
    }
    for (double degrees = 0.05; degrees <= 0.5; degrees += 0.05) {
        const WavefrontNumbers numbers =
            wavefrontNumbers(mapOf(paraboloid(100.0), degrees * pi / 180.0));
        if (numbers.rmsBest < 0.07) {
            EXPECT_NEAR(numbers.strehlBest / std::exp(-std::pow(2 * pi * numbers.rmsBest, 2)), 1.0,
                        0.01)
                << "field " << degrees;
            ++checked;
        }
    }
    EXPECT_GE(checked, 12);
}

// The aberration-free circular pupil: MTF = (2 / pi)(phi - cos phi sin phi), phi = acos(v)
// for v the frequency over the cut-off 1 / (lambda F#).
double circularMtf(double v) {
    const double phi = std::acos(std::min(v, 1.0));
    return 2.0 / pi * (phi - std::cos(phi) * std::sin(phi));
}

// With a central obstruction eps: E. L. O'Neill, "Transfer function for an annular
// aperture", J. Opt. Soc. Am. 46, 285 (1956).
double annularMtf(double v, double eps) {
    const double a = circularMtf(v);
    double b = 0.0;
    if (v <= eps) {
        const double x = v / eps;
        b = 2.0 * eps * eps / pi * (std::acos(x) - x * std::sqrt(1.0 - x * x));
    }
    double c = 0.0;
    if (v <= (1.0 - eps) / 2.0) {
        c = -2.0 * eps * eps;
    } else if (v < (1.0 + eps) / 2.0) {
        const double phi = std::acos((1.0 + eps * eps - 4.0 * v * v) / (2.0 * eps));
        c = 2.0 * eps / pi * std::sin(phi) + (1.0 + eps * eps) / pi * phi -
            2.0 * (1.0 - eps * eps) / pi *
                std::atan((1.0 + eps) / (1.0 - eps) * std::tan(phi / 2.0)) -
            2.0 * eps * eps;
    }
    return (a + b + c) / (1.0 - eps * eps);
}

// The Newtonian's paraboloid behind a 24 mm shadow in a 100 mm beam.
SurfaceTable obstructedParaboloid() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 600.0, 0.0, 100.0);
    table[1] = makeRow(SurfaceType::Obstruction, 500.0, 0.0, 24.0);
    table[2] = makeRow(SurfaceType::ParaboloidMirror, 0.0, kMirrorRadius, 100.0);
    table[3] = makeRow(SurfaceType::FlatFocal, kMirrorRadius / 2.0, 0.0, 20.0);
    return table;
}

TEST(Mtf, AberrationFreePupilsFollowTheirClosedForms) {
    struct Case {
        SurfaceTable table;
        double eps;
    };
    for (const Case& c : {Case{paraboloid(100.0), 0.0}, Case{obstructedParaboloid(), 0.24}}) {
        const PupilMap map = mapOf(c.table, 0.0);
        const double fNumber = fNumberOf(100.0);
        const MtfCurve curve = mtfOf(map, kPaddingFactor * map.n, fNumber);
        const double cutOff = 1.0 / (map.wavelengthMm * fNumber);
        for (double v = 0.0; v <= 1.0; v += 0.025) {
            const double expected = c.eps == 0.0 ? circularMtf(v) : annularMtf(v, c.eps);
            EXPECT_NEAR(curve.at(curve.tangential, v * cutOff), expected, 0.01) << v;
            EXPECT_NEAR(curve.at(curve.sagittal, v * cutOff), expected, 0.01) << v;
        }
        EXPECT_EQ(curve.at(curve.tangential, 1.01 * cutOff), 0.0);
        EXPECT_EQ(curve.at(curve.tangential, 1e300), 0.0);
        EXPECT_EQ(curve.at(curve.tangential, INFINITY), 0.0);
    }
}

// The Airy pattern: its first dark ring at 1.22 lambda F#, 83.8 % of the light inside it
// (padded 16 times, so that the parabola through the samples finds the ring closely).
TEST(PointSpread, AiryRingAndItsEncircledEnergy) {
    const PupilMap map = mapOf(paraboloid(100.0), 0.0);
    const double fNumber = fNumberOf(100.0);
    const int side = 16 * map.n;
    const PointSpread psf = pointSpread(map, side, fNumber);
    EXPECT_NEAR(psf.peak(), 1.0, 1e-9);
    const size_t m = static_cast<size_t>(side);
    const size_t centre = m / 2;
    const double* row = psf.intensity.data() + centre * m;
    size_t x = centre + 1;
    while (row[x + 1] < row[x]) {
        ++x;
    }
    // The minimum between the samples by a parabola through three.
    const double curvature = row[x - 1] - 2.0 * row[x] + row[x + 1];
    const double minimum =
        static_cast<double>(x - centre) + 0.5 * (row[x - 1] - row[x + 1]) / curvature;
    const double airy = 1.22 * map.wavelengthMm * fNumber;
    EXPECT_NEAR(minimum * psf.pixelMm / airy, 1.0, 0.01);
    double inside = 0.0;
    double total = 0.0;
    for (size_t y = 0; y < m; ++y) {
        for (size_t xx = 0; xx < m; ++xx) {
            const double dx = (static_cast<double>(xx) - centre) * psf.pixelMm;
            const double dy = (static_cast<double>(y) - centre) * psf.pixelMm;
            total += psf.intensity[y * m + xx];
            if (std::hypot(dx, dy) < airy) {
                inside += psf.intensity[y * m + xx];
            }
        }
    }
    EXPECT_NEAR(inside / total, 0.838, 0.01);
}

TEST(Mtf, OnAxisTheTwoDirectionsAgree) {
    for (const SurfaceTable& table :
         {test::sphericalMirror(kMirrorRadius, 100.0, kMirrorRadius / 2.0),
          obstructedParaboloid()}) {
        const PupilMap map = mapOf(table, 0.0);
        const MtfCurve curve = mtfOf(map, kPaddingFactor * map.n, 5.0);
        ASSERT_EQ(curve.tangential.size(), static_cast<size_t>(map.n) + 1);
        for (size_t k = 0; k < curve.tangential.size(); ++k) {
            EXPECT_NEAR(curve.tangential[k], curve.sagittal[k], 1e-9) << k;
        }
    }
}

// The MTF is the modulus of the PSF's Fourier transform: summed here straight from the
// PSF of an aberrated, vignetted off-axis pupil.
TEST(Mtf, IsTheTransformOfThePointSpread) {
    const PupilMap map = mapOf(obstructedParaboloid(), 0.4 * pi / 180.0, 32);
    const int side = kPaddingFactor * map.n;
    const PointSpread psf = pointSpread(map, side, 5.0);
    const MtfCurve curve = mtfOf(map, side, 5.0);
    const size_t m = static_cast<size_t>(side);
    double total = 0.0;
    for (const double value : psf.intensity) {
        total += value;
    }
    for (int k = 0; k <= map.n; k += 4) {
        std::complex<double> alongX;
        std::complex<double> alongY;
        for (size_t y = 0; y < m; ++y) {
            for (size_t x = 0; x < m; ++x) {
                const double value = psf.intensity[y * m + x];
                alongX += value * std::polar(1.0, -2.0 * pi * k * static_cast<double>(x) / side);
                alongY += value * std::polar(1.0, -2.0 * pi * k * static_cast<double>(y) / side);
            }
        }
        EXPECT_NEAR(curve.tangential[static_cast<size_t>(k)], std::abs(alongX) / total, 1e-9);
        EXPECT_NEAR(curve.sagittal[static_cast<size_t>(k)], std::abs(alongY) / total, 1e-9);
    }
    EXPECT_NEAR(curve.stepPerMm * map.n, 1.0 / (map.wavelengthMm * 5.0), 1e-9);
}

double largestDifference(const PointSpread& a, const PointSpread& b) {
    double largest = 0.0;
    for (size_t k = 0; k < a.intensity.size(); ++k) {
        largest = std::max(largest, std::fabs(a.intensity[k] - b.intensity[k]));
    }
    return largest;
}

// Without aberration the two sides of focus look alike; spherical aberration tells them
// apart (the classic star test).
TEST(StarTest, InsideAndOutsideFocusMatchOnlyWithoutAberration) {
    const StarTest perfect = starTest(mapOf(paraboloid(100.0), 0.0), 256, 5.0, 4.0);
    EXPECT_LT(largestDifference(perfect.inside, perfect.outside), 1e-6 * perfect.inside.peak());
    const StarTest spherical = starTest(
        mapOf(test::sphericalMirror(kMirrorRadius, 60.0, kMirrorRadius / 2.0), 0.0), 256, 5.0, 4.0);
    EXPECT_GT(largestDifference(spherical.inside, spherical.outside),
              0.2 * spherical.inside.peak());
}

// Each grid point's path, traced in packets, equals the one of its ray traced alone, on
// every example at the field's rim, at every line.
TEST(Wavefront, PacketPathsEqualSingleRayPaths) {
    int designs = 0;
    for (const std::filesystem::path& path : test::exampleDesignPaths()) {
        LensSystem lens;
        ASSERT_EQ(readDesignFile(lens, path.c_str()), 1);
        const SurfaceTable& table = lens.surfaces;
        const double angle = 0.3 * pi / 180.0;
        SpotBeam beam;
        if (!prepareSpotBeam(table, table[static_cast<size_t>(surfaceCount(table) - 1)], angle,
                             beam)) {
            continue;
        }
        for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
            constexpr int n = 24;
            PupilMap map;
            WavefrontReference reference;
            ASSERT_TRUE(tracePupilMap(table, beam, line, n, map)) << path;
            ASSERT_TRUE(prepareWavefrontReference(table, beam, line, reference));
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    double path = 0.0;
                    const bool live = singleRayPath(table, beam, reference,
                                                    map.coordinate(i) * beam.h0 / beam.cosField,
                                                    map.coordinate(j) * beam.h0, line, path);
                    const size_t at = static_cast<size_t>(j) * n + i;
                    ASSERT_EQ(map.live[at] != 0, live) << path << " " << i << " " << j;
                    if (live) {
                        ASSERT_EQ(map.opd[at], (path - reference.chiefPath) / map.wavelengthMm)
                            << path << " " << i << " " << j;
                    }
                }
            }
        }
        ++designs;
    }
    EXPECT_GE(designs, 10);
}

} // namespace
} // namespace kiro
