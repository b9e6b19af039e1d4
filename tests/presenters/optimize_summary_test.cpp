#include "presenters/optimize_summary.h"

#include <gtest/gtest.h>

namespace kiro {
namespace {

TEST(OptimizeSummary, PassLineIsKiroClisLineToTheLastDigit) {
    PassReport report;
    report.pass = 2;
    report.rangePercent = 2.5;
    report.meritBefore = 0.1;
    report.meritAfter = 1.0 / 3.0;
    report.candidates = 3125;
    report.seconds = 1.23456;
    EXPECT_EQ(passReportLine(report), "pass 2 range 2.5 merit 0.10000000000000001 -> "
                                      "0.33333333333333331 candidates 3125 seconds 1.235\n");
}

TEST(OptimizeSummary, TotalsRunFromTheFirstPassToTheLast) {
    EXPECT_EQ(optimizeTotals({}).passes, 0);
    const std::vector<PassReport> passes{{1, 5.0, 9.0, 4.0, 625, 1.5},
                                         {2, 2.5, 4.0, 3.0, 625, 0.5}};
    const OptimizeTotals totals = optimizeTotals(passes);
    EXPECT_EQ(totals.passes, 2);
    EXPECT_EQ(totals.meritBefore, 9.0);
    EXPECT_EQ(totals.meritAfter, 3.0);
    EXPECT_EQ(totals.candidates, 1250);
    EXPECT_EQ(totals.seconds, 2.0);
}

// The estimate spreads the time so far over the candidates of every pass.
TEST(OptimizeSummary, ProgressEstimatesTheTimeLeftOverAllPasses) {
    EXPECT_EQ(progressLine({1, 3, 0, 625}, 0.0), "pass 1/3 candidates 0/625 elapsed 0s left -");
    EXPECT_EQ(progressLine({2, 2, 250, 500}, 15.0),
              "pass 2/2 candidates 250/500 elapsed 15s left 5s");
    EXPECT_EQ(progressLine({3, 3, 625, 625}, 30.0),
              "pass 3/3 candidates 625/625 elapsed 30s left 0s");
}

} // namespace
} // namespace kiro
