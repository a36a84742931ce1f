#include "filters/flip_filters.h"

#include <gtest/gtest.h>

#include <random>

#include "brush/plot_merge.h"
#include "core/planes.h"
#include "filters/filter_fixture.h"
#include "filters/fixture_fills.h"

namespace pg {
namespace {

using testing::FilterFixture;
using testing::fillVisible;
using Kernel = bool (*)(const SFlt4Context*, const void*, int32_t);

// The layer as it now is becomes the unfiltered pixels of the next run.
void nextRun(FilterFixture& f) {
  for (int32_t y = 0; y < f.height(); ++y)
    for (int32_t x = 0; x < f.width(); ++x) *f.work.pixelAt(x, y) = f.pixel(x, y);
}

TEST(Flips, MirrorTheWholeLayerWithoutSelection) {
  struct Case {
    const char* name;
    Kernel kernel;
    bool mx, my;
  };
  const Case cases[] = {
      {"horizontal", &flipHorizontal4Kernel, true, false},
      {"vertical", &flipVertical4Kernel, false, true},
      {"180", &rotate1804Kernel, true, true},
  };
  for (const Case& k : cases) {
    FilterFixture f(37, 11);
    fillVisible(f, 3);
    const SFlt4Context c = f.context();
    ASSERT_TRUE(k.kernel(&c, nullptr, 0)) << k.name;
    for (int32_t y = 0; y < 11; ++y)
      for (int32_t x = 0; x < 37; ++x)
        ASSERT_EQ(f.pixel(x, y), f.original(k.mx ? 36 - x : x, k.my ? 10 - y : y)) << k.name << " " << x << "," << y;
    nextRun(f);
    ASSERT_TRUE(k.kernel(&c, nullptr, 0));
    EXPECT_TRUE(f.unchanged()) << k.name << " twice";
    EXPECT_FALSE(k.kernel(&c, nullptr, 8)) << k.name;
  }
}

TEST(Flips, ProtectedAlphaMirrorsTheColoursOnly) {
  FilterFixture f(9, 4);
  f.fillRandom(5);
  f.protectAlpha = true;
  const SFlt4Context c = f.context();
  ASSERT_TRUE(flipHorizontal4Kernel(&c, nullptr, 0));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 9; ++x) {
      ASSERT_EQ(f.pixel(x, y) >> 24, f.original(x, y) >> 24);
      ASSERT_EQ(f.pixel(x, y) & 0xFFFFFFu, f.original(8 - x, y) & 0xFFFFFFu);
    }
}

TEST(Flips, FeatheredSelectionFadesTwice) {
  FilterFixture f(12, 3);
  fillVisible(f, 7);
  f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(20 * x + 10); });
  const SFlt4Context c = f.context();
  ASSERT_TRUE(flipHorizontal4Kernel(&c, nullptr, 0));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 12; ++x) {
      // The source carries its own weight in its alpha, the write the destination's.
      uint32_t src = f.original(11 - x, y);
      const uint32_t a = (src >> 24) * c.maskValue(c, 11 - x, y) / 255;
      src = (src & 0xFFFFFFu) | (a << 24);
      uint32_t expected = f.original(x, y);
      blendPixelOver(&expected, src, c.maskValue(c, x, y));
      ASSERT_EQ(f.pixel(x, y), expected) << x << "," << y;
    }
}

TEST(Flips, MirrorAboutTheSelectionsOwnBoundingBox) {
  FilterFixture f(10, 6);
  fillVisible(f, 9);
  f.setSelection([](int32_t x, int32_t y) { return static_cast<uint8_t>(x >= 2 && x < 5 && y >= 1 && y < 4 ? 255 : 0); });
  SFlt4Context c = f.context();
  c.bounds = c.region = TRect{2, 1, 5, 4};
  ASSERT_TRUE(rotate1804Kernel(&c, nullptr, 0));
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
      ASSERT_EQ(f.pixel(x, y), inside ? f.original(6 - x, 4 - y) : f.original(x, y)) << x << "," << y;
    }
}

TEST(Flips, PartOfTheLayerGetsThePixelsOfTheWholeRun) {
  // A preview of a part (the region clipped) shows what the whole run writes there.
  FilterFixture whole(30, 8), part(30, 8);
  fillVisible(whole, 11);
  fillVisible(part, 11);
  whole.randomSelection(12);
  part.randomSelection(12);
  const SFlt4Context a = whole.context(), b = part.context(TRect{3, 2, 11, 7});
  ASSERT_TRUE(flipVertical4Kernel(&a, nullptr, 0));
  ASSERT_TRUE(flipVertical4Kernel(&b, nullptr, 0));
  ASSERT_TRUE(flipHorizontal4Kernel(&a, nullptr, 0));  // reads the work plane: the same input again
  ASSERT_TRUE(flipHorizontal4Kernel(&b, nullptr, 0));
  for (int32_t y = 2; y < 7; ++y)
    for (int32_t x = 3; x < 11; ++x) ASSERT_EQ(part.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
}

TEST(Flips, MaskAlphaByCoverage) {
  FilterFixture f(6, 4);
  f.setSelection([](int32_t x, int32_t y) { return static_cast<uint8_t>(x * 40 + y); });
  const SFlt4Context c = f.context();
  TMTC plane(4, 2);  // layer pixels (1, 1) .. (4, 2)
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x) *plane.pixelAt(x, y) = 0xC8123456u;
  const TRect rect{0, 0, 3, 6};
  ASSERT_TRUE(maskAlphaByCoverage(&plane, {1, 1}, &c, &rect));
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      const uint32_t lx = x + 1, ly = y + 1;
      const uint32_t a = lx < 3 ? 200 * (lx * 40 + ly) / 255 : 200;
      ASSERT_EQ(plane.getPixel(x, y), (a << 24) | 0x123456u) << x << "," << y;
    }
  EXPECT_FALSE(maskAlphaByCoverage(nullptr, {0, 0}, &c, nullptr));
  EXPECT_FALSE(maskAlphaByCoverage(&plane, {0, 0}, nullptr, nullptr));
}

}  // namespace
}  // namespace pg
