// The lighting filter: lamps, the ambient term, the kernel, and golden
// pictures of each kind of lamp.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "filter_fixture.h"
#include "filters/lighting_filter.h"

namespace pg {
namespace {

using testing::FilterFixture;

bool lit(FilterFixture& f, const SFltLightingHeader& h, const SLight4& l) {
  const SLightingRecord rec(h, l);
  const SFlt4Context ctx = f.context();
  return lightingKernel(&ctx, &rec.record, int32_t(SFltRecord::kWireSize));
}

SLight4 pointAt(float x, float y, int32_t height, int32_t range = 100) {
  SLight4 l = defaultLight();
  l.X = x;
  l.Y = y;
  l.Height = height;
  l.Range = range;
  return l;
}

TEST(LightingFilter, TheAmbientTermAlone) {
  // A lamp far outside its range adds nothing.
  const SLight4 away = pointAt(40.0f, 40.0f, 0, 1);
  {
    FilterFixture f(8, 6);
    f.fillRandom(3);
    ASSERT_TRUE(lit(f, {0xFFFFFFFFu, 100}, away));
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(f.pixel(x, y), f.original(x, y));
  }
  {
    FilterFixture f(8, 6);
    f.fillRandom(4);
    ASSERT_TRUE(lit(f, {0xFFFFFFFFu, 0}, away));
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(f.pixel(x, y), f.original(x, y) & 0xFF000000u);
  }
  EXPECT_EQ(ambientOffset(255, 100), 0);
  EXPECT_EQ(ambientOffset(255, 0), -255);
  EXPECT_EQ(ambientOffset(199, 50), 99 - 255);
  EXPECT_EQ(ambientOffset(100, -100), -355);
}

TEST(LightingFilter, LampsAtAPoint) {
  struct Case {
    const char* what;
    SLight4 light;
    double x, y;
    int32_t r, g, b;
  };
  SLight4 down = lightKindDefaults(lkSpot);
  down.Pitch = 0.0f;  // straight down
  down.X = down.Y = 0.5f;
  SLight4 away = down;
  away.Pitch = float(std::numbers::pi / 2);  // level, pointing along +x
  away.Direction = 0.0f;
  SLight4 full = pointAt(0.5f, 0.5f, 0, 100);
  full.Colour = 0xFF102030u;
  full.Intensity = 100;
  const Case cases[] = {
      // Directly above at height 0: the full colour.
      {"point on the spot", full, 50.0, 50.0, 0x10, 0x20, 0x30},
      // Half the range away: cos^2(pi/4) = 0.5.
      {"point half way", full, 100.0, 50.0, 8, 16, 24},
      {"point beyond its range", full, 160.0, 50.0, 0, 0, 0},
      // A beam pointing away from the pixel adds nothing.
      {"spot pointing away", away, 10.0, 50.0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    CLightEval lamp;
    ASSERT_TRUE(lamp.setup(c.light, 100, 100)) << c.what;
    int32_t r = -1, g = -1, b = -1;
    lamp.evaluate(c.x, c.y, r, g, b);
    EXPECT_EQ(r, c.r) << c.what;
    EXPECT_EQ(g, c.g) << c.what;
    EXPECT_EQ(b, c.b) << c.what;
  }
  // A spot straight down lights the pixel under it, less at its rim.
  CLightEval spot;
  ASSERT_TRUE(spot.setup(down, 100, 100));
  int32_t r0 = 0, g0 = 0, b0 = 0, r1 = 0, g1 = 0, b1 = 0;
  spot.evaluate(50.0, 50.0, r0, g0, b0);
  spot.evaluate(53.0, 50.0, r1, g1, b1);
  EXPECT_GT(r0, 0);
  EXPECT_LT(r1, r0);
}

TEST(LightingFilter, RecordedValuesThatWouldDivideByZeroAreHeldInRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  SLight4 zeroRange = pointAt(0.5f, 0.5f, 10, 0);
  SLight4 noSpread = lightKindDefaults(lkWarm);
  noSpread.Spread = 0;
  SLight4 notANumber = lightKindDefaults(lkSpot);
  notANumber.X = nan;
  notANumber.Pitch = nan;
  for (const SLight4& l : {zeroRange, noSpread, notANumber}) {
    FilterFixture f(16, 12);
    f.fillRandom(5);
    ASSERT_TRUE(lit(f, {0xFFFFFFFFu, 100}, l));
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(f.pixel(x, y) >> 24, f.original(x, y) >> 24);
  }
  SLight4 unknown = defaultLight();
  unknown.Kind = 7;
  FilterFixture f(4, 4);
  EXPECT_FALSE(lit(f, {}, unknown));
  // A record of another size or shape is refused.
  const SLightingRecord rec({}, defaultLight());
  const SFlt4Context ctx = f.context();
  EXPECT_FALSE(lightingKernel(&ctx, &rec.record, 49));
  SFltRecord wrong = rec.record;
  wrong.Size = 55;
  EXPECT_FALSE(lightingKernel(&ctx, &wrong, 50));
}

TEST(LightingFilter, TheSelectionWeighsTheLightAndAlphaStays) {
  FilterFixture f(16, 8);
  f.setPixels([](int32_t x, int32_t) { return uint32_t(x * 16) << 24 | 0x404040u; });
  f.setSelection([](int32_t x, int32_t) { return uint8_t(x < 4 ? 0 : (x < 8 ? 128 : 255)); });
  ASSERT_TRUE(lit(f, {0xFFFFFFFFu, 100}, pointAt(0.5f, 0.5f, 100, 500)));
  for (int32_t x = 0; x < 16; ++x) {
    EXPECT_EQ(f.pixel(x, 3) >> 24, uint32_t(x * 16));
    if (x < 4) {
      EXPECT_EQ(f.pixel(x, 3), f.original(x, 3));
    }
  }
  // Half selected moves half way toward the fully selected result.
  const int32_t half = int32_t((f.pixel(6, 3) >> 16) & 0xFF);
  EXPECT_GT(half, 0x40);
}

// Pictures of a colour ramp lit by each kind of lamp, made once by this
// kernel, looked at, and kept as hashes: any change to the lamps' arithmetic
// shows. PIGMORA_GOLDEN_DUMP=<folder> writes them as PPM files to look at.
TEST(LightingFilter, GoldenPictures) {
  struct Case {
    const char* name;
    SFltLightingHeader header;
    SLight4 light;
    uint64_t hash;
  };
  SLight4 point = pointAt(0.3f, 0.4f, 20, 60);
  point.Intensity = 100;
  SLight4 warm = lightKindDefaults(lkWarm);
  warm.X = 0.25f;
  warm.Y = 0.3f;
  warm.Direction = 0.8f;
  warm.Pitch = 0.6f;
  warm.Spread = 90;
  SLight4 spot = lightKindDefaults(lkSpot);
  spot.X = 0.7f;
  spot.Y = 0.2f;
  spot.Spread = 60;
  spot.Pitch = 0.6f;
  spot.Direction = 2.0f;
  const Case cases[] = {
      {"point", {0xFFFFFEC7u, 60}, point, 7212620269544780190ull},
      {"warm", {0xFF8080FFu, 50}, warm, 16493977624552410621ull},
      {"spot", {0xFFFFFFFFu, 20}, spot, 13060408209860490720ull},
  };
  for (const Case& c : cases) {
    FilterFixture f(48, 32);
    f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 5) << 16 | uint32_t(y * 7) << 8 | 0x60u; });
    ASSERT_TRUE(lit(f, c.header, c.light));
    f.dumpIfAsked(std::string("lighting_") + c.name);
    EXPECT_EQ(f.hash(), c.hash) << c.name;
  }
}

}  // namespace
}  // namespace pg
