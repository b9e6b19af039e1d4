#include "model/bit_flags.h"

#include <gtest/gtest.h>

namespace kiro {
namespace {

enum class Part : int { A = 1, B = 2, C = 4 };

} // namespace

template <> inline constexpr bool kIsFlagEnum<Part> = true;

namespace {

TEST(Flags, TheStoredNumberIsTheSetAndBack) {
    constexpr Part kParts[] = {Part::A, Part::B, Part::C};
    for (int bits = 0; bits < 8; ++bits) {
        const Flags<Part> flags = Flags<Part>::fromBits(bits);
        EXPECT_EQ(flags.bits(), bits);
        Flags<Part> rebuilt;
        for (const Part part : kParts) {
            EXPECT_EQ(flags.has(part), (bits & static_cast<int>(part)) != 0);
            rebuilt.set(part, flags.has(part));
        }
        EXPECT_EQ(rebuilt, flags);
        // Clearing a part leaves the others as they were.
        Flags<Part> cleared = flags;
        cleared.set(Part::B, false);
        EXPECT_EQ(cleared.bits(), bits & ~static_cast<int>(Part::B));
    }
    EXPECT_EQ((Part::A | Part::C).bits(), 5);
}

} // namespace
} // namespace kiro
