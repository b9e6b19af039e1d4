#include "presenters/wavefront_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "presenters/spot_dialog_state.h"
#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

TEST(WavefrontDialog, OpensAtTheSpotPanelsWithEveryLine) {
    const SurfaceTable table = test::newtonian();
    const WavefrontDialogState state = openWavefrontDialog(table);
    EXPECT_EQ(state.heights, openSpotDialog(table).spotHeight);
    EXPECT_EQ(state.grid, 64);
    EXPECT_EQ(state.side, 256);
    EXPECT_EQ(state.starWaves, 4.0);
    EXPECT_EQ(state.picture, WavefrontPicture::Wavefront);
    const WavefrontRequest request = wavefrontRequest(state);
    EXPECT_EQ(request.lineShown, state.lineShown);
    EXPECT_TRUE(request.withMtf);
}

// Whatever N and M the user picks in whatever order, M stays at least 2 N (the MTF of a
// pupil padded less would wrap around) and is one of the offered sides.
TEST(WavefrontDialog, TheFftSideAlwaysFitsThePupilGrid) {
    WavefrontDialogState state;
    for (const int grid : kPupilGridChoices) {
        for (const int side : kFftSideChoices) {
            for (const int next : kPupilGridChoices) {
                chooseGrid(state, grid);
                const int before = state.side;
                EXPECT_EQ(chooseSide(state, side), side >= 2 * grid);
                EXPECT_EQ(state.side, side >= 2 * grid ? side : before);
                chooseGrid(state, next);
                EXPECT_TRUE(sideFitsGrid(state.side, state.grid));
                EXPECT_EQ(state.grid, next);
                EXPECT_NE(std::find(kFftSideChoices.begin(), kFftSideChoices.end(), state.side),
                          kFftSideChoices.end());
            }
        }
    }
}

TEST(WavefrontDialog, StarTestDefocusStaysOnHalfWavesWithinItsRange) {
    EXPECT_EQ(clampStarWaves(3.3), 3.5);
    EXPECT_EQ(clampStarWaves(-2.0), 0.0);
    EXPECT_EQ(clampStarWaves(1e9), 20.0);
    EXPECT_EQ(clampStarWaves(std::numeric_limits<double>::quiet_NaN()), 4.0);
}

} // namespace
} // namespace kiro
