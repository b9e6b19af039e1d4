#include <gtest/gtest.h>

#include <string>

#include "analysis/aberration_curves.h"
#include "presenters/fan_dialog_state.h"
#include "presenters/field_dialog_state.h"
#include "presenters/seidel_table.h"
#include "tests/analysis/analysis_tables.h"
#include "tests/support/german_numbers.h"

namespace kiro {
namespace {

TEST(FanDialogState, OpensAsTheSpotDiagramAndMapsItsScrollAsTheSpotDoes) {
    const SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0, 17.8);
    const FanDialogState state = openFanDialog(table);
    EXPECT_EQ(state.heights, openSpotDialog(table).spotHeight);
    EXPECT_EQ(state.heights[2], 17.0);
    EXPECT_EQ(fanViewOf(state).lineMask, 0x7E);
    for (const int pos : {-5, 1, 15, 40, 41, 150, 400}) {
        FanDialogState moved = state;
        moved.scrollPos = pos;
        EXPECT_EQ(fanViewOf(moved).scale, spotMagnificationForScroll(clampedScroll(pos))) << pos;
    }
    FanDialogState some = state;
    some.lineShown = {0, 1, 0, 1, 0, 0};
    EXPECT_EQ(fanViewOf(some).lineMask, (1 << WavelengthLine::d) | (1 << WavelengthLine::F));
}

TEST(FieldDialogState, ScalesFollowTheCurveScrollAndTheDistortionSteps) {
    FieldDialogState state;
    EXPECT_EQ(fieldViewOf(state).curvatureScale, curveScaleForScroll(10));
    EXPECT_EQ(fieldViewOf(state).distortionScale, 100.0);
    for (int step = -3; step < static_cast<int>(kDistortionScales.size()) + 3; ++step) {
        state.distortionStep = step;
        const double scale = fieldViewOf(state).distortionScale;
        EXPECT_EQ(scale, kDistortionScales[static_cast<size_t>(clampedDistortionStep(step))]);
        EXPECT_GE(scale, kDistortionScales.front());
        EXPECT_LE(scale, kDistortionScales.back());
    }
}

TEST(SeidelTable, RowsSumAndWavesInTheCLocale) {
    const SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    const SeidelSums sums = seidelSumsFor(table, 50.0, 0.05);
    const test::GermanNumbers german;
    ASSERT_TRUE(german.active());
    const std::string copied = seidelTableText(sums);
    const std::vector<std::string> lines = test::linesOf(copied);
    ASSERT_EQ(lines.size(), 1u + 2u + 1u + 5u); // header, two rows, sum, W
    EXPECT_EQ(lines[0], "row\tSI\tSII\tSIII\tSIV\tSV\tCL\tCT");
    EXPECT_EQ(lines[1].substr(0, 8), "0\t1.5625"); // 2 h^4 / R^3
    EXPECT_EQ(lines[2], "1\t0\t0\t0\t0\t0\t0\t0"); // the focal plane adds nothing
    EXPECT_EQ(lines[3].substr(0, 10), "sum\t1.5625");
    EXPECT_EQ(lines[4].substr(0, 5), "W040\t");
    EXPECT_EQ(copied.find(','), std::string::npos);

    const std::vector<std::string> records = test::linesOf(seidelTableText(sums, kSeidelRecords));
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[0].substr(0, 2), "0 ");
    EXPECT_EQ(records[2].substr(0, 4), "sum ");
    EXPECT_EQ(records[7].substr(0, 5), "W311 ");
}

} // namespace
} // namespace kiro
