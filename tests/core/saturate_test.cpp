#include "core/saturate.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pg {
namespace {

TEST(Saturate, ValuesAreHeldToTheTargetRange) {
  static_assert(saturateTo<int32_t>(int64_t{1} << 40) == INT32_MAX);
  static_assert(saturateTo<int32_t>(-(int64_t{1} << 40)) == INT32_MIN);
  static_assert(saturateTo<int32_t>(int64_t{-5}) == -5);
  static_assert(saturateTo<uint16_t>(int64_t{-1}) == 0);
  static_assert(saturateTo<uint16_t>(int64_t{70000}) == 0xFFFF);
  static_assert(saturateTo<uint16_t>(int32_t{1234}) == 1234);
  static_assert(saturateTo<int16_t>(int32_t{-40000}) == INT16_MIN);
  static_assert(saturateTo<int16_t>(int32_t{40000}) == INT16_MAX);
  static_assert(saturateTo<uint8_t>(uint64_t{1} << 63) == 255);
  static_assert(saturateTo<int8_t>(uint32_t{200}) == 127);
  static_assert(saturateTo<uint32_t>(INT64_MIN) == 0);
  static_assert(saturateTo<uint32_t>(INT64_MAX) == UINT32_MAX);
  EXPECT_EQ(saturateByte(-1), 0u);
  EXPECT_EQ(saturateByte(128), 128u);
  EXPECT_EQ(saturateByte(int64_t{1} << 50), 255u);
  EXPECT_EQ(saturateByte(255) << 24, 0xFF000000u);  // wide enough to pack
}

}  // namespace
}  // namespace pg
