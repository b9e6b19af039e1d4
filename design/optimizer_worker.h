#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "design/optimizer.h"
#include "trace/bundles.h"

namespace kiro {

// Everything the workers read. Filled before the search and read-only while it runs.
struct PassSetup {
    SurfaceTable reference{}; // the design as the pass found it; never changed
    Settings settings{};
    PassParameters parameters{};
    ParameterList list{};
    std::array<double, kOptimizerLevels> factors{}; // relative radius of each level
    int64_t total = 0;                              // kOptimizerLevels ^ list.count combinations
    double aperture = 0.0;                          // apertureRadius of the design
    double target = 0.0;                            // focal length the candidates must keep
    double startMerit = 0.0; // merit of the reference: a candidate must beat it
};

// Fills the setup from the design. False when the design's focal length cannot be
// traced (0, or not a finite number): the pass then leaves the design alone.
bool preparePass(const LensSystem& lens, const PassParameters& parameters, PassSetup& setup);

// The best candidate of one worker, or of a run of its combinations.
struct WorkerSlot {
    double bestMerit = 0.0;
    std::array<double, kSurfaceRows> bestRadii{};
};

// The slot every worker starts from: the reference's merit and radii.
WorkerSlot startingSlot(const PassSetup& setup);

// Combination c: every listed radius of the reference times its level factor; the
// first listed row changes fastest (digit k = (c / 5^k) mod 5).
void applyCombination(const PassSetup& setup, int64_t combination, SurfaceTable& candidate);

// Scales the listed radii by target / f to restore the focal length to first order, then
// traces it again. False (candidate rejected) when either trace fails or the new focal
// length lies more than 1 % from the target.
bool holdFocalLength(const PassSetup& setup, SurfaceTable& candidate);
// The same for several candidates (at most kMaxAcross), traced together: held[k] for
// candidates[k], with the same arithmetic as holdFocalLength. When asked, focus[k] is
// the zone traced for the second focal length of a held candidate.
void holdFocalLengths(const PassSetup& setup, std::span<SurfaceTable> candidates,
                      std::span<bool> held, std::span<ZonalFocus> focus = {});

// Number of combinations worker w takes: those below total congruent to w modulo 4.
int64_t workerShare(int64_t total, int worker);

// What the threads of one pass share besides the setup; every member may be null.
struct SearchShared {
    const std::atomic<bool>* cancel = nullptr; // raised to stop
    std::atomic<int64_t>* done = nullptr;      // combinations evaluated so far
    // Smallest complete merit any worker has found: candidates clearly above it are cut
    // short. It only saves work; the result is the same without it.
    std::atomic<double>* smallestFound = nullptr;
};

// Worker w's search over its combinations w + 4i for i = first .. last - 1, in that
// order; only a merit strictly below the slot's replaces it. Returns false when it
// stopped because the cancel flag was raised.
bool optimizerWorker(const PassSetup& setup, int worker, int64_t first, int64_t last,
                     WorkerSlot& slot, const SearchShared& shared = {});

// One worker's run of combinations and what it found there.
struct WorkerChunk {
    int worker = 0;
    int64_t first = 0;
    int64_t last = 0;
    WorkerSlot result{};
};

// Consecutive runs of each worker's share, worker 0's first; about chunksWanted in all.
std::vector<WorkerChunk> planChunks(const PassSetup& setup, int64_t chunksWanted);

// The four workers' result rebuilt from their chunks: each worker takes its chunks from
// left to right, a strictly smaller merit replacing its best; then the smallest merit
// over the workers wins, the lowest worker number on ties.
WorkerSlot reduceChunks(const PassSetup& setup, const std::vector<WorkerChunk>& chunks);

} // namespace kiro
