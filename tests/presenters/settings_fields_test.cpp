#include "presenters/settings_fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace kiro {
namespace {

struct ClampCase {
    unsigned rays, points, pitch;
    int storedRays, storedPoints, storedPitch;
};

TEST(SettingsFields, CountsAreClampedToWhatTheSettingsKeep) {
    const std::vector<ClampCase> cases = {
        {11, 50, 10, 11, 50, 10},
        {25, 0, 0, 20, 1, 1},
        {0, 101, 1, 0, 100, 1},
        {20, 100, 500, 20, 100, 500},
        {UINT_MAX, UINT_MAX, UINT_MAX, 20, 100, INT_MAX},
    };
    for (const ClampCase& c : cases) {
        SettingsEntry entry;
        entry.rayCount = c.rays;
        entry.gridPoints = c.points;
        entry.gridPitch = c.pitch;
        const Settings s = acceptSettingsEntry(Settings{}, entry);
        EXPECT_EQ(s.rayCount, c.storedRays) << c.rays;
        EXPECT_EQ(s.spotGridPoints, c.storedPoints) << c.points;
        EXPECT_EQ(s.spotGridPitch, c.storedPitch) << c.pitch;
    }
}

TEST(SettingsFields, TheAngleIsHeldInHundredthsTruncatedTowardsZero) {
    const std::vector<std::pair<double, int>> cases = {
        {0.567, 56}, {-0.567, -56}, {1.0, 100}, {0.009, 0}, {-21474836.47, -2147483647}};
    for (const auto& [degrees, hundredths] : cases) {
        int held = 12345;
        ASSERT_TRUE(incidenceFromDegrees(degrees, held)) << degrees;
        EXPECT_EQ(held, hundredths) << degrees;
    }
}

TEST(SettingsFields, ValuesNoSettingCanHoldKeepTheCurrentOnes) {
    Settings current;
    current.incidenceAngle = 150;
    current.sourceX = 1.0;
    current.sourceY = 2.0;
    current.sourceZ = 3.0;
    SettingsEntry entry;
    entry.sourceMode = SourceMode::Point;
    entry.gridMode = SpotGridMode::FixedPitch;
    entry.sourceX = std::numeric_limits<double>::infinity();
    entry.sourceY = std::nan("");
    entry.sourceZ = -500.0;
    for (double degrees : {std::nan(""), std::numeric_limits<double>::infinity(), 1e254, 3e7}) {
        entry.incidenceDegrees = degrees;
        const Settings s = acceptSettingsEntry(current, entry);
        EXPECT_EQ(s.incidenceAngle, 150) << degrees;
        EXPECT_EQ(s.sourceX, 1.0);
        EXPECT_EQ(s.sourceY, 2.0);
        EXPECT_EQ(s.sourceZ, -500.0);
        EXPECT_EQ(s.sourceMode, SourceMode::Point);
        EXPECT_EQ(s.spotGridMode, SpotGridMode::FixedPitch);
    }
}

} // namespace
} // namespace kiro
