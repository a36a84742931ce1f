#include "filters/fractal_noise.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace pg {
namespace {

std::vector<uint8_t> bytesOf(const TChannel& p) {
  std::vector<uint8_t> v;
  for (int32_t y = 0; y < p.Height; ++y)
    for (int32_t x = 0; x < p.Width; ++x) v.push_back(p.getPixel(x, y));
  return v;
}

TEST(FractalNoise, PlaneSizesArePowersOfTwo) {
  struct Case {
    int32_t n, size;
  };
  for (const Case& k : {Case{1, 1}, Case{2, 2}, Case{3, 4}, Case{4, 4}, Case{5, 8}, Case{9, 16}, Case{10000, 16384}, Case{0, 1}})
    EXPECT_EQ(plasmaPlaneSize(k.n), k.size) << k.n;
  TPlasma p;
  const TChannel* plane = p.generate(3, 5, 1.0f, 7);
  ASSERT_NE(plane, nullptr);
  EXPECT_EQ(plane->Width, 4);
  EXPECT_EQ(plane->Height, 8);
}

// Values written out by hand-following the generator's description: the
// starting points, then per pass the diamond and square steps with the
// range restarted from the seed, positions wrapping.
TEST(FractalNoise, PlasmaGoldenPlanes) {
  TPlasma p;
  const TChannel* a = p.generate(8, 3, 1.0f, 12345);
  ASSERT_NE(a, nullptr);
  const std::vector<uint8_t> expectedA = {127, 125, 126, 125, 127, 125, 124, 124, 125, 125, 126, 125, 125, 125, 124, 125,
                                          125, 125, 126, 126, 126, 124, 125, 125, 126, 126, 125, 125, 126, 125, 124, 124};
  EXPECT_EQ(bytesOf(*a), expectedA);

  TPlasma3 q;
  ASSERT_NE(q.generate(4, 4, 2.5f, 777), nullptr);
  EXPECT_EQ(bytesOf(q.plane), (std::vector<uint8_t>{127, 127, 130, 128, 130, 127, 128, 130, 127, 127, 127, 128, 124, 127, 129, 127}));
  EXPECT_EQ(bytesOf(q.plane2), (std::vector<uint8_t>{129, 129, 125, 127, 124, 128, 124, 123, 129, 130, 126, 126, 125, 128, 123, 125}));
  EXPECT_EQ(bytesOf(q.plane3), (std::vector<uint8_t>{126, 125, 127, 129, 126, 125, 126, 127, 130, 128, 127, 128, 128, 131, 127, 127}));

  // Two pixels across: one pass with step 1 and half step 0.
  TPlasma two;
  EXPECT_EQ(bytesOf(*two.generate(2, 2, 1.0f, 99)), (std::vector<uint8_t>{125, 125, 127, 126}));
}

TEST(FractalNoise, SeedsAndTinyAreas) {
  TPlasma a, b, c;
  const std::vector<uint8_t> pa = bytesOf(*a.generate(33, 17, 1.0f, 5)), pb = bytesOf(*b.generate(33, 17, 1.0f, 5));
  EXPECT_EQ(pa, pb);
  EXPECT_NE(pa, bytesOf(*c.generate(33, 17, 1.0f, 6)));

  // A 1 x 1 area: no pass (a step of 0 would divide); the starting value stays.
  TPlasma one;
  const TChannel* p = one.generate(1, 1, 1.0f, 3);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Width, 1);
  EXPECT_LE(std::abs(int{p->getPixel(0, 0)} - 128), 1);

  // Hostile strengths stay defined.
  TPlasma wild;
  EXPECT_NE(wild.generate(16, 16, 1e30f, 1), nullptr);
  EXPECT_NE(wild.generate(16, 16, std::nanf(""), 1), nullptr);
}

TEST(FractalNoise, EaseTable) {
  const auto& e = easeTable();
  EXPECT_EQ(e[0], 0.0f);
  EXPECT_FLOAT_EQ(e[128], 0.5f);
  EXPECT_LT(e[255], 1.0f);
  for (size_t i = 1; i < 256; ++i) ASSERT_GT(e[i], e[i - 1]);
}

// Values from the octave description followed step by step.
TEST(FractalNoise, OctaveNoiseGolden) {
  TChannel out;
  ASSERT_TRUE(buildOctaveNoise(out, 7, 5, 0.5, 1));
  EXPECT_EQ(bytesOf(out), (std::vector<uint8_t>{99, 99, 98, 96, 95, 96, 97, 99, 98, 97, 96, 95, 96, 98, 100, 99, 98, 96,
                                                96, 97, 99, 100, 100, 98, 96, 95, 97, 99, 100, 100, 98, 96, 95, 96, 98}));
  ASSERT_TRUE(buildOctaveNoise(out, 20, 12, 1.0, 4242));
  EXPECT_EQ(out.Width, 20);
  EXPECT_EQ(out.Height, 12);
  EXPECT_EQ(out.getPixel(0, 0), 88);
  EXPECT_EQ(out.getPixel(19, 11), 86);
  EXPECT_EQ(out.getPixel(10, 6), 89);
  EXPECT_FALSE(buildOctaveNoise(out, 0, 5, 1.0, 1));
}

TEST(FractalNoise, OctaveNoiseWrapsAcrossTheTileEdges) {
  TChannel out;
  ASSERT_TRUE(buildOctaveNoise(out, 96, 64, 3.0, 77));
  // The step from the last column to the first is no larger than the steps
  // inside the tile.
  int32_t inner = 0, seam = 0;
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 1; x < 96; ++x) inner = std::max(inner, std::abs(out.getPixel(x, y) - out.getPixel(x - 1, y)));
    seam = std::max(seam, std::abs(out.getPixel(0, y) - out.getPixel(95, y)));
  }
  for (int32_t x = 0; x < 96; ++x) seam = std::max(seam, std::abs(out.getPixel(x, 0) - out.getPixel(x, 63)));
  EXPECT_LE(seam, inner);
}

TEST(FractalNoise, ValueWeightedBlur) {
  TChannel src(6, 4), dst(6, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) *src.pixelAt(x, y) = 90;
  ASSERT_TRUE(valueWeightedBlur(dst, src, 1.5));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(dst.getPixel(x, y), 90);
  // One bright pixel: the weighting by value pulls its neighbours up more
  // than a plain mean would (sum v^2 w / sum v w).
  *src.pixelAt(2, 2) = 250;
  ASSERT_TRUE(valueWeightedBlur(dst, src, 1.5));
  EXPECT_GT(dst.getPixel(2, 2), 90);
  EXPECT_LT(dst.getPixel(2, 2), 250);
  // Sigma 0 copies.
  ASSERT_TRUE(valueWeightedBlur(dst, src, 0.0));
  EXPECT_EQ(dst.getPixel(2, 2), 250);
}

}  // namespace
}  // namespace pg
