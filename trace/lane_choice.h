#pragma once

#include <bit>
#include <cstdint>

// A choice between two values already computed, made with a mask rather than a branch.
// The compiler may move a computation into the branch of a ternary that alone uses it,
// and a loop with such a branch is not vectorised; a mask keeps every lane's arithmetic
// unconditional. choose(c, a, b) is c ? a : b, bit for bit.
namespace kiro {

// For doubles and 64-bit integers alike: the bits are chosen, not the values.
template <typename T>
requires(sizeof(T) == sizeof(uint64_t))
#if defined(__GNUC__)
    inline __attribute__((always_inline))
#else
    inline
#endif
    T choose(bool c, T a, T b) {
    const uint64_t mask = uint64_t{0} - static_cast<uint64_t>(c);
    return std::bit_cast<T>((std::bit_cast<uint64_t>(a) & mask) |
                            (std::bit_cast<uint64_t>(b) & ~mask));
}

} // namespace kiro
