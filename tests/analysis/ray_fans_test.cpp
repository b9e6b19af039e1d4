#include "analysis/ray_fans.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/spot_rays.h"
#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

constexpr int kAllLines = 0x7E;
constexpr int kCentre = kFanPoints / 2;

const RayFan& fanOf(const FanPanel& panel, int line, FanKind kind) {
    for (const RayFan& fan : panel.fans) {
        if (fan.line == line && fan.kind == kind) {
            return fan;
        }
    }
    static const RayFan none{};
    ADD_FAILURE() << "no fan of line " << line;
    return none;
}

TEST(RayFansOnAxis, TangentialAndSagittalAgreeAndAreOdd) {
    for (const char* name :
         {"doublet-100-f9.OPT", "doublet-flattener-102-f7.OPT", "schmidt-camera-200-f2.OPT"}) {
        const LensSystem lens = test::designedExample(name);
        const RayFans fans = computeRayFans(lens.surfaces, lens.settings, {0, 0, 0}, kAllLines);
        const FanPanel& axis = fans.panels[0];
        ASSERT_TRUE(axis.ready) << name;
        ASSERT_EQ(axis.fans.size(), 12u);
        for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
            const RayFan& t = fanOf(axis, line, FanKind::Tangential);
            const RayFan& s = fanOf(axis, line, FanKind::Sagittal);
            double largest = 0.0;
            for (int k = 0; k < kFanPoints; ++k) {
                largest = std::max(largest, std::fabs(t.offset[static_cast<size_t>(k)]));
            }
            const double tolerance = 1e-9 * largest + 1e-9;
            for (size_t k = 0; k < kFanPoints; ++k) {
                ASSERT_TRUE(std::isfinite(t.offset[k])) << name << " point " << k;
                EXPECT_NEAR(t.offset[k], s.offset[k], tolerance) << name << " point " << k;
                EXPECT_NEAR(t.offset[k], -t.offset[kFanPoints - 1 - k], tolerance)
                    << name << " point " << k;
            }
        }
    }
}

TEST(RayFansOnAxis, ParaboloidFocusesEveryRayOnTheChiefRay) {
    SurfaceTable table = test::sphericalMirror(2000.0, 100.0, 1000.0);
    table[0].type = SurfaceType::ParaboloidMirror;
    LensSystem lens;
    const RayFans fans = computeRayFans(table, lens.settings, {0, 5, 10}, 1 << WavelengthLine::d);
    for (const double offset :
         fanOf(fans.panels[0], WavelengthLine::d, FanKind::Tangential).offset) {
        EXPECT_NEAR(offset, 0.0, 1e-6); // micrometres
    }
    // Off the axis the paraboloid's coma shows: the tangential fan is no longer odd. (Its
    // rim rays meet the mirror's sag beside the vertex plane, one of them outside the rim.)
    const RayFan& coma = fanOf(fans.panels[2], WavelengthLine::d, FanKind::Tangential);
    EXPECT_GT(std::fabs(coma.offset[5] + coma.offset[kFanPoints - 6]), 1.0);
}

// The fans and the spot diagram launch and trace their rays alike: the pupil edge of the
// tangential fan lands where the spot grid's ray through the same pupil point lands.
TEST(RayFansAgainstSpots, FanEdgeIsTheSpotLanding) {
    // The doublet behind a flat stop a little smaller than its lenses, so that the rim
    // rays pass.
    const LensSystem doublet = test::designedExample("doublet-100-f9.OPT");
    LensSystem lens = doublet;
    lens.surfaces[0] = test::makeRow(SurfaceType::Stop, 0.0, 0.0, 45.0);
    std::copy(doublet.surfaces.begin(), doublet.surfaces.end() - 1, lens.surfaces.begin() + 1);
    ASSERT_EQ(apertureRadius(lens.surfaces), 45.0);
    const std::array<double, kSpotPanelCount> heights{0, 5, 10};
    const RayFans fans = computeRayFans(lens.surfaces, lens.settings, heights, kAllLines);
    SpotPanels panels;
    ASSERT_TRUE(prepareSpotPanels(lens.surfaces, lens.settings, heights, panels));
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        ASSERT_TRUE(panels.ready[j]);
        EXPECT_DOUBLE_EQ(fans.panels[j].fieldAngle, panels.fieldAngle[j]);
        // The spot grid stretches u by 1 / cos(field); the fan's rim is at r itself.
        const std::vector<double> values{0.0, fans.pupilRadius * panels.beam[j].cosField};
        for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
            // Grid row u = r cos, column v = 0: pupil point (r, 0) first, (-r, 0) second.
            std::vector<SpotLanding> edge(kPupilPointsPerGridPoint * values.size());
            std::vector<SpotLanding> centre(edge.size());
            traceSpotGridRow(lens.surfaces, panels.beam[j], values, 1, line, RepeatedPoints::Trace,
                             edge.data());
            traceSpotGridRow(lens.surfaces, panels.beam[j], values, 0, line, RepeatedPoints::Trace,
                             centre.data());
            ASSERT_TRUE(edge[0].arrived && edge[1].arrived && centre[0].arrived);
            const RayFan& fan = fanOf(fans.panels[j], line, FanKind::Tangential);
            // Both measure from their own reference: compare against the pupil centre.
            EXPECT_NEAR(fan.offset[kFanPoints - 1] - fan.offset[kCentre],
                        1000.0 * (edge[0].offset.a - centre[0].offset.a), 1e-6);
            EXPECT_NEAR(fan.offset[0] - fan.offset[kCentre],
                        1000.0 * (edge[1].offset.a - centre[0].offset.a), 1e-6);
        }
    }
}

TEST(RayFansGaps, ObstructedAndOutsideRaysAreGaps) {
    const LensSystem lens = test::designedExample("cassegrain-200-f10.OPT");
    const RayFans fans =
        computeRayFans(lens.surfaces, lens.settings, {0, 0, 0}, 1 << WavelengthLine::d);
    ASSERT_TRUE(fans.panels[0].ready);
    const RayFan& fan = fanOf(fans.panels[0], WavelengthLine::d, FanKind::Tangential);
    EXPECT_TRUE(std::isnan(fan.offset[kCentre])); // behind the secondary
    EXPECT_TRUE(std::isfinite(fan.offset[0]));
    EXPECT_TRUE(std::isfinite(fan.offset[kFanPoints - 1]));

    LensSystem empty;
    EXPECT_FALSE(
        computeRayFans(empty.surfaces, empty.settings, {0, 1, 2}, kAllLines).panels[0].ready);
}

} // namespace
} // namespace kiro
