#include "design/optimizer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "design/merit.h"
#include "design/optimizer_worker.h"
#include "tests/design/sample_designs.h"
#include "trace/bundles.h"

namespace kiro {
namespace {

using samples::row;

double focalLength(const LensSystem& lens, int line = WavelengthLine::d) {
    const double r = apertureRadius(lens.surfaces);
    return zonalFocus(lens.surfaces, lens.settings, line, r / 100, ZonalMode::OpticalOnly).f;
}

// The doublet with its last surface flat: three listed rows keep the searches short.
LensSystem threeRowDoublet() {
    LensSystem lens = samples::achromaticDoublet();
    lens.surfaces[4].type = SurfaceType::FlatLens;
    return lens;
}

OptimizerSettings measuresOff() {
    OptimizerSettings settings;
    settings.minimiseSpherical = settings.minimiseChromatic = settings.minimiseOsc = false;
    return settings;
}

TEST(OptimizerSettings, StartWithTheDialogsDefaults) {
    const OptimizerSettings settings;
    EXPECT_EQ(chromaticMask(settings), 4 + 16);
    EXPECT_EQ(measureFlags(settings), MeasureFlag::Spherical | MeasureFlag::Chromatic);
    EXPECT_EQ(kindFlags(settings), KindFlag::SphericalLenses | KindFlag::SphericalMirrors);
    EXPECT_EQ(settings.sphericalLine, 2);
    EXPECT_EQ(settings.changeRangePercent, 5.0);
}

TEST(PassSequence, HalvesTheRangeWhileItStaysAtLeastOnePercent) {
    EXPECT_EQ(passCount(5.0), 3);
    EXPECT_EQ(passCount(2.0), 2);
    EXPECT_EQ(passCount(1.0), 1);
    EXPECT_EQ(passCount(0.5), 1);
    EXPECT_EQ(passCount(10.0), 4);
    EXPECT_EQ(passCount(0.0), 1);
}

TEST(PassSequence, RunsThePassesAtTheHalvedRanges) {
    for (const double percent : {5.0, 2.0, 1.0, 0.5}) {
        LensSystem lens = samples::sphericalMirror();
        OptimizerSettings settings = measuresOff();
        settings.changeRangePercent = percent;
        const OptimizeResult result = optimizeDesign(lens, settings, {});
        ASSERT_EQ(result.status, OptimizeStatus::Done);
        ASSERT_EQ(static_cast<int>(result.passes.size()), passCount(percent)) << percent;
        double range = percent;
        for (const PassReport& report : result.passes) {
            EXPECT_DOUBLE_EQ(report.rangePercent, range);
            EXPECT_EQ(report.candidates, 5);
            range *= 0.5;
        }
    }
}

TEST(PassSequence, RefusesARangeThatIsNotANumber) {
    LensSystem lens = samples::sphericalMirror();
    const SurfaceTable before = lens.surfaces;
    OptimizerSettings settings;
    settings.changeRangePercent = INFINITY;
    EXPECT_EQ(optimizeDesign(lens, settings).status, OptimizeStatus::InvalidRange);
    settings.changeRangePercent = NAN;
    EXPECT_EQ(optimizeDesign(lens, settings).status, OptimizeStatus::InvalidRange);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, before));
}

TEST(ParameterList, TakesSphericalLensesAndMirrorsByKindFromAllSixteenRows) {
    LensSystem lens = samples::correctedMirror();
    EXPECT_EQ(buildParameterList(lens.surfaces, KindFlag::SphericalLenses).count, 2);
    EXPECT_EQ(buildParameterList(lens.surfaces, KindFlag::SphericalMirrors).count, 1);
    EXPECT_EQ(buildParameterList(lens.surfaces, KindFlag::LensSpacings).count, 0);
    // A row the editor stored after the end of the table is examined too.
    lens.surfaces[12] = row(SurfaceType::SphericalLens, -50.0, 300.0, 10.0);
    const ParameterList list = buildParameterList(lens.surfaces, KindFlag::SphericalLenses);
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.rows[0], 1);
    EXPECT_EQ(list.rows[1], 2);
    EXPECT_EQ(list.rows[2], 12);
    // Paraboloids, aspheres and flats never vary.
    lens.surfaces[3].type = SurfaceType::ParaboloidMirror;
    lens.surfaces[1].type = SurfaceType::AsphericLens;
    EXPECT_EQ(
        buildParameterList(lens.surfaces, KindFlag::SphericalLenses | KindFlag::SphericalMirrors)
            .count,
        2);
}

TEST(Candidates, OneListedRowAtFivePercentTriesExactlyTheFiveFactors) {
    const LensSystem lens = samples::sphericalMirror();
    PassParameters parameters = passParameters(measuresOff(), 0.05);
    PassSetup setup;
    ASSERT_TRUE(preparePass(lens, parameters, setup));
    ASSERT_EQ(setup.total, 5);
    const double factors[] = {0.95, 0.975, 1.0, 1.025, 1.05};
    for (int c = 0; c < 5; ++c) {
        SurfaceTable candidate = setup.reference;
        applyCombination(setup, c, candidate);
        EXPECT_DOUBLE_EQ(candidate[0].radius, 200.0 * factors[c]) << c;
        // The rescale brings every one back to the design's focal length.
        ASSERT_TRUE(holdFocalLength(setup, candidate));
        EXPECT_NEAR(candidate[0].radius, 200.0, 200.0 * 1e-6);
    }
    // Combinations 0 to 4 go to workers 0, 1, 2, 3, 0.
    EXPECT_EQ(workerShare(5, 0), 2);
    EXPECT_EQ(workerShare(5, 1), 1);
    EXPECT_EQ(workerShare(5, 2), 1);
    EXPECT_EQ(workerShare(5, 3), 1);
}

TEST(Candidates, TheFirstListedRowChangesFastest) {
    const LensSystem lens = samples::correctedMirror();
    PassSetup setup;
    ASSERT_TRUE(preparePass(lens, passParameters(OptimizerSettings{}, 0.05), setup));
    ASSERT_EQ(setup.total, 125);
    SurfaceTable candidate = setup.reference;
    applyCombination(setup, 3 + 5 * 1 + 25 * 4, candidate);
    EXPECT_EQ(candidate[1].radius, -2000.0 * setup.factors[3]);
    EXPECT_EQ(candidate[2].radius, -2100.0 * setup.factors[1]);
    EXPECT_EQ(candidate[3].radius, 800.0 * setup.factors[4]);
}

TEST(OptimizerPass, LeavesALoneSphericalMirrorEssentiallyUnchanged) {
    LensSystem lens = samples::sphericalMirror();
    PassReport report;
    ASSERT_EQ(optimizePass(lens, passParameters(OptimizerSettings{}, 0.05), {}, report),
              OptimizeStatus::Done);
    EXPECT_NEAR(lens.surfaces[0].radius, 200.0, 200.0 * 1e-6);
    EXPECT_LE(report.meritAfter, report.meritBefore);
}

TEST(OptimizerPass, WithNoMeasureSelectedKeepsTheRadiiAndOnlyRefocuses) {
    LensSystem lens = samples::achromaticDoublet();
    SurfaceTable expected = lens.surfaces;
    refocus(expected, lens.settings, WavelengthLine::d);
    PassReport report;
    ASSERT_EQ(optimizePass(lens, passParameters(measuresOff(), 0.05), {}, report),
              OptimizeStatus::Done);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, expected));
    EXPECT_NE(lens.surfaces[5].z, -900.0);
    EXPECT_EQ(report.meritBefore, 0.0);
    EXPECT_EQ(report.meritAfter, 0.0);
}

TEST(OptimizerPass, VaryingOnlyLensesLeavesMirrorsUntouched) {
    LensSystem lens = samples::correctedMirror();
    OptimizerSettings settings;
    settings.varySphericalMirrors = false;
    settings.changeRangePercent = 2.0;
    const OptimizeResult result = optimizeDesign(lens, settings, {});
    ASSERT_EQ(result.status, OptimizeStatus::Done);
    EXPECT_EQ(result.variedRows, 2);
    EXPECT_EQ(lens.surfaces[3].radius, 800.0);
    EXPECT_NE(lens.surfaces[1].radius, -2000.0);
}

TEST(OptimizerPass, WithoutRowsOfTheChosenKindsKeepsTheRadiiButRefocuses) {
    LensSystem lens = samples::sphericalMirror();
    OptimizerSettings settings;
    settings.varySphericalMirrors = false;
    const OptimizeResult result = optimizeDesign(lens, settings, {});
    ASSERT_EQ(result.status, OptimizeStatus::Done);
    EXPECT_EQ(result.variedRows, 0);
    EXPECT_EQ(lens.surfaces[0].radius, 200.0);
    EXPECT_LT(lens.surfaces[1].z, 100.0);
    for (const PassReport& report : result.passes) {
        EXPECT_EQ(report.candidates, 0);
        EXPECT_EQ(report.meritAfter, report.meritBefore);
    }
}

TEST(OptimizerPass, LeavesADesignWithoutAFocalLengthAlone) {
    LensSystem lens = samples::emptyDesign();
    lens.surfaces[4] = row(SurfaceType::FlatFocal, 30.0, 0.0, 10.0);
    const SurfaceTable before = lens.surfaces;
    PassReport report;
    EXPECT_EQ(optimizePass(lens, passParameters(OptimizerSettings{}, 0.05), {}, report),
              OptimizeStatus::Done);
    EXPECT_FALSE(report.searched);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, before));
}

TEST(OptimizerPass, RefusesMoreThanThirteenRowsBeforeAnyWork) {
    LensSystem lens = samples::emptyDesign();
    lens.surfaces[0] = row(SurfaceType::Stop, 0.0, 0.0, 10.0);
    for (int i = 1; i <= 14; ++i) {
        lens.surfaces[i] = row(SurfaceType::SphericalLens, -i, i % 2 ? -500.0 : 500.0, 12.0,
                               i % 2 ? samples::kNBK7 : samples::kAir);
    }
    lens.surfaces[15] = row(SurfaceType::FlatFocal, -400.0, 0.0, 10.0);
    const SurfaceTable before = lens.surfaces;
    int progressCalls = 0;
    OptimizeOptions options;
    options.progress = [&](const OptimizeProgress&) { ++progressCalls; };
    const OptimizeResult result = optimizeDesign(lens, OptimizerSettings{}, options);
    EXPECT_EQ(result.status, OptimizeStatus::TooManyRows);
    EXPECT_EQ(result.variedRows, 14);
    EXPECT_TRUE(result.passes.empty());
    EXPECT_EQ(progressCalls, 0);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, before));
    PassReport report;
    EXPECT_EQ(optimizePass(lens, passParameters(OptimizerSettings{}, 0.05), options, report),
              OptimizeStatus::TooManyRows);
}

// An obstruction over the whole mirror: no zone's spherical aberration can be traced, so
// every candidate would be as unmeasurable as the design and nothing is searched.
TEST(OptimizerPass, RefusesADesignWhoseMeritIsTheFailureValue) {
    LensSystem lens = samples::sphericalMirror();
    lens.surfaces[2] = lens.surfaces[1];
    lens.surfaces[1] = lens.surfaces[0];
    lens.surfaces[0] = row(SurfaceType::Obstruction, 50.0, 0.0, 500.0);
    const SurfaceTable before = lens.surfaces;
    int progressCalls = 0;
    OptimizeOptions options;
    options.progress = [&](const OptimizeProgress&) { ++progressCalls; };
    OptimizerSettings settings;
    EXPECT_FALSE(optimizerCanMeasure(lens, settings));
    const OptimizeResult result = optimizeDesign(lens, settings, options);
    EXPECT_EQ(result.status, OptimizeStatus::Unmeasurable);
    EXPECT_TRUE(result.passes.empty());
    EXPECT_EQ(progressCalls, 0);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, before));
    EXPECT_FALSE(optimizerCanMeasure(samples::emptyDesign(), settings));

    // Without the spherical aberration among the measures there is a merit to keep.
    settings.minimiseSpherical = false;
    EXPECT_TRUE(optimizerCanMeasure(lens, settings));
    EXPECT_EQ(optimizeDesign(lens, settings).status, OptimizeStatus::Done);
    settings.minimiseSpherical = true;
    EXPECT_TRUE(optimizerCanMeasure(samples::achromaticDoublet(), settings));
}

WorkerSlot slotWith(double merit, double radius) {
    WorkerSlot slot;
    slot.bestMerit = merit;
    slot.bestRadii.fill(radius);
    return slot;
}

WorkerChunk chunk(int worker, int64_t first, const WorkerSlot& result) {
    WorkerChunk c;
    c.worker = worker;
    c.first = first;
    c.last = first + 1;
    c.result = result;
    return c;
}

TEST(WorkerReduction, LowestWorkerWinsATieAndEarliestChunkWinsWithinAWorker) {
    PassSetup setup;
    setup.startMerit = 10.0;
    const std::vector<WorkerChunk> chunks = {
        chunk(0, 0, slotWith(10.0, 1.0)), // equal to the design: never taken
        chunk(1, 0, slotWith(7.0, 2.0)),  chunk(1, 1, slotWith(3.0, 3.0)),
        chunk(1, 2, slotWith(3.0, 4.0)),  chunk(2, 0, slotWith(3.0, 5.0)),
        chunk(3, 0, slotWith(4.0, 6.0)),
    };
    const WorkerSlot best = reduceChunks(setup, chunks);
    EXPECT_EQ(best.bestMerit, 3.0);
    EXPECT_EQ(best.bestRadii[0], 3.0);
}

TEST(WorkerReduction, KeepsTheDesignWhenNoCandidateIsStrictlyBetter) {
    PassSetup setup;
    setup.startMerit = 2.0;
    setup.reference[0].radius = 9.0;
    const WorkerSlot best =
        reduceChunks(setup, {chunk(0, 0, slotWith(2.0, 1.0)), chunk(3, 0, slotWith(2.0, 1.0))});
    EXPECT_EQ(best.bestMerit, 2.0);
    EXPECT_EQ(best.bestRadii[0], 9.0);
}

// The pass written out plainly: four workers one after the other, each over every
// fourth combination, full merits, a strictly smaller merit replacing the best.
SurfaceTable fourSequentialWorkers(const LensSystem& lens, const PassParameters& parameters) {
    PassSetup setup;
    EXPECT_TRUE(preparePass(lens, parameters, setup));
    double bestMerit[kOptimizerWorkers];
    SurfaceTable bestTable[kOptimizerWorkers];
    int winner = 0;
    for (int w = 0; w < kOptimizerWorkers; ++w) {
        bestMerit[w] = designMerit(lens.surfaces, lens.settings, setup.aperture, parameters);
        bestTable[w] = lens.surfaces;
        for (int64_t c = w; c < setup.total; c += kOptimizerWorkers) {
            SurfaceTable candidate = lens.surfaces;
            applyCombination(setup, c, candidate);
            if (!holdFocalLength(setup, candidate)) {
                continue;
            }
            const double merit = designMerit(candidate, lens.settings, setup.aperture, parameters);
            if (merit < bestMerit[w]) {
                bestMerit[w] = merit;
                bestTable[w] = candidate;
            }
        }
        if (bestMerit[w] < bestMerit[winner]) {
            winner = w;
        }
    }
    SurfaceTable table = bestTable[winner];
    refocus(table, lens.settings, parameters.sphericalLine);
    return table;
}

// Two of the stack's crown elements and its plate: a merit made mostly of colour, which
// no bending of crowns corrects, so the candidates part on their chromatic zones.
LensSystem twoElementStack() {
    LensSystem lens = samples::biconvexStack();
    const LensSystem empty = samples::emptyDesign();
    for (int row = 4; row < kSurfaceRows; ++row) {
        lens.surfaces[row] = row + 4 < 11 ? lens.surfaces[row + 4] : empty.surfaces[row];
    }
    return lens;
}

TEST(OptimizerThreads, ChunkedPassEqualsTheFourWorkers) {
    OptimizerSettings withOsc;
    withOsc.minimiseOsc = true;
    const struct {
        LensSystem start;
        OptimizerSettings settings;
    } cases[] = {
        {threeRowDoublet(), withOsc}, {samples::achromaticDoublet(), {}}, {twoElementStack(), {}}};
    for (const auto& c : cases) {
        const PassParameters parameters = passParameters(c.settings, 0.05);
        const SurfaceTable expected = fourSequentialWorkers(c.start, parameters);
        for (const int threads : {1, 2, 3}) {
            LensSystem lens = c.start;
            OptimizeOptions options;
            options.threads = threads;
            PassReport report;
            ASSERT_EQ(optimizePass(lens, parameters, options, report), OptimizeStatus::Done);
            EXPECT_TRUE(samples::identicalTables(lens.surfaces, expected)) << threads << " threads";
            EXPECT_LT(report.meritAfter, report.meritBefore);
        }
    }
}

TEST(OptimizerThreads, AnyThreadCountGivesTheSameDesign) {
    OptimizerSettings settings;
    settings.changeRangePercent = 2.0;
    settings.minimiseOsc = true;
    LensSystem reference = threeRowDoublet();
    OptimizeOptions one;
    one.threads = 1;
    ASSERT_EQ(optimizeDesign(reference, settings, one).status, OptimizeStatus::Done);
    for (const int threads : {2, 3, 4, 8}) {
        LensSystem lens = threeRowDoublet();
        OptimizeOptions options;
        options.threads = threads;
        ASSERT_EQ(optimizeDesign(lens, settings, options).status, OptimizeStatus::Done);
        EXPECT_TRUE(samples::identicalTables(lens.surfaces, reference.surfaces))
            << threads << " threads";
    }
}

TEST(OptimizerCancel, ARaisedFlagLeavesTheDesignAsItWas) {
    LensSystem lens = threeRowDoublet();
    const SurfaceTable before = lens.surfaces;
    std::atomic<bool> cancel{true};
    OptimizeOptions options;
    options.cancel = &cancel;
    const OptimizeResult result = optimizeDesign(lens, OptimizerSettings{}, options);
    EXPECT_EQ(result.status, OptimizeStatus::Cancelled);
    EXPECT_TRUE(result.passes.empty());
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, before));
}

TEST(OptimizerCancel, CancellingTheSecondPassKeepsTheFirstPassResult) {
    OptimizerSettings settings;
    settings.changeRangePercent = 2.0;
    LensSystem afterFirst = threeRowDoublet();
    PassReport firstReport;
    ASSERT_EQ(optimizePass(afterFirst, passParameters(settings, 0.02), {}, firstReport),
              OptimizeStatus::Done);

    LensSystem lens = threeRowDoublet();
    std::atomic<bool> cancel{false};
    OptimizeOptions options;
    options.threads = 2;
    options.cancel = &cancel;
    options.progress = [&](const OptimizeProgress& progress) {
        EXPECT_EQ(progress.passCount, 2);
        EXPECT_LE(progress.done, progress.total);
        if (progress.pass == 2) {
            cancel.store(true);
        }
    };
    const OptimizeResult result = optimizeDesign(lens, settings, options);
    EXPECT_EQ(result.status, OptimizeStatus::Cancelled);
    ASSERT_EQ(result.passes.size(), 1u);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, afterFirst.surfaces));
}

TEST(OptimizerDoublet, LowersItsMeritAndKeepsTheFocalLength) {
    LensSystem lens = samples::achromaticDoublet();
    const OptimizerSettings settings;
    const PassParameters parameters = passParameters(settings, 0.05);
    const double aperture = apertureRadius(lens.surfaces);
    const double meritBefore = designMerit(lens.surfaces, lens.settings, aperture, parameters);
    const double fBefore = focalLength(lens);

    const OptimizeResult result = optimizeDesign(lens, settings, {});
    ASSERT_EQ(result.status, OptimizeStatus::Done);
    ASSERT_EQ(result.passes.size(), 3u);
    EXPECT_EQ(result.passes[0].meritBefore, meritBefore);
    EXPECT_LT(result.passes[0].meritAfter, meritBefore);
    for (const PassReport& report : result.passes) {
        EXPECT_EQ(report.candidates, 625);
        EXPECT_LE(report.meritAfter, report.meritBefore);
    }
    const double meritAfter = designMerit(lens.surfaces, lens.settings, aperture, parameters);
    EXPECT_EQ(meritAfter, result.passes.back().meritAfter);
    EXPECT_LT(meritAfter, meritBefore);
    EXPECT_NEAR(focalLength(lens), fBefore, 0.01 * fBefore);
    // The refocus put the focal plane at the new mean focus.
    const double r = aperture / 1.01;
    EXPECT_EQ(lens.surfaces[5].z, meanFocus(lens.surfaces, lens.settings, r / 100, r, 2));
}

} // namespace
} // namespace kiro
