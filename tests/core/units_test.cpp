#include "core/units.h"

#include <gtest/gtest.h>

namespace pg {
namespace units_test {

TEST(Units, ConversionsAtAResolution) {
  struct Case {
    int32_t from, to;
    float res, value, expected;
  };
  const Case cases[] = {
      {kUnitPixel, kUnitInch, 300, 300, 1.0f},
      {kUnitPixel, kUnitCm, 300, 300, 2.54f},
      {kUnitPixel, kUnitMm, 300, 300, 25.4f},
      {kUnitPixel, kUnitPixel, 300, 300, 300.0f},
      {kUnitCm, kUnitPixel, 72, 10, static_cast<float>(10.0 * 72 / 2.54)},  // 283.46...
      {kUnitInch, kUnitPixel, 72, 2.5f, 180.0f},
      {kUnitMm, kUnitPixel, 254, 10, 100.0f},
      {kUnitInch, kUnitCm, 1, 2, 5.08f},
      {kUnitInch, kUnitMm, 1, 2, 50.8f},
      {kUnitCm, kUnitInch, 1, 2.54f, 1.0f},
      {kUnitMm, kUnitInch, 1, 25.4f, 1.0f},
      {kUnitCm, kUnitMm, 1, 1.5f, 15.0f},
      {kUnitMm, kUnitCm, 1, 15, 1.5f},
      {kUnitCm + 128, kUnitMm + 256, 1, 1.5f, 15.0f},  // masked with 127
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " -> " << c.to << " of " << c.value);
    EXPECT_FLOAT_EQ(convertUnit(c.from, c.to, c.res, c.value), c.expected);
  }
  EXPECT_NEAR(convertUnit(kUnitCm, kUnitPixel, 72, 10), 283.46f, 0.005f);
}

TEST(Units, PercentAndBadResolutionsLeaveTheValue) {
  EXPECT_EQ(convertUnit(kUnitPercent, kUnitPixel, 72, 50), 50.0f);
  EXPECT_EQ(convertUnit(kUnitPixel, kUnitPercent, 72, 50), 50.0f);
  EXPECT_EQ(convertUnit(90, kUnitInch, 72, 50), 50.0f);
  EXPECT_EQ(convertUnit(kUnitPixel, kUnitInch, 0, 50), 50.0f);
  EXPECT_EQ(convertUnit(kUnitCm, kUnitPixel, -3, 50), 50.0f);
  EXPECT_FLOAT_EQ(convertUnit(kUnitCm, kUnitMm, 0, 5), 50.0f);  // needs no resolution
}

TEST(Units, NamesAndLabels) {
  const char* names[] = {"pixel", "inch", "cm", "mm", "%"};
  const char* labels[] = {"px", "in", "cm", "mm", "%"};
  for (int32_t u = 0; u < kUnitCount; ++u) {
    EXPECT_EQ(unitName(u), names[u]);
    EXPECT_EQ(unitLabel(u), labels[u]);
  }
  EXPECT_TRUE(unitName(5).empty());
  EXPECT_TRUE(unitLabel(-1).empty());
}

TEST(Units, SizeAndResolutionLimits) {
  float lo = 0, hi = 0;
  unitSizeLimits(lo, hi, kUnitInch, 100);
  EXPECT_FLOAT_EQ(lo, 0.08f);
  EXPECT_FLOAT_EQ(hi, 100.0f);
  unitSizeLimits(lo, hi, kUnitPixel, 100);
  EXPECT_EQ(lo, 8.0f);
  EXPECT_EQ(hi, 10000.0f);

  struct Case {
    float size, min, max;
  };
  const Case cases[] = {
      {100, 72, 100}, {1, 72, 600}, {0.05f, 160, 600},
      {0, 72, 600},   {-2, 72, 600}, {0.01f, 600, 600},  // no resolution fits: the cap holds
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    resolutionLimitsForSize(lo, hi, c.size);
    EXPECT_FLOAT_EQ(lo, c.min);
    EXPECT_FLOAT_EQ(hi, c.max);
  }
}

}  // namespace units_test
}  // namespace pg
