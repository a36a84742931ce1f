#pragma once
// Saturating narrowing: an integer held to the range of a smaller integer
// type instead of wrapping, the one form every kernel and record uses.
#include <algorithm>
#include <concepts>
#include <cstdint>
#include <limits>

namespace pg {

template <std::integral To, std::integral From>
constexpr To saturateTo(From v) {
  using Wide = std::conditional_t<std::is_signed_v<From>, int64_t, uint64_t>;
  constexpr To lo = std::numeric_limits<To>::min();
  constexpr To hi = std::numeric_limits<To>::max();
  if constexpr (std::is_signed_v<From>) {
    if (int64_t(v) < int64_t(lo)) return lo;
    if (std::is_signed_v<To> ? int64_t(v) > int64_t(hi) : v > 0 && uint64_t(v) > uint64_t(hi)) return hi;
  } else {
    if (uint64_t(v) > uint64_t(hi)) return hi;
  }
  return static_cast<To>(static_cast<Wide>(v));
}

// A value held to 0..255, widened for packing into a pixel.
constexpr uint32_t saturateByte(int64_t v) { return saturateTo<uint8_t>(v); }

}  // namespace pg
