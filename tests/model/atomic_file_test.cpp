#include "model/atomic_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kiro {
namespace {

namespace fs = std::filesystem;

fs::path freshFolder(const char* name) {
    const fs::path folder =
        fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Temporary files of the target's naming, ".NAME.PID-N.tmp".
int leftoversOf(const fs::path& folder, const std::string& name) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        count += file.starts_with("." + name + ".") && file.ends_with(".tmp");
    }
    return count;
}

// A writer killed while it writes leaves its temporary file; the next save of the same
// target replaces the target and removes it.
TEST(AtomicFile, NextSaveRemovesTheTemporaryFileOfAKilledWriter) {
    const fs::path folder = freshFolder("kiro-killed-save");
    const fs::path target = folder / "design.OPT";
    ASSERT_TRUE(replaceFileAtomically(target.c_str(), "first"));
    // Large enough that writing and syncing it outlasts the kill by far.
    const std::string big(size_t{256} << 20, 'x');
    for (int attempt = 0; attempt < 5 && leftoversOf(folder, "design.OPT") == 0; ++attempt) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            replaceFileAtomically(target.c_str(), big);
            ::_exit(0);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (leftoversOf(folder, "design.OPT") == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    ASSERT_EQ(leftoversOf(folder, "design.OPT"), 1);
    EXPECT_EQ(contentOf(target), "first"); // the killed save changed nothing

    // A temporary file of a process that still runs (pid 1) is another save in progress.
    const fs::path running = folder / ".design.OPT.1-0.tmp";
    std::ofstream(running) << "in progress";
    // Files that only look alike stay too.
    const fs::path other = folder / ".design.OPT.x-0.tmp";
    std::ofstream(other) << "not ours";

    ASSERT_TRUE(replaceFileAtomically(target.c_str(), "second"));
    EXPECT_EQ(contentOf(target), "second");
    EXPECT_EQ(leftoversOf(folder, "design.OPT"), 2);
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(other));
    fs::remove_all(folder);
}

} // namespace
} // namespace kiro
