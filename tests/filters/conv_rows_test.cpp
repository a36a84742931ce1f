// The vector forms of the convolution runs against the per-pixel reference,
// on grids whose sums cancel to near 0 (huge quotients), whose weights sum to
// 0 or are too large for 32-bit lanes, whose sums reach the limit of the
// quick quotient, and on pixels of random, uniform and zero alpha.
#include "filters/conv_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pg {
namespace {

constexpr int32_t kW = 45, kH = 7;  // the run: row 3, columns 5 .. 39

struct SGrid {
  const char* name;
  std::vector<int32_t> weights;
  SRectXYWH window;
};

const std::vector<SGrid>& grids() {
  static const std::vector<SGrid> g = {
      {"sharpen custom at its strongest", {0, -240, 0, -240, 999, -240, 0, -240, 0}, {-1, -1, 3, 3}},
      {"blur more", std::vector<int32_t>(25, 1), {-2, -2, 5, 5}},
      {"a nearly cancelling pair", {8000, -7999}, {0, 0, 2, 1}},
      {"a cancelling pair at the quick quotient's limit", {4112, -4111}, {0, 0, 2, 1}},
      {"weights summing to 0", {5, 0, -5}, {-1, 0, 3, 1}},
      {"weights too large for lanes", {40000, 1}, {-1, 0, 2, 1}},
      {"the custom dialog's grid", {0, 0, 0, 0, 0, 0, -2, -3, 0, 0, 0, -3, 4, 3, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0},
       {-2, -2, 5, 5}},
  };
  return g;
}

// Pixels: 0 random, 1 one random alpha per row (0 and 1 among them), 2 all
// transparent, 3 all opaque, 4 one alpha but for every eleventh pixel (runs
// of alike alphas broken here and there).
constexpr int kPlaneKinds = 5;
std::vector<uint32_t> plane(int kind, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> p(size_t{kW} * kH);
  for (int32_t y = 0; y < kH; ++y) {
    const uint32_t a = y % 3 == 0 ? 0u : (y % 3 == 1 ? 1u : rng() % 256);
    for (int32_t x = 0; x < kW; ++x) {
      uint32_t& v = p[size_t(y) * kW + size_t(x)];
      v = rng();
      if (kind == 1) v = (v & 0x00FFFFFFu) | (a << 24);
      if (kind == 2) v &= 0x00FFFFFFu;
      if (kind == 3) v |= 0xFF000000u;
      if (kind == 4) v = (v & 0x00FFFFFFu) | ((x + y * kW) % 11 == 0 ? 200u << 24 : 77u << 24);
    }
  }
  return p;
}

struct ScopedLevel {
  explicit ScopedLevel(int n) : old(setConvolutionVectorLevel(n)) {}
  ~ScopedLevel() { setConvolutionVectorLevel(old); }
  int old;
};

// The run over row 3 at every level, against level 0.
template <class Run>
void expectLevelsAlike(const std::vector<uint32_t>& pixels, Run&& run, const std::string& what) {
  const uint32_t* centre = pixels.data() + 3 * kW + 5;
  constexpr int32_t n = 35;  // not a whole number of lanes
  std::vector<uint32_t> reference(n), lanes(n);
  {
    const ScopedLevel level(0);
    run(centre, n, reference.data());
  }
  for (int l : {1, 2, 3}) {
    const ScopedLevel level(l);
    run(centre, n, lanes.data());
    for (int32_t i = 0; i < n; ++i) ASSERT_EQ(lanes[size_t(i)], reference[size_t(i)]) << what << " level " << l << " pixel " << i;
  }
}

TEST(ConvolutionRuns, WeightedLanesMatchThePerPixelLoop) {
  for (const SGrid& g : grids())
    for (int kind = 0; kind < kPlaneKinds; ++kind)
      for (const int32_t offset : {0, 7, -100}) {
        SConvWeighted c;
        c.taps = convTapsOf(g.weights.data(), g.window, kW);
        for (const SConvTap& t : c.taps) c.weightSum += t.w;
        c.own = 0;
        c.offset = offset;
        const std::vector<uint32_t> pixels = plane(kind, 17u + uint32_t(kind));
        expectLevelsAlike(
            pixels, [&](const uint32_t* centre, int32_t n, uint32_t* out) { convolveWeightedRun(c, centre, n, out); },
            std::string(g.name) + " pixels " + std::to_string(kind) + " offset " + std::to_string(offset));
      }
}

TEST(ConvolutionRuns, PlainLanesMatchThePerPixelLoop) {
  for (const SGrid& g : grids())
    for (const int32_t divisor : {1, -3, 7, 9999})
      for (const int32_t offset : {0, 9999, -9999, 123}) {
        SConvPlain c;
        c.taps = convTapsOf(g.weights.data(), g.window, kW);
        c.divisor = divisor;
        c.offset = offset;
        const std::vector<uint32_t> pixels = plane(0, 5u);
        expectLevelsAlike(
            pixels, [&](const uint32_t* centre, int32_t n, uint32_t* out) { convolvePlainRun(c, centre, n, out); },
            std::string(g.name) + " divisor " + std::to_string(divisor) + " offset " + std::to_string(offset));
      }
}

// The quick quotient of the channel lanes (one multiplication by a nudged
// reciprocal) at the largest sums it takes, over many divisors of both signs.
TEST(ConvolutionRuns, QuickQuotientsAreExactUpToTheirLimit) {
  SConvPlain c;
  const std::vector<int32_t> weights = {4112, -4111};  // 255 * 8223 just below 2^21
  c.taps = convTapsOf(weights.data(), {0, 0, 2, 1}, kW);
  for (int kind : {0, 3})
    for (int32_t divisor = 1; divisor < 3000; divisor += divisor < 64 ? 1 : 37)
      for (const int32_t sign : {1, -1}) {
        c.divisor = divisor * sign;
        c.offset = (divisor % 3) * 100 - 100;
        const std::vector<uint32_t> pixels = plane(kind, uint32_t(divisor));
        expectLevelsAlike(
            pixels, [&](const uint32_t* centre, int32_t n, uint32_t* out) { convolvePlainRun(c, centre, n, out); },
            "divisor " + std::to_string(c.divisor));
      }
}

TEST(ConvolutionRuns, LanesRefuseSumsThatCouldOverflow) {
  SConvWeighted weighted;
  weighted.taps = {{0, 40000}, {1, 1}};
  weighted.weightSum = 40001;
  EXPECT_FALSE(weightedFitsLanes(weighted));
  weighted.taps = {{0, 5}, {1, -5}};
  weighted.weightSum = 0;  // the alpha quotient has no divisor: the fallback decides
  EXPECT_FALSE(weightedFitsLanes(weighted));
  weighted.taps = {{0, 999}, {1, -240}};
  weighted.weightSum = 759;
  EXPECT_TRUE(weightedFitsLanes(weighted));
  SConvPlain plain;
  plain.taps = {{0, 999}};
  plain.divisor = 0;
  EXPECT_FALSE(plainFitsLanes(plain));
  plain.divisor = 4;
  EXPECT_TRUE(plainFitsLanes(plain));
  plain.offset = 1 << 20;
  EXPECT_FALSE(plainFitsLanes(plain));
}

}  // namespace
}  // namespace pg
