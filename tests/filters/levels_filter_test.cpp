#include "filters/levels_filter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/blend_arith.h"
#include "filters/filter_fixture.h"

namespace pg {
namespace {

using testing::FilterFixture;

std::array<uint32_t, 256> table(const SFltLevels& r) {
  std::array<uint32_t, 256> t{};
  buildLevelsTable(r, t);
  return t;
}

uint32_t red(uint32_t p) { return (p >> 16) & 0xFFu; }

TEST(Levels, Conversions) {
  struct Case {
    uint32_t v;
    int32_t fix;
  };
  for (const Case& k : {Case{0, 0}, Case{1, 257}, Case{128, 32897}, Case{255, 65536}}) EXPECT_EQ(levelToFix(k.v), k.fix);
  EXPECT_EQ(levelMidToFix(100), 65536);
  EXPECT_EQ(levelMidToFix(50), 32768);
  // Recorded mid-points outside 1..199 are taken at the nearest end.
  EXPECT_EQ(levelMidToFix(0), levelMidToFix(1));
  EXPECT_EQ(levelMidToFix(255), levelMidToFix(199));
  // Back to bytes with the factor 0.0038909912, a little below 255 / 65536.
  EXPECT_EQ(levelFixToByte(65536), 255u);
  EXPECT_EQ(levelFixToByte(32768), 127u);
  EXPECT_EQ(levelFixToByte(32769), 128u);
  EXPECT_EQ(levelFixToByte(0), 0u);
}

TEST(Levels, DefaultRecordIsTheIdentityInBothCurves) {
  for (uint8_t linear : {uint8_t{0}, uint8_t{1}}) {
    SFltLevels r;
    r.Linear = linear;
    const auto t = table(r);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(t[i], i * 0x01010101u) << "linear " << int{linear} << " i " << i;
  }
}

TEST(Levels, OutputRangeReversedInvertsTheChannel) {
  SFltLevels r;
  r.OutLow[0] = 255;
  r.OutHigh[0] = 0;
  const auto t = table(r);
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(t[i], ((255 - i) * 0x010101u) | (i << 24)) << i;
}

TEST(Levels, MidPointCurves) {
  // Mid-point 0.5: the linear curve takes 64 to about 128, the power curve is sqrt.
  SFltLevels r;
  r.Mid[0] = 50;
  EXPECT_EQ(red(table(r)[64]), 128u);
  for (int32_t x : {0, 1000, 16448, 40000, 65536})
    EXPECT_EQ(levelsCurve(x, 0, 32768, 65536, false), static_cast<int32_t>(std::sqrt(x / 65536.0) * 65536.0)) << x;
  // Mid-point above 1: the mirrored power.
  EXPECT_EQ(levelsCurve(32768, 0, levelMidToFix(150), 65536, false),
            65536 - static_cast<int32_t>(std::pow(0.5, (131072 - levelMidToFix(150)) / 65536.0) * 65536.0));
  // The channel's own mapping first, then the composite.
  SFltLevels c;
  c.InHigh[1] = 128;  // red doubles
  c.OutHigh[0] = 128;  // then everything halves
  const auto t = table(c);
  EXPECT_EQ(red(t[64]), 64u);
  EXPECT_EQ(t[64] & 0xFFFFu, 0x2020u);  // green and blue only halve
}

TEST(Levels, RecordedRangesTheDialogCannotMakeStayDefined) {
  // Input low = input high: a step at the level.
  EXPECT_EQ(levelsCurve(levelToFix(99), levelToFix(100), 65536, levelToFix(100), true), 0);
  EXPECT_EQ(levelsCurve(levelToFix(100), levelToFix(100), 65536, levelToFix(100), false), 65536);
  SFltLevels r;
  r.InLow = {100, 0, 0, 0};
  r.InHigh = {100, 255, 255, 255};
  auto t = table(r);
  EXPECT_EQ(red(t[99]), 0u);
  EXPECT_EQ(red(t[100]), 255u);
  // Mid-point bytes 0 and 255 in both curves, and a reversed input range.
  for (uint8_t mid : {uint8_t{0}, uint8_t{255}}) {
    for (uint8_t linear : {uint8_t{0}, uint8_t{1}}) {
      SFltLevels m;
      m.Mid = {mid, mid, mid, mid};
      m.Linear = linear;
      SFltLevels clamped = m;
      clamped.Mid.fill(mid == 0 ? 1 : 199);
      EXPECT_EQ(table(m), table(clamped)) << int{mid} << " linear " << int{linear};
    }
  }
  SFltLevels rev;
  rev.InLow[0] = 200;
  rev.InHigh[0] = 10;
  t = table(rev);
  EXPECT_EQ(red(t[255]), 0u);
  EXPECT_EQ(red(t[0]), 255u);
}

TEST(Levels, KernelMovesColourByTheSelectionAndKeepsAlpha) {
  SFltLevels r;
  r.InLow = {0, 30, 0, 0};
  r.InHigh = {220, 255, 200, 255};
  r.Mid = {120, 100, 80, 100};
  r.OutLow[3] = 40;
  const auto t = table(r);
  uint8_t bytes[SFltLevels::kSize];
  r.write(bytes);
  EXPECT_EQ(SFltLevels::read(bytes), r);

  for (bool protect : {false, true}) {
    FilterFixture f(37, 9);
    f.fillRandom(3);
    f.randomSelection(4);
    f.protectAlpha = protect;
    const SFlt4Context c = f.context();
    ASSERT_TRUE(levels4Kernel(&c, bytes, SFltLevels::kSize));
    for (int32_t y = 0; y < f.height(); ++y)
      for (int32_t x = 0; x < f.width(); ++x) {
        uint32_t p = f.original(x, y);
        const uint32_t lut = (t[p & 0xFF] & 0xFFu) | (t[(p >> 8) & 0xFF] & 0xFF00u) | (t[(p >> 16) & 0xFF] & 0xFF0000u);
        lerpPixelRgb(&p, lut, c.maskValue(c, x, y));
        ASSERT_EQ(f.pixel(x, y), p) << x << "," << y;
      }
  }

  FilterFixture g(4, 4);
  g.fillRandom(5);
  const SFlt4Context c = g.context();
  EXPECT_FALSE(levels4Kernel(&c, bytes, 16));
  EXPECT_FALSE(levels4Kernel(&c, nullptr, SFltLevels::kSize));
  EXPECT_TRUE(g.unchanged());
}

TEST(Histogram, BinsWeightedByCoverageAndAlpha) {
  FilterFixture f(4, 2);
  f.setPixels([](int32_t x, int32_t) {
    // red 20, 120, 220 and one transparent pixel of red 250
    const uint32_t reds[4] = {20, 120, 220, 250};
    return (x == 3 ? 0u : 0xFF000000u) | (reds[x] << 16) | 0x0A05u;
  });
  f.setSelection([](int32_t x, int32_t y) { return static_cast<uint8_t>(y == 0 ? 255 : (x == 0 ? 0 : 255)); });
  SHistogramData h;
  ASSERT_TRUE(computeHistogram(h, f.source.get(), {0, 0}, &f.mask, {0, 0, 4, 2}));
  const float one = 65025.0f * 1.5378e-05f;
  EXPECT_FLOAT_EQ(h.Bins[kHistRed][20], one);  // the unselected (0, 1) adds nothing
  EXPECT_FLOAT_EQ(h.Bins[kHistRed][120], 2 * one);
  EXPECT_EQ(h.Bins[kHistRed][250], 0.0f);  // alpha 0
  EXPECT_FLOAT_EQ(h.Total, 5 * one);
  EXPECT_EQ(h.Lowest[kHistRed], 20);
  EXPECT_EQ(h.Highest[kHistRed], 220);
  EXPECT_EQ(h.NonEmpty[kHistRed], 3);
  EXPECT_FLOAT_EQ(h.Largest[kHistRed], 2 * one);
  EXPECT_EQ(h.NonEmpty[kHistBlue], 1);
  EXPECT_FLOAT_EQ(h.Bins[kHistBlue][5], 5 * one);
  EXPECT_EQ(h.Lowest[kHistGrey], static_cast<int32_t>((20 * 19595 + 10 * 38469 + 5 * 7472) >> 16));

  // The levels dialog's automatic range from these bins: red 20..220.
  int32_t low = 0, high = 0;
  levelsAutoRange(h.Lowest[kHistRed], h.Highest[kHistRed], low, high);
  EXPECT_EQ(low, 20);
  EXPECT_EQ(high, 220);

  // A fully transparent region: empty, lowest 255 and highest 0.
  FilterFixture clear(3, 3);
  clear.fill(0x00FFFFFFu);
  ASSERT_TRUE(computeHistogram(h, clear.source.get(), {0, 0}, &clear.mask, {0, 0, 3, 3}));
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(h.NonEmpty[c], 0);
    EXPECT_EQ(h.Lowest[c], 255);
    EXPECT_EQ(h.Highest[c], 0);
  }
  EXPECT_EQ(h.Total, 0.0f);

  EXPECT_FALSE(computeHistogram(h, nullptr, {0, 0}, &clear.mask, {0, 0, 3, 3}));
  EXPECT_FALSE(computeHistogram(h, clear.source.get(), {0, 0}, nullptr, {0, 0, 3, 3}));
  EXPECT_FALSE(computeHistogram(h, clear.source.get(), {0, 0}, &clear.mask, {5, 0, 9, 3}));
}

TEST(Histogram, AutomaticLevels) {
  struct Case {
    int32_t lo, hi, threshold, low, high;
  };
  const Case cases[] = {
      {0, 0, 1, 0, 1},          // all black
      {10, 200, 105, 10, 200},  // spanning 10..200
      {255, 0, 128, 127, 255},  // empty channel
      {250, 255, 253, 250, 255},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(thresholdAutoLevel(k.lo, k.hi), k.threshold) << k.lo << ".." << k.hi;
    int32_t low = -1, high = -1;
    levelsAutoRange(k.lo, k.hi, low, high);
    EXPECT_EQ(low, k.low) << k.lo << ".." << k.hi;
    EXPECT_EQ(high, k.high) << k.lo << ".." << k.hi;
  }
}

}  // namespace
}  // namespace pg
