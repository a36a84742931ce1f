#include "brush/dab_blur.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <random>

#include "brush/plot_merge.h"
#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::PlotFixture;

// A tiled image of random pixels; some tiles left uniform, some pixels
// transparent.
std::unique_ptr<CBlockVMTC> randomSource(int32_t w, int32_t h, std::mt19937& rng) {
  auto img = std::make_unique<CBlockVMTC>(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      if ((x >> 5) == 1 && (y >> 5) == 1) continue;  // a uniform tile
      uint32_t p = static_cast<uint32_t>(rng());
      if (rng() % 4 == 0) p &= 0x00FFFFFF;
      EXPECT_TRUE(img->setPixel(x, y, p));
    }
  return img;
}

class BlurDab : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    // The over merge, as the blur dabs of the document use.
    plot.pixelBlendOp = &blendPixelOver;
  }
};

TEST_F(BlurDab, SlidingSumsEqualTheDirectWindows) {
  std::mt19937 rng(3);
  auto source = randomSource(90, 70, rng);
  using Dab = void (*)(const SPlotter&, TMTC&, const CBlockVMTC&, int32_t, float, float, float, float);
  struct Pair {
    const char* what;
    Dab fast, direct;
  };
  const Pair pairs[] = {{"alpha-weighted", &blurDabAlpha, &blurDabAlphaDirect}, {"plain", &blurDab, &blurDabDirect}};
  std::uniform_real_distribution<float> pos(-10.0f, 100.0f), rad(0.0f, 12.0f), op(0.0f, 1.0f);
  for (const Pair& p : pairs)
    for (int32_t k = 0; k <= 4; ++k) {
      TMTC fast(90, 70), direct(90, 70);
      test::fillRandom(fast, rng);
      ASSERT_TRUE(direct.copyPixelsFrom(fast));
      for (int i = 0; i < 25; ++i) {
        const float cx = pos(rng), cy = pos(rng), r = rad(rng), o = op(rng);
        p.fast(plot, fast, *source, k, o, r, cy, cx);
        p.direct(plot, direct, *source, k, o, r, cy, cx);
      }
      EXPECT_TRUE(test::samePixels(fast, direct)) << p.what << " k " << k;
    }
}

TEST_F(BlurDab, AlphaWeightedMeanOfAUniformSourceIsItsColour) {
  CBlockVMTC source(40, 40);
  source.fill(0x80102030);
  TMTC target(40, 40);
  fill(target, 0u);
  plot.pixelBlendOp = [](uint32_t* p, uint32_t colour, uint32_t c) { *p = c == 0 ? *p : colour; };
  blurDabAlpha(plot, target, source, 2, 1.0f, 5.0f, 20.0f, 20.0f);
  // P[c][0x80] * 255 / 0x80 per channel, alpha 0x80 * 25 / 25.
  const uint32_t want = (productAt(0x10, 0x80) * 255 / 0x80) << 16 | (productAt(0x20, 0x80) * 255 / 0x80) << 8 |
                        (productAt(0x30, 0x80) * 255 / 0x80) | 0x80000000u;
  EXPECT_EQ(target.getPixel(20, 20), want);
  EXPECT_EQ(target.getPixel(20, 26), 0u);  // outside the dab
}

TEST_F(BlurDab, TransparentSourcesPlotOnlyInThePlainForm) {
  CBlockVMTC source(20, 20);
  source.fill(0x00405060);
  TMTC a(20, 20), b(20, 20);
  fill(a, 0xFF000000u);
  fill(b, 0xFF000000u);
  plot.pixelBlendOp = &lerpPixelRgb;
  blurDabAlpha(plot, a, source, 1, 1.0f, 4.0f, 10.0f, 10.0f);
  blurDab(plot, b, source, 1, 1.0f, 4.0f, 10.0f, 10.0f);
  EXPECT_EQ(a.getPixel(10, 10), 0xFF000000u);  // nothing where every sample is transparent
  // The mean with the bottom-right alpha (0), at weight 255 - 0.707 * 255 / 4 = 210.
  uint32_t want = 0xFF000000;
  lerpPixelRgb(&want, 0x00405060, 210);
  EXPECT_EQ(b.getPixel(10, 10), want);
}

TEST_F(BlurDab, HugeKernelsAndBadDabsAreHarmless) {
  std::mt19937 rng(9);
  auto source = randomSource(40, 40, rng);
  TMTC start(30, 30);
  test::fillRandom(start, rng);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  using Paint = std::function<void(TMTC&, const CBlockVMTC&)>;
  auto painted = [&](const Paint& paint) {
    auto t = std::make_unique<TMTC>(30, 30);
    EXPECT_TRUE(t->copyPixelsFrom(start));
    paint(*t, *source);
    return t;
  };
  // Kernels out of range paint as the nearest allowed one.
  EXPECT_TRUE(test::samePixels(
      *painted([this](TMTC& t, const CBlockVMTC& s) { blurDab(plot, t, s, 2147483647, 1.0f, 1.5f, 5.0f, 5.0f); }),
      *painted([this](TMTC& t, const CBlockVMTC& s) { blurDab(plot, t, s, kMaxBlurHalfSize, 1.0f, 1.5f, 5.0f, 5.0f); })));
  EXPECT_TRUE(test::samePixels(
      *painted([this](TMTC& t, const CBlockVMTC& s) { blurDabAlpha(plot, t, s, -7, 1.0f, 3.0f, 5.0f, 5.0f); }),
      *painted([this](TMTC& t, const CBlockVMTC& s) { blurDabAlpha(plot, t, s, 1, 1.0f, 3.0f, 5.0f, 5.0f); })));
  EXPECT_TRUE(test::samePixels(
      *painted([](TMTC& t, const CBlockVMTC& s) { paintStrokeDab(t, s, 2147483647, 0.75f, 5.5f, 5.5f); }),
      *painted([](TMTC& t, const CBlockVMTC& s) { paintStrokeDab(t, s, kMaxBlurHalfSize, 0.75f, 5.5f, 5.5f); })));
  // Dabs without a size or without a source paint nothing.
  CBlockVMTC invalid(0, 0);
  const Paint nothing[] = {
      [&](TMTC& t, const CBlockVMTC& s) { blurDab(plot, t, s, 2, 1.0f, nan, 5.0f, 5.0f); },
      [&](TMTC& t, const CBlockVMTC& s) { paintStrokeDab(t, s, 2, 1e9f, nan, 5.5f); },
      [&](TMTC& t, const CBlockVMTC& s) { paintStrokeDab(t, s, 2, 1e12f, -9e11f, -9e11f); },
      [&](TMTC& t, const CBlockVMTC&) { blurDab(plot, t, invalid, 2, 1.0f, 3.0f, 5.0f, 5.0f); },
      [&](TMTC& t, const CBlockVMTC&) { paintStrokeDab(t, invalid, 2, 3.0f, 5.0f, 5.0f); },
  };
  for (size_t i = 0; i < std::size(nothing); ++i) EXPECT_TRUE(test::samePixels(*painted(nothing[i]), start)) << i;
  // Dabs far larger than the target stay within it (the sanitizer build
  // checks the writes).
  painted([this](TMTC& t, const CBlockVMTC& s) { blurDab(plot, t, s, 2, 1.0f, 1e12f, 5.0f, 5.0f); });
  painted([](TMTC& t, const CBlockVMTC& s) { paintStrokeDab(t, s, 2, 1e12f, 3.0f, 5.5f); });
}

TEST_F(BlurDab, StrokeDabPaintsWholeQuarterPixelSquaresOnly) {
  CBlockVMTC source(20, 20);
  source.fill(0xFF406080);
  struct Case {
    const char* what;
    float r, cy, cx;
    int painted;
  };
  const Case cases[] = {
      {"radius 0.75 on a pixel centre: that pixel only", 0.75f, 10.5f, 10.5f, 1},
      {"radius 0.5: no square fits", 0.5f, 10.5f, 10.5f, 0},
      {"radius 2 on a corner", 2.0f, 10.0f, 10.0f, 4},
      {"radius 3 at the plane's corner", 3.0f, 0.0f, 0.0f, 4},
  };
  for (const Case& c : cases) {
    TMTC target(20, 20);
    fill(target, 0u);
    paintStrokeDab(target, source, 1, c.r, c.cy, c.cx);
    int painted = 0;
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 20; ++x) painted += target.getPixel(x, y) != 0;
    EXPECT_EQ(painted, c.painted) << c.what;
  }
  // The one pixel of the first case: weight 255 - 8*255/9 = 29 toward the
  // mean colour (alpha byte 0), through blendPixelTab.
  TMTC target(20, 20);
  fill(target, 0xFF000000u);
  paintStrokeDab(target, source, 1, 0.75f, 10.5f, 10.5f);
  uint32_t want = 0xFF000000;
  lerpPixelRgbTab(&want, 0x00406080, 29);
  EXPECT_EQ(target.getPixel(10, 10), want);
}

TEST_F(BlurDab, StrokeDabSlidingEqualsReference) {
  std::mt19937 rng(21);
  auto source = randomSource(70, 50, rng);
  std::uniform_real_distribution<float> pos(-8.0f, 78.0f), rad(0.0f, 9.0f);
  for (int32_t k = 1; k <= 3; ++k) {
    TMTC fast(70, 50), ref(70, 50);
    test::fillRandom(fast, rng);
    ASSERT_TRUE(ref.copyPixelsFrom(fast));
    for (int i = 0; i < 30; ++i) {
      const float cx = pos(rng), cy = pos(rng), r = rad(rng);
      paintStrokeDab(fast, *source, k, r, cy, cx);
      reference::paintStrokeDab(ref, *source, k, r, cy, cx);
    }
    EXPECT_TRUE(test::samePixels(fast, ref)) << "k " << k;
  }
}

TEST_F(BlurDab, WeightedBlurByWeightAndMask) {
  CBlockVMTC source(5, 5);
  source.fill(0xFF000000);
  EXPECT_TRUE(source.setPixel(2, 2, 0xFF0000FF));  // blue 255 in the middle
  TChannel weight(5, 5), mask(5, 5);
  TMTC target(5, 5);
  struct Case {
    const char* what;
    uint8_t w, m;
    bool withMask;
    uint32_t want;  // the middle pixel afterwards (target starts 0x11000000)
  };
  const Case cases[] = {
      {"weight 0 copies the source", 0, 0, false, 0xFF0000FF},
      {"weight 1 copies the source", 1, 0, false, 0xFF0000FF},
      {"weight 31: plain 3 x 3 mean", 31, 0, false, 0x1100001C},    // 255 / 9
      {"weight 200: also the plain mean", 200, 0, false, 0x1100001C},
      {"weight 2: centre counts 30 of 38", 2, 0, false, 0x110000C9},  // 255 * 30 / 38
      {"mask 255 keeps the weight", 31, 255, true, 0x1100001C},
      {"mask 128 halves it: 15", 31, 128, true, 0x110000AD},          // 255 * 17 / 25
      {"mask 1 makes it 0: copy", 200, 1, true, 0xFF0000FF},
  };
  for (const Case& c : cases) {
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 5; ++x) {
        *target.pixelAt(x, y) = 0x11000000;
        *weight.pixelAt(x, y) = c.w;
        *mask.pixelAt(x, y) = c.m;
      }
    blurByWeight(target, source, weight, c.withMask ? &mask : nullptr, {-3, -3, 100, 100});
    EXPECT_EQ(target.getPixel(2, 2), c.want) << c.what;
  }
  TChannel small(2, 2);
  *small.pixelAt(0, 0) = 0;
  blurByWeight(target, source, small, nullptr, {0, 0, 5, 5});  // clipped to the weight plane
}

}  // namespace
}  // namespace pg
