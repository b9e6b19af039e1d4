#include "model/surface_kind.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>
#include <vector>

namespace kiro {
namespace {

// Codes from the table, the end mark, gaps between the runs, and codes far outside.
std::vector<int32_t> probedCodes() {
    std::vector<int32_t> codes{INT_MIN, -1000, 31, 32, 33, 64, 1000, INT_MAX};
    for (int32_t code = -3; code <= 40; ++code) {
        codes.push_back(code);
    }
    return codes;
}

TEST(SurfaceKinds, EveryQuestionAgreesWithTheTableRowOfTheCode) {
    for (const int32_t code : probedCodes()) {
        SCOPED_TRACE(code);
        const SurfaceKindInfo* info = surfaceKindInfo(code);
        if (info != nullptr) {
            EXPECT_EQ(static_cast<int32_t>(info->kind), code);
        }
        const auto shapeIs = [info](SurfaceShape s) { return info != nullptr && info->shape == s; };
        const auto roleIs = [info](SurfaceRole r) { return info != nullptr && info->role == r; };
        EXPECT_EQ(isFlat(code), shapeIs(SurfaceShape::Flat));
        EXPECT_EQ(isSpherical(code), shapeIs(SurfaceShape::Spherical));
        EXPECT_EQ(isAspheric(code), shapeIs(SurfaceShape::Aspheric));
        EXPECT_EQ(isStop(code), roleIs(SurfaceRole::Stop));
        EXPECT_EQ(isObstruction(code), roleIs(SurfaceRole::Obstruction));
        EXPECT_EQ(isFocal(code), roleIs(SurfaceRole::Focal));
        EXPECT_EQ(isMirror(code), roleIs(SurfaceRole::Mirror));
        EXPECT_EQ(isLens(code), roleIs(SurfaceRole::Lens));
        EXPECT_EQ(editsCoefficients(code), info != nullptr && info->editsCoefficients);
        // Codes no kind has keep the meaning their place among the codes gave them.
        if (info == nullptr) {
            EXPECT_EQ(isMirrorOrLens(code), code >= SurfaceType::FirstOptical);
            EXPECT_EQ(isCurvedMirrorOrLens(code), code > SurfaceType::FlatMirror);
        } else {
            EXPECT_EQ(isMirrorOrLens(code), isMirror(code) || isLens(code));
        }
    }
}

TEST(SurfaceKinds, TheFileCodesStayWhereTheyAre) {
    // The design file stores these numbers; the kinds' table must never move them.
    EXPECT_EQ(surfaceKindInfo(0)->englishName, std::string_view("Stop"));
    EXPECT_EQ(surfaceKindInfo(3)->shape, SurfaceShape::Spherical);
    EXPECT_EQ(surfaceKindInfo(12)->shape, SurfaceShape::Paraboloid);
    EXPECT_EQ(surfaceKindInfo(22)->role, SurfaceRole::Lens);
    EXPECT_EQ(surfaceKindInfo(SurfaceType::End), nullptr);
    for (const SurfaceKindInfo& info : kSurfaceKinds) {
        // Only the aspheric rows have coefficients for the editor to show.
        EXPECT_EQ(info.editsCoefficients, info.shape == SurfaceShape::Aspheric) << info.englishName;
    }
}

} // namespace
} // namespace kiro
