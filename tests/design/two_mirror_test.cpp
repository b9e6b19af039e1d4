#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "design/geometric_scan.h"
#include "design/two_mirror.h"

namespace kiro {
namespace {

TEST(TwoMirrorSolution, BackFocusErrorWithinATenthOfAPercentOfTheApertureOverAGrid) {
    int solved = 0;
    for (const double D : {50.0, 100.0, 200.0, 355.0}) {
        for (const double F : {6.0, 8.0, 10.0, 12.0, 15.0}) {
            for (const double bOfD : {0.25, 0.5, 1.0, 1.5}) {
                for (const double k : {0.5, 1.0, 1.5, 2.0, 3.0}) {
                    const double f = F * D, b = bOfD * D;
                    const TwoMirror m = solveTwoMirror(D, f, b, k);
                    ASSERT_TRUE(m.solved) << D << " " << F << " " << b << " " << k;
                    ++solved;
                    EXPECT_GT(m.s, 0.0);
                    EXPECT_GT(m.r1, 0.0);
                    const double g = f * (1.0 - 2.0 * m.s / m.r1) - m.s - b;
                    EXPECT_LE(std::fabs(g), D / 1000.0) << D << " " << F << " " << b << " " << k;
                }
            }
        }
    }
    EXPECT_EQ(solved, 4 * 5 * 4 * 5);
}

TEST(TwoMirrorSolution, EqualCurvaturesGiveThePrimaryRadiusTwiceRootOfFocalLengthTimesSeparation) {
    const double f = 2000.0;
    const TwoMirror m = solveTwoMirror(200.0, f, 150.0, 1.0);
    ASSERT_TRUE(m.solved);
    EXPECT_NEAR(m.r1, 2.0 * std::sqrt(f * m.s), 1e-9 * m.r1);
}

TEST(TwoMirrorSolution, PrimaryRadiusSquaresTheFocalLengthBeforeTheProduct) {
    // (1 - k)^2 f^2 with f^2 formed on its own: for these inputs multiplying (1 - k)^2
    // by f twice gives a primary radius one unit in the last place away.
    const double D = 150.0, f = 600.0, b = 200.0, k = 2.636;
    const TwoMirror m = solveTwoMirror(D, f, b, k);
    ASSERT_TRUE(m.solved);
    const double r1 =
        (std::sqrt(std::pow(1.0 - k, 2.0) * std::pow(f, 2.0) + 4.0 * k * f * m.s) - (1.0 - k) * f) /
        k;
    EXPECT_EQ(m.r1, r1);
}

TEST(TwoMirrorSolution, ReportsNoSolutionWhenTheFocusCannotLieThatFarBehind) {
    // With equal curvatures the back focus never exceeds f, whatever the separation: the
    // search shrinks s for ever and must give up at its step limit.
    const TwoMirror m = solveTwoMirror(200.0, 1000.0, 2000.0, 1.0);
    EXPECT_FALSE(m.solved);
}

TEST(TwoMirrorSolution, ReportsNoSolutionForNumbersThatAreNotFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(solveTwoMirror(200.0, nan, 100.0, 1.0).solved);
    EXPECT_FALSE(solveTwoMirror(200.0, 2000.0, inf, 1.0).solved);
    EXPECT_FALSE(solveTwoMirror(inf, 2000.0, 100.0, 1.0).solved);
    EXPECT_FALSE(solveTwoMirror(200.0, 2000.0, 100.0, nan).solved);
}

TEST(GeometricScan, KeepsTheEarliestStrictlyBestValueAndLeavesTheFieldAtIt) {
    double field = 7.0;
    // Measure |field - 4|, with the values 1, 2, 4, 8 (base 1, q 2) tying at none but 4.
    double best = 100.0;
    const double kept = geometricScan(
        field, 1.0, 2.0, 0, 3, [&](double v) { field = v; },
        [&] { return std::fabs(field - 4.0) < 3.0 ? 1.0 : 2.0; }, best);
    // 2 is the first value within 3 of 4; 4 ties with it and does not replace it.
    EXPECT_EQ(kept, 2.0);
    EXPECT_EQ(field, 2.0);
    EXPECT_EQ(best, 1.0);
}

TEST(GeometricScan, RemembersTheFieldsOwnValueWhenNothingIsBetter) {
    double field = 7.0;
    double best = 0.5;
    const double kept = geometricScan(
        field, 1.0, 2.0, -3, 3, [&](double v) { field = v; }, [] { return 1.0; }, best);
    EXPECT_EQ(kept, 7.0);
    EXPECT_EQ(field, 7.0);
    EXPECT_EQ(best, 0.5);
}

TEST(GeometricScan, StopsAfterTheFirstMeasureTheStopRuleRejects) {
    int evaluations = 0;
    double field = 0.0;
    double best = 10.0;
    geometricScan(
        field, 1.0, 2.0, 0, 9, [&](double v) { field = v; },
        [&] {
            ++evaluations;
            return field;
        },
        best, [](double m) { return m > 3.0; });
    EXPECT_EQ(evaluations, 3); // 1, 2, then 4 ends the scan
    EXPECT_EQ(field, 1.0);
}

} // namespace
} // namespace kiro
