#pragma once
// Parameter words of the older filters as their packets carry them:
// little-endian 32-bit integers, floats by their bits.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace pg::test {

inline std::vector<uint8_t> words(std::initializer_list<uint32_t> v) {
  std::vector<uint8_t> out;
  for (uint32_t w : v)
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(w >> (8 * i)));
  return out;
}

inline uint32_t f32(float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

}  // namespace pg::test
