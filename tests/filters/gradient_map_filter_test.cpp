#include "filters/gradient_map_filter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "brush/gradient.h"
#include "filters/filter_fixture.h"
#include "filters/filter_params.h"

namespace pg {
namespace {

using testing::FilterFixture;

// Two fixed stops (source marker 2), both of the opacity given.
CColorSlotGroup twoStops(TColor a, TColor b, uint8_t opacity) {
  CColorSlotGroup g(4);
  EXPECT_TRUE(g.putColor(0, a | 0x02000000u, opacity, kGradOne));
  EXPECT_TRUE(g.putColor(1, b | 0x02000000u, opacity, kGradOne));
  g.normalize();
  return g;
}

int32_t distance(uint32_t a, uint32_t b) {
  int32_t d = 0;
  for (int i = 0; i < 3; ++i) d = std::max(d, std::abs(int32_t((a >> (8 * i)) & 0xFF) - int32_t((b >> (8 * i)) & 0xFF)));
  return d;
}

TEST(GradientMap, TableFollowsTheGradientAlongTheGreyLevels) {
  const CColorSlotGroup bw = twoStops(0x000000u, 0xFFFFFFu, 255);
  std::array<uint32_t, 256> t{}, rev{};
  buildGradientMapTable(bw, false, t);
  buildGradientMapTable(bw, true, rev);
  for (uint32_t i = 0; i < 256; ++i) {
    ASSERT_LE(distance(t[i], i * 0x010101u), 1) << i;
    ASSERT_EQ(t[i] >> 24, 255u) << i;
    ASSERT_EQ(rev[255 - i], t[i]) << i;
  }
  // Red in the gradient's colour is red in the pixel (the table is in pixel order).
  const CColorSlotGroup red = twoStops(0x0000FFu, 0x0000FFu, 255);
  buildGradientMapTable(red, false, t);
  EXPECT_EQ(t[100], 0xFFFF0000u);
}

struct MapRun {
  FilterFixture f{17, 6};
  bool ok = false;
  MapRun(const CColorSlotGroup* stops, bool reverse, bool keepAlpha, uint32_t alphaMask = 0xFF000000u) {
    f.setPixels([alphaMask](int32_t x, int32_t y) {
      const uint32_t g = static_cast<uint32_t>(x * 15 + y);
      return alphaMask | g * 0x010101u;
    });
    SFltGradientMap r;
    initGradientMapRecord(r);
    r.Gradient = stops;
    r.Reverse = reverse ? 1 : 0;
    r.KeepAlpha = keepAlpha ? 1 : 0;
    f.protectAlpha = keepAlpha;
    const SFlt4Context c = f.context();
    ok = gradientMap4Kernel(&c, &r, SFltGradientMap::kSize);
  }
};

TEST(GradientMap, BlackToWhiteKeepsGreyAndReversedInverts) {
  const CColorSlotGroup bw = twoStops(0x000000u, 0xFFFFFFu, 255);
  MapRun plain(&bw, false, true), reversed(&bw, true, true);
  ASSERT_TRUE(plain.ok);
  ASSERT_TRUE(reversed.ok);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 17; ++x) {
      const uint32_t g = plain.f.original(x, y);
      ASSERT_LE(distance(plain.f.pixel(x, y), g), 1) << x << "," << y;
      ASSERT_LE(distance(reversed.f.pixel(x, y), g ^ 0xFFFFFFu), 1) << x << "," << y;
    }
}

TEST(GradientMap, TransparentStopsReachTheLayerOnlyWithoutKeepAlpha) {
  const CColorSlotGroup half = twoStops(0x000000u, 0xFFFFFFu, 128);
  MapRun kept(&half, false, true), blended(&half, false, false);
  ASSERT_TRUE(kept.ok);
  ASSERT_TRUE(blended.ok);
  EXPECT_EQ(kept.f.pixel(3, 3) >> 24, 255u);
  EXPECT_EQ(blended.f.pixel(3, 3) >> 24, 128u);  // opaque pixels turn half transparent
}

TEST(GradientMap, NeedsStopsAndItsSize) {
  MapRun none(nullptr, false, false);
  EXPECT_FALSE(none.ok);
  EXPECT_TRUE(none.f.unchanged());

  FilterFixture f(3, 3);
  f.fillRandom(4);
  const CColorSlotGroup bw = twoStops(0x000000u, 0xFFFFFFu, 255);
  SFltGradientMap r;
  initGradientMapRecord(r);
  r.Gradient = &bw;
  const SFlt4Context c = f.context();
  EXPECT_FALSE(gradientMap4Kernel(&c, &r, 8));
  EXPECT_FALSE(gradientMap4Kernel(&c, nullptr, SFltGradientMap::kSize));
  EXPECT_TRUE(f.unchanged());
}

}  // namespace
}  // namespace pg
