#include "filters/motion_blur_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "core/fixed_point.h"
#include "filters/filter_fixture.h"
#include "filters/record_bytes.h"
#include "filters/samplers.h"

namespace pg {
namespace {

using testing::FilterFixture;

bool runMotion(const SFlt4Context& c, const SFltMotionBlur& rec) {
  uint8_t b[kMotionBlurRecordSize];
  writeMotionBlurRecord(rec, b);
  return motionBlurKernel(&c, b, kMotionBlurRecordSize);
}
bool runZoom(const SFlt4Context& c, const SFltZoomBlur& rec) {
  uint8_t b[kZoomBlurRecordSize];
  writeZoomBlurRecord(rec, b);
  return zoomBlurKernel(&c, b, kZoomBlurRecordSize);
}

bool workRestored(const FilterFixture& f) {
  for (int32_t y = 0; y < f.height(); ++y)
    for (int32_t x = 0; x < f.width(); ++x)
      if (f.work.getPixel(x, y) != f.original(x, y)) return false;
  return true;
}

// The literal passes: a temporary plane as large as the layer holding the
// unfiltered pixels, passes alternating between it and the work plane.
void referencePasses(FilterFixture& f, const SFlt4Context& c, const std::vector<TRect>& areas,
                     const std::vector<std::function<void(int32_t, int32_t, int32_t*)>>& points, bool sat) {
  const int32_t w = f.width(), h = f.height();
  TMTC temp(w, h);
  ASSERT_TRUE(temp.copyPixelsFrom(f.work));
  TMTC* from = &f.work;
  TMTC* to = &temp;
  for (size_t i = 0; i < areas.size(); ++i) {
    for (int32_t y = areas[i].Top; y < areas[i].Bottom; ++y)
      for (int32_t x = areas[i].Left; x < areas[i].Right; ++x) {
        int32_t p[4];
        points[i](x, y, p);
        const uint32_t s = sat ? bilinearPairClampEdgeSat(*from, p[0], p[1], p[2], p[3])
                               : bilinearPairClampEdge(*from, p[0], p[1], p[2], p[3]);
        uint32_t* out = to->pixelAt(x, y);
        *out = f.protectAlpha ? (*out & 0xFF000000u) | (s & 0x00FFFFFFu) : s;
      }
    std::swap(from, to);
  }
  for (int32_t y = c.region.Top; y < c.region.Bottom; ++y)
    for (int32_t x = c.region.Left; x < c.region.Right; ++x) {
      const uint32_t wt = c.maskValue(c, x, y);
      if (wt != 0) writeWeighted(f.layer->pixelPtr(x, y), from->getPixel(x, y), wt, f.protectAlpha);
    }
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *f.work.pixelAt(x, y) = f.original(x, y);
}

TRect grow(const TRect& r, int32_t gx, int32_t gy, int32_t w, int32_t h) {
  return {std::max(0, r.Left - gx), std::max(0, r.Top - gy), std::min(w, r.Right + gx), std::min(h, r.Bottom + gy)};
}
int32_t clampFix(int64_t v, int32_t size) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, 0, int64_t{size} * 65536 - 1));
}

void referenceMotion(FilterFixture& f, const SFlt4Context& c, const SFltMotionBlur& rec) {
  const double theta = -rec.angle * std::numbers::pi / 180.0;
  const int32_t w = f.width(), h = f.height();
  std::vector<TRect> areas;
  std::vector<std::function<void(int32_t, int32_t, int32_t*)>> points;
  for (double hh = rec.distance / 2.0; hh >= 0.5; hh /= 2) {
    const int32_t dx = roundToInt32(std::cos(theta) * hh * 65536.0), dy = roundToInt32(std::sin(theta) * hh * 65536.0);
    areas.push_back(grow(c.region, static_cast<int32_t>(std::ceil(std::abs(dx) / 65536.0)),
                         static_cast<int32_t>(std::ceil(std::abs(dy) / 65536.0)), w, h));
    points.push_back([=](int32_t x, int32_t y, int32_t* p) {
      p[0] = clampFix(int64_t{x} * 65536 + dx, w);
      p[1] = clampFix(int64_t{y} * 65536 + dy, h);
      p[2] = clampFix(int64_t{x} * 65536 - dx, w);
      p[3] = clampFix(int64_t{y} * 65536 - dy, h);
    });
  }
  referencePasses(f, c, areas, points, rec.mode == 2);
}

void referenceZoom(FilterFixture& f, const SFlt4Context& c, const SFltZoomBlur& rec) {
  const TRect& b = c.bounds;
  const double cx = rec.centreX * 65536.0 + (b.Left + b.Right - 1) * 32768.0;
  const double cy = rec.centreY * 65536.0 + (b.Top + b.Bottom - 1) * 32768.0;
  const double diag = std::hypot(static_cast<double>(b.Right - b.Left), static_cast<double>(b.Bottom - b.Top));
  const int32_t w = f.width(), h = f.height();
  std::vector<TRect> areas;
  std::vector<std::function<void(int32_t, int32_t, int32_t*)>> points;
  for (double hh = rec.amount / 2.0; hh >= 0.5; hh /= 2) {
    const int64_t k = roundToInt32(hh * 65536.0 / diag);
    const int32_t m = static_cast<int32_t>(std::ceil(hh));
    areas.push_back(grow(c.region, m, m, w, h));
    points.push_back([=](int32_t x, int32_t y, int32_t* p) {
      const double px = x * 65536.0, py = y * 65536.0;
      const int64_t dx = static_cast<int64_t>(std::floor((px - cx) * static_cast<double>(k) / 65536.0));
      const int64_t dy = static_cast<int64_t>(std::floor((py - cy) * static_cast<double>(k) / 65536.0));
      p[0] = clampFix(int64_t{x} * 65536 + dx, w);
      p[1] = clampFix(int64_t{y} * 65536 + dy, h);
      p[2] = clampFix(int64_t{x} * 65536 - dx, w);
      p[3] = clampFix(int64_t{y} * 65536 - dy, h);
    });
  }
  referencePasses(f, c, areas, points, rec.mode == 1);
}

TEST(MotionBlur, RecordsAndPassCounts) {
  uint8_t b[8];
  writeMotionBlurRecord({100, 2, -180, 0.0f}, b);
  EXPECT_EQ(b[0], 100);
  EXPECT_EQ(b[1], 2);
  EXPECT_EQ(readRecI16(b + 2), -180);
  writeZoomBlurRecord({-5, 7, 30, 1, 1}, b);
  EXPECT_EQ(readRecI16(b), -5);
  EXPECT_EQ(readRecI16(b + 2), 7);
  EXPECT_EQ(b[4], 30);
  EXPECT_EQ(b[5], 1);
  EXPECT_EQ(b[6], 1);
  EXPECT_EQ(b[7], 0);
  SFltZoomBlur z;
  EXPECT_FALSE(readZoomBlurRecord(b, 16, z));

  EXPECT_EQ(twoTapPassCount(0.5), 1);  // distance 1: one pass with offset 0.5
  EXPECT_EQ(twoTapPassCount(50), 7);   // distance 100: 50 down to 0.78
  EXPECT_EQ(twoTapPassCount(0.49), 0);
}

TEST(MotionBlur, ConstantImagesStayConstantAndTheWorkPlaneIsRestored) {
  struct Case {
    const char* name;
    bool (*run)(const SFlt4Context&);
  };
  const Case cases[] = {
      {"motion clamped", [](const SFlt4Context& c) { return runMotion(c, {40, 2, 33, 0.0f}); }},
      {"motion unclamped", [](const SFlt4Context& c) { return runMotion(c, {40, 1, -120, 0.0f}); }},
      {"motion older", [](const SFlt4Context& c) { return runMotion(c, {40, 0, 0, 0.7f}); }},
      {"zoom", [](const SFlt4Context& c) { return runZoom(c, {3, -4, 60, 0, 1}); }},
  };
  for (const Case& k : cases) {
    FilterFixture f(37, 23);
    f.fill(0xFF4080C0u);
    ASSERT_TRUE(k.run(f.context())) << k.name;
    EXPECT_TRUE(f.unchanged()) << k.name;  // edges sample clamped points: no darkening
    EXPECT_TRUE(workRestored(f)) << k.name;
  }
}

TEST(MotionBlur, TheAngleSetsTheDirection) {
  // Columns of one colour each: a vertical blur leaves them; a horizontal one does not.
  FilterFixture v(20, 12), hz(20, 12);
  v.setPixels([](int32_t x, int32_t) { return 0xFF000000u | static_cast<uint32_t>(x * 12); });
  hz.setPixels([](int32_t x, int32_t) { return 0xFF000000u | static_cast<uint32_t>(x * 12); });
  ASSERT_TRUE(runMotion(v.context(), {30, 2, 90, 0.0f}));
  ASSERT_TRUE(runMotion(hz.context(), {30, 2, 0, 0.0f}));
  EXPECT_TRUE(v.unchanged());
  EXPECT_FALSE(hz.unchanged());
  EXPECT_TRUE(workRestored(hz));
}

TEST(MotionBlur, ProtectedAlphaStays) {
  for (const uint8_t mode : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    FilterFixture f(16, 16);
    f.fillRandom(mode + 10u);
    f.protectAlpha = true;
    ASSERT_TRUE(runMotion(f.context(), {12, mode, 45, 45.0f}));
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(pixelAlpha(f.pixel(x, y)), pixelAlpha(f.original(x, y)));
    EXPECT_FALSE(f.unchanged());
  }
  FilterFixture z(16, 16);
  z.fillRandom(4);
  z.protectAlpha = true;
  ASSERT_TRUE(runZoom(z.context(), {0, 0, 40, 1, 1}));
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(pixelAlpha(z.pixel(x, y)), pixelAlpha(z.original(x, y)));
}

TEST(MotionBlur, MatchesTheLiteralPasses) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 20; ++round) {
    const int32_t w = 4 + static_cast<int32_t>(rng() % 50), h = 4 + static_cast<int32_t>(rng() % 40);
    FilterFixture fast(w, h), ref(w, h);
    fast.fillRandom(round);
    ref.fillRandom(round);
    if (round % 3 == 0) {
      fast.randomSelection(round);
      ref.randomSelection(round);
    }
    fast.protectAlpha = ref.protectAlpha = (round % 5 == 4);
    const int32_t l = static_cast<int32_t>(rng() % static_cast<uint32_t>(w / 2));
    const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(h / 2));
    const TRect region{l, t, w - static_cast<int32_t>(rng() % 3), h - static_cast<int32_t>(rng() % 3)};
    if (round % 2 == 0) {
      const SFltMotionBlur rec{static_cast<uint8_t>(1 + rng() % 100), static_cast<uint8_t>(1 + rng() % 2),
                               static_cast<int16_t>(static_cast<int32_t>(rng() % 361) - 180), 0.0f};
      ASSERT_TRUE(motionBlur(fast.context(region), rec));
      referenceMotion(ref, ref.context(region), rec);
    } else {
      // Centres inside the layer and far outside it.
      const int32_t spread = round % 4 == 1 ? 20 : 3000;
      const SFltZoomBlur rec{static_cast<int16_t>(static_cast<int32_t>(rng() % (2 * spread)) - spread),
                             static_cast<int16_t>(static_cast<int32_t>(rng() % (2 * spread)) - spread),
                             static_cast<uint8_t>(1 + rng() % 100), 0, static_cast<uint8_t>(rng() % 3)};
      ASSERT_TRUE(zoomBlur(fast.context(region), rec));
      referenceZoom(ref, ref.context(region), rec);
    }
    ASSERT_TRUE(fast.sameLayer(ref)) << "round " << round;
    ASSERT_TRUE(workRestored(fast)) << "round " << round;
  }
}

TEST(MotionBlur, NothingToDoAndRefusals) {
  FilterFixture f(10, 10);
  f.fillRandom(3);
  EXPECT_TRUE(runMotion(f.context(), {0, 2, 10, 0.0f}));  // no pass
  EXPECT_TRUE(runZoom(f.context(), {0, 0, 0, 0, 1}));
  EXPECT_TRUE(runMotion(f.context(), {9, 0, 0, std::nanf("")}));  // an older angle that is not a number
  uint8_t b[8] = {};
  EXPECT_FALSE(motionBlurKernel(nullptr, b, 8));
  const SFlt4Context c = f.context();
  EXPECT_FALSE(motionBlurKernel(&c, b, 7));
  EXPECT_FALSE(zoomBlurKernel(&c, b, 9));
  EXPECT_TRUE(workRestored(f));
}

}  // namespace
}  // namespace pg
