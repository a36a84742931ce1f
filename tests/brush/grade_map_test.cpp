#include "brush/grade_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace pg {
namespace {

TEST(GradeMapParam, PerMilleValues) {
  struct Case {
    float in;
    int32_t stored;
  };
  const Case cases[] = {
      {0.0f, 0},      {0.5f, 500},     {0.1234f, 123}, {0.1236f, 124}, {1.0f, 1000},
      {1.7f, 1000},   {-0.3f, 0},      {std::numeric_limits<float>::quiet_NaN(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    SGradeMapParam p;
    p.value1 = 400;
    EXPECT_EQ(p.setValue1(c.in), 0.4f);  // answers the previous fraction
    EXPECT_EQ(p.value1, c.stored);
    p.setValue2(c.in);
    EXPECT_EQ(p.value2, c.stored);
  }
  SGradeMapParam p;
  p.type = 5;
  p.value1 = 7;
  p.init();
  EXPECT_EQ(p, (SGradeMapParam{3, 0, 0}));
}

TEST(GradeTables, ExamplesOfTheLinearProfile) {
  std::vector<uint32_t> first(2048), second(2048);
  SGradeMapParam p;  // type 3, values 0
  ASSERT_TRUE(buildGradeTables(p, first.data(), second.data(), 2048));
  EXPECT_EQ(first[0], 0xFF0000u);
  EXPECT_EQ(first[2047], 0u);
  EXPECT_EQ(first[1023], static_cast<uint32_t>((1.0 - 1023.0 / 2047.0) * 0xFF0000));
  // The second table takes the squared distance: entry i is the weight at sqrt(i / 2047).
  EXPECT_EQ(second[0], 0xFF0000u);
  EXPECT_EQ(second[2047], 0u);
  EXPECT_EQ(second[512], static_cast<uint32_t>((1.0 - std::sqrt(512.0 / 2047.0)) * 0xFF0000));
}

TEST(GradeTables, CoreAndFloor) {
  std::vector<uint32_t> first(2048), second(2048);
  SGradeMapParam full{3, 1000, 0};
  EXPECT_TRUE(buildGradeTables(full, first.data(), second.data(), 2048));
  for (int i = 0; i < 2048; ++i) {
    ASSERT_EQ(first[i], 0xFF0000u) << i;
    ASSERT_EQ(second[i], 0xFF0000u) << i;
  }
  SGradeMapParam floor{3, 0, 500};
  EXPECT_TRUE(buildGradeTables(floor, first.data(), nullptr, 2048));
  EXPECT_EQ(first[2047], 0x7F8000u);
  EXPECT_EQ(first[0], 0xFF0000u);
  // A core of half the radius: flat to the middle, then the profile over the rest.
  SGradeMapParam core{3, 500, 0};
  std::vector<uint32_t> odd(2049);
  EXPECT_TRUE(buildGradeTables(core, odd.data(), nullptr, 2049));
  EXPECT_EQ(odd[1024], 0xFF0000u);
  EXPECT_EQ(odd[1536], static_cast<uint32_t>(0.5 * 0xFF0000));
  // Values from a recording beyond their range count as their nearest end.
  SGradeMapParam wild{3, 5000, -20};
  EXPECT_TRUE(buildGradeTables(wild, first.data(), nullptr, 2048));
  EXPECT_EQ(first[2047], 0xFF0000u);
  // Every profile stays within 0..0xFF0000 and falls from the centre.
  for (int32_t type = -1; type <= 6; ++type) {
    SGradeMapParam any{type, 100, 50};
    EXPECT_TRUE(buildGradeTables(any, first.data(), second.data(), 2048));
    for (int i = 0; i < 2048; ++i) {
      ASSERT_LE(first[i], 0xFF0000u);
      ASSERT_LE(second[i], 0xFF0000u);
      if (i > 0) {
        ASSERT_LE(first[i], first[i - 1]) << "type " << type << " entry " << i;
      }
    }
  }
}

TEST(GradeTables, RefusedSizes) {
  uint32_t one[1] = {7};
  EXPECT_FALSE(buildGradeTables(SGradeMapParam{}, one, nullptr, 1));
  EXPECT_EQ(one[0], 7u);
  EXPECT_FALSE(buildGradeTables(SGradeMapParam{}, nullptr, nullptr, 2048));
}

TEST(GradeMapObj, CreateAndSetParam) {
  CGradeMapObj map(2048);
  ASSERT_TRUE(map.valid());
  EXPECT_EQ(map.count(), 2048);
  EXPECT_EQ(map.lastIndex(), 2047);
  EXPECT_EQ(map.param(), SGradeMapParam{});
  EXPECT_EQ(map.firstTable()[0], 0xFF0000u);
  EXPECT_EQ(map.firstTable()[2047], 0u);

  EXPECT_FALSE(map.setParam(SGradeMapParam{}));  // equal: tables kept
  EXPECT_TRUE(map.setParam(SGradeMapParam{3, 0, 500}));
  EXPECT_EQ(map.firstTable()[2047], 0x7F8000u);
  EXPECT_EQ(map.secondTable()[2047], 0x7F8000u);

  // Weights by 16.16 distance over radius.
  EXPECT_EQ(map.weightAt(0), 0xFF0000u);
  EXPECT_EQ(map.weightAt(0x10000), 0x7F8000u);
  EXPECT_EQ(map.weightAt(0x7FFFFFFF), 0x7F8000u);
  EXPECT_EQ(map.weightAt(-5), 0xFF0000u);
  EXPECT_EQ(map.weightAt(0x8000), map.firstTable()[(0x8000 * 2047) >> 16]);

  for (int32_t n : {-1, 0, 1, CGradeMapObj::kMaxEntries + 1}) {
    SCOPED_TRACE(n);
    CGradeMapObj bad(n);
    EXPECT_FALSE(bad.valid());
    EXPECT_EQ(bad.firstTable(), nullptr);
    EXPECT_EQ(bad.count(), 0);
    EXPECT_EQ(bad.weightAt(0x4000), 0xFF0000u);
  }
  CGradeMapObj two(2);
  ASSERT_TRUE(two.valid());
  EXPECT_EQ(two.firstTable()[1], 0u);
}

}  // namespace
}  // namespace pg
