#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "design/optimizer_settings.h"
#include "model/lens_system.h"

namespace kiro {

// Every varied radius takes one of five levels around its current value.
constexpr int kOptimizerLevels = 5;
// The combinations of a pass are dealt to four workers: worker w takes the combination
// numbers congruent to w modulo 4. Any number of threads reproduces their result.
constexpr int kOptimizerWorkers = 4;
// 5^13 combinations is the most a pass is allowed to search.
constexpr int kMaxVariedRows = 13;

enum class OptimizeStatus {
    Done,
    Cancelled,    // the cancel flag was raised; the design is as before the cancelled pass
    TooManyRows,  // more than kMaxVariedRows rows would vary; nothing was done
    InvalidRange, // the change range is not a finite number; nothing was done
    Unmeasurable, // the design's merit is the failure value: nothing to improve against;
                  // nothing was done
};

struct OptimizeProgress {
    int pass = 0; // 1-based
    int passCount = 0;
    int64_t done = 0;  // candidates of this pass evaluated so far
    int64_t total = 0; // candidates of this pass
};

// One pass as a person sees it.
struct PassReport {
    int pass = 0;
    double rangePercent = 0.0;
    double meritBefore = 0.0; // merit of the design the pass started from
    double meritAfter = 0.0;  // merit of the design it leaves
    int64_t candidates = 0;   // combinations tried
    double seconds = 0.0;
    bool searched = false; // false when the focal length could not be traced or nothing varies
};

struct OptimizeOptions {
    int threads = 0;                           // 0: one per core
    const std::atomic<bool>* cancel = nullptr; // raised by another thread to stop
    // Both are called on the thread that runs the optimization, never concurrently:
    // progress at the start and end of each pass and about every 100 ms in between,
    // passDone after each completed pass. Keep them short.
    std::function<void(const OptimizeProgress&)> progress;
    std::function<void(const PassReport&)> passDone;
};

struct OptimizeResult {
    OptimizeStatus status = OptimizeStatus::Done;
    int variedRows = 0;
    std::vector<PassReport> passes; // the passes that completed
};

// The whole optimization of the menu command: passes from the change range down,
// halving it while it stays at least 1 %. Each pass writes the best radii into the design
// and refocuses it at the spherical-aberration line.
OptimizeResult optimizeDesign(LensSystem& lens, const OptimizerSettings& settings,
                              const OptimizeOptions& options = {});

// Whether the design has a merit to improve: false when its merit at the start is the
// failure value of the spherical aberration (no zone of it can be traced), where every
// candidate would be as unmeasurable and a search only spends time.
bool optimizerCanMeasure(const LensSystem& lens, const OptimizerSettings& settings);

// One grid search over the design, then its best radii and the refocus. Leaves the design
// untouched when cancelled, refused, or when its focal length cannot be traced.
OptimizeStatus optimizePass(LensSystem& lens, const PassParameters& parameters,
                            const OptimizeOptions& options, PassReport& report, int pass = 1,
                            int passCount = 1);

// The rows whose radius varies for the kinds: every one of the 16 rows is examined.
struct ParameterList {
    int rows[kSurfaceRows] = {};
    int count = 0;
};
ParameterList buildParameterList(const SurfaceTable& table, KindFlags kindFlags);

// The merit minimised: the sum of the selected measures over the zones aperture / 100 to
// aperture (0 when none is selected).
double designMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                   const PassParameters& parameters);

// The selected measures one by one (0 for one not selected); designMerit is their sum in
// this order.
struct MeritParts {
    double spherical = 0.0;
    double chromatic = 0.0;
    double sineCondition = 0.0;
    // The merit: the parts summed in this order.
    double sum() const;
    // Whether the merit is a number to improve rather than the failure value.
    bool measurable() const;
};
MeritParts designMeritParts(const SurfaceTable& table, const Settings& settings, double aperture,
                            const PassParameters& parameters);

// The parts of a whole design under the optimizer's settings, as its first pass sees them.
MeritParts optimizerMeritParts(const LensSystem& lens, const OptimizerSettings& settings);

} // namespace kiro
