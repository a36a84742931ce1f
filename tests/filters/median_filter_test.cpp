#include "filters/median_filter.h"

#include <gtest/gtest.h>

#include <random>

#include "filters/filter_fixture.h"

namespace pg {
namespace {

using testing::FilterFixture;

bool runMedian(const SFlt4Context& c, const SFltMedian& rec) {
  uint8_t b[kMedianRecordSize];
  writeMedianRecord(rec, b);
  return medianKernel(&c, b, kMedianRecordSize);
}

TEST(MedianFilter, SelectionWalksFromBothEnds) {
  struct Case {
    std::vector<std::pair<uint32_t, uint32_t>> counts;  // value, count
    uint32_t target;
    uint32_t expected;
  };
  const Case cases[] = {
      {{{10, 1}, {20, 1}}, 1, 10},    // low side at step 10, high side at step 235
      {{{10, 1}, {250, 1}}, 1, 250},  // the high side reaches first (step 5)
      {{{100, 1}, {155, 1}}, 1, 100}, // both at step 100: the low side is tested first
      {{{0, 5}, {255, 4}}, 5, 0},     // radius 1: alpha target 5
      {{{0, 4}, {255, 5}}, 5, 255},
      {{{7, 3}, {8, 3}, {9, 3}}, 5, 8},
      {{}, 0, 0},  // no coloured pixel: colour 0
      {{{3, 2}}, 9, 0},  // the target beyond the total: neither side reaches it
  };
  for (const Case& k : cases) {
    uint32_t counts[256] = {};
    for (const auto& [v, n] : k.counts) counts[v] = n;
    EXPECT_EQ(medianSelectLiteral(counts, k.target), k.expected) << k.target;
  }
}

TEST(MedianFilter, EdgesRepeatAndConstantsStay) {
  FilterFixture f(4, 1);
  const uint32_t row[4] = {0xFF00000Au, 0xFF000014u, 0xFF00001Eu, 0xFF000028u};
  f.setPixels([&row](int32_t x, int32_t) { return row[x]; });
  ASSERT_TRUE(runMedian(f.context(), {1, 0}));
  // x = 0 sees 10, 10, 20 in each of three rows; x = 3 sees 30, 40, 40.
  const uint32_t expected[4] = {0xFF00000Au, 0xFF000014u, 0xFF00001Eu, 0xFF000028u};
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(f.pixel(x, 0), expected[x]) << x;

  FilterFixture c(13, 9);
  c.fill(0xC0123456u);
  ASSERT_TRUE(runMedian(c.context(), {4, 0}));
  EXPECT_TRUE(c.unchanged());
}

TEST(MedianFilter, TransparentPixelsNeverVoteOnColour) {
  // A single opaque pixel among transparent ones keeps its colour while the
  // alpha median drops to 0; protected alpha keeps the alpha and shows it.
  FilterFixture f(5, 5);
  f.setPixels([](int32_t x, int32_t y) { return x == 2 && y == 2 ? 0xFF336699u : 0x00FFFFFFu; });
  f.protectAlpha = true;
  ASSERT_TRUE(runMedian(f.context(), {1, 0}));
  EXPECT_EQ(f.pixel(2, 2), 0xFF336699u);
  EXPECT_EQ(f.pixel(1, 1), 0x00336699u);  // its window holds the opaque pixel: its colour
  EXPECT_EQ(f.pixel(0, 0), 0x00000000u);  // nothing coloured in reach: colour 0

  FilterFixture g(5, 5);
  g.setPixels([](int32_t x, int32_t y) { return x == 2 && y == 2 ? 0xFF336699u : 0x00FFFFFFu; });
  ASSERT_TRUE(runMedian(g.context(), {1, 0}));
  EXPECT_EQ(pixelAlpha(g.pixel(2, 2)), 0u);  // the alpha median of the window is 0
  EXPECT_EQ(g.pixel(0, 0), 0x00FFFFFFu);     // blended over to alpha 0: the colour stays
}

TEST(MedianFilter, RunningHistogramsMatchTheLiteralCount) {
  std::mt19937 rng(77);
  for (int round = 0; round < 18; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 30), h = 1 + static_cast<int32_t>(rng() % 24);
    FilterFixture fast(w, h), ref(w, h);
    // Few distinct values, so that ties and even counts are common; a third transparent.
    const auto pick = [](uint32_t seed) {
      return [rng = std::mt19937(seed)](int32_t, int32_t) mutable {
        const uint32_t v = rng();
        const uint32_t a = (v % 3 == 0) ? 0u : (v % 3 == 1 ? 255u : (v >> 8) % 4 * 60);
        return (a << 24) | (((v >> 4) % 5 * 50 * 0x010101u) ^ ((v >> 12) & 0x0F0F0Fu));
      };
    };
    fast.setPixels(pick(round));
    ref.setPixels(pick(round));
    if (round % 3 == 2) {
      fast.randomSelection(round);
      ref.randomSelection(round);
    }
    fast.protectAlpha = ref.protectAlpha = (round % 4 == 3);
    const SFltMedian rec{static_cast<uint8_t>(round % 6), 0};
    const int32_t l = static_cast<int32_t>(rng() % static_cast<uint32_t>(w));
    const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(h));
    const TRect region{l, t, l + 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(w - l)), h};
    ASSERT_TRUE(medianFilter(fast.context(region), rec));
    ASSERT_TRUE(medianFilterReference(ref.context(region), rec));
    ASSERT_TRUE(fast.sameLayer(ref)) << "round " << round;
  }
}

TEST(MedianFilter, RecordedRadiusAndProtectByte) {
  FilterFixture f(6, 6);
  f.fillRandom(8);
  const SFlt4Context c = f.context();
  uint8_t b[8] = {};
  EXPECT_FALSE(medianKernel(&c, b, 4));
  EXPECT_TRUE(f.unchanged());
  ASSERT_TRUE(runMedian(c, {255, 1}));  // past the dialog's 100: clamped; the record protects alpha
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(pixelAlpha(f.pixel(x, y)), pixelAlpha(f.original(x, y)));
}

}  // namespace
}  // namespace pg
