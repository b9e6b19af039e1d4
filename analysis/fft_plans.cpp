#include "analysis/fft_plans.h"

#include <fftw3.h>

#include <map>
#include <mutex>
#include <utility>

namespace kiro {

namespace {

enum class FftShape { Square, Line };

// Plans by shape and side. Held through a pointer that is never freed, so that the plans
// stay reachable (and usable by threads still running) until the program ends.
struct PlanCache {
    std::mutex lock;
    std::map<std::pair<FftShape, int>, fftw_plan> plans;
};

PlanCache& planCache() {
    static PlanCache* cache = new PlanCache;
    return *cache;
}

fftw_complex* asFftw(std::complex<double>* p) {
    return reinterpret_cast<fftw_complex*>(p);
}

fftw_plan planFor(FftShape shape, int side) {
    PlanCache& cache = planCache();
    const std::lock_guard<std::mutex> guard(cache.lock);
    const auto key = std::make_pair(shape, side);
    if (const auto found = cache.plans.find(key); found != cache.plans.end()) {
        return found->second;
    }
    // Estimated, not measured: measuring would overwrite the buffer and take seconds.
    const size_t count =
        shape == FftShape::Square ? static_cast<size_t>(side) * side : static_cast<size_t>(side);
    FftBuffer scratch(count);
    fftw_complex* data = asFftw(scratch.data());
    const fftw_plan plan =
        shape == FftShape::Square
            ? fftw_plan_dft_2d(side, side, data, data, FFTW_FORWARD, FFTW_ESTIMATE)
            : fftw_plan_dft_1d(side, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    cache.plans.emplace(key, plan);
    return plan;
}

} // namespace

FftBuffer::FftBuffer(size_t count)
    : data_(static_cast<std::complex<double>*>(fftw_malloc(sizeof(fftw_complex) * count))),
      count_(count) {
    for (size_t k = 0; k < count; ++k) {
        data_[k] = {};
    }
}

void FftBuffer::Release::operator()(std::complex<double>* p) const {
    fftw_free(p);
}

void forwardFft2d(FftBuffer& square, int side) {
    fftw_complex* data = asFftw(square.data());
    fftw_execute_dft(planFor(FftShape::Square, side), data, data);
}

void forwardFft1d(FftBuffer& values, int length) {
    fftw_complex* data = asFftw(values.data());
    fftw_execute_dft(planFor(FftShape::Line, length), data, data);
}

} // namespace kiro
