#include "filters/noise_filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/random.h"
#include "filters/filter_fixture.h"
#include "filters/filter_random.h"
#include "filters/record_bytes.h"
#include "filters/samplers.h"

namespace pg {
namespace {

using testing::FilterFixture;

bool runNoise(const SFlt4Context& c, const SFltNoise& rec) {
  uint8_t bytes[kNoiseRecordSize];
  writeNoiseRecord(rec, bytes);
  return noiseKernel(&c, bytes, kNoiseRecordSize);
}
bool runDiffuse(const SFlt4Context& c, const SFltDiffuse& rec) {
  uint8_t bytes[kDiffuseRecordSize];
  writeDiffuseRecord(rec, bytes);
  return diffuseKernel(&c, bytes, kDiffuseRecordSize);
}
bool runMosaic(const SFlt4Context& c, const SFltMosaic& rec) {
  uint8_t bytes[kMosaicRecordSize];
  writeMosaicRecord(rec, bytes);
  return mosaicKernel(&c, bytes, kMosaicRecordSize);
}

// The state after n steps of the generator from seed.
uint32_t stepped(uint32_t seed, uint64_t n) {
  for (uint64_t i = 0; i < n; ++i) seed = lcgNext(seed);
  return seed;
}

TEST(NoiseFilters, RecordLayouts) {
  uint8_t b[16];
  writeNoiseRecord({300, 1, 0xA1B2C3D4u}, b);
  EXPECT_EQ(readRecI32(b), 300);
  EXPECT_EQ(readRecI32(b + 4), 1);
  EXPECT_EQ(readLE32(b + 8), 0xA1B2C3D4u);
  EXPECT_EQ(readLE32(b + 12), 0u);
  writeDiffuseRecord({17, 2, 99u, 1, 1}, b);
  EXPECT_EQ(readRecI32(b), 17);
  EXPECT_EQ(readRecI32(b + 4), 2);
  EXPECT_EQ(readLE32(b + 8), 99u);
  EXPECT_EQ(b[12], 1);
  EXPECT_EQ(b[13], 0);
  EXPECT_EQ(b[14], 1);
  EXPECT_EQ(b[15], 0);
  SFltDiffuse d;
  ASSERT_TRUE(readDiffuseRecord(b, 16, d));
  EXPECT_EQ(d.range, 17);
  EXPECT_EQ(d.radial, 1);
  EXPECT_EQ(d.protect, 1);
  EXPECT_FALSE(readDiffuseRecord(b, 8, d));
  SFltMosaic m;
  EXPECT_FALSE(readMosaicRecord(b, 16, m));
}

// Every byte of each record, written over a buffer of 0xEE so that a byte the
// writer skips shows, and the fields read back from those bytes.
TEST(NoiseFilters, RecordsHaveTheirBytesAndReadBackWhole) {
  using Bytes = std::vector<uint8_t>;
  uint8_t b[16];
  std::fill(std::begin(b), std::end(b), uint8_t{0xEE});
  writeNoiseRecord({-2, 0x01020304, 0xA1B2C3D4u}, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1, 0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 0, 0}));
  SFltNoise n;
  ASSERT_TRUE(readNoiseRecord(b, kNoiseRecordSize, n));
  EXPECT_EQ(n.amount, -2);
  EXPECT_EQ(n.mono, 0x01020304);
  EXPECT_EQ(n.seed, 0xA1B2C3D4u);

  std::fill(std::begin(b), std::end(b), uint8_t{0xEE});
  writeDiffuseRecord({0x0102, -1, 0x0A0B0C0Du, 7, 9}, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{2, 1, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0D, 0x0C, 0x0B, 0x0A, 7, 0, 9, 0}));
  b[13] = 0x55;  // the reserved bytes are not read
  b[15] = 0x66;
  SFltDiffuse d;
  ASSERT_TRUE(readDiffuseRecord(b, kDiffuseRecordSize, d));
  EXPECT_EQ(d.range, 0x0102);
  EXPECT_EQ(d.mode, -1);
  EXPECT_EQ(d.seed, 0x0A0B0C0Du);
  EXPECT_EQ(d.radial, 7);
  EXPECT_EQ(d.protect, 9);

  std::fill(std::begin(b), std::end(b), uint8_t{0xEE});
  writeMosaicRecord({0x01020304, -3}, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{4, 3, 2, 1, 0xFD, 0xFF, 0xFF, 0xFF, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
  SFltMosaic m;
  ASSERT_TRUE(readMosaicRecord(b, kMosaicRecordSize, m));
  EXPECT_EQ(m.size, 0x01020304);
  EXPECT_EQ(m.protect, -3);
}

TEST(NoiseFilters, NoiseMovesColourByTheDrawnValues) {
  FilterFixture f(1, 1);
  f.fill(0x80646464u);
  ASSERT_TRUE(runNoise(f.context(), {50, 0, 1234u}));
  setFilterRandomState(1234u);
  const int32_t r = static_cast<int32_t>(filterRandom(100)) - 50;
  const int32_t g = static_cast<int32_t>(filterRandom(100)) - 50;
  const int32_t b = static_cast<int32_t>(filterRandom(100)) - 50;
  EXPECT_EQ(f.pixel(0, 0), 0x80000000u | static_cast<uint32_t>((100 + r) << 16 | (100 + g) << 8 | (100 + b)));

  FilterFixture m(1, 1);
  m.fill(0x80FF0000u);
  ASSERT_TRUE(runNoise(m.context(), {512, 1, 7u}));
  setFilterRandomState(7u);
  const int32_t v = static_cast<int32_t>(filterRandom(1024)) - 512;
  const auto clamp = [](int32_t c) { return static_cast<uint32_t>(std::clamp(c, 0, 255)); };
  EXPECT_EQ(m.pixel(0, 0), 0x80000000u | clamp(255 + v) << 16 | clamp(v) << 8 | clamp(v));
}

TEST(NoiseFilters, NoiseOfAmountZeroStillAdvancesTheGenerator) {
  FilterFixture f(9, 7);
  f.fillRandom(3);
  ASSERT_TRUE(runNoise(f.context(), {0, 0, 55u}));
  EXPECT_TRUE(f.unchanged());
  EXPECT_EQ(filterRandomState(), stepped(55u, 3 * 9 * 7));
  ASSERT_TRUE(runNoise(f.context(), {0, 1, 55u}));
  EXPECT_EQ(filterRandomState(), stepped(55u, 9 * 7));
  // A recorded amount past the range is clamped, not trusted.
  ASSERT_TRUE(runNoise(f.context(), {1 << 30, 0, 55u}));
}

TEST(NoiseFilters, NoiseKeepsAlphaAndReplays) {
  FilterFixture a(30, 20), b(30, 20);
  a.fillRandom(8);
  b.fillRandom(8);
  a.randomSelection(1);
  b.randomSelection(1);
  ASSERT_TRUE(runNoise(a.context(), {200, 0, 31337u}));
  ASSERT_TRUE(runNoise(b.context(), {200, 0, 31337u}));
  EXPECT_TRUE(a.sameLayer(b));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 30; ++x) ASSERT_EQ(pixelAlpha(a.pixel(x, y)), pixelAlpha(a.original(x, y)));
  EXPECT_FALSE(a.unchanged());
}

// Each random filter: a preview of a part writes there what the whole run writes.
TEST(NoiseFilters, PreviewOfAPartMatchesTheFullRun) {
  struct Case {
    const char* name;
    bool (*run)(const SFlt4Context&);
  };
  const Case cases[] = {
      {"noise", [](const SFlt4Context& c) { return runNoise(c, {90, 0, 4242u}); }},
      {"noise mono", [](const SFlt4Context& c) { return runNoise(c, {90, 1, 4242u}); }},
      {"diffuse square", [](const SFlt4Context& c) { return runDiffuse(c, {5, 0, 4242u, 0, 0}); }},
      {"diffuse radial", [](const SFlt4Context& c) { return runDiffuse(c, {5, 1, 4242u, 1, 0}); }},
      {"mosaic", [](const SFlt4Context& c) { return runMosaic(c, {7, 0}); }},
  };
  for (const Case& k : cases) {
    FilterFixture full(45, 33), part(45, 33);
    full.fillRandom(12);
    part.fillRandom(12);
    const TRect bounds{3, 2, 41, 30};
    SFlt4Context cf = full.context(bounds), cp = part.context({10, 9, 25, 20});
    cf.bounds = cp.bounds = bounds;
    ASSERT_TRUE(k.run(cf)) << k.name;
    ASSERT_TRUE(k.run(cp)) << k.name;
    for (int32_t y = 0; y < 33; ++y)
      for (int32_t x = 0; x < 45; ++x) {
        const bool inside = x >= 10 && x < 25 && y >= 9 && y < 20;
        ASSERT_EQ(part.pixel(x, y), inside ? full.pixel(x, y) : part.original(x, y)) << k.name << " " << x << "," << y;
      }
  }
}

TEST(NoiseFilters, DiffuseDarkerAndLighterNeverCrossThePixel) {
  for (const uint8_t radial : {uint8_t{0}, uint8_t{1}}) {
    FilterFixture dark(25, 25), light(25, 25);
    dark.fillRandom(5);
    light.fillRandom(5);
    ASSERT_TRUE(runDiffuse(dark.context(), {4, 1, 9u, radial, 0}));
    ASSERT_TRUE(runDiffuse(light.context(), {4, 2, 9u, radial, 0}));
    EXPECT_FALSE(dark.unchanged());
    for (int32_t y = 0; y < 25; ++y)
      for (int32_t x = 0; x < 25; ++x)
        for (int i = 0; i < 4; ++i) {
          ASSERT_LE(pixelByte(dark.pixel(x, y), i), pixelByte(dark.original(x, y), i));
          ASSERT_GE(pixelByte(light.pixel(x, y), i), pixelByte(light.original(x, y), i));
        }
  }
}

TEST(NoiseFilters, DiffuseSquareTakesAPixelFromTheWindow) {
  FilterFixture f(12, 9);
  f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | static_cast<uint32_t>(x << 8 | y); });
  ASSERT_TRUE(runDiffuse(f.context(), {2, 0, 77u, 0, 0}));
  setFilterRandomState(77u);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 12; ++x) {
      const int32_t ox = static_cast<int32_t>(filterRandom(5)) - 2, oy = static_cast<int32_t>(filterRandom(5)) - 2;
      const int32_t sx = std::clamp(x + ox, 0, 11), sy = std::clamp(y + oy, 0, 8);
      ASSERT_EQ(f.pixel(x, y), 0xFF000000u | static_cast<uint32_t>(sx << 8 | sy)) << x << "," << y;
    }
}

TEST(NoiseFilters, DiffuseRefusals) {
  FilterFixture f(6, 6);
  f.fillRandom(1);
  EXPECT_FALSE(runDiffuse(f.context(), {3, 3, 1u, 0, 0}));   // mode outside 0..2
  EXPECT_FALSE(runDiffuse(f.context(), {3, -1, 1u, 0, 0}));
  EXPECT_FALSE(runDiffuse(f.context(), {3, 0, 1u, 0, 1}));   // made under protected alpha
  f.protectAlpha = true;
  EXPECT_FALSE(runDiffuse(f.context(), {3, 0, 1u, 0, 0}));
  EXPECT_TRUE(f.unchanged());
  EXPECT_TRUE(runDiffuse(f.context(), {0, 0, 1u, 1, 1}));  // a range of 0 is taken as 1
  EXPECT_TRUE(runDiffuse(f.context(), {1 << 30, 0, 1u, 1, 1}));
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(pixelAlpha(f.pixel(x, y)), pixelAlpha(f.original(x, y)));
}

TEST(NoiseFilters, ConstantImagesStayConstantUnderDiffuse) {
  for (const uint8_t radial : {uint8_t{0}, uint8_t{1}}) {
    FilterFixture f(10, 10);
    f.fill(0xFF204060u);
    ASSERT_TRUE(runDiffuse(f.context(), {6, 0, 3u, radial, 0}));
    EXPECT_TRUE(f.unchanged()) << int{radial};
  }
}

TEST(NoiseFilters, MosaicCellsFollowTheLayerGrid) {
  FilterFixture f(7, 5);
  f.setPixels([](int32_t x, int32_t y) { return 0xFF000000u | static_cast<uint32_t>(10 * x + y); });
  // Work rectangle from (1, 1): the cells stay on multiples of 3 of the
  // layer, so the first cell spans columns 0..2 and rows 0..2, and the
  // right and bottom cells are cut at the work rectangle (column 6, row 4).
  SFlt4Context c = f.context({1, 1, 6, 4});
  c.bounds = {1, 1, 6, 4};
  ASSERT_TRUE(runMosaic(c, {3, 0}));
  const TMTC& src = f.work;
  const uint32_t a = averageColour(src, {0, 0, 3, 3}), b = averageColour(src, {3, 0, 6, 3});
  const uint32_t d = averageColour(src, {0, 3, 3, 4}), e = averageColour(src, {3, 3, 6, 4});
  EXPECT_EQ(a, 0xFF00000Bu);  // blue (0+10+20)/3 + 1 = 11
  EXPECT_EQ(b, 0xFF000029u);  // (30+40+50)/3 + 1 = 41
  EXPECT_EQ(d, 0xFF00000Du);  // the cut bottom row only: 10 + 3
  EXPECT_EQ(e, 0xFF00002Bu);  // 40 + 3
  struct Case {
    int32_t x, y;
    uint32_t expected;
  };
  const Case cases[] = {{1, 1, a}, {2, 2, a}, {3, 1, b}, {5, 2, b}, {1, 3, d}, {5, 3, e},
                        {0, 0, f.original(0, 0)}, {6, 1, f.original(6, 1)}, {2, 4, f.original(2, 4)}};
  for (const Case& k : cases) EXPECT_EQ(f.pixel(k.x, k.y), k.expected) << k.x << "," << k.y;
}

TEST(NoiseFilters, MosaicRefusesCellsBelowTwoAndWeighsTheSelection) {
  FilterFixture f(8, 8);
  f.fillRandom(6);
  for (const int32_t n : {1, 0, -4}) EXPECT_FALSE(runMosaic(f.context(), {n, 0})) << n;
  EXPECT_TRUE(f.unchanged());
  f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x < 4 ? 0 : 255); });
  f.protectAlpha = true;
  ASSERT_TRUE(runMosaic(f.context(), {4, 0}));
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      if (x < 4) {
        ASSERT_EQ(f.pixel(x, y), f.original(x, y));
      }
      ASSERT_EQ(pixelAlpha(f.pixel(x, y)), pixelAlpha(f.original(x, y)));  // alpha protected
    }
  EXPECT_FALSE(f.unchanged());
}

}  // namespace
}  // namespace pg
