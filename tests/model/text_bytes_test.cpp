#include "model/text_bytes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/lens_system.h"

namespace kiro {
namespace {

TEST(TextBytes, RecognisesUtf8AndRejectsCp932) {
    EXPECT_TRUE(isValidUtf8("abc", 3));
    const char* utf8 = "\xE7\x90\x83\xE9\x9D\xA2"; // 球面
    EXPECT_TRUE(isValidUtf8(utf8, 6));
    const char* cp932 = "\x8B\x85\x96\xCA"; // 球面
    EXPECT_FALSE(isValidUtf8(cp932, 4));
    EXPECT_FALSE(isValidUtf8(utf8, 5)); // cut short
}

TEST(TextBytes, CutNeverSplitsACp932DoubleByteCharacter) {
    const char* text = "a\x8B\x85\x96\xCA"; // a球面 in CP932
    EXPECT_EQ(fittingPrefix(text, 5, 5), 5u);
    EXPECT_EQ(fittingPrefix(text, 5, 4), 3u);
    EXPECT_EQ(fittingPrefix(text, 5, 2), 1u);
}

TEST(TextBytes, CutNeverSplitsAUtf8Character) {
    const char* text = "a\xE7\x90\x83\xE9\x9D\xA2";
    EXPECT_EQ(fittingPrefix(text, 7, 6), 4u);
    EXPECT_EQ(fittingPrefix(text, 7, 3), 1u);
}

TEST(TextBytes, CopyTextTerminatesAndFits) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    copyText(field, sizeof field, "0123456789");
    EXPECT_STREQ(field, "0123456");
    copyText(field, sizeof field, "abc");
    EXPECT_STREQ(field, "abc");
}

} // namespace
} // namespace kiro
