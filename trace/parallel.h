#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>

// Sharing rays among threads: the paints' partitions, the designer's slices and the
// optimizer's chunks all run through runChunks.
namespace kiro {

constexpr std::chrono::milliseconds kProgressInterval{100};
constexpr int kMaxPaintThreads = 8;

// requested threads when above 0, else the machine's cores (at least 1); at most limit.
int threadCount(int requested, int limit);

// Number of threads a paint shares its rays among: the machine's cores, at most
// kMaxPaintThreads.
inline int paintThreadCount() {
    return threadCount(0, kMaxPaintThreads);
}

// Runs task(i) for i = 0 .. count - 1 on up to `threads` new threads, which take the
// indices in increasing order as they become free. The calling thread only waits and
// calls tick() (when given) about every kProgressInterval. When this returns every task
// has finished and everything it wrote is visible to the caller (the threads are joined).
void runChunks(int threads, int64_t count, const std::function<void(int64_t)>& task,
               const std::function<void()>& tick);

// Calls work(begin, end) on consecutive parts of [0, count), one part per thread. The
// partition depends only on count and the thread count, and each part writes only its
// own results, so what a paint draws afterwards does not depend on how the threads were
// scheduled.
template <class Work> void runPartitioned(int count, int threads, Work&& work) {
    const int parts = std::clamp(threads, 1, std::min(kMaxPaintThreads, std::max(count, 1)));
    const auto partStart = [count, parts](int64_t k) {
        return static_cast<int>(static_cast<int64_t>(count) * k / parts);
    };
    if (parts == 1) {
        work(0, count);
        return;
    }
    runChunks(parts, parts, [&](int64_t k) { work(partStart(k), partStart(k + 1)); }, {});
}

} // namespace kiro
