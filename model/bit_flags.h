#pragma once

#include <type_traits>

namespace kiro {

// Enums whose values are single bits opt in here; their values then combine with |.
template <class E> inline constexpr bool kIsFlagEnum = false;

// A set of an enum's bit values. Its number (bits()) is what settings and command lines
// have always stored, so fromBits(bits()) is the same set.
template <class E> class Flags {
  public:
    using Bits = std::underlying_type_t<E>;

    constexpr Flags() = default;
    constexpr Flags(E flag) : bits_(static_cast<Bits>(flag)) {}
    static constexpr Flags fromBits(Bits bits) {
        Flags flags;
        flags.bits_ = bits;
        return flags;
    }

    constexpr Bits bits() const { return bits_; }
    constexpr bool has(E flag) const { return (bits_ & static_cast<Bits>(flag)) != 0; }
    constexpr Flags& set(E flag, bool on = true) {
        bits_ = on ? (bits_ | static_cast<Bits>(flag)) : (bits_ & ~static_cast<Bits>(flag));
        return *this;
    }
    constexpr Flags& operator|=(Flags other) {
        bits_ |= other.bits_;
        return *this;
    }
    friend constexpr Flags operator|(Flags a, Flags b) { return a |= b; }
    constexpr bool operator==(const Flags&) const = default;

  private:
    Bits bits_ = 0;
};

template <class E>
requires kIsFlagEnum<E>
constexpr Flags<E> operator|(E a, E b) {
    return Flags<E>(a) | b;
}

} // namespace kiro
