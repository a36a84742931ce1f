#include "filters/blur_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/parallel.h"
#include "filters/filter_fixture.h"
#include "filters/gaussian_weights.h"
#include "filters/record_bytes.h"

namespace pg {
namespace {

using testing::FilterFixture;

std::vector<uint8_t> f32Record(float amount) {
  std::vector<uint8_t> r(8, 0);
  writeRecF32(r.data(), amount);
  return r;
}

struct SGridKernel {
  const char* name;
  FilterKernel kernel;
};
const SGridKernel kGridKernels[] = {
    {"blur box", &blurBoxKernel},   {"blur", &blurKernel},       {"blur more box", &blurMoreBoxKernel},
    {"blur more", &blurMoreKernel}, {"sharpen", &sharpenKernel}, {"sharpen more", &sharpenMoreKernel},
};

TEST(BlurFilters, ConstantImagesStayConstant) {
  for (const uint32_t colour : {0xFF3C78B4u, 0x80102030u}) {
    for (const SGridKernel& k : kGridKernels) {
      FilterFixture f(7, 5);
      f.fill(colour);
      const SFlt4Context c = f.context();
      ASSERT_TRUE(k.kernel(&c, nullptr, 0)) << k.name;
      EXPECT_TRUE(f.unchanged()) << k.name << std::hex << " " << colour;
    }
    FilterFixture g(40, 37);
    g.fill(colour);
    const auto rec = f32Record(3.5f);
    const SFlt4Context c = g.context();
    ASSERT_TRUE(gaussianBlurKernel(&c, rec.data(), 8));
    EXPECT_TRUE(g.unchanged()) << std::hex << colour;
  }
}

TEST(BlurFilters, TransparentNeighbourhoodsAreLeftAlone) {
  for (const SGridKernel& k : kGridKernels) {
    FilterFixture f(6, 6);
    f.setPixels([](int32_t x, int32_t y) { return 0x00000000u | static_cast<uint32_t>(x * 16 + y); });
    const SFlt4Context c = f.context();
    ASSERT_TRUE(k.kernel(&c, nullptr, 0)) << k.name;
    EXPECT_TRUE(f.unchanged()) << k.name;
  }
  FilterFixture g(6, 6);
  g.fill(0x00FFFFFFu);
  const auto rec = f32Record(2.0f);
  const SFlt4Context c = g.context();
  ASSERT_TRUE(gaussianBlurKernel(&c, rec.data(), 8));
  EXPECT_TRUE(g.unchanged());
}

TEST(BlurFilters, GridsAtTheCentreAndTheEdge) {
  // Opaque 3 x 3, blue = 10 * (x + 3y). The blur grid 0 1 0 / 1 4 1 / 0 1 0.
  FilterFixture f(3, 3);
  f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | static_cast<uint32_t>(10 * (x + 3 * y)); });
  const SFlt4Context c = f.context();
  ASSERT_TRUE(blurKernel(&c, nullptr, 0));
  // Centre: (10 + 30 + 4 * 40 + 50 + 70) / 8 = 40.
  EXPECT_EQ(f.pixel(1, 1), 0xFF000028u);
  // Corner (0, 0): up and left replicate the corner: (0 + 0 + 0 + 10 + 30) / 8 = 5.
  EXPECT_EQ(f.pixel(0, 0), 0xFF000005u);

  FilterFixture s(3, 3);
  s.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | static_cast<uint32_t>(10 * (x + 3 * y)); });
  const SFlt4Context cs = s.context();
  ASSERT_TRUE(sharpenKernel(&cs, nullptr, 0));
  // Centre: (8 * 40 - 10 - 30 - 50 - 70) / 4 = 40; corner (8 * 0 - 0 - 0 - 10 - 30) / 4 -> 0.
  EXPECT_EQ(s.pixel(1, 1), 0xFF000028u);
  EXPECT_EQ(s.pixel(0, 0), 0xFF000000u);
  // (2, 2): (8 * 80 - 50 - 70 - 80 - 80) / 4 = 90.
  EXPECT_EQ(s.pixel(2, 2), 0xFF00005Au);
}

TEST(BlurFilters, KernelsRefuseWrongSizesAndContexts) {
  FilterFixture f(5, 5);
  f.fillRandom(1);
  const SFlt4Context good = f.context();
  SFlt4Context bad = good;
  bad.workImage = nullptr;
  const auto rec = f32Record(1.0f);
  for (const SGridKernel& k : kGridKernels) {
    EXPECT_FALSE(k.kernel(&good, rec.data(), 8)) << k.name;
    EXPECT_FALSE(k.kernel(&bad, nullptr, 0)) << k.name;
  }
  EXPECT_FALSE(gaussianBlurKernel(&good, rec.data(), 4));
  EXPECT_FALSE(gaussianBlurKernel(&good, nullptr, 8));
  EXPECT_FALSE(gaussianBlurKernel(&bad, rec.data(), 8));
  EXPECT_FALSE(sharpenCustomKernel(&good, rec.data(), 16));
  EXPECT_FALSE(sharpenCustomKernel(&bad, rec.data(), 8));
  for (const float amount : {0.0f, -1.0f, std::nanf("")}) {
    const auto r = f32Record(amount);
    EXPECT_FALSE(gaussianBlurKernel(&good, r.data(), 8)) << amount;
  }
  EXPECT_FALSE(sharpenCustomKernel(&good, f32Record(std::nanf("")).data(), 8));
  EXPECT_TRUE(f.unchanged());
}

TEST(BlurFilters, SharpenCustomStrength) {
  struct Case {
    float amount;
    int32_t v;
  };
  for (const Case& k : {Case{0.0f, 0}, Case{0.01f, 11}, Case{0.1f, 51}, Case{0.3f, 107}, Case{0.5f, 151},
                        Case{1.0f, 240}, Case{-3.0f, 0}, Case{7.0f, 240}})
    EXPECT_EQ(sharpenCustomStrength(k.amount), k.v) << k.amount;

  FilterFixture f(6, 4);
  f.fillRandom(2);
  const SFlt4Context c = f.context();
  ASSERT_TRUE(sharpenCustomKernel(&c, f32Record(0.0f).data(), 8));
  EXPECT_TRUE(f.unchanged());  // v = 0: the identity grid
}

TEST(BlurFilters, GaussianWeightBuilder) {
  struct Case {
    int32_t n;
    double sigma;
    std::vector<int32_t> weights;
    int32_t radius;
  };
  const Case cases[] = {
      {5, 0.3, {0, 251, 65033, 251, 0}, 1},  // a small sigma: radius below 3
      {5, 1.0, {3571, 16004, 26386, 16004, 3571}, 3},
      {6, 1.0, {292, 3555, 15933, 26269, 15933, 3555}, 3},  // the centre is n div 2
      {1, 1.0, {65536}, 1},
  };
  for (const Case& k : cases) {
    std::vector<int32_t> w(static_cast<size_t>(k.n), -7);
    EXPECT_EQ(buildGaussianWeights(w.data(), k.n, k.sigma), k.radius) << k.n << " " << k.sigma;
    EXPECT_EQ(w, k.weights);
  }
  int32_t w[3] = {};
  EXPECT_EQ(buildGaussianWeights(w, 0, 1.0), -1);
  EXPECT_EQ(buildGaussianWeights(w, 3, 0.0), -1);
  EXPECT_EQ(buildGaussianWeights(w, 3, std::nan("")), -1);
  EXPECT_EQ(buildGaussianWeights(w, 3, 1e-200), 1);  // the square vanishes: all weight at the centre
  EXPECT_EQ(w[1], 65536);
}

TEST(BlurFilters, GaussianGoldenRowWithTransparency) {
  // One row: the vertical pass is the identity; the alpha of a pixel is the
  // plain mean of the alphas in the window, its colour the alpha-weighted
  // Gaussian mean, and only taps inside the layer count.
  FilterFixture f(6, 1);
  const uint32_t row[6] = {0xFF0000FFu, 0xFF000000u, 0x00000000u, 0xFF00FF00u, 0x80FF0000u, 0xFF000000u};
  f.setPixels([&row](int32_t x, int32_t) { return row[x]; });
  const SFlt4Context c = f.context();
  ASSERT_TRUE(gaussianBlurKernel(&c, f32Record(1.0f).data(), 8));
  const uint32_t expected[6] = {0xAA00009Eu, 0xBF001358u, 0xB20C6D18u, 0xBF30A001u, 0xB24A5900u, 0x9F351700u};
  for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(f.pixel(x, 0), expected[x]) << x;
}

TEST(BlurFilters, GaussianFastMatchesReferenceAtAnyThreadCount) {
  std::mt19937 rng(42);
  for (int round = 0; round < 24; ++round) {
    // Bands of rows are blurred on several threads: the pixels must be those
    // of one thread.
    const int workers = round % 3 == 0 ? 1 : 4;
    const int oldWorkers = setParallelWorkers(workers);
    // Some layers taller than a band of rows.
    const int32_t w = 1 + static_cast<int32_t>(rng() % 70);
    const int32_t h = 1 + static_cast<int32_t>(rng() % (round % 4 == 3 ? 150u : 50u));
    const float amount = 0.05f + static_cast<float>(rng() % 1000) / 90.0f;  // also past the clamp at 10
    FilterFixture fast(w, h), ref(w, h);
    fast.fillRandom(round);
    ref.fillRandom(round);
    if (round % 3 == 1) {
      fast.randomSelection(round);
      ref.randomSelection(round);
    }
    fast.protectAlpha = ref.protectAlpha = (round % 4 == 2);
    const int32_t l = static_cast<int32_t>(rng() % static_cast<uint32_t>(w));
    const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(h));
    const TRect region{l, t, l + 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(w - l)),
                       t + 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(h - t))};
    const bool ran = gaussianBlur(fast.context(region), amount);
    setParallelWorkers(oldWorkers);
    ASSERT_TRUE(ran);
    ASSERT_TRUE(gaussianBlurReference(ref.context(region), amount));
    ASSERT_TRUE(fast.sameLayer(ref)) << "round " << round << " amount " << amount << ", " << workers << " threads";
  }
}

TEST(BlurFilters, GaussianPreviewOfAPartMatchesTheFullRun) {
  FilterFixture full(50, 40), part(50, 40);
  full.fillRandom(9);
  part.fillRandom(9);
  ASSERT_TRUE(gaussianBlur(full.context(), 4.0f));
  const TRect region{13, 7, 31, 22};
  ASSERT_TRUE(gaussianBlur(part.context(region), 4.0f));
  for (int32_t y = region.Top; y < region.Bottom; ++y)
    for (int32_t x = region.Left; x < region.Right; ++x) ASSERT_EQ(part.pixel(x, y), full.pixel(x, y)) << x << "," << y;
}

TEST(BlurFilters, SelectionWeightsTheResult) {
  FilterFixture f(8, 8), g(8, 8);
  f.setPixels([](int32_t x, int32_t) { return x < 4 ? 0xFF000000u : 0xFFFFFFFFu; });
  g.setPixels([](int32_t x, int32_t) { return x < 4 ? 0xFF000000u : 0xFFFFFFFFu; });
  f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x == 3 ? 0 : (x == 4 ? 128 : 255)); });
  const SFlt4Context cf = f.context();
  ASSERT_TRUE(blurMoreKernel(&cf, nullptr, 0));
  const SFlt4Context cg = g.context();
  ASSERT_TRUE(blurMoreKernel(&cg, nullptr, 0));
  EXPECT_EQ(f.pixel(3, 2), 0xFF000000u);  // unselected
  EXPECT_EQ(f.pixel(5, 2), g.pixel(5, 2));  // fully selected
  // Half selected: moved half way from white toward the blurred value.
  uint32_t expected = 0xFFFFFFFFu;
  lerpPixelRgb(&expected, g.pixel(4, 2), 128);
  EXPECT_EQ(f.pixel(4, 2), expected);
}

TEST(BlurFilters, Custom5x5KernelTakesTheRecordWithItsBlock) {
  SCustom5x5Block block;
  block.Weights = {0, 0, 0, 0, 0, 0, -2, -3, 0, 0, 0, -3, 4, 3, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0};
  block.Divisor = 4;
  block.Offset = -9999;
  uint8_t bytes[SCustom5x5Block::kSize];
  block.write(bytes);
  SFltRecord rec;
  ASSERT_TRUE(initFltRecord(rec, 1, SCustom5x5Block::kSize));
  rec.Extra = bytes;

  FilterFixture f(6, 6);
  f.fillRandom(4);
  const SFlt4Context c = f.context();
  // Records the kernel refuses: the wrong size, another block shape, no block.
  EXPECT_FALSE(customKernel(&c, &rec, 16));
  SFltRecord other = rec;
  ASSERT_TRUE(initFltRecord(other, 1, 56));
  other.Extra = bytes;
  EXPECT_FALSE(customKernel(&c, &other, 50));
  other = rec;
  other.Extra = nullptr;
  EXPECT_FALSE(customKernel(&c, &other, 50));
  EXPECT_TRUE(f.unchanged());

  ASSERT_TRUE(customKernel(&c, &rec, 50));  // offset -9999: every colour byte 0, alpha kept
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(f.pixel(x, y), f.original(x, y) & 0xFF000000u);
  block.Divisor = 0;
  EXPECT_FALSE(custom5x5(c, block));
}

}  // namespace
}  // namespace pg
