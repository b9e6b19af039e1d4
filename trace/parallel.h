#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace kiro {

constexpr std::chrono::milliseconds kProgressInterval{100};

// Runs task(i) for i = 0 .. count - 1 on up to `threads` new threads, which take the
// indices in increasing order as they become free. The calling thread only waits and
// calls tick() about every kProgressInterval. When this returns every task has finished
// and everything it wrote is visible to the caller (the threads are joined).
void runChunks(int threads, int64_t count, const std::function<void(int64_t)>& task,
               const std::function<void()>& tick);

} // namespace kiro
