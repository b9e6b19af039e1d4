#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "tests/support/literal_forms.h"
#include "trace/bundles.h"
#include "trace/ray_tracer.h"
#include "trace_tables.h"

// The tracer's forms against the plain textbook forms, where both keep their digits (the
// high-precision comparison covers the rest).
namespace kiro {
namespace {

using test::makeRow;

Vec3 randomUnit(std::mt19937_64& rng) {
    std::normal_distribution<double> g;
    return normalize({g(rng), g(rng), g(rng)});
}

double distance(Vec3 a, Vec3 b) {
    return length(sub(a, b));
}

TEST(FastForms, RefractionMatchesTheAnglesFormNearNormalAndGrazing) {
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int k = 0; k < 200000; ++k) {
        const Vec3 n = randomUnit(rng);
        Vec3 d = randomUnit(rng);
        const double tiny = std::pow(10.0, -15.0 * unit(rng));
        if (k % 3 == 1) {
            d = normalize(add(scale(n, k % 2 ? 1 : -1), scale(randomUnit(rng), tiny)));
        } else if (k % 3 == 2) {
            const Vec3 t = normalize(sub(d, scale(n, dot(d, n))));
            d = normalize(add(t, scale(n, k % 2 ? tiny : -tiny)));
        }
        const double mu = std::pow(10.0, -0.6 + 1.2 * unit(rng));
        const Vec3 fast = refract(d, n, mu);
        const Vec3 plain = literal::refract(d, n, mu);
        // The angles form takes the angle from acos(d.n), uncertain by a few 1e-16 / sin i;
        // near the critical angle both forms take the refracted cosine from 1 - s^2.
        const double sinIn = length(cross(d, n));
        const double cosOut = std::sqrt(std::fabs(1 - sinIn * sinIn / (mu * mu)));
        ASSERT_LE(distance(fast, plain), 1e-12 + 4e-15 / sinIn + 1e-15 / cosOut) << "case " << k;
    }
}

TEST(FastForms, SurfaceStepsMatchForEveryCurvedType) {
    std::mt19937_64 rng(32);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int aspheres = 0;
    for (int k = 0; k < 30000; ++k) {
        const double size = std::pow(10.0, 0.5 + 1.5 * (unit(rng) + 1));
        const int types[] = {SurfaceType::SphericalMirror, SurfaceType::SphericalLens,
                             SurfaceType::ParaboloidMirror, SurfaceType::AsphericMirror,
                             SurfaceType::AsphericLens};
        const int type = types[k % 5];
        const double radius = size * (2 + 8 * std::fabs(unit(rng))) * (unit(rng) < 0 ? -1 : 1);
        Surface row = makeRow(type, size * unit(rng), radius, size, 1.5);
        if (type == SurfaceType::AsphericMirror || type == SurfaceType::AsphericLens) {
            const double rho2 = size * size;
            row.radius = 0.5 / radius;
            row.a2 = 0.2 * unit(rng) / (radius * rho2);
            row.a3 = 0.1 * unit(rng) / (radius * rho2 * rho2);
            row.a4 = 0.05 * unit(rng) / (radius * rho2 * rho2 * rho2);
        }
        // Steep and nearly axial rays, from above the surface, from below it or from
        // anywhere near it (inside a sphere too).
        const double tilt = k % 7 == 0 ? 1e-9 * unit(rng) : 0.5 * unit(rng);
        const Vec3 dir = normalize({tilt, 0.3 * tilt * unit(rng), k % 4 == 0 ? 1.0 : -1.0});
        const double startZ = k % 3 == 0 ? row.z + 3 * size * unit(rng) : row.z - 2 * size * dir.z;
        const Vec3 start{0.8 * size * unit(rng), 0.8 * size * unit(rng), startZ};
        const Ray ray{2, start, dir};
        const double searchLength = 6 * size;
        const double mu = 1.5;
        const Ray fast = traceSurface(ray, row, mu, searchLength);
        const Ray plain = literal::traceSurface(ray, row, mu, searchLength);
        ASSERT_EQ(isDead(fast), isDead(plain)) << "case " << k;
        const double scaleMm = length(start) + searchLength;
        EXPECT_LE(distance(fast.position, plain.position), 1e-12 * scaleMm) << "case " << k;
        EXPECT_LE(distance(fast.direction, plain.direction), 1e-12) << "case " << k;
        if (!isDead(fast) &&
            (type == SurfaceType::AsphericMirror || type == SurfaceType::AsphericLens)) {
            ++aspheres;
        }
    }
    EXPECT_GT(aspheres, 5000);
}

TEST(FastForms, SphereKeepsItsDigitsForFarStartsAndGlancingRays) {
    // Starts up to a thousand radii away (a near point source) and rays that only just
    // meet the sphere, where the sphere's quadratic cancels most of its digits.
    std::mt19937_64 rng(34);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int met = 0;
    for (int k = 0; k < 20000; ++k) {
        const double radius = std::pow(10.0, 1.5 + unit(rng)) * (unit(rng) < 0 ? -1 : 1);
        const double r = std::fabs(radius);
        const Surface row =
            makeRow(k % 2 ? SurfaceType::SphericalMirror : SurfaceType::SphericalLens, 0.0, radius,
                    2 * r, 1.5);
        Vec3 start;
        Vec3 target;
        if (k % 3 == 0) {
            // Glancing: aimed at the rim of the sphere's outline seen along z.
            const double phi = 3.2 * unit(rng);
            const double rim = r * (1 - std::pow(10.0, -2 - 3 * std::fabs(unit(rng))));
            start = {rim * std::cos(phi), rim * std::sin(phi), radius + 3 * r * unit(rng)};
            target = add(start, {1e-9 * unit(rng), 1e-9 * unit(rng), -1.0});
        } else {
            const double far = std::pow(10.0, 3 * std::fabs(unit(rng)));
            start = {0.5 * r * unit(rng), 0.5 * r * unit(rng), radius + far * radius};
            target = {0.6 * r * unit(rng), 0.6 * r * unit(rng), 0.0};
        }
        const Ray ray{2, start, normalize(sub(target, start))};
        const Ray fast = traceSurface(ray, row, 1.5, 1.0);
        const Ray plain = literal::traceSurface(ray, row, 1.5, 1.0);
        ASSERT_EQ(isDead(fast), isDead(plain)) << "case " << k;
        met += !isDead(fast);
        EXPECT_LE(distance(fast.position, plain.position), 1e-12 * r) << "case " << k;
        EXPECT_LE(distance(fast.direction, plain.direction), 1e-12) << "case " << k;
    }
    EXPECT_GT(met, 15000);
}

TEST(FastForms, AsphereSearchEndsOnTheBisectionRoot) {
    // Strongly curved aspheres met at steep angles, where the ray line can cross the
    // surface more than once within the search.
    std::mt19937_64 rng(33);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int met = 0;
    for (int k = 0; k < 30000; ++k) {
        const double a1 = 0.02 * unit(rng);
        const double a2 = 2e-5 * unit(rng);
        const double a3 = 1e-8 * unit(rng);
        const double a4 = 1e-11 * unit(rng);
        const Vec3 dir = normalize({unit(rng), unit(rng), unit(rng)});
        const Ray ray{2, {40 * unit(rng), 40 * unit(rng), 40 * unit(rng)}, dir};
        const double searchLength = 50 + 300 * std::fabs(unit(rng));
        const SurfaceMeet fast = meetAsphere(ray, 0.0, a1, a2, a3, a4, searchLength);
        const SurfaceMeet plain = literal::meetAsphere(ray, 0.0, a1, a2, a3, a4, searchLength);
        ASSERT_EQ(fast.met, plain.met) << "case " << k;
        met += fast.met;
        EXPECT_LE(distance(fast.point, plain.point), 1e-12 * (40 + searchLength)) << "case " << k;
    }
    EXPECT_GT(met, 10000);
}

TEST(FastForms, ZonalFocusMatchesTheAnglesForm) {
    const SurfaceTable table = test::doublet();
    const double searchLength = asphereSearchLength(table);
    for (double h : {10.0, 25.0, 49.0}) {
        const ZonalFocus focus =
            zonalFocus(table, Settings{}, test::kDLine, h, ZonalMode::OpticalOnly);
        Ray a{2, {-h, 0, 0}, {0, 0, -1}};
        Ray b{2, {h, 0, 0}, {0, 0, -1}};
        Ray plainA = a;
        Ray plainB = b;
        for (int i = 0; i < 4; ++i) {
            const double mu = relativeIndex(table, i, 2);
            a = traceSurface({2, a.position, unitDirection(a.direction)}, table[i], mu,
                             searchLength);
            b = traceSurface({2, b.position, unitDirection(b.direction)}, table[i], mu,
                             searchLength);
            plainA = literal::traceSurface({2, plainA.position, normalize(plainA.direction)},
                                           table[i], mu, searchLength);
            plainB = literal::traceSurface({2, plainB.position, normalize(plainB.direction)},
                                           table[i], mu, searchLength);
        }
        // The focal length from the same final rays, and through the plain forms all
        // along; only wide zones, where the angles forms keep their digits.
        const double f = literal::focalLength(h, a.direction, b.direction);
        EXPECT_NEAR(focus.f, f, 1e-12 * f) << h;
        if (h >= 25) {
            EXPECT_NEAR(focus.f, literal::focalLength(h, plainA.direction, plainB.direction),
                        1e-12 * f)
                << h;
        }
    }
}

} // namespace
} // namespace kiro
