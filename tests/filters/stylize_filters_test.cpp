#include "filters/stylize_filters.h"

#include <gtest/gtest.h>

#include <cstring>

#include "filters/filter_fixture.h"

namespace pg {
namespace {

using testing::FilterFixture;

bool runHalftone(const SFlt4Context& c, const SFltColorHalftone& rec) {
  uint8_t b[kColorHalftoneRecordSize];
  writeColorHalftoneRecord(rec, b);
  return colorHalftoneKernel(&c, b, kColorHalftoneRecordSize);
}
bool runEmboss(const SFlt4Context& c, const SFltEmboss& rec) {
  uint8_t b[kEmbossRecordSize];
  writeEmbossRecord(rec, b);
  return embossKernel(&c, b, kEmbossRecordSize);
}

bool alphaKept(const FilterFixture& f) {
  for (int32_t y = 0; y < f.height(); ++y)
    for (int32_t x = 0; x < f.width(); ++x)
      if (pixelAlpha(f.pixel(x, y)) != pixelAlpha(f.original(x, y))) return false;
  return true;
}

TEST(StylizeFilters, UniformAreas) {
  struct Case {
    const char* name;
    uint32_t fill;
    bool (*run)(const SFlt4Context&);
    uint32_t expected;
  };
  const Case cases[] = {
      {"emboss grey", 0x80123456u, [](const SFlt4Context& c) { return runEmboss(c, {-120, 3.0f, 100}); }, 0x807F7F7Fu},
      {"emboss strong", 0xFFFFFFFFu, [](const SFlt4Context& c) { return runEmboss(c, {45, 100.0f, 500}); }, 0xFF7F7F7Fu},
      {"find edges", 0x40ABCDEFu, [](const SFlt4Context& c) { return findEdgesKernel(&c, nullptr, 0); }, 0x40FFFFFFu},
      {"halftone white", 0xFFFFFFFFu, [](const SFlt4Context& c) { return runHalftone(c, {8, 18, 72, 0}); }, 0xFFFFFFFFu},
      {"halftone black", 0xFF000000u, [](const SFlt4Context& c) { return runHalftone(c, {8, 18, 72, 0}); }, 0xFF000000u},
  };
  for (const Case& k : cases) {
    FilterFixture f(40, 30);
    f.fill(k.fill);
    ASSERT_TRUE(k.run(f.context())) << k.name;
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(f.pixel(x, y), k.expected) << k.name << " " << x << "," << y;
  }
}

TEST(StylizeFilters, AlphaNeverChangesAndUnselectedPixelsStay) {
  struct Case {
    const char* name;
    bool (*run)(const SFlt4Context&);
  };
  const Case cases[] = {
      {"emboss", [](const SFlt4Context& c) { return runEmboss(c, {30, 7.5f, 250}); }},
      {"find edges", [](const SFlt4Context& c) { return findEdgesKernel(&c, nullptr, 0); }},
      {"halftone", [](const SFlt4Context& c) { return runHalftone(c, {5, -200, 400, 33}); }},
  };
  for (const Case& k : cases) {
    FilterFixture f(33, 21);
    f.fillRandom(11);
    f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x % 4 == 0 ? 0 : 200); });
    ASSERT_TRUE(k.run(f.context())) << k.name;
    EXPECT_TRUE(alphaKept(f)) << k.name;
    EXPECT_FALSE(f.unchanged()) << k.name;
    for (int32_t y = 0; y < 21; ++y)
      for (int32_t x = 0; x < 33; x += 4) ASSERT_EQ(f.pixel(x, y), f.original(x, y)) << k.name;
  }
}

TEST(StylizeFilters, EmbossLightsTheEdgeFacingTheAngle) {
  // Left of column 5 black, from it white; angle 0, height 2: the samples lie
  // 1.5 pixels right and 0.5 left of each pixel (plus half a pixel down).
  FilterFixture f(12, 4);
  f.setPixels([](int32_t x, int32_t) { return x < 5 ? 0xFF000000u : 0xFFFFFFFFu; });
  ASSERT_TRUE(runEmboss(f.context(), {0, 2.0f, 100}));
  EXPECT_EQ(f.pixel(1, 1), 0xFF7F7F7Fu);  // flat black
  EXPECT_EQ(f.pixel(4, 1), 0xFFFFFFFFu);  // white ahead, black behind: 255 + 127.5
  EXPECT_EQ(f.pixel(8, 1), 0xFF7F7F7Fu);  // flat white
  EXPECT_EQ(f.pixel(11, 1), 0xFF7F7F7Fu); // the edge of the layer: clamped samples
}

TEST(StylizeFilters, FindEdgesWeighsTheNeighbours) {
  FilterFixture f(5, 5);
  f.setPixels([](int32_t x, int32_t y) { return x == 2 && y == 2 ? 0xFF0000FFu : 0xFF000000u; });
  const SFlt4Context c = f.context();
  ASSERT_TRUE(findEdgesKernel(&c, nullptr, 0));
  // Centre: blue differs from all eight: S = 255 * 20 -> 255 - 1020 -> 0; green and red flat.
  EXPECT_EQ(f.pixel(2, 2), 0xFFFFFF00u);
  // (1, 1) sees it diagonally (weight 2): 255 - 510 / 5 = 153; (2, 1) straight below (weight 3): 255 - 153 = 102.
  EXPECT_EQ(f.pixel(1, 1), 0xFFFFFF99u);
  EXPECT_EQ(f.pixel(2, 1), 0xFFFFFF66u);
  EXPECT_EQ(f.pixel(0, 0), 0xFFFFFFFFu);
}

TEST(StylizeFilters, HalftonePreviewOfAPartMatchesTheFullRun) {
  FilterFixture full(60, 45), part(60, 45);
  full.fillRandom(21);
  part.fillRandom(21);
  const SFltColorHalftone rec{9, 18, 72, 0};
  ASSERT_TRUE(runHalftone(full.context(), rec));
  const TRect region{17, 11, 44, 30};
  ASSERT_TRUE(runHalftone(part.context(region), rec));
  for (int32_t y = 0; y < 45; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const bool inside = x >= 17 && x < 44 && y >= 11 && y < 30;
      ASSERT_EQ(part.pixel(x, y), inside ? full.pixel(x, y) : part.original(x, y)) << x << "," << y;
    }
}

TEST(StylizeFilters, Refusals) {
  FilterFixture f(8, 8);
  f.fillRandom(2);
  for (const int32_t d : {2, 0, -8}) EXPECT_FALSE(runHalftone(f.context(), {d, 0, 0, 0})) << d;
  const SFlt4Context c = f.context();
  uint8_t b[16] = {};
  EXPECT_FALSE(colorHalftoneKernel(&c, b, 8));
  EXPECT_FALSE(embossKernel(&c, b, 15));
  EXPECT_FALSE(findEdgesKernel(&c, b, 16));
  EXPECT_TRUE(f.unchanged());
  EXPECT_TRUE(runEmboss(f.context(), {2147483647, std::nanf(""), -2147483647}));  // defined, if odd
}

// The two records are 16 little-endian bytes with their fields at fixed
// places; the emboss record's last four bytes are written as zeros and
// never read.
TEST(StylizeFilters, RecordsKeepTheirBytes) {
  uint8_t b[16];
  writeColorHalftoneRecord({8, 18, 72, -1}, b);
  const uint8_t halftone[16] = {8, 0, 0, 0, 18, 0, 0, 0, 72, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(0, std::memcmp(b, halftone, 16));
  SFltColorHalftone h;
  ASSERT_TRUE(readColorHalftoneRecord(b, kColorHalftoneRecordSize, h));
  EXPECT_EQ(h.diameter, 8);
  EXPECT_EQ(h.angleR, 18);
  EXPECT_EQ(h.angleG, 72);
  EXPECT_EQ(h.angleB, -1);
  EXPECT_FALSE(readColorHalftoneRecord(b, kColorHalftoneRecordSize - 1, h));

  std::memset(b, 0xAA, sizeof b);
  writeEmbossRecord({-120, 3.0f, 100}, b);
  const uint8_t emboss[16] = {0x88, 0xFF, 0xFF, 0xFF, 0, 0, 0x40, 0x40, 100, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(b, emboss, 16));
  b[12] = 7;  // the unread tail
  SFltEmboss e;
  ASSERT_TRUE(readEmbossRecord(b, kEmbossRecordSize, e));
  EXPECT_EQ(e.angle, -120);
  EXPECT_EQ(e.height, 3.0f);
  EXPECT_EQ(e.amount, 100);
  EXPECT_FALSE(readEmbossRecord(b, kEmbossRecordSize + 1, e));
  EXPECT_FALSE(readEmbossRecord(nullptr, kEmbossRecordSize, e));
}

}  // namespace
}  // namespace pg
