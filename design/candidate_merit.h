#pragma once

#include <atomic>

#include "design/optimizer_settings.h"
#include "model/lens_system.h"

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

// The merit of designMerit, bit for bit, or a lower bound that the bound flags as
// exceeded. Every measure is 0 or more and grows as zones are added, so a partial sum
// bounds the whole from below; the zones are visited outermost and innermost first,
// where the spreads usually show, which lets a hopeless candidate stop after a few rays.
CandidateMerit candidateMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                              const PassParameters& parameters, const MeritBound& bound);

} // namespace kiro
