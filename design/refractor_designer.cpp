#include "design/refractor_designer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>

#include "design/builder_support.h"
#include "design/designer_inputs.h"
#include "design/glass_choice.h"
#include "design/merit.h"
#include "trace/bundles.h"
#include "trace/parallel.h"

namespace kiro {

namespace {

constexpr int kMaxThreads = 4;
constexpr double kMeritInnerZone = 1.0 / 200.0; // of the aperture
constexpr double kScaleZone = 1.0 / 100.0;      // near-axis zone of the focal length
constexpr double kAirGap = 0.005;               // of the aperture
constexpr double kThickLens = 0.155, kThinLens = 0.085;
// A candidate whose solved rear radius would not be positive is skipped.
constexpr double kPowerMargin = -1e-10;

// One axis of a search grid: the values centre * ratio^i for i = first .. last.
struct GridAxis {
    double ratio;
    double centre;
    int first, last;
};

// The grid of one search: row 0's radius -b0 with b0 on the front axis, P on the second
// axis (row 1 is sigma P), and U on the third axis (row 2 is sigma U), whose centre is P
// itself when thirdFollowsSecond (the coarse search); row 3 is the radius V that makes the
// thin-lens powers add up to 1/f.
struct Grid {
    GridAxis front;
    GridAxis second;
    GridAxis third;
    bool thirdFollowsSecond;
};

struct Radii {
    double b0, b1, bU, bV; // row 0 is -b0, row 1 sigma b1, row 2 sigma bU, row 3 bV
};

struct Doublet {
    double D, invF, n1, n2, sigma;
    RefractorMerit merit;
};

struct Outcome {
    double best;
    Radii kept;
    bool found = false;
};

constexpr int kMaxSteps = 64;
using Powers = std::array<double, kMaxSteps>;

Powers powers(double q, int first, int last) {
    Powers p{};
    for (int i = first; i <= last; ++i) {
        p[static_cast<size_t>(i - first)] = std::pow(q, i);
    }
    return p;
}

// The merit of the rows when it is strictly below best. Every measure is 0 or more, so
// once the partial sum reaches best the candidate cannot win and the remaining measures
// are not traced; the sum, when formed, is added in the same order as refractorMerit.
// With spherical given, that is the table's spherical aberration, traced beforehand.
bool meritBelow(const SurfaceTable& table, const Settings& settings, double D,
                const RefractorMerit& merit, double best, double& sum,
                const double* spherical = nullptr) {
    const double hMin = D * kMeritInnerZone, hMax = D * kOuterZoneOfAperture;
    sum = 0.0;
    if (merit.flags.has(MeasureFlag::Spherical)) {
        sum += spherical != nullptr ? *spherical
                                    : sphericalAberration(table, settings, hMin, hMax, merit.line);
        if (sum >= best) {
            return false;
        }
    }
    if (merit.flags.has(MeasureFlag::Chromatic)) {
        sum += chromaticAberration(table, settings, hMin, hMax, merit.mask);
        if (sum >= best) {
            return false;
        }
    }
    if (merit.flags.has(MeasureFlag::SineCondition)) {
        sum += sineConditionOffence(table, settings, hMin, hMax, merit.line);
    }
    return sum < best;
}

// Candidates whose spherical aberration is traced together before their merits are
// formed one by one.
constexpr int kBatch = 16;

struct CandidateBatch {
    std::array<SurfaceTable, kBatch> table;
    std::array<Radii, kBatch> radii;
    int count = 0;
};

// Searches rows i = iFrom .. iTo of the grid on its own copy of the table, keeping the
// earliest candidate whose merit is strictly below the running best. The candidates come
// in batches whose spherical aberration (the measure that ends most of them) is traced
// together; their merits are then taken in order against the best so far, as one by one.
Outcome searchSlice(SurfaceTable table, const Settings& settings, const Doublet& lens,
                    const Grid& grid, int iFrom, int iTo, double startBest) {
    const Powers p0 = powers(grid.front.ratio, grid.front.first, grid.front.last);
    const Powers p1 = powers(grid.second.ratio, grid.second.first, grid.second.last);
    const Powers pU = powers(grid.third.ratio, grid.third.first, grid.third.last);
    Outcome out{startBest, {}, false};
    const bool spherical = lens.merit.flags.has(MeasureFlag::Spherical);
    const double hMin = lens.D * kMeritInnerZone, hMax = lens.D * kOuterZoneOfAperture;
    auto batch = std::make_unique<CandidateBatch>();
    std::array<const SurfaceTable*, kBatch> tables{};
    std::array<double, kBatch> aberrations{};
    const auto flush = [&] {
        const size_t count = static_cast<size_t>(batch->count);
        if (spherical && count > 0) {
            for (size_t c = 0; c < count; ++c) {
                tables[c] = &batch->table[c];
            }
            // The batch's tables are the search's table with other radii.
            sphericalAberrations(std::span(tables.data(), count), settings, hMin, hMax,
                                 lens.merit.line, std::span(aberrations.data(), count),
                                 TableLikeness::Known);
        }
        for (size_t c = 0; c < count; ++c) {
            double m = 0.0;
            if (meritBelow(batch->table[c], settings, lens.D, lens.merit, out.best, m,
                           spherical ? &aberrations[c] : nullptr)) {
                out.best = m;
                out.kept = batch->radii[c];
                out.found = true;
            }
        }
        batch->count = 0;
    };
    for (int i = iFrom; i <= iTo; ++i) {
        const double b0 = p0[static_cast<size_t>(i - grid.front.first)] * grid.front.centre;
        table[0].radius = -b0;
        for (int j = grid.second.first; j <= grid.second.last; ++j) {
            const double P = p1[static_cast<size_t>(j - grid.second.first)] * grid.second.centre;
            table[1].radius = lens.sigma * P;
            for (int k = grid.third.first; k <= grid.third.last; ++k) {
                const double U = pU[static_cast<size_t>(k - grid.third.first)] *
                                 (grid.thirdFollowsSecond ? P : grid.third.centre);
                const double X = (lens.n1 - 1.0) * (1.0 / table[1].radius - 1.0 / table[0].radius) -
                                 (lens.n2 - 1.0) * lens.sigma / U - lens.invF;
                if (!(X <= kPowerMargin)) {
                    continue;
                }
                const double V = -(lens.n2 - 1.0) / X;
                table[2].radius = lens.sigma * U;
                table[3].radius = V;
                const size_t c = static_cast<size_t>(batch->count++);
                batch->table[c] = table;
                batch->radii[c] = {b0, P, U, V};
                if (batch->count == kBatch) {
                    flush();
                }
            }
        }
    }
    flush();
    return out;
}

// The whole grid, its rows shared out in contiguous slices. Taking the slices' winners
// in order with the same strict comparison picks exactly the candidate a single pass
// would.
void search(const SurfaceTable& table, const Settings& settings, const Doublet& lens,
            const Grid& grid, int threads, double& best, Radii& kept) {
    const int rows = grid.front.last - grid.front.first + 1;
    const int slices = std::min(threadCount(threads, kMaxThreads), rows);
    std::array<Outcome, kMaxThreads> outcomes{};
    const auto sliceFirst = [&](int s) { return grid.front.first + rows * s / slices; };
    const double startBest = best;
    runChunks(slices, slices,
              [&](int64_t s) {
                  const int slice = static_cast<int>(s);
                  outcomes[static_cast<size_t>(slice)] =
                      searchSlice(table, settings, lens, grid, sliceFirst(slice),
                                  sliceFirst(slice + 1) - 1, startBest);
              },
              {});
    for (int s = 0; s < slices; ++s) {
        const Outcome& o = outcomes[static_cast<size_t>(s)];
        if (o.found && o.best < best) {
            best = o.best;
            kept = o.kept;
        }
    }
}

double focusAt(const SurfaceTable& table, const Settings& settings, double D, int line) {
    return meanFocus(table, settings, D * kInnerZoneOfAperture, D * kOuterZoneOfAperture, line);
}

double nearAxisFocalLength(const SurfaceTable& table, const Settings& settings, double D,
                           int line) {
    return zonalFocus(table, settings, line, D * kScaleZone, ZonalMode::OpticalOnly).f;
}

DesignResult untraceableFocalLength() {
    return designFailed(DesignFailure::UntraceableFocalLength);
}

} // namespace

double refractorMerit(const SurfaceTable& table, const Settings& settings, double D,
                      const RefractorMerit& merit) {
    const double hMin = D * kMeritInnerZone, hMax = D * kOuterZoneOfAperture;
    double sum = 0.0;
    if (merit.flags.has(MeasureFlag::Spherical)) {
        sum += sphericalAberration(table, settings, hMin, hMax, merit.line);
    }
    if (merit.flags.has(MeasureFlag::Chromatic)) {
        sum += chromaticAberration(table, settings, hMin, hMax, merit.mask);
    }
    if (merit.flags.has(MeasureFlag::SineCondition)) {
        sum += sineConditionOffence(table, settings, hMin, hMax, merit.line);
    }
    return sum;
}

SurfaceTable doubletStartingRows(const Settings& settings, const GlassEntry& glass1,
                                 const GlassEntry& glass2, double D, double f, int line, double t1,
                                 double t2) {
    const double n1 = glass1.index[static_cast<size_t>(line)];
    const double n2 = glass2.index[static_cast<size_t>(line)];
    // The lower-index glass gets the thicker element; A is the radius of an equiconvex
    // lens of that glass with focal length f.
    const double sigma = n1 <= n2 ? 1.0 : -1.0;
    const double A = 2.0 * (std::min(n1, n2) - 1.0) * f;
    const double auto1 = sigma > 0.0 ? kThickLens : kThinLens;
    const double auto2 = sigma > 0.0 ? kThinLens : kThickLens;

    SurfaceTable work{};
    work[0] = makeRow(SurfaceType::SphericalLens, 0.0, -A, D / 2.0);
    setGlass(work[0], glass1);
    work[1] = makeRow(SurfaceType::SphericalLens, t1 > 0.0 ? -t1 : -auto1 * D, sigma * A, D / 2.0);
    work[2] = makeRow(SurfaceType::SphericalLens, work[1].z - kAirGap * D, sigma * A, D / 2.0);
    setGlass(work[2], glass2);
    work[3] =
        makeRow(SurfaceType::SphericalLens, work[2].z - (t2 > 0.0 ? t2 : auto2 * D), A, D / 2.0);
    work[4] = makeRow(SurfaceType::FlatFocal, focusAt(work, settings, D, line), 0.0, 0.2 * D);
    return work;
}

DesignResult buildDoublet(SurfaceTable& table, const Settings& settings,
                          const GlassCatalog& catalog, double D, double f,
                          const RefractorMerit& merit, int glass1, int glass2, double t1, double t2,
                          int threads) {
    if (!isUsableSize(D, f) || !std::isfinite(t1) || !std::isfinite(t2)) {
        return unusableSize();
    }
    const int line = merit.line;
    if (DesignResult check = checkGlass(catalog, glass1, line, GlassControl::Glass1); !check.ok) {
        return check;
    }
    if (DesignResult check = checkGlass(catalog, glass2, line, GlassControl::Glass2); !check.ok) {
        return check;
    }
    const GlassEntry& g1 = catalog.entries[static_cast<size_t>(glass1)];
    const GlassEntry& g2 = catalog.entries[static_cast<size_t>(glass2)];
    const double n1 = g1.index[static_cast<size_t>(line)];
    const double n2 = g2.index[static_cast<size_t>(line)];

    SurfaceTable work = doubletStartingRows(settings, g1, g2, D, f, line, t1, t2);
    const double sigma = n1 <= n2 ? 1.0 : -1.0;
    const double A = 2.0 * (std::min(n1, n2) - 1.0) * f;

    const Doublet lens{D, 1.0 / f, n1, n2, sigma, merit};
    double best = refractorMerit(work, settings, D, merit);
    Radii kept{A, A, A, A};
    const Grid coarse{.front = {.ratio = 1.06, .centre = A, .first = -28, .last = 20},
                      .second = {.ratio = 1.06, .centre = A, .first = -28, .last = 20},
                      .third = {.ratio = 1.03, .centre = 0.0, .first = -3, .last = 3},
                      .thirdFollowsSecond = true};
    search(work, settings, lens, coarse, threads, best, kept);
    const Grid fine{.front = {.ratio = 1.005, .centre = kept.b0, .first = -15, .last = 15},
                    .second = {.ratio = 1.005, .centre = kept.b1, .first = -15, .last = 15},
                    .third = {.ratio = 1.005, .centre = kept.bU, .first = -5, .last = 5},
                    .thirdFollowsSecond = false};
    search(work, settings, lens, fine, threads, best, kept);
    work[0].radius = -kept.b0;
    work[1].radius = sigma * kept.b1;
    work[2].radius = sigma * kept.bU;
    work[3].radius = kept.bV;

    // One linear rescale makes the traced near-axis focal length f.
    const double g = nearAxisFocalLength(work, settings, D, line);
    const double scale = f / g;
    if (g == 0.0 || !std::isfinite(g) || !std::isfinite(scale)) {
        return untraceableFocalLength();
    }
    for (int row = 0; row <= 3; ++row) {
        work[static_cast<size_t>(row)].radius *= scale;
    }
    work[4].z = focusAt(work, settings, D, line);
    table = work;
    return designSucceeded();
}

DesignResult buildDoubletFlattener(SurfaceTable& table, const Settings& settings,
                                   const GlassCatalog& catalog, double D, double f,
                                   const RefractorMerit& merit, int glass1, int glass2, int glass3,
                                   double t1, double t2, double t3, int threads) {
    if (!isUsableSize(D, f) || !std::isfinite(t3)) {
        return unusableSize();
    }
    const int line = merit.line;
    if (DesignResult check = checkGlass(catalog, glass1, line, GlassControl::Glass1); !check.ok) {
        return check;
    }
    if (DesignResult check = checkGlass(catalog, glass2, line, GlassControl::Glass2); !check.ok) {
        return check;
    }
    if (DesignResult check = checkGlass(catalog, glass3, line, GlassControl::Glass3); !check.ok) {
        return check;
    }
    SurfaceTable work{};
    if (DesignResult built =
            buildDoublet(work, settings, catalog, D, f, merit, glass1, glass2, t1, t2, threads);
        !built.ok) {
        return built;
    }
    const double z4 = -0.4 * f;
    work[4] = makeRow(SurfaceType::SphericalLens, z4, -f / 3.3, 0.35 * D);
    setGlass(work[4], catalog.entries[static_cast<size_t>(glass3)]);
    work[5] =
        makeRow(SurfaceType::SphericalLens, t3 > 0.0 ? z4 - t3 : z4 - 0.02 * f, -f / 3.3, 0.35 * D);
    work[6] = makeRow(SurfaceType::FlatFocal, focusAt(work, settings, D, line), 0.0, 0.2 * D);

    Surface& front = work[4];
    Surface& rear = work[5];
    const auto error = [&](double x) {
        rear.radius = x;
        return std::fabs(f - nearAxisFocalLength(work, settings, D, line));
    };
    // Scans of the rear radius in steps of 1/divisor of centre, keeping the radius whose
    // focal-length error is strictly below best.
    const auto focalScan = [&](double centre, double divisor, double& best, double& kept) {
        for (int i = -20; i <= 20; ++i) {
            const double x = centre * (1.0 + i / divisor);
            const double e = error(x);
            if (e < best) {
                best = e;
                kept = x;
            }
        }
    };

    // Focal length back to f, coarse then fine.
    double best = f;
    double kept = rear.radius;
    focalScan(kept, 40.0, best, kept);
    focalScan(kept, 200.0, best, kept);
    rear.radius = kept;

    // Bend the flattener for the sine condition.
    const double hMin = D * kScaleZone, hMax = D * kOuterZoneOfAperture;
    const double r4 = front.radius, r5 = rear.radius;
    double bestSine = sineConditionOffence(work, settings, hMin, hMax, line);
    double kept4 = r4, kept5 = r5;
    for (int i = -20; i <= 20; ++i) {
        const double factor = 1.0 + i / 100.0;
        front.radius = factor * r4;
        rear.radius = factor * r5;
        const double v = sineConditionOffence(work, settings, hMin, hMax, line);
        if (v < bestSine) {
            bestSine = v;
            kept4 = front.radius;
            kept5 = rear.radius;
        }
    }
    front.radius = kept4;
    rear.radius = kept5;

    // And the focal length once more.
    best = f;
    kept = kept5;
    focalScan(kept5, 200.0, best, kept);
    rear.radius = kept;

    work[6].z = focusAt(work, settings, D, line);
    table = work;
    return designSucceeded();
}

} // namespace kiro
