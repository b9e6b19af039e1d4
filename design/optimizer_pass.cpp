#include <algorithm>
#include <chrono>
#include <cmath>

#include "design/merit.h"
#include "design/optimizer.h"
#include "design/optimizer_worker.h"
#include "trace/parallel.h"

namespace kiro {

namespace {

// Enough chunks per thread that the last ones to finish leave little idle time, few
// enough that their bookkeeping costs nothing.
constexpr int64_t kChunksPerThread = 32;
constexpr int kMaxThreads = 256;

bool cancelRaised(const OptimizeOptions& options) {
    return options.cancel != nullptr && options.cancel->load(std::memory_order_acquire);
}

void reportProgress(const OptimizeOptions& options, int pass, int passCount, int64_t done,
                    int64_t total) {
    if (options.progress) {
        options.progress(OptimizeProgress{pass, passCount, done, total});
    }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

OptimizeStatus optimizePass(LensSystem& lens, const PassParameters& parameters,
                            const OptimizeOptions& options, PassReport& report, int pass,
                            int passCount) {
    const auto start = std::chrono::steady_clock::now();
    report = PassReport{};
    report.pass = pass;
    report.rangePercent = parameters.range * 100.0;

    if (buildParameterList(lens.surfaces, parameters.kindFlags).count > kMaxVariedRows) {
        return OptimizeStatus::TooManyRows;
    }
    if (cancelRaised(options)) {
        return OptimizeStatus::Cancelled;
    }
    PassSetup setup;
    const bool traceable = preparePass(lens, parameters, setup);
    report.meritBefore = report.meritAfter = setup.startMerit;
    if (!traceable) {
        report.seconds = secondsSince(start);
        return OptimizeStatus::Done;
    }
    if (setup.list.count == 0) {
        // Nothing varies: the radii stay, the focal plane still moves to the mean focus.
        reportProgress(options, pass, passCount, 0, 0);
        refocus(lens.surfaces, lens.settings, parameters.sphericalLine);
        report.seconds = secondsSince(start);
        return OptimizeStatus::Done;
    }

    const int threads = threadCount(options.threads, kMaxThreads);
    std::vector<WorkerChunk> chunks = planChunks(setup, threads * kChunksPerThread);
    std::atomic<int64_t> done{0};
    std::atomic<double> smallestFound{setup.startMerit};
    std::atomic<bool> stopped{false};
    const SearchShared shared{options.cancel, &done, &smallestFound};
    reportProgress(options, pass, passCount, 0, setup.total);
    runChunks(
        threads, static_cast<int64_t>(chunks.size()),
        [&](int64_t i) {
            WorkerChunk& chunk = chunks[static_cast<size_t>(i)];
            chunk.result = startingSlot(setup);
            if (!optimizerWorker(setup, chunk.worker, chunk.first, chunk.last, chunk.result,
                                 shared)) {
                stopped.store(true, std::memory_order_relaxed);
            }
        },
        [&] {
            reportProgress(options, pass, passCount, done.load(std::memory_order_relaxed),
                           setup.total);
        });
    if (stopped.load(std::memory_order_relaxed) || cancelRaised(options)) {
        return OptimizeStatus::Cancelled;
    }
    reportProgress(options, pass, passCount, setup.total, setup.total);

    const WorkerSlot best = reduceChunks(setup, chunks);
    for (int i = 0; i < kSurfaceRows; ++i) {
        lens.surfaces[i].radius = best.bestRadii[i];
    }
    refocus(lens.surfaces, lens.settings, parameters.sphericalLine);
    report.meritAfter = best.bestMerit;
    report.candidates = setup.total;
    report.searched = true;
    report.seconds = secondsSince(start);
    return OptimizeStatus::Done;
}

MeritParts optimizerMeritParts(const LensSystem& lens, const OptimizerSettings& settings) {
    const PassParameters parameters = passParameters(settings, settings.changeRangePercent / 100.0);
    return designMeritParts(lens.surfaces, lens.settings, apertureRadius(lens.surfaces),
                            parameters);
}

bool optimizerCanMeasure(const LensSystem& lens, const OptimizerSettings& settings) {
    return optimizerMeritParts(lens, settings).measurable();
}

OptimizeResult optimizeDesign(LensSystem& lens, const OptimizerSettings& settings,
                              const OptimizeOptions& options) {
    OptimizeResult result;
    if (!std::isfinite(settings.changeRangePercent)) {
        result.status = OptimizeStatus::InvalidRange;
        return result;
    }
    // The kinds of rows do not change from pass to pass, so one check covers them all.
    result.variedRows = buildParameterList(lens.surfaces, kindFlags(settings)).count;
    if (result.variedRows > kMaxVariedRows) {
        result.status = OptimizeStatus::TooManyRows;
        return result;
    }
    if (!optimizerCanMeasure(lens, settings)) {
        result.status = OptimizeStatus::Unmeasurable;
        return result;
    }
    const int passes = passCount(settings.changeRangePercent);
    double range = settings.changeRangePercent / 100.0;
    for (int pass = 1; pass <= passes; ++pass) {
        PassReport report;
        const OptimizeStatus status =
            optimizePass(lens, passParameters(settings, range), options, report, pass, passes);
        if (status != OptimizeStatus::Done) {
            result.status = status;
            return result;
        }
        result.passes.push_back(report);
        if (options.passDone) {
            options.passDone(report);
        }
        range *= kRangeHalving;
    }
    return result;
}

} // namespace kiro
