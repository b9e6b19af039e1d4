#pragma once

#include <algorithm>
#include <array>
#include <thread>

namespace kiro {

constexpr int kMaxPaintThreads = 8;

// Number of threads a paint shares its rays among: the machine's cores, at most
// kMaxPaintThreads, at least 1.
inline int paintThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(cores), 1, kMaxPaintThreads);
}

// Calls work(begin, end) on consecutive parts of [0, count), one part per thread; the
// calling thread takes the first part. The partition depends only on count and the
// thread count, and each part writes only its own results, so what the paint draws
// afterwards does not depend on how the threads were scheduled.
template <class Work> void runPartitioned(int count, int threads, Work&& work) {
    threads = std::clamp(threads, 1, std::min(kMaxPaintThreads, std::max(count, 1)));
    const auto partStart = [count, threads](int k) {
        return static_cast<int>(static_cast<long long>(count) * k / threads);
    };
    std::array<std::thread, kMaxPaintThreads> workers;
    for (int k = 1; k < threads; ++k) {
        const int begin = partStart(k);
        const int end = partStart(k + 1);
        try {
            workers[static_cast<size_t>(k)] =
                std::thread([&work, begin, end] { work(begin, end); });
        } catch (...) {
            // No thread to be had: this part runs here instead.
            work(begin, end);
        }
    }
    work(0, partStart(1));
    for (auto& worker : workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

} // namespace kiro
