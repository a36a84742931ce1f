#include "core/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pg {
namespace {

std::vector<uint32_t> draw(SRandomRange& rec, int n) {
  std::vector<uint32_t> out;
  for (int i = 0; i < n; ++i) out.push_back(nextRandomInRange(rec));
  return out;
}

TEST(RandomRange, KnownSequences) {
  struct Case {
    uint32_t seed, lo, hi;
    std::vector<uint32_t> values;
    uint32_t stateAfter;
  };
  const Case cases[] = {
      {0, 0, 255, {0, 8, 219, 51, 69, 171}, 2884733762u},
      {12345, 0, 255, {98, 73, 20, 141, 161, 87}, 1467157059u},
      {1, 100, 200, {103, 186, 120, 127, 167}, 2884733762u},
      // A negative low end stored as its two's complement: -10 .. 10.
      {7, static_cast<uint32_t>(-10), 10, {static_cast<uint32_t>(-6), 6, static_cast<uint32_t>(-5), 3,
                                           static_cast<uint32_t>(-9)}, 275106944u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    SRandomRange rec;
    initRandomRange(rec, c.seed, c.lo, c.hi);
    EXPECT_EQ(rec, (SRandomRange{c.seed, c.lo, c.hi, 0, c.seed}));
    EXPECT_EQ(draw(rec, static_cast<int>(c.values.size())), c.values);
    EXPECT_EQ(rec.Count, c.values.size());
    EXPECT_EQ(rec.Seed, c.seed);
    EXPECT_EQ(rec.State, c.stateAfter);
  }
}

TEST(RandomRange, StaysBelowHiAndSameSeedRepeats) {
  SRandomRange a, b;
  initRandomRange(a, 0xDEADBEEF, 0, 255);
  initRandomRange(b, 0xDEADBEEF, 0, 255);
  bool sawTop = false;
  for (int i = 0; i < 100000; ++i) {
    uint32_t v = nextRandomInRange(a);
    ASSERT_LT(v, 255u);
    sawTop |= v == 254;
    ASSERT_EQ(nextRandomInRange(b), v);
  }
  EXPECT_TRUE(sawTop);

  SRandomRange flat;
  initRandomRange(flat, 99, 17, 17);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(nextRandomInRange(flat), 17u);
}

TEST(RandomRange, Primitives) {
  EXPECT_EQ(lcgNext(0), 1u);
  EXPECT_EQ(lcgNext(1), 134775814u);
  EXPECT_EQ(lcgNext(0xFFFFFFFFu), static_cast<uint32_t>(-134775813 + 1));
  EXPECT_EQ(mulHigh32(0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFEu);
  EXPECT_EQ(mulHigh32(255, 0x80000000u), 127u);
}

}  // namespace
}  // namespace pg
