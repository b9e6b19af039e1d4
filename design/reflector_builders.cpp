#include "design/reflector_builders.h"

#include <cmath>

#include "design/builder_support.h"
#include "design/geometric_scan.h"
#include "design/merit.h"
#include "design/two_mirror.h"

namespace kiro {

namespace {

// All-mirror designs are tuned and focused at the e line.
constexpr int kMirrorLine = WavelengthLine::e;

// The Newtonian's baffle distance: the diagonal's place, D/2 + 100 mm before the focus.
constexpr double kNewtonianBaffleMargin = 100.0;

double mirrorSpherical(const SurfaceTable& table, const Settings& settings, double D) {
    return sphericalAberration(table, settings, D * kInnerZoneOfAperture, D * kOuterZoneOfAperture,
                               kMirrorLine);
}

double mirrorFocus(const SurfaceTable& table, const Settings& settings, double D) {
    return meanFocus(table, settings, D * kInnerZoneOfAperture, D * kOuterZoneOfAperture,
                     kMirrorLine);
}

// Entrance stop, obstruction by the secondary, the two mirrors: rows shared by the
// Cassegrain forms.
void writeTwoMirrorEntrance(SurfaceTable& table, double D) {
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 0.6 * D);
    table[1] = makeRow(SurfaceType::Obstruction, -0.9 * D, 0.0, D / 4.0);
}

void writeFocalPlane(SurfaceTable& table, const Settings& settings, double D, int row) {
    const double z = mirrorFocus(table, settings, D);
    table[row] = makeRow(SurfaceType::FlatFocal, z, 0.0, 0.2 * D);
}

} // namespace

DesignResult buildNewtonian(SurfaceTable& table, double D, double f) {
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    double e = D / 2.0 + kNewtonianBaffleMargin;
    if (2.0 * f < D / 2.0 + kNewtonianBaffleMargin) {
        e = f / 2.0;
    }
    clearTable(table);
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 0.6 * D);
    table[1] = makeRow(SurfaceType::Obstruction, -0.9 * e, 0.0, 0.6 * e * D / f);
    table[2] = makeRow(SurfaceType::ParaboloidMirror, -f, 2.0 * f, D / 2.0);
    table[3] = makeRow(SurfaceType::Stop, -e, 0.0, 0.6 * e * D / f);
    table[4] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, D / 8.0);
    return designSucceeded();
}

DesignResult buildCassegrain(SurfaceTable& table, const Settings& settings, double D, double f,
                             double b, double k) {
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    const TwoMirror mirrors = solveTwoMirror(D, f, b, k);
    if (!mirrors.solved) {
        return noTwoMirrorSolution(D, f, b, k);
    }
    const double s = mirrors.s, r1 = mirrors.r1;
    const double a1 = 1.0 / (2.0 * k * r1);
    clearTable(table);
    writeTwoMirrorEntrance(table, D);
    table[2] = makeRow(SurfaceType::ParaboloidMirror, -D - s, r1, D / 2.0);
    table[3] = makeRow(SurfaceType::AsphericMirror, -D, a1, D / 4.0);
    writeFocalPlane(table, settings, D, 4);

    // The secondary's 4th-order term, from zero; a scan ends at the first measure that is
    // negative or worse than the untouched secondary.
    Surface& secondary = table[3];
    const auto measure = [&] { return mirrorSpherical(table, settings, D); };
    const double s0 = measure();
    double best = s0;
    const auto set = [&](double v) { secondary.a2 = v; };
    const auto stop = [s0](double m) { return m < 0.0 || m > s0; };
    double a2 = 0.0;
    a2 = geometricScan(a2, -std::pow(a1, 3.0), 2.0, -20, 19, set, measure, best, stop);
    a2 = geometricScan(a2, a2, 1.1, -10, 9, set, measure, best, stop);
    geometricScan(a2, a2, 1.01, -10, 9, set, measure, best, stop);

    table[4].z = mirrorFocus(table, settings, D);
    return designSucceeded();
}

DesignResult buildDallKirkham(SurfaceTable& table, const Settings& settings, double D, double f,
                              double b, double k) {
    if (!isUsableSize(D, f)) {
        return unusableSize();
    }
    const TwoMirror mirrors = solveTwoMirror(D, f, b, k);
    if (!mirrors.solved) {
        return noTwoMirrorSolution(D, f, b, k);
    }
    const double s = mirrors.s, r1 = mirrors.r1;
    const double a1 = 0.5 / r1;
    clearTable(table);
    writeTwoMirrorEntrance(table, D);
    table[2] = makeRow(SurfaceType::AsphericMirror, -D - s, a1, D / 2.0);
    table[2].a2 = std::pow(a1, 3.0);
    table[3] = makeRow(SurfaceType::SphericalMirror, -D, k * r1, D / 4.0);
    writeFocalPlane(table, settings, D, 4);

    // The primary's ellipsoidal 4th-order term and then its 6th-order term.
    Surface& primary = table[2];
    const auto measure = [&] { return mirrorSpherical(table, settings, D); };
    double best = measure();
    const auto setA2 = [&](double v) { primary.a2 = v; };
    double a2 = primary.a2;
    a2 = geometricScan(a2, a2, 2.0, -10, 9, setA2, measure, best);
    a2 = geometricScan(a2, a2, 1.1, -8, 7, setA2, measure, best);
    a2 = geometricScan(a2, a2, 1.01, -8, 7, setA2, measure, best);

    const auto setA3 = [&](double v) { primary.a3 = v; };
    double a3 = primary.a3;
    a3 = geometricScan(a3, std::pow(a2, 2.0), 2.0, -10, 9, setA3, measure, best);
    a3 = geometricScan(a3, a3, 1.1, -8, 7, setA3, measure, best);
    geometricScan(a3, a3, 1.01, -8, 7, setA3, measure, best);

    table[4].z = mirrorFocus(table, settings, D);
    return designSucceeded();
}

} // namespace kiro
