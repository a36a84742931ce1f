#include "filters/filter_resampler.h"

#include <gtest/gtest.h>

#include <random>

#include "filters/filter_fixture.h"
#include "filters/fixture_fills.h"

namespace pg {
namespace {

using testing::FilterFixture;
using testing::fillOpaque;

TEST(FilterResampler, SetUp) {
  FilterFixture f(7, 5);
  SFlt4Context c = f.context();
  c.blendMode = 5;  // overlay: neutral grey
  const CScaleImageFilter plain(c, 3, 4);
  EXPECT_EQ(plain.SrcSize, (SSize{8, 6}));
  EXPECT_EQ(plain.DstSize, (SSize{8, 6}));
  EXPECT_EQ(plain.StepX, 65536);
  EXPECT_EQ(plain.Option1, 3);
  EXPECT_EQ(plain.Option2, 4);
  EXPECT_EQ(plain.neutral(), 0x007F7F7Fu);
  c.protectAlpha = 1;
  EXPECT_EQ(CScaleImageFilter(c, 0, 0).neutral(), 0xFF7F7F7Fu);
}

TEST(FilterResampler, OutsideTheImageReadsTheNeutralColour) {
  for (uint8_t protect : {uint8_t{0}, uint8_t{1}}) {
    FilterFixture f(6, 6);
    fillOpaque(f, 1);
    SFlt4Context c = f.context();
    c.blendMode = 1;  // add: neutral black
    c.protectAlpha = protect;
    const CScaleImageFilter s(c, 0, 0);
    uint32_t out = 0x12345678u;
    s.sampleBox(out, -5 << 16, 1 << 16, -2 << 16, 3 << 16);
    EXPECT_EQ(out, protect ? 0xFF000000u : 0u);
    s.samplePoint(out, 20 << 16, 2 << 16);
    EXPECT_EQ(out, protect ? 0xFF000000u : 0u);
    // Half outside on the left: half the pixel, half the neutral colour.
    s.sampleBox(out, -1 << 16, 2 << 16, 1 << 16, 3 << 16);
    const uint32_t p = f.original(0, 2);
    const uint32_t expectedAlpha = protect ? 255u : 127u;
    EXPECT_EQ(out >> 24, expectedAlpha);
    EXPECT_NEAR(static_cast<int>((out >> 16) & 0xFF), static_cast<int>(((p >> 16) & 0xFF) / 2), 1);
  }
}

TEST(FilterResampler, CentredSamplesReproduceAnOpaqueImage) {
  FilterFixture f(9, 7);
  fillOpaque(f, 2);
  const SFlt4Context c = f.context();
  const CScaleImageFilter s(c, 0, 0);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 9; ++x) {
      uint32_t out = 0;
      s.samplePoint(out, (x << 16) + 0x8000, (y << 16) + 0x8000);
      ASSERT_EQ(out, f.original(x, y)) << x << "," << y;
      // A box of no width is one unit wide: it reads the pixel it lies in.
      s.sampleBox(out, (x << 16) + 5, (y << 16) + 9, (x << 16) + 5, (y << 16) + 9);
      ASSERT_EQ(out, f.original(x, y)) << x << "," << y;
    }
  // A 2 x 2 box averages four pixels.
  uint32_t out = 0;
  s.sampleBox(out, 2 << 16, 2 << 16, 4 << 16, 4 << 16);
  uint32_t sum = 0;
  for (int32_t y = 2; y < 4; ++y)
    for (int32_t x = 2; x < 4; ++x) sum += (f.original(x, y) >> 8) & 0xFF;
  EXPECT_EQ((out >> 8) & 0xFF, sum / 4);
}

TEST(FilterResampler, SelectionWeightsTheSource) {
  FilterFixture f(4, 4);
  f.fill(0xFF204060u);
  f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x == 0 ? 0 : (x == 1 ? 255 : 128)); });
  const SFlt4Context c = f.context();  // multiply: neutral white, alpha 0
  const CScaleImageFilter s(c, 0, 0);
  auto at = [&](int32_t x) {
    uint32_t out = 0;
    s.samplePoint(out, (x << 16) + 0x8000, 0x18000);
    return out;
  };
  EXPECT_EQ(at(0), 0x00FFFFFFu);  // unselected: the neutral colour
  EXPECT_EQ(at(1), 0xFF204060u);  // selected: the pixel
  EXPECT_EQ(at(2) >> 24, 128u);   // half selected: half of its alpha
}

}  // namespace
}  // namespace pg
