#include "trace/parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kiro {

int threadCount(int requested, int limit) {
    limit = std::max(limit, 1);
    if (requested > 0) {
        return std::min(requested, limit);
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<unsigned>(cores, 1u, static_cast<unsigned>(limit)));
}

void runChunks(int threads, int64_t count, const std::function<void(int64_t)>& task,
               const std::function<void()>& tick) {
    if (count <= 0) {
        return;
    }
    const int used = static_cast<int>(std::clamp<int64_t>(threads, 1, count));
    std::atomic<int64_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    int running = used;

    auto work = [&] {
        for (int64_t i = next.fetch_add(1, std::memory_order_relaxed); i < count;
             i = next.fetch_add(1, std::memory_order_relaxed)) {
            task(i);
        }
        const std::lock_guard<std::mutex> lock(mutex);
        if (--running == 0) {
            finished.notify_one();
        }
    };

    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(used));
    for (int t = 0; t < used; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            // The system gave no more threads: those started share all the chunks.
            const std::lock_guard<std::mutex> lock(mutex);
            running -= used - t;
            break;
        }
    }
    if (pool.empty()) {
        ++running;
        work();
    }
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!finished.wait_for(lock, kProgressInterval, [&] { return running == 0; })) {
            lock.unlock();
            if (tick) {
                tick();
            }
            lock.lock();
        }
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
}

} // namespace kiro
