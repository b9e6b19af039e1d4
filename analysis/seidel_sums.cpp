#include "analysis/seidel_sums.h"

#include <cmath>

#include "analysis/spot_diagram.h"
#include "analysis/spot_rays.h"
#include "analysis/spot_statistics.h"
#include "model/surface_kind.h"

// Sign convention (Welford's): light travels left to right along +z', so the design's z
// is reversed (z' = -z); a radius is positive when its centre lies to the right of the
// vertex, so a KIRO radius R becomes c = -1/R; indices are negative after an odd number
// of reflections, and so are the thicknesses travelled then; angles are slopes dh/dz'.
// Paraxial ray: n'u' = nu - h c (n' - n), then h += d u'.
// With A = n(hc + u), Abar = n(hbar c + ubar) and D = Delta(u/n) across the surface:
//   S_I = -A^2 h D, S_II = -A Abar h D, S_III = -Abar^2 h D, S_IV = -H^2 c Delta(1/n),
//   S_V = -Abar^3 h Delta(1/n^2) + hbar Abar (2 h Abar - hbar A) c Delta(1/n)
// (the form without division by A), C_L = A h Delta(dn/n), C_T = Abar h Delta(dn/n) with
// dn = n_F - n_C. A concave mirror facing the light then has S_I = 2 h^4 / |R|^3 > 0.
//
// Aspheric rows: the surface z' = c r^2 / 2 + b4 r^4 + ... departs from its vertex sphere
// (whose fourth-order term is c^3 / 8) by b = b4 - c^3 / 8, which adds (Welford 9.3)
//   dS_I = 8 b (n' - n) h^4, dS_II = dS_I hbar / h, dS_III = dS_I (hbar / h)^2,
//   dS_V = dS_I (hbar / h)^3, and nothing to S_IV.
// KIRO's even asphere z = z0 + a1 r^2 + a2 r^4 + a3 r^6 + a4 r^8 has c = -2 a1 and
// b4 = -a2; a3 and a4 are of higher order. The paraboloid is the conic of constant -1:
// b4 = 0.
namespace kiro {

namespace {

struct RowOptics {
    double c = 0.0;        // curvature in the reversed frame (1/mm)
    double b = 0.0;        // fourth-order departure from the vertex sphere
    bool reflects = false; // a mirror facing along the axis
    bool folds = false;    // a tilted flat mirror: only turns the axis
    bool refracts = false;
};

bool tilted(const Surface& row) {
    return row.nx != 0.0 || row.ny != 0.0;
}

RowOptics rowOptics(const Surface& row) {
    RowOptics optics;
    const SurfaceKindInfo* info = surfaceKindInfo(row.type);
    if (info == nullptr) {
        return optics;
    }
    optics.reflects = info->role == SurfaceRole::Mirror;
    optics.refracts = info->role == SurfaceRole::Lens;
    if (isFlat(row.type)) {
        optics.folds = optics.reflects && tilted(row);
        optics.reflects = optics.reflects && !optics.folds;
        return optics;
    }
    double b4 = 0.0;
    switch (info->shape) {
    case SurfaceShape::Spherical:
    case SurfaceShape::Paraboloid:
        optics.c = row.radius != 0.0 ? -1.0 / row.radius : 0.0;
        b4 = info->shape == SurfaceShape::Spherical ? optics.c * optics.c * optics.c / 8.0 : 0.0;
        break;
    case SurfaceShape::Aspheric:
        optics.c = -2.0 * asphericA1(row);
        b4 = -row.a2;
        break;
    case SurfaceShape::Flat:
        break;
    }
    optics.b = b4 - optics.c * optics.c * optics.c / 8.0;
    return optics;
}

// The signed index after row i at a line: flips sign at every mirror facing the axis.
struct Media {
    double d = 1.0;
    double f = 1.0;
    double c = 1.0;
};

Media mediaAfter(const Surface& row, double sign) {
    return {sign * row.index[WavelengthLine::d], sign * row.index[WavelengthLine::F],
            sign * row.index[WavelengthLine::C]};
}

double distance(Vec3 a, Vec3 b) {
    const Vec3 d = sub(a, b);
    return std::sqrt(dot(d, d));
}

} // namespace

WavefrontCoefficients wavefrontCoefficients(const SeidelTerms& total) {
    const double lambda = lineWavelengthMm(WavelengthLine::d);
    return {total.si / 8.0 / lambda, total.sii / 2.0 / lambda, total.siii / 2.0 / lambda,
            (total.siii + total.siv) / 4.0 / lambda, total.sv / 2.0 / lambda};
}

SeidelSums seidelSumsFor(const SurfaceTable& table, double marginHeight, double fieldAngle) {
    SeidelSums sums;
    sums.rows = surfaceCount(table);
    sums.marginHeight = marginHeight;
    sums.fieldAngle = fieldAngle;
    if (sums.rows == 0 || !(marginHeight > 0.0) || !std::isfinite(fieldAngle)) {
        return sums;
    }
    // Object space is air; the stop is row 0's plane.
    double h = marginHeight, u = 0.0;
    double hb = 0.0, ub = std::tan(fieldAngle);
    Media before{};
    double sign = 1.0;
    const double lagrange = before.d * (ub * h - u * hb);
    bool folded = false;
    for (int i = 0; i < sums.rows; ++i) {
        const Surface& row = table[static_cast<size_t>(i)];
        const RowOptics optics = rowOptics(row);
        if (optics.reflects) {
            sign = -sign;
        }
        // Rows that neither reflect nor refract keep the medium: a stop, an obstruction,
        // the focal surface and a fold carry the index of the space before them.
        const Media after = (optics.reflects || optics.refracts) ? mediaAfter(row, sign) : before;
        SeidelTerms& t = sums.perRow[static_cast<size_t>(i)];
        if (optics.reflects || optics.refracts) {
            const double n = before.d, n1 = after.d, c = optics.c;
            const double u1 = (n * u - h * c * (n1 - n)) / n1;
            const double ub1 = (n * ub - hb * c * (n1 - n)) / n1;
            const double a = n * (h * c + u);
            const double ab = n * (hb * c + ub);
            const double du = u1 / n1 - u / n;
            const double dInv = 1.0 / n1 - 1.0 / n;
            const double dInv2 = 1.0 / (n1 * n1) - 1.0 / (n * n);
            t.si = -a * a * h * du;
            t.sii = -a * ab * h * du;
            t.siii = -ab * ab * h * du;
            t.siv = -lagrange * lagrange * c * dInv;
            t.sv = -ab * ab * ab * h * dInv2 + hb * ab * (2.0 * h * ab - hb * a) * c * dInv;
            const double dDispersion = (after.f - after.c) / n1 - (before.f - before.c) / n;
            t.cl = a * h * dDispersion;
            t.ct = ab * h * dDispersion;
            const double aspheric = 8.0 * optics.b * (n1 - n);
            t.si += aspheric * h * h * h * h;
            t.sii += aspheric * h * h * h * hb;
            t.siii += aspheric * h * h * hb * hb;
            t.sv += aspheric * h * hb * hb * hb;
            u = u1;
            ub = ub1;
        }
        folded = folded || optics.folds;
        before = after;
        if (i + 1 < sums.rows) {
            const Surface& next = table[static_cast<size_t>(i + 1)];
            // Along the axis the reversed z gives the signed thickness; after a fold the
            // axis turns, and the thickness is the distance travelled, signed as the index.
            const double d =
                folded ? std::copysign(distance({row.x, row.y, row.z}, {next.x, next.y, next.z}),
                                       before.d)
                       : row.z - next.z;
            h += d * u;
            hb += d * ub;
        }
        SeidelTerms& total = sums.total;
        total.si += t.si;
        total.sii += t.sii;
        total.siii += t.siii;
        total.siv += t.siv;
        total.sv += t.sv;
        total.cl += t.cl;
        total.ct += t.ct;
    }
    sums.waves = wavefrontCoefficients(sums.total);
    sums.valid = std::isfinite(sums.total.si) && std::isfinite(sums.total.sv);
    return sums;
}

SeidelSums seidelSums(const SurfaceTable& table, const Settings& settings) {
    const double f = spotFocalLength(table, settings);
    if (!givesFieldAngles(f)) {
        return SeidelSums{};
    }
    const double largestHeight = spotOpeningHeights(table)[kSpotPanelCount - 1];
    return seidelSumsFor(table, apertureRadius(table), std::atan(largestHeight / f));
}

} // namespace kiro
