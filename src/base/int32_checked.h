#pragma once
// 32-bit counts and distances: an overflowing addition ends the running command with an error
// instead of wrapping silently.

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace vesk {

// Stands for "none" in distances and loop lengths.
inline constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();

inline std::int32_t checked_add(std::int32_t a, std::int32_t b) {
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) throw std::overflow_error("Integer overflow");
    return sum;
}

inline std::int32_t checked_sub(std::int32_t a, std::int32_t b) {
    std::int32_t diff = 0;
    if (__builtin_sub_overflow(a, b, &diff)) throw std::overflow_error("Integer overflow");
    return diff;
}

// Sizes of in-memory containers used as 32-bit positions.
template <typename Size>
std::int32_t checked_int32(Size size) {
    if (size > static_cast<Size>(std::numeric_limits<std::int32_t>::max()))
        throw std::overflow_error("Integer overflow");
    return static_cast<std::int32_t>(size);
}

}  // namespace vesk
