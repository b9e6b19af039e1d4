#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "model/design_file.h"
#include "model/glass_catalog.h"

namespace kiro {
namespace {

constexpr uint64_t kSeed = 0x4b49524f; // fixed, so every run feeds the same files
constexpr int kMutantsPerSeed = 500;

std::string fileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> seedFiles() {
    std::vector<std::string> seeds;
    for (const char* path :
         {KIRO_SOURCE_DIR "/examples/newtonian-200-f5.OPT",
          KIRO_SOURCE_DIR "/examples/spherical-mirror-r200.OPT",
          KIRO_SOURCE_DIR "/tests/data/legacy-ver099.OPT",
          KIRO_SOURCE_DIR "/tests/data/legacy-oldest.OPT", KIRO_SOURCE_DIR "/data/glass.dat"}) {
        seeds.push_back(fileBytes(path));
        EXPECT_FALSE(seeds.back().empty()) << path;
    }
    return seeds;
}

// Byte-level mutations of the kinds that break a reader: changed, inserted and removed
// bytes, repeated pieces, cuts, and tokens the reader gives a meaning to.
std::string mutate(std::string text, std::mt19937_64& random) {
    static const char* const kTokens[] = {
        "ver100", "ver099", "ver039", "version", "ver",  "21", "22",     "-",
        "\r\n",   "1e308",  "1e-400", "nan",     "-inf", "\0", "1.5abc", "99999999999"};
    const int steps = 1 + static_cast<int>(random() % 8);
    for (int step = 0; step < steps; ++step) {
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 7) {
        case 0:
            if (at < text.size()) {
                text[at] = static_cast<char>(random());
            }
            break;
        case 1:
            text.insert(at, 1, static_cast<char>(random()));
            break;
        case 2:
            text.erase(at, random() % 32);
            break;
        case 3:
            text.insert(at, text.substr(at, random() % 64));
            break;
        case 4:
            text.resize(at);
            break;
        case 5: {
            const char* token = kTokens[random() % std::size(kTokens)];
            text.insert(at, std::string(token, std::max<size_t>(1, std::strlen(token))) + " ");
            break;
        }
        default:
            text.insert(at, std::string(random() % 2000, static_cast<char>('0' + random() % 10)));
            break;
        }
    }
    return text;
}

void expectSoundDesign(const LensSystem& lens) {
    ASSERT_NE(std::memchr(lens.description, '\0', sizeof lens.description), nullptr);
    ASSERT_LE(surfaceCount(lens.surfaces), kSurfaceRows);
    for (const Surface& s : lens.surfaces) {
        ASSERT_NE(std::memchr(s.material, '\0', sizeof s.material), nullptr);
        for (double v :
             {s.x, s.y, s.z, s.nx, s.ny, s.nz, s.radius, s.a2, s.a3, s.a4, s.effectiveRadius}) {
            ASSERT_TRUE(std::isfinite(v));
        }
        for (double n : s.index) {
            ASSERT_TRUE(std::isfinite(n));
        }
    }
}

TEST(ReaderFuzzRegression, MutatedDesignFilesReadSoundlyAndWriteStably) {
    std::mt19937_64 random(kSeed);
    int accepted = 0;
    for (const std::string& seed : seedFiles()) {
        for (int i = 0; i < kMutantsPerSeed; ++i) {
            const std::string input = mutate(seed, random);
            LensSystem lens;
            clearLensSystem(lens);
            std::strcpy(lens.description, "kept");
            const std::string before = designFileText(lens);
            const DesignReadResult read = readDesignBytes(lens, input.data(), input.size());
            if (!read.accepted()) {
                ASSERT_EQ(designFileText(lens), before) << "refused mutant " << i;
                continue;
            }
            ++accepted;
            expectSoundDesign(lens);
            // What was read, once written, reads back whole to the same design.
            const std::string written = designFileText(lens);
            LensSystem again;
            ASSERT_EQ(readDesignBytes(again, written.data(), written.size()).status,
                      DesignReadStatus::Read);
            ASSERT_EQ(designFileText(again), written) << "seed mutant " << i;
        }
    }
    EXPECT_GT(accepted, kMutantsPerSeed); // most mutants are still designs
}

TEST(ReaderFuzzRegression, MutatedCataloguesLoadSoundly) {
    std::mt19937_64 random(kSeed + 1);
    for (const std::string& seed : seedFiles()) {
        for (int i = 0; i < kMutantsPerSeed; ++i) {
            const std::string input = mutate(seed, random);
            GlassCatalog catalog;
            ASSERT_EQ(loadGlassCatalogText(catalog, input.data(), input.size()), 1);
            ASSERT_LE(glassCount(catalog), kMaxGlasses);
            for (const GlassEntry& entry : catalog.entries) {
                ASSERT_NE(std::memchr(entry.name, '\0', sizeof entry.name), nullptr);
                for (double n : entry.index) {
                    ASSERT_TRUE(std::isfinite(n));
                }
            }
        }
    }
}

} // namespace
} // namespace kiro
