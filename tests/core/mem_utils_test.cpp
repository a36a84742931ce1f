#include "core/mem_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pg {
namespace {

TEST(MemUtils, CompareMemAnswersSignOfFirstDifferenceUnsigned) {
  struct Case {
    std::vector<uint8_t> a, b;
    size_t n;
    int expected;
  };
  const Case cases[] = {
      {{1, 2, 3}, {1, 2, 3}, 3, 0},  {{1, 2, 3}, {1, 9, 0}, 3, -1}, {{1, 9, 0}, {1, 2, 3}, 3, 1},
      {{0x80}, {0x7F}, 1, 1},        // compared unsigned
      {{5}, {6}, 0, 0},              // nothing to compare
      {{1, 2, 3}, {1, 2, 4}, 2, 0},  // the difference lies past n
  };
  for (const Case& c : cases) EXPECT_EQ(compareMem(c.a.data(), c.b.data(), c.n), c.expected);
}

TEST(MemUtils, FillsAndReverse) {
  uint8_t buf[11];
  std::memset(buf, 0xEE, sizeof buf);
  fillMem32(buf, 0x44332211u, 10);  // two dwords, then two bytes of the low byte
  const uint8_t expected[11] = {0x11, 0x22, 0x33, 0x44, 0x11, 0x22, 0x33, 0x44, 0x11, 0x11, 0xEE};
  EXPECT_EQ(std::memcmp(buf, expected, 11), 0);

  fillDWords(buf + 1, 0xAABBCCDDu, 3);  // unaligned, fewer than four bytes
  EXPECT_EQ(buf[1], 0xDD);
  EXPECT_EQ(buf[3], 0xDD);
  EXPECT_EQ(buf[4], 0x11);

  fillMemByte(buf, 7, 5);
  fillBytes(buf + 5, 9, 2);
  const uint8_t filled[8] = {7, 7, 7, 7, 7, 9, 9, 0x44};
  EXPECT_EQ(std::memcmp(buf, filled, 8), 0);

  uint8_t r[5] = {1, 2, 3, 4, 5};
  reverseBytes(r, 5);
  EXPECT_EQ(std::vector<uint8_t>(r, r + 5), (std::vector<uint8_t>{5, 4, 3, 2, 1}));
  reverseBytes(r, 4);
  EXPECT_EQ(std::vector<uint8_t>(r, r + 5), (std::vector<uint8_t>{2, 3, 4, 5, 1}));
  reverseBytes(r, 0);

  uint8_t dst[7] = {};
  const uint8_t src[7] = {1, 2, 3, 4, 5, 6, 7};
  copyMem(dst, src, 7);
  EXPECT_EQ(std::memcmp(dst, src, 7), 0);
  copyBytes(dst, src + 4, 3);
  EXPECT_EQ(dst[0], 5);
  copyMem(dst, src, 0);
  EXPECT_EQ(dst[0], 5);
}

TEST(MemUtils, BlocksAreZeroFilledAndFailuresAnswerNull) {
  auto* p = static_cast<uint8_t*>(allocBlock(64));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(p[i], 0);
  std::memset(p, 0xAB, 64);
  p = static_cast<uint8_t*>(reallocBlock(p, 64, 128));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[63], 0xAB);  // kept
  for (int i = 64; i < 128; ++i) ASSERT_EQ(p[i], 0) << i;  // grown part zero

  std::vector<size_t> asked;
  AllocFailHook old = setAllocFailHook([&](size_t bytes) {
    asked.push_back(bytes);
    return true;
  });
  EXPECT_EQ(allocBlock(10), nullptr);
  EXPECT_EQ(reallocBlock(p, 128, 256), nullptr);  // p stays valid and owned by us
  setAllocFailHook(old);
  EXPECT_EQ(asked, (std::vector<size_t>{10, 256}));
  EXPECT_EQ(p[0], 0xAB);

  EXPECT_EQ(reallocBlock(p, 128, 0), nullptr);  // frees
  EXPECT_EQ(allocBlock(0), nullptr);
  freeBlock(nullptr);
}

}  // namespace
}  // namespace pg
