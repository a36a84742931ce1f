#include "brush/falloff_tables.h"

#include <gtest/gtest.h>

#include <cmath>

#include "brush/plot_merge.h"
#include "brush/plot_state.h"
#include "core/colour.h"

namespace pg {
namespace {

TEST(FalloffTables, MulDivRoundsHalfAwayFromZero) {
  struct Case {
    int32_t a, b, c, want;
  };
  const Case cases[] = {
      {0xFF0000, 1, 203, 82324},           // 82323.55
      {0xFF0000, 1024, 2047, 8359922},     // 8359921.99
      {5, 1, 2, 3},                        // 2.5
      {-5, 1, 2, -3},                      // -2.5
      {5, -1, 2, -3},
      {7, 3, 0, -1},                       // no divisor
      {0x7FFFFFFF, 0x7FFFFFFF, 1, -1},     // does not fit
      {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
  };
  for (const Case& c : cases) EXPECT_EQ(mulDivRound(c.a, c.b, c.c), c.want) << c.a << " " << c.b << " " << c.c;
}

TEST(FalloffTables, BuildersGiveTheirEndsAndShapes) {
  struct Case {
    uint8_t code;
    uint32_t first, middle, last;  // entries 0, 1023 and 2047
  };
  const Case cases[] = {
      {fcFlatRamp, kFullWeight, kFullWeight, 0},
      {fcCircle, kFullWeight, static_cast<uint32_t>(std::sqrt(1.0f - (1023.0f / 2047.0f) * (1023.0f / 2047.0f)) * 16711680.0f), 0},
      {fcSmooth, kFullWeight, 8361963, 0},
      {fcLinear, kFullWeight, 8359922, 0},
      {fcConcave, kFullWeight, 2241297, 0},
  };
  for (const Case& c : cases) {
    CurveTable t{};
    buildFalloffCurve(t, c.code);
    EXPECT_EQ(t[0], c.first) << int(c.code);
    EXPECT_NEAR(double(t[1023]), double(c.middle), 2.0) << int(c.code);
    EXPECT_EQ(t[2047], c.last) << int(c.code);
    for (int i = 1; i < kCurveTableSize; ++i) ASSERT_LE(t[i], t[i - 1]) << int(c.code) << " at " << i;
  }
}

TEST(FalloffTables, FlatRampHolds1844FullEntriesThenA204EntryRamp) {
  CurveTable t{};
  buildFlatRampCurve(t);
  for (int i = 0; i < 1844; ++i) ASSERT_EQ(t[i], kFullWeight) << i;
  EXPECT_EQ(t[1844], kFullWeight);            // j = 0
  EXPECT_EQ(t[1845], kFullWeight - 82324u);   // j = 1
  EXPECT_EQ(t[2047], 0u);                     // j = 203
}

TEST(FalloffTables, UnknownCurveCodesBuildTheFlatRamp) {
  CurveTable flat{};
  buildFlatRampCurve(flat);
  for (uint8_t code : {uint8_t(5), uint8_t(7), uint8_t(127), uint8_t(255)}) {
    EXPECT_EQ(falloffBuilderOf(code), fcFlatRamp) << int(code);
    CurveTable t{};
    buildFalloffCurve(t, code);
    EXPECT_EQ(t, flat) << int(code);
  }
  EXPECT_EQ(falloffBuilderOf(128 + fcCircle), fcCircle);  // the high bit is masked off
}

TEST(FalloffTables, LookupCurveIndexesByValueAndNeverPastTheEnd) {
  CurveTable t{};
  for (int i = 0; i < kCurveTableSize; ++i) t[i] = static_cast<uint32_t>(i);
  struct Case {
    uint32_t v, want;
  };
  const Case cases[] = {
      {0, 0},
      {0xFF0000, 2047u * 255u},
      {0x7F8000, ((0x7F8000u >> 13) * 2047u / 2040u) * 255u},
      {0xFF0000 + 0x2000, 2047u * 255u},  // past 255.0
      {0xFFFFFFFF, 2047u * 255u},
  };
  for (const Case& c : cases) EXPECT_EQ(lookupCurve(t, c.v), c.want) << std::hex << c.v;
  t[2047] = 0xFFFFFFFF;
  EXPECT_EQ(lookupCurve(t, 0xFF0000), 0xFFFFFFFFu);  // saturates
}

// The burn and dodge curve on the pixels it paints: burn (base above 1)
// darkens and dodge (base below 1) lightens; base 1 (effect 0) maps every
// entry to its own lightness.
TEST(FalloffTables, PowerCurveBurnsAndDodges) {
  auto lightness = [](uint32_t p) {
    SHls hls;
    pixelToHls(p, hls);
    return hls.Lightness;
  };
  const uint32_t pixels[] = {0xFF000000u, 0xFFFFFFFFu, 0xFF808080u, 0xFF604020u, 0x80C01020u,
                             0xFF0A0B0Cu, 0xFFF0E0D0u, 0xFF00FF00u, 0x00123456u};
  for (const int effect : {50, 100}) {
    const double k = 0.002 * effect;
    for (const double base : {1.0 + k, 1.0 / (1.0 + k)}) {
      SCOPED_TRACE(base);
      CurveTable curve{};
      buildPowerCurve(curve, base);
      for (uint32_t p : pixels) {
        uint32_t painted = p;
        blendPixelFalloff(curve, &painted, 0, 255);
        if (base > 1)
          EXPECT_LE(lightness(painted), lightness(p)) << std::hex << p;
        else
          EXPECT_GE(lightness(painted), lightness(p)) << std::hex << p;
        EXPECT_EQ(painted >> 24, p >> 24);
      }
      uint32_t mid = 0xFF808080u;
      blendPixelFalloff(curve, &mid, 0, 255);
      if (base > 1)
        EXPECT_LT(lightness(mid), lightness(0xFF808080u));
      else
        EXPECT_GT(lightness(mid), lightness(0xFF808080u));
    }
  }
  CurveTable t{};
  buildPowerCurve(t, 1.0);
  for (int32_t i = 0; i < kCurveTableSize; ++i) ASSERT_EQ(t[i], uint32_t(std::nearbyint(65536.0 * i / 2047.0))) << i;
  buildPowerCurve(t, -2.0);  // not a curve: no undefined conversion, 0^-2 saturates
  EXPECT_EQ(t[0], 0xFFFFFFFFu);
}

TEST(FalloffTables, PercentTables) {
  struct Case {
    const char* what;
    uint32_t got, want;
  };
  const Case cases[] = {
      {"byteOfPercent[0]", byteOfPercent[0], 2},
      {"byteOfPercent[50]", byteOfPercent[50], 130},
      {"byteOfPercent[100]", byteOfPercent[100], 255},
      {"percentOfByte[0]", percentOfByte[0], 0},
      {"percentOfByte[128]", percentOfByte[128], 50},
      {"percentOfByte[254]", percentOfByte[254], 99},
      {"percentOfByte[255]", percentOfByte[255], 100},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
  for (int p = 0; p <= 100; ++p) {
    EXPECT_EQ(percentOfByte[byteOfPercent[p]], p);
    if (byteOfPercent[p] < 255) {
      EXPECT_NE(percentOfByte[byteOfPercent[p] + 1], p);
    }
  }
}

}  // namespace
}  // namespace pg
