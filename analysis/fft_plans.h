#pragma once

#include <complex>
#include <cstddef>
#include <memory>

// Fourier transforms through FFTW 3. A plan is made once per size and kept for the life of
// the program; making one is not thread-safe in FFTW and is done under a lock, running one
// on other arrays is and is not.
namespace kiro {

// A buffer of complex numbers aligned as FFTW's plans expect (they are made on such
// buffers, so any FftBuffer may be handed to any plan of its size).
class FftBuffer {
  public:
    FftBuffer() = default;
    explicit FftBuffer(size_t count);
    std::complex<double>* data() { return data_.get(); }
    const std::complex<double>* data() const { return data_.get(); }
    size_t size() const { return count_; }
    std::complex<double>& operator[](size_t k) { return data_[k]; }
    const std::complex<double>& operator[](size_t k) const { return data_[k]; }

  private:
    struct Release {
        void operator()(std::complex<double>* p) const;
    };
    std::unique_ptr<std::complex<double>[], Release> data_;
    size_t count_ = 0;
};

// The forward transform of a side x side square (row by row), in place.
void forwardFft2d(FftBuffer& square, int side);

// The forward transform of `length` values, in place.
void forwardFft1d(FftBuffer& values, int length);

} // namespace kiro
