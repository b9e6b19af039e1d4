#include "design/catadioptric_builders.h"

#include <cmath>

#include "design/builder_support.h"
#include "design/geometric_scan.h"
#include "design/glass_choice.h"
#include "design/merit.h"
#include "design/two_mirror.h"

namespace kiro {

namespace {

// The meniscus scans walk -w .. w in steps of w / 20: 41 values.
constexpr int kMeniscusScanSteps = 40;

// The Schmidt plate's focal-length correction takes asin of this times D / f.
constexpr double kSchmidtApertureFactor = 0.435;

// Measures over the zones D/8 to D/2 of one table.
struct Zones {
    const SurfaceTable& table;
    const Settings& settings;
    double hMin, hMax;

    Zones(const SurfaceTable& t, const Settings& s, double D)
        : table(t), settings(s), hMin(D * kInnerZoneOfAperture), hMax(D * kOuterZoneOfAperture) {}
    double spherical(int line) const {
        return sphericalAberration(table, settings, hMin, hMax, line);
    }
    double chromatic(int mask) const {
        return chromaticAberration(table, settings, hMin, hMax, mask);
    }
    double sine(int line) const { return sineConditionOffence(table, settings, hMin, hMax, line); }
    double focus(int line) const { return meanFocus(table, settings, hMin, hMax, line); }
};

// The corrector glass: usable at L (and, for the meniscus, at d as well).
DesignResult checkCorrector(const GlassCatalog& catalog, int glass, int L) {
    return checkGlass(catalog, glass, L, GlassControl::Corrector);
}

const GlassEntry& entryOf(const GlassCatalog& catalog, int glass) {
    return catalog.entries[static_cast<size_t>(glass)];
}

Surface glassRow(int type, double z, double radius, double effectiveRadius,
                 const GlassEntry& glass) {
    Surface row = makeRow(type, z, radius, effectiveRadius);
    setGlass(row, glass);
    return row;
}

void scalePlate(Surface& row, const double (&base)[4], double factor) {
    row.radius = base[0] * factor;
    row.a2 = base[1] * factor;
    row.a3 = base[2] * factor;
    row.a4 = base[3] * factor;
}

void remember(const Surface& row, double (&coefficients)[4]) {
    coefficients[0] = row.radius;
    coefficients[1] = row.a2;
    coefficients[2] = row.a3;
    coefficients[3] = row.a4;
}

} // namespace

// The rear radius follows the achromatic condition of a thick meniscus,
// r2 - r1 = d (n^2 - 1) / n^2 (Maksutov, JOSA 34, 1944), with d = 1.027 D / 10; the
// front radius is an empirical power law of the focal ratio.
Meniscus maksutovMeniscus(double D, double f, double nd) {
    const double F = f / D;
    Meniscus m;
    m.front = 0.612 * D * std::pow(F, 0.66) * nd / 1.52;
    m.rear = m.front + (1.027 * D / 10.0) * (std::pow(nd, 2.0) - 1.0) / std::pow(nd, 2.0);
    return m;
}

// Even-asphere terms of the classical Schmidt corrector, expanded in the aperture ratio
// rho = D / (2 f') with lengths in metres (u = f' / 1000) and scaled back to mm (see
// Schroeder, "Astronomical Optics", on the Schmidt camera). The mirror's focal length f'
// is f shortened by cos(asin(0.435 D / f) / 2), which puts the plate's neutral zone
// near the edge of the aperture.
SchmidtPlate schmidtPlate(double D, double f, double nL) {
    SchmidtPlate p;
    const double sine = kSchmidtApertureFactor * D / f;
    if (!(sine <= 1.0) || !(nL > 1.0)) {
        return p;
    }
    p.c = std::cos(0.5 * std::asin(sine));
    p.fPrime = p.c * f;
    const double rho = D / (2.0 * p.fPrime);
    const double t = 1.0 / (nL - 1.0);
    const double u = p.fPrime / 1000.0;
    const double rho2 = std::pow(rho, 2.0), rho4 = std::pow(rho, 4.0);
    p.a1 = (1.0 + 0.140625 * rho2 + 0.032958984375 * rho4) * 0.046875 * t * rho2 / u * 0.001;
    p.a2 = (1.0 - 0.375 * rho2 - 0.017578125 * rho4) * (-0.03125 * t) / std::pow(u, 3.0) * 1e-9;
    p.a3 = (1.0 - 0.5 * rho2) * (-0.01171875 * t) / std::pow(u, 5.0) * 1e-15;
    p.a4 = -0.0054931640625 * t / std::pow(u, 7.0) * 1e-21;
    p.valid = std::isfinite(p.a1) && std::isfinite(p.a2) && std::isfinite(p.a3) &&
              std::isfinite(p.a4) && std::isfinite(p.fPrime);
    return p;
}

namespace {

DesignResult plateImpossible(double D, double f) {
    DesignFailureDetails details;
    details.aperture = D;
    details.focalLength = f;
    return designFailed(DesignFailure::NoSchmidtCorrector, details);
}

// The meniscus needs a glass usable at d as well, for its radii.
DesignResult checkMeniscus(const GlassCatalog& catalog, int glass, int L) {
    DesignResult check = checkCorrector(catalog, glass, L);
    if (check.ok) {
        check = checkCorrector(catalog, glass, WavelengthLine::d);
    }
    return check;
}

} // namespace

DesignResult buildMaksutovNewtonian(SurfaceTable& table, const Settings& settings,
                                    const GlassCatalog& catalog,
                                    const CorrectedTelescope& telescope) {
    const double D = telescope.aperture, f = telescope.focalLength;
    const int L = telescope.line, glass = telescope.glass;
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    if (DesignResult check = checkMeniscus(catalog, glass, L); !check.ok) {
        return check;
    }
    const GlassEntry& entry = entryOf(catalog, glass);
    const double F = f / D;
    const Meniscus m = maksutovMeniscus(D, f, entry.index[WavelengthLine::d]);
    const double baffle = D / 2.0 + 100.0; // the diagonal's distance before the focus
    const double obstruction = 0.6 * D * baffle / f;
    clearTable(table);
    table[0] = glassRow(SurfaceType::SphericalLens, D / 10.0, m.front, D / 2.0, entry);
    table[1] = makeRow(SurfaceType::SphericalLens, 0.0, m.rear, D / 2.0);
    table[2] = makeRow(SurfaceType::Obstruction, 0.0, 0.0, obstruction);
    table[3] = makeRow(SurfaceType::SphericalMirror, -1.11 * D * std::pow(F, 1.14),
                       2.107 * D * std::pow(F, 0.983), 0.7 * D);

    // Five cycles of ever finer steps: the rear radius for colour, then both radii
    // together (a bending) for spherical aberration.
    const Zones zones(table, settings, D);
    Surface& front = table[0];
    Surface& rear = table[1];
    for (int r = 0; r <= 4; ++r) {
        const double w = f / (10.0 * std::pow(4.0, r));
        // The offsets -w, -w + w/20, ... up to w, summed step by step.
        const auto offsets = [w](auto&& visit) {
            double offset = -w;
            for (int k = 0; k <= kMeniscusScanSteps && offset <= w; ++k, offset += w / 20.0) {
                if (!visit(offset)) {
                    return;
                }
            }
        };
        const double r1 = front.radius, r2 = rear.radius;
        double best = zones.chromatic(kMaskCeh);
        scanForBest(
            0.0, offsets,
            [&](double offset) {
                front.radius = r1;
                rear.radius = r2 + offset;
            },
            [&] { return zones.chromatic(kMaskCeh); }, best);

        const double r2b = rear.radius;
        best = zones.spherical(L);
        scanForBest(
            0.0, offsets,
            [&](double offset) {
                front.radius = r1 + offset;
                rear.radius = r2b + offset;
            },
            [&] { return zones.spherical(L); }, best);
    }

    const double focus = zones.focus(L);
    table[2].z = focus + D / 10.0;
    table[4] = makeRow(SurfaceType::Stop, focus - baffle, 0.0, obstruction);
    table[5] = makeRow(SurfaceType::SphericalFocal, focus, f, D / 8.0);
    return designSucceeded();
}

DesignResult buildMaksutovCassegrain(SurfaceTable& table, const Settings& settings,
                                     const GlassCatalog& catalog,
                                     const CorrectedTelescope& telescope) {
    const double D = telescope.aperture, f = telescope.focalLength;
    const double b = telescope.backFocus, k = telescope.ratio;
    const int L = telescope.line, glass = telescope.glass;
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    if (DesignResult check = checkMeniscus(catalog, glass, L); !check.ok) {
        return check;
    }
    const TwoMirror mirrors = solveTwoMirror(D, f, b, k);
    if (!mirrors.solved) {
        return noTwoMirrorSolution(D, f, b, k);
    }
    const double s = mirrors.s, R1 = mirrors.r1;
    const GlassEntry& entry = entryOf(catalog, glass);
    const Meniscus m = maksutovMeniscus(D, f, entry.index[WavelengthLine::d]);
    clearTable(table);
    table[0] = glassRow(SurfaceType::SphericalLens, D / 10.0, m.front, D / 2.0, entry);
    table[1] = makeRow(SurfaceType::SphericalLens, 0.0, m.rear, D / 2.0);
    table[2] = makeRow(SurfaceType::Obstruction, s - f + D / 10.0, 0.0, D / 4.0);
    table[3] = makeRow(SurfaceType::SphericalMirror, -f, R1, 0.6 * D);
    table[4] = makeRow(SurfaceType::SphericalMirror, s - f, k * R1, D / 4.0);
    const Zones zones(table, settings, D);
    table[5] = makeRow(SurfaceType::FlatFocal, zones.focus(L), 0.0, 0.2 * D);

    Surface& front = table[0];
    Surface& rear = table[1];
    for (int r = 0; r <= 3; ++r) {
        const double M = std::pow(2.0, r);

        const auto step = [](int j) { return static_cast<double>(j); };

        // Colour: the rear radius alone.
        double r1 = front.radius, r2 = rear.radius;
        double best = zones.chromatic(kMaskCh);
        scanForBest(
            0.0, stepsFrom(-10, 9, step),
            [&](double j) {
                front.radius = r1;
                rear.radius = r2 * (1.0 + j * 0.005 / M);
            },
            [&] { return zones.chromatic(kMaskCh); }, best);

        // Spherical aberration and colour: bend the meniscus.
        r1 = front.radius;
        r2 = rear.radius;
        const auto colourAndSpherical = [&] {
            return zones.spherical(L) + zones.chromatic(kMaskCh);
        };
        best = colourAndSpherical();
        scanForBest(
            0.0, stepsFrom(-5, 9, step),
            [&](double j) {
                const double V = j * r1 * 0.1 / std::pow(3.0, r);
                front.radius = r1 + V;
                rear.radius = r2 + V;
            },
            colourAndSpherical, best);

        // The sine condition: move the meniscus along the axis, keeping its thickness.
        const double z0 = front.z;
        const double d = front.z - rear.z;
        best = zones.sine(L);
        scanForBest(
            0.0, stepsFrom(-10, 9, step),
            [&](double j) {
                front.z = z0 + j * f * 0.05 / M;
                rear.z = front.z - d;
            },
            [&] { return zones.sine(L); }, best);
    }

    table[5].z = zones.focus(L);
    return designSucceeded();
}

DesignResult buildSchmidtCassegrain(SurfaceTable& table, const Settings& settings,
                                    const GlassCatalog& catalog,
                                    const CorrectedTelescope& telescope) {
    const double D = telescope.aperture, f = telescope.focalLength;
    const double b = telescope.backFocus, k = telescope.ratio;
    const int L = telescope.line, glass = telescope.glass;
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    if (DesignResult check = checkCorrector(catalog, glass, L); !check.ok) {
        return check;
    }
    const GlassEntry& entry = entryOf(catalog, glass);
    const SchmidtPlate plate = schmidtPlate(D, f, entry.index[static_cast<size_t>(L)]);
    if (!plate.valid) {
        return plateImpossible(D, f);
    }
    const TwoMirror mirrors = solveTwoMirror(D, f, b, k);
    if (!mirrors.solved) {
        return noTwoMirrorSolution(D, f, b, k);
    }
    const double s = mirrors.s, R1 = mirrors.r1;
    clearTable(table);
    table[0] = glassRow(SurfaceType::FlatLens, D / 20.0, 0.0, D / 2.0, entry);
    table[1] = makeRow(SurfaceType::AsphericLens, 0.0, plate.a1, D / 2.0);
    table[1].a2 = plate.a2;
    table[1].a3 = plate.a3;
    table[1].a4 = plate.a4;
    table[2] = makeRow(SurfaceType::Obstruction, -D / 20.0, 0.0, D / 4.0);
    table[3] = makeRow(SurfaceType::SphericalMirror, -D / 10.0 - s, R1, D / 2.0);
    table[4] = makeRow(SurfaceType::SphericalMirror, -D / 10.0, k * R1, D / 4.0);
    const Zones zones(table, settings, D);
    table[5] = makeRow(SurfaceType::FlatFocal, zones.focus(L), 0.0, 0.2 * D);

    // One factor scales the whole plate profile; each scan works on the coefficients
    // kept by the one before.
    Surface& asphere = table[1];
    double kept[4];
    remember(asphere, kept);
    double best = zones.spherical(L);
    const auto measure = [&] { return zones.spherical(L); };
    const auto set = [&](double factor) { scalePlate(asphere, kept, factor); };
    const struct {
        double q;
        int first, last;
    } scans[] = {{2.0, -10, 9}, {1.1, -8, 7}, {1.01, -8, 7}};
    for (const auto& scan : scans) {
        geometricScan(1.0, 1.0, scan.q, scan.first, scan.last, set, measure, best);
        remember(asphere, kept);
    }

    table[5].z = zones.focus(L);
    return designSucceeded();
}

DesignResult buildBakerSchmidtCassegrain(SurfaceTable& table, const Settings& settings,
                                         const GlassCatalog& catalog,
                                         const CorrectedTelescope& telescope) {
    const double D = telescope.aperture;
    const int L = telescope.line;
    SurfaceTable work = table;
    if (DesignResult built = buildSchmidtCassegrain(work, settings, catalog, telescope);
        !built.ok) {
        return built;
    }
    const Zones zones(work, settings, D);
    Surface& glassFace = work[0];
    Surface& asphere = work[1];
    const double thickness = D / 20.0;

    // Move the plate along the axis for the sine condition, in three ever finer scans,
    // each centred on the place kept so far.
    const auto place = [&](double z) {
        asphere.z = z;
        glassFace.z = z + thickness;
    };
    double kept = asphere.z;
    double best = zones.sine(L);
    const struct {
        double step;
        int first, last;
    } scans[] = {{D, 0, 9}, {D / 10.0, -10, 9}, {D / 100.0, -10, 9}};
    for (const auto& scan : scans) {
        const double centre = kept;
        kept = scanForBest(
            kept, stepsFrom(scan.first, scan.last, [&](int i) { return centre + i * scan.step; }),
            place, [&] { return zones.sine(L); }, best);
    }

    // Then rescale the profile for spherical aberration at the new place.
    double coefficients[4];
    remember(asphere, coefficients);
    best = zones.spherical(L);
    geometricScan(
        1.0, 1.0, 1.001, -10, 9, [&](double factor) { scalePlate(asphere, coefficients, factor); },
        [&] { return zones.spherical(L); }, best);

    work[5].z = zones.focus(L);
    table = work;
    return designSucceeded();
}

DesignResult buildSchmidtCamera(SurfaceTable& table, const Settings& settings,
                                const GlassCatalog& catalog, const CorrectedTelescope& telescope) {
    const double D = telescope.aperture, f = telescope.focalLength;
    const int L = telescope.line, glass = telescope.glass;
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    if (DesignResult check = checkCorrector(catalog, glass, L); !check.ok) {
        return check;
    }
    const GlassEntry& entry = entryOf(catalog, glass);
    const SchmidtPlate plate = schmidtPlate(D, f, entry.index[static_cast<size_t>(L)]);
    if (!plate.valid) {
        return plateImpossible(D, f);
    }
    const double fp = plate.fPrime;
    clearTable(table);
    table[0] = glassRow(SurfaceType::FlatLens, D / 20.0, 0.0, D / 2.0, entry);
    table[1] = makeRow(SurfaceType::AsphericLens, 0.0, plate.a1, D / 2.0);
    table[1].a2 = plate.a2;
    table[1].a3 = plate.a3;
    table[1].a4 = plate.a4;
    // The plate stands at the mirror's centre of curvature; the image lies on a sphere of
    // radius f' about the same centre.
    table[2] = makeRow(SurfaceType::SphericalMirror, -2.0 * fp, 2.0 * fp, 0.7 * D);
    const Zones zones(table, settings, D);
    table[3] = makeRow(SurfaceType::SphericalFocal, zones.focus(L), fp, D / 8.0);
    return designSucceeded();
}

} // namespace kiro
