#include "design/optimizer_worker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "design/candidate_merit.h"
#include "design/merit.h"
#include "trace/bundles.h"

namespace kiro {

namespace {

// The focal length of a table is that of the zone at a hundredth of the aperture,
// traced through the optical surfaces only.
constexpr double kFocalZoneFraction = 100.0;
// A rescaled candidate must keep the target focal length within 1 %.
constexpr double kMinFocalRatio = 0.99;
constexpr double kMaxFocalRatio = 1.01;

double focalLength(const SurfaceTable& table, const PassSetup& setup) {
    return zonalFocus(table, setup.settings, setup.parameters.sphericalLine,
                      setup.aperture / kFocalZoneFraction, ZonalMode::OpticalOnly)
        .f;
}

void copyRadii(const SurfaceTable& table, std::array<double, kSurfaceRows>& radii) {
    for (int i = 0; i < kSurfaceRows; ++i) {
        radii[i] = table[i].radius;
    }
}

// Lowers the shared smallest merit to `merit` unless another worker got lower first.
void lowerSmallest(std::atomic<double>* smallest, double merit) {
    if (smallest == nullptr) {
        return;
    }
    double current = smallest->load(std::memory_order_relaxed);
    while (merit < current &&
           !smallest->compare_exchange_weak(current, merit, std::memory_order_relaxed)) {
    }
}

} // namespace

MeritParts designMeritParts(const SurfaceTable& table, const Settings& settings, double aperture,
                            const PassParameters& parameters) {
    const double hMin = aperture / kFocalZoneFraction;
    const double hMax = aperture;
    MeritParts parts;
    if (parameters.measureFlags.has(MeasureFlag::Spherical)) {
        parts.spherical =
            sphericalAberration(table, settings, hMin, hMax, parameters.sphericalLine);
    }
    if (parameters.measureFlags.has(MeasureFlag::Chromatic)) {
        parts.chromatic =
            chromaticAberration(table, settings, hMin, hMax, parameters.chromaticMask);
    }
    if (parameters.measureFlags.has(MeasureFlag::SineCondition)) {
        parts.sineCondition =
            sineConditionOffence(table, settings, hMin, hMax, parameters.sphericalLine);
    }
    return parts;
}

// Summed in the fixed order spherical + chromatic + OSC, starting from 0 (a measure not
// selected adds 0, which leaves every sum's bits as they were).
double MeritParts::sum() const {
    double merit = 0.0;
    merit += spherical;
    merit += chromatic;
    merit += sineCondition;
    return merit;
}

bool MeritParts::measurable() const {
    return sum() < kUnmeasurable;
}

double designMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                   const PassParameters& parameters) {
    return designMeritParts(table, settings, aperture, parameters).sum();
}

ParameterList buildParameterList(const SurfaceTable& table, KindFlags kindFlags) {
    ParameterList list;
    for (int i = 0; i < kSurfaceRows; ++i) {
        const int type = table[i].type;
        const bool lens =
            type == SurfaceType::SphericalLens && kindFlags.has(KindFlag::SphericalLenses);
        const bool mirror =
            type == SurfaceType::SphericalMirror && kindFlags.has(KindFlag::SphericalMirrors);
        if (lens || mirror) {
            list.rows[list.count++] = i;
        }
    }
    return list;
}

bool preparePass(const LensSystem& lens, const PassParameters& parameters, PassSetup& setup) {
    setup.reference = lens.surfaces;
    setup.settings = lens.settings;
    setup.parameters = parameters;
    setup.aperture = apertureRadius(setup.reference);
    setup.list = buildParameterList(setup.reference, parameters.kindFlags);
    setup.startMerit = designMerit(setup.reference, setup.settings, setup.aperture, parameters);

    constexpr int centre = (kOptimizerLevels - 1) / 2;
    const double step = 2.0 * parameters.range / (kOptimizerLevels - 1);
    for (int digit = 0; digit < kOptimizerLevels; ++digit) {
        setup.factors[digit] = 1.0 + (digit - centre) * step;
    }
    setup.total = 1;
    for (int k = 0; k < setup.list.count; ++k) {
        setup.total *= kOptimizerLevels;
    }
    setup.target = focalLength(setup.reference, setup);
    return setup.target != 0.0 && std::isfinite(setup.target);
}

WorkerSlot startingSlot(const PassSetup& setup) {
    WorkerSlot slot;
    slot.bestMerit = setup.startMerit;
    copyRadii(setup.reference, slot.bestRadii);
    return slot;
}

void applyCombination(const PassSetup& setup, int64_t combination, SurfaceTable& candidate) {
    int64_t rest = combination;
    for (int k = 0; k < setup.list.count; ++k) {
        const int digit = static_cast<int>(rest % kOptimizerLevels);
        rest /= kOptimizerLevels;
        const int row = setup.list.rows[k];
        candidate[row].radius = setup.reference[row].radius * setup.factors[digit];
    }
}

bool holdFocalLength(const PassSetup& setup, SurfaceTable& candidate) {
    const double f = focalLength(candidate, setup);
    if (f == 0.0) {
        return false;
    }
    const double scale = setup.target / f;
    for (int k = 0; k < setup.list.count; ++k) {
        candidate[setup.list.rows[k]].radius *= scale;
    }
    // A second focal length of 0 gives an infinite ratio and fails the test; a ratio
    // that is not a number passes it.
    const double ratio = setup.target / focalLength(candidate, setup);
    return !(ratio < kMinFocalRatio || ratio > kMaxFocalRatio);
}

int64_t workerShare(int64_t total, int worker) {
    return total > worker ? (total - worker + kOptimizerWorkers - 1) / kOptimizerWorkers : 0;
}

void holdFocalLengths(const PassSetup& setup, std::span<SurfaceTable> candidates,
                      std::span<bool> held, std::span<ZonalFocus> focus) {
    const size_t count = std::min(candidates.size(), static_cast<size_t>(kMaxAcross));
    const double h = setup.aperture / kFocalZoneFraction;
    const int line = setup.parameters.sphericalLine;
    std::array<const SurfaceTable*, kMaxAcross> tables{};
    std::array<ZoneRequest, kMaxAcross> zones{};
    std::array<ZonalFocus, kMaxAcross> foci{};
    for (size_t k = 0; k < count; ++k) {
        tables[k] = &candidates[k];
        zones[k] = {line, h, static_cast<int>(k)};
        held[k] = false;
    }
    // The candidates are the reference with other radii, so alike but for those.
    zonalFociAcross(std::span(tables.data(), count), setup.settings, std::span(zones.data(), count),
                    ZonalMode::OpticalOnly, std::span(foci.data(), count), ZoneMirror::Use,
                    TableLikeness::Known);
    // The candidates whose focal length was traced, scaled and traced again.
    std::array<size_t, kMaxAcross> scaled{};
    size_t rescaled = 0;
    for (size_t k = 0; k < count; ++k) {
        const double f = foci[k].f;
        if (f == 0.0) {
            continue;
        }
        const double scale = setup.target / f;
        for (int j = 0; j < setup.list.count; ++j) {
            candidates[k][static_cast<size_t>(setup.list.rows[j])].radius *= scale;
        }
        tables[rescaled] = &candidates[k];
        zones[rescaled] = {line, h, static_cast<int>(rescaled)};
        scaled[rescaled++] = k;
    }
    zonalFociAcross(std::span(tables.data(), rescaled), setup.settings,
                    std::span(zones.data(), rescaled), ZonalMode::OpticalOnly,
                    std::span(foci.data(), rescaled), ZoneMirror::Use, TableLikeness::Known);
    for (size_t j = 0; j < rescaled; ++j) {
        const double ratio = setup.target / foci[j].f;
        held[scaled[j]] = !(ratio < kMinFocalRatio || ratio > kMaxFocalRatio);
        if (!focus.empty()) {
            focus[scaled[j]] = foci[j];
        }
    }
}

// The worker takes its combinations kBatch (kMaxAcross) at a time: their focal lengths and first
// zones are traced together, then their merits are formed one by one in order, each
// against the best so far, exactly as one at a time. A candidate whose first zones
// already bound its merit above the best cannot win, and gets no merit at all.
bool optimizerWorker(const PassSetup& setup, int worker, int64_t first, int64_t last,
                     WorkerSlot& slot, const SearchShared& shared) {
    constexpr int64_t kBatch = kMaxAcross;
    std::array<SurfaceTable, kBatch> candidates;
    candidates.fill(setup.reference);
    std::array<bool, kBatch> held{};
    std::array<bool, kBatch> contends{}; // held, and not cut by its first zones
    std::array<TracedZones, kBatch> zones{};
    std::array<const SurfaceTable*, kBatch> tables{};
    std::array<size_t, kBatch> index{};
    const bool together = tracesFirstZones(setup.reference, setup.aperture, setup.parameters);
    // The candidates share the reference's rows but for their radii.
    const bool stopsIdle = stopsChangeNothing(setup.reference);
    std::array<ZonalFocus, kBatch> focus{};
    // Traces the zones of the listed candidates together and files them under each.
    const auto traceListed = [&](size_t listed, auto&& trace) {
        std::array<TracedZones*, kBatch> filed{};
        for (size_t j = 0; j < listed; ++j) {
            filed[j] = &zones[index[j]];
        }
        trace(std::span(tables.data(), listed), setup.settings, setup.aperture, setup.parameters,
              std::span(filed.data(), listed), TableLikeness::Known);
    };
    for (int64_t i = first; i < last; i += kBatch) {
        if (shared.cancel != nullptr && shared.cancel->load(std::memory_order_relaxed)) {
            return false;
        }
        const size_t count = static_cast<size_t>(std::min(kBatch, last - i));
        for (size_t k = 0; k < count; ++k) {
            applyCombination(setup, worker + kOptimizerWorkers * (i + static_cast<int64_t>(k)),
                             candidates[k]);
            zones[k] = TracedZones{};
        }
        holdFocalLengths(setup, std::span(candidates.data(), count), held,
                         std::span(focus.data(), count));
        contends = held;
        if (together) {
            size_t listed = 0;
            for (size_t k = 0; k < count; ++k) {
                if (held[k]) {
                    zones[k].knownLine = setup.parameters.sphericalLine;
                    zones[k].focalZone = focus[k];
                    zones[k].focalZoneTraced = true;
                    zones[k].stopsChangeNothing = stopsIdle;
                    index[listed] = k;
                    tables[listed++] = &candidates[k];
                }
            }
            if (listed > 0) {
                traceListed(listed, traceFirstZones);
            }
            // The bound only tightens as the batch goes on: a candidate that the first
            // zones cut now stays cut. The others get their first chromatic zones, and
            // those still left their further spherical zones, together.
            const MeritBound start{slot.bestMerit, shared.smallestFound};
            const auto keepUncut = [&](size_t traced) {
                size_t kept = 0;
                for (size_t j = 0; j < traced; ++j) {
                    if (firstZonesCut(zones[index[j]], start)) {
                        contends[index[j]] = false;
                    } else {
                        index[kept] = index[j];
                        tables[kept++] = tables[j];
                    }
                }
                return kept;
            };
            size_t further = keepUncut(listed);
            if (further > 0) {
                traceListed(further, traceFirstChromaticZones);
                further = keepUncut(further);
            }
            if (further > 0) {
                traceListed(further, traceFurtherZones);
            }
        }
        for (size_t k = 0; k < count; ++k) {
            if (!contends[k]) {
                continue;
            }
            const MeritBound bound{slot.bestMerit, shared.smallestFound};
            const CandidateMerit merit =
                candidateMerit(candidates[k], setup.settings, setup.aperture, setup.parameters,
                               bound, together ? &zones[k] : nullptr);
            if (merit.complete && merit.merit < slot.bestMerit) {
                slot.bestMerit = merit.merit;
                copyRadii(candidates[k], slot.bestRadii);
                lowerSmallest(shared.smallestFound, merit.merit);
            }
        }
        if (shared.done != nullptr) {
            shared.done->fetch_add(static_cast<int64_t>(count), std::memory_order_relaxed);
        }
    }
    return true;
}

std::vector<WorkerChunk> planChunks(const PassSetup& setup, int64_t chunksWanted) {
    const int64_t size = std::max<int64_t>(1, setup.total / std::max<int64_t>(1, chunksWanted));
    std::vector<WorkerChunk> chunks;
    for (int w = 0; w < kOptimizerWorkers; ++w) {
        const int64_t share = workerShare(setup.total, w);
        for (int64_t first = 0; first < share; first += size) {
            WorkerChunk chunk;
            chunk.worker = w;
            chunk.first = first;
            chunk.last = std::min(first + size, share);
            chunks.push_back(chunk);
        }
    }
    return chunks;
}

WorkerSlot reduceChunks(const PassSetup& setup, const std::vector<WorkerChunk>& chunks) {
    // Within a worker each chunk started from the reference's merit, so taking the chunks
    // left to right with a strict comparison gives exactly the worker's own best.
    WorkerSlot slots[kOptimizerWorkers];
    for (WorkerSlot& slot : slots) {
        slot = startingSlot(setup);
    }
    for (const WorkerChunk& chunk : chunks) {
        WorkerSlot& slot = slots[chunk.worker];
        if (chunk.result.bestMerit < slot.bestMerit) {
            slot = chunk.result;
        }
    }
    int winner = 0;
    for (int w = 1; w < kOptimizerWorkers; ++w) {
        if (slots[w].bestMerit < slots[winner].bestMerit) {
            winner = w;
        }
    }
    return slots[winner];
}

} // namespace kiro
