#pragma once

#include <bit>
#include <cstdint>

// A choice between two values already computed, made with a mask rather than a branch.
// The compiler may move a computation into the branch of a ternary that alone uses it,
// and a loop with such a branch is not vectorised; a mask keeps every lane's arithmetic
// unconditional. choose(c, a, b) is c ? a : b, bit for bit.
namespace kiro {

#if defined(__GNUC__)
inline __attribute__((always_inline))
#else
inline
#endif
double
choose(bool c, double a, double b) {
    const uint64_t mask = uint64_t{0} - static_cast<uint64_t>(c);
    return std::bit_cast<double>((std::bit_cast<uint64_t>(a) & mask) |
                                 (std::bit_cast<uint64_t>(b) & ~mask));
}

#if defined(__GNUC__)
inline __attribute__((always_inline))
#else
inline
#endif
int64_t
choose(bool c, int64_t a, int64_t b) {
    const uint64_t mask = uint64_t{0} - static_cast<uint64_t>(c);
    return static_cast<int64_t>((static_cast<uint64_t>(a) & mask) |
                                (static_cast<uint64_t>(b) & ~mask));
}

} // namespace kiro
