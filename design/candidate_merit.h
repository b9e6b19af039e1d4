#pragma once

#include <array>
#include <atomic>
#include <span>

#include "design/optimizer_settings.h"
#include "model/lens_system.h"
#include "trace/bundles.h"

namespace kiro {

// When a candidate can no longer become the best of its pass: a partial merit at least
// `atLeast` (the design's own merit, or the best its worker already holds), or strictly
// above the smallest merit any worker has found so far. Ties with that smallest merit
// are kept, because the worker order decides between them.
struct MeritBound {
    double atLeast = 0.0;
    const std::atomic<double>* smallestFound = nullptr;

    bool exceeded(double partial) const {
        return partial >= atLeast || (smallestFound != nullptr &&
                                      partial > smallestFound->load(std::memory_order_relaxed));
    }
};

struct CandidateMerit {
    double merit = 0.0;
    bool complete = false; // false: cut short, merit is only a lower bound
};

// The spherical aberration's first zones (the outermost and the innermost), which most
// candidates need and which can be traced for several candidates together.
constexpr int kFirstZones = 2;
constexpr int kMaxAcross = 16; // candidates traced together at most
struct FirstZones {
    std::array<ZonalFocus, kFirstZones> focus{};
};

// Whether candidateMerit begins with those zones (spherical aberration is measured over
// all nine zones of the aperture).
bool tracesFirstZones(const SurfaceTable& table, double aperture, const PassParameters& parameters);

// The first zones of each table (at most kMaxAcross), which differ in their radii only.
void traceFirstZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                     double aperture, const PassParameters& parameters,
                     std::span<FirstZones> first);

// The merit of designMerit, bit for bit, or a lower bound that the bound flags as
// exceeded. Every measure is 0 or more and grows as zones are added, so a partial sum
// bounds the whole from below; the zones are visited outermost and innermost first,
// where the spreads usually show, which lets a hopeless candidate stop after a few rays.
// With first given (from traceFirstZones, when tracesFirstZones), those zones are not
// traced again.
CandidateMerit candidateMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                              const PassParameters& parameters, const MeritBound& bound,
                              const FirstZones* first = nullptr);

} // namespace kiro
