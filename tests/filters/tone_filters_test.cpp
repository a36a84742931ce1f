#include "filters/tone_filters.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "core/blend_arith.h"
#include "core/colour.h"
#include "filters/filter_fixture.h"

namespace pg {
namespace tone_filters_test {

using testing::FilterFixture;
using Table = std::array<uint32_t, 256>;

uint32_t level(const Table& t, size_t i) { return t[i] & 0xFFu; }

Table bcTable(int32_t b, int32_t c, bool linear) {
  Table t{};
  if (linear)
    buildBrightnessContrastLinearTable(b, c, t);
  else
    buildBrightnessContrastCurveTable(b, c, t);
  return t;
}

// Runs a kernel over a random layer with a random selection, protected or
// not, and checks that no alpha byte moved.
template <class Record>
void expectAlphaKept(bool (*kernel)(const SFlt4Context*, const void*, int32_t), const Record& rec) {
  uint8_t bytes[Record::kSize];
  rec.write(bytes);
  for (bool protect : {false, true}) {
    FilterFixture f(23, 7);
    f.fillRandom(31);
    f.randomSelection(32);
    f.protectAlpha = protect;
    const SFlt4Context c = f.context();
    ASSERT_TRUE(kernel(&c, bytes, static_cast<int32_t>(Record::kSize)));
    for (int32_t y = 0; y < f.height(); ++y)
      for (int32_t x = 0; x < f.width(); ++x) ASSERT_EQ(f.pixel(x, y) >> 24, f.original(x, y) >> 24) << x << "," << y;
  }
}

// ---- brightness and contrast ---------------------------------------------------

TEST(BrightnessContrast, ZeroIsTheIdentityInBothMethods) {
  for (bool linear : {false, true}) {
    const Table t = bcTable(0, 0, linear);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(t[i], i * 0x01010101u) << "linear " << linear << " i " << i;
  }
}

TEST(BrightnessContrast, LinearSlopes) {
  // Contrast 0: the output is i + 2b.
  Table t = bcTable(100, 0, true);
  EXPECT_EQ(level(t, 0), 200u);
  EXPECT_EQ(level(t, 55), 255u);
  t = bcTable(-30, 0, true);
  EXPECT_EQ(level(t, 100), 40u);
  EXPECT_EQ(level(t, 59), 0u);
  // Contrast 100: a slope of 655.36 about 127 - b.
  t = bcTable(0, 100, true);
  EXPECT_EQ(level(t, 126), 0u);
  EXPECT_EQ(level(t, 127), 127u);
  EXPECT_EQ(level(t, 128), 255u);
  // Contrast -100: flat at 127 + b.
  t = bcTable(20, -100, true);
  for (size_t i : {size_t{0}, size_t{128}, size_t{255}}) EXPECT_EQ(level(t, i), 147u) << i;
}

TEST(BrightnessContrast, CurveShapes) {
  // Brightness lifts every level between the ends; contrast makes an S.
  Table t = bcTable(50, 0, false);
  EXPECT_EQ(level(t, 0), 0u);
  EXPECT_EQ(level(t, 255), 255u);
  for (size_t i = 1; i < 255; ++i) EXPECT_GE(level(t, i), i) << i;
  EXPECT_GT(level(t, 128), 140u);
  t = bcTable(0, 60, false);
  for (size_t i = 1; i < 127; ++i) EXPECT_LE(level(t, i), i) << i;
  for (size_t i = 129; i < 255; ++i) EXPECT_GE(level(t, i), i) << i;
  // Entry 64: 64 + ((64/255)^gb - 64/255) * 255, the exponent of brightness
  // -50 being 1 / (1 - 50 * 0.007).
  t = bcTable(-50, 0, false);
  const float gb = 1.0f / (1.0f - 50 * 0.007f);
  EXPECT_EQ(level(t, 64), static_cast<uint32_t>(64.0f + (std::pow(64.0f / 255.0f, gb) - 64.0f / 255.0f) * 255.0f));
}

TEST(BrightnessContrast, RecordedValuesOutsideTheDialogAreClamped) {
  SFltBrightnessContrast r;
  r.Brightness = INT_MIN;
  r.Contrast = 1000;
  EXPECT_EQ(r.clamped().Brightness, -100);
  EXPECT_EQ(r.clamped().Contrast, 100);
  for (uint8_t linear : {uint8_t{0}, uint8_t{1}}) {
    r.Linear = linear;
    uint8_t bytes[16];
    r.write(bytes);
    FilterFixture f(5, 5), g(5, 5);
    f.fillRandom(8);
    g.fillRandom(8);
    const SFlt4Context c = f.context(), d = g.context();
    ASSERT_TRUE(brightnessContrast4Kernel(&c, bytes, 16));
    r.clamped().write(bytes);
    ASSERT_TRUE(brightnessContrast4Kernel(&d, bytes, 16));
    EXPECT_TRUE(f.sameLayer(g));
  }
  FilterFixture f(3, 3);
  f.fillRandom(1);
  const SFlt4Context c = f.context();
  uint8_t bytes[16] = {};
  EXPECT_FALSE(brightnessContrast4Kernel(&c, bytes, 8));
  EXPECT_TRUE(f.unchanged());
}

TEST(BrightnessContrast, AlphaIsKept) {
  SFltBrightnessContrast r;
  r.Brightness = 40;
  r.Contrast = -20;
  expectAlphaKept(&brightnessContrast4Kernel, r);
  r.Linear = 1;
  expectAlphaKept(&brightnessContrast4Kernel, r);
}

// ---- hue and saturation --------------------------------------------------------

SHueSatTables hueSatTables(int32_t h, int32_t s, int32_t l, bool mono) {
  SFltHueSaturation r;
  r.Hue = h;
  r.Saturation = s;
  r.Lightness = l;
  r.Monotone = mono ? 1 : 0;
  SHueSatTables t;
  buildHueSatTables(r, t);
  return t;
}

TEST(HueSaturation, Tables) {
  // Hue -180 and 180 are the same turn.
  const SHueSatTables a = hueSatTables(-180, 0, 0, false), b = hueSatTables(180, 0, 0, false);
  EXPECT_EQ(a.Hue, b.Hue);
  EXPECT_EQ(a.Hue[0], 180 << 16);
  EXPECT_EQ(a.Hue[200], 20 << 16);
  // A recorded hue of many turns is the same hue.
  EXPECT_EQ(hueSatTables(-1000, 0, 0, false).Hue, hueSatTables(80, 0, 0, false).Hue);
  EXPECT_EQ(hueSatTables(INT_MIN, 0, 0, false).H, ((INT_MIN % 360) + 360) % 360);

  // Saturation: -50 halves, +50 divides by 255 - 126.5, 0 keeps.
  SHueSatTables t = hueSatTables(10, -50, 0, false);
  EXPECT_EQ(t.Sat[200], 100 << 16);
  t = hueSatTables(10, 50, 0, false);
  EXPECT_EQ(t.Sat[100], static_cast<int32_t>((100 << 16) / (255 - 126.5) * 255 + 0.5));
  EXPECT_EQ(t.Sat[255], 0xFF0000);
  t = hueSatTables(10, 100, 0, false);
  EXPECT_EQ(t.Sat[1], static_cast<int32_t>((1 << 16) / 2.0 * 255 + 0.5));
  // Monotone: one hue and one saturation for every entry.
  t = hueSatTables(30, 40, 0, true);
  EXPECT_EQ(t.Hue[0], 30 << 16);
  EXPECT_EQ(t.Hue[359], 30 << 16);
  EXPECT_EQ(t.Sat[7], ((40 * 255 + 50) / 100) << 16);

  // Curve lightness: 128 - l maps to 128; l = 0 is the identity.
  t = hueSatTables(0, 0, 0, false);
  for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(t.Light[static_cast<size_t>(i)], i << 16) << i;
  for (int32_t l : {-100, -37, 20, 100}) {
    t = hueSatTables(0, 0, l, false);
    EXPECT_EQ(t.Light[static_cast<size_t>(128 - l)], 128 << 16) << l;
    EXPECT_EQ(t.Light[0], 0) << l;
    EXPECT_EQ(t.Light[255], 255 << 16) << l;
  }
  // A recorded lightness past the table's reach is taken at the dialog's end.
  EXPECT_EQ(hueSatTables(0, 0, 1000, false).Light, hueSatTables(0, 0, 100, false).Light);
  EXPECT_EQ(hueSatTables(0, 0, INT_MIN, false).Light, hueSatTables(0, 0, -100, false).Light);
  // Linear lightness: toward black or white by |l| per cent.
  t = hueSatTables(0, 0, -100, false);
  EXPECT_EQ(t.LightByte[255], 0);
  t = hueSatTables(0, 0, 100, false);
  EXPECT_EQ(t.LightByte[0], 255);
  t = hueSatTables(0, 0, 40, false);
  EXPECT_EQ(t.LightByte[100], 100 - (100 * 102 + 127) / 255 + 102);
}

TEST(HueSaturation, ZeroChangesNothingInBothMethods) {
  for (uint8_t linear : {uint8_t{0}, uint8_t{1}}) {
    for (bool protect : {false, true}) {
      FilterFixture f(19, 5);
      f.fillRandom(12);
      f.randomSelection(13);
      f.protectAlpha = protect;
      SFltHueSaturation r;
      r.Hue = 360;
      r.Linear = linear;
      uint8_t bytes[16];
      r.write(bytes);
      const SFlt4Context c = f.context();
      ASSERT_TRUE(hueSaturation4Kernel(&c, bytes, 16));
      EXPECT_TRUE(f.unchanged()) << "linear " << int{linear} << " protect " << protect;
    }
  }
}

TEST(HueSaturation, MonotoneWithoutSaturationGivesGreyOfTheMappedLightness) {
  FilterFixture f(16, 4);
  f.fillRandom(21);
  SFltHueSaturation r;
  r.Monotone = 1;
  r.Lightness = 30;
  uint8_t bytes[16];
  r.write(bytes);
  const SFlt4Context c = f.context();
  ASSERT_TRUE(hueSaturation4Kernel(&c, bytes, 16));
  const SHueSatTables t = hueSatTables(0, 0, 30, true);
  for (int32_t y = 0; y < f.height(); ++y)
    for (int32_t x = 0; x < f.width(); ++x) {
      const uint32_t p = f.pixel(x, y);
      ASSERT_EQ(p & 0xFFu, (p >> 8) & 0xFFu);
      ASSERT_EQ(p & 0xFFu, (p >> 16) & 0xFFu);
      SHls hls;
      pixelToHls(f.original(x, y), hls);
      ASSERT_EQ(p & 0xFFu, static_cast<uint32_t>(t.Light[static_cast<size_t>(hls.Lightness >> 16)] >> 16));
    }
}

TEST(HueSaturation, OnePixelThroughTheCurveTables) {
  // Pure red turned by 120 degrees is green; the tables take whole levels, so
  // its lightness 127.5 comes back as 127.
  SHueSatTables t = hueSatTables(120, 0, 0, false);
  const uint32_t green = hueSatCurvePixel(t, 0xFFFF0000u);
  EXPECT_EQ(green, hlsToPixel(SHls{120 << 16, 127 << 16, 255 << 16}));
  EXPECT_EQ(green, 0x0000FD00u);
  t = hueSatTables(0, -100, 0, false);
  const uint32_t grey = hueSatCurvePixel(t, 0x00FF0000u);
  EXPECT_EQ(grey & 0xFFu, (grey >> 16) & 0xFFu);
  // The linear method with hue and saturation unchanged only maps the bytes.
  t = hueSatTables(0, 0, -100, false);
  EXPECT_TRUE(t.HueSatKept);
  EXPECT_EQ(hueSatLinearPixel(t, 0x00FF8040u), 0u);
}

TEST(HueSaturation, RememberedColoursGiveTheReferencePixels) {
  std::mt19937 rng(77);
  for (int run = 0; run < 8; ++run) {
    SFltHueSaturation r;
    r.Hue = static_cast<int32_t>(rng() % 720) - 360;
    r.Saturation = static_cast<int32_t>(rng() % 201) - 100;
    r.Lightness = static_cast<int32_t>(rng() % 201) - 100;
    r.Monotone = rng() % 4 == 0;
    r.Linear = run & 1;
    // A few hundred colours, so that both the remembered and the fresh path run.
    std::array<uint32_t, 300> palette;
    for (uint32_t& p : palette) p = rng();
    FilterFixture fast(70, 40), plain(70, 40);
    const uint32_t seed = rng();
    auto pick = [&](std::mt19937& g) { return palette[g() % palette.size()]; };
    std::mt19937 g1(seed), g2(seed);
    fast.setPixels([&](int32_t, int32_t) { return pick(g1); });
    plain.setPixels([&](int32_t, int32_t) { return pick(g2); });
    fast.randomSelection(seed);
    plain.randomSelection(seed);
    const SFlt4Context a = fast.context(), b = plain.context();
    if (r.Linear) {
      ASSERT_TRUE(hueSaturationLinear(&a, r));
      ASSERT_TRUE(reference::hueSaturationLinear(&b, r));
    } else {
      ASSERT_TRUE(hueSaturationCurve(&a, r));
      ASSERT_TRUE(reference::hueSaturationCurve(&b, r));
    }
    EXPECT_TRUE(fast.sameLayer(plain)) << "run " << run;
  }
}

TEST(HueSaturation, RecordedValuesOutsideTheDialogAreClampedAndAlphaKept) {
  SFltHueSaturation r;
  r.Hue = INT_MAX;
  r.Saturation = 1000;   // the divisor 255 - 253 * s / 100 would go below 0
  r.Lightness = -1000;   // would write past the lightness table
  EXPECT_EQ(r.clamped().Saturation, 100);
  EXPECT_EQ(r.clamped().Lightness, -100);
  for (uint8_t linear : {uint8_t{0}, uint8_t{1}}) {
    r.Linear = linear;
    expectAlphaKept(&hueSaturation4Kernel, r);
  }
}

// ---- colour balance ------------------------------------------------------------

TEST(ColorBalance, GammaCurves) {
  SFltColorBalance r;
  r.GammaR = 2.0f;
  r.GammaG = 0.5f;
  r.GammaB = 1.0f;
  Table t{};
  buildColorBalanceTable(r, t);
  EXPECT_EQ(t[0], 0u);
  EXPECT_EQ(t[255], 0xFFFFFFFFu);
  EXPECT_EQ((t[128] >> 16) & 0xFFu, 64u);  // trunc((128/255)^2 * 255)
  EXPECT_EQ((t[64] >> 8) & 0xFFu, static_cast<uint32_t>(std::pow(64.0f / 255.0f, 0.5f) * 255.0f));
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(t[i] & 0xFFu, i);
  for (float g : {0.5f, 0.77f, 1.3f, 2.0f}) {
    r.GammaR = r.GammaG = r.GammaB = g;
    buildColorBalanceTable(r, t);
    EXPECT_EQ(t[0], 0u) << g;
    EXPECT_EQ(t[255], 0xFFFFFFFFu) << g;
  }
}

TEST(ColorBalance, RecordedGammasAreClamped) {
  SFltColorBalance r;
  r.GammaR = std::numeric_limits<float>::quiet_NaN();
  r.GammaG = -3.0f;
  r.GammaB = std::numeric_limits<float>::infinity();
  const SFltColorBalance c = r.clamped();
  EXPECT_EQ(c.GammaR, 1.0f);
  EXPECT_EQ(c.GammaG, 0.5f);
  EXPECT_EQ(c.GammaB, 2.0f);
  expectAlphaKept(&colorBalance4Kernel, r);

  uint8_t bytes[16];
  r.write(bytes);
  SFltColorBalance back = SFltColorBalance::read(bytes);
  EXPECT_TRUE(std::isnan(back.GammaR));
  EXPECT_EQ(back.GammaG, -3.0f);
}

// The three records' bytes: little-endian fields at fixed places, the
// reserved bytes carried through unchanged both ways.
TEST(ToneRecords, KeepTheirBytes) {
  SFltBrightnessContrast bc;
  bc.Brightness = -5;
  bc.Contrast = 300;
  bc.Linear = 1;
  bc.Reserved = {1, 2, 3, 4, 5, 6, 7};
  SFltHueSaturation hs;
  hs.Hue = 0x01020304;
  hs.Saturation = -1;
  hs.Lightness = 7;
  hs.Monotone = 1;
  hs.Linear = 2;
  hs.Reserved = {9, 8};
  SFltColorBalance cb;
  cb.GammaR = 1.0f;
  cb.GammaG = 2.0f;
  cb.GammaB = 0.5f;
  cb.Reserved = {4, 3, 2, 1};
  struct Case {
    const char* name;
    std::array<uint8_t, 16> expected;
    std::function<void(uint8_t*)> write;
    std::function<bool(const uint8_t*)> readsBack;
  };
  const Case cases[] = {
      {"brightness",
       {0xFB, 0xFF, 0xFF, 0xFF, 0x2C, 0x01, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7},
       [&](uint8_t* b) { bc.write(b); },
       [&](const uint8_t* b) { return SFltBrightnessContrast::read(b) == bc; }},
      {"hue",
       {4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0, 1, 2, 9, 8},
       [&](uint8_t* b) { hs.write(b); },
       [&](const uint8_t* b) { return SFltHueSaturation::read(b) == hs; }},
      {"balance",
       {0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0, 0x3F, 4, 3, 2, 1},
       [&](uint8_t* b) { cb.write(b); },
       [&](const uint8_t* b) {
         const SFltColorBalance r = SFltColorBalance::read(b);
         return r.GammaR == cb.GammaR && r.GammaG == cb.GammaG && r.GammaB == cb.GammaB && r.Reserved == cb.Reserved;
       }},
  };
  for (const Case& c : cases) {
    std::array<uint8_t, 16> bytes{};
    bytes.fill(0xEE);
    c.write(bytes.data());
    EXPECT_EQ(bytes, c.expected) << c.name;
    EXPECT_TRUE(c.readsBack(bytes.data())) << c.name;
  }
}

}  // namespace tone_filters_test
}  // namespace pg
