#include "core/fixed_point.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace pg {
namespace {

TEST(FixedPoint, FloorAndCeil) {
  struct Case {
    int32_t v, floor, ceil, ceilFix, frac;
  };
  const Case cases[] = {
      {65536, 1, 1, 65536, 0},     {65537, 1, 2, 131072, 1},      {-65536, -1, -1, -65536, 0},
      {-1, -1, 0, 0, 0xFFFF},      {0, 0, 0, 0, 0},               {-65537, -2, -1, -65536, 0xFFFF},
      {32768, 0, 1, 65536, 32768}, {-32768, -1, 0, 0, 32768},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.v);
    EXPECT_EQ(fixFloor(c.v), c.floor);
    EXPECT_EQ(fixFloor2(c.v), c.floor);
    EXPECT_EQ(fixCeil(c.v), c.ceil);
    EXPECT_EQ(fixCeilFix(c.v), c.ceilFix);
    EXPECT_EQ(fixFrac(c.v), c.frac);
  }
}

TEST(FixedPoint, RoundingIsTiesToEven) {
  struct Case {
    float f;
    int32_t rounded;
  };
  const Case cases[] = {{2.5f, 2}, {3.5f, 4}, {-2.5f, -2}, {-3.5f, -4}, {2.4999f, 2}, {0.5f, 0}, {1.5f, 2}};
  for (const Case& c : cases) EXPECT_EQ(roundF(c.f), c.rounded) << c.f;

  EXPECT_EQ(floatToFix(0.5f), 32768);
  EXPECT_EQ(floatToFix(-0.5f), -32768);
  EXPECT_EQ(floatToFix(1.0f / 3.0f), 21845);
  EXPECT_EQ(floatToFix(0.5f / 65536.0f), 0);  // exactly half a unit: to the even neighbour
  EXPECT_EQ(floatToFix(1.5f / 65536.0f), 2);
}

TEST(FixedPoint, OutOfRangeResultsSaturateAndNaNGivesZero) {
  EXPECT_EQ(roundF(1e10f), INT_MAX);
  EXPECT_EQ(roundF(-1e10f), INT_MIN);
  EXPECT_EQ(roundF(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(floatToFix(40000.0f), INT_MAX);
  EXPECT_EQ(fixDiv(1, 0), INT_MAX);
  EXPECT_EQ(fixDiv(-1, 0), INT_MIN);
  EXPECT_EQ(fixDiv(0, 0), 0);
  EXPECT_EQ(fixSqrt(-1), 0);
  EXPECT_EQ(fixDivU(7, 0), 0xFFFFFFFFu);
  EXPECT_EQ(fixDivU(0x10000, 1), 0xFFFFFFFFu);
}

TEST(FixedPoint, Arithmetic) {
  struct MulCase {
    int32_t a, b, product;
  };
  const MulCase muls[] = {{2 << 16, 3 << 16, 6 << 16}, {-1, 1, -1}, {-65536, 32768, -32768},
                          {98304, 98304, 147456},      {1, 1, 0},   {INT_MAX, 65536, INT_MAX}};
  for (const MulCase& c : muls) EXPECT_EQ(fixMul(c.a, c.b), c.product) << c.a << " * " << c.b;

  struct DivCase {
    int32_t a, b, quotient;
  };
  const DivCase divs[] = {{1, 3, 21845}, {1, 2, 32768}, {-1, 3, -21845}, {1, 131072, 0}, {3, 131072, 2},
                          {10, 4, 163840}};
  for (const DivCase& c : divs) EXPECT_EQ(fixDiv(c.a, c.b), c.quotient) << c.a << " / " << c.b;

  EXPECT_EQ(fixDivU(1, 3), 21845u);
  EXPECT_EQ(fixDivU(2, 3), 43690u);  // floor, not round
  EXPECT_EQ(fixDivU(5, 5), 65536u);

  EXPECT_EQ(fixSqrt(4 << 16), 2 << 16);
  EXPECT_EQ(fixSqrt(2 << 16), 92682);  // 1.41421356 * 65536 = 92681.9
  EXPECT_EQ(fixHypot(3 << 16, 4 << 16), 5 << 16);
  EXPECT_EQ(fixHypot(-(3 << 16), 4 << 16), 5 << 16);
  EXPECT_EQ(fixToFloat(98304), 1.5f);
  EXPECT_EQ(fixPointToFloat({65536, -32768}), (TPointF{1.0f, -0.5f}));
  EXPECT_EQ(kFixHalf, 32768);
}

}  // namespace
}  // namespace pg
