#include "design/candidate_merit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "design/optimizer.h"
#include "tests/design/sample_designs.h"

namespace kiro {
namespace {

constexpr double kNoBound = std::numeric_limits<double>::infinity();

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The doublet with every radius scaled by up to +-15 %, as the optimizer's candidates are.
LensSystem perturbedDoublet(std::mt19937& random) {
    std::uniform_real_distribution<double> factor(0.85, 1.15);
    LensSystem lens = samples::achromaticDoublet();
    for (int row = 1; row <= 4; ++row) {
        lens.surfaces[row].radius *= factor(random);
    }
    return lens;
}

PassParameters allMeasures(int line, int mask) {
    PassParameters p;
    p.sphericalLine = line;
    p.chromaticMask = mask;
    p.measureFlags = MeasureFlag::Spherical | MeasureFlag::Chromatic | MeasureFlag::SineCondition;
    return p;
}

TEST(CandidateMerit, WithoutABoundEqualsTheMeritBitForBit) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        const LensSystem lens = perturbedDoublet(random);
        const double aperture = apertureRadius(lens.surfaces);
        for (const PassParameters& p :
             {allMeasures(2, 20), allMeasures(4, 2 + 16 + 64), allMeasures(1, 0)}) {
            const CandidateMerit m =
                candidateMerit(lens.surfaces, lens.settings, aperture, p, {kNoBound, nullptr});
            ASSERT_TRUE(m.complete) << "seed " << seed;
            EXPECT_TRUE(sameBits(m.merit, designMerit(lens.surfaces, lens.settings, aperture, p)))
                << "seed " << seed;
        }
    }
}

TEST(CandidateMerit, CutsShortOnlyBelowTheTrueMerit) {
    int cut = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        const LensSystem lens = perturbedDoublet(random);
        const double aperture = apertureRadius(lens.surfaces);
        const PassParameters p = allMeasures(2, 20);
        const double exact = designMerit(lens.surfaces, lens.settings, aperture, p);
        std::uniform_real_distribution<double> share(0.0, 1.2);
        const double bound = exact * share(random);
        const std::atomic<double> smallest{bound};
        for (const MeritBound& b : {MeritBound{bound, nullptr}, MeritBound{kNoBound, &smallest}}) {
            const CandidateMerit m = candidateMerit(lens.surfaces, lens.settings, aperture, p, b);
            if (m.complete) {
                EXPECT_TRUE(sameBits(m.merit, exact)) << "seed " << seed;
            } else {
                ++cut;
                EXPECT_LE(m.merit, exact) << "seed " << seed;
                EXPECT_TRUE(b.exceeded(m.merit)) << "seed " << seed;
                EXPECT_TRUE(b.exceeded(exact)) << "seed " << seed;
            }
        }
    }
    EXPECT_GT(cut, 0);
}

// The first zones, spherical and chromatic, traced for many candidates together: a cut
// there claims that the whole merit exceeds the bound as well.
TEST(CandidateMerit, FirstZonesCutOnlyWhereTheWholeMeritExceedsTheBound) {
    int cut = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        std::vector<LensSystem> lenses;
        for (int k = 0; k < kMaxAcross; ++k) {
            lenses.push_back(perturbedDoublet(random));
        }
        std::vector<const SurfaceTable*> tables;
        for (const LensSystem& lens : lenses) {
            tables.push_back(&lens.surfaces);
        }
        const Settings& settings = lenses[0].settings;
        const double aperture = apertureRadius(lenses[0].surfaces);
        for (const PassParameters& p : {allMeasures(2, 20), allMeasures(4, 2 + 16 + 64)}) {
            std::vector<TracedZones> zones(lenses.size());
            std::vector<TracedZones*> traced;
            for (TracedZones& z : zones) {
                traced.push_back(&z);
            }
            traceFirstZones(tables, settings, aperture, p, traced);
            traceFirstChromaticZones(tables, settings, aperture, p, traced);
            std::uniform_real_distribution<double> share(0.0, 1.2);
            for (size_t k = 0; k < lenses.size(); ++k) {
                // The sine condition is left out: the first zones know nothing of it.
                PassParameters twoMeasures = p;
                twoMeasures.measureFlags = MeasureFlag::Spherical | MeasureFlag::Chromatic;
                const double exact =
                    designMerit(lenses[k].surfaces, settings, aperture, twoMeasures);
                const MeritBound bound{exact * share(random), nullptr};
                if (firstZonesCut(zones[k], bound)) {
                    ++cut;
                    EXPECT_TRUE(bound.exceeded(exact)) << "seed " << seed << ", table " << k;
                }
            }
        }
    }
    EXPECT_GT(cut, 0);
}

TEST(CandidateMerit, KeepsATieWithTheSmallestFound) {
    const LensSystem lens = samples::achromaticDoublet();
    const double aperture = apertureRadius(lens.surfaces);
    const PassParameters p = allMeasures(2, 20);
    const double exact = designMerit(lens.surfaces, lens.settings, aperture, p);
    const std::atomic<double> smallest{exact};
    const CandidateMerit m =
        candidateMerit(lens.surfaces, lens.settings, aperture, p, {kNoBound, &smallest});
    EXPECT_TRUE(m.complete);
    EXPECT_EQ(m.merit, exact);
}

} // namespace
} // namespace kiro
