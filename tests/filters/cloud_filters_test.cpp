#include "filters/cloud_filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/blend_modes.h"
#include "filters/filter_fixture.h"
#include "filters/fractal_noise.h"
#include "filters/record_bytes.h"

namespace pg {
namespace {

using testing::FilterFixture;

template <class Rec, size_t N>
bool runWith(bool (*kernel)(const SFlt4Context*, const void*, int32_t), void (*write)(const Rec&, uint8_t*),
             const SFlt4Context& c, const Rec& rec) {
  uint8_t b[N];
  write(rec, b);
  return kernel(&c, b, N);
}
bool runClouds(const SFlt4Context& c, const SFltClouds& r) {
  return runWith<SFltClouds, kCloudsRecordSize>(&cloudsKernel, &writeCloudsRecord, c, r);
}
bool runPlasma(const SFlt4Context& c, const SFltPlasma& r) {
  return runWith<SFltPlasma, kPlasmaRecordSize>(&plasmaKernel, &writePlasmaRecord, c, r);
}
bool runRock(const SFlt4Context& c, const SFltCloudsRock& r) {
  return runWith<SFltCloudsRock, kCloudsRockRecordSize>(&cloudsRockKernel, &writeCloudsRockRecord, c, r);
}

TEST(CloudFilters, RecordLayouts) {
  uint8_t b[24];
  writeCloudsRecord({0x11223344u, 0x55667788u, 9u, 256, 16, 200}, b);
  EXPECT_EQ(readLE32(b + 4), 0x55667788u);
  EXPECT_EQ(readLE16(b + 12), 256);
  EXPECT_EQ(b[14], 16);
  EXPECT_EQ(b[15], 200);
  writePlasmaRecord({7u, 1, 512, 3, 128}, b);
  EXPECT_EQ(b[4], 1);
  EXPECT_EQ(b[5], 0);
  EXPECT_EQ(readLE16(b + 6), 512);
  EXPECT_EQ(b[8], 3);
  EXPECT_EQ(b[9], 128);
  writeCloudsRockRecord({0xAAu, 0xBBu, 5u, 100, 50, 300, 20}, b);
  EXPECT_EQ(readLE32(b), 0xAAu);  // colour 2 comes first
  EXPECT_EQ(readLE32(b + 4), 0xBBu);
  EXPECT_EQ(readLE16(b + 16), 300);
  EXPECT_EQ(readLE16(b + 18), 20);
  SFltCloudsRock r;
  EXPECT_FALSE(readCloudsRockRecord(b, 16, r));
}

TEST(CloudFilters, RecordsHaveTheirBytesAndReadBackWhole) {
  using Bytes = std::vector<uint8_t>;
  uint8_t b[24] = {};
  writeCloudsRecord({0x11223344u, 0x55667788u, 0x0A0B0C0Du, 0x0102, 16, 200}, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 0x0D, 0x0C, 0x0B, 0x0A, 2, 1,
                                     16, 200}));
  SFltClouds clouds;
  ASSERT_TRUE(readCloudsRecord(b, kCloudsRecordSize, clouds));
  EXPECT_EQ(clouds.colour1, 0x11223344u);
  EXPECT_EQ(clouds.seed, 0x0A0B0C0Du);
  EXPECT_EQ(clouds.opacity, 200);

  std::fill(std::begin(b), std::end(b), uint8_t{0xEE});
  writePlasmaRecord({0x01020304u, 1, 0x0506, 3, 128}, b);
  EXPECT_EQ(Bytes(b, b + 16), (Bytes{4, 3, 2, 1, 1, 0, 6, 5, 3, 128, 0, 0, 0, 0, 0, 0}));
  SFltPlasma plasma;
  ASSERT_TRUE(readPlasmaRecord(b, kPlasmaRecordSize, plasma));
  EXPECT_EQ(plasma.seed, 0x01020304u);
  EXPECT_EQ(plasma.strength, 0x0506);
  EXPECT_EQ(plasma.mode, 3);

  std::fill(std::begin(b), std::end(b), uint8_t{0xEE});
  writeCloudsRockRecord({0xAAu, 0xBBu, 5u, 0x0102, 0x0304, 0x0506, 0x0708}, b);
  EXPECT_EQ(Bytes(b, b + 24), (Bytes{0xAA, 0, 0, 0, 0xBB, 0, 0, 0, 5, 0, 0, 0, 2, 1, 4, 3, 6, 5, 8, 7, 0, 0, 0, 0}));
  SFltCloudsRock rock;
  ASSERT_TRUE(readCloudsRockRecord(b, kCloudsRockRecordSize, rock));
  EXPECT_EQ(rock.colour2, 0xAAu);
  EXPECT_EQ(rock.tileHeight, 0x0304);
  EXPECT_EQ(rock.softness, 0x0708);
}

TEST(CloudFilters, CloudsColourTheNoiseBetweenTheTwoColours) {
  FilterFixture f(20, 10);
  f.fill(0xFF000000u);
  SFlt4Context c = f.context({2, 1, 18, 9});
  c.bounds = {2, 1, 18, 9};
  ASSERT_TRUE(runClouds(c, {0xFF000000u, 0xFFFFFFFFu, 31u, 256, 0, 255}));
  TPlasma p;
  const TChannel* noise = p.generate(16, 8, 1.0f, 31u);
  ASSERT_NE(noise, nullptr);
  for (int32_t y = 1; y < 9; ++y)
    for (int32_t x = 2; x < 18; ++x) {
      const uint32_t n = noise->getPixel(x - 2, y - 1);
      ASSERT_EQ(f.pixel(x, y), 0xFF000000u | n * 0x010101u) << x << "," << y;
    }
  EXPECT_EQ(f.pixel(0, 0), 0xFF000000u);
}

TEST(CloudFilters, PreviewOfAPartMatchesTheFullRun) {
  struct Case {
    const char* name;
    bool (*run)(const SFlt4Context&);
  };
  const Case cases[] = {
      {"clouds", [](const SFlt4Context& c) { return runClouds(c, {0xFF102030u, 0xFFF0E0D0u, 5u, 256, 0, 200}); }},
      {"clouds 2", [](const SFlt4Context& c) { return runClouds(c, {0xFF102030u, 0xFFF0E0D0u, 5u, 256, 16, 255}); }},
      {"plasma", [](const SFlt4Context& c) { return runPlasma(c, {8u, 0, 700, 0, 255}); }},
      {"rock", [](const SFlt4Context& c) { return runRock(c, {0xFF000000u, 0xFFFFFFFFu, 3u, 16, 12, 150, 30}); }},
  };
  for (const Case& k : cases) {
    FilterFixture full(40, 30), part(40, 30);
    full.fillRandom(1);
    part.fillRandom(1);
    SFlt4Context cf = full.context(), cp = part.context({11, 7, 29, 23});
    ASSERT_TRUE(k.run(cf)) << k.name;
    ASSERT_TRUE(k.run(cp)) << k.name;
    for (int32_t y = 7; y < 23; ++y)
      for (int32_t x = 11; x < 29; ++x) ASSERT_EQ(part.pixel(x, y), full.pixel(x, y)) << k.name << " " << x << "," << y;
    EXPECT_EQ(part.pixel(0, 0), part.original(0, 0)) << k.name;
  }
}

TEST(CloudFilters, MonochromePlasmaIsCloudsInBlackAndWhite) {
  FilterFixture a(24, 16), b(24, 16);
  a.fillRandom(2);
  b.fillRandom(2);
  a.randomSelection(3);
  b.randomSelection(3);
  ASSERT_TRUE(runPlasma(a.context(), {77u, 1, 300, 6, 180}));
  ASSERT_TRUE(runClouds(b.context(), {0xFF000000u, 0xFFFFFFFFu, 77u, 300, 6, 180}));
  EXPECT_TRUE(a.sameLayer(b));
}

TEST(CloudFilters, HostileModesActAsStandard) {
  // A mode past the 22 operators never indexes past the table.
  for (const uint8_t mode : {uint8_t{22}, uint8_t{130}, uint8_t{255}}) {
    FilterFixture a(12, 12), b(12, 12);
    a.fillRandom(4);
    b.fillRandom(4);
    ASSERT_TRUE(runPlasma(a.context(), {9u, 0, 256, mode, 255}));
    ASSERT_TRUE(runPlasma(b.context(), {9u, 0, 256, 0, 255}));
    EXPECT_TRUE(a.sameLayer(b)) << int{mode};
  }
  FilterFixture c(12, 12), d(12, 12);
  c.fillRandom(4);
  d.fillRandom(4);
  ASSERT_TRUE(runClouds(c.context(), {0xFF000000u, 0xFFFFFFFFu, 9u, 256, 150, 255}));  // 150 and 127 = 22
  ASSERT_TRUE(runClouds(d.context(), {0xFF000000u, 0xFFFFFFFFu, 9u, 256, 0, 255}));
  EXPECT_TRUE(c.sameLayer(d));
}

TEST(CloudFilters, RockAndCloudsFromTheLayerOrigin) {
  // Softness 1: hard two-colour veins.
  FilterFixture f(30, 20);
  f.fill(0xFF808080u);
  ASSERT_TRUE(runRock(f.context(), {0xFF000000u, 0xFFFFFFFFu, 6u, 30, 20, 100, 1}));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      const uint32_t p = f.pixel(x, y);
      ASSERT_TRUE(p == 0xFF000000u || p == 0xFFFFFFFFu) << std::hex << p;
    }
  // Small tiles repeat across the layer.
  FilterFixture g(40, 30);
  g.fill(0xFF000000u);
  ASSERT_TRUE(runRock(g.context(), {0xFF000000u, 0xFFFFFFFFu, 6u, 10, 15, 400, 0}));
  for (int32_t y = 0; y < 15; ++y)
    for (int32_t x = 0; x < 30; ++x) ASSERT_EQ(g.pixel(x, y), g.pixel(x + 10, y + 15));
  // Contrast below 1: nothing drawn, success. Tile sizes of 0 are taken as 1.
  FilterFixture h(8, 8);
  h.fillRandom(5);
  EXPECT_TRUE(runRock(h.context(), {0, 0xFFFFFFu, 1u, 8, 8, 0, 0}));
  EXPECT_TRUE(h.unchanged());
  EXPECT_TRUE(runRock(h.context(), {0, 0xFFFFFFu, 1u, 0, 0, 100, 0}));
  // Protected alpha: colour only.
  FilterFixture k(8, 8);
  k.fillRandom(5);
  k.protectAlpha = true;
  ASSERT_TRUE(runRock(k.context(), {0xFF0000FFu, 0xFF00FF00u, 2u, 8, 8, 200, 10}));
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(pixelAlpha(k.pixel(x, y)), pixelAlpha(k.original(x, y)));
  EXPECT_FALSE(k.unchanged());
}

}  // namespace
}  // namespace pg
