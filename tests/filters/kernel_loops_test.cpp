#include "filters/kernel_loops.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "brush/plot_merge.h"
#include "core/parallel.h"
#include "filters/conv_rows.h"
#include "filters/filter_fixture.h"

namespace pg {
namespace {

using testing::FilterFixture;

// ------------------------------------------------------------- the context

TEST(KernelContext, ValidityNeedsEveryPartAndAnAreaInsideTheImage) {
  FilterFixture f(8, 6);
  struct Case {
    const char* name;
    void (*spoil)(SFlt4Context&);
    bool valid;
  };
  const Case cases[] = {
      {"whole layer", [](SFlt4Context&) {}, true},
      {"no image", [](SFlt4Context& c) { c.image = nullptr; }, false},
      {"no selection", [](SFlt4Context& c) { c.selection = nullptr; }, false},
      {"no source", [](SFlt4Context& c) { c.source = nullptr; }, false},
      {"no work image", [](SFlt4Context& c) { c.workImage = nullptr; }, false},
      {"no work channel", [](SFlt4Context& c) { c.workChannel = nullptr; }, false},
      {"no mask procedure", [](SFlt4Context& c) { c.maskValue = nullptr; }, false},
      {"empty bounds", [](SFlt4Context& c) { c.bounds = {2, 2, 2, 4}; }, false},
      {"empty region", [](SFlt4Context& c) { c.region = {3, 1, 3, 5}; }, false},
      {"inverted region", [](SFlt4Context& c) { c.region = {5, 5, 1, 1}; }, false},
      {"region past the image", [](SFlt4Context& c) { c.region = {4, 0, 9, 6}; }, false},
      {"region above the image", [](SFlt4Context& c) { c.region = {0, -1, 8, 6}; }, false},
      {"one pixel", [](SFlt4Context& c) { c.region = c.bounds = {7, 5, 8, 6}; }, true},
  };
  for (const Case& k : cases) {
    SFlt4Context c = f.context();
    k.spoil(c);
    EXPECT_EQ(isValidContext(&c), k.valid) << k.name;
  }
  EXPECT_FALSE(isValidContext(nullptr));

  FilterFixture small(8, 6);
  EXPECT_TRUE(small.work.Resize(7, 6));  // a work plane that does not cover the layer
  const SFlt4Context c = small.context();
  EXPECT_FALSE(isValidContext(&c));
}

TEST(KernelContext, SelectionWeights) {
  FilterFixture f(6, 4);
  SFlt4Context c = f.context();
  EXPECT_EQ(c.maskValue, &maskValueAll);  // no mask image: everything weighs 255
  EXPECT_EQ(c.maskValue(c, 3, 2), 255u);

  f.setSelection([](int32_t x, int32_t y) { return static_cast<uint8_t>(x * 10 + y); });
  f.mask.offsetX = 1;  // mask x = document x + 1
  c = f.context();
  c.offsetX = 2;  // document x = layer x - 2
  ASSERT_EQ(c.maskValue, &maskValueOfSelection);
  EXPECT_EQ(c.maskValue(c, 3, 2), 22u);  // document 1 -> mask 2
  EXPECT_EQ(c.maskValue(c, 0, 0), 0u);   // mask -1 outside its image gives no weight
  EXPECT_EQ(c.maskValue(c, 7, 0), 0u);   // mask 6: outside

  uint8_t span[6];
  EXPECT_TRUE(selectionSpan(c, 0, 1, 6, span));
  const uint8_t expected[6] = {0, 1, 11, 21, 31, 41};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(span[i], expected[i]) << i;
  EXPECT_FALSE(selectionSpan(c, -5, 1, 2, span));
}

TEST(KernelContext, WeightedWriteIsTheTwoBlends) {
  std::mt19937 rng(8);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t pixel = rng(), colour = (i % 5 == 0) ? rng() & 0x00FFFFFFu : rng();
    const uint32_t weight = (i % 3 == 0) ? 255u : rng() % 256;
    uint32_t over = pixel, keep = pixel, a = pixel, b = pixel;
    blendPixelOver(&over, colour, weight);
    lerpPixelRgb(&keep, colour, weight);
    writeWeighted(&a, colour, weight, false);
    writeWeighted(&b, colour, weight, true);
    ASSERT_EQ(a, over) << std::hex << pixel << " " << colour << " " << weight;
    ASSERT_EQ(b, keep) << std::hex << pixel << " " << colour << " " << weight;
  }
}

TEST(KernelContext, WalkerVisitsSelectedPixelsInRowOrder) {
  FilterFixture f(40, 3);  // two tile columns
  f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x % 3 == 0 ? 0 : 7); });
  const SFlt4Context c = f.context({1, 1, 36, 3});
  std::vector<std::pair<int32_t, int32_t>> seen;
  ASSERT_TRUE(forEachSelectedPixel(c, c.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t w) {
    EXPECT_EQ(w, 7u);
    EXPECT_EQ(p, f.layer->pixelPtr(x, y));
    seen.emplace_back(x, y);
  }));
  std::vector<std::pair<int32_t, int32_t>> expected;
  for (int32_t y = 1; y < 3; ++y)
    for (int32_t x = 1; x < 36; ++x)
      if (x % 3 != 0) expected.emplace_back(x, y);
  EXPECT_EQ(seen, expected);
}

// -------------------------------------------------------------- table loops

std::array<uint32_t, 256> invertLut() {
  std::array<uint32_t, 256> t{};
  for (uint32_t v = 0; v < 256; ++v) t[v] = (255 - v) * 0x01010101u;
  return t;
}

TEST(TableLoops, LutMovesEachChannelByTheWeight) {
  const auto lut = invertLut();
  struct Case {
    uint32_t pixel;
    uint8_t weight;
    bool keepAlpha;
    uint32_t expected;
  };
  // Inverted: 0x80402010 -> 0x7FBFDFEF.
  const Case cases[] = {
      {0x80402010u, 255, true, 0x80BFDFEFu},   // colour bytes replaced, alpha kept
      {0x80402010u, 255, false, 0x7FBFDFEFu},  // blended over: alpha follows too
      {0x80402010u, 0, false, 0x80402010u},    // unselected: untouched
      // half weight, keep alpha: floor((c*128 + s*127) / 255) per byte
      {0x80402010u, 128, true, 0x807F7F7Fu},
  };
  for (const Case& k : cases) {
    FilterFixture f(3, 2);
    f.fill(k.pixel);
    f.setSelection([&k](int32_t, int32_t) { return k.weight; });
    const SFlt4Context c = f.context();
    ASSERT_TRUE(applyLutMasked(&c, lut.data(), k.keepAlpha));
    EXPECT_EQ(f.pixel(2, 1), k.expected) << std::hex << k.pixel << " w " << int{k.weight};
  }
}

TEST(TableLoops, GreyMapsIndexByGreyAndAlpha) {
  std::array<uint32_t, 256> table{};
  for (uint32_t v = 0; v < 256; ++v) table[v] = ((v & 1) ? 0x11000000u : 0xEE000000u) | (v << 16) | 0x0000AA00u | (255 - v);
  FilterFixture f(2, 2);
  f.fill(0xC0FF0000u);  // red 255: grey (255 * 19595) >> 16 = 76
  SFlt4Context c = f.context();
  ASSERT_TRUE(applyGreyMapMasked(&c, table.data(), false));
  EXPECT_EQ(f.pixel(0, 0), 0xEE4CAAB3u);  // table[76] blended over fully

  FilterFixture g(2, 2);
  g.fill(0xC1FF0000u);  // alpha 0xC1 = 193 (odd): its table entry's alpha is 0x11
  c = g.context();
  ASSERT_TRUE(applyGreyMapAlphaLut(&c, table.data(), false));
  EXPECT_EQ(g.pixel(1, 1), 0x114CAAB3u);
}

TEST(TableLoops, ClearAndCopyRefuseProtectedLayers) {
  FilterFixture f(4, 4);
  f.fill(0xFF336699u);
  SFlt4Context c = f.context();
  EXPECT_FALSE(clearRegionMasked(&c, true));
  EXPECT_TRUE(f.unchanged());
  EXPECT_FALSE(copyWorkToLayerMasked(&c, true));
  EXPECT_TRUE(f.unchanged());

  ASSERT_TRUE(clearRegionMasked(&c, false));
  EXPECT_EQ(pixelAlpha(f.pixel(1, 1)), 0u);

  *f.work.pixelAt(2, 3) = 0xFF010203u;
  ASSERT_TRUE(copyWorkToLayerMasked(&c, false));
  EXPECT_EQ(f.pixel(2, 3), 0xFF010203u);
  EXPECT_EQ(f.pixel(0, 0), 0xFF336699u);
}

// -------------------------------------------------------------- convolution

TEST(Convolution, TrimKernelDropsZeroBorders) {
  struct Case {
    std::vector<int32_t> weights;
    SRectXYWH window;
    std::vector<int32_t> trimmed;
    SRectXYWH expected;
  };
  const Case cases[] = {
      {{0, 1, 0, 1, 4, 1, 0, 1, 0}, {-1, -1, 3, 3}, {0, 1, 0, 1, 4, 1, 0, 1, 0}, {-1, -1, 3, 3}},
      {{0, 0, 0, 0, 5, 2, 0, 3, 0}, {-1, -1, 3, 3}, {5, 2, 3, 0}, {0, 0, 2, 2}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {-1, -1, 3, 3}, {}, {-1, -1, 0, 0}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0},
       {-2, -2, 5, 5},
       {7},
       {-1, 1, 1, 1}},
  };
  for (const Case& k : cases) {
    std::vector<int32_t> out;
    SRectXYWH w;
    ASSERT_TRUE(trimKernel(out, w, k.weights.data(), k.window));
    EXPECT_EQ(out, k.trimmed);
    EXPECT_EQ(w, k.expected);
  }
  std::vector<int32_t> out;
  SRectXYWH w;
  const std::vector<int32_t> big(static_cast<size_t>(257 * 256), 1);
  EXPECT_FALSE(trimKernel(out, w, big.data(), {0, 0, 257, 256}));  // beyond the table's room
  EXPECT_FALSE(trimKernel(out, w, big.data(), {0, 0, -1, 3}));
}

TEST(Convolution, BlurAtTheBorderReplicatesEdgePixels) {
  // A 3 x 1 opaque row: blue 30, 60, 90. The all-ones 3 x 3 at (0, 0) reads
  // columns -1, 0, 1 of rows -1, 0, 1: each row 30, 30, 60 -> mean 40.
  TMTC plane(3, 1);
  *plane.pixelAt(0, 0) = 0xFF00001Eu;
  *plane.pixelAt(1, 0) = 0xFF00003Cu;
  *plane.pixelAt(2, 0) = 0xFF00005Au;
  const int32_t ones[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  struct Case {
    int32_t x;
    uint32_t expected;
  };
  for (const Case& k : {Case{0, 0xFF000028u}, Case{1, 0xFF00003Cu}, Case{2, 0xFF000050u}}) {
    uint32_t out = 0;
    ASSERT_TRUE(convolveAt(out, plane, {0, 0, 3, 1}, 0, ones, {-1, -1, 3, 3}, 0, k.x));
    EXPECT_EQ(out, k.expected) << k.x;
  }
  uint32_t out = 0;
  EXPECT_FALSE(convolveAt(out, plane, {0, 0, 3, 1}, 0, ones, {-1, -1, 3, 3}, 0, 9));  // window misses
}

TEST(Convolution, AlphaWeightsTheColourAndTransparencyFallsBack) {
  TMTC plane(2, 1);
  *plane.pixelAt(0, 0) = 0xFF0000C8u;  // opaque, blue 200
  *plane.pixelAt(1, 0) = 0x00000000u;  // transparent black
  const int32_t pair[2] = {1, 1};
  uint32_t out = 0;
  // Colour from the opaque pixel only; alpha the plain mean 255 * 1 / 2.
  ASSERT_TRUE(convolveAt(out, plane, {0, 0, 2, 1}, 0, pair, {0, 0, 2, 1}, 0, 0));
  EXPECT_EQ(out, 0x7F0000C8u);

  *plane.pixelAt(0, 0) = 0x00123456u;  // both transparent: own pixel plus the offset
  ASSERT_TRUE(convolveAt(out, plane, {0, 0, 2, 1}, 3, pair, {0, 0, 2, 1}, 0, 0));
  EXPECT_EQ(out, 0x03153759u);
  // Weights summing to 0 fall back too.
  *plane.pixelAt(0, 0) = 0xFF0000C8u;
  const int32_t diff[2] = {1, -1};
  ASSERT_TRUE(convolveAt(out, plane, {0, 0, 2, 1}, 0, diff, {0, 0, 2, 1}, 0, 0));
  EXPECT_EQ(out, 0xFF0000C8u);
}

TEST(Convolution, Custom5x5DividesAddsAndKeepsAlpha) {
  FilterFixture f(5, 5);
  f.setPixels([](int32_t x, int32_t y) { return 0x80000000u | static_cast<uint32_t>(10 * x + y); });
  int32_t w[25] = {};
  w[12] = 3;  // centre only
  w[13] = 1;  // right neighbour
  SFlt4Context c = f.context();
  EXPECT_FALSE(convolve5x5Masked(&c, w, {-2, -2, 5, 5}, 0, 0));  // divisor 0 refused
  EXPECT_TRUE(f.unchanged());
  ASSERT_TRUE(convolve5x5Masked(&c, w, {-2, -2, 5, 5}, 5, 2));
  // Blue (3 * 21 + 31) / 2 + 5 = 52 at (2, 1); green and red 0 / 2 + 5. The
  // right edge replicates (4, 1): (3 * 41 + 41) / 2 + 5 = 87.
  EXPECT_EQ(f.pixel(2, 1), 0x80050534u);
  EXPECT_EQ(f.pixel(4, 1), 0x80050557u);
}

// Sets the number of threads for one scope.
struct ScopedWorkers {
  explicit ScopedWorkers(int n) : old(setParallelWorkers(n)) {}
  ~ScopedWorkers() { setParallelWorkers(old); }
  int old;
};

// Sets the widest vector form of the convolution runs for one scope.
struct ScopedConvLevel {
  explicit ScopedConvLevel(int n) : old(setConvolutionVectorLevel(n)) {}
  ~ScopedConvLevel() { setConvolutionVectorLevel(old); }
  int old;
};

// The same pixels into both fixtures: random, or (every other seed) with
// runs of transparent and of opaque pixels, where the alpha-weighted sums are
// 0 or the alphas all alike.
void fillMixedAlpha(FilterFixture& a, FilterFixture& b, uint32_t seed) {
  std::mt19937 rng(seed);
  const bool runs = seed % 2 == 0;
  uint32_t alpha = 0;
  const auto pixel = [&](int32_t, int32_t) {
    const uint32_t p = static_cast<uint32_t>(rng());
    if (!runs) return p;
    if (rng() % 9 == 0) alpha = (rng() % 3) == 0 ? 0u : (rng() % 2 ? 255u : static_cast<uint32_t>(rng() % 256));
    return (p & 0x00FFFFFFu) | (alpha << 24);
  };
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < a.height(); ++y)
    for (int32_t x = 0; x < a.width(); ++x) pixels.push_back(pixel(x, y));
  const auto at = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(a.width()) + static_cast<size_t>(x)]; };
  a.setPixels(at);
  b.setPixels(at);
}

// The literal loop: convolveAt at every selected pixel of the region.
void referenceConvolve(FilterFixture& f, const SFlt4Context& c, const std::vector<int32_t>& w, SRectXYWH win,
                       bool keepAlpha, int32_t offset) {
  std::vector<int32_t> t;
  SRectXYWH tw;
  ASSERT_TRUE(trimKernel(t, tw, w.data(), win));
  if (t.empty()) return;
  for (int32_t y = c.region.Top; y < c.region.Bottom; ++y)
    for (int32_t x = c.region.Left; x < c.region.Right; ++x) {
      const uint32_t weight = c.maskValue(c, x, y);
      if (weight == 0) continue;
      uint32_t out = 0;
      // A window that misses the image (it need not hold its target) leaves the pixel.
      if (!convolveAt(out, f.work, {0, 0, f.width(), f.height()}, offset, t.data(), tw, y, x)) continue;
      writeWeighted(f.layer->pixelPtr(x, y), out, weight, keepAlpha);
    }
}

// The fast loops compute bands of 32 rows on several threads, and the rows'
// inner pixels in vector lanes: the pixels must be those of the literal loop
// on one thread, over more than one band, at every vector level.
TEST(Convolution, FastLoopMatchesTheLiteralLoopAtAnyThreadCount) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 36; ++round) {
    const ScopedWorkers workers(round % 3 == 0 ? 1 : 4);
    const ScopedConvLevel level((round / 3) % 4);
    const int32_t w = 5 + static_cast<int32_t>(rng() % 40), h = 3 + static_cast<int32_t>(rng() % 70);
    const int32_t kw = 1 + static_cast<int32_t>(rng() % 5), kh = 1 + static_cast<int32_t>(rng() % 5);
    std::vector<int32_t> weights(static_cast<size_t>(kw * kh));
    // Small weights, or the sharpen grid's size (sums near 0 give huge quotients).
    const int32_t spread = round % 5 == 4 ? 1999 : 41, low = round % 5 == 4 ? 999 : 12;
    for (int32_t& v : weights) v = (rng() % 3 == 0) ? 0 : static_cast<int32_t>(rng() % spread) - low;
    const SRectXYWH win{-static_cast<int32_t>(rng() % 4), -static_cast<int32_t>(rng() % 4), kw, kh};
    const bool keepAlpha = rng() & 1;
    const int32_t offset = static_cast<int32_t>(rng() % 21) - 10;
    FilterFixture fast(w, h), ref(w, h);
    fillMixedAlpha(fast, ref, round);
    if (round % 4 == 1) {
      fast.randomSelection(round + 100);
      ref.randomSelection(round + 100);
    } else if (round % 4 == 3) {
      // Blocks unselected, wholly selected and half selected: whole stretches
      // of a selection image as well as mixed ones.
      const auto blocks = [](int32_t x, int32_t y) {
        const int32_t k = (x / 8 + y / 5) % 3;
        return static_cast<uint8_t>(k == 0 ? 0 : (k == 1 ? 255 : 100));
      };
      fast.setSelection(blocks);
      ref.setSelection(blocks);
    }
    const int32_t l = static_cast<int32_t>(rng() % 3), t = static_cast<int32_t>(rng() % 2);
    const TRect region{l, t, w - static_cast<int32_t>(rng() % 3), h};
    const SFlt4Context cf = fast.context(region), cr = ref.context(region);
    ASSERT_TRUE(convolveMasked(&cf, weights.data(), win, keepAlpha, offset));
    referenceConvolve(ref, cr, weights, win, keepAlpha, offset);
    ASSERT_TRUE(fast.sameLayer(ref)) << "round " << round;
  }
}

// A layer whose tiles were never painted (uniform) takes the filter only in
// the tiles that hold selected pixels, as the literal loop commits them; the
// others stay uniform, whatever the thread count.
TEST(Convolution, OnlyTilesWithSelectedPixelsAreCommitted) {
  for (const int workers : {1, 4}) {
    const ScopedWorkers scoped(workers);
    constexpr int32_t w = 150, h = 140;  // five by five tiles, over three bands
    FilterFixture fast(w, h), ref(w, h);
    std::mt19937 rng(77);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *fast.work.pixelAt(x, y) = *ref.work.pixelAt(x, y) = static_cast<uint32_t>(rng());
    // Selected: a block across tile edges, and one pixel in another tile.
    const auto selection = [](int32_t x, int32_t y) {
      return static_cast<uint8_t>((x >= 20 && x < 75 && y >= 40 && y < 100) || (x == 130 && y == 10) ? 255 : 0);
    };
    fast.setSelection(selection);
    ref.setSelection(selection);
    const int32_t sharpen[9] = {0, -60, 0, -60, 999, -60, 0, -60, 0};
    const SFlt4Context cf = fast.context(), cr = ref.context();
    ASSERT_TRUE(convolveMasked(&cf, sharpen, {-1, -1, 3, 3}, false, 0));
    referenceConvolve(ref, cr, std::vector<int32_t>(sharpen, sharpen + 9), {-1, -1, 3, 3}, false, 0);
    EXPECT_TRUE(fast.sameLayer(ref)) << workers;
    int32_t committed = 0;
    for (int32_t i = 0; i < fast.layer->tileCount(); ++i) {
      EXPECT_EQ(fast.layer->tileRef(i).committed(), ref.layer->tileRef(i).committed()) << "tile " << i << ", " << workers;
      committed += fast.layer->tileRef(i).committed() ? 1 : 0;
    }
    EXPECT_EQ(committed, 3 * 3 + 1) << workers;  // the block's nine tiles and the lone pixel's
  }
}

TEST(Convolution, FastFiveByFiveMatchesTheLiteralLoopAtAnyThreadCount) {
  std::mt19937 rng(99);
  for (int round = 0; round < 18; ++round) {
    const ScopedWorkers workers(round % 3 == 0 ? 1 : 3);
    const ScopedConvLevel level((round / 3) % 4);
    const int32_t w = 3 + static_cast<int32_t>(rng() % 30), h = 2 + static_cast<int32_t>(rng() % 70);
    int32_t weights[25];
    for (int32_t& v : weights) v = (rng() % 4 == 0) ? 0 : static_cast<int32_t>(rng() % 1999) - 999;
    // Divisors from 1 (quotients far past the bytes) to the dialog's largest,
    // offsets over the dialog's whole range.
    const int32_t divisor = round % 4 == 1 ? 1 : static_cast<int32_t>(rng() % 9999) + 1;
    const int32_t offset = static_cast<int32_t>(rng() % 19999) - 9999;
    FilterFixture fast(w, h), ref(w, h);
    fast.fillRandom(round + 7);
    ref.fillRandom(round + 7);
    if (round % 2) {  // else wholly selected: the full-weight stretches
      fast.randomSelection(round);
      ref.randomSelection(round);
    }
    const SFlt4Context cf = fast.context(), cr = ref.context();
    ASSERT_TRUE(convolve5x5Masked(&cf, weights, {-2, -2, 5, 5}, offset, divisor));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t weight = cr.maskValue(cr, x, y);
        if (weight == 0) continue;
        uint32_t out = 0;
        ASSERT_TRUE(convolveAtPlain(out, ref.work, {0, 0, w, h}, offset, divisor, {-2, -2, 5, 5}, weights, y, x));
        lerpPixelRgb(ref.layer->pixelPtr(x, y), out, weight);
      }
    ASSERT_TRUE(fast.sameLayer(ref)) << "round " << round;
  }
}

TEST(Convolution, AllZeroWeightsChangeNothing) {
  FilterFixture f(6, 6);
  f.fillRandom(5);
  const int32_t zero[9] = {};
  const SFlt4Context c = f.context();
  EXPECT_TRUE(convolveMasked(&c, zero, {-1, -1, 3, 3}, false, 0));
  EXPECT_TRUE(f.unchanged());
}

}  // namespace
}  // namespace pg
